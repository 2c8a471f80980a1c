#include "base/partial_name.h"

#include <cstring>

#include "base/text_util.h"

const char kPartialSuffix[] = ".~lfpart";

int BuildPartialName(const char* path, char* out, size_t size) {
  const size_t suffix = sizeof(kPartialSuffix) - 1;
  size_t length = strlen(path);
  if (size == 0) return 0;
  const char* name = AfterLastBackslash(path);
  size_t nameLength = name ? strlen(name) : length;
  size_t keep = length;
  if (length + suffix > size - 1) {
    // The last `suffix` characters of the name make room: something of the
    // name must stay, or the folder itself would be named.
    if (nameLength <= suffix || length > size - 1) return 0;
    keep = length - suffix;
  }
  memcpy(out, path, keep);
  memcpy(out + keep, kPartialSuffix, suffix + 1);
  return 1;
}

int IsPartialName(const char* name) {
  const size_t suffix = sizeof(kPartialSuffix) - 1;
  size_t length = strlen(name);
  return length >= suffix && EqualsNoCase(name + length - suffix, kPartialSuffix);
}
