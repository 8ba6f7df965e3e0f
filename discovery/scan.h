// The host scan: the fixed sequence of registry searches that fills CandidateList at start-up.
#pragma once

// Fills CandidateList, in this order: the maker's key, Photoshop's 64-bit view (64-bit Windows only),
// Photoshop, Corel and Jasc Paint Shop Pro, Xara, the Fireworks App Paths entry, the PI3.Image open
// command. Leaves RegistryView at 0.
void ScanHostFolders();
