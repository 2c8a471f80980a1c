#include "uninstall/uninstall_sequence.h"

// Up the house: the dependent component's removal asks the prerequisite
// checks which Internet Explorer is there.
#include "app/prereq_checks.h"
#include "base/ask_user.h"
#include "base/globals.h"
#include "base/names.h"
#include "base/partial_name.h"
#include "base/progress_window.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/install_sequence.h"
#include "install/script_files.h"
#include "install/script_store.h"
#include "netscape/netscape_handler.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"
#include "uninstall/removal.h"
#include "uninstall/removal_logic.h"
#include "uninstall/restart_delete.h"

namespace {

const char kNotCompletedMessage[] = "The Uninstall was not completed!";
const char kRemovedMessageFormat[] = "%s Browser was succesfully removed!";
const char kContentQuestion[] =
    "Would you like all the Browser content files to\nbe removed from your computer?";
const char kContentCaption[] = "Uninstall Content";

const char kBuilderComponent[] = "Builder";
// The desktop and Start-menu links and the registrations, on the bar.
const unsigned long long kLinksAndSteps = 3;
const char kNoList[] = "";

// The "Plugins" section is only probed here; DeleteListedFiles reads it whole.
const DWORD kPluginsProbeSize = 260;

// HKEY_CLASSES_ROOT keys of the authoring product: they go only when no
// authoring product is installed.
const char* const kAuthoringClassKeys[] = {
    ".vrn", ".prj", ".tok", "LUMENCRAFTER.Document", "LUMENCRAFTER.Project", "LUMENCRAFTER.Token",
};

// HKEY_CLASSES_ROOT keys of the viewer, including those of platform programs
// that register themselves.
const char* const kViewerClassKeys[] = {
    "vorn",
    ".vorn",
    ".3de",
    "LUMENFIELD.Document",
    "LUMENFIELD.3dMail",
    "LUMENFIELD.Controller",
    "LFControl.Document",
    "CLSID\\{3F6A2B10-7C41-11D2-B5E2-0060971A44D0}",
    "CLSID\\{3F6A2B11-7C41-11D2-B5E2-0060971A44D0}",
    "CLSID\\{3F6A2B12-7C41-11D2-B5E2-0060971A44D0}",
};

const char kNetscapeProtocolsKey[] = "Software\\Netscape\\Netscape Navigator\\Automation Protocols";
const char kNetscapeProtocolValue[] = "vorn";
const char kNetscapeOurClass[] = "lumenfield.controller";  // folded

const char kDependentComponentsDeleteKey[] = "Software\\Microsoft\\IE4\\DependentComponents";
const char kDependentComponentValue[] = "LumenField";
const char kDependentComponentMark[] = "lumenfield";  // folded

// Deletes a value only when its text names the platform: another program
// may have taken the same value name over.
void DeleteValueNamingUs(HKEY root, const char* readKey, const char* deleteKey, const char* name,
                         const char* foldedMark) {
  char value[kPathSize];
  GetRegString(root, readKey, name, value, sizeof(value));
  if (ContainsFolded(value, foldedMark)) DeleteRegValue(root, deleteKey, name);
}

void DeleteClassKeys(const char* const* keys, size_t count) {
  for (size_t i = 0; i < count; ++i) DeleteRegKeyTree(HKEY_CLASSES_ROOT, keys[i]);
}

}  // namespace

int IsComponentInstalled(const char* componentName) {
  // A list too long for the usual 260-byte buffer still counts: taking a
  // long "Builder" list for absent would delete the authoring product's
  // class keys while it is installed.
  HeapText list;
  return ReadComponentList(componentName, list);
}

int RemoveRegistrationsAndContent(const char* scriptPath, int askContent) {
  int builderInstalled = IsComponentInstalled(kBuilderComponent);
  int contentFlag = 0;
  if (askContent)
    contentFlag = AskUser(nullptr, kContentQuestion, kContentCaption,
                          MB_YESNO | MB_ICONQUESTION | MB_TOPMOST, IDNO) == IDYES;

  HeapText viewerList;
  int viewerFound = ReadComponentList(kViewerComponent, viewerList);

  if (!builderInstalled)
    DeleteClassKeys(kAuthoringClassKeys,
                    sizeof(kAuthoringClassKeys) / sizeof(kAuthoringClassKeys[0]));
  // Only the viewer products' content is this uninstaller's to remove; the
  // products in "Builder" and "Imager" keep theirs.
  RemoveComponentContent(kViewerComponent, scriptPath, contentFlag,
                         viewerFound ? viewerList.get() : kNoList, viewerFound);
  DeleteClassKeys(kViewerClassKeys, sizeof(kViewerClassKeys) / sizeof(kViewerClassKeys[0]));

  DeleteValueNamingUs(HKEY_CURRENT_USER, kNetscapeProtocolsKey, kNetscapeProtocolsKey,
                      kNetscapeProtocolValue, kNetscapeOurClass);
  DeleteValueNamingUs(HKEY_LOCAL_MACHINE, kDependentComponentsKey,
                      kDependentComponentsDeleteKey, kDependentComponentValue,
                      kDependentComponentMark);

  DeleteRegKeyIfEmpty(HKEY_CURRENT_USER, kMakerKey);
  DeleteRegKeyIfEmpty(HKEY_LOCAL_MACHINE, kMakerKey);
  return 1;
}

