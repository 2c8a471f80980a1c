#include "app/process_util.h"

#include "app/handles.h"

int StartAndWaitForExit(char* commandLine, const char* currentDir, DWORD waitMs) {
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  ScopedProcessInfo child;
  if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr,
                      currentDir, &si, &child.pi))
    return 0;
  ScopedHandle waitable(OpenProcess(SYNCHRONIZE, FALSE, child.pi.dwProcessId));
  if (waitable.Valid())
    MsgWaitForMultipleObjects(1, &waitable.h, FALSE, waitMs, 0);
  return 1;
}
