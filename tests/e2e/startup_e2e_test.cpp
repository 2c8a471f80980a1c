// End-to-end scenarios of the program's start: run mode by file name, the
// running-browser question, the switches, the uninstaller's relocation and
// the hidden main window. Each runs the real LFSetup.exe on a clean machine.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "app/window_logic.h"
#include "driver_expect.h"
#include "e2e_machine.h"
#include "e2e_runs.h"
#include "window_driver.h"

namespace {

const char kSetupBrowserCaption[] = "Quillara Installation";
const char kSetupBrowserText[] =
    "Quillara Browser cannot be installed while a\nLUMENFIELD Powered Browser is running.\n\n"
    "Press 'OK' to shut down the Browser and proceed with\nthe installation, or press "
    "'Cancel' to terminate the installation\nprocess.";
const char kUninstallBrowserText[] =
    "Quillara Browser cannot be removed while a\nLUMENFIELD Powered Browser is running.\n\n"
    "Press 'OK' to shut down the Browser now and proceed with\nthe uninstall, or press "
    "'Cancel' to terminate the uninstallation\nprocess.";

const char kBlankTemp[] = "C:\\Temp Folder With Blanks\\";

std::string InstalledUninstaller() { return WindowsDir() + "\\LFUninst.exe"; }

// A setup run from a folder without a setup script: the install fails for
// want of a product key and says so twice.
::testing::AssertionResult ExpectSetupWithoutScript(DriverRun& run) {
  auto r = ExpectWindow(run, kCriticalCaption, kNotCompleted, "OK");
  if (!r) return r;
  return ExpectWindow(run, kSetupCaption, kNotInstalled, "OK");
}

// Setup by any name but the uninstaller's; uninstall by that name in any case.
struct NameCase {
  const char* fileName;
  bool uninstall;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.fileName; }

class RunModeByFileName : public ::testing::TestWithParam<NameCase> {};

TEST_P(RunModeByFileName, ChoosesSetupOrUninstall) {
  std::string exe = std::string(kPackageDir) + "\\" + GetParam().fileName;
  ASSERT_TRUE(PlaceSetupProgram(exe));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(exe), kPackageDir, {}));
  if (GetParam().uninstall)
    ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoveQuestion, "No"));
  else
    ASSERT_TRUE(ExpectSetupWithoutScript(run));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_TRUE(AllExitedWithZero(run));
}

INSTANTIATE_TEST_SUITE_P(
    Names, RunModeByFileName,
    ::testing::Values(NameCase{"LFSetup.exe", false}, NameCase{"setup.exe", false},
                      NameCase{"LFUninst.exe.exe", false}, NameCase{"LFUninst.exe", true},
                      NameCase{"lfuninst.EXE", true}, NameCase{"LFUNINST.EXE", true}),
    [](const ::testing::TestParamInfo<NameCase>& info) {
      std::string name;
      for (const char* c = info.param.fileName; *c; ++c)
        name += isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

// The running-browser question: OK closes a cooperating browser and goes on,
// Cancel ends the run, and a browser that ignores WM_CLOSE brings the
// question back until the user gives up.
TEST(RunningBrowser, OkClosesCooperatingBrowserAndSetupGoesOn) {
  RunningProgram browser;
  ASSERT_TRUE(StartBrowser(browser, false));
  std::string exe = std::string(kPackageDir) + "\\LFSetup.exe";
  ASSERT_TRUE(PlaceSetupProgram(exe));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(exe), kPackageDir, {}));
  ASSERT_TRUE(ExpectWindow(run, kSetupBrowserCaption, kSetupBrowserText, "OK"));
  ASSERT_TRUE(ExpectSetupWithoutScript(run));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_TRUE(WaitForProcessEnd(browser.pi.hProcess, 5000)) << "the browser was not closed";
  EXPECT_TRUE(AllExitedWithZero(run));
}

