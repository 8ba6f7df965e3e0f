#include "payload/extract.h"

#include <stdio.h>
#include <string.h>

#include "core/state.h"
#include "core/text.h"

int PayloadWriteFailures;

struct PresetSet {
    const char *marker; // contained in the prettified resource name
    int blocks;
    int blockSize;
    const char *subKey; // under HKEY_CURRENT_USER
    const char *prefix; // value name = prefix + block number "01", "02", ...
};

// Tested in this order; the first marker found decides.
static const PresetSet PresetSets[] = {
    {"PresetsSketchesbin", 12, 64, "Software\\Kestovan\\Pencraft", "Portrait"},
    {"PresetsBouquetsbin", 16, 128, "Software\\Kestovan\\Tessaly", "Bouquet"},
    {"PresetsPatternsbin", 12, 128, "Software\\Kestovan\\Tessaly", "Patterns"},
};

static void UpperCharAt(char *s, int i)
{
    // CharUpperA with a pointer whose high word is 0 converts the single character.
    s[i] = (char)(UINT_PTR)CharUpperA((LPSTR)(UINT_PTR)(BYTE)s[i]);
}

static void RemoveChars(char *s, int at, int count)
{
    memmove(s + at, s + at + count, strlen(s + at + count) + 1);
}

char *PrettifyPayloadName(char *s)
{
    LowerAscii(s);
    if (s[0])
        UpperCharAt(s, 0);
    for (int i = 0; i < (int)strlen(s) - 1; i++) {
        if (s[i] == '_' && s[i + 1] == '_') {
            RemoveChars(s, i, 2);
            if (!s[i])
                break;
            UpperCharAt(s, i); // the character now at i goes through the tests below
        }
        if (s[i] == '_') {
            s[i] = ' ';
        } else if (s[i] == ':') {
            RemoveChars(s, i, 1); // the character moved into i is not examined
            continue;
        }
        char c = s[i];
        if (!IsCharAlphaA(c) && c != '\'' && c != '.' && c != '8')
            UpperCharAt(s, i + 1);
    }
    return s;
}

void WritePresetValue(const char *subKey, const char *valueName, DWORD size, const void *data)
{
    HKEY key;
    char emptyClass[] = "";
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey, 0, emptyClass, 0, KEY_ALL_ACCESS, NULL, &key, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExA(key, valueName, 0, REG_BINARY, (const BYTE *)data, size);
    RegCloseKey(key);
}

static int InSkipList(const char *fileName)
{
    for (int i = 0; i < MaxFolders && SkipList[i].path[0]; i++)
        if (TextContains(fileName, SkipList[i].path))
            return 1;
    return 0;
}

static void WritePresetBlocks(const PresetSet *set, const BYTE *data, DWORD size)
{
    // A short resource yields only the whole blocks that lie inside it.
    int blocks = (int)(size / (DWORD)set->blockSize);
    if (blocks > set->blocks)
        blocks = set->blocks;
    for (int j = 0; j < blocks; j++) {
        char valueName[64];
        char number[16];
        wsprintfA(number, "%0.2i", j + 1);
        BufSet(valueName, sizeof valueName, set->prefix);
        BufAppend(valueName, sizeof valueName, number);
        WritePresetValue(set->subKey, valueName, (DWORD)set->blockSize, data + j * set->blockSize);
    }
}

// Writes the file beside its target and moves it into place only once it is
// complete, so an editor never finds a truncated module and an installed
// module is not lost when the new one cannot be written.
static int WritePayloadFile(const char *target, const void *data, DWORD size)
{
    char partial[PayloadPathSize + 8];
    if (!BufSet(partial, sizeof partial, target) || !BufAppend(partial, sizeof partial, ".part"))
        return 0;
    FILE *f = fopen(partial, "wb");
    if (!f)
        return 0;
    int ok = fwrite(data, 1, size, f) == size;
    if (fclose(f) != 0)
        ok = 0;
    if (ok)
        ok = MoveFileExA(partial, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok)
        DeleteFileA(partial);
    return ok;
}

BOOL CALLBACK ExtractPayload(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR kind)
{
    (void)module; // the enumerated module is AppInstance
    (void)type;
    if (IS_INTRESOURCE(name))
        return TRUE; // payloads are named; a numeric id is not one of them
    // Work on our own copy: the name belongs to the enumeration.
    char fileName[PayloadNameSize];
    if (!BufSet(fileName, sizeof fileName, name))
        return TRUE; // 400 characters or more: not a payload name

    HRSRC res = FindResourceA(AppInstance, fileName, MAKEINTRESOURCEA(LOWORD(kind)));
    if (!res)
        return FALSE;
    DWORD size = SizeofResource(AppInstance, res);
    if (size == 0)
        return FALSE;
    HGLOBAL loaded = LoadResource(AppInstance, res);
    if (!loaded)
        return FALSE;
    const BYTE *data = (const BYTE *)LockResource(loaded);

    char target[PayloadPathSize];
    BufSet(target, sizeof target, ChosenFolder);
    PrettifyPayloadName(fileName);
    int targetFits = BufAppend(target, sizeof target, fileName);

    if (InSkipList(fileName))
        return TRUE;
    for (const PresetSet &set : PresetSets) {
        if (TextContains(fileName, set.marker)) {
            WritePresetBlocks(&set, data, size);
            return TRUE;
        }
    }
    if (!targetFits || !WritePayloadFile(target, data, size))
        PayloadWriteFailures++; // counted; the enumeration goes on
    return TRUE;
}
