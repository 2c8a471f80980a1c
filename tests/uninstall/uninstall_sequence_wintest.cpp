// The uninstall sequence on a clean machine, without its message boxes: the
// content question is not asked (askContent 0) and UninstallProduct runs
// quiet. Whole install and uninstall round trips are end-to-end scenarios.
#include "uninstall/uninstall_sequence.h"

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>

#include "app/globals.h"
#include "app/text_util.h"
#include "e2e_machine.h"
#include "install/shortcuts.h"

namespace {

const char kScript[] = "C:\\LFUninst.inf";
const char kMaker[] = "SOFTWARE\\LUMENFIELD Corporation";
const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillara Browser";
const char kNetscapeKey[] = "Software\\Netscape\\Netscape Navigator\\Automation Protocols";
const char kIeKey[] = "SOFTWARE\\Microsoft\\IE4\\DependentComponents";
const char kWorld[] = "C:\\Prod\\LF\\World";
const char* const kAuthoringKeys[] = {".vrn", "LUMENCRAFTER.Token"};
const char* const kViewerKeys[] = {"vorn", ".3de", "CLSID\\{3F6A2B12-7C41-11D2-B5E2-0060971A44D0}"};

void Record(const char* section, const char* key, const char* value = "") {
  ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, kScript));
}

bool MakeFile(const std::string& path) {
  return MakeFolders(path.substr(0, path.find_last_of('\\'))) && WriteTextFile(path, "data");
}

bool ValuePresent(HKEY root, const char* key, const char* name) {
  return ReadRegValue(root, key, name).present;
}

class UninstallSequenceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    g_quiet = 1;
    CopyBounded(kScript, g_uninstScriptPath, sizeof(g_uninstScriptPath));
    CopyBounded("LFViewer", g_productKey, sizeof(g_productKey));
  }
  void TearDown() override { CoUninitialize(); }

  // The shared registrations of an installed viewer, its content folder and
  // its uninstall shortcut.
  void RegisterPlatform() {
    for (const char* key : kAuthoringKeys)
      ASSERT_TRUE(WriteRegString(HKEY_CLASSES_ROOT, key, "", "x"));
    for (const char* key : kViewerKeys)
      ASSERT_TRUE(WriteRegString(HKEY_CLASSES_ROOT, key, "", "x"));
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", "LFViewer"));
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", "x"));
    ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, std::string(kMaker) + "\\Gone", "", "x"));
    ASSERT_EQ(ERROR_SUCCESS,
              RegDeleteKeyA(HKEY_CURRENT_USER, (std::string(kMaker) + "\\Gone").c_str()));
    ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\mine.vorn"));
    Record("Paths", "LFViewer", kWorld);
    ASSERT_TRUE(MakeFolders(ProgramsFolder() + "\\Quillara"));
    ASSERT_TRUE(SUCCEEDED(
        CreateLink("C:\\x.exe", (ProgramsFolder() + "\\Quillara\\Uninstall.lnk").c_str(), "")));
    Record("Uninst", "Quillara", "Uninstall");
    ASSERT_TRUE(MakeFile(uninstaller));
  }

  std::string uninstaller = WindowsDir() + "\\LFUninst.exe";
};

TEST_F(UninstallSequenceTest, IsComponentInstalledReadsListsOfAnyLength) {
  EXPECT_EQ(0, IsComponentInstalled("Builder"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Builder", "LCPro"));
  EXPECT_EQ(1, IsComponentInstalled("Builder"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Builder", std::string(300, 'k')));
  EXPECT_EQ(1, IsComponentInstalled("Builder"));
  EXPECT_EQ(0, IsComponentInstalled("Imager"));
}

TEST_F(UninstallSequenceTest, WithABuilderItsKeysStayAndEverythingOfTheViewerGoes) {
  RegisterPlatform();
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Builder", "LCPro"));
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kNetscapeKey, "vorn",
                             "\"C:\\Prod\\LF\\World\\LFCtrl.exe\" LUMENFIELD.Controller"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kIeKey, "LumenField", "LUMENFIELD Browser"));

  EXPECT_EQ(1, RemoveRegistrationsAndContent(kScript, uninstaller.c_str(), 0));
  for (const char* key : kAuthoringKeys) EXPECT_TRUE(RegKeyExists(HKEY_CLASSES_ROOT, key)) << key;
  for (const char* key : kViewerKeys) EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, key)) << key;
  EXPECT_FALSE(ValuePresent(HKEY_CURRENT_USER, kNetscapeKey, "vorn"));
  EXPECT_FALSE(ValuePresent(HKEY_LOCAL_MACHINE, kIeKey, "LumenField"));
  EXPECT_FALSE(ValuePresent(HKEY_LOCAL_MACHINE, kMaker, "Viewer"));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, kMaker));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kMaker));  // holds "Builder"
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(FileExists(std::string(kWorld) + "\\mine.vorn"));  // content kept
  EXPECT_FALSE(FileExists(ProgramsFolder() + "\\Quillara"));
  EXPECT_FALSE(FileExists(kScript));
  EXPECT_FALSE(FileExists(uninstaller));
}

TEST_F(UninstallSequenceTest, WithoutABuilderItsKeysGoAndForeignValuesStay) {
  RegisterPlatform();
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, kNetscapeKey, "vorn", "Other.Controller"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kIeKey, "LumenField", "Another Browser"));

  EXPECT_EQ(1, RemoveRegistrationsAndContent(kScript, uninstaller.c_str(), 0));
  for (const char* key : kAuthoringKeys) EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, key)) << key;
  EXPECT_TRUE(ValuePresent(HKEY_CURRENT_USER, kNetscapeKey, "vorn"));
  EXPECT_TRUE(ValuePresent(HKEY_LOCAL_MACHINE, kIeKey, "LumenField"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMaker));
}

}  // namespace
