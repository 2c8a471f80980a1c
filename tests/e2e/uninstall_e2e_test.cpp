// End-to-end uninstall scenarios: the real program installs a package, then
// the uninstall string of its uninstall entry removes it the way Windows
// starts it (confirmation, relocation into the temporary folder, removal).
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "driver_expect.h"
#include "e2e_machine.h"
#include "e2e_runs.h"
#include "window_driver.h"

namespace {

struct MachineSnapshot {
  std::map<std::string, std::string> machine, user;
  std::vector<std::string> files;
};

// Wine sets up its display devices and some user settings in the registry
// the first time a program of the session touches the desktop; that happens
// before the first snapshot, so that only the programs' own changes remain.
MachineSnapshot TakeSnapshot() {
  GetDesktopWindow();
  HWND probe = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe) DestroyWindow(probe);
  return {SnapshotRegistry(HKEY_LOCAL_MACHINE, ""), SnapshotRegistry(HKEY_CURRENT_USER, ""),
          SnapshotFiles("C:\\")};
}

// Entries of `after` that `before` does not have, and the other way round,
// leaving out the expected leftovers.
template <typename Map>
std::vector<std::string> Differences(const Map& before, const Map& after,
                                     const std::set<std::string>& leftovers) {
  std::vector<std::string> out;
  for (const auto& kv : after) {
    auto it = before.find(kv.first);
    if (leftovers.count(kv.first)) continue;
    if (it == before.end())
      out.push_back("added:   " + kv.first + " = " + kv.second);
    else if (it->second != kv.second)
      out.push_back("changed: " + kv.first + " = " + it->second + " -> " + kv.second);
  }
  for (const auto& kv : before)
    if (!after.count(kv.first) && !leftovers.count(kv.first))
      out.push_back("removed: " + kv.first);
  return out;
}

std::vector<std::string> FileDifferences(const std::vector<std::string>& before,
                                         const std::vector<std::string>& after,
                                         const std::set<std::string>& leftovers) {
  std::map<std::string, std::string> b, a;
  for (const auto& f : before) b[f] = "";
  for (const auto& f : after) a[f] = "";
  return Differences(b, a, leftovers);
}

std::string Join(const std::vector<std::string>& lines) {
  std::string out;
  for (const auto& l : lines) out += "  " + l + "\n";
  return out;
}

// What an install followed by an uninstall leaves on purpose: the scheduled
// Start-menu group conversion (its RunOnce value is consumed by Windows at
// the next start), and Internet Explorer's own dependent-components key,
// emptied of the product's value (a machine with Internet Explorer 4 or
// later has that key anyway).
const std::set<std::string> kRegistryLeftovers = {
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce\\GrpConv",
    "\\Software\\Microsoft\\IE4\\",
    "\\Software\\Microsoft\\IE4\\DependentComponents\\",
};

std::string World(const std::string& rel) { return std::string(kDefaultWorld) + "\\" + rel; }

// From a clean machine: install the sample package, uninstall it as Windows
// does and answer Yes to the content question. The registry and the C: drive
// are then as before, but for the named leftovers.
TEST(RoundTrip, InstallThenUninstallWithContentLeavesTheMachineAsItWas) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  MachineSnapshot before = TakeSnapshot();
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  DeleteFileA(kStandinLog);

  DriverRun run;
  ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
  ASSERT_TRUE(ExpectWindow(run, kContentCaption, kContentQuestion, "Yes", 30000));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoved, "OK", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));
  EXPECT_TRUE(AllExitedWithZero(run));
  EXPECT_GE(run.tracked.size(), 2u) << "the uninstall runs from its temporary copy\n" << run.transcript;

  MachineSnapshot after = TakeSnapshot();
  auto machine = Differences(before.machine, after.machine, kRegistryLeftovers);
  auto user = Differences(before.user, after.user, kRegistryLeftovers);
  auto files = FileDifferences(before.files, after.files, {});
  EXPECT_TRUE(machine.empty()) << "HKEY_LOCAL_MACHINE differs:\n" << Join(machine);
  EXPECT_TRUE(user.empty()) << "HKEY_CURRENT_USER differs:\n" << Join(user);
  EXPECT_TRUE(files.empty()) << "C: differs:\n" << Join(files);
  for (const auto& leftover : kRegistryLeftovers)
    EXPECT_TRUE(after.machine.count(leftover)) << "expected leftover missing: " << leftover;
}

