#include "install/file_list_logic.h"

#include <cstring>

#include "base/text_util.h"

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

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// The names Windows gives its devices in every folder: "CON", "NUL",
// "COM1" and the others, also with an extension ("nul.txt") or blanks
// before it, and the port numbers written as superscripts (UTF-8).
bool IsDeviceName(const char* part, size_t length) {
  static const char* const kDevices[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
  static const char* const kPortDigits[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9",
                                            "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
  size_t stem = 0;
  while (stem < length && part[stem] != '.') ++stem;
  while (stem > 0 && IsBlank(part[stem - 1])) --stem;
  // The first n characters of the part are name (small letters), ASCII case folded.
  auto startsWith = [&](const char* name, size_t n) {
    if (stem < n) return false;
    for (size_t i = 0; i < n; ++i)
      if (FoldAscii(part[i]) != name[i]) return false;
    return true;
  };
  for (const char* device : kDevices)
    if (stem == strlen(device) && startsWith(device, stem)) return true;
  static const char* const kPorts[] = {"com", "lpt"};
  for (const char* port : kPorts)
    for (const char* digit : kPortDigits)
      if (stem == 3 + strlen(digit) && startsWith(port, 3) && memcmp(part + 3, digit, strlen(digit)) == 0)
        return true;
  return false;
}

}  // namespace

int StaysInFolder(const char* path, size_t length) {
  if (length > 0 && IsSeparator(path[0])) return 0;
  size_t dots = 0, start = 0;
  bool otherThanDots = false;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || IsSeparator(path[i])) {
      if (dots >= 2 && !otherThanDots) return 0;
      if (IsDeviceName(path + start, i - start)) return 0;
      dots = 0;
      otherThanDots = false;
      start = i + 1;
    } else if (path[i] == ':') {
      return 0;
    } else if (path[i] == '.') {
      ++dots;
    } else if (!IsBlank(path[i])) {
      otherThanDots = true;
    }
  }
  return 1;
}

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

  // A line that could reach outside the product folder (or outside the
  // package for its source) is refused whole: a typing mistake in a package
  // must never overwrite, record or later delete another program's file.
  if (!StaysInFolder(line, destLength) || !StaysInFolder(source, sourceLength))
    return kListLineLeavesFolder;

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
