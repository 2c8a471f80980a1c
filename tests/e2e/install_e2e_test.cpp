// End-to-end install scenarios: the real LFSetup.exe installs a package on a
// clean machine; each test checks the machine state as a whole (files, the
// uninstall script, shortcuts, registry) and the dialogs shown.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver_expect.h"
#include "install/install_test_files.h"
#include "e2e_machine.h"
#include "e2e_runs.h"
#include "window_driver.h"

namespace {

// The sample package's script with some "Log" or list lines changed.
std::string SampleScript(const std::map<std::string, std::string>& replace = {}) {
  std::string text = ReadTextFile(BuiltProgram("sample-package") + "\\LFSetup.inf");
  for (const auto& r : replace) {
    size_t at = text.find(r.first);
    if (at != std::string::npos) text.replace(at, r.first.size(), r.second);
  }
  return text;
}

std::string World(const std::string& rel) { return std::string(kDefaultWorld) + "\\" + rel; }

std::set<std::string> AsSet(const std::vector<std::string>& v) { return {v.begin(), v.end()}; }

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), ::tolower);
  return s;
}

struct ExpectedValue {
  HKEY root;
  std::string key, name;
  DWORD type;
  std::string data;
};

void ExpectRegistry(const std::vector<ExpectedValue>& values) {
  for (const auto& e : values) {
    RegValue v = ReadRegValue(e.root, e.key, e.name);
    SCOPED_TRACE(e.key + " : " + (e.name.empty() ? "(default)" : e.name));
    ASSERT_TRUE(v.present);
    EXPECT_EQ(e.type, v.type);
    EXPECT_EQ(e.data, v.data);
    if (e.type == REG_SZ) EXPECT_EQ(e.data.size() + 1, v.size) << "terminator counted";
  }
}

// What a complete install of the sample package leaves in the uninstall script.
void ExpectSampleUninstallScript(const std::string& world) {
  std::string script = UninstallScript();
  EXPECT_EQ((std::set<std::string>{"Paths", "LFViewer", "Products", "Uninst"}),
            AsSet(ReadIniSectionNames(script)));
  EXPECT_EQ((std::map<std::string, std::string>{{"lfviewer", world}}),
            ReadIniSection(script, "Paths"));
  EXPECT_EQ((std::map<std::string, std::string>{{"altkey", "Quillara"},
                                                {"lfviewer.exe", ""},
                                                {"lfctrl.exe", ""},
                                                {"readme.txt", ""},
                                                {"help\\quickstart.txt", ""},
                                                {"target", "LFViewer.exe"},
                                                {"menu", "Quillara Browser\\Quillara Browser"},
                                                {"icon", "Quillara Browser"}}),
            ReadIniSection(script, "LFViewer"));
  EXPECT_EQ((std::map<std::string, std::string>{{"lfviewer", "Quillara Browser"}}),
            ReadIniSection(script, "Products"));
  EXPECT_EQ((std::map<std::string, std::string>{{"quillara browser", "Uninstall Quillara Browser"}}),
            ReadIniSection(script, "Uninst"));
}

void ExpectSampleShortcuts(const std::string& world) {
  std::string menu = ProgramsFolder() + "\\Quillara Browser";
  struct {
    std::string link, target, arguments, description;
  } links[] = {
      {menu + "\\Quillara Browser.lnk", world + "\\LFViewer.exe", "", "Quillara Browser"},
      {menu + "\\Uninstall Quillara Browser.lnk", WindowsDir() + "\\LFUninst.exe",
       "-u\"" + UninstallScript() + "\"", "Uninstall Quillara Browser"},
      {DesktopFolder() + "\\Quillara Browser.lnk", world + "\\LFViewer.exe", "",
       "Quillara Browser"},
  };
  for (const auto& l : links) {
    SCOPED_TRACE(l.link);
    LinkInfo info = ReadLink(l.link);
    ASSERT_TRUE(info.loaded);
    EXPECT_EQ(Lower(l.target), Lower(info.target));
    EXPECT_EQ(l.arguments, info.arguments);
    EXPECT_EQ(l.description, info.description);
    EXPECT_EQ("", info.workingDir);
  }
}