int RemoveUninstallRecords(const char* scriptPath, const char* uninstallerPath) {
  // The script goes only with the uninstall shortcuts it records; until then
  // the uninstall entry, the uninstaller and the script stay, so that the
  // uninstall can be run again to finish.
  if (!RemoveUninstallShortcuts(scriptPath)) return 0;
  DeleteRegKeyTree(HKEY_LOCAL_MACHINE, kProductUninstallKey);
  // The uninstaller's own file, held by a quiet uninstall or by a first
  // process that waits for its copy, does not make the run need a restart:
  // nothing of the product works any more. A partial one an ended install
  // left goes with it.
  char partial[kPathSize];
  if (uninstallerPath[0] && BuildPartialName(uninstallerPath, partial, sizeof(partial)) && DeleteFileA(partial))
    LogLine("file deleted: %s", partial);
  if (uninstallerPath[0]) {
    if (DeleteInstalledFile(uninstallerPath))
      LogLine("file deleted: %s", uninstallerPath);
    else if (GetLastError() != ERROR_FILE_NOT_FOUND)
      // A quiet uninstall runs from the installed uninstaller itself, which
      // cannot delete its own running file: it goes at restart.
      DeleteAtRestart(uninstallerPath, 0);
  }
  // Last of all the script: while it is there, the product is found and
  // the uninstall can be finished.
  if (!DeleteScript(scriptPath)) return 0;
  LogLine("file deleted: %s", scriptPath);
  return 1;
}

int UninstallProduct(HWND window) {
  // The bar counts the files and links removed and the steps after them;
  // the content, when it is to go, is counted once the question is answered.
  BeginProgress(kProgressRemove, CountListedFiles(g_uninstScriptPath, g_productKey) +
                                     CountListedFiles(g_uninstScriptPath, kSectionPlugins) + kLinksAndSteps);
  if (!RemoveProductEntries(g_uninstScriptPath, g_productKey)) {
    NoteFailure(kExitUninstallIncomplete);
    QuietMessageBox(window, kNotCompletedMessage, g_uninstallErrorCaption,
                    MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
    EndProgress();
    return 1;
  }
  char uninstallerPath[kPathSize];
  BuildWindowsPath(kUninstallerFileName, uninstallerPath, sizeof(uninstallerPath));

  UpdateNetscapeHandler(window, kNetscapeProgramName, 0, 1);

  SectionText pluginsProbe;
  if (ReadScriptSection(g_uninstScriptPath, kSectionPlugins, &pluginsProbe) && pluginsProbe.length > 0)
    DeleteListedFiles(g_uninstScriptPath, kSectionPlugins);

  RemoveRegistrationsAndContent(g_uninstScriptPath, g_quiet == 0);
  ProgressAdvance(1);

  // The Internet Explorer dependent-component value is shared by the
  // platform's products. Once none is left in the "Viewer" list it is
  // removed, not written back with a default name; the install's own
  // generation check (the value exists only from Internet Explorer 4 on)
  // applies to the removal too.
  if (!IsComponentInstalled(kViewerComponent)) {
    IsInternetExplorerPresent();
    RegisterDependentComponent(1);
  }
  ScheduleGroupConversion();

  // What stays when this fails (the uninstall shortcuts, the entry, the
  // script, the uninstaller) still records the product: the uninstall is not
  // complete.
  if (!RemoveUninstallRecords(g_uninstScriptPath, uninstallerPath)) NoteFailure(kExitUninstallIncomplete);
  ProgressReach(kProgressRange);

  char message[kPathSize];
  FormatBounded(message, sizeof(message), kRemovedMessageFormat, kProductName);
  QuietMessageBox(window, message, g_uninstallCaption, MB_OK | MB_ICONINFORMATION | MB_TOPMOST);
  EndProgress();
  return 1;
}
