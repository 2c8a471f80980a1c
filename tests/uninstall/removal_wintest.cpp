// The removal operations on a clean machine: each test writes an uninstall
// script, files, links and registry values, runs one operation and checks
// what is left of the machine and of the script.
#include "uninstall/removal.h"

#include <windows.h>

#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e_machine.h"
#include "install/shortcuts.h"

namespace {

const char kScript[] = "C:\\removal-test.inf";
const char kMaker[] = "SOFTWARE\\LUMENFIELD Corporation";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\LFViewer.exe";
const char kWorld[] = "C:\\Prod\\LF\\World";

void Record(const char* section, const char* key, const char* value = "") {
  ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, kScript));
}

bool MakeFile(const std::string& path) {
  return MakeFolders(path.substr(0, path.find_last_of('\\'))) && WriteTextFile(path, "data");
}

std::string ViewerList() {
  RegValue v = ReadRegValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer");
  return v.present ? v.data : "<absent>";
}

class RemovalTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }
};

// ---- DeleteListedFilesInFolder / DeleteListedFiles ----

TEST_F(RemovalTest, ListedFilesGoMissingOnesAreNoErrorValuedLinesStay) {
  std::string world = kWorld;
  for (const char* f : {"\\a.txt", "\\sub\\b.dll", "\\keep.txt"}) ASSERT_TRUE(MakeFile(world + f));
  Record("LFViewer", "a.txt");
  Record("LFViewer", "gone.txt");
  Record("LFViewer", "sub\\b.dll");
  Record("LFViewer", "keep.txt", "not a file line");
  Record("Other", "a.txt");

  EXPECT_EQ(1, DeleteListedFilesInFolder(kScript, "LFViewer", kWorld));
  EXPECT_FALSE(FileExists(world + "\\a.txt"));
  EXPECT_FALSE(FileExists(world + "\\sub\\b.dll"));
  EXPECT_TRUE(FileExists(world + "\\sub"));
  EXPECT_TRUE(FileExists(world + "\\keep.txt"));
  EXPECT_TRUE(ReadIniSection(kScript, "LFViewer").empty());
  EXPECT_EQ(1u, ReadIniSection(kScript, "Other").size());
}

TEST_F(RemovalTest, AFolderEndingInABackslashIsUsedAsItIs) {
  ASSERT_TRUE(MakeFile("C:\\rootfile.txt"));
  ASSERT_TRUE(MakeFile("C:\\Data\\datafile.txt"));
  Record("Root", "rootfile.txt");
  Record("Data", "datafile.txt");
  EXPECT_EQ(1, DeleteListedFilesInFolder(kScript, "Root", "C:\\"));
  EXPECT_EQ(1, DeleteListedFilesInFolder(kScript, "Data", "C:\\Data\\"));
  EXPECT_FALSE(FileExists("C:\\rootfile.txt"));
  EXPECT_FALSE(FileExists("C:\\Data\\datafile.txt"));
}

TEST_F(RemovalTest, AMissingSectionSucceedsAndTouchesNothing) {
  Record("Other", "a.txt");
  EXPECT_EQ(1, DeleteListedFilesInFolder(kScript, "LFViewer", kWorld));
  EXPECT_EQ(1, DeleteListedFiles(kScript, "Plugins"));
  EXPECT_EQ(1u, ReadIniSection(kScript, "Other").size());
}

TEST_F(RemovalTest, ASectionLongerThan1024BytesIsRemovedWhole) {
  std::vector<std::string> names;
  for (int i = 0; i < 60; ++i)
    names.push_back("a-rather-long-file-name-" + std::to_string(i) + ".txt");
  for (const auto& n : names) {
    ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\" + n));
    Record("LFViewer", n.c_str());
  }
  EXPECT_EQ(1, DeleteListedFilesInFolder(kScript, "LFViewer", kWorld));
  for (const auto& n : names) EXPECT_FALSE(FileExists(std::string(kWorld) + "\\" + n)) << n;
  EXPECT_TRUE(ReadIniSection(kScript, "LFViewer").empty());
}