std::vector<ExpectedValue> SampleRegistry(const std::string& world) {
  std::string product = std::string(kMaker) + "\\LFViewer";
  std::string settings = std::string(kMaker) + "\\Quillara";
  std::string shortWorld = world;
  char shortPath[MAX_PATH];
  if (GetShortPathNameA(world.c_str(), shortPath, sizeof(shortPath))) shortWorld = shortPath;
  return {
      {HKEY_LOCAL_MACHINE, kMaker, "Viewer", REG_SZ, "LFViewer"},
      {HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "LFViewer.exe", "Path", REG_SZ, world},
      {HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "LFViewer.exe", "", REG_SZ,
       world + "\\LFViewer.exe"},
      {HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", REG_SZ, "Quillara Browser"},
      {HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", REG_SZ,
       WindowsDir() + "\\LFUninst.exe"},
      {HKEY_CURRENT_USER, settings + "\\Settings", "RecentName", REG_SZ, "VISITOR"},
      {HKEY_CURRENT_USER, settings + "\\Settings", "RunOnce", REG_SZ,
       "www.lumenfield.com/quillara/welcome.html"},
      {HKEY_CURRENT_USER, settings + "\\Settings", "DontUseLogin", REG_DWORD, "1"},
      {HKEY_CURRENT_USER, settings + "\\Network", "Name", REG_SZ, "VISITOR"},
      {HKEY_CURRENT_USER, settings + "\\VISITOR", "ProfileName", REG_SZ, "VISITOR"},
      {HKEY_CURRENT_USER, settings + "\\VISITOR", "Password", REG_SZ, ""},
      {HKEY_CURRENT_USER, settings + "\\VISITOR", "StartingVorn", REG_SZ,
       "http://www.lumenfield.com/quillara/"},
      {HKEY_LOCAL_MACHINE, product, "Brand", REG_SZ, "Quillara"},
      {HKEY_LOCAL_MACHINE, product, "RegInfo", REG_DWORD, "256"},
      {HKEY_LOCAL_MACHINE, product + "\\Paths\\Vorns", "", REG_SZ, world},
      {HKEY_LOCAL_MACHINE, product + "\\Paths\\Domains", "", REG_SZ, world + "\\Domains"},
      {HKEY_LOCAL_MACHINE, product + "\\Paths\\Media", "", REG_SZ, world + "\\Media"},
      {HKEY_LOCAL_MACHINE, product + "\\Paths\\Sprites", "", REG_SZ, world + "\\Objects"},
      {HKEY_CLASSES_ROOT, "vorn", "", REG_SZ, "URL:Vorn Protocol"},
      {HKEY_CLASSES_ROOT, "vorn", "URL Protocol", REG_SZ, ""},
      {HKEY_CLASSES_ROOT, "vorn\\DefaultIcon", "", REG_SZ, "LFViewer.exe"},
      {HKEY_CLASSES_ROOT, "vorn\\shell\\open\\command", "", REG_SZ,
       shortWorld + "\\LFViewer.exe \"%1\""},
      {HKEY_CLASSES_ROOT, "vorn\\shell\\open\\ddeexec", "", REG_SZ, "[open(\"%1\")]"},
      {HKEY_CLASSES_ROOT, ".vorn", "", REG_SZ, "LUMENFIELD.Document"},
      {HKEY_CLASSES_ROOT, ".3de", "", REG_SZ, "LUMENFIELD.Document"},
      {HKEY_CLASSES_ROOT, "LUMENFIELD.Document\\shell\\print\\command", "", REG_SZ,
       world + "\\LFViewer.exe /p \"%1\""},
      {HKEY_CLASSES_ROOT, "LUMENFIELD.Document\\shell\\open\\command", "", REG_SZ,
       world + "\\LFViewer.exe \"%1\""},
      {HKEY_CLASSES_ROOT, "LUMENFIELD.Document\\shell\\open\\ddeexec", "", REG_SZ,
       "[open(\"%1\")]"},
      {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\IE4\\DependentComponents", "LUMENFIELD", REG_SZ,
       "Quillara Browser"},
      {HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "GrpConv",
       REG_SZ, "grpconv -o"},
  };
}

// A first install of the sample package: files, uninstall script, shortcuts,
// registry and the programs started afterwards.
TEST(Install, FirstInstallOfTheSamplePackage) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));

  EXPECT_EQ((std::set<std::string>{"LFCtrl.exe", "LFViewer.exe", "Worlds\\", "Worlds\\welcome.vorn",
                                   "help\\", "help\\quickstart.txt", "readme.txt"}),
            AsSet(SnapshotFiles(kDefaultWorld)));
  EXPECT_EQ(ReadTextFile(std::string(kPackageDir) + "\\quickstart.txt"),
            ReadTextFile(World("help\\quickstart.txt")));
  EXPECT_TRUE(FileExists(WindowsDir() + "\\LFUninst.exe"));
  ExpectSampleUninstallScript(kDefaultWorld);
  ExpectSampleShortcuts(kDefaultWorld);
  ExpectRegistry(SampleRegistry(kDefaultWorld));
  // The viewer's file version, as recorded for the product and the edition.
  EXPECT_EQ("2.1.0.35",
            ReadRegValue(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LFViewer", "Version").data);
  EXPECT_EQ("0x0100=2.1.0.35",
            ReadRegValue(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LFViewer\\", "RegVerStr").data);

  // The control program with "/r", then the viewer with "-r", both from the
  // setup's own folder.
  std::vector<std::string> log = ReadLogLines(kStandinLog);
  ASSERT_EQ(2u, log.size());
  EXPECT_EQ(std::string("LFCtrl.exe\t") + World("LFCtrl.exe") + " /r\t" + kPackageDir, log[0]);
  EXPECT_EQ(std::string("LFViewer.exe\t") + World("LFViewer.exe") + " -r\t" + kPackageDir, log[1]);
}

// A second install over the first replaces same-version files silently,
// rewrites the links, does not grow the component list, and "Yes" to the
// closing question starts the viewer in the install folder.
TEST(Install, ReinstallOverTheSameVersion) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  auto registryBefore = SnapshotRegistry(HKEY_LOCAL_MACHINE, kMaker);
  auto scriptBefore = ReadTextFile(UninstallScript());
  std::string desktopLink = DesktopFolder() + "\\Quillara Browser.lnk";
  WIN32_FILE_ATTRIBUTE_DATA linkBefore, linkAfter;
  ASSERT_TRUE(GetFileAttributesExA(desktopLink.c_str(), GetFileExInfoStandard, &linkBefore));
  // An installed file older than the package's is replaced without a question.
  ASSERT_TRUE(WriteTextFile(World("help\\quickstart.txt"), "an older text"));
  ASSERT_TRUE(install_test::SetWriteTime(World("help\\quickstart.txt"), install_test::Day(2000, 1, 1)));
  DeleteFileA(kStandinLog);

  DriverRun run;
  ASSERT_TRUE(StartSetup(run, kPackageDir));
  ASSERT_TRUE(ExpectWindow(run, kSetupCaption, kRunNow, "Yes", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));

  EXPECT_EQ(ReadTextFile(std::string(kPackageDir) + "\\quickstart.txt"),
            ReadTextFile(World("help\\quickstart.txt")));
  EXPECT_EQ(registryBefore, SnapshotRegistry(HKEY_LOCAL_MACHINE, kMaker));
  EXPECT_EQ("LFViewer", ReadRegValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer").data);
  ExpectSampleUninstallScript(kDefaultWorld);
  ExpectSampleShortcuts(kDefaultWorld);
  ASSERT_TRUE(GetFileAttributesExA(desktopLink.c_str(), GetFileExInfoStandard, &linkAfter));
  EXPECT_GT(CompareFileTime(&linkAfter.ftLastWriteTime, &linkBefore.ftLastWriteTime), 0)
      << "the desktop link was not written again";

  std::vector<std::string> log = ReadLogLines(kStandinLog);
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ(std::string("LFViewer.exe\t") + World("LFViewer.exe") + "\t" + kDefaultWorld, log[2])
      << "the first start runs in the install folder";
}

// A package that uses the whole list syntax, over an install folder that
// already holds a newer file by version and one newer only by time. The
// answers to the two newer-file questions decide what is replaced; Cancel
// ends the install at the next line.
const char kSyntaxScript[] =
    "[Log]\nKey=LFViewer\nAlt=Quillara\nName=Quillara Browser\nTarget=LFViewer.exe\n"
    "Menu=Quillara Browser\\Quillara Browser\nUninst=Uninstall Quillara Browser\n"
    "Icon=Quillara Browser\n"
    "[Core]\n"
    "; a comment is neither copied nor recorded\n"
    "LFViewer.exe\n"
    "LFCtrl.exe\n"
    "kept.txt*\n"
    "fresh.txt*,readme.txt\n"
    "docs\\guide.txt,  quickstart.txt trailing words\n"
    "lib\\engine.dll\n"
    "data\\table.dat\n"
    "[Content]\nWorlds\\welcome.vorn,welcome.vorn\n";

const char kNewerQuestion[] =
    "This file already exists and is newer than what is being installed:\n\n'%s'\n\n"
    "Do you wish to overwrite the newer file?\n\n(Choosing 'No' is recommended)";

std::string NewerQuestion(const std::string& path) {
  char text[1024];
  snprintf(text, sizeof(text), kNewerQuestion, path.c_str());
  return text;
}

struct AnswerCase {
  const char* name;
  std::vector<std::string> answers;  // to the questions for engine.dll and table.dat
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << c.name; }

class ListSyntax : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ListSyntax, CopiesRecordsAndAsksAsTheLinesSay) {
  const AnswerCase& c = GetParam();
  ASSERT_TRUE(PreparePackage(kPackageDir, kSyntaxScript));
  std::string pkg = kPackageDir;
  ASSERT_TRUE(MakeFolders(pkg + "\\lib"));
  ASSERT_TRUE(MakeFolders(pkg + "\\data"));
  ASSERT_TRUE(install_test::MakeVersionedFile(pkg + "\\lib\\engine.dll", 0x00010000, 0));
  ASSERT_TRUE(WriteTextFile(pkg + "\\data\\table.dat", "package table"));
  ASSERT_TRUE(install_test::SetWriteTime(pkg + "\\data\\table.dat", install_test::Day(2001, 1, 1)));
  // The install folder already holds newer files and one the user keeps.
  ASSERT_TRUE(MakeFolders(World("lib")));
  ASSERT_TRUE(MakeFolders(World("data")));
  ASSERT_TRUE(install_test::MakeVersionedFile(World("lib\\engine.dll"), 0x00020000, 0));
  ASSERT_TRUE(WriteTextFile(World("data\\table.dat"), "newer table"));
  ASSERT_TRUE(install_test::SetWriteTime(World("data\\table.dat"), install_test::Day(2020, 1, 1)));
  ASSERT_TRUE(WriteTextFile(World("kept.txt"), "the user's own"));

  bool cancelled = c.answers[0] == "Cancel";
  DriverRun run;
  ASSERT_TRUE(StartSetup(run, kPackageDir));
  ASSERT_TRUE(ExpectWindow(run, kSetupCaption, NewerQuestion(World("lib\\engine.dll")),
                           c.answers[0], 30000));
  if (cancelled) {
    ASSERT_TRUE(ExpectWindow(run, kCriticalCaption, kNotCompleted, "OK", 30000));
    ASSERT_TRUE(ExpectWindow(run, kSetupCaption, kNotInstalled, "OK"));
  } else {
    ASSERT_TRUE(ExpectWindow(run, kSetupCaption, NewerQuestion(World("data\\table.dat")),
                             c.answers[1], 30000));
    ASSERT_TRUE(ExpectWindow(run, kSetupCaption, kRunNow, "No", 30000));
  }
  ASSERT_TRUE(ExpectEnd(run, 30000));

  EXPECT_EQ("the user's own", ReadTextFile(World("kept.txt")));
  EXPECT_EQ(ReadTextFile(pkg + "\\readme.txt"), ReadTextFile(World("fresh.txt")));
  EXPECT_EQ(ReadTextFile(pkg + "\\quickstart.txt"), ReadTextFile(World("docs\\guide.txt")));
  DWORD most = 0, least = 0;
  ASSERT_TRUE(ReadFileVersion(World("lib\\engine.dll"), &most, &least));
  EXPECT_EQ(c.answers[0] == "Yes" ? 0x00010000u : 0x00020000u, most);
  std::string table = ReadTextFile(World("data\\table.dat"));
  if (cancelled)
    EXPECT_EQ("newer table", table) << "nothing after the cancelled line is copied";
  else
    EXPECT_EQ(c.answers[1] == "Yes" ? "package table" : "newer table", table);

  std::set<std::string> keys;
  for (const auto& kv : ReadIniSection(UninstallScript(), "LFViewer")) {
    keys.insert(kv.first);
    if (kv.first != "altkey" && kv.first != "target" && kv.first != "menu" && kv.first != "icon")
      EXPECT_EQ("", kv.second) << kv.first;
  }
  std::set<std::string> files = {"altkey",   "lfviewer.exe",     "lfctrl.exe",     "kept.txt",
                                 "fresh.txt", "docs\\guide.txt", "lib\\engine.dll"};
  if (cancelled) {
    EXPECT_EQ(files, keys);
    EXPECT_TRUE(ReadIniSection(UninstallScript(), "Products").empty());
    EXPECT_FALSE(FileExists(World("Worlds\\welcome.vorn"))) << "the content list is not reached";
  } else {
    files.insert({"data\\table.dat", "target", "menu", "icon"});
    EXPECT_EQ(files, keys);
    EXPECT_EQ("Quillara Browser", ReadIniSection(UninstallScript(), "Products")["lfviewer"]);
    EXPECT_TRUE(FileExists(World("Worlds\\welcome.vorn")));
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, ListSyntax,
                         ::testing::Values(AnswerCase{"YesYes", {"Yes", "Yes"}},
                                           AnswerCase{"NoNo", {"No", "No"}},
                                           AnswerCase{"NoYes", {"No", "Yes"}},
                                           AnswerCase{"Cancel", {"Cancel"}}),
                         [](const ::testing::TestParamInfo<AnswerCase>& info) {
                           return info.param.name;
                         });

// The failure paths of the product phase: each shows the critical message,
// and the uninstall script holds exactly what was recorded before the step
// that failed.
struct FailureCase {
  const char* name;
  std::map<std::string, std::string> scriptChanges;
  std::set<std::string> sections;          // of the uninstall script afterwards
  std::set<std::string> productKeys;       // keys of its "LFViewer" section
  bool shortcutsInMenu;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class InstallFailure : public ::testing::TestWithParam<FailureCase> {};

const std::set<std::string> kRecordedFiles = {"altkey", "lfviewer.exe", "lfctrl.exe", "readme.txt",
                                              "help\\quickstart.txt"};

std::set<std::string> With(std::set<std::string> base, std::initializer_list<const char*> more) {
  for (const char* m : more) base.insert(m);
  return base;
}

TEST_P(InstallFailure, ReportsAndKeepsWhatWasRecorded) {
  const FailureCase& c = GetParam();
  ASSERT_TRUE(PreparePackage(kPackageDir, SampleScript(c.scriptChanges)));
  ASSERT_TRUE(InstallExpectingFailure(kPackageDir));

  std::string script = UninstallScript();
  EXPECT_EQ(c.sections, AsSet(ReadIniSectionNames(script)));
  std::set<std::string> keys;
  for (const auto& kv : ReadIniSection(script, "LFViewer")) keys.insert(kv.first);
  EXPECT_EQ(c.productKeys, keys);
  EXPECT_EQ(c.shortcutsInMenu,
            FileExists(ProgramsFolder() + "\\Quillara Browser\\Quillara Browser.lnk"));
  EXPECT_FALSE(FileExists(DesktopFolder() + "\\Quillara Browser.lnk"));
  EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "vorn")) << "no registry entries after a failure";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallFailure,
    ::testing::Values(
        FailureCase{"NoKey", {{"Key=LFViewer\n", ""}}, {}, {}, false},
        FailureCase{"MenuWithoutBackslash",
                    {{"Menu=Quillara Browser\\Quillara Browser", "Menu=Quillara Browser"}},
                    {"Paths", "LFViewer", "Products"},
                    With(kRecordedFiles, {"target"}),
                    false},
        FailureCase{"EmptyIcon",
                    {{"Icon=Quillara Browser", "Icon="}},
                    {"Paths", "LFViewer", "Products", "Uninst"},
                    With(kRecordedFiles, {"target", "menu"}),
                    true},
        FailureCase{"MissingSourceFile",
                    {{"readme.txt*\n", "readme.txt*\nmissing.txt\n"}},
                    {"Paths", "LFViewer"},
                    // The walk ends at the line after the failed copy.
                    {"altkey", "lfviewer.exe", "lfctrl.exe", "readme.txt", "missing.txt"},
                    false}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return info.param.name; });

// The control program held by a running process cannot be replaced: the
// install still succeeds and skips the Netscape step, whose question a
// Navigator 4 installation would otherwise bring.
TEST(Install, ControlProgramInUseSkipsTheNetscapeStep) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape Navigator",
                             "CurrentVersion", "4.7"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(MakeFolders(kDefaultWorld));
  ASSERT_TRUE(CopyFileA(BuiltProgram("viewer_standin.exe").c_str(), World("LFCtrl.exe").c_str(),
                        FALSE));
  // The running control program keeps its file from being replaced.
  RunningProgram ctrl;
  ASSERT_TRUE(StartRunningProgram(ctrl, Quoted(World("LFCtrl.exe")) + " --stay"));

  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  TerminateProcess(ctrl.pi.hProcess, 0);
  ExpectSampleUninstallScript(kDefaultWorld);
  EXPECT_TRUE(FileExists(DesktopFolder() + "\\Quillara Browser.lnk"));
}

const char kNetscapeQuestion[] =
    "Setup has detected that Netscape Navigator is installed on your system.\n\n"
    "It is recommended that the Quillara Browser protocols be registered\n"
    "now with the Netscape browser.  This will enable you to launch QVORNs\n"
    "from within the Netscape browser.\n\n"
    "If you choose to register the protocols, the Netscape browser will be\n"
    "launched during the registration process.  This is a Netscape\n"
    "requirement.  Please press the appropriate buttons to allow it to run.\n"
    "It will be shut down automatically.\n\n"
    "If you choose not to register the protocols, the QVORNS will only work\n"
    "properly from within Microsoft Internet Explorer.\n\n\n"
    "Do you wish to register the Quillara Browser protocols with Netscape\nNavigator?\n";

// With Navigator 4 present the install asks; Yes starts the control program
// once more, without argument, before the handler step.
TEST(Install, Navigator4BringsTheNetscapeQuestion) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Netscape\\Netscape Navigator",
                             "CurrentVersion", "4.7"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  DriverRun run;
  ASSERT_TRUE(StartSetup(run, kPackageDir));
  ASSERT_TRUE(ExpectWindow(run, kSetupCaption, kNetscapeQuestion, "Yes", 30000));
  ASSERT_TRUE(ExpectWindow(run, kSetupCaption, kRunNow, "No", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));
  std::vector<std::string> log = ReadLogLines(kStandinLog);
  ASSERT_EQ(3u, log.size());
  EXPECT_EQ(std::string("LFCtrl.exe\t") + World("LFCtrl.exe") + "\t" + kPackageDir, log[2]);
}