// Content question answered No: the listed files go, the content and a file
// the user added to the product folder stay, and so does the folder.
TEST(Uninstall, ContentNoKeepsContentAndUserFiles) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  ASSERT_TRUE(WriteTextFile(World("my notes.txt"), "the user's own"));

  DriverRun run;
  ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
  ASSERT_TRUE(ExpectWindow(run, kContentCaption, kContentQuestion, "No", 30000));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoved, "OK", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));

  for (const char* listed : {"LFViewer.exe", "LFCtrl.exe", "readme.txt", "help\\quickstart.txt"})
    EXPECT_FALSE(FileExists(World(listed))) << listed;
  EXPECT_EQ("the user's own", ReadTextFile(World("my notes.txt")));
  EXPECT_TRUE(FileExists(World("Worlds\\welcome.vorn"))) << "content is kept";
  EXPECT_FALSE(FileExists(UninstallScript()));
  EXPECT_FALSE(FileExists(WindowsDir() + "\\LFUninst.exe"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kMaker)) << "the emptied component list goes";
  EXPECT_FALSE(FileExists(DesktopFolder() + "\\Quillara Browser.lnk"));
  EXPECT_FALSE(FileExists(ProgramsFolder() + "\\Quillara Browser"));
}

// The quiet uninstall (as a later setup starts a previous version's
// uninstaller): no message box at all, content kept, product removed.
TEST(Uninstall, QuietRunShowsNothingAndKeepsContent) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(WindowsDir() + "\\LFUninst.exe") + " \\s", "", {}));
  ASSERT_TRUE(ExpectEnd(run, 30000));
  EXPECT_EQ(1u, run.tracked.size()) << "a quiet uninstall runs in place\n" << run.transcript;
  EXPECT_TRUE(AllExitedWithZero(run));
  EXPECT_FALSE(FileExists(World("LFViewer.exe")));
  EXPECT_TRUE(FileExists(World("Worlds\\welcome.vorn")));
  EXPECT_FALSE(FileExists(UninstallScript()));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(RegKeyExists(HKEY_CLASSES_ROOT, "vorn"));
}

// Two products in one uninstall script and one component list (the second
// installed into the detected folder by a package of its own): removing the
// viewer with content kept leaves the other product's own files, shortcuts
// and registry keys. The uninstall script goes as a whole at the end of a
// successful run, and the "Viewer" list is walked as a whole, so the other
// product's records there go too.
TEST(Uninstall, SecondProductKeepsItsFilesShortcutsAndKeys) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  const std::string other = "C:\\Package2";
  std::string script =
      "[Log]\nKey=LCHome\nName=LUMENCRAFTER Home\nTarget=crafter.exe\n"
      "Menu=LUMENCRAFTER\\LUMENCRAFTER Home\nIcon=LUMENCRAFTER Home\n"
      "[Core]\ncrafter.exe,LFCtrl.exe\ncrafter.txt,quickstart.txt\n";
  ASSERT_TRUE(PreparePackage(other, script));
  ASSERT_TRUE(InstallAndDecline(other));
  ASSERT_EQ("LFViewer;LCHome", ReadRegValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer").data);
  ASSERT_EQ(kDefaultWorld, ReadIniSection(UninstallScript(), "Paths")["lchome"]);

  DriverRun run;
  ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
  ASSERT_TRUE(ExpectWindow(run, kContentCaption, kContentQuestion, "No", 30000));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoved, "OK", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));

  EXPECT_FALSE(FileExists(World("LFViewer.exe")));
  EXPECT_TRUE(FileExists(World("crafter.exe")));
  EXPECT_TRUE(FileExists(World("crafter.txt")));
  EXPECT_TRUE(FileExists(DesktopFolder() + "\\LUMENCRAFTER Home.lnk"));
  EXPECT_TRUE(FileExists(ProgramsFolder() + "\\LUMENCRAFTER\\LUMENCRAFTER Home.lnk"));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LCHome"));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "crafter.exe"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LFViewer"));
  EXPECT_FALSE(FileExists(DesktopFolder() + "\\Quillara Browser.lnk"));
  EXPECT_FALSE(FileExists(UninstallScript()));
  EXPECT_FALSE(ReadRegValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer").present);
}

