#include "discovery/registry.h"

#include <string.h>

int RegistryView;
int ValueCursor;

static LONG OpenForReading(HKEY root, const char *subKey, HKEY *key)
{
    // The flag is read at every open, so a change of view applies to the next call.
    REGSAM access = RegistryView ? KEY_READ | KEY_WOW64_64KEY : KEY_READ;
    return RegOpenKeyExA(root, subKey, 0, access, key);
}

// Turns what a data query left in data (RegTextSize bytes) into a terminated text and the call's result.
// The registry leaves a REG_SZ that fills the whole buffer unterminated: such a text is 256 characters or
// more, so it does not fit, just like the longer ones the registry itself refuses with ERROR_MORE_DATA.
static LONG TakeStringData(LONG result, DWORD type, char *data, DWORD cbData)
{
    if (result != ERROR_SUCCESS || type != REG_SZ) {
        data[0] = 0;
        return result;
    }
    if (cbData < RegTextSize) {
        data[cbData] = 0; // the stored bytes need not end with a terminator
        return ERROR_SUCCESS;
    }
    if (!memchr(data, 0, RegTextSize)) {
        data[0] = 0;
        return ERROR_MORE_DATA;
    }
    return ERROR_SUCCESS;
}

LONG ReadRegistryString(HKEY root, const char *subKey, const char *valueName, char *out)
{
    HKEY key;
    LONG result = OpenForReading(root, subKey, &key);
    if (result != ERROR_SUCCESS)
        return result;
    DWORD type = REG_SZ;
    DWORD cbData = RegTextSize;
    result = RegQueryValueExA(key, valueName, NULL, &type, (BYTE *)out, &cbData);
    result = TakeStringData(result, type, out, cbData);
    RegCloseKey(key);
    return result;
}

LONG EnumNextRegistryValue(HKEY root, const char *subKey, char *name, char *data)
{
    HKEY key;
    LONG result = OpenForReading(root, subKey, &key);
    if (result != ERROR_SUCCESS) {
        ValueCursor = 0;
        name[0] = 0;
        data[0] = 0;
        return result;
    }
    DWORD cchName = RegTextSize;
    DWORD type = REG_SZ;
    DWORD cbData = RegTextSize;
    result = RegEnumValueA(key, (DWORD)ValueCursor, name, &cchName, NULL, &type, (BYTE *)data, &cbData);
    if (result == ERROR_SUCCESS && cchName < RegTextSize)
        name[cchName] = 0;
    else
        name[0] = 0;
    result = TakeStringData(result, type, data, cbData);
    ValueCursor++;
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        ValueCursor = 0;
        name[0] = 0;
    }
    return result;
}

LONG EnumRegistrySubKey(HKEY root, const char *subKey, char *name, DWORD index)
{
    HKEY key;
    LONG result = OpenForReading(root, subKey, &key);
    if (result != ERROR_SUCCESS) {
        name[0] = 0;
        return result;
    }
    DWORD cchName = RegTextSize;
    FILETIME lastWrite;
    result = RegEnumKeyExA(key, index, name, &cchName, NULL, NULL, NULL, &lastWrite);
    if (result == ERROR_SUCCESS && cchName < RegTextSize)
        name[cchName] = 0;
    else
        name[0] = 0;
    RegCloseKey(key);
    return result;
}