// An installed product found through App Paths decides the destination: the
// viewer's folder above "\World", an authoring tool's folder's parent, or an
// older viewer layout that is moved into the new "\World" folder.
TEST(Install, DetectedViewerFolderIsReused) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "LFViewer.exe", "Path",
                             "C:\\Apps\\Quill\\World"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  EXPECT_TRUE(FileExists("C:\\Apps\\Quill\\World\\LFViewer.exe"));
  EXPECT_FALSE(FileExists(World("LFViewer.exe")));
  EXPECT_EQ("C:\\Apps\\Quill\\World", ReadIniSection(UninstallScript(), "Paths")["lfviewer"]);
}

TEST(Install, DetectedAuthoringToolDecidesTheParentFolder) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "LCHome.exe", "Path",
                             "C:\\Crafter\\Bin"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  EXPECT_TRUE(FileExists("C:\\Crafter\\World\\LFViewer.exe"));
  ExpectSampleUninstallScript("C:\\Crafter\\World");
}

TEST(Install, OlderViewerLayoutIsMoved) {
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "LFViewer.exe", "Path",
                             "C:\\Apps\\OldViewer"));
  const char* old = "C:\\Apps\\OldViewer";
  ASSERT_TRUE(MakeFolders(std::string(old) + "\\Domains"));
  ASSERT_TRUE(MakeFolders(std::string(old) + "\\Media"));
  ASSERT_TRUE(WriteTextFile(std::string(old) + "\\Domains\\home.dom", "domain"));
  ASSERT_TRUE(WriteTextFile(std::string(old) + "\\Media\\tune.mid", "media"));
  ASSERT_TRUE(WriteTextFile(std::string(old) + "\\Worldlist.dat", "worlds"));
  ASSERT_TRUE(WriteTextFile(std::string(old) + "\\LFViewer.hlp", "help"));
  ASSERT_TRUE(WriteTextFile(std::string(old) + "\\notes.txt", "the user's own file"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));

  // The detected folder's parent, C:\Apps, takes the new "\World" folder.
  const std::string world = "C:\\Apps\\World";
  EXPECT_EQ("domain", ReadTextFile(world + "\\Domains\\home.dom"));
  EXPECT_EQ("media", ReadTextFile(world + "\\Media\\tune.mid"));
  EXPECT_EQ("worlds", ReadTextFile(world + "\\Worldlist.dat"));
  EXPECT_EQ("help", ReadTextFile(world + "\\LFViewer.hlp"));
  EXPECT_FALSE(FileExists(std::string(old) + "\\Worldlist.dat"));
  EXPECT_TRUE(FileExists(std::string(old) + "\\notes.txt")) << "only the listed names move";
  EXPECT_TRUE(FileExists(world + "\\LFViewer.exe"));
}