TEST(RunningBrowser, CancelEndsTheRunAndLeavesTheBrowser) {
  RunningProgram browser;
  ASSERT_TRUE(StartBrowser(browser, false));
  std::string exe = std::string(kPackageDir) + "\\LFSetup.exe";
  ASSERT_TRUE(PlaceSetupProgram(exe));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(exe), kPackageDir, {}));
  ASSERT_TRUE(ExpectWindow(run, kSetupBrowserCaption, kSetupBrowserText, "Cancel"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_FALSE(WaitForProcessEnd(browser.pi.hProcess, 0)) << "Cancel must not close the browser";
  EXPECT_TRUE(AllExitedWithZero(run));
}

TEST(RunningBrowser, IgnoredCloseBringsTheUninstallQuestionBack) {
  RunningProgram browser;
  ASSERT_TRUE(StartBrowser(browser, true));
  std::string exe = InstalledUninstaller();
  ASSERT_TRUE(PlaceSetupProgram(exe));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(exe), "", {}));
  DWORD before = GetTickCount();
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kUninstallBrowserText, "OK"));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kUninstallBrowserText, "OK"));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kUninstallBrowserText, "Cancel"));
  // Two OKs, each followed by a one-second pause before the next look.
  EXPECT_GE(GetTickCount() - before, 2000u) << run.transcript;
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_FALSE(WaitForProcessEnd(browser.pi.hProcess, 0));
  EXPECT_TRUE(FileExists(exe)) << "a cancelled uninstall must not touch its file";
  EXPECT_TRUE(AllExitedWithZero(run));
}

// "\f" counts only as the setup's last argument, in any case: with it the
// setup holds the package's ie5setup.exe with delete-on-close, so the file is
// gone after the run. "\s" means nothing to a setup.
struct SwitchCase {
  const char* arguments;
  bool ieSetupRemoved;
};

void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.arguments; }

class SetupSwitch : public ::testing::TestWithParam<SwitchCase> {};

TEST_P(SetupSwitch, OnlyTheLastArgumentCounts) {
  std::string exe = std::string(kPackageDir) + "\\LFSetup.exe";
  std::string ieSetup = std::string(kPackageDir) + "\\ie5setup.exe";
  ASSERT_TRUE(PlaceSetupProgram(exe));
  ASSERT_TRUE(WriteTextFile(ieSetup, "stand-in"));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(exe) + " " + GetParam().arguments, kPackageDir, {}));
  // Even "\s" shows the setup's message: quiet is an uninstall switch.
  ASSERT_TRUE(ExpectSetupWithoutScript(run));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(!GetParam().ieSetupRemoved, FileExists(ieSetup)) << GetParam().arguments;
  EXPECT_TRUE(AllExitedWithZero(run));
}

INSTANTIATE_TEST_SUITE_P(Arguments, SetupSwitch,
                         ::testing::Values(SwitchCase{"\\f", true}, SwitchCase{"x \\F", true},
                                           SwitchCase{"\\f x", false}, SwitchCase{"\\s", false},
                                           SwitchCase{"/f", false}),
                         [](const ::testing::TestParamInfo<SwitchCase>& info) {
                           return "Case" + std::to_string(info.index);
                         });

// Interactive uninstall: confirmed, it continues from a copy in the temporary
// folder (here one with blanks in its path); the copy waits for the first
// process, deletes the installed uninstaller and, finding no product, says
// so. Afterwards the temporary copy is gone too. A single argument other
// than "\s" ("\f" among them) is an interactive start as well.
class InteractiveUninstall : public ::testing::TestWithParam<const char*> {};

