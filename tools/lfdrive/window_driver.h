// Runs a program, with everything it starts, in a job of its own and answers
// its dialogs the way a user would, so that the scenario rows and lfdrive can
// drive the real setup under Wine. Everything synchronises by polling: the
// program under test is another process and gives nothing to wait on but its
// windows and its exit.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// A dialog as a user sees it. A wizard is one window: each page it turns to
// counts as a window of its own.
struct Window {
  HWND hwnd = nullptr, page = nullptr;  // page: a wizard's current page
  DWORD pid = 0;
  std::string caption;
  std::string text;                 // the visible statics, group boxes and edit boxes, joined by "\n"
  std::vector<HWND> buttons;        // the visible buttons, in child order
  std::vector<std::string> labels;  // their captions, '&' removed
};

struct Process {
  DWORD pid = 0;
  HANDLE handle = nullptr;  // null when it was gone before it could be opened
  std::string name;         // the file name, known once it has ended
  DWORD exitCode = STILL_ACTIVE;
  bool ended = false;
};

// A progress bar of the run as it was read from outside: its position and
// range, and the text beside it.
struct ProgressSample {
  int position = 0, range = 0;
  std::string text;
};

struct TextWatch;

// One started program and every process it started.
struct Run {
  HANDLE job = nullptr, port = nullptr;
  HANDLE thread = nullptr;         // the started program's first thread, while it waits to be resumed
  std::vector<Process> procs;      // the started program first
  bool ended = false;              // every process of the job has ended
  std::set<HWND> known;            // dialogs already reported
  std::map<HWND, HWND> shownPage;  // wizard -> page last reported
  std::string transcript;          // every window seen and every press, in order
  // Every change of a window's progress bar seen while the driver waited,
  // and how its window answered: the slowest answer to WM_NULL (ms) and the
  // number that took over a second (Windows' "Not Responding").
  std::vector<ProgressSample> progress;
  // A progress window's texts are also read every few milliseconds by a
  // thread of their own (textWatch); each text seen between two samples
  // becomes a sample of its own, at the position last read.
  std::unique_ptr<TextWatch> textWatch;
  DWORD slowestAnswerMs = 0;
  int unanswered = 0;
  // Told of each new progress sample with the bar's window (lfdrive saves a
  // picture of it part way).
  std::function<void(HWND, const ProgressSample&)> onProgress;
  ULONGLONG startTick = 0;
  Run();
  Run(const Run&) = delete;
  Run& operator=(const Run&) = delete;
  ~Run();  // a failed check returns early: nothing started may outlive it
};

// Refuses anything but a 64-bit program unless LF_WOW64=1: wine64 "runs" a
// 32-bit one silently and reports exit code 0. With suspended set the
// program waits, its process made, until Resume.
bool Start(Run& run, const std::string& commandLine, const std::string& workDir, bool inheritHandles,
           bool suspended = false);
void Resume(Run& run);
// The next new visible top-level "#32770" window of the run's processes.
// False on time-out or once every process has ended; the transcript says which.
bool NextWindow(Run& run, Window* w, DWORD timeoutMs);
// True once every process has ended; false on time-out or at a new window.
bool WaitForEnd(Run& run, DWORD timeoutMs);
// For a program ended from outside: true once it has ended, whether or not
// what it started ends within leftoverMs after it (under Wine a program
// whose starter is ended during the start can wait for ever; on Windows it
// would run on by itself). What is left goes with the job at End.
bool WaitForEndOfEnded(Run& run, DWORD timeoutMs, DWORD leftoverMs);
// Clicks the button of that caption (any case; "close box": the title bar's)
// and waits up to 5 s for the window to go or for a wizard to turn its page.
bool Press(Run& run, const Window& w, const std::string& button);
void Describe(Window* w);                                           // reads w->hwnd's texts and buttons again
std::string EnabledButtons(const Window& w);                        // "A, B"
bool TypeText(Run& run, const Window& w, const std::string& text);  // into the first edit box
// Selects a folder in a "Browse for Folder" dialog.
bool SelectFolder(Run& run, const Window& w, const std::string& path);
void Note(Run& run, const std::string& line);
void End(Run& run);  // ends whatever still runs; safe to repeat
std::string Lower(std::string s);  // ASCII letters folded, other bytes as they are
