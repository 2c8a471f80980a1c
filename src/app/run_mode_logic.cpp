#include "app/run_mode_logic.h"

#include <climits>

#include "base/names.h"
#include "base/text_util.h"

int IsUninstallerPath(const char* fullPath) {
  const char* name = AfterLastBackslash(fullPath);
  return name != nullptr && EqualsNoCase(name, kUninstallerFileName);
}

int LastArgumentIs(int argc, char** argv, const char* switchText) {
  return argc > 1 && EqualsNoCase(argv[argc - 1], switchText);
}

UninstallStart ChooseUninstallStart(int argc, int quiet) {
  int args = argc - 1;
  if (args >= 2) return kFinishRelocation;
  if (args == 1 && quiet) return kRunInPlace;
  return kAskAndRelocate;
}

long ParseHandleValue(const char* text) {
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r' ||
         *text == '\v' || *text == '\f')
    ++text;
  int negative = 0;
  if (*text == '+' || *text == '-') negative = (*text++ == '-');
  long long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value <= INT_MAX) value = value * 10 + (*text - '0');
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  if (value < INT_MIN) value = INT_MIN;
  return static_cast<long>(value);
}

int BuildRelocationCommand(char* out, size_t size, const char* copyPath,
                           long handleValue, const char* runningPath) {
  return FormatBounded(out, size, "\"%s\" %ld \"%s\"", copyPath, handleValue,
                       runningPath);
}
