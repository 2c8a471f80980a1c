#include "base/tree_entry.h"

#include <cstring>

TreeEntryAction ChooseTreeEntryAction(const char* name, unsigned long attributes) {
  const unsigned long kDirectory = 0x10, kReparsePoint = 0x400;
  if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return kTreeSkip;
  if (!(attributes & kDirectory)) return kTreeDeleteFile;
  return (attributes & kReparsePoint) ? kTreeRemoveLink : kTreeDescend;
}
