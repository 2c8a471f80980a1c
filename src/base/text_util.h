// Bounded text helpers shared by the whole program. No Win32 here: these are
// also built and tested natively.
#pragma once
#include <cstddef>

// Copies src with its terminator into dst when it fits (length at most
// size - 1) and returns 1; otherwise leaves dst untouched and returns 0.
int CopyBounded(const char* src, char* dst, size_t size);

// printf-style formatting into a fixed buffer. Returns 1 when the whole text
// fit; otherwise returns 0 and leaves dst empty, so that a cut path or
// command line is never used.
int FormatBounded(char* dst, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// An ASCII capital as its small letter; any other byte as it is.
char FoldAscii(char c);

// ASCII letters folded; other bytes compared as they are.
int EqualsNoCase(const char* a, const char* b);

// The part after the last backslash, or nullptr when there is none.
const char* AfterLastBackslash(const char* path);

// 1 when the bytes are well-formed UTF-8: no overlong form, no surrogate,
// nothing above U+10FFFF, no sequence cut short.
int IsValidUtf8(const char* text, size_t length);

// 1 when a byte above 127 occurs: text that reads the same in every code page
// has none.
int HasNonAscii(const char* text, size_t length);

// The length of a UTF-8 byte-order mark at the start (3), or 0.
size_t Utf8BomLength(const char* text, size_t length);
