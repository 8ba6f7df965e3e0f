#include "tests/discovery/discovery_testing.h"

#include <string.h>

#include "core/state.h"
#include "discovery/candidates.h"
#include "discovery/registry.h"
#include "tests/support/testing.h"

std::vector<REGSAM> RegistryViews()
{
    if (InWin64Prefix())
        return {0, KEY_WOW64_64KEY};
    return {0};
}

// Creates the key one component at a time, each relative to its parent: a whole path longer than
// 260 characters is more than RegCreateKeyExA takes under Wine.
static HKEY CreateKey(HKEY root, const std::string &key, REGSAM view)
{
    HKEY parent = root;
    size_t start = 0;
    for (;;) {
        size_t end = key.find('\\', start);
        std::string part = key.substr(start, end == std::string::npos ? std::string::npos : end - start);
        HKEY handle = NULL;
        LONG result = RegCreateKeyExA(parent, part.c_str(), 0, NULL, 0, KEY_ALL_ACCESS | view, NULL, &handle, NULL);
        if (parent != root)
            RegCloseKey(parent);
        if (result != ERROR_SUCCESS)
            return NULL;
        if (end == std::string::npos)
            return handle;
        parent = handle;
        start = end + 1;
    }
}

void SeedKey(HKEY root, const std::string &key, REGSAM view)
{
    HKEY handle = CreateKey(root, key, view);
    if (handle)
        RegCloseKey(handle);
}

void SeedValue(HKEY root, const std::string &key, const std::string &name, DWORD type,
               const std::string &bytes, REGSAM view)
{
    HKEY handle = CreateKey(root, key, view);
    if (!handle)
        return;
    // RegSetValueExA adds a terminator to a string whose next byte in memory is one ("the caller forgot
    // to count it"); a non-zero byte after the data keeps the count exact.
    std::string buffer = bytes + '\x01';
    RegSetValueExA(handle, name.c_str(), 0, type, (const BYTE *)buffer.data(), (DWORD)bytes.size());
    RegCloseKey(handle);
}

void SeedString(HKEY root, const std::string &key, const std::string &name, const std::string &text,
                REGSAM view, DWORD type)
{
    SeedValue(root, key, name, type, text + '\0', view);
}

void SeedDword(HKEY root, const std::string &key, const std::string &name, DWORD value, REGSAM view)
{
    SeedValue(root, key, name, REG_DWORD, std::string((const char *)&value, sizeof value), view);
}

void RemoveHostKeys()
{
    const char *vendors[] = {"Software\\Kestovan", "Software\\Adobe", "Software\\Corel", "Software\\Jasc",
                             "Software\\Xara"};
    for (REGSAM view : RegistryViews()) {
        for (const char *vendor : vendors) {
            DeleteRegTree(HKEY_CURRENT_USER, vendor, view);
            DeleteRegTree(HKEY_LOCAL_MACHINE, vendor, view);
        }
        DeleteRegTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\fireworks.exe",
                      view);
        DeleteRegTree(HKEY_CLASSES_ROOT, "PI3.Image", view);
    }
}

void StartDiagnosticLog()
{
    WriteFileBytes(DIAGNOSTIC_LOG_PATH, "");
}

std::string DiagnosticLogText()
{
    std::vector<unsigned char> bytes = ReadFileBytes(DIAGNOSTIC_LOG_PATH);
    return std::string(bytes.begin(), bytes.end());
}

void RemoveDiagnosticLog()
{
    DeleteFileA(DIAGNOSTIC_LOG_PATH);
}

void ClearCandidates()
{
    memset(CandidateList, 0, sizeof CandidateList);
    for (CandidateFolder &record : CandidateList)
        record.addVendorFolder = 1;
}

std::vector<std::string> CandidatePaths()
{
    std::vector<std::string> paths;
    for (const CandidateFolder &record : CandidateList) {
        if (!record.path[0])
            break;
        paths.push_back(record.path);
    }
    return paths;
}

std::string LogHeader()
{
    return InWin64Prefix() ? "\r\n\r\nWow64\r\n" : "\r\n\r\nx(86)\r\n";
}

const std::string HostMachineTest::Root = "C:\\lvdisc\\m";
const std::string HostMachineTest::Listed = "C:\\Lvdisc\\M";

void HostMachineTest::SetUp()
{
    ClearCandidates();
    RegistryView = 0;
    ValueCursor = 0;
    RemoveHostKeys();
    RemoveDiagnosticLog();
    SetCurrentDirectoryA("C:\\");
    MakeFreshFolder(Root);
}

void HostMachineTest::TearDown()
{
    RemoveHostKeys();
    RemoveDiagnosticLog();
    SetCurrentDirectoryA("C:\\"); // a process's current folder cannot be removed
    RemoveTree(Root);
    ClearCandidates();
    RegistryView = 0;
    ValueCursor = 0;
}

std::string HostMachineTest::Folder(const std::string &relative)
{
    std::string path = Root + "\\" + relative;
    MakeFolders(path);
    return path;
}

std::string Expand(const std::string &text)
{
    std::string s;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 1 < text.size() && (text[i + 1] == 'R' || text[i + 1] == 'L')) {
            s += text[i + 1] == 'R' ? HostMachineTest::Root : HostMachineTest::Listed;
            i++;
        } else {
            s += text[i];
        }
    }
    return s;
}
