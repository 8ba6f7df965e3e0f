#include "core/state.h"

#include "core/text.h"

CandidateFolder CandidateList[MaxFolders];
CandidateFolder SkipList[MaxFolders];

// Every record starts empty, with addVendorFolder 1 and foundIn64BitView 0. Set by a static
// initialiser, before WinMain: a table with an initialiser list would put all its 32 KB of
// mostly zero bytes into the executable file; zero-filled tables cost no file bytes.
static int InitFolderTables()
{
    for (int i = 0; i < MaxFolders; i++) {
        CandidateList[i].addVendorFolder = 1;
        SkipList[i].addVendorFolder = 1;
    }
    return 1;
}
static const int FolderTablesReady = InitFolderTables();

HINSTANCE AppInstance;
char ChosenFolder[PathBufSize];
char ScratchPath[PathBufSize];
int BrowseIndex;
int BrowsedFolderListed;
int InstallDone;
BROWSEINFOA FolderBrowseInfo;

typedef BOOL(WINAPI *IsWow64ProcessFn)(HANDLE, PBOOL);

int RunningOnWow64()
{
    // Looked up each time: the function is missing on systems that predate WOW64.
    IsWow64ProcessFn isWow64 =
        (IsWow64ProcessFn)(void *)GetProcAddress(GetModuleHandleA("kernel32"), "IsWow64Process");
    if (!isWow64)
        return 0;
    BOOL wow64 = FALSE;
    isWow64(GetCurrentProcess(), &wow64); // a failed call leaves FALSE
    return wow64;
}

void AddToSkipList(const char *name)
{
    for (int i = 0; i < MaxFolders; i++) {
        if (SkipList[i].path[0] == 0) {
            BufSet(SkipList[i].path, SkipNameSize, name);
            return;
        }
    }
}
