// Bounded text helpers for the fixed ANSI buffers used throughout the installer.
#pragma once

// Copies src into dst (cchDst bytes, terminator included); cuts it to fit.
// Returns 1 when the whole of src fitted, 0 when it was cut (or cchDst is 0).
int BufSet(char *dst, int cchDst, const char *src);

// Appends src to the text in dst (cchDst bytes in all); cuts it to fit.
// Returns 1 when the whole of src fitted, 0 when it was cut.
int BufAppend(char *dst, int cchDst, const char *src);

// 1 when text contains part (case-sensitive), else 0.
int TextContains(const char *text, const char *part);

// Lower-cases the ASCII letters A-Z of s in place; returns s.
char *LowerAscii(char *s);
