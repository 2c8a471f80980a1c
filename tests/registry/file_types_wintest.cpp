#include "registry/file_types.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

#include "registry_probe.h"

namespace {

using namespace reg_probe;

using Values = std::map<std::string, std::string>;

const char kDir[] = "C:\\Program Files\\Quillara";
const char kShortDir[] = "C:\\PROGRA~1\\QUILLARA";
const char kExe[] = "LFViewer.exe";

const char* const kDdeNameKeys[] = {
    "vorn\\shell\\open\\ddeexec\\topic",
    "vorn\\shell\\open\\ddeexec\\application",
    "LUMENFIELD.Document\\shell\\open\\ddeexec\\topic",
    "LUMENFIELD.Document\\shell\\open\\ddeexec\\application",
};

// What an earlier install on Windows 95 left, with a stray subkey below.
void SeedEarlierDdeNames() {
  for (const char* key : kDdeNameKeys) ASSERT_TRUE(SeedString(HKEY_CLASSES_ROOT, key, "", "old"));
  ASSERT_TRUE(SeedKey(HKEY_CLASSES_ROOT, "vorn\\shell\\open\\ddeexec\\topic\\stray"));
}

// Every key the registration writes, with all of its values: nothing else
// may appear under them.
void ExpectRegistrationRows(const char* shortDir) {
  const std::string open = std::string(kDir) + "\\LFViewer.exe \"%1\"";
  const std::string print = std::string(kDir) + "\\LFViewer.exe /p \"%1\"";
  const std::string shortOpen = std::string(shortDir) + "\\LFViewer.exe \"%1\"";
  const struct {
    const char* key;
    Values values;
  } rows[] = {
      {"vorn", {{"", "URL:Vorn Protocol"}, {"URL Protocol", ""}}},
      {"vorn\\DefaultIcon", {{"", "LFViewer.exe"}}},
      {"vorn\\shell\\open\\command", {{"", shortOpen}}},
      {"vorn\\shell\\open\\ddeexec", {{"", "[open(\"%1\")]"}}},
      {".vorn", {{"", "LUMENFIELD.Document"}}},
      {".3de", {{"", "LUMENFIELD.Document"}}},
      {"LUMENFIELD.Document", {}},
      {"LUMENFIELD.Document\\shell\\print\\command", {{"", print}}},
      {"LUMENFIELD.Document\\shell\\open\\command", {{"", open}}},
      {"LUMENFIELD.Document\\shell\\open\\ddeexec", {{"", "[open(\"%1\")]"}}},
  };
  for (const auto& row : rows) {
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, row.key)) << row.key;
    EXPECT_EQ(row.values, AllStringValues(HKEY_CLASSES_ROOT, row.key)) << row.key;
  }
  StoredValue urlProtocol = ReadValue(HKEY_CLASSES_ROOT, "vorn", "URL Protocol");
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), urlProtocol.type);
  EXPECT_EQ(1u, urlProtocol.data.size()) << "an empty string, not a missing value";
}

void ExpectDdeNamesWritten() {
  const char* const data[] = {"system", "LFVIEWER", "system", "LFVIEWER"};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ((Values{{"", data[i]}}), AllStringValues(HKEY_CLASSES_ROOT, kDdeNameKeys[i]))
        << kDdeNameKeys[i];
}

void ExpectDdeNamesGone() {
  for (const char* key : kDdeNameKeys) EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key)) << key;
}

int g_conditionCalls = 0;
int ConditionHolds() { return ++g_conditionCalls, 1; }
int ConditionFails() { return ++g_conditionCalls, 0; }

TEST(RegisterProtocolAndFileTypes, OverwritesAnEarlierRegistration) {
  RegisterProtocolAndFileTypesWith(ConditionFails, "D:\\Old", "Old.exe", "D:\\OLD");
  RegisterProtocolAndFileTypesWith(ConditionHolds, kDir, kExe, kShortDir);
  ExpectRegistrationRows(kShortDir);
  ExpectDdeNamesGone();
}

// The real version tests, through a copy of this program started under a
// file name for which Wine reports another Windows version.
const char kProbeSwitch[] = "--lf-version-probe";
const char kProbeDir[] = "C:\\lfprobe";
const int kProbeExitBase = 100;

// In the probe copy: register, report both version answers in the exit code
// and end before any test runs.
int RunAsVersionProbeIfAsked() {
  if (!std::strstr(GetCommandLineA(), kProbeSwitch)) return 0;
  RegisterProtocolAndFileTypes(kDir, kExe, kShortDir);
  ExitProcess(kProbeExitBase + 10 * IsWindowsNT() + IsWindows98OrMe());
}
const int g_versionProbe = RunAsVersionProbeIfAsked();

bool RunningOnWine() {
  return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

// Runs the probe as exeName, under Wine's version setting (none: as is).
DWORD RunVersionProbe(const char* exeName, const char* version) {
  if (version) {
    std::string key = std::string("Software\\Wine\\AppDefaults\\") + exeName;
    if (!SeedString(HKEY_CURRENT_USER, key.c_str(), "Version", version)) return 0;
  }
  char self[MAX_PATH];
  DWORD len = GetModuleFileNameA(nullptr, self, sizeof(self));
  if (len == 0 || len >= sizeof(self)) return 0;
  CreateDirectoryA(kProbeDir, nullptr);
  std::string probe = std::string(kProbeDir) + "\\" + exeName;
  if (!CopyFileA(self, probe.c_str(), FALSE)) return 0;
  std::string commandLine = "\"" + probe + "\" " + kProbeSwitch;
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(probe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &si, &pi))
    return 0;
  DWORD code = 0;
  if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(pi.hProcess, &code);
  else
    TerminateProcess(pi.hProcess, 1);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

struct VersionCase {
  const char* exeName;
  const char* version;   // Wine's name of the Windows version, or none
  int windowsNT;         // IsWindowsNT's answer
  int windows98OrMe;
  bool ddeNamed;         // the application and topic are written
};

void PrintTo(const VersionCase& c, std::ostream* os) { *os << (c.version ? c.version : "as is"); }

class VersionDependentRegistration : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionDependentRegistration, NamesTheDdeConversationOnWindows95Only) {
  if (!RunningOnWine()) GTEST_SKIP() << "the Windows version is switched through Wine";
  const VersionCase& c = GetParam();
  SeedEarlierDdeNames();
  DWORD code = RunVersionProbe(c.exeName, c.version);
  ASSERT_GE(code, static_cast<DWORD>(kProbeExitBase)) << "the probe did not run";
  EXPECT_EQ(c.windowsNT, static_cast<int>(code - kProbeExitBase) / 10);
  EXPECT_EQ(c.windows98OrMe, static_cast<int>(code - kProbeExitBase) % 10);
  ExpectRegistrationRows(kShortDir);
  if (c.ddeNamed)
    ExpectDdeNamesWritten();
  else
    ExpectDdeNamesGone();
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionDependentRegistration,
    ::testing::Values(VersionCase{"probe95.exe", "win95", 0, 0, true},
                      VersionCase{"probe98.exe", "win98", 0, 1, false},
                      VersionCase{"probeme.exe", "winme", 0, 1, false},
                      VersionCase{"probent4.exe", "nt40", 2, 0, false},
                      VersionCase{"probe.exe", nullptr, 2, 0, false}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
      return std::string(info.param.version ? info.param.version : "AsIs");
    });

}  // namespace
