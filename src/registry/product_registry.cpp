#include "registry/product_registry.h"

#include <windows.h>
#include <cstring>

#include "base/file_queries.h"
#include "base/globals.h"
#include "base/heap_text.h"
#include "base/names.h"
#include "base/text_util.h"
#include "registry/component_list.h"
#include "registry/file_types.h"
#include "registry/reg_helpers.h"
#include "registry/value_list.h"
#include "registry/viewer_records.h"

const char kMakerKey[] = "SOFTWARE\\LUMENFIELD Corporation";
const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
// The Add/Remove Programs entries, this product's among them.
#define LF_UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"
const char kUninstallKeyBase[] = LF_UNINSTALL_KEY;
const char kProductUninstallKey[] = LF_UNINSTALL_KEY LF_PRODUCT " Browser";
#undef LF_UNINSTALL_KEY
const char kUninstallStringValue[] = "UninstallString";
const char kQuietUninstallValue[] = "QuietUninstallString";
const char kAppPathValue[] = "Path";
const char kViewerComponent[] = "Viewer";
const char kBrandValue[] = "Brand";

namespace {

// The product web site; the addresses carry no scheme prefix.
#define LF_PRODUCT_SITE "www.lumenfield.com/quillara"
const char kDefaultHomeAddress[] = LF_PRODUCT_SITE "/worlds.html";
const char kWelcomeAddress[] = LF_PRODUCT_SITE "/welcome.html";
#undef LF_PRODUCT_SITE

const char kDefaultValue[] = "";
const char kEmptyData[] = "";
const char kDisplayNameValue[] = "DisplayName";
const char kDisplayName[] = LF_PRODUCT " Browser";
const char kPublisher[] = "LUMENFIELD Corporation";

// The installing user's default profile.
const char kSettingsSubkey[] = "Settings";
const char kNetworkSubkey[] = "Network";
const char kProfileName[] = "VISITOR";  // also the profile's own subkey
const char kRecentNameValue[] = "RecentName";
const char kRunOnceValue[] = "RunOnce";
const char kDontUseLoginValue[] = "DontUseLogin";
const char kNetworkNameValue[] = "Name";
const char kProfileNameValue[] = "ProfileName";
const char kPasswordValue[] = "Password";
const char kStartingVornValue[] = "StartingVorn";

const char kVersionValue[] = "Version";

// Content folders: the subkey below "Paths" and the folder below {D}.
const char kPathsSubkey[] = "Paths";
const char kVornsSubkey[] = "Vorns";
const char kDomainsSubkey[] = "Domains";
const char kMediaSubkey[] = "Media";
const char kSpritesSubkey[] = "Sprites";
const char kDomainsFolder[] = "Domains";
const char kMediaFolder[] = "Media";
const char kObjectsFolder[] = "Objects";

// The list as it is normally read and written.
const DWORD kComponentListSize = 260;

// Stores key in the "Viewer" component list unless it is listed already.
// The list grows without limit, so the grown list is built in a buffer sized
// to it: no entry is ever cut off.
void AppendAndStoreViewerList(const char* list, const char* key) {
  size_t size = strlen(list) + 1 + strlen(key) + 1;
  HeapText grown(size);
  if (!grown) return;
  if (AppendToComponentList(list, key, grown.get(), size) == 1)
    SetRegString(HKEY_LOCAL_MACHINE, kMakerKey, kViewerComponent, grown.get(), 1);
}

void AddToViewerList(const char* key) {
  char list[kComponentListSize];
  if (GetRegString(HKEY_LOCAL_MACHINE, kMakerKey, kViewerComponent, list, sizeof(list))) {
    AppendAndStoreViewerList(list, key);
    return;
  }
  DWORD storedSize = 0;
  if (!GetRegValueSize(HKEY_LOCAL_MACHINE, kMakerKey, kViewerComponent, &storedSize)) {
    AppendAndStoreViewerList("", key);
    return;
  }
  // A stored list longer than the usual buffer is read whole into one that
  // fits; when even that fails, the list is left untouched rather than
  // replaced by this key alone.
  DWORD size = storedSize + 1;
  HeapText stored(size);
  if (!stored) return;
  if (!GetRegString(HKEY_LOCAL_MACHINE, kMakerKey, kViewerComponent, stored.get(), size)) return;
  AppendAndStoreViewerList(stored.get(), key);
}

// The viewer's version as text; empty when it has no version information.
void ReadVersionText(char* out, size_t size) {
  out[0] = '\0';
  char viewerPath[kPathSize];
  if (!FormatBounded(viewerPath, sizeof(viewerPath), "%s\\%s", g_installDir, g_viewerExe)) return;
  DWORD most = 0;
  DWORD least = 0;
  if (GetFileVersionNumbers(viewerPath, &most, &least)) FormatVersionText(most, least, out, size);
}

// Every text row is a REG_SZ; no result is examined, a failed row does not
// stop the next.
void SetString(HKEY root, const char* key, const char* name, const char* data) {
  SetRegString(root, key, name, data, 1);
}

// Throughout, a key or data text that would not fit its buffer is not
// written at all: a cut path would name the wrong key or folder.
int MakerSubkey(char* out, size_t size, const char* owner, const char* leaf) {
  return FormatBounded(out, size, "%s\\%s\\%s", kMakerKey, owner, leaf);
}

void WriteAppPath() {
  char key[kPathSize];
  char viewerPath[kPathSize];
  if (!FormatBounded(key, sizeof(key), "%s%s", kAppPathsKey, g_viewerExe)) return;
  SetString(HKEY_LOCAL_MACHINE, key, kAppPathValue, g_installDir);
  if (FormatBounded(viewerPath, sizeof(viewerPath), "%s\\%s", g_installDir, g_viewerExe))
    SetString(HKEY_LOCAL_MACHINE, key, kDefaultValue, viewerPath);
}

void WriteVisitorProfile(const char* homeAddress) {
  char key[kPathSize];
  if (MakerSubkey(key, sizeof(key), g_altProductKey, kSettingsSubkey)) {
    SetString(HKEY_CURRENT_USER, key, kRecentNameValue, kProfileName);
    SetString(HKEY_CURRENT_USER, key, kRunOnceValue, kWelcomeAddress);
    SetRegDword(HKEY_CURRENT_USER, key, kDontUseLoginValue, 1);
  }
  if (MakerSubkey(key, sizeof(key), g_altProductKey, kNetworkSubkey))
    SetString(HKEY_CURRENT_USER, key, kNetworkNameValue, kProfileName);
  if (MakerSubkey(key, sizeof(key), g_altProductKey, kProfileName)) {
    SetString(HKEY_CURRENT_USER, key, kProfileNameValue, kProfileName);
    SetString(HKEY_CURRENT_USER, key, kPasswordValue, kEmptyData);
    SetString(HKEY_CURRENT_USER, key, kStartingVornValue, homeAddress);
  }
}

void WriteContentPath(const char* subkey, const char* folder) {
  char key[kPathSize];
  char data[kPathSize];
  if (!FormatBounded(key, sizeof(key), "%s\\%s\\%s\\%s", kMakerKey, g_productKey, kPathsSubkey,
                     subkey))
    return;
  int fits = folder ? FormatBounded(data, sizeof(data), "%s\\%s", g_installDir, folder)
                    : CopyBounded(g_installDir, data, sizeof(data));
  if (fits) SetString(HKEY_LOCAL_MACHINE, key, kDefaultValue, data);
}

// The uninstall entry's details for Add/Remove Programs and package
// managers: version, publisher, icon, folder, size, and no modify or repair.
void WriteUninstallDetails(const char* version) {
  const char* key = kProductUninstallKey;
  if (version[0] != '\0') SetString(HKEY_LOCAL_MACHINE, key, "DisplayVersion", version);
  SetString(HKEY_LOCAL_MACHINE, key, "Publisher", kPublisher);
  char viewer[kPathSize];
  if (FormatBounded(viewer, sizeof(viewer), "%s\\%s", g_installDir, g_viewerExe))
    SetString(HKEY_LOCAL_MACHINE, key, "DisplayIcon", viewer);
  SetString(HKEY_LOCAL_MACHINE, key, "InstallLocation", g_installDir);
  // Whole kilobytes, rounded up, as Windows expects the estimate.
  SetRegDword(HKEY_LOCAL_MACHINE, key, "EstimatedSize",
              static_cast<DWORD>((g_installedBytes + 1023) / 1024));
  SetRegDword(HKEY_LOCAL_MACHINE, key, "NoModify", 1);
  SetRegDword(HKEY_LOCAL_MACHINE, key, "NoRepair", 1);
}

}  // namespace