// The protocol's DDE names are written on Windows 95 only; on NT an earlier
// install's DDE keys are removed.
TEST(Install, ProtocolWithoutDdeNamesOnWindowsNT) {
  for (const char* key : {"vorn\\shell\\open\\ddeexec\\topic",
                          "LUMENFIELD.Document\\shell\\open\\ddeexec\\application"})
    ASSERT_TRUE(WriteRegString(HKEY_CLASSES_ROOT, key, "", "stale"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  for (const char* base : {"vorn", "LUMENFIELD.Document"})
    for (const char* sub : {"topic", "application"})
      EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT,
                                std::string(base) + "\\shell\\open\\ddeexec\\" + sub))
          << base << " " << sub;
}

TEST(Install, ProtocolWithDdeNamesOnWindows95) {
  // Wine answers GetVersionExA per executable file name.
  ASSERT_TRUE(WriteRegString(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\LFSetup.exe",
                             "Version", "win95"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  for (const char* base : {"vorn", "LUMENFIELD.Document"}) {
    std::string ddeexec = std::string(base) + "\\shell\\open\\ddeexec";
    EXPECT_EQ("system", ReadRegValue(HKEY_CLASSES_ROOT, ddeexec + "\\topic", "").data) << base;
    EXPECT_EQ("LFVIEWER", ReadRegValue(HKEY_CLASSES_ROOT, ddeexec + "\\application", "").data) << base;
  }
}

// The older uninstaller's log loses the viewer; the log, the older
// uninstaller and its uninstall entry go only when no other product is left.
struct OlderLogCase {
  const char* name;
  bool otherProduct;
};

void PrintTo(const OlderLogCase& c, std::ostream* os) { *os << c.name; }

class OlderRemovalLog : public ::testing::TestWithParam<OlderLogCase> {};

TEST_P(OlderRemovalLog, IsPrunedOrRemoved) {
  std::string log = WindowsDir() + "\\inf\\LFRemove.inf";
  std::string olderUninstaller = WindowsDir() + "\\LFRemove.exe";
  const char* olderKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\LUMENFIELD";
  ASSERT_TRUE(MakeFolders(WindowsDir() + "\\inf"));
  bool other = GetParam().otherProduct;
  std::string text = std::string("[Paths]\nLFViewer=C:\\Old\\World\n") +
                     (other ? "LCHome=C:\\Crafter\n" : "") +
                     "[Products]\nLFViewer=LUMENFIELD Viewer\n" +
                     (other ? "LCHome=LUMENCRAFTER Home\n" : "") +
                     "[LFViewer]\nIcon=LUMENFIELD Viewer\n"
                     "Menu=LUMENFIELD Viewer\\LUMENFIELD Viewer\nviewer.exe=\n"
                     "[Uninst]\nLUMENFIELD Viewer=Uninstall LUMENFIELD Viewer\n";
  ASSERT_TRUE(WriteTextFile(log, text));
  ASSERT_TRUE(WriteTextFile(olderUninstaller, "older uninstaller"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, olderKey, "UninstallString",
                             olderUninstaller + " -a"));
  ASSERT_TRUE(WriteRegString(HKEY_LOCAL_MACHINE, std::string(olderKey) + "\\Sub", "x", "y"));
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));

  if (GetParam().otherProduct) {
    EXPECT_EQ((std::map<std::string, std::string>{{"lchome", "LUMENCRAFTER Home"}}),
              ReadIniSection(log, "Products"));
    EXPECT_EQ((std::map<std::string, std::string>{{"lchome", "C:\\Crafter"}}),
              ReadIniSection(log, "Paths"));
    EXPECT_TRUE(ReadIniSection(log, "LFViewer").empty());
    EXPECT_TRUE(ReadIniSection(log, "Uninst").empty());
    EXPECT_TRUE(FileExists(olderUninstaller));
    EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, olderKey));
  } else {
    EXPECT_FALSE(FileExists(log));
    EXPECT_FALSE(FileExists(olderUninstaller));
    EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, olderKey));
  }
}

INSTANTIATE_TEST_SUITE_P(Logs, OlderRemovalLog,
                         ::testing::Values(OlderLogCase{"OtherProductLeft", true},
                                           OlderLogCase{"OnlyTheViewer", false}),
                         [](const ::testing::TestParamInfo<OlderLogCase>& info) {
                           return info.param.name;
                         });

}  // namespace