TEST_F(RemovalTest, APathTooLongFailsAndNeverDeletesTheCutName) {
  std::string folder = "C:\\" + std::string(200, 'd');
  std::string entry = std::string(60, 'f') + ".txt";  // folder\entry: 268 characters
  std::string cut = (folder + "\\" + entry).substr(0, 259);
  ASSERT_TRUE(MakeFile(cut));
  Record("Long", entry.c_str());
  EXPECT_EQ(0, DeleteListedFilesInFolder(kScript, "Long", folder.c_str()));
  EXPECT_TRUE(FileExists(cut));
}

TEST_F(RemovalTest, PluginFilesAreAbsolutePaths) {
  ASSERT_TRUE(MakeFile("C:\\Netscape\\Plugins\\npvorn.dll"));
  Record("Plugins", "C:\\Netscape\\Plugins\\npvorn.dll");
  Record("Plugins", "C:\\Netscape\\Plugins\\gone.dll");
  EXPECT_EQ(1, DeleteListedFiles(kScript, "Plugins"));
  EXPECT_FALSE(FileExists("C:\\Netscape\\Plugins\\npvorn.dll"));
  EXPECT_TRUE(ReadIniSection(kScript, "Plugins").empty());
}

// ---- RemoveFromComponentList ----

TEST_F(RemovalTest, RemoveFromComponentListKeepsTheOtherKeys) {
  std::string longList;
  for (int i = 0; i < 30; ++i) longList += "LCProduct" + std::to_string(10 + i) + ";";
  struct {
    std::string stored;
    const char* key;
    int found;
    std::string after;
  } cases[] = {
      {"LFViewer;LCHome", "LFViewer", 1, "LCHome"},
      {"LCHome;LFViewer", "lfVIEWER", 1, "LCHome"},
      {"LFViewer", "LFViewer", 1, "<absent>"},
      {"LCHome", "LFViewer", 0, "LCHome"},
      {longList + "LFViewer", "LFViewer", 1, longList.substr(0, longList.size() - 1)},
      {longList + "LCHome", "LFViewer", 0, longList + "LCHome"},
  };
  ASSERT_GT(longList.size(), 259u);
  for (const auto& c : cases) {
    ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", c.stored));
    EXPECT_EQ(c.found, RemoveFromComponentList("Viewer", c.key)) << c.stored;
    EXPECT_EQ(c.after, ViewerList()) << c.stored;
  }
}

TEST_F(RemovalTest, RemoveFromComponentListWithoutAListCreatesNothing) {
  EXPECT_EQ(0, RemoveFromComponentList("Viewer", "LFViewer"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMaker));
}

// ---- DeleteFolderTree ----

TEST_F(RemovalTest, DeleteFolderTreeRemovesEverything) {
  for (const char* f : {"C:\\Tree\\a.txt", "C:\\Tree\\sub\\b.txt", "C:\\Tree\\sub\\deeper\\c.txt"})
    ASSERT_TRUE(MakeFile(f));
  ASSERT_TRUE(MakeFolders("C:\\Tree\\empty"));
  EXPECT_NE(0, DeleteFolderTree("C:\\Tree"));
  EXPECT_FALSE(FileExists("C:\\Tree"));
  EXPECT_EQ(0, DeleteFolderTree("C:\\Tree"));
}

// ---- RemoveComponentContent ----

TEST_F(RemovalTest, ContentFlagOneRemovesTheTreeAndItsEmptyWorldParent) {
  ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\Media\\song.mid"));
  ASSERT_TRUE(MakeFile("C:\\Prod\\other.txt"));
  Record("Paths", "LFViewer", kWorld);
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", "LFViewer"));
  EXPECT_EQ(1, RemoveComponentContent("Viewer", kScript, 1, "LFViewer", 1));
  EXPECT_FALSE(FileExists("C:\\Prod\\LF"));
  EXPECT_TRUE(FileExists("C:\\Prod\\other.txt"));
  EXPECT_EQ("<absent>", ViewerList());
}

