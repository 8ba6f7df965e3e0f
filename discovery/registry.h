// Registry primitives of the host scan: each call opens its key in the view RegistryView selects, queries once and closes it.
#pragma once

#include <windows.h>

enum {
    RegTextSize = 256 // bytes of every value-name, value-data and sub-key-name buffer handed to these calls
};

extern int RegistryView; // 0: keys open with KEY_READ; non-zero: KEY_READ | KEY_WOW64_64KEY (64-bit view); set by the host scan
extern int ValueCursor;  // index of the value the next EnumNextRegistryValue reads; 0 again after each failed call

// Reads value valueName ("" = the default value) of root\subKey into out (256 bytes) and returns the Windows code.
// A value that is not REG_SZ reads as "" with success; a text that does not fit 255 characters gives ERROR_MORE_DATA.
// On a failed open out is untouched; on a failed query it holds "".
LONG ReadRegistryString(HKEY root, const char *subKey, const char *valueName, char *out);

// Reads the value at ValueCursor of root\subKey: its name into name, its REG_SZ text into data (256 bytes each;
// "" for any other type). Advances ValueCursor; any non-zero result (end of values, a name or text that does not
// fit, a key that cannot be opened) resets it to 0 and leaves both buffers "".
LONG EnumNextRegistryValue(HKEY root, const char *subKey, char *name, char *data);

// Reads the name of sub-key number index of root\subKey into name (256 bytes); "" on failure.
LONG EnumRegistrySubKey(HKEY root, const char *subKey, char *name, DWORD index);
