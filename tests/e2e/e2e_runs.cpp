#include "e2e_runs.h"

#include "driver_expect.h"
#include "e2e_machine.h"

const char kSetupCaption[] = "Quillara Browser Installation";
const char kCriticalCaption[] = "Quillara Browser Installation Critical Error";
const char kUninstallCaption[] = "Uninstall Quillara Browser";
const char kUninstallErrorCaption[] = "Quillara Browser Uninstall Error";
const char kContentCaption[] = "Uninstall Content";
const char kRunNow[] =
    "Quillara Browser was successfully installed.\n\nWould you like to run Quillara Browser now?";
const char kNotCompleted[] = "The installation was not completed successfully!";
const char kNotInstalled[] =
    "Quillara Browser was not installed.\n\nPlease run 'Setup' again to complete the "
    "Quillara Browser\ninstallation.";
const char kRemoveQuestion[] = "You are about to remove Quillara Browser.\nDo you wish to proceed?";
const char kNotRegistered[] =
    "Quillara Browser is not properly registered, and could\nnot be Uninstalled";
const char kContentQuestion[] =
    "Would you like all the Browser content files to\nbe removed from your computer?";
const char kRemoved[] = "Quillara Browser was succesfully removed!";
const char kUninstallNotCompleted[] = "The Uninstall was not completed!";

const char kMaker[] = "SOFTWARE\\LUMENFIELD Corporation";
const char kUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillara Browser";
const char kAppPaths[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kStandinLog[] = "C:\\standins.log";

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

bool StartSetup(DriverRun& run, const std::string& package, const std::string& args) {
  return StartProgram(run, Quoted(package + "\\LFSetup.exe") + args, package,
                      {std::string("LF_STANDIN_LOG=") + kStandinLog});
}

::testing::AssertionResult InstallAndDecline(const std::string& package) {
  DriverRun run;
  if (!StartSetup(run, package)) return ::testing::AssertionFailure() << run.transcript;
  auto r = ExpectWindow(run, kSetupCaption, kRunNow, "No", 30000);
  if (!r) return r;
  return ExpectEnd(run, 30000);
}

::testing::AssertionResult InstallExpectingFailure(const std::string& package) {
  DriverRun run;
  if (!StartSetup(run, package)) return ::testing::AssertionFailure() << run.transcript;
  auto r = ExpectWindow(run, kCriticalCaption, kNotCompleted, "OK", 30000);
  if (!r) return r;
  r = ExpectWindow(run, kSetupCaption, kNotInstalled, "OK");
  if (!r) return r;
  return ExpectEnd(run, 30000);
}

::testing::AssertionResult StartUninstallAsWindowsDoes(DriverRun& run) {
  RegValue command = ReadRegValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString");
  if (!command.present || command.type != REG_SZ)
    return ::testing::AssertionFailure() << "no uninstall entry";
  // Windows runs the uninstall string as it stands, from its own folder.
  if (!StartProgram(run, command.data, "", {}))
    return ::testing::AssertionFailure() << run.transcript;
  return ExpectWindow(run, kUninstallCaption, kRemoveQuestion, "Yes", 30000);
}

::testing::AssertionResult AllExitedWithZero(const DriverRun& run) {
  for (const auto& p : run.tracked)
    if (p.exitCode != 0)
      return ::testing::AssertionFailure()
             << p.exeName << " (pid " << p.pid << ") exit code " << p.exitCode << "\n"
             << run.transcript;
  return ::testing::AssertionSuccess();
}