TEST_P(InteractiveUninstall, RelocatesIntoTempFolderWithBlanks) {
  std::string installed = InstalledUninstaller();
  std::string tempCopy = std::string(kBlankTemp) + "LFUninst.exe";
  ASSERT_TRUE(PlaceSetupProgram(installed));
  ASSERT_TRUE(MakeFolders(kBlankTemp));
  DriverRun run;
  std::string cmd = Quoted(installed) + (*GetParam() ? std::string(" ") + GetParam() : "");
  ASSERT_TRUE(StartProgram(run, cmd, "",
                           {std::string("TMP=") + kBlankTemp, std::string("TEMP=") + kBlankTemp}));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoveQuestion, "Yes"));

  SeenWindow w;
  ASSERT_TRUE(WaitForWindow(run, &w, 15000)) << run.transcript;
  EXPECT_EQ(kUninstallCaption, w.caption);
  EXPECT_EQ(kNotRegistered, w.text);
  // The message comes from the copy, after the first process ended and the
  // installed file was deleted.
  EXPECT_NE(run.pid, w.pid) << run.transcript;
  EXPECT_NE(STILL_ACTIVE, run.exitCode) << "the first process should have ended";
  EXPECT_FALSE(FileExists(installed)) << "the copy did not delete the installed uninstaller";
  EXPECT_TRUE(FileExists(tempCopy)) << "the copy should run from the temporary folder";
  ASSERT_TRUE(PressButton(run, w, "OK")) << run.transcript;

  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_GE(run.tracked.size(), 2u) << run.transcript;
  EXPECT_TRUE(AllExitedWithZero(run));
  // The copy's file goes when its last handle closes, just after it ends.
  for (int i = 0; i < 200 && FileExists(tempCopy); ++i) Sleep(10);
  EXPECT_FALSE(FileExists(tempCopy)) << "the temporary copy was left behind";
}

INSTANTIATE_TEST_SUITE_P(Starts, InteractiveUninstall, ::testing::Values("", "other", "\\f"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                           return "Args" + std::to_string(info.index);
                         });

// A temporary folder so long that the copy's command line would not fit its
// 260 bytes: the relocation fails with its message instead of starting the
// copy with a cut path, and the copy already made goes away again.
TEST(InteractiveUninstall, CommandLineTooLongFailsTheRelocation) {
  const char kRelocationFailed[] =
      "Unable to create temp file. Quillara Browser \nwill not be Uninstalled.";
  std::string installed = InstalledUninstaller();
  std::string longTemp = "C:\\" + std::string(225, 't') + "\\";
  std::string tempCopy = longTemp + "LFUninst.exe";
  ASSERT_LT(tempCopy.size(), 260u) << "the copy itself must still be possible";
  ASSERT_TRUE(PlaceSetupProgram(installed));
  ASSERT_TRUE(MakeFolders(longTemp));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(installed), "", {"TMP=" + longTemp, "TEMP=" + longTemp}));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoveQuestion, "Yes"));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRelocationFailed, "OK"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(1u, run.tracked.size()) << run.transcript;
  EXPECT_TRUE(FileExists(installed));
  EXPECT_FALSE(FileExists(tempCopy)) << "the copy in the temporary folder was left behind";
  EXPECT_TRUE(AllExitedWithZero(run));
}

// The relocated copy's own form: a process handle value and a quoted path.
// The copy waits for that process to end before it deletes the file, then
// goes on with the uninstall (which here finds no product).
TEST(RelocatedCopy, WaitsForTheHandleThenDeletesThePath) {
  std::string target = "C:\\Old Place\\LFUninst.exe";
  ASSERT_TRUE(PlaceSetupProgram(target));
  std::string copy = std::string(kBlankTemp) + "LFUninst.exe";
  ASSERT_TRUE(PlaceSetupProgram(copy));

  // The "first process": a stand-in that runs until it is ended.
  RunningProgram first;
  ASSERT_TRUE(StartRunningProgram(first, Quoted(BuiltProgram("viewer_standin.exe")) + " --stay"));
  HANDLE inheritable = OpenProcess(SYNCHRONIZE, TRUE, first.pi.dwProcessId);
  ASSERT_NE(nullptr, inheritable);

  DriverRun run;
  run.inheritHandles = true;
  std::string handle = std::to_string(reinterpret_cast<INT_PTR>(inheritable));
  ASSERT_TRUE(StartProgram(run, Quoted(copy) + " " + handle + " " + Quoted(target), "", {}));
  // While the first process lives, the copy waits: no message, file kept.
  SeenWindow early;
  EXPECT_FALSE(WaitForWindow(run, &early, 1500)) << run.transcript;
  EXPECT_TRUE(FileExists(target));

  TerminateProcess(first.pi.hProcess, 0);
  CloseHandle(inheritable);
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kNotRegistered, "OK"));
  EXPECT_FALSE(FileExists(target)) << "the installed uninstaller was not deleted";
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_TRUE(AllExitedWithZero(run));
}

