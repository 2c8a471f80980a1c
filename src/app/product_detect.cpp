#include "app/product_detect.h"

#include <windows.h>

#include "base/globals.h"
#include "base/names.h"
#include "base/run_log.h"
#include "base/text_util.h"
#include "install/install_logic.h"
#include "install/script_store.h"
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
  // A product whose uninstall was ended after its App Paths key went, or
  // whose install was ended before that key was written, is still found
  // while the uninstall script records its folder: the next run finishes
  // that uninstall or install, in the same folder.
  for (const PlatformProgram& program : kPrograms) {
    if (g_productKey[0]) break;
    // One byte more than a path holds: a longer value is no folder, never
    // one cut short.
    char folder[kPathSize + 1];
    DWORD length = ReadScriptString(g_uninstScriptPath, kSectionPaths, program.productKey, "", folder, sizeof(folder));
    if (length == 0 || length >= kPathSize) continue;
    CopyBounded(program.productKey, g_productKey, sizeof(g_productKey));
    CopyBounded(folder, g_installDir, sizeof(g_installDir));
    LogLine("product found in the uninstall script: %s in %s", g_productKey, g_installDir);
  }
  // The product folder is the one above the program's folder.
  const char* afterSlash = AfterLastBackslash(g_installDir);
  if (afterSlash) g_installDir[afterSlash - g_installDir - 1] = '\0';
}
