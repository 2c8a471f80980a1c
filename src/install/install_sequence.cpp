#include "install/install_sequence.h"

#include <shlobj.h>
#include <cstring>

#include "base/ask_user.h"
#include "base/file_replace.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/process_util.h"
#include "base/progress_window.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/carried_package.h"
#include "install/file_copy.h"
#include "install/install_logic.h"
#include "install/script_files.h"
#include "install/script_store.h"
#include "install/shortcuts.h"
#include "install/staged_folder.h"
#include "netscape/netscape_handler.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"
#include "wizard/setup_wizard.h"

const char kDependentComponentsKey[] = "SOFTWARE\\Microsoft\\IE4\\DependentComponents";

namespace {

const char kNotCompleted[] = "The installation was not completed successfully!";
const char kNavigator4Key[] = "SOFTWARE\\Netscape\\Netscape Navigator";
const DWORD kViewerIdleWaitMs = 1000;

const char kDependentComponentValue[] = "LUMENFIELD";
const char kDefaultDisplayNameFormat[] = "%s Browser";
const char kOldViewerDisplayName[] = "LUMENFIELD Viewer";
const char kNewViewerDisplayName[] = "LUMENFIELD Browser";

const char kRunOnceKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const char kRunOnceSetupKey[] = "Setup";
const char kWrapperValue[] = "Wrapper";
const char kWrapperCommand[] = "runonce";
const char kGrpConvValue[] = "GrpConv";
const char kGrpConvCommand[] = "grpconv -o";
// Started from the system folder by its full path: by its bare name Windows
// would look for it beside this program first.
const char kRunOnceProgram[] = "runonce.exe";
const char kRunOnceArgument[] = "-r";

// The Start-menu folder of the older, separately uninstalled viewer: the key
// of its shortcut in the older removal log's "Uninst" section.
const char kOlderViewerMenuFolder[] = "LUMENFIELD Viewer";
const char kOlderUninstallKey[] = "LUMENFIELD";
const char kBrowserSuffix[] = " Browser";

int BuildSetupScriptPath() {
  char folder[kPathSize];
  g_setupScriptPath[0] = '\0';
  if (!GetPackageFolder(folder, sizeof(folder))) return 0;
  // A folder too long for the script's name leaves the path empty, and the
  // install then fails for want of a product key.
  return FormatBounded(g_setupScriptPath, sizeof(g_setupScriptPath), "%s%s", folder, kSetupScriptName);
}

void DeleteLinkFile(const char* folder, const char* name) {
  char link[kPathSize];
  if (FormatBounded(link, sizeof(link), "%s\\%s%s", folder, name, kLinkExtension))
    DeleteFileA(link);
}

// Another brand's browser is being replaced: its shortcuts, its Start-menu
// folder and its uninstall entry go. Every failure here is ignored.
void RemoveReplacedBrand() {
  char products[kPathSize];
  ReadScriptString(g_uninstScriptPath, kSectionProducts, kViewerKey, "", products, sizeof(products));
  char olderLog[kPathSize];
  BuildOlderLogPath(olderLog, sizeof(olderLog));
  const char* log = products[0] ? g_uninstScriptPath : olderLog;

  char icon[kPathSize], menu[kPathSize], uninst[kPathSize];
  ReadScriptString(log, kViewerKey, kKeyIcon, "", icon, sizeof(icon));
  ReadScriptString(log, kViewerKey, kKeyMenu, "", menu, sizeof(menu));
  ReadScriptString(log, kSectionUninst, g_brandName, "", uninst, sizeof(uninst));

  char folder[kPathSize];
  if (icon[0] && GetSpecialFolderPath(CSIDL_DESKTOP, folder)) DeleteLinkFile(folder, icon);
  if (GetSpecialFolderPath(CSIDL_PROGRAMS, folder)) {
    if (menu[0]) DeleteLinkFile(folder, menu);
    char brandFolder[kPathSize];
    if (FormatBounded(brandFolder, sizeof(brandFolder), "%s\\%s", folder, g_brandName)) {
      if (uninst[0]) DeleteLinkFile(brandFolder, uninst);
      RemoveDirectoryA(brandFolder);
    }
    WriteScriptString(g_uninstScriptPath, kSectionUninst, nullptr, nullptr);
  }

  char key[kPathSize];
  if (FormatBounded(key, sizeof(key), "%s%s%s", kUninstallKeyBase, g_brandName, kBrowserSuffix))
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key);
}

