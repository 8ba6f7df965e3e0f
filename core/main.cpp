// Program entry: single instance, then the main window as a modal dialog.
#include <windows.h>

#include "core/state.h"
#include "mainwindow/mainwindow.h"
#include "ui/canvas.h"

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFn)(DWORD);

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

// The installer runs elevated from wherever it was saved, often a downloads
// folder: DLLs the system loads for us later (shell, common controls, themes)
// must come from the system folder, never from beside the executable.
static void RestrictDllSearch()
{
    HMODULE kernel = GetModuleHandleA("kernel32");
    SetDefaultDllDirectoriesFn restrict =
        (SetDefaultDllDirectoriesFn)(void *)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    SetDllDirectoryA(""); // older systems: at least drop the current directory
}

static JPainter AppPainter; // static, so the painter cannot fail to be allocated

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearch();
    // The mutex name, not its ownership, tells a second copy that one runs.
    HANDLE mutex = CreateMutexA(NULL, TRUE, " ");
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    AppInstance = instance;
    MainPainter = InitPainter(&AppPainter, &MainCanvas, AppInstance);
    if (DialogBoxParamA(AppInstance, "main", NULL, MainDialogProc, 0) != 0)
        MessageBoxA(NULL, "E", NULL, MB_OK);
    ReleaseMutex(mutex);
    return 0;
}