void WriteProductRegistry() {
  char homeAddress[kPathSize];
  GetPrivateProfileStringA(kSectionLog, kKeyHome, kDefaultHomeAddress, homeAddress,
                           sizeof(homeAddress), g_setupScriptPath);
  char version[kPathSize];
  ReadVersionText(version, sizeof(version));

  AddToViewerList(g_productKey);

  WriteAppPath();
  SetString(HKEY_LOCAL_MACHINE, kProductUninstallKey, kDisplayNameValue, kDisplayName);
  WriteUninstallDetails(version);
  WriteVisitorProfile(homeAddress);

  char productKey[kPathSize];
  if (FormatBounded(productKey, sizeof(productKey), "%s\\%s", kMakerKey, g_productKey)) {
    SetString(HKEY_LOCAL_MACHINE, productKey, kVersionValue, version);
    SetString(HKEY_LOCAL_MACHINE, productKey, kBrandValue, kProductName);
  }
  MarkBrandInstalled();
  RecordBrandVersion(version);

  WriteContentPath(kVornsSubkey, nullptr);
  WriteContentPath(kDomainsSubkey, kDomainsFolder);
  WriteContentPath(kMediaSubkey, kMediaFolder);
  WriteContentPath(kSpritesSubkey, kObjectsFolder);

  // The protocol's open command wants the short form; should the folder have
  // none to give, its long form still names the viewer.
  char shortDir[kPathSize];
  DWORD shortLength = GetShortPathNameA(g_installDir, shortDir, sizeof(shortDir));
  if (shortLength == 0 || shortLength >= sizeof(shortDir))
    CopyBounded(g_installDir, shortDir, sizeof(shortDir));
  RegisterProtocolAndFileTypes(g_installDir, g_viewerExe, shortDir);
}