// Copies this program to the Windows folder as the uninstaller and writes
// the uninstall entry that starts it.
int InstallUninstaller() {
  char ownPath[kPathSize], uninstaller[kPathSize];
  if (!BuildWindowsPath(kUninstallerFileName, uninstaller, sizeof(uninstaller))) return 0;
  ProgressItem(uninstaller);
  // A download installs the plain, signed program it carries, not itself.
  const CarriedFile* carried = FindPackageFile(kSetupProgramName);
  if (IsPackageCarried()) {
    if (!carried ||
        !WriteInOneStep(uninstaller, [&](const char* partial) { return ExtractCarriedFile(carried, partial, FALSE); }))
      return 0;
  } else if (!GetOwnPath(ownPath, sizeof(ownPath)) || !CopyReplacing(ownPath, uninstaller)) {
    return 0;
  }
  LogLine("file copied: %s", uninstaller);
  // The quiet form for package managers; a Windows folder with blanks is
  // quoted so that the switch stays a separate word.
  char quiet[kPathSize + 8];
  FormatBounded(quiet, sizeof(quiet), strchr(uninstaller, ' ') ? "\"%s\" %s" : "%s %s",
                uninstaller, kQuietUninstallSwitch);
  SetRegString(HKEY_LOCAL_MACHINE, kProductUninstallKey, kQuietUninstallValue, quiet, 1);
  return SetRegString(HKEY_LOCAL_MACHINE, kProductUninstallKey, kUninstallStringValue,
                      uninstaller, 1);
}

// Starts "<install folder>\<program>"[ argument] and waits until it is idle.
void StartInstalledProgram(const char* program, const char* argument, DWORD waitMs) {
  // The quoted path with its argument; one that does not fit is not started
  // rather than cut.
  char commandLine[kPathSize + 8];
  if (FormatBounded(commandLine, sizeof(commandLine), "\"%s\\%s\"%s%s", g_installDir, program,
                    argument[0] ? " " : "", argument))
    StartAndWaitForIdle(commandLine, waitMs);
}

void RunNetscapeStep(HWND window) {
  HKEY navigator = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kNavigator4Key, 0, KEY_QUERY_VALUE, &navigator) !=
      ERROR_SUCCESS) {
    UpdateNetscapeHandler(window, kNetscapeProgramName, 0, 0);
    return;
  }
  RegCloseKey(navigator);
  char text[1024];
  FormatBounded(text, sizeof(text), kNetscapeRegisterQuestion, kProductName, kProductName);
  // A silent setup does not start Netscape: it answers No.
  if (AskUser(window, text, g_setupCaption, MB_YESNO | MB_ICONQUESTION | MB_TOPMOST, IDNO) ==
      IDYES) {
    StartInstalledProgram(kControlProgramName, "", INFINITE);
    UpdateNetscapeHandler(window, kNetscapeProgramName, 1, 0);
  }
}

// Takes the viewer out of the older uninstaller's log; when no product is
// left there, the older uninstaller, its log and its uninstall entry go.
void PruneOlderRemovalLog() {
  char log[kPathSize];
  if (!BuildOlderLogPath(log, sizeof(log))) return;
  char value[kPathSize];
  ReadScriptString(log, kSectionProducts, kViewerKey, "", value, sizeof(value));
  ProfileText* text = ScriptText(log);
  if (value[0] && text) {
    SetProfileValue(text, kSectionPaths, kViewerKey, nullptr);
    SetProfileValue(text, kSectionProducts, kViewerKey, nullptr);
    SetProfileValue(text, kSectionUninst, kOlderViewerMenuFolder, nullptr);
    SetProfileValue(text, kViewerKey, nullptr, nullptr);
    SaveScript(log);
  }
  SectionText products;
  if (!ReadScriptSection(log, kSectionProducts, &products) || products.length != 0) return;
  DeleteScript(log);
  char olderUninstaller[kPathSize];
  if (BuildWindowsPath(kOlderUninstallerName, olderUninstaller, sizeof(olderUninstaller)))
    DeleteFileA(olderUninstaller);
  char key[kPathSize];
  if (FormatBounded(key, sizeof(key), "%s%s", kUninstallKeyBase, kOlderUninstallKey))
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key);
}

}  // namespace

void AppendWorldFolder() {
  // A folder that cannot take "\World" stays as it is; the install then
  // goes into the folder the user chose.
  AppendWorldFolderTo(g_installDir, sizeof(g_installDir));
}

int InstallProduct(HWND window) {
  g_ctrlInUse = 0;
  if (g_setupScriptPath[0] == '\0') return 0;
  GetPrivateProfileStringA(kSectionLog, kKeyKey, "", g_productKey, sizeof(g_productKey),
                           g_setupScriptPath);
  GetPrivateProfileStringA(kSectionLog, kKeyAlt, g_productKey, g_altProductKey,
                           sizeof(g_altProductKey), g_setupScriptPath);
  if (g_productKey[0] == '\0') return 0;

  // The folder and the settings key are recorded, and the install marked as
  // begun: written with the "Core" list's lines, in the list's one write.
  char unfinished[kPathSize];
  ReadUnfinishedRun(g_uninstScriptPath, g_productKey, unfinished, sizeof(unfinished));
  if (EqualsNoCase(unfinished, kUnfinishedInstall))
    LogLine("finishing the install an earlier run began");
  else if (unfinished[0])
    LogLine("installing over an uninstall an earlier run began and did not end");
  ProfileText* script = ScriptText(g_uninstScriptPath);
  if (script) {
    SetProfileValue(script, kSectionPaths, g_productKey, g_installDir);
    SetProfileValue(script, g_productKey, kKeyAltKey, g_altProductKey);
    SetUnfinishedRun(script, g_productKey, kUnfinishedInstall);
  }

  if (g_replaceConfirmed) RemoveReplacedBrand();
  if (g_migrateOldDir) MigrateOldLayout();

  // A first install writes its lists below the folder's partial name, and
  // the folder takes its name once they are written, whole or not: a failed
  // list leaves its files where the uninstaller finds them.
  BeginStagedFolder(g_installDir);
  int listed = InstallFileList(window, kSectionCore, 1) && InstallFileList(window, kSectionContent, 0);
  if (!EndStagedFolder()) {
    NoteFailure(kExitCopyFailed);
    return 0;
  }
  if (!listed) return 0;
  if (!InstallUninstaller()) return 0;
  if (CreateShortcuts(1)) return 1;
  NoteFailure(kExitShortcutsFailed);
  return 0;
}