TEST_F(RemovalTest, ContentFlagZeroDeletesOnlyTheListedFiles) {
  std::string world = kWorld;
  ASSERT_TRUE(MakeFile(world + "\\listed.txt"));
  ASSERT_TRUE(MakeFile(world + "\\mine.vorn"));
  Record("Paths", "LFViewer", kWorld);
  Record("Viewer", "listed.txt");
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", "LFViewer"));
  EXPECT_EQ(1, RemoveComponentContent("Viewer", kScript, 0, "LFViewer", 1));
  EXPECT_FALSE(FileExists(world + "\\listed.txt"));
  EXPECT_TRUE(FileExists(world + "\\mine.vorn"));
  EXPECT_TRUE(ReadIniSection(kScript, "Viewer").empty());
  EXPECT_EQ("<absent>", ViewerList());
}

TEST_F(RemovalTest, TwoProductsInOneListBothGo) {
  ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\a.txt"));
  ASSERT_TRUE(MakeFile("C:\\Home\\World\\b.txt"));
  Record("Paths", "LFViewer", kWorld);
  Record("Paths", "LCHome", "C:\\Home\\World");
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", "LFViewer;LCHome"));
  EXPECT_EQ(1, RemoveComponentContent("Viewer", kScript, 1, "LFViewer;LCHome", 1));
  EXPECT_FALSE(FileExists("C:\\Prod\\LF"));
  EXPECT_FALSE(FileExists("C:\\Home"));
  EXPECT_EQ("<absent>", ViewerList());
}

TEST_F(RemovalTest, KeysGoFromTheLastListItemOnWithARunningResult) {
  Record("Paths", "LFViewer", kWorld);
  // LCHome (no folder) comes first and stays; LFViewer then goes.
  ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\a.txt"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", "LFViewer;LCHome"));
  EXPECT_EQ(1, RemoveComponentContent("Viewer", kScript, 1, "LFViewer;LCHome", 1));
  EXPECT_EQ("LCHome", ViewerList());
  // LFViewer comes first and goes; LCHome follows it out of the list.
  ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\a.txt"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kMaker, "Viewer", "LCHome;LFViewer"));
  EXPECT_EQ(1, RemoveComponentContent("Viewer", kScript, 1, "LCHome;LFViewer", 1));
  EXPECT_EQ("<absent>", ViewerList());
}

TEST_F(RemovalTest, AListNotFoundRemovesNothing) {
  ASSERT_TRUE(MakeFile(std::string(kWorld) + "\\a.txt"));
  Record("Paths", "LFViewer", kWorld);
  EXPECT_EQ(0, RemoveComponentContent("Viewer", kScript, 1, "LFViewer", 0));
  EXPECT_TRUE(FileExists(std::string(kWorld) + "\\a.txt"));
}

// ---- RemoveProductEntries ----

std::string DesktopLink() { return DesktopFolder() + "\\Quillara Browser.lnk"; }
std::string MenuLink() { return ProgramsFolder() + "\\Quillara\\Quillara Browser.lnk"; }
const char kTarget[] = "C:\\Prod\\LF\\World\\LFViewer.exe";

