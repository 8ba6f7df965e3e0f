// Helpers shared by the test programs: prefix facts, folders, files, resources.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// True when the test runs in the 64-bit prefix (LV_ARCH=win64, set by the harness).
bool InWin64Prefix();

// The running test's suite and name, usable as a folder or key name.
std::string TestCaseName();

// Removes a folder tree (files and sub-folders); no error when it is missing.
void RemoveTree(const std::string &path);

// Creates a fresh, empty folder, with every missing parent.
void MakeFreshFolder(const std::string &path);

// Creates a folder and its missing parents; keeps what is there.
void MakeFolders(const std::string &path);

bool FileExists(const std::string &path);
bool FolderExists(const std::string &path);

// The whole file, or an empty vector when it cannot be read.
std::vector<unsigned char> ReadFileBytes(const std::string &path);
void WriteFileBytes(const std::string &path, const std::string &bytes);

// The bytes of a resource of this test program.
std::vector<unsigned char> ResourceBytes(int type, const char *name);

// Names of the files directly inside a folder, sorted.
std::vector<std::string> ListFiles(const std::string &folder);

// Deletes HKCU/HKLM sub-key trees in the given view (0 or KEY_WOW64_64KEY / KEY_WOW64_32KEY).
void DeleteRegTree(HKEY root, const std::string &subKey, REGSAM view = 0);
