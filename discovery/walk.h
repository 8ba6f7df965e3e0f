// The registry tree walk: finds plug-in folders in string values anywhere below a vendor's key.
#pragma once

enum {
    KeyPathSize = 400,   // bytes of the walk's key path (at most 399 characters)
    TagSize = 400,       // bytes of a candidate's tag (at most 399 characters; longer tags are cut)
    PathStackLevels = 19 // levels the walk descends below the start key
};

// The walk's depth stack: for each level entered, where to resume in the parent.
struct PathStack {
    int top;                               // index of the top entry; -1 when empty
    int savedIndex[PathStackLevels + 1];   // per level: the parent's sub-key index the walk went down at
    int savedLength[PathStackLevels + 1];  // per level: the key path's length before the descent
};                                         // (the last entry of each array is never used)

enum PushResult {
    PUSH_DONE = 0,     // the key path now names the sub-key and *index is 0
    PUSH_TOO_DEEP = 1, // already PathStackLevels levels down; nothing changed
    PUSH_TOO_LONG = 2  // key path, backslash and name would exceed 399 characters; nothing changed
};

// Empties the stack.
void ResetPathStack(PathStack *stack);

// Descends into sub-key name: saves *index and the key path's length, appends a backslash and name
// to keyPath (KeyPathSize bytes) and sets *index to 0. Returns a PushResult.
int PushPath(PathStack *stack, char *keyPath, const char *name, int *index);

// Climbs one level: cuts keyPath back to the parent and returns the parent's saved sub-key index;
// -1 (and no change) when the stack is empty.
int PopPath(PathStack *stack, char *keyPath);

// Walks root\vendor (lower case, e.g. "software", "adobe") under HKEY_CURRENT_USER, then
// HKEY_LOCAL_MACHINE, depth first in pre-order, in the view RegistryView selects, and passes every
// REG_SZ value holding a drive path whose key path (lower-cased) contains filter ("" = any) and
// "plug", or whose name contains "plug", "directory1", "directory2" or "directory3" (any letter case),
// to AddCandidate with a tag of hive, key path and value name.
void WalkVendorKey(const char *root, const char *vendor, const char *filter);
