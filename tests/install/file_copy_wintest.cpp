#include "install/file_copy.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/text_util.h"
#include "e2e_machine.h"
#include "install_test_files.h"

using install_test::Day;
using install_test::HeldOpen;
using install_test::MakeVersionedFile;
using install_test::MessageBoxWatch;
using install_test::Section;
using install_test::SetWriteTime;
using install_test::WriteTimeIs;

namespace {

const char kPackage[] = "C:\\pkg\\";
const char kInstallDir[] = "C:\\Program Files\\Quillara\\World";
const char kProductKey[] = "QBrowser";
const char kDisplayName[] = "Quillara Browser";

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

class FileListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(MakeFolders(kPackage));
    setupScript_ = std::string(kPackage) + "LFSetup.inf";
    uninstScript_ = WindowsDir() + "\\inf\\LFUninst.inf";
    ASSERT_TRUE(CopyBounded(setupScript_.c_str(), g_setupScriptPath, kPathSize));
    ASSERT_TRUE(CopyBounded(uninstScript_.c_str(), g_uninstScriptPath, kPathSize));
    ASSERT_TRUE(CopyBounded(kInstallDir, g_installDir, kPathSize));
    ASSERT_TRUE(CopyBounded(kProductKey, g_productKey, kPathSize));
    ASSERT_TRUE(CopyBounded("Quillara Setup", g_setupCaption, kCaptionSize));
    g_replaceConfirmed = 0;
    g_ctrlInUse = 0;
  }

  // The setup script with one file list and the display name.
  void WriteScript(const char* list, const std::vector<std::string>& lines,
                   const char* name = kDisplayName) {
    ASSERT_TRUE(WriteTextFile(setupScript_, std::string("[") + list + "]\r\n" + Lines(lines)));
    if (name) WritePrivateProfileStringA("Log", "Name", name, setupScript_.c_str());
  }
  void Package(const std::string& name, const std::string& text) {
    ASSERT_TRUE(WriteTextFile(kPackage + name, text));
  }
  static std::string Installed(const std::string& name) {
    return std::string(kInstallDir) + "\\" + name;
  }
  std::map<std::string, std::string> Recorded() const {
    return Section(uninstScript_, kProductKey);
  }
  std::string ProductsEntry() const { return Section(uninstScript_, "Products")[kProductKey]; }

  // Runs the list with a watch that fails the test if any question appears.
  int InstallWithoutQuestion(const char* list, int record) {
    MessageBoxWatch watch;
    int result = InstallFileList(nullptr, list, record);
    watch.Stop();
    EXPECT_EQ(0, watch.Count()) << "unexpected message box: " << watch.LastText();
    return result;
  }

  std::string setupScript_;
  std::string uninstScript_;
};

using Recording = install_test::Entries;

TEST_F(FileListTest, MissingDisplayNameFailsAfterEveryFileIsCopied) {
  Package("a.txt", "a");
  WriteScript("Core", {"a.txt"}, nullptr);
  EXPECT_EQ(0, InstallWithoutQuestion("Core", 1));
  EXPECT_TRUE(FileExists(Installed("a.txt")));
  EXPECT_EQ((Recording{{"a.txt", ""}}), Recorded());
  EXPECT_EQ("", ProductsEntry());
}

TEST_F(FileListTest, CommaLineMakesOnlyItsFirstSubfolder) {
  Package("c.dat", "c");
  WriteScript("Core", {"x\\y\\c.dat,c.dat"});
  EXPECT_EQ(0, InstallWithoutQuestion("Core", 1));
  EXPECT_TRUE(FileExists(Installed("x")));
  EXPECT_FALSE(FileExists(Installed("x\\y")));
}

TEST_F(FileListTest, LinesBeyondTheFirst2048BytesAreNotSeen) {
  // Each line "fNNN.txt" takes 9 bytes with its zero: lines 0 to 226 fill
  // 2043 bytes, line 227 would end past byte 2048.
  std::vector<std::string> lines;
  for (int i = 0; i < 250; ++i) {
    char name[16];
    FormatBounded(name, sizeof(name), "f%03d.txt", i);
    lines.push_back(name);
    Package(name, name);
  }
  WriteScript("Core", lines);

  EXPECT_EQ(1, InstallWithoutQuestion("Core", 1));
  Recording recorded = Recorded();
  for (int i = 0; i < 250; ++i) {
    bool seen = i <= 226;
    EXPECT_EQ(seen, FileExists(Installed(lines[i]))) << lines[i];
    EXPECT_EQ(seen ? 1u : 0u, recorded.count(lines[i])) << lines[i];
  }
  EXPECT_EQ(227u, recorded.size()) << "nothing but whole lines is recorded";
  EXPECT_EQ(kDisplayName, ProductsEntry());
}

