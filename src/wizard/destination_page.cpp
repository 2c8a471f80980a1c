#include "wizard/destination_page.h"

#include <shlobj.h>

#include "base/ask_user.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/names.h"
#include "base/system_library.h"
#include "base/text_util.h"
#include "resources/resource_ids.h"
#include "wizard/setup_wizard.h"
#include "wizard/wizard_logic.h"

namespace {

const char kBrowseTitle[] = "Please Choose a Directory";
const char kKernelLibrary[] = "kernel32.dll";
const char kFreeSpaceExName[] = "GetDiskFreeSpaceExA";
const char kShortageQuestion[] =
    "There are %iK Bytes free on '%s' but the installation\nrequires %iK Bytes.\n\n"
    "Do you want to try to install to this location anyway?";

typedef BOOL(WINAPI* FreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// Whether the drive of `root` has no more free bytes than `required`; the
// free bytes go to *freeBytes. Every failure to find out counts as enough.
int SpaceTooSmall(const char* root, uint32_t required, uint32_t* freeBytes) {
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  if (UsesExtendedSpaceQuery(version.dwPlatformId, version.dwBuildNumber)) {
    HMODULE kernel = LoadSystemLibrary(kKernelLibrary);
    if (!kernel) return 0;
    FreeSpaceExFn query = FunctionAs<FreeSpaceExFn>(GetProcAddress(kernel, kFreeSpaceExName));
    ULARGE_INTEGER toCaller, total, allFree;
    int small = query && query(root, &toCaller, &total, &allFree) &&
                ExtendedSpaceTooSmall(toCaller.QuadPart, required);
    if (small) *freeBytes = toCaller.LowPart;
    FreeLibrary(kernel);
    return small;
  }
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, clusters;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
    return 0;
  *freeBytes = PlainFreeBytes(sectorsPerCluster, bytesPerSector, freeClusters);
  return *freeBytes <= required;
}

void ShowFolder(HWND page) {
  SendDlgItemMessageA(page, IDC_DEST_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_installDir));
}

INT_PTR OnNotify(HWND page, const NMHDR* notice) {
  switch (notice->code) {
    case PSN_SETACTIVE:
      LogPageShown(page);
      PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
      ShowFolder(page);
      return TRUE;
    case PSN_WIZNEXT:
      SendDlgItemMessageA(page, IDC_DEST_FOLDER, WM_GETTEXT, sizeof(g_installDir),
                          reinterpret_cast<LPARAM>(g_installDir));
      if (CheckDiskSpace(page, g_installDir, g_setupScriptPath)) return TRUE;
      return PageResult(page, -1);
    case PSN_WIZBACK:
      return TRUE;
    case PSN_KILLACTIVE:
      return PageResult(page, 0);
    case PSN_RESET:
      g_installDir[0] = '\0';
      return PageResult(page, 0);
    default:
      return FALSE;
  }
}

}  // namespace

unsigned GetReservedDiskSpace(const char* setupScript) {
  return ReservedDiskSpaceSum(GetPrivateProfileIntA(kSectionReserve, kKeySizeProduct, 0, setupScript),
                              GetPrivateProfileIntA(kSectionReserve, kKeySizeContent, 0, setupScript),
                              GetPrivateProfileIntA(kSectionReserve, kKeySizeLibraries, 0, setupScript));
}

int CheckDiskSpace(HWND owner, const char* folder, const char* setupScript) {
  uint32_t required = GetReservedDiskSpace(setupScript);
  char root[kPathSize];
  GetPathRoot(folder, root, sizeof(root));
  uint32_t freeBytes = 0;
  if (root[0] == '\0' || !SpaceTooSmall(root, required, &freeBytes)) return 1;
  char question[sizeof(kShortageQuestion) + kPathSize + 32];
  FormatBounded(question, sizeof(question), kShortageQuestion, static_cast<int>(freeBytes >> 10), root,
                static_cast<int>(required >> 10));
  // A silent setup does not try a drive that is short of space.
  int answer = AskUser(owner, question, g_setupCaption, MB_YESNO | MB_DEFBUTTON2 | MB_TOPMOST, IDNO);
  return answer == IDNO ? 0 : 1;
}

int BrowseForFolder(HWND owner, const char* title, char* path) {
  ScopedComPtr<IMalloc> allocator;
  if (SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.Out())) != S_OK) return 0;
  char* displayName = static_cast<char*>(allocator->Alloc(kPathSize));
  if (!displayName) return 0;
  BROWSEINFOA browse;
  ZeroMemory(&browse, sizeof(browse));
  browse.hwndOwner = owner;
  browse.pszDisplayName = displayName;
  browse.lpszTitle = title;
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
  int chosen = 0;
  if (LPITEMIDLIST item = SHBrowseForFolderA(&browse)) {
    char folder[MAX_PATH];
    // A path that does not fit the caller's buffer counts as nothing chosen.
    chosen = SHGetPathFromIDListA(item, folder) && CopyBounded(folder, path, kPathSize);
    allocator->Free(item);
  }
  allocator->Free(displayName);
  return chosen;
}

INT_PTR CALLBACK DestinationPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_NOTIFY:
      return OnNotify(page, reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND: {
      if (HIWORD(wParam) != 0) return FALSE;
      char chosen[kPathSize];
      if (LOWORD(wParam) == IDC_DEST_BROWSE && BrowseForFolder(page, kBrowseTitle, chosen)) {
        CopyBounded(chosen, g_installDir, sizeof(g_installDir));
        ShowFolder(page);
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}
