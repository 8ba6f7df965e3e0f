#include "discovery/walk.h"

#include <windows.h>

#include "core/state.h"
#include "core/text.h"
#include "discovery/candidates.h"
#include "discovery/registry.h"

void ResetPathStack(PathStack *stack)
{
    stack->top = -1;
}

int PushPath(PathStack *stack, char *keyPath, const char *name, int *index)
{
    if (stack->top + 1 >= PathStackLevels)
        return PUSH_TOO_DEEP;
    int length = lstrlenA(keyPath);
    if (length + 1 + lstrlenA(name) > KeyPathSize - 1)
        return PUSH_TOO_LONG;
    stack->top++;
    stack->savedIndex[stack->top] = *index;
    stack->savedLength[stack->top] = length;
    BufAppend(keyPath, KeyPathSize, "\\");
    BufAppend(keyPath, KeyPathSize, name);
    *index = 0;
    return PUSH_DONE;
}

int PopPath(PathStack *stack, char *keyPath)
{
    if (stack->top < 0) {
        stack->top = -1;
        return -1;
    }
    keyPath[stack->savedLength[stack->top]] = 0;
    return stack->savedIndex[stack->top--];
}

// keyPath is lower-case here; name is lower-cased in place unless the key path already qualifies,
// so the tag shows the registry's own spelling of a name that did not matter.
static int MarksPluginFolder(const char *keyPath, char *name)
{
    return TextContains(keyPath, "plug") || TextContains(LowerAscii(name), "plug") ||
           TextContains(name, "directory1") || TextContains(name, "directory2") ||
           TextContains(name, "directory3");
}

// Tag layout: hive label (18 characters), key path and value name, each followed by two blanks;
// cut at TagSize - 1 characters.
static void BuildTag(char *tag, const char *hiveLabel, const char *keyPath, const char *name)
{
    BufSet(tag, TagSize, hiveLabel);
    BufAppend(tag, TagSize, "  ");
    BufAppend(tag, TagSize, keyPath);
    BufAppend(tag, TagSize, "  ");
    BufAppend(tag, TagSize, name);
    BufAppend(tag, TagSize, "  ");
}

// Reads every value of one key (to the first failure) and passes the qualifying ones on.
static void ReportKeyValues(HKEY hive, const char *hiveLabel, char *keyPath, const char *filter)
{
    char name[RegTextSize];
    char data[PathBufSize]; // AddCandidate needs 400 writable bytes
    char tag[TagSize];
    while (EnumNextRegistryValue(hive, keyPath, name, data) == ERROR_SUCCESS) {
        if (!data[0])
            continue; // every value that is not REG_SZ reads as ""
        StripLeadingNonLetters(data);
        if (!data[0] || data[1] != ':')
            continue;
        LowerAscii(keyPath);
        if (!TextContains(keyPath, filter) || !MarksPluginFolder(keyPath, name))
            continue;
        BuildTag(tag, hiveLabel, keyPath, name);
        AddCandidate(data, tag);
    }
}

static void WalkHive(HKEY hive, const char *hiveLabel, const char *root, const char *vendor, const char *filter)
{
    char keyPath[KeyPathSize];
    char subKey[RegTextSize];
    PathStack stack;
    ResetPathStack(&stack);
    int index = 0;
    BufSet(keyPath, sizeof keyPath, root);
    BufAppend(keyPath, sizeof keyPath, "\\");
    BufAppend(keyPath, sizeof keyPath, vendor);
    for (;;) {
        ReportKeyValues(hive, hiveLabel, keyPath, filter);
        // Find the next key in pre-order: a sub-key of this one, else one of an ancestor's later sub-keys.
        for (;;) {
            if (EnumRegistrySubKey(hive, keyPath, subKey, (DWORD)index) == ERROR_SUCCESS) {
                int pushed = PushPath(&stack, keyPath, subKey, &index);
                if (pushed == PUSH_DONE)
                    break;
                if (pushed == PUSH_TOO_LONG) {
                    index++; // a sibling with a shorter name may still fit
                    continue;
                }
                // Too deep: every sibling is as deep, so this key's sub-keys end here.
            }
            int parentIndex = PopPath(&stack, keyPath);
            if (parentIndex < 0)
                return;
            index = parentIndex + 1;
        }
    }
}

void WalkVendorKey(const char *root, const char *vendor, const char *filter)
{
    WalkHive(HKEY_CURRENT_USER, "HKEY_CURRENT_USER ", root, vendor, filter);
    WalkHive(HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE", root, vendor, filter);
}
