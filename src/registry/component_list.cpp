#include "registry/component_list.h"

#include <cstring>

#include "base/text_util.h"

namespace {

const char kSeparator = ';';

// The entry of `length` characters at entry equals key, letters folded.
int EntryEqualsNoCase(const char* entry, size_t length, const char* key) {
  if (strlen(key) != length) return 0;
  for (size_t i = 0; i < length; ++i)
    if (FoldAscii(entry[i]) != FoldAscii(key[i])) return 0;
  return 1;
}

}  // namespace

const char* NextListEntry(const char** cursor, size_t* length) {
  const char* p = *cursor;
  while (*p == kSeparator) ++p;
  if (*p == '\0') {
    *cursor = p;
    return nullptr;
  }
  const char* end = strchr(p, kSeparator);
  if (!end) end = p + strlen(p);
  *length = static_cast<size_t>(end - p);
  *cursor = end;
  return p;
}

int ComponentListContains(const char* list, const char* key) {
  size_t length = 0;
  for (const char* entry = NextListEntry(&list, &length); entry; entry = NextListEntry(&list, &length))
    if (EntryEqualsNoCase(entry, length, key)) return 1;
  return 0;
}

int AppendToComponentList(const char* list, const char* key, char* out, size_t outSize) {
  if (ComponentListContains(list, key)) return 0;
  size_t listLength = strlen(list);
  size_t keyLength = strlen(key);
  size_t separator = listLength ? 1 : 0;
  size_t total = listLength + separator + keyLength;
  if (total >= outSize) return -1;
  memmove(out, list, listLength);
  if (separator) out[listLength] = kSeparator;
  memcpy(out + listLength + separator, key, keyLength);
  out[total] = '\0';
  return 1;
}

int RemoveComponentListEntry(const char* list, const char* key, char* out, size_t outSize) {
  // Measure first, so that out stays untouched when the result cannot fit.
  // out may be list itself: the kept text never runs ahead of where it is
  // read from.
  int found = 0;
  size_t total = 0;
  size_t length = 0;
  const char* cursor = list;
  for (const char* entry = NextListEntry(&cursor, &length); entry;
       entry = NextListEntry(&cursor, &length)) {
    if (EntryEqualsNoCase(entry, length, key)) {
      found = 1;
      continue;
    }
    total += (total ? 1 : 0) + length;
  }
  if (total >= outSize) return -1;

  size_t written = 0;
  cursor = list;
  for (const char* entry = NextListEntry(&cursor, &length); entry;
       entry = NextListEntry(&cursor, &length)) {
    if (EntryEqualsNoCase(entry, length, key)) continue;
    if (written) out[written++] = kSeparator;
    memmove(out + written, entry, length);
    written += length;
  }
  out[written] = '\0';
  return found;
}
