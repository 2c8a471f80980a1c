#include "app/unattended.h"

#include <cstring>

#include "app/unattended_logic.h"
#include "base/globals.h"
#include "base/run_log.h"
#include "base/text_util.h"

int g_waitForCopy = 0;

namespace {
// The relocated uninstaller's log path, opened once the first process ended.
char g_relocatedLogPath[kPathSize] = "";
}  // namespace

SwitchResult TakeSwitchesAndOpenLog(int* argc, char** argv) {
  UnattendedSwitches switches;
  *argc = TakeUnattendedSwitches(*argc, argv, GetCommandLineA(), !g_uninstallMode, &switches);
  g_silent = switches.silent && !g_uninstallMode;
  // The uninstaller's "/S" is its quiet switch, as users of other
  // uninstallers expect.
  if (switches.silent && g_uninstallMode) g_quiet = 1;
  // A silent setup tells its outcome by its exit code; so does an uninstall
  // whose caller asks for it, and the relocated copy of such an uninstall.
  g_codedExit = switches.silent || (g_uninstallMode && (switches.logPath[0] != '\0' || switches.wait));
  g_waitForCopy = g_uninstallMode && (switches.wait || switches.logPath[0] != '\0');
  if (switches.logPath[0] != '\0') {
    // The relocated uninstaller (two arguments left) adds to the log the
    // first process began, once that process has ended.
    if (g_uninstallMode && *argc - 1 >= 2) {
      CopyBounded(switches.logPath, g_relocatedLogPath, sizeof(g_relocatedLogPath));
    } else {
      if (!OpenRunLog(switches.logPath, 0)) return kSwitchLogNotWritable;
      LogLine("command line: %s", GetCommandLineA());
    }
  }
  if (switches.bad) return kSwitchBad;
  if (switches.destination[0] != '\0') {
    if (!IsFullPath(switches.destination) ||
        !CopyBounded(switches.destination, g_destinationSwitch, sizeof(g_destinationSwitch))) {
      LogLine("destination not usable: %s", switches.destination);
      return kSwitchBad;
    }
  }
  return kSwitchesTaken;
}

void OpenRelocatedLog() {
  if (g_relocatedLogPath[0] == '\0' || !OpenRunLog(g_relocatedLogPath, 1)) return;
  LogLine("command line: %s", GetCommandLineA());
}
