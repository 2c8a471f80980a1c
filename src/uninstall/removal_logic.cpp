#include "uninstall/removal_logic.h"

#include <cstring>
#include <cstdlib>

#include "base/text_util.h"
#include "registry/component_list.h"

namespace {

const char kCommentMark = ';';
const char kEquals = '=';
const char kBackslash = '\\';
const char kDriveColon = ':';
const char* const kFolderTails[] = {"\\WORLD", "\\BUILDER", "\\IMAGER"};

// Copies length characters and a terminator when they fit.
int CopyPart(const char* text, size_t length, char* out, size_t outSize) {
  if (length >= outSize) return 0;
  memcpy(out, text, length);
  out[length] = '\0';
  return 1;
}

void Clear(char* out, size_t size) {
  if (size) out[0] = '\0';
}

}  // namespace

int ParseLoggedFileLine(const char* line, char* entry, size_t entrySize) {
  Clear(entry, entrySize);
  size_t length = strlen(line);
  if (length == 0 || line[0] == kCommentMark || line[length - 1] != kEquals) return 0;
  // A bare "=" names no file: deleting the prefix alone would aim at the
  // product folder itself.
  if (length == 1) return 0;
  return CopyPart(line, length - 1, entry, entrySize) ? 1 : -1;
}

int SplitUninstLine(const char* line, char* folder, size_t folderSize, char* link,
                    size_t linkSize) {
  Clear(folder, folderSize);
  Clear(link, linkSize);
  if (line[0] == kCommentMark) return 0;
  const char* equals = strchr(line, kEquals);
  if (!equals) return 0;
  size_t folderLength = static_cast<size_t>(equals - line);
  // An empty folder name would make the Programs folder itself the folder to
  // remove; an empty link name names no shortcut.
  if (folderLength == 0 || equals[1] == '\0') return 0;
  if (!CopyPart(line, folderLength, folder, folderSize) ||
      !CopyPart(equals + 1, strlen(equals + 1), link, linkSize)) {
    Clear(folder, folderSize);
    Clear(link, linkSize);
    return 0;
  }
  return 1;
}

int ProductFolderParent(const char* folder, char* parent, size_t parentSize) {
  Clear(parent, parentSize);
  const char* tail = strrchr(folder, kBackslash);
  if (!tail) return 0;
  int matched = 0;
  for (const char* known : kFolderTails)
    if (EqualsNoCase(tail, known)) matched = 1;
  if (!matched) return 0;
  size_t length = static_cast<size_t>(tail - folder);
  // "C:\World" or "\World" has no folder above it that could go: "C:" would
  // name the current folder of the drive, not its root.
  if (length == 0 || folder[length - 1] == kDriveColon) return 0;
  return CopyPart(folder, length, parent, parentSize);
}

int IsRemovableFolderPath(const char* folder) {
  size_t length = strlen(folder);
  while (length > 0 && folder[length - 1] == kBackslash) --length;
  if (length == 0) return 0;
  size_t separators = 0;
  for (size_t i = 0; i < length; ++i)
    if (folder[i] == kBackslash) ++separators;
  // "\\server\share\folder": two leading, one after the server and one
  // after the share.
  if (length >= 2 && folder[0] == kBackslash && folder[1] == kBackslash) return separators >= 4;
  // "X:\folder": a drive, its root, and one folder at least.
  return length >= 4 && folder[1] == kDriveColon && folder[2] == kBackslash;
}

int ContainsFolded(const char* text, const char* lowerNeedle) {
  size_t needleLength = strlen(lowerNeedle);
  for (const char* start = text; *start; ++start) {
    size_t i = 0;
    while (i < needleLength && start[i] && FoldAscii(start[i]) == lowerNeedle[i]) ++i;
    if (i == needleLength) return 1;
  }
  return needleLength == 0;
}

KeyNode* AllocateKeyNode() { return static_cast<KeyNode*>(std::calloc(1, sizeof(KeyNode))); }

void FreeKeyNode(KeyNode* node) { std::free(node); }

void FreeKeyNodes(KeyNode* head) {
  while (head) {
    KeyNode* next = head->next;
    FreeKeyNode(head);
    head = next;
  }
}

int BuildKeyNodes(const char* list, KeyNode** head, KeyNodeAllocator allocate) {
  *head = nullptr;
  size_t length = 0;
  for (const char* item = NextListEntry(&list, &length); item; item = NextListEntry(&list, &length)) {
    if (length >= kKeyNodeSize) continue;
    KeyNode* node = allocate();
    if (!node) {
      // Nothing is processed from a list that could not be split whole:
      // the list then stays exactly as stored, and a later uninstall finds
      // every key again.
      FreeKeyNodes(*head);
      *head = nullptr;
      return 0;
    }
    CopyPart(item, length, node->key, sizeof(node->key));
    node->next = *head;
    *head = node;
  }
  return 1;
}
