// The installer's process-wide state: folder tables, shared buffers, the bitness probe.
#pragma once

#include <windows.h>
#include <shlobj.h>

enum {
    MaxFolders = 20,      // records in CandidateList and SkipList
    FolderPathSize = 800, // bytes of CandidateFolder::path
    PathBufSize = 400,    // bytes of ChosenFolder and ScratchPath
    SkipNameSize = 40     // a selector name with its terminator
};

struct CandidateFolder {
    char path[FolderPathSize]; // a folder; empty marks a free record
    int addVendorFolder;       // list entry is path + "Kestovan\"; always 1
    int foundIn64BitView;      // RegistryView when the path was stored
};

extern CandidateFolder CandidateList[MaxFolders]; // plug-in folders found; filled by the host scan from record 0 up
extern CandidateFolder SkipList[MaxFolders];      // payload name fragments not to install (unticked selectors); only path is used

extern HINSTANCE AppInstance;        // the program's own module; set by the entry
// MainPainter, the painter of the main window, is the toolkit's (ui/canvas.h).
extern char ChosenFolder[PathBufSize]; // folder-list entry chosen for installation; set by the main window
extern char ScratchPath[PathBufSize];  // scratch path: scan results, list entries, browser result
extern int BrowseIndex;              // number of candidate entries in the folder list; set at start-up
extern int BrowsedFolderListed;      // 1 once a browsed folder is listed before the BROWSE entry
extern int InstallDone;              // 1 once the payloads are installed and the finish screen shows
extern BROWSEINFOA FolderBrowseInfo; // folder-browser parameters; filled at start-up

// Non-zero when this 32-bit process runs under WOW64 (64-bit Windows). Looked up on every call.
int RunningOnWow64();

// Stores name (at most 39 characters) in the first free SkipList record; dropped when full.
void AddToSkipList(const char *name);
