// Checks the window driver and the stand-ins against programs whose behaviour
// we know exactly. msgbox_probe.exe, browser_standin.exe and viewer_standin.exe
// must sit next to this test.

#include <windows.h>

#include <string>

#include "driver_expect.h"

namespace {

std::string Sibling(const char* exe) {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return exe;
  std::string dir(self, n);
  return QuoteArgument(dir.substr(0, dir.find_last_of('\\') + 1) + exe);
}

std::string TempDir() {
  char dir[MAX_PATH];
  DWORD n = GetTempPathA(sizeof dir, dir);
  if (n == 0 || n >= sizeof dir) return ".";
  return std::string(dir, n - 1);  // as GetCurrentDirectory gives it: no trailing backslash
}

// A fresh empty file in the temp folder, gone again with the test.
struct TempFile {
  std::string path;
  TempFile() {
    char name[MAX_PATH];
    if (GetTempFileNameA(TempDir().c_str(), "drv", 0, name)) path = name;
  }
  ~TempFile() {
    if (!path.empty()) DeleteFileA(path.c_str());
  }
  std::string Read() const {
    std::string text;
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return "<cannot open " + path + ">";
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(f);
    return text;
  }
};

HWND WaitForOwnWindow(DriverRun& run, const char* className, DWORD timeoutMs) {
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    for (HWND h = nullptr; (h = FindWindowExA(nullptr, h, className, nullptr)) != nullptr;) {
      DWORD pid = 0;
      if (GetWindowThreadProcessId(h, &pid) && pid == run.pid) return h;
    }
    if (GetTickCount64() >= deadline) return nullptr;
    Sleep(10);
  }
}

const char kQuestion[] = "Probe Question";
const char kQuestionText[] = "Install the probe files?\nThey take 1 KB.";
const char kDone[] = "Probe Done";
const char kDoneText[] = "All probe files are in place.";

TEST(WindowDriver, AnswersReachTheProgramInOrder) {
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Sibling("msgbox_probe.exe"), "", {})) << run.transcript;
  ASSERT_TRUE(ExpectWindow(run, kQuestion, kQuestionText, "yes"));
  ASSERT_TRUE(ExpectWindow(run, kDone, kDoneText, "Cancel"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(run.exitCode, static_cast<DWORD>(IDYES * 16 + IDCANCEL)) << run.transcript;
}

TEST(WindowDriver, FollowsAChildThatOutlivesItsParent) {
  TempFile result;
  ASSERT_FALSE(result.path.empty());
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Sibling("msgbox_probe.exe") + " --via-child", "", {"PROBE_RESULT=" + result.path}))
      << run.transcript;
  // Let the parent be gone before the driver first looks for its child.
  ASSERT_EQ(WaitForSingleObject(run.process, 10000), WAIT_OBJECT_0);
  ASSERT_TRUE(ExpectWindow(run, kQuestion, kQuestionText, "No"));
  ASSERT_TRUE(ExpectWindow(run, kDone, kDoneText, "OK"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(run.exitCode, 0u);
  EXPECT_EQ(run.pids.size(), 2u) << run.transcript;
  EXPECT_EQ(result.Read(), std::to_string(IDNO) + " " + std::to_string(IDOK));
}

TEST(WindowDriver, ReportsARepeatedBoxEachTime) {
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Sibling("msgbox_probe.exe") + " --repeat 3", "", {})) << run.transcript;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(ExpectWindow(run, "Probe Reminder", "Close the probe browser.", "OK"));
  ASSERT_TRUE(ExpectEnd(run));
  EXPECT_EQ(run.exitCode, 3u);
}

TEST(WindowDriver, MismatchedTextFails) {
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Sibling("msgbox_probe.exe"), "", {})) << run.transcript;
  ::testing::AssertionResult r = ExpectWindow(run, kQuestion, "Install the probe files? They take 1 KB.", "Yes");
  EXPECT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("got window \"Probe Question\" with text \"Install the probe files?\\nThey"),
            std::string::npos)
      << r.message();
}

TEST(WindowDriver, UnexpectedWindowFailsExpectEnd) {
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Sibling("msgbox_probe.exe"), "", {})) << run.transcript;
  ASSERT_TRUE(ExpectWindow(run, kQuestion, kQuestionText, "Yes"));
  ::testing::AssertionResult r = ExpectEnd(run, 10000);
  EXPECT_FALSE(r);
  EXPECT_NE(std::string(r.message()).find("unexpected window \"Probe Done\""), std::string::npos) << r.message();
  EndRun(run);
  EXPECT_TRUE(AllEnded(run));
}

TEST(Standins, BrowserIgnoringCloseSurvivesIt) {
  TempFile log;
  ASSERT_FALSE(log.path.empty());
  std::string cmd = Sibling("browser_standin.exe") + " --ignore-close";
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, cmd, TempDir(), {"LF_STANDIN_LOG=" + log.path})) << run.transcript;
  HWND browser = WaitForOwnWindow(run, "LumenFieldClass", 30000);
  ASSERT_NE(browser, nullptr) << run.transcript;
  EXPECT_TRUE(AnyTrackedWindowVisible(run, "LumenFieldClass"));
  char title[64] = "";
  EXPECT_GT(GetWindowTextA(browser, title, sizeof title), 0);
  EXPECT_STREQ(title, "LUMENFIELD Browser");
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(browser, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_TRUE(IsWindow(browser));
  EXPECT_FALSE(AllEnded(run));
  EXPECT_EQ(log.Read(), "browser_standin.exe\t" + cmd + "\t" + TempDir() + "\n");
}

TEST(Standins, BrowserClosesWhenAsked) {
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, Sibling("browser_standin.exe"), "", {})) << run.transcript;
  HWND browser = WaitForOwnWindow(run, "LumenFieldClass", 30000);
  ASSERT_NE(browser, nullptr) << run.transcript;
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutA(browser, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_FALSE(IsWindow(browser));
  ASSERT_TRUE(ExpectEnd(run, 5000));
  EXPECT_EQ(run.exitCode, 0u);
}

TEST(Standins, ViewerGoesIdleThenQuits) {
  TempFile log;
  ASSERT_FALSE(log.path.empty());
  std::string cmd = Sibling("viewer_standin.exe") + " \"C:\\some file.txt\"";
  DriverRun run;
  ASSERT_TRUE(StartProgram(run, cmd, "", {"LF_STANDIN_LOG=" + log.path})) << run.transcript;
  EXPECT_EQ(WaitForInputIdle(run.process, 10000), 0u);
  ASSERT_TRUE(ExpectEnd(run, 5000));
  EXPECT_EQ(run.exitCode, 0u);
  std::string line = log.Read();
  EXPECT_EQ(line.substr(0, line.find('\t', line.find('\t') + 1)), "viewer_standin.exe\t" + cmd) << line;
}

}  // namespace
