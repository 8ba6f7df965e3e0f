#include "discovery/candidates.h"

#include <stdio.h>
#include <string.h>

#include "core/state.h"
#include "core/text.h"
#include "discovery/registry.h"

enum {
    StripCutLength = 390 // StripLeadingNonLetters shortens text that does not begin with a letter to this
};

char *AddTrailingBackslash(char *path, int cchPath)
{
    int length = lstrlenA(path);
    if (length > 0 && path[length - 1] == '\\')
        return path;
    if (length + 2 > cchPath)
        return NULL;
    path[length] = '\\';
    path[length + 1] = 0;
    return path;
}

char *JoinPath(char *path, int cchPath, const char *name)
{
    int length = lstrlenA(path);
    int needsBackslash = !(length > 0 && path[length - 1] == '\\');
    if (length + needsBackslash + lstrlenA(name) + 1 > cchPath)
        return NULL;
    AddTrailingBackslash(path, cchPath);
    BufAppend(path, cchPath, name);
    return path;
}

char *CutAfterLast(char *text, char c)
{
    for (int i = lstrlenA(text) - 2; i >= 1; i--) {
        if (text[i] == c) {
            text[i + 1] = 0;
            break;
        }
    }
    return text;
}

char *StripLeadingNonLetters(char *text)
{
    if (IsCharAlphaA(text[0]))
        return text;
    if (lstrlenA(text) > StripCutLength)
        text[StripCutLength] = 0;
    int first = 0;
    while (text[first] && !IsCharAlphaA(text[first]))
        first++;
    memmove(text, text + first, lstrlenA(text + first) + 1);
    return text;
}

static char UpperChar(char c)
{
    // CharUpperA converts a single character when the pointer's high word is zero.
    return (char)(UINT_PTR)CharUpperA((LPSTR)(UINT_PTR)(BYTE)c);
}

char *CapitalizeWords(char *path)
{
    LowerAscii(path);
    if (!path[0])
        return path;
    path[0] = UpperChar(path[0]);
    for (int i = 0; path[i] && path[i + 1]; i++) {
        BYTE next = (BYTE)path[i + 1];
        if (!IsCharAlphaA(path[i]) && next >= 'A' && next <= 'z')
            path[i + 1] = UpperChar(path[i + 1]);
    }
    return path;
}

int TrimToExistingFolder(char *path)
{
    int i = lstrlenA(path) - 1;
    if (i >= 0 && path[i] == '\\')
        path[i--] = 0;
    while (i > 2) {
        if (SetCurrentDirectoryA(path))
            return 1;
        if (path[i] == '\\')
            return 0;
        path[i--] = 0;
    }
    return 0;
}

char *ReadDefaultValueFolder(HKEY root, const char *parentKey, const char *keyName, char *out)
{
    char keyPath[PathBufSize];
    char value[PathBufSize];
    if (!BufSet(keyPath, sizeof keyPath, parentKey) || !JoinPath(keyPath, sizeof keyPath, keyName))
        return NULL;
    if (ReadRegistryString(root, keyPath, "", value) != ERROR_SUCCESS)
        return NULL;
    CutAfterLast(value, '\\');
    StripLeadingNonLetters(value);
    if (!value[0] || value[1] != ':')
        return NULL;
    BufSet(out, PathBufSize, value);
    return out;
}

// Appends the candidate's line to the diagnostic log, which is never created here.
static void LogCandidate(const char *path, const char *tag)
{
    FILE *log = fopen(DIAGNOSTIC_LOG_PATH, "rt");
    if (!log)
        return;
    fclose(log);
    log = fopen(DIAGNOSTIC_LOG_PATH, "a+t"); // text mode: each line feed is written as CR LF
    if (!log)
        return;
    if (!CandidateList[0].path[0])
        fputs(RunningOnWow64() ? "\n\nWow64\n" : "\n\nx(86)\n", log);
    fputs(RegistryView ? "x64 " : "x32 ", log);
    fputs(tag, log); // not fprintf: the toolchain's printf adds 20 KB to the executable
    fputs("  ", log);
    fputs(path, log);
    fputs("\n", log);
    fclose(log);
}

// Brings a trimmed path to the one form the list compares and shows: C:\Editor\Plug-Ins\ .
// Returns 0 when the trailing backslash does not fit (never for a folder SetCurrentDirectoryA accepted).
static int NormalizeCandidate(char *path, int cchPath)
{
    LowerAscii(path);
    // The maker's own sub-folder is appended to every list entry; a path already inside it loses it.
    char *maker = strstr(path, "kest");
    if (maker && maker > path && maker[-1] == '\\')
        *maker = 0;
    if (!AddTrailingBackslash(path, cchPath))
        return 0;
    CapitalizeWords(path);
    return 1;
}

static void StoreCandidate(const char *path)
{
    for (int i = 0; i < MaxFolders; i++) {
        CandidateFolder *record = &CandidateList[i];
        if (!record->path[0]) {
            BufSet(record->path, sizeof record->path, path);
            record->foundIn64BitView = RegistryView;
            return;
        }
        // Byte for byte: lstrcmpA compares by sort weight and calls some different paths equal.
        if (strcmp(record->path, path) == 0)
            return;
    }
}

void AddCandidate(char *path, const char *tag)
{
    if (!TrimToExistingFolder(path))
        return;
    LogCandidate(path, tag);
    if (NormalizeCandidate(path, PathBufSize))
        StoreCandidate(path);
}
