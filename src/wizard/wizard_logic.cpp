#include "wizard/wizard_logic.h"

#include <cstring>

const char kDefaultInstallDir[] = "C:\\Program Files\\LUMENFIELD";

namespace {

void CopyPrefix(const char* path, size_t length, char* root, size_t size) {
  if (size == 0) return;
  if (length >= size) length = 0;
  memcpy(root, path, length);
  root[length] = '\0';
}

}  // namespace

void GetPathRoot(const char* path, char* root, size_t size) {
  const char* drive = strstr(path, ":\\");
  if (drive) return CopyPrefix(path, drive + 2 - path, root, size);
  if (path[0] != '\\' || path[1] != '\\') return CopyPrefix(path, strlen(path), root, size);
  const char* share = strchr(path + 2, '\\');
  if (!share) return CopyPrefix(path, 0, root, size);
  // A share's root ends in a backslash, as the free-space query needs it
  // ("\\server\share\"); without one the query fails and the check passes
  // whatever the share holds.
  const char* rest = strchr(share + 1, '\\');
  size_t length = rest ? static_cast<size_t>(rest + 1 - path) : strlen(path);
  CopyPrefix(path, length, root, size);
  if (rest || size == 0) return;
  if (length + 1 >= size) {
    root[0] = '\0';
    return;
  }
  root[length] = '\\';
  root[length + 1] = '\0';
}

uint32_t ReservedDiskSpaceSum(uint32_t productBytes, uint32_t contentBytes, uint32_t libraryBytes) {
  return productBytes + contentBytes + libraryBytes;
}

int UsesExtendedSpaceQuery(unsigned platformId, unsigned buildNumber) {
  const unsigned kWin32Windows = 1, kWin32Nt = 2;
  return (platformId & kWin32Nt) != 0 || (platformId == kWin32Windows && buildNumber > 1000);
}

int ExtendedSpaceTooSmall(uint64_t freeToCaller, uint32_t required) {
  return (freeToCaller >> 32) == 0 && static_cast<uint32_t>(freeToCaller) <= required;
}

uint32_t PlainFreeBytes(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t freeClusters) {
  return sectorsPerCluster * bytesPerSector * freeClusters;
}
