#include "install/script_files.h"

#include "app/system_paths.h"
#include "app/text_util.h"

int BuildOlderLogPath(char* out, size_t size) {
  char relative[32];
  return FormatBounded(relative, sizeof(relative), "inf\\%s", kOlderLogName) &&
         BuildWindowsPath(relative, out, size);
}
