#include "install/file_list_logic.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// folder + the first `length` characters of part into out; false when the
// path would not fit.
bool JoinPath(const char* folder, const char* part, size_t length, char* out) {
  size_t folderLength = strlen(folder);
  if (folderLength + length > kListPathSize - 1) return false;
  memcpy(out, folder, folderLength);
  memcpy(out + folderLength, part, length);
  out[folderLength + length] = '\0';
  return true;
}

int IsPairGreater(uint32_t aHigh, uint32_t aLow, uint32_t bHigh, uint32_t bLow) {
  return aHigh > bHigh || (aHigh == bHigh && aLow > bLow);
}

}  // namespace

ListLineKind ParseFileListLine(const char* destFolder, const char* sourceFolder, const char* line,
                               FileListLine* out) {
  if (line[0] == ';') return kListLineComment;

  const char* comma = strchr(line, ',');
  size_t destLength = comma ? static_cast<size_t>(comma - line) : strlen(line);
  out->sameName = comma == nullptr;
  out->compare = 1;
  if (destLength > 0 && line[destLength - 1] == '*') {
    out->compare = 0;
    --destLength;
  }

  // Without a comma the source is the destination part itself, so the star
  // comes off both.
  const char* source = line;
  size_t sourceLength = destLength;
  if (comma) {
    source = comma + 1;
    while (IsBlank(*source)) ++source;
    sourceLength = 0;
    while (source[sourceLength] != '\0' && !IsBlank(source[sourceLength])) ++sourceLength;
  }

  // A path that does not fit is refused rather than cut: a cut path would
  // install or record a different file than the script names.
  if (!JoinPath(destFolder, line, destLength, out->dest)) return kListLineTooLong;
  if (!JoinPath(sourceFolder, source, sourceLength, out->source)) return kListLineTooLong;
  out->destStart = strlen(destFolder);
  out->sourceStart = strlen(sourceFolder);

  // A comma line gets only its first subfolder level; its file then lands
  // there or fails to copy.
  out->subfolder[0] = '\0';
  if (comma) {
    const char* slash = static_cast<const char*>(memchr(line, '\\', destLength));
    if (slash) JoinPath(destFolder, line, static_cast<size_t>(slash - line) + 1, out->subfolder);
  }
  return kListLineFile;
}

void DropCutLastLine(char* list, size_t returned, size_t size, const char* fuller,
                     size_t fullerReturned) {
  if (size < 2 || returned != size - 2) return;
  if (fuller && fullerReturned >= returned && memcmp(list, fuller, returned) == 0 &&
      fuller[returned] == '\0')
    return;
  char* last = list;
  for (char* line = list; line < list + returned && *line; line += strlen(line) + 1) last = line;
  *last = '\0';
}

int IsVersionNewer(uint32_t installedMost, uint32_t installedLeast, uint32_t newMost,
                   uint32_t newLeast) {
  return IsPairGreater(installedMost, installedLeast, newMost, newLeast);
}

int IsWriteTimeNewer(uint32_t installedHigh, uint32_t installedLow, uint32_t newHigh,
                     uint32_t newLow) {
  return IsPairGreater(installedHigh, installedLow, newHigh, newLow);
}

int NextFolderEnd(const char* path, size_t from, size_t* end) {
  for (size_t i = from; path[i] != '\0'; ++i) {
    if (path[i] != '\\' || i == 0) continue;
    // A drive ("C:") and an empty component are not folders to create.
    // One-character folder names are created like any other.
    if (path[i - 1] == ':' || path[i - 1] == '\\') continue;
    *end = i;
    return 1;
  }
  return 0;
}