TEST(InteractiveUninstall, NoKeepsEverything) {
  std::string installed = InstalledUninstaller();
  ASSERT_TRUE(PlaceSetupProgram(installed));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(installed), "", {}));
  ASSERT_TRUE(ExpectWindow(run, kUninstallCaption, kRemoveQuestion, "No"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(1u, run.tracked.size()) << "nothing may be started after No\n" << run.transcript;
  EXPECT_TRUE(FileExists(installed));
  EXPECT_TRUE(AllExitedWithZero(run));
}

// The quiet uninstall runs in place: no question, no relocation and, with no
// product installed, not even the registration message.
TEST(QuietUninstall, ShowsNoMessageBoxAndRunsInPlace) {
  std::string installed = InstalledUninstaller();
  ASSERT_TRUE(PlaceSetupProgram(installed));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(installed) + " \\S", "", {}));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(1u, run.tracked.size()) << "a quiet uninstall starts no copy\n" << run.transcript;
  EXPECT_TRUE(FileExists(installed));
  EXPECT_TRUE(AllExitedWithZero(run));
}

// The hidden main window keeps its place and stays hidden even when another
// program tries to show or move it.
TEST(MainWindow, StaysHiddenAtItsComputedPlace) {
  std::string exe = std::string(kPackageDir) + "\\LFSetup.exe";
  ASSERT_TRUE(PlaceSetupProgram(exe));
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Quoted(exe), kPackageDir, {}));
  SeenWindow box;
  ASSERT_TRUE(WaitForWindow(run, &box, 15000)) << run.transcript;

  HWND main = FindWindowA("InstallWClass", "Install");
  ASSERT_NE(nullptr, main);
  DWORD owner = 0;
  GetWindowThreadProcessId(main, &owner);
  EXPECT_EQ(run.pid, owner);
  EXPECT_FALSE(IsWindowVisible(main));

  RECT work, rect;
  ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
  ASSERT_TRUE(GetWindowRect(main, &rect));
  EXPECT_EQ(WindowOrigin(work.right - work.left, 440), rect.left);
  EXPECT_EQ(WindowOrigin(work.bottom - work.top, 270), rect.top);

  ShowWindowAsync(main, SW_SHOWNORMAL);
  SetWindowPos(main, HWND_TOP, 5, 5, 100, 100, SWP_ASYNCWINDOWPOS | SWP_SHOWWINDOW);
  DWORD_PTR ignored;
  // A message sent after the requests returns once they have been handled.
  SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &ignored);
  RECT after;
  ASSERT_TRUE(GetWindowRect(main, &after));
  EXPECT_FALSE(IsWindowVisible(main)) << "the main window became visible";
  EXPECT_EQ(rect.left, after.left);
  EXPECT_EQ(rect.top, after.top);
  EXPECT_EQ(rect.right - rect.left, after.right - after.left);
  EXPECT_FALSE(AnyTrackedWindowVisible(run, "InstallWClass"));

  ASSERT_TRUE(PressButton(run, box, "OK")) << run.transcript;
  ASSERT_TRUE(ExpectWindow(run, kSetupCaption, kNotInstalled, "OK"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_TRUE(AllExitedWithZero(run));
}

}  // namespace
