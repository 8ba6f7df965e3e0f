#include "core/state.h"

#include "core/text.h"

// Every record starts empty, with addVendorFolder 1 and foundIn64BitView 0.
#define FOLDER_INIT {"", 1, 0}
#define FOLDERS_INIT                                                                           \
    {FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, \
     FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, \
     FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT, FOLDER_INIT}

CandidateFolder CandidateList[MaxFolders] = FOLDERS_INIT;
CandidateFolder SkipList[MaxFolders] = FOLDERS_INIT;

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