TEST_F(FileListTest, AListThatFillsThe2048BytesExactlyIsSeenWhole) {
  // 226 lines of 9 bytes and a last line of 13 with its zero: 2047 bytes of
  // lines and the list's final zero make exactly 2048.
  std::vector<std::string> lines;
  for (int i = 0; i < 226; ++i) {
    char name[16];
    FormatBounded(name, sizeof(name), "f%03d.txt", i);
    lines.push_back(name);
    Package(name, name);
  }
  lines.push_back("last-one.txt");
  Package("last-one.txt", "last");
  WriteScript("Core", lines);

  EXPECT_EQ(1, InstallWithoutQuestion("Core", 1));
  EXPECT_TRUE(FileExists(Installed("last-one.txt")));
  EXPECT_EQ(227u, Recorded().size());
}

TEST_F(FileListTest, PathsLongerThan259CharactersFailTheList) {
  // Install folder of 209 characters, so its files may have 49 more.
  const std::string deepDir = "C:\\" + std::string(200, 'L') + "\\World";
  ASSERT_TRUE(CopyBounded(deepDir.c_str(), g_installDir, kPathSize));
  Package("ok.txt", "ok");
  Package("after.txt", "after");
  struct { std::string line; } cases[] = {
      {std::string(46, 'n') + ".txt"},         // destination of 210 + 50 characters
      {"short.txt," + std::string(253, 's')},  // source of 7 + 253 characters
  };
  for (const auto& c : cases) {
    WriteScript("Core", {"ok.txt", c.line, "after.txt"});
    EXPECT_EQ(0, InstallWithoutQuestion("Core", 1)) << c.line;
    EXPECT_TRUE(FileExists(deepDir + "\\ok.txt"));
    EXPECT_FALSE(FileExists(deepDir + "\\after.txt"));
    EXPECT_EQ((Recording{{"ok.txt", ""}}), Recorded()) << "a path that does not fit is not recorded";
    EXPECT_EQ("", ProductsEntry());
  }
}

TEST_F(FileListTest, ConfirmedBrandReplacementReplacesNewerFilesWithoutAQuestion) {
  ASSERT_TRUE(MakeFolders(kInstallDir));
  ASSERT_TRUE(MakeVersionedFile(kPackage + std::string("v.exe"), 0x00010000, 0));
  ASSERT_TRUE(MakeVersionedFile(Installed("v.exe"), 0x00020000, 0));
  ASSERT_TRUE(SetWriteTime(kPackage + std::string("v.exe"), Day(2001, 1, 1)));
  g_replaceConfirmed = 1;
  WriteScript("Core", {"v.exe"});

  EXPECT_EQ(1, InstallWithoutQuestion("Core", 1));
  DWORD most = 0, least = 0;
  EXPECT_EQ(1, GetFileVersionNumbers(Installed("v.exe").c_str(), &most, &least));
  EXPECT_EQ(0x00010000u, most);
  EXPECT_TRUE(WriteTimeIs(Installed("v.exe"), Day(2001, 1, 1)));
}

struct InUseCase {
  const char* name;
  const char* line;
  const char* installedName;
  int result;
  int ctrlInUse;
};

void PrintTo(const InUseCase& c, std::ostream* os) { *os << c.line; }

class InUseTest : public FileListTest, public ::testing::WithParamInterface<InUseCase> {};

