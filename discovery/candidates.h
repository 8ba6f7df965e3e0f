// Candidate plug-in folders: the in-place path operations, the default-value look-up and AddCandidate,
// which checks, logs, normalises and stores every folder the host scan finds.
#pragma once

#include <windows.h>

#define DIAGNOSTIC_LOG_PATH "c:\\inst581.txt" // appended to only when it already exists

// Appends a backslash unless path (cchPath bytes) already ends with one ("" becomes "\").
// Returns path, or NULL with path unchanged when the backslash does not fit.
char *AddTrailingBackslash(char *path, int cchPath);

// AddTrailingBackslash, then appends name. Returns path, or NULL with path unchanged when the result does not fit.
char *JoinPath(char *path, int cchPath, const char *name);

// Cuts text just after the last c among its characters 1 to length - 2 (never the first or the last);
// unchanged when there is none. Returns text.
char *CutAfterLast(char *text, char c);

// Drops every character before the first letter (IsCharAlphaA); text that does not start with a letter
// is first cut to 390 characters. "" when there is no letter. Returns text.
char *StripLeadingNonLetters(char *text);

// Lower-cases path (A-Z), upper-cases its first character and every ASCII letter that follows a non-letter.
// Returns path.
char *CapitalizeWords(char *path);

// Shortens path within its last component, one character at a time, to the first prefix that
// SetCurrentDirectoryA accepts (the parent folder with its backslash at the most). Returns 1 when one was
// found (path holds it and is now the current directory), else 0 (path shortened, drive roots never tried).
int TrimToExistingFolder(char *path);

// The folder of the program that the default value of root\parentKey\keyName names, copied into out
// (400 bytes) with its trailing backslash; NULL when there is no such value or it is no drive path.
char *ReadDefaultValueFolder(HKEY root, const char *parentKey, const char *keyName, char *out);

// Passes a found path (a writable buffer of at least 400 bytes, changed here) to CandidateList:
// trims it to an existing folder, logs it after tag when the diagnostic log exists, normalises it
// (lower case, the maker's sub-folder cut, trailing backslash, capitalised words) and stores it unless
// it is already listed or the list is full.
void AddCandidate(char *path, const char *tag);
