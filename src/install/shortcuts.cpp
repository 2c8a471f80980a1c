#include "install/shortcuts.h"

#include <shlobj.h>
#include <cstring>

#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/run_log.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/script_store.h"

const char kLinkExtension[] = ".lnk";

namespace {

const char kNoArguments[] = "";
// The uninstall shortcut hands the uninstaller its script: -u"<script>".
const char kUninstallArgumentsFormat[] = "-u\"%s\"";
// No user interface, and a moved target may be found by any match.
const DWORD kResolveFlags = SLR_NO_UI | SLR_ANY_MATCH;

// IPersistFile takes the link path in UTF-16.
HRESULT ToWidePath(const char* path, WCHAR* wide) {
  if (MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) == 0)
    return HRESULT_FROM_WIN32(GetLastError());
  return S_OK;
}

HRESULT CreateShellLink(ScopedComPtr<IShellLinkA>& link) {
  return CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                          link.Out());
}

int ReadSetupValue(const char* key, char* value) {
  GetPrivateProfileStringA(kSectionLog, key, "", value, kPathSize, g_setupScriptPath);
  return value[0] != '\0';
}

void RecordProductValue(const char* key, const char* value) {
  WriteScriptString(g_uninstScriptPath, g_productKey, key, value);
}

// The uninstall shortcut in the Start-menu folder; records the folder's
// "Uninst" entry first. The COM status of the link, or a failure status
// when a path does not fit.
HRESULT CreateUninstallShortcut(const char* menuFolderPath, const char* menuFolder,
                                const char* uninstName) {
  WriteScriptString(g_uninstScriptPath, kSectionUninst, menuFolder, uninstName);
  char uninstaller[kPathSize];
  char linkPath[kPathSize];
  char arguments[kPathSize + 4];
  if (!BuildWindowsPath(kUninstallerFileName, uninstaller, sizeof(uninstaller)) ||
      !FormatBounded(linkPath, sizeof(linkPath), "%s\\%s%s", menuFolderPath, uninstName,
                     kLinkExtension) ||
      !FormatBounded(arguments, sizeof(arguments), kUninstallArgumentsFormat, g_uninstScriptPath))
    return E_FAIL;
  return CreateLinkWithArgs(uninstaller, linkPath, uninstName, arguments);
}