TEST_P(InUseTest, OnlyTheControlProgramMayStayInUse) {
  const InUseCase& c = GetParam();
  ASSERT_TRUE(MakeFolders(kInstallDir));
  Package(c.installedName, "new");
  ASSERT_TRUE(WriteTextFile(Installed(c.installedName), "old, running"));
  WriteScript("Core", {c.line});
  {
    HeldOpen running(Installed(c.installedName));
    ASSERT_NE(INVALID_HANDLE_VALUE, running.h);
    EXPECT_EQ(c.result, InstallWithoutQuestion("Core", 0));
  }
  EXPECT_EQ(c.ctrlInUse, g_ctrlInUse);
  EXPECT_EQ("old, running", ReadTextFile(Installed(c.installedName)));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, InUseTest,
    ::testing::Values(InUseCase{"ControlProgram", "LFCtrl.exe", "LFCtrl.exe", 1, 1},
                      InUseCase{"AnyLetterCase", "lfctrl.EXE", "lfctrl.EXE", 1, 1},
                      // Held open, the existing file counts as absent despite the star.
                      InUseCase{"StarLine", "LFCtrl.exe*", "LFCtrl.exe", 1, 1},
                      InUseCase{"OtherProgram", "Viewer.exe", "Viewer.exe", 0, 0}),
    [](const ::testing::TestParamInfo<InUseCase>& info) { return info.param.name; });

TEST_F(FileListTest, PluginsWithoutNetscapeCopyNothing) {
  Package("npq.dll", "plugin");
  WriteScript("Plugins", {"npq.dll"});
  EXPECT_EQ(0, InstallWithoutQuestion("Plugins", 1));
  EXPECT_TRUE(Section(uninstScript_, "Plugins").empty());
}

TEST_F(FileListTest, PluginsGoToNetscapesFolderAndAreRecordedByFullPath) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS,
            RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe",
                            0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
  const char navigatorDir[] = "C:\\Netscape";
  RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(navigatorDir),
                 sizeof(navigatorDir));
  RegCloseKey(key);
  Package("npq.dll", "plugin");
  WriteScript("plugins", {"npq.dll*"});

  EXPECT_EQ(1, InstallWithoutQuestion("plugins", 1));
  EXPECT_EQ("plugin", ReadTextFile("C:\\Netscape\\Plugins\\npq.dll"));
  EXPECT_EQ((Recording{{"C:\\Netscape\\Plugins\\npq.dll", ""}}),
            Section(uninstScript_, "Plugins"));
  EXPECT_TRUE(Recorded().empty());
}

// CreateFolderPath, FileExists and the version functions. FileExists with a
// std::string is the test machine's own look (any file or folder); with a
// const char* it is the program's function under test.

