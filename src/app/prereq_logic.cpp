#include "app/prereq_logic.h"

#include <cstring>

#include "base/text_util.h"

namespace {

constexpr uint32_t Version(uint32_t major, uint32_t minor) { return (major << 16) | minor; }

}  // namespace

int IeGenerationForVersion(uint32_t mostSignificant) {
  if (mostSignificant < Version(4, 70)) return 0;
  if (mostSignificant == Version(4, 71) || mostSignificant == Version(4, 72)) return 4;
  if (mostSignificant < Version(5, 0)) return 3;
  return 5;
}

int AppendUninstallSwitch(char* command, size_t size, const char* ownUninstaller, int quoteProgram) {
  size_t length = strlen(command);
  if (length == 0) return 0;
  const char* uninstallSwitch = strcmp(command, ownUninstaller) == 0 ? " \\s" : " -a";
  size_t quotes = quoteProgram ? 2 : 0;
  if (length + quotes + strlen(uninstallSwitch) >= size) return 0;
  if (quoteProgram) {
    memmove(command + 1, command, length);
    command[0] = '"';
    command[length + 1] = '"';
  }
  return CopyBounded(uninstallSwitch, command + length + quotes, size - length - quotes);
}
