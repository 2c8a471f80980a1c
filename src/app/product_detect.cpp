#include "app/product_detect.h"

#include <windows.h>

#include "base/globals.h"
#include "base/names.h"
#include "base/text_util.h"
#include "install/install_logic.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"

namespace {

struct PlatformProgram {
  const char* fileName;    // names its App Paths key
  const char* productKey;
};

const char kViewerProgram[] = "LFViewer.exe";
const char kHomeProgram[] = "LCHome.exe";
const char kHomeKey[] = "LCHome";
const char kProProgram[] = "LCPro.exe";
const char kProKey[] = "LCPro";

// Looked up in this order; the first one registered is the answer. The
// viewer comes first: its own older layout may need moving.
const PlatformProgram kPrograms[] = {
    {kViewerProgram, kViewerKey},
    {kHomeProgram, kHomeKey},
    {kProProgram, kProKey},
};

// The App Paths "Path" of program into folder (kPathSize bytes); 0 when it
// is not registered.
int ReadAppPath(const char* program, char* folder) {
  char key[kPathSize];
  if (!FormatBounded(key, sizeof(key), "%s%s", kAppPathsKey, program)) {
    folder[0] = '\0';
    return 0;
  }
  return GetRegString(HKEY_LOCAL_MACHINE, key, kAppPathValue, folder, kPathSize);
}

}  // namespace

void DetectInstalledProduct() {
  g_productKey[0] = '\0';
  g_installDir[0] = '\0';
  for (const PlatformProgram& program : kPrograms) {
    char folder[kPathSize];
    if (!ReadAppPath(program.fileName, folder)) continue;
    CopyBounded(program.productKey, g_productKey, sizeof(g_productKey));
    CopyBounded(folder, g_installDir, sizeof(g_installDir));
    // An older viewer kept its program folder elsewhere than "\World": the
    // install moves it into the new layout.
    if (program.productKey == kViewerKey && !EndsInWorldFolder(folder)) {
      g_migrateOldDir = 1;
      CopyBounded(folder, g_oldViewerDir, sizeof(g_oldViewerDir));
    }
    break;
  }
  // The product folder is the one above the program's folder.
  const char* afterSlash = AfterLastBackslash(g_installDir);
  if (afterSlash) g_installDir[afterSlash - g_installDir - 1] = '\0';
}
