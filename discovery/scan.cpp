#include "discovery/scan.h"

#include <windows.h>

#include "core/state.h"
#include "discovery/candidates.h"
#include "discovery/registry.h"
#include "discovery/walk.h"

// A host known by one key's default value: the program it names, with the plug-in folder beside it.
static void AddFolderBesideProgram(HKEY root, const char *parentKey, const char *keyName,
                                   const char *pluginFolder, const char *tag)
{
    if (!ReadDefaultValueFolder(root, parentKey, keyName, ScratchPath))
        return;
    if (JoinPath(ScratchPath, sizeof ScratchPath, pluginFolder))
        AddCandidate(ScratchPath, tag);
}

void ScanHostFolders()
{
    RegistryView = 0;
    WalkVendorKey("software", "kestovan", "");
    if (RunningOnWow64()) {
        RegistryView = 1; // the one search made in the 64-bit view: 64-bit Photoshop
        WalkVendorKey("software", "adobe", "photoshop");
    }
    RegistryView = 0;
    WalkVendorKey("software", "adobe", "photoshop");
    WalkVendorKey("software", "corel", "paint");
    WalkVendorKey("software", "jasc", "paint");
    WalkVendorKey("software", "xara", "xarax");
    AddFolderBesideProgram(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
                           "fireworks.exe", "plug-ins", "appath");
    AddFolderBesideProgram(HKEY_CLASSES_ROOT, "PI3.Image", "shell\\open\\command", "plugin", "shell");
}
