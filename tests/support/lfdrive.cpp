// lfdrive: runs a program, answers its dialogs from the command line, and
// prints everything that happened. Lets a person see under Wine what a test
// would see, without writing a test.
//
//   lfdrive.exe [--timeout-ms N] [--cwd DIR] [--env NAME=VALUE]... [--answer BUTTON]... -- <program> [args...]
//
// Exit code 0 when the program ended and every answer was used, 1 otherwise.

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "window_driver.h"

namespace {

int Usage() {
  fprintf(stderr,
          "usage: lfdrive.exe [--timeout-ms N] [--cwd DIR] [--env NAME=VALUE]... [--answer BUTTON]... "
          "-- <program> [args...]\n");
  return 1;
}

// Prints what the driver added to the transcript since the last call.
void Flush(const DriverRun& run, size_t* printed) {
  fputs(run.transcript.c_str() + *printed, stdout);
  fflush(stdout);
  *printed = run.transcript.size();
}

}  // namespace

int main(int argc, char** argv) {
  DWORD timeoutMs = 30000;
  std::string cwd, commandLine;
  std::vector<std::string> env, answers;
  int i = 1;
  for (; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--") break;
    if (a == "--timeout-ms" && hasValue) timeoutMs = strtoul(argv[++i], nullptr, 10);
    else if (a == "--cwd" && hasValue) cwd = argv[++i];
    else if (a == "--env" && hasValue) env.push_back(argv[++i]);
    else if (a == "--answer" && hasValue) answers.push_back(argv[++i]);
    else return Usage();
  }
  if (i + 1 >= argc) return Usage();
  for (++i; i < argc; ++i) commandLine += (commandLine.empty() ? "" : " ") + QuoteArgument(argv[i]);

  DriverRun run;
  size_t printed = 0;
  if (!StartProgram(run, commandLine, cwd, env)) {
    Flush(run, &printed);
    return 1;
  }
  size_t used = 0;
  SeenWindow w;
  bool ok = true;
  while (WaitForWindow(run, &w, timeoutMs)) {
    Flush(run, &printed);
    if (used == answers.size()) {
      printf("lfdrive: error: no --answer left for \"%s\"\n", w.caption.c_str());
      ok = false;
      break;
    }
    if (!PressButton(run, w, answers[used++])) {
      ok = false;
      break;
    }
  }
  // The loop stops without a window only on time-out or once everything ended.
  if (ok) ok = AllEnded(run);
  Flush(run, &printed);
  if (ok && used < answers.size()) {
    printf("lfdrive: error: %u --answer value(s) not used\n", static_cast<unsigned>(answers.size() - used));
    ok = false;
  }
  EndRun(run);
  Flush(run, &printed);
  return ok ? 0 : 1;
}
