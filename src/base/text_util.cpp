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

int IsValidUtf8(const char* text, size_t length) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
  for (size_t i = 0; i < length;) {
    unsigned char c = p[i];
    size_t more;
    unsigned long least;
    if (c < 0x80) {
      ++i;
      continue;
    }
    if (c >= 0xC2 && c <= 0xDF) {
      more = 1, least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
      more = 2, least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
      more = 3, least = 0x10000;
    } else {
      return 0;
    }
    if (length - i <= more) return 0;
    unsigned long code = c & (0x3F >> more);
    for (size_t k = 1; k <= more; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return 0;
      code = (code << 6) | (p[i + k] & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    i += more + 1;
  }
  return 1;
}

int HasNonAscii(const char* text, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (static_cast<unsigned char>(text[i]) >= 0x80) return 1;
  return 0;
}

size_t Utf8BomLength(const char* text, size_t length) {
  return length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0 ? 3 : 0;
}

const char* AfterLastBackslash(const char* path) {
  const char* slash = strrchr(path, '\\');
  return slash ? slash + 1 : nullptr;
}
