/* Stand-in filter module: the installer carries this when no real plug-in is given.
   It exports the plug-in entry point of a filter module and does nothing. */
#include <windows.h>

__declspec(dllexport) void __cdecl PluginMain(short selector, void *record, intptr_t *data, short *result)
{
    (void)selector;
    (void)record;
    (void)data;
    if (result)
        *result = 0;
}

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID reserved)
{
    (void)module;
    (void)reason;
    (void)reserved;
    return TRUE;
}