TEST(CreateFolderPath, CreatesEveryFolderButTheLastPart) {
  ASSERT_TRUE(WriteTextFile("C:\\plain.txt", "a file, not a folder"));
  struct { const char* path; int result; std::vector<std::string> made, absent; } cases[] = {
      {"C:\\cf\\a\\b\\file.txt", 1, {"C:\\cf\\a\\b"}, {"C:\\cf\\a\\b\\file.txt"}},
      {"C:\\cf\\q\\r\\", 1, {"C:\\cf\\q", "C:\\cf\\q\\r"}, {}},  // one-character names
      {"C:\\cf\\a\\b\\", 1, {"C:\\cf\\a\\b"}, {}},               // all there already
      {"C:\\", 1, {}, {}},
      {"C:\\rootfile.txt", 1, {}, {"C:\\rootfile.txt"}},
      {"C:\\plain.txt\\sub\\x", 0, {}, {"C:\\plain.txt\\sub"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result, CreateFolderPath(c.path)) << c.path;
    for (const auto& folder : c.made)
      EXPECT_TRUE(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY &&
                  FileExists(folder))
          << folder;
    for (const auto& path : c.absent) EXPECT_FALSE(FileExists(path)) << path;
  }
  const std::string tooLong = "C:\\cf\\" + std::string(260, 'z') + "\\f";
  EXPECT_EQ(0, CreateFolderPath(tooLong.c_str()));
}

TEST(FileExists, OnlyFilesThatOpenWithoutSharing) {
  ASSERT_TRUE(MakeFolders("C:\\fe\\folder"));
  ASSERT_TRUE(WriteTextFile("C:\\fe\\free.txt", "x"));
  ASSERT_TRUE(WriteTextFile("C:\\fe\\held.txt", "x"));
  HeldOpen held("C:\\fe\\held.txt");
  ASSERT_NE(INVALID_HANDLE_VALUE, held.h);
  EXPECT_EQ(1, FileExists("C:\\fe\\free.txt"));
  EXPECT_EQ(0, FileExists("C:\\fe\\held.txt"));
  EXPECT_EQ(0, FileExists("C:\\fe\\missing.txt"));
  EXPECT_EQ(0, FileExists("C:\\fe\\folder"));
  EXPECT_EQ(1, FileExists("C:\\fe\\free.txt")) << "the test's own open was closed again";
}

TEST(GetFileVersionNumbers, MissingFileIsVersionZeroOtherFailuresAreNot) {
  ASSERT_TRUE(MakeFolders("C:\\ver"));
  ASSERT_TRUE(WriteTextFile("C:\\ver\\text.txt", "no version here"));
  ASSERT_TRUE(MakeVersionedFile("C:\\ver\\v.exe", 0x00010002, 0x00030004));
  ASSERT_TRUE(MakeVersionedFile("C:\\ver\\big.exe", 0xFFFE0001, 0x80000000));
  struct { const char* path; int result; DWORD most, least; } cases[] = {
      {"C:\\ver\\missing.exe", 1, 0, 0},
      {"C:\\nofolder\\missing.exe", 0, 0, 0},
      {"C:\\ver\\text.txt", 0, 0, 0},
      {"C:\\ver\\v.exe", 1, 0x00010002, 0x00030004},
      {"C:\\ver\\big.exe", 1, 0xFFFE0001, 0x80000000},
  };
  for (const auto& c : cases) {
    DWORD most = 0xBAD, least = 0xBAD;
    EXPECT_EQ(c.result, GetFileVersionNumbers(c.path, &most, &least)) << c.path;
    EXPECT_EQ(c.most, most) << c.path;
    EXPECT_EQ(c.least, least) << c.path;
  }
}

TEST(IsInstalledFileNewer, ByVersionWhenBothHaveOneElseByTime) {
  ASSERT_TRUE(MakeFolders("C:\\cmp"));
  struct File { const char* name; DWORD most, least; FILETIME time; };
  const File files[] = {
      {"v1.exe", 0x00010000, 0, Day(2030, 1, 1)},    // old version, late time
      {"v2.exe", 0x00020000, 0, Day(2001, 1, 1)},    // new version, early time
      {"v15.exe", 0x00010000, 5, Day(2001, 1, 1)},
      {"v14.exe", 0x00010000, 4, Day(2001, 1, 1)},
      {"v1b.exe", 0x00010000, 0, Day(2001, 1, 1)},
  };
  for (const auto& f : files) {
    std::string path = std::string("C:\\cmp\\") + f.name;
    ASSERT_TRUE(MakeVersionedFile(path, f.most, f.least));
    ASSERT_TRUE(SetWriteTime(path, f.time));
  }
  for (const auto& t : {std::make_pair("early.txt", Day(2001, 1, 1)),
                        std::make_pair("late.txt", Day(2030, 1, 1)),
                        std::make_pair("early2.txt", Day(2001, 1, 1))}) {
    ASSERT_TRUE(WriteTextFile(std::string("C:\\cmp\\") + t.first, "text"));
    ASSERT_TRUE(SetWriteTime(std::string("C:\\cmp\\") + t.first, t.second));
  }
  struct { const char* installed; const char* fresh; int newer; } cases[] = {
      {"v2.exe", "v1.exe", 1},       // version wins over the earlier time
      {"v1.exe", "v2.exe", 0},
      {"v15.exe", "v14.exe", 1},     // least significant half
      {"v14.exe", "v15.exe", 0},
      {"v1.exe", "v1b.exe", 0},      // equal versions, later time: not newer
      {"missing.exe", "v1.exe", 0},  // missing: version 0.0
      {"late.txt", "early.txt", 1},
      {"early.txt", "late.txt", 0},
      {"early.txt", "early2.txt", 0},
      {"v1.exe", "early.txt", 1},    // the new file has no version: times decide
      {"v2.exe", "late.txt", 0},
      {"missing.exe", "early.txt", 0},
  };
  for (const auto& c : cases) {
    std::string installed = std::string("C:\\cmp\\") + c.installed;
    std::string fresh = std::string("C:\\cmp\\") + c.fresh;
    EXPECT_EQ(c.newer, IsInstalledFileNewer(installed.c_str(), fresh.c_str()))
        << c.installed << " vs " << c.fresh;
  }
}

}  // namespace
