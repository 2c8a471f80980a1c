#include "registry/viewer_records.h"

#include <cstring>

#include "base/globals.h"
#include "base/text_util.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"
#include "registry/value_list.h"

namespace {

// This edition's brand: its bit in "RegInfo" and its code in "RegVerStr".
const DWORD kBrandBit = 0x100;
const char kBrandEntryPrefix[] = "0x0100=";

const char kRegInfoValue[] = "RegInfo";
const char kRegVerStrValue[] = "RegVerStr";
// Shared by every brand edition, whatever the product key.
const char kViewerRecordsKey[] = "Software\\LUMENFIELD Corporation\\LFViewer\\";

}  // namespace

void MarkBrandInstalled() {
  char key[kPathSize];
  if (!FormatBounded(key, sizeof(key), "%s\\%s", kMakerKey, g_productKey)) return;
  DWORD mask = 0;
  GetRegDword(HKEY_LOCAL_MACHINE, key, kRegInfoValue, &mask, sizeof(mask));
  SetRegDword(HKEY_LOCAL_MACHINE, key, kRegInfoValue, mask | kBrandBit);
}

void RecordBrandVersion(const char* version) {
  char entry[kRegListCapacity];
  if (!FormatBounded(entry, sizeof(entry), "%s%s", kBrandEntryPrefix, version)) return;
  RegListInit(kRegVerStrValue);
  if (RegListLoad(HKEY_LOCAL_MACHINE, kViewerRecordsKey) != 0) {
    // A value that exists but could not be read whole (longer than the list
    // holds) is left as it is: saving our entry alone would wipe the other
    // editions' entries.
    DWORD size = 0;
    if (GetRegValueSize(HKEY_LOCAL_MACHINE, kViewerRecordsKey, kRegVerStrValue, &size)) return;
  }
  if (strstr(RegListText(), kBrandEntryPrefix))
    RegListReplace(kBrandEntryPrefix, version);
  else
    RegListAdd(0, entry);
  RegListSave(HKEY_LOCAL_MACHINE, kViewerRecordsKey);
}

int RegListLoad(HKEY root, const char* subkey) {
  char text[kRegListCapacity];
  int read = GetRegString(root, subkey, RegListValueName(), text, sizeof(text));
  RegListSetText(text);
  return read ? 0 : -1;
}

int RegListSave(HKEY root, const char* subkey) {
  const char* text = RegListText();
  int set = text[0] != '\0';
  return SetRegString(root, subkey, RegListValueName(), text, set) ? 0 : -1;
}
