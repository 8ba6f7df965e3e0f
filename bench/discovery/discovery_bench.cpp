// Host scan benchmark: ScanHostFolders over a large Photoshop tree, per registry value, beside the bare
// minimum the design allows for the same values (one open, one query, one close per value).
// Usage: discovery_bench [rounds]   (prints figures; seeds HKLM\Software\Adobe and removes it again)
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "core/state.h"
#include "discovery/registry.h"
#include "discovery/scan.h"

namespace {

const char *const TreeRoot = "Software\\Adobe\\Photoshop";
const char *const PluginFolder = "C:\\lvbench\\Photoshop\\Plug-ins";
const int Versions = 10, Groups = 10, Items = 19; // 10 + 100 + 1900 keys below the Photoshop key, and it
const int ValuesPerKey = 10;

struct ValueRef {
    std::string key;
    std::string name;
};

std::vector<ValueRef> AllValues;

void SetString(HKEY key, const char *name, const std::string &text, DWORD type = REG_SZ)
{
    RegSetValueExA(key, name, 0, type, (const BYTE *)text.c_str(), (DWORD)text.size() + 1);
}

// Ten values of the kinds an editor keeps: texts, numbers, binary data, paths; one in each version
// key names the plug-in folder.
void SeedKeyValues(HKEY key, const std::string &path, bool pluginValue)
{
    DWORD number = 1;
    BYTE blob[32] = {1, 2, 3};
    SetString(key, "Version", "13.0.1");
    RegSetValueExA(key, "InstallDate", 0, REG_DWORD, (const BYTE *)&number, sizeof number);
    SetString(key, "ApplicationPath", "C:\\Program Files\\Adobe\\Adobe Photoshop CS6\\");
    SetString(key, "Language", "en_US");
    RegSetValueExA(key, "Flags", 0, REG_DWORD, (const BYTE *)&number, sizeof number);
    RegSetValueExA(key, "Settings", 0, REG_BINARY, blob, sizeof blob);
    SetString(key, "Recent", "%USERPROFILE%\\Documents\\Recent.psd", REG_EXPAND_SZ);
    SetString(key, "Serial", "1330-1234-5678-9012-3456-7890");
    SetString(key, "ScratchDisk", "D:\\Scratch\\");
    if (pluginValue)
        SetString(key, "PluginPath", PluginFolder);
    else
        SetString(key, "Name", "Adobe Photoshop CS6");
    const char *names[] = {"Version", "InstallDate", "ApplicationPath", "Language", "Flags", "Settings", "Recent",
                           "Serial", "ScratchDisk", pluginValue ? "PluginPath" : "Name"};
    for (const char *name : names)
        AllValues.push_back({path, name});
}

HKEY CreateChild(HKEY parent, const std::string &name)
{
    HKEY key = NULL;
    RegCreateKeyExA(parent, name.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key, NULL);
    return key;
}

int SeedTree()
{
    int keys = 0;
    HKEY top = CreateChild(HKEY_LOCAL_MACHINE, TreeRoot);
    SeedKeyValues(top, TreeRoot, false);
    keys++;
    for (int v = 0; v < Versions; v++) {
        std::string vName = std::to_string(v + 7) + ".0";
        std::string vPath = std::string(TreeRoot) + "\\" + vName;
        HKEY version = CreateChild(top, vName);
        SeedKeyValues(version, vPath, true);
        keys++;
        for (int g = 0; g < Groups; g++) {
            std::string gName = "Group " + std::to_string(g);
            std::string gPath = vPath + "\\" + gName;
            HKEY group = CreateChild(version, gName);
            SeedKeyValues(group, gPath, false);
            keys++;
            for (int i = 0; i < Items; i++) {
                std::string iName = "Item " + std::to_string(i);
                HKEY item = CreateChild(group, iName);
                SeedKeyValues(item, gPath + "\\" + iName, false);
                RegCloseKey(item);
                keys++;
            }
            RegCloseKey(group);
        }
        RegCloseKey(version);
    }
    RegCloseKey(top);
    return keys;
}

void DeleteTree(HKEY parent, const char *name)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char child[256];
    for (;;) {
        DWORD cch = sizeof child;
        if (RegEnumKeyExA(key, 0, child, &cch, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        DeleteTree(key, child);
    }
    RegCloseKey(key);
    RegDeleteKeyA(parent, name);
}

double Now()
{
    static LARGE_INTEGER frequency;
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)frequency.QuadPart;
}

double TimeScan()
{
    memset(CandidateList, 0, sizeof CandidateList);
    for (CandidateFolder &record : CandidateList)
        record.addVendorFolder = 1;
    double start = Now();
    ScanHostFolders();
    return Now() - start;
}

// The least any design that opens and closes a key per value can do for the same values.
double TimeBareMinimum()
{
    char data[RegTextSize];
    double start = Now();
    for (const ValueRef &v : AllValues) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, v.key.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            continue;
        DWORD type = REG_SZ, cbData = sizeof data;
        RegQueryValueExA(key, v.name.c_str(), NULL, &type, (BYTE *)data, &cbData);
        RegCloseKey(key);
    }
    return Now() - start;
}

} // namespace

int main(int argc, char **argv)
{
    int rounds = argc > 1 ? atoi(argv[1]) : 9;
    if (rounds < 1)
        rounds = 1;
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Adobe");
    CreateDirectoryA("C:\\lvbench", NULL);
    CreateDirectoryA("C:\\lvbench\\Photoshop", NULL);
    CreateDirectoryA(PluginFolder, NULL);
    int keys = SeedTree();
    size_t values = AllValues.size();

    TimeScan(); // warm-up: the first walk pays for the server's caches
    TimeBareMinimum();
    double bestScan = 1e9, bestBare = 1e9;
    for (int r = 0; r < rounds; r++) { // interleaved, best of each
        double scan = TimeScan();
        double bare = TimeBareMinimum();
        if (scan < bestScan)
            bestScan = scan;
        if (bare < bestBare)
            bestBare = bare;
    }
    int found = 0;
    while (found < MaxFolders && CandidateList[found].path[0])
        found++;

    printf("discovery bench: %d keys, %u values below HKLM\\%s, %d folder(s) found, best of %d rounds\n", keys,
           (unsigned)values, TreeRoot, found, rounds);
    printf("ScanHostFolders      %9.1f ms  %7.2f us per value\n", bestScan * 1e3, bestScan * 1e6 / values);
    printf("open/query/close     %9.1f ms  %7.2f us per value\n", bestBare * 1e3, bestBare * 1e6 / values);
    printf("ratio                %9.2f     (goal: at most 1.30)\n", bestScan / bestBare);
    // Beside one read per value, the walk reads each key's end of values and its sub-keys by index
    // (one that succeeds from the parent, one that fails at the end): three more opens per key.
    printf("opens per value      %9.2f     (scan: values + 3 per key; the loop: 1.00)\n",
           (double)(values + 3 * (size_t)keys) / (double)values);

    SetCurrentDirectoryA("C:\\");
    DeleteTree(HKEY_LOCAL_MACHINE, "Software\\Adobe");
    RemoveDirectoryA(PluginFolder);
    RemoveDirectoryA("C:\\lvbench\\Photoshop");
    RemoveDirectoryA("C:\\lvbench");
    return 0;
}
