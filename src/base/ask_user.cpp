#include "base/ask_user.h"

#include <cstring>

#include "base/globals.h"
#include "base/progress_window.h"
#include "base/run_log.h"

namespace {

// The message-box answers as the log names them.
const char* AnswerName(int answer) {
  switch (answer) {
    case IDOK: return "OK";
    case IDCANCEL: return "Cancel";
    case IDRETRY: return "Retry";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "other";
  }
}

}  // namespace

int AskUser(HWND owner, const char* text, const char* caption, UINT type, int silentAnswer) {
  // While the progress window is there, a question is owned by it: it comes
  // up above it and takes the keyboard.
  int answer = g_silent ? silentAnswer : MessageBoxA(ProgressOwner(owner), text, caption, type);
  // The first line of the text names the question well enough.
  const char* end = strchr(text, '\n');
  int firstLine = end ? static_cast<int>(end - text) : static_cast<int>(strlen(text));
  LogLine("question \"%s\": %.*s -> %s%s", caption, firstLine, text, AnswerName(answer),
          g_silent ? " (silent)" : "");
  return answer;
}

int QuietMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  if (g_quiet) {
    LogLine("message \"%s\" not shown (quiet run)", caption);
    return IDOK;
  }
  return AskUser(owner, text, caption, type, IDOK);
}

void NoteFailure(int exitCode) {
  LogLine("failure: kind %d", exitCode);
  if (g_exitCode == kExitSuccess) g_exitCode = exitCode;
}

void NoteRelayedExitCode(int exitCode) {
  if (exitCode == kExitRestartNeeded)
    g_restartScheduled = 1;
  else if (exitCode != kExitSuccess)
    NoteFailure(exitCode);
}

int FinishRun(int exitCode) {
  if (g_codedExit)
    exitCode = g_exitCode != kExitSuccess ? g_exitCode : g_restartScheduled ? kExitRestartNeeded : kExitSuccess;
  LogLine("exit code %d", exitCode);
  CloseRunLog();
  return exitCode;
}
