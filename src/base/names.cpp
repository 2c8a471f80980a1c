#include "base/names.h"

const char kProductName[] = LF_PRODUCT;
const char kUninstallerFileName[] = "LFUninst.exe";
const char kQuietUninstallSwitch[] = "\\s";
const char kControlProgramName[] = "LFCtrl.exe";
const char kSetupProgramName[] = "LFSetup.exe";
const char kSetupScriptName[] = "LFSetup.inf";
const char kOlderLogName[] = "LFRemove.inf";
const char kOlderUninstallerName[] = "LFRemove.exe";
const char kLicenseFileName[] = "license.txt";

const char kSectionLog[] = "Log";
const char kSectionCore[] = "Core";
const char kSectionContent[] = "Content";
const char kSectionPaths[] = "Paths";
const char kSectionProducts[] = "Products";
const char kSectionUninst[] = "Uninst";
const char kSectionPlugins[] = "Plugins";
const char kSectionUnfinished[] = "Unfinished";
const char kUnfinishedInstall[] = "install";
const char kUnfinishedUninstall[] = "uninstall";

const char kKeyKey[] = "Key";
const char kKeyAlt[] = "Alt";
const char kKeyName[] = "Name";
const char kKeyTarget[] = "Target";
const char kKeyMenu[] = "Menu";
const char kKeyUninst[] = "Uninst";
const char kKeyIcon[] = "Icon";
const char kKeyHome[] = "Home";
const char kKeyAltKey[] = "AltKey";

const char kSectionReserve[] = "ReservedDiskSpace";
const char kKeySizeProduct[] = "sizeLF";
const char kKeySizeContent[] = "sizeVORNS";
const char kKeySizeLibraries[] = "sizeDLLS";

const char kViewerKey[] = "LFViewer";
