// Ends a running program abruptly, as a deployment tool's time limit or the
// Task Manager does: TerminateProcess with exit code 1, once the program's
// "/LOG=" file holds the n-th line beginning with a given text ("*": any
// line). It watches the log from its first byte, so that the moment is the
// same whenever it started. With WRITING it waits, after that line, until
// that file is there: the program is then ended while it writes it.
//
//   ender_standin.exe PID LOG COUNT PREFIX READY-EVENT [WRITING]
//
// READY-EVENT is set once the process is open and the watch begins. Exit
// code 0: the program was ended at that line; 2: it ended by itself before;
// 3: bad arguments or the process could not be opened.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
  if (argc != 6 && argc != 7) return 3;
  const char* writing = argc == 7 ? argv[6] : nullptr;
  DWORD pid = strtoul(argv[1], nullptr, 10);
  const char* log = argv[2];
  long wanted = strtol(argv[3], nullptr, 10);
  std::string prefix = strcmp(argv[4], "*") == 0 ? "" : argv[4];
  HANDLE target = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
  HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[5]);
  if (!target || !ready || wanted < 1) return 3;
  SetEvent(ready);
  CloseHandle(ready);

  HANDLE file = INVALID_HANDLE_VALUE;
  std::string line;
  long seen = 0;
  for (;;) {
    if (file == INVALID_HANDLE_VALUE)
      file = CreateFileA(log, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
    char bytes[4096];
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE && ReadFile(file, bytes, sizeof bytes, &got, nullptr) && got) {
      for (DWORD i = 0; i < got; ++i) {
        if (bytes[i] != '\n') {
          line += bytes[i];
          continue;
        }
        if (line.compare(0, prefix.size(), prefix) == 0 && ++seen == wanted) {
          while (writing && GetFileAttributesA(writing) == INVALID_FILE_ATTRIBUTES)
            if (WaitForSingleObject(target, 0) == WAIT_OBJECT_0) return 2;
          TerminateProcess(target, 1);
          WaitForSingleObject(target, 10000);
          return 0;
        }
        line.clear();
      }
      continue;
    }
    // Nothing new: the program may have ended by itself.
    if (WaitForSingleObject(target, 1) == WAIT_OBJECT_0) return 2;
  }
}