// What an install records for LFViewer; without the given key of the
// product section, and without the desktop link when desktopLink is false.
void InstallRecordedProduct(const char* leaveOutKey, bool desktopLink) {
  std::string world = kWorld;
  ASSERT_TRUE(MakeFile(world + "\\a.txt"));
  ASSERT_TRUE(MakeFile(world + "\\sub\\b.txt"));
  Record("Paths", "LFViewer", kWorld);
  Record("LFViewer", "AltKey", "LFAlt");
  Record("LFViewer", "a.txt");
  Record("LFViewer", "sub\\b.txt");
  Record("Products", "LFViewer", "Quillara Browser");
  const char* valued[][2] = {{"Target", "LFViewer.exe"},
                             {"Menu", "Quillara\\Quillara Browser"},
                             {"Icon", "Quillara Browser"}};
  for (const auto& kv : valued)
    if (std::string(kv[0]) != leaveOutKey) Record("LFViewer", kv[0], kv[1]);
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, std::string(kMaker) + "\\LFAlt\\Settings",
                             "RecentName", "VISITOR"));
  ASSERT_TRUE(
      WriteRegString(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LFViewer", "Version", "1.0"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, kAppPaths, "Path", kWorld));
  ASSERT_TRUE(MakeFolders(ProgramsFolder() + "\\Quillara"));
  ASSERT_TRUE(SUCCEEDED(CreateLink(kTarget, MenuLink().c_str(), "Quillara Browser")));
  if (desktopLink)
    ASSERT_TRUE(SUCCEEDED(CreateLink(kTarget, DesktopLink().c_str(), "Quillara Browser")));
}

void ExpectFilesAndKeysGone() {
  EXPECT_FALSE(FileExists(std::string(kWorld) + "\\a.txt"));
  EXPECT_FALSE(FileExists(std::string(kWorld) + "\\sub\\b.txt"));
  EXPECT_FALSE(RegKeyExists(HKEY_CURRENT_USER, std::string(kMaker) + "\\LFAlt"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LFViewer"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kAppPaths));
}

TEST_F(RemovalTest, AMissingMenuFailsBeforeAnythingIsRemoved) {
  InstallRecordedProduct("Menu", true);
  EXPECT_EQ(0, RemoveProductEntries(kScript, "LFViewer"));
  auto section = ReadIniSection(kScript, "LFViewer");
  EXPECT_EQ(0u, section.count("target") + section.count("icon") + section.count("altkey"));
  EXPECT_EQ(1u, section.count("a.txt"));
  EXPECT_TRUE(FileExists(std::string(kWorld) + "\\a.txt"));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kAppPaths));
  EXPECT_TRUE(FileExists(DesktopLink()));
}

// ---- RemoveUninstallShortcuts ----

TEST_F(RemovalTest, UninstallShortcutsWithoutASectionSucceed) {
  EXPECT_EQ(1, RemoveUninstallShortcuts(kScript));
  Record("Uninst", "Quillara", "Uninstall");
  Record("Uninst", "Quillara", nullptr);  // the section stays, empty
  EXPECT_EQ(1, RemoveUninstallShortcuts(kScript));
}

TEST_F(RemovalTest, UninstallShortcutsGoAndTheirEmptyFolders) {
  std::string programs = ProgramsFolder();
  ASSERT_TRUE(MakeFolders(programs + "\\Quillara"));
  ASSERT_TRUE(MakeFolders(programs + "\\Shared"));
  ASSERT_TRUE(
      SUCCEEDED(CreateLink("C:\\x.exe", (programs + "\\Quillara\\Uninstall.lnk").c_str(), "")));
  ASSERT_TRUE(
      SUCCEEDED(CreateLink("C:\\x.exe", (programs + "\\Shared\\Uninstall.lnk").c_str(), "")));
  ASSERT_TRUE(SUCCEEDED(CreateLink("C:\\x.exe", (programs + "\\Shared\\Other.lnk").c_str(), "")));
  Record("Uninst", "Quillara", "Uninstall");
  Record("Uninst", "Shared", "Uninstall");
  EXPECT_EQ(1, RemoveUninstallShortcuts(kScript));
  EXPECT_FALSE(FileExists(programs + "\\Quillara"));
  EXPECT_FALSE(FileExists(programs + "\\Shared\\Uninstall.lnk"));
  EXPECT_TRUE(FileExists(programs + "\\Shared\\Other.lnk"));
  EXPECT_EQ(2u, ReadIniSection(kScript, "Uninst").size());
}

}  // namespace
