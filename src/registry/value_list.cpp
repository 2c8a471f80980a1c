#include "registry/value_list.h"

#include <cstring>

#include "base/text_util.h"
#include "registry/component_list.h"

namespace {

const char kSeparator = ';';
const size_t kValueNameSize = 260;

// The one list being edited, from RegListInit to the save.
char g_listText[kRegListCapacity];
size_t g_listLength = 0;
char g_listValueName[kValueNameSize];

}  // namespace

int RegListInit(const char* valueName) {
  g_listText[0] = '\0';
  g_listLength = 0;
  size_t length = strlen(valueName);
  if (length > kValueNameSize - 1) length = kValueNameSize - 1;
  memcpy(g_listValueName, valueName, length);
  g_listValueName[length] = '\0';
  return 0;
}

int RegListAdd(int skipDuplicateCheck, const char* entry) {
  if (!skipDuplicateCheck) {
    const char* compared = entry[0] == kSeparator ? entry + 1 : entry;
    if (ComponentListContains(g_listText, compared)) return -1;
  }
  size_t separator = (g_listLength > 0 && entry[0] != kSeparator) ? 1 : 0;
  size_t length = strlen(entry);
  if (length + separator >= kRegListCapacity - g_listLength) return -1;
  if (separator) g_listText[g_listLength++] = kSeparator;
  memcpy(g_listText + g_listLength, entry, length + 1);
  g_listLength += length;
  return 0;
}

void RegListReplace(const char* prefix, const char* newText) {
  char* found = strstr(g_listText, prefix);
  if (!found) return;
  char* oldText = found + strlen(prefix);
  char* tail = strchr(oldText, kSeparator);
  if (!tail) tail = g_listText + g_listLength;
  size_t head = static_cast<size_t>(oldText - g_listText);
  size_t newLength = strlen(newText);
  size_t tailLength = g_listLength - static_cast<size_t>(tail - g_listText);
  // A replacement that would pass the capacity leaves the list as it was:
  // other editions' entries are never cut off to make room.
  if (head + newLength + tailLength >= kRegListCapacity) return;
  memmove(oldText + newLength, tail, tailLength + 1);
  memcpy(oldText, newText, newLength);
  g_listLength = head + newLength + tailLength;
}

const char* RegListText() { return g_listText; }

const char* RegListValueName() { return g_listValueName; }

int RegListSetText(const char* text) {
  if (!CopyBounded(text, g_listText, sizeof(g_listText))) {
    g_listText[0] = '\0';
    g_listLength = 0;
    return -1;
  }
  g_listLength = strlen(g_listText);
  return 0;
}

int FormatVersionText(unsigned long mostSignificant, unsigned long leastSignificant, char* out,
                      size_t outSize) {
  return FormatBounded(out, outSize, "%lu.%lu.%lu.%lu", (mostSignificant >> 16) & 0xFFFFul,
                       mostSignificant & 0xFFFFul, (leastSignificant >> 16) & 0xFFFFul,
                       leastSignificant & 0xFFFFul);
}