void RegisterDependentComponent(int remove) {
  if (g_ieGeneration < 4) return;
  char value[kPathSize] = "";
  if (!remove) {
    char fallback[kPathSize];
    FormatBounded(fallback, sizeof(fallback), kDefaultDisplayNameFormat, kProductName);
    ReadScriptString(g_uninstScriptPath, kSectionProducts, g_productKey, fallback, value, sizeof(value));
    if (strcmp(value, kOldViewerDisplayName) == 0)
      CopyBounded(kNewViewerDisplayName, value, sizeof(value));
  }
  SetRegString(HKEY_LOCAL_MACHINE, kDependentComponentsKey, kDependentComponentValue, value,
               remove == 0);
}

int ScheduleGroupConversion() {
  ScopedKey runOnce;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey, 0, KEY_ALL_ACCESS, &runOnce.h) !=
      ERROR_SUCCESS)
    return 0;
  ScopedKey setup;
  if (RegOpenKeyExA(runOnce.h, kRunOnceSetupKey, 0, KEY_READ, &setup.h) == ERROR_SUCCESS) {
    setup.Close();
    RegSetValueExA(runOnce.h, kWrapperValue, 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(kWrapperCommand), sizeof(kWrapperCommand));
    LogLine("registry value written: HKLM\\%s \"%s\"", kRunOnceKey, kWrapperValue);
  }
  RegSetValueExA(runOnce.h, kGrpConvValue, 0, REG_SZ,
                 reinterpret_cast<const BYTE*>(kGrpConvCommand), sizeof(kGrpConvCommand));
  LogLine("registry value written: HKLM\\%s \"%s\"", kRunOnceKey, kGrpConvValue);
  runOnce.Close();

  char program[kPathSize], commandLine[kPathSize + 8];
  if (!BuildSystemPath(kRunOnceProgram, program, sizeof(program)) ||
      !FormatBounded(commandLine, sizeof(commandLine), "\"%s\" %s", program, kRunOnceArgument))
    return 1;
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWNORMAL;
  ScopedProcessInfo child;
  LogLine("program started: %s", commandLine);
  CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                 &child.pi);
  return 1;
}

namespace {

// The bytes of the uninstaller the install copies: this program, or the one
// the download carries.
ULONGLONG UninstallerBytes() {
  const CarriedFile* carried = FindPackageFile(kSetupProgramName);
  if (carried) return carried->size;
  char ownPath[kPathSize];
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (IsPackageCarried() || !GetOwnPath(ownPath, sizeof(ownPath)) ||
      !GetFileAttributesExA(ownPath, GetFileExInfoStandard, &data))
    return 0;
  return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The progress window from the product phase on: its total, the bytes the
// lists and the uninstaller write, is known before the first file.
void BeginInstallProgress() {
  if (g_silent) return;
  BeginProgress(kProgressInstall, ListBytes(kSectionCore) + ListBytes(kSectionContent) + UninstallerBytes());
}

}  // namespace

int RunInstall(HWND window) {
  BuildSetupScriptPath();
  if ((g_silent ? RunSilentWizard() : RunSetupWizard(window, g_hInstance)) <= 0) return 0;
  AppendWorldFolder();
  LogLine("destination: %s", g_installDir);
  BeginInstallProgress();
  if (!InstallProduct(window)) {
    NoteFailure(kExitNotCompleted);
    AskUser(window, kNotCompleted, g_criticalErrorCaption, MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST,
            IDOK);
    return 0;
  }
  // The last steps take the bar's last part.
  ProgressReach(kProgressWorkEnd);
  WriteProductRegistry();
  ProgressReach(kProgressWorkEnd + 15);

  StartInstalledProgram(kControlProgramName, "/r", INFINITE);
  ProgressReach(kProgressWorkEnd + 30);
  if (!g_ieSetup) StartInstalledProgram(g_viewerExe, "-r", kViewerIdleWaitMs);
  ProgressReach(kProgressWorkEnd + 40);
  if (!g_ctrlInUse) RunNetscapeStep(window);
  RegisterDependentComponent(0);
  PruneOlderRemovalLog();
  ScheduleGroupConversion();
  // Every step has run: the install is no longer one to finish.
  ProfileText* script = ScriptText(g_uninstScriptPath);
  if (script && SetUnfinishedRun(script, g_productKey, nullptr)) SaveScript(g_uninstScriptPath);
  ProgressReach(kProgressRange);
  return 1;
}