// The Start-menu shortcut and, when asked for, the uninstall shortcut.
// 0 when one of them failed; a folder that cannot be made only skips them.
int CreateMenuShortcuts(const char* programsDir, const char* menu, const char* linkTarget,
                        int makeUninstallShortcut) {
  const char* shortcutName = AfterLastBackslash(menu);
  char menuFolder[kPathSize];
  CopyBounded(menu, menuFolder, sizeof(menuFolder));
  menuFolder[shortcutName - 1 - menu] = '\0';

  char menuFolderPath[kPathSize];
  char linkPath[kPathSize];
  if (!FormatBounded(menuFolderPath, sizeof(menuFolderPath), "%s\\%s", programsDir, menuFolder) ||
      !FormatBounded(linkPath, sizeof(linkPath), "%s\\%s%s", menuFolderPath, shortcutName,
                     kLinkExtension))
    return 0;
  // One level only: a folder below a missing one is not made, and then the
  // desktop shortcut alone decides.
  if (!CreateDirectoryA(menuFolderPath, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
    return 1;
  if (FAILED(CreateLink(linkTarget, linkPath, shortcutName))) return 0;

  char uninstName[kPathSize];
  if (!makeUninstallShortcut || !ReadSetupValue(kKeyUninst, uninstName)) return 1;
  return SUCCEEDED(CreateUninstallShortcut(menuFolderPath, menuFolder, uninstName)) ? 1 : 0;
}

// The link's file interface, and the link file's path in the UTF-16 form it
// takes: what both saving and loading a link need.
HRESULT OpenLinkFile(IShellLinkA* link, const char* linkPath, ScopedComPtr<IPersistFile>& file,
                     WCHAR* widePath) {
  HRESULT status = link->QueryInterface(IID_IPersistFile, file.Out());
  if (FAILED(status)) return status;
  return ToWidePath(linkPath, widePath);
}

}  // namespace

int CreateShortcuts(int makeUninstallShortcut) {
  char installDir[kPathSize];
  char target[kPathSize];
  ReadScriptString(g_uninstScriptPath, kSectionPaths, g_productKey, "", installDir, sizeof(installDir));
  if (installDir[0] == '\0' || !ReadSetupValue(kKeyTarget, target)) return 0;

  CopyBounded(target, g_viewerExe, sizeof(g_viewerExe));
  char linkTarget[kPathSize];
  int linkFits = FormatBounded(linkTarget, sizeof(linkTarget), "%s\\%s", installDir, target);
  char menu[kPathSize];
  ReadSetupValue(kKeyMenu, menu);
  int menuSplits = linkFits && strchr(menu, '\\') != nullptr;
  // The program, and the Start-menu entry when the links can be made, are
  // recorded in one write before any link.
  ProfileText* script = ScriptText(g_uninstScriptPath);
  if (script && SetProfileValue(script, g_productKey, kKeyTarget, target) &&
      (!menuSplits || SetProfileValue(script, g_productKey, kKeyMenu, menu)))
    SaveScript(g_uninstScriptPath);
  if (!menuSplits) return 0;

  char programsDir[kPathSize];
  if (!GetSpecialFolderPath(CSIDL_PROGRAMS, programsDir)) return 0;
  if (!CreateMenuShortcuts(programsDir, menu, linkTarget, makeUninstallShortcut)) return 0;

  // Without a desktop shortcut the step fails, although the Start-menu
  // shortcuts stay.
  char icon[kPathSize];
  char desktopDir[kPathSize];
  if (!ReadSetupValue(kKeyIcon, icon)) return 0;
  if (!GetSpecialFolderPath(CSIDL_DESKTOP, desktopDir)) return 0;
  RecordProductValue(kKeyIcon, icon);
  char linkPath[kPathSize];
  if (!FormatBounded(linkPath, sizeof(linkPath), "%s\\%s%s", desktopDir, icon, kLinkExtension))
    return 0;
  return SUCCEEDED(CreateLink(linkTarget, linkPath, icon)) ? 1 : 0;
}

int GetSpecialFolderPath(int csidl, char* path) {
  path[0] = '\0';
  ScopedItemIdList folder;
  if (SHGetSpecialFolderLocation(nullptr, csidl, &folder.p) != S_OK) return 0;
  return SHGetPathFromIDListA(folder.p, path) ? 1 : 0;
}

HRESULT CreateLinkWithArgs(const char* target, const char* linkPath, const char* description,
                           const char* arguments) {
  ScopedComPtr<IShellLinkA> link;
  HRESULT status = CreateShellLink(link);
  if (FAILED(status)) return status;
  // A target that does not exist yet is accepted (S_FALSE): the link is
  // made all the same.
  link->SetPath(target);
  link->SetArguments(arguments);
  link->SetDescription(description);

  ScopedComPtr<IPersistFile> file;
  WCHAR widePath[MAX_PATH];
  status = OpenLinkFile(link.p, linkPath, file, widePath);
  if (FAILED(status)) return status;
  status = file->Save(widePath, TRUE);
  LogLine("link %s: %s -> %s %s", SUCCEEDED(status) ? "made" : "not made", linkPath, target,
          arguments);
  return status;
}

HRESULT CreateLink(const char* target, const char* linkPath, const char* description) {
  return CreateLinkWithArgs(target, linkPath, description, kNoArguments);
}

HRESULT ResolveLink(HWND owner, const char* linkPath, char* targetPath) {
  targetPath[0] = '\0';
  ScopedComPtr<IShellLinkA> link;
  HRESULT status = CreateShellLink(link);
  if (FAILED(status)) return status;
  ScopedComPtr<IPersistFile> file;
  WCHAR widePath[MAX_PATH];
  status = OpenLinkFile(link.p, linkPath, file, widePath);
  if (FAILED(status)) return status;
  status = file->Load(widePath, STGM_READ);
  if (FAILED(status)) return status;
  status = link->Resolve(owner, kResolveFlags);
  if (FAILED(status)) return status;

  char resolved[kPathSize] = "";
  char description[kPathSize] = "";
  WIN32_FIND_DATAA findData;
  link->GetPath(resolved, sizeof(resolved), &findData, SLGP_SHORTPATH);
  status = link->GetDescription(description, sizeof(description));
  CopyBounded(resolved, targetPath, kPathSize);
  return status;
}
