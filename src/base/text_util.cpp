#include "base/text_util.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

int CopyBounded(const char* src, char* dst, size_t size) {
  size_t len = strlen(src);
  if (size == 0 || len > size - 1) return 0;
  memcpy(dst, src, len + 1);
  return 1;
}

int FormatBounded(char* dst, size_t size, const char* format, ...) {
  if (size == 0) return 0;
  va_list args;
  va_start(args, format);
  int n = vsnprintf(dst, size, format, args);
  va_end(args);
  if (n < 0 || static_cast<size_t>(n) >= size) {
    dst[0] = '\0';
    return 0;
  }
  return 1;
}

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int EqualsNoCase(const char* a, const char* b) {
  for (;; ++a, ++b) {
    if (FoldAscii(*a) != FoldAscii(*b)) return 0;
    if (*a == '\0') return 1;
  }
}

const char* AfterLastBackslash(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? slash + 1 : nullptr;
}
