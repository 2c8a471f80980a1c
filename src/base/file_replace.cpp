#include "base/file_replace.h"

namespace {

// A copy takes its source's attributes. A package on a CD marks every file
// read-only, and a file marked temporary stays in the cache without being
// written to the disk: an installed file keeps neither.
const DWORD kCarriedAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_TEMPORARY;

}  // namespace

int DropCarriedAttributes(const char* path, DWORD attributes) {
  if (!(attributes & kCarriedAttributes)) return 1;
  return SetFileAttributesA(path, attributes & ~kCarriedAttributes) ? 1 : 0;
}

int ClearCarriedAttributes(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  return DropCarriedAttributes(path, attributes);
}

BOOL CopyReplacing(const char* source, const char* dest) {
  return WriteReplacing(dest, [&] { return CopyFileA(source, dest, FALSE); });
}
