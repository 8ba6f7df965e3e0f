#include "tests/support/testing.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

#include <gtest/gtest.h>

bool InWin64Prefix()
{
    const char *arch = getenv("LV_ARCH");
    return arch && strcmp(arch, "win64") == 0;
}

std::string TestCaseName()
{
    const testing::TestInfo *info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char &c : name)
        if (c == '/')
            c = '_';
    return name;
}

void RemoveTree(const std::string &path)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = path + "\\" + name;
            SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
}

void MakeFolders(const std::string &path)
{
    for (size_t i = 3; i <= path.size(); i++)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), NULL);
}

void MakeFreshFolder(const std::string &path)
{
    RemoveTree(path);
    MakeFolders(path);
}

bool FileExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string &path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<unsigned char> ReadFileBytes(const std::string &path)
{
    std::vector<unsigned char> bytes;
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    fclose(f);
    return bytes;
}

void WriteFileBytes(const std::string &path, const std::string &bytes)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (!f)
        return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

std::vector<unsigned char> ResourceBytes(int type, const char *name)
{
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, name, MAKEINTRESOURCEA(type));
    if (!res)
        return {};
    const unsigned char *p = (const unsigned char *)LockResource(LoadResource(self, res));
    return std::vector<unsigned char>(p, p + SizeofResource(self, res));
}

std::vector<std::string> ListFiles(const std::string &folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(fd.cFileName);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    std::sort(names.begin(), names.end());
    return names;
}

typedef LONG(WINAPI *DeleteKeyExFn)(HKEY, LPCSTR, REGSAM, DWORD);

// Deletes parent\name and everything below it, opening each key relative to its parent: an absolute
// path grows past what RegOpenKeyExA accepts in deep trees (Wine: 260 characters).
static bool DeleteSubTree(HKEY parent, const char *name, REGSAM view, DeleteKeyExFn deleteEx)
{
    HKEY key;
    if (RegOpenKeyExA(parent, name, 0, KEY_READ | KEY_WRITE | view, &key) != ERROR_SUCCESS)
        return false;
    std::vector<char> child(32768);
    for (;;) {
        DWORD cch = (DWORD)child.size();
        if (RegEnumKeyExA(key, 0, child.data(), &cch, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        if (!DeleteSubTree(key, child.data(), view, deleteEx))
            break; // a sub-key that stays would be found again at index 0 without end
    }
    RegCloseKey(key);
    // RegDeleteKeyExA honours the view; it exists from Windows XP x64 on and in Wine.
    LONG result = deleteEx ? deleteEx(parent, name, view, 0) : RegDeleteKeyA(parent, name);
    return result == ERROR_SUCCESS;
}

void DeleteRegTree(HKEY root, const std::string &subKey, REGSAM view)
{
    DeleteKeyExFn deleteEx =
        (DeleteKeyExFn)(void *)GetProcAddress(GetModuleHandleA("advapi32"), "RegDeleteKeyExA");
    DeleteSubTree(root, subKey.c_str(), view, deleteEx);
}
