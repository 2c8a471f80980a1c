#include "install/script_files.h"

#include <cstring>

#include "base/names.h"
#include "base/system_paths.h"
#include "base/text_util.h"

namespace {

// A section read whole starts at this size and doubles (the reads together
// cost twice the last one); the private-profile functions of Windows 95 stop
// at 32 KB, and a section that does not fit 64 MB is not read at all.
const DWORD kFirstWholeSize = 1024;
const DWORD kMaxWholeSize = 1u << 26;

// One read into a buffer of `size` bytes. The read returns size - 2 when it
// was cut.
DWORD ReadInto(const char* file, const char* section, DWORD size, SectionText* out) {
  out->text.reset(size);
  out->length = 0;
  if (!out->text) return 0;
  DWORD length = GetPrivateProfileSectionA(section, out->text.get(), size, file);
  if (length > size - 2) length = size - 2;
  out->text[length] = '\0';
  out->text[length + 1] = '\0';
  out->length = length;
  return 1;
}

}  // namespace

const char* NextLine(const char* line) {
  line += strlen(line) + 1;
  return *line ? line : nullptr;
}

int ReadSection(const char* file, const char* section, SectionText* out) {
  for (DWORD whole = kFirstWholeSize; whole <= kMaxWholeSize; whole *= 2) {
    if (!ReadInto(file, section, whole, out)) return 0;
    if (out->length < whole - 2) return 1;
  }
  out->text.reset();
  out->length = 0;
  return 0;
}

int BuildOlderLogPath(char* out, size_t size) {
  char relative[32];
  return FormatBounded(relative, sizeof(relative), "inf\\%s", kOlderLogName) &&
         BuildWindowsPath(relative, out, size);
}
