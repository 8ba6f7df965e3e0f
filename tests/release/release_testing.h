// What the release tests share: the built installer's path, bytes and build facts from the harness.
#pragma once

#include <string>
#include <vector>

// An environment variable set by the test harness; empty when unset.
std::string HarnessValue(const char *name);

// Windows path of the built LumivortexSetup.exe (LV_INSTALLER).
std::string InstallerPath();

// The installer's bytes, read once.
const std::vector<unsigned char> &InstallerBytes();

// The project version (LV_VERSION) in four parts: "1.2" becomes {1, 2, 0, 0}.
std::vector<int> ProjectVersion();

// The four parts joined with dots: "1.2.0.0".
std::string ProjectVersionQuad();
