// Payload extraction: writes the plug-in resources of one kind into ChosenFolder or the registry.
#pragma once

#include <windows.h>

#define RT_PAYLOAD32 3000 // resource type of the 32-bit plug-in files
#define RT_PAYLOAD64 3001 // resource type of the 64-bit plug-in files

enum { PayloadNameSize = 400, PayloadPathSize = 512 };

// Payload files of the running install that could not be written completely;
// cleared by InstallPayloadKinds, counted by ExtractPayload.
extern int PayloadWriteFailures;

// EnumResourceNamesA callback; kind (low 16 bits) is the payload resource type.
// Installs the named payload; returns FALSE only when the resource cannot be read.
BOOL CALLBACK ExtractPayload(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR kind);

// Rewrites a resource name in place into the installed file name ("LUMIVORTEX.8BF" -> "Lumivortex.8bf").
char *PrettifyPayloadName(char *name);

// Creates or opens HKCU\subKey and sets valueName to size bytes of REG_BINARY data.
void WritePresetValue(const char *subKey, const char *valueName, DWORD size, const void *data);
