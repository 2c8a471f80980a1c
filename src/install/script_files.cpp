#include "install/script_files.h"

#include <windows.h>

#include "app/text_util.h"

const char kSetupScriptName[] = "LFSetup.inf";
const char kOlderLogName[] = "LFRemove.inf";
const char kOlderUninstallerName[] = "LFRemove.exe";

const char kSectionLog[] = "Log";
const char kSectionCore[] = "Core";
const char kSectionContent[] = "Content";
const char kSectionPaths[] = "Paths";
const char kSectionProducts[] = "Products";
const char kSectionUninst[] = "Uninst";
const char kSectionPlugins[] = "Plugins";

const char kKeyKey[] = "Key";
const char kKeyAlt[] = "Alt";
const char kKeyName[] = "Name";
const char kKeyTarget[] = "Target";
const char kKeyMenu[] = "Menu";
const char kKeyUninst[] = "Uninst";
const char kKeyIcon[] = "Icon";
const char kKeyHome[] = "Home";
const char kKeyAltKey[] = "AltKey";

const char kViewerKey[] = "LFViewer";

int BuildOlderLogPath(char* out, size_t size) {
  char windowsDir[MAX_PATH];
  UINT len = GetWindowsDirectoryA(windowsDir, sizeof(windowsDir));
  if (len == 0 || len >= sizeof(windowsDir)) {
    if (size) out[0] = '\0';
    return 0;
  }
  return FormatBounded(out, size, "%s\\inf\\%s", windowsDir, kOlderLogName);
}
