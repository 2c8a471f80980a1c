// Runs a program as a child process and answers its dialogs the way a user
// would, so end-to-end tests can drive the real setup executable under Wine.
// Everything here synchronises by polling: the program under test is another
// process and gives us nothing to wait on except its windows and its exit.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

struct SeenWindow {
  HWND hwnd = nullptr;
  DWORD pid = 0;
  std::string className, caption;
  // The visible, non-empty statics and edit boxes, joined by "\n" (a message
  // box's body; a wizard's page texts).
  std::string text;
  // Visible Button children, '&' removed, in child order.
  std::vector<std::string> buttons;
  std::vector<int> buttonIds;
  std::vector<HWND> buttonHwnds;  // a page's buttons belong to the page, not the frame
  std::vector<bool> buttonEnabled;
  HWND page = nullptr;  // a wizard's current page: each page it turns to is a window of its own
};

// One process we started or one of its descendants.
struct TrackedProcess {
  DWORD pid = 0;
  HANDLE handle = nullptr;  // null when it was gone before we could open it
  std::string exeName;
  FILETIME created{};       // zero when unknown
  bool ended = false;
  DWORD exitCode = STILL_ACTIVE;
};

// One started program and everything it started.
struct DriverRun {
  bool inheritHandles = false;     // set before StartProgram to pass inheritable handles on
  HANDLE process = nullptr;        // the started program (owned by tracked[0])
  DWORD pid = 0;
  DWORD exitCode = STILL_ACTIVE;   // of the started program, once it has ended
  std::vector<DWORD> pids;         // the started program plus every descendant seen
  std::vector<TrackedProcess> tracked;  // same order as pids
  std::vector<HWND> known;         // windows already reported and still existing
  std::map<HWND, HWND> shownPage;  // wizard -> page last reported
  std::string transcript;          // every window seen and every press, in order
  ULONGLONG startTick = 0;

  DriverRun() = default;
  DriverRun(const DriverRun&) = delete;
  DriverRun& operator=(const DriverRun&) = delete;
  // A failed assertion returns early; the program must not outlive the test.
  ~DriverRun();
};

// `envOverrides` entries are "NAME=value" (added or replacing, names compared
// case-insensitively) or a bare "NAME" to remove it. Refuses anything but a
// 64-bit program: wine64 "runs" a 32-bit one silently and reports exit code 0.
bool StartProgram(DriverRun& run, const std::string& commandLine, const std::string& workDir,
                  const std::vector<std::string>& envOverrides);

// Next new visible top-level "#32770" window of a tracked process. False on
// time-out or when every tracked process has ended; the transcript says which.
bool WaitForWindow(DriverRun& run, SeenWindow* out, DWORD timeoutMs);

// Clicks the button captioned `buttonCaption` ('&' ignored, any case; "close box": the
// title bar's close box) and waits up to 5 s for the window to close or hide,
// or for a wizard to turn its page or show a dialog.
bool PressButton(DriverRun& run, const SeenWindow& w, const std::string& buttonCaption);

// Reads the window's texts and buttons again (a wizard changes them after a page is shown).
void DescribeWindow(HWND hwnd, SeenWindow* w);

// Replaces the text of the window's first visible edit box, as typing would.
bool TypeText(DriverRun& run, const SeenWindow& w, const std::string& text);

// Selects the item of the window's tree at `path` (item texts, '\' between
// levels, from the top level), expanding each level on the way.
bool SelectTreeItem(DriverRun& run, const SeenWindow& w, const std::string& path);

// True once every tracked process has ended. False on time-out or as soon as a
// new dialog shows up (which is then recorded like WaitForWindow would).
bool WaitForEnd(DriverRun& run, DWORD timeoutMs);

// True when every tracked process has ended (one look, no waiting).
bool AllEnded(DriverRun& run);

// Any visible top-level window of `className` (null: of any class) owned by a
// tracked process.
bool AnyTrackedWindowVisible(DriverRun& run, const char* className);

// Terminates whatever is still running and closes every handle. Safe to repeat.
void EndRun(DriverRun& run);

// Quotes one argument so the C runtime's command-line parser gives it back unchanged.
std::string QuoteArgument(const std::string& arg);
