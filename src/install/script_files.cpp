#include "install/script_files.h"

#include "app/system_paths.h"
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
  char relative[32];
  return FormatBounded(relative, sizeof(relative), "inf\\%s", kOlderLogName) &&
         BuildWindowsPath(relative, out, size);
}
