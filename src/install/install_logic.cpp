#include "install/install_logic.h"

#include <cstring>

#include "base/text_util.h"

namespace {
const char kWorldFolder[] = "\\World";
const size_t kWorldLength = sizeof(kWorldFolder) - 1;
}  // namespace

int EndsInWorldFolder(const char* path) {
  size_t len = strlen(path);
  return len > kWorldLength && EqualsNoCase(path + len - kWorldLength, kWorldFolder);
}

int AppendWorldFolderTo(char* dir, size_t size) {
  size_t len = strlen(dir);
  size_t keep = (len > 0 && dir[len - 1] == '\\') ? len - 1 : len;
  char trimmed[1024];
  if (keep >= sizeof(trimmed)) return 0;
  memcpy(trimmed, dir, keep);
  trimmed[keep] = '\0';
  if (EndsInWorldFolder(trimmed)) return CopyBounded(trimmed, dir, size);
  char world[1024];
  if (!FormatBounded(world, sizeof(world), "%s%s", trimmed, kWorldFolder)) return 0;
  return CopyBounded(world, dir, size);
}