// The user already deleted the desktop shortcut: the files and keys go, then
// the run stops with the failure message. The product's App Paths entry is
// gone by then, so a second run finds no product and says it cannot
// uninstall either.
TEST(Uninstall, MissingDesktopShortcutFailsAndFailsAgain) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  ASSERT_TRUE(DeleteFileA((DesktopFolder() + "\\Quillara Browser.lnk").c_str()));

  {
    DriverRun run;
    ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
    ASSERT_TRUE(ExpectWindow(run, kUninstallErrorCaption, kUninstallNotCompleted, "OK", 30000));
    ASSERT_TRUE(ExpectEnd(run, 30000));
  }
  // The relocated copy deleted the installed uninstaller; the user runs it
  // again from a fresh copy.
  ASSERT_TRUE(PlaceSetupProgram(WindowsDir() + "\\LFUninst.exe"));
  {
    DriverRun run;
    ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
    ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kNotRegistered, "OK", 30000));
    ASSERT_TRUE(ExpectEnd(run, 30000));
  }
  EXPECT_FALSE(FileExists(World("LFViewer.exe")));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kAppPaths) + "LFViewer.exe"));
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, std::string(kMaker) + "\\LFViewer"));
  // The run stopped before the Start-menu shortcut and the uninstall entry.
  EXPECT_TRUE(FileExists(ProgramsFolder() + "\\Quillara Browser\\Quillara Browser.lnk"));
  EXPECT_TRUE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_TRUE(FileExists(UninstallScript()));
}

// A listed file held open by a running program cannot be deleted: the run
// fails, and the files listed after it stay.
TEST(Uninstall, ListedFileInUseFailsTheRun) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  RunningProgram ctrl;
  ASSERT_TRUE(StartRunningProgram(ctrl, Quoted(World("LFCtrl.exe")) + " --stay"));

  DriverRun run;
  ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
  ASSERT_TRUE(ExpectWindow(run, kUninstallErrorCaption, kUninstallNotCompleted, "OK", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));
  TerminateProcess(ctrl.pi.hProcess, 0);

  EXPECT_FALSE(FileExists(World("LFViewer.exe"))) << "listed before the file in use";
  EXPECT_TRUE(FileExists(World("LFCtrl.exe")));
  EXPECT_TRUE(FileExists(World("readme.txt"))) << "listed after the file in use";
  EXPECT_TRUE(ReadIniSection(UninstallScript(), "LFViewer").empty()) << "the section is consumed";
  EXPECT_TRUE(FileExists(DesktopFolder() + "\\Quillara Browser.lnk"));
}

// A read-only file inside the content folder stays, with the folders on its
// path; everything else goes and the run still reports success. The product
// then stays in the component list, since its folder could not be removed.
TEST(Uninstall, ReadOnlyContentFileStays) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  std::string locked = World("Worlds\\saved.vorn");
  ASSERT_TRUE(WriteTextFile(locked, "a world the user protected"));
  ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));

  DriverRun run;
  ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
  ASSERT_TRUE(ExpectWindow(run, kContentCaption, kContentQuestion, "Yes", 30000));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoved, "OK", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));

  std::vector<std::string> left = SnapshotFiles(kDefaultWorld);
  EXPECT_EQ((std::set<std::string>{"Worlds\\", "Worlds\\saved.vorn"}),
            std::set<std::string>(left.begin(), left.end()));
  EXPECT_EQ("LFViewer", ReadRegValue(HKEY_LOCAL_MACHINE, kMaker, "Viewer").data);
  EXPECT_FALSE(RegKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A Start-menu shortcut that the user pointed at a program that still exists
// is not the product's to delete: it stays.
TEST(Uninstall, StartMenuShortcutWithExistingTargetStays) {
  ASSERT_TRUE(PreparePackage(kPackageDir, ""));
  ASSERT_TRUE(InstallAndDecline(kPackageDir));
  std::string link = ProgramsFolder() + "\\Quillara Browser\\Quillara Browser.lnk";
  std::string kept = "C:\\Tools\\viewer.exe";
  ASSERT_TRUE(MakeFolders("C:\\Tools"));
  ASSERT_TRUE(CopyFileA(BuiltProgram("viewer_standin.exe").c_str(), kept.c_str(), FALSE));
  ASSERT_TRUE(WriteLink(link, kept));

  DriverRun run;
  ASSERT_TRUE(StartUninstallAsWindowsDoes(run));
  ASSERT_TRUE(ExpectWindow(run, kContentCaption, kContentQuestion, "Yes", 30000));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoved, "OK", 30000));
  ASSERT_TRUE(ExpectEnd(run, 30000));

  EXPECT_TRUE(FileExists(link));
  EXPECT_FALSE(FileExists(DesktopFolder() + "\\Quillara Browser.lnk"));
  EXPECT_FALSE(FileExists(ProgramsFolder() + "\\Quillara Browser\\Uninstall Quillara Browser.lnk"));
}

}  // namespace
