// Program entry: single instance, then the main window as a modal dialog.
#include <windows.h>

#include "core/state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    HANDLE mutex = CreateMutexA(NULL, TRUE, " ");
    if (GetLastError() == ERROR_ALREADY_EXISTS)
        return 0;
    AppInstance = instance;
    ReleaseMutex(mutex);
    return 0;
}
