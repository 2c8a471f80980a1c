#include "base/process_util.h"

#include "base/handles.h"
#include "base/heap_text.h"
#include "base/progress_window.h"
#include "base/run_log.h"
#include "base/system_library.h"

namespace {

const char kKernelLibrary[] = "kernel32.dll";
const char kUserLibrary[] = "user32.dll";

typedef HWND(WINAPI* GetShellWindowFn)();
typedef BOOL(WINAPI* InitializeAttributesFn)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD, PSIZE_T);
typedef BOOL(WINAPI* UpdateAttributeFn)(LPPROC_THREAD_ATTRIBUTE_LIST, DWORD, DWORD_PTR, PVOID, SIZE_T, PVOID,
                                        PSIZE_T);
typedef void(WINAPI* DeleteAttributesFn)(LPPROC_THREAD_ATTRIBUTE_LIST);

// No application name (the program comes from the command line), no creation
// flags, the own environment. Handles are inherited, as the relocated
// uninstaller needs, unless the child gets another parent.
int StartChild(char* commandLine, const char* currentDir, ScopedProcessInfo* child) {
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  // Logged before the start: the command line buffer is the child's to change.
  LogLine("program started: %s", commandLine);
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, TRUE, 0, nullptr, currentDir, &si,
                     &child->pi))
    return 1;
  LogLine("program not started (error %lu)", GetLastError());
  return 0;
}

// The attribute list that makes `parent` the parent of a new process, which
// then takes its rights from it. Deleted with the list.
struct ParentAttribute {
  HeapText block;
  LPPROC_THREAD_ATTRIBUTE_LIST list = nullptr;
  DeleteAttributesFn remove = nullptr;
  ParentAttribute() = default;
  ParentAttribute(const ParentAttribute&) = delete;
  ParentAttribute& operator=(const ParentAttribute&) = delete;
  ~ParentAttribute() {
    if (list && remove) remove(list);
  }
  // 1 when the list names parent; 0 on a Windows without attribute lists.
  int Make(HANDLE* parent) {
    InitializeAttributesFn initialize =
        FunctionAs<InitializeAttributesFn>(SystemFunction(kKernelLibrary, "InitializeProcThreadAttributeList"));
    UpdateAttributeFn update =
        FunctionAs<UpdateAttributeFn>(SystemFunction(kKernelLibrary, "UpdateProcThreadAttribute"));
    remove = FunctionAs<DeleteAttributesFn>(SystemFunction(kKernelLibrary, "DeleteProcThreadAttributeList"));
    if (!initialize || !update || !remove) return 0;
    SIZE_T size = 0;
    initialize(nullptr, 1, 0, &size);
    block.reset(size);
    if (!block || !initialize(reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(block.get()), 1, 0, &size))
      return 0;
    list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(block.get());
    return update(list, 0, PROC_THREAD_ATTRIBUTE_PARENT_PROCESS, parent, sizeof(*parent), nullptr, nullptr) ? 1
                                                                                                         : 0;
  }
};

// Starts commandLine as a child of the desktop's shell. 1 when it started;
// 0 when there is no shell to start it from; -1 when the start failed.
int StartUnderDesktopShell(char* commandLine, const char* currentDir, ScopedProcessInfo* child) {
  GetShellWindowFn shellWindow = FunctionAs<GetShellWindowFn>(SystemFunction(kUserLibrary, "GetShellWindow"));
  HWND shell = shellWindow ? shellWindow() : nullptr;
  DWORD shellId = 0;
  if (!shell || !GetWindowThreadProcessId(shell, &shellId)) return 0;
  ScopedHandle shellProcess(OpenProcess(PROCESS_CREATE_PROCESS, FALSE, shellId));
  ParentAttribute attribute;
  if (!shellProcess.Valid() || !attribute.Make(&shellProcess.h)) return 0;
  STARTUPINFOEXA si = {};
  si.StartupInfo.cb = sizeof(si);
  si.lpAttributeList = attribute.list;
  LogLine("program started as the desktop's user: %s", commandLine);
  // No handle of this program may pass to a program of the user's.
  if (CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, EXTENDED_STARTUPINFO_PRESENT, nullptr,
                     currentDir, &si.StartupInfo, &child->pi))
    return 1;
  LogLine("program not started (error %lu)", GetLastError());
  return -1;
}

void WaitForExit(const ScopedProcessInfo& child, DWORD waitMs) {
  ScopedHandle waitable(OpenProcess(SYNCHRONIZE, FALSE, child.pi.dwProcessId));
  if (!waitable.Valid()) return;
  DWORD waited = MsgWaitForMultipleObjects(1, &waitable.h, FALSE, waitMs, 0);
  LogLine("program waited for until it ended%s", waited == WAIT_TIMEOUT ? " (time-out)" : "");
}

}  // namespace

int StartAndWaitForIdle(char* commandLine, DWORD waitMs) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, nullptr, &child)) return 0;
  // While the progress window is there it keeps answering during the wait,
  // which goes on in slices to the same end.
  DWORD waited;
  for (DWORD start = GetTickCount();;) {
    DWORD elapsed = GetTickCount() - start;
    DWORD left = waitMs == INFINITE ? INFINITE : elapsed < waitMs ? waitMs - elapsed : 0;
    DWORD slice = ProgressShown() && left > 50 ? 50 : left;
    waited = WaitForInputIdle(child.pi.hProcess, slice);
    if (waited != WAIT_TIMEOUT || slice == left) break;
    KeepProgressAnswering();
  }
  LogLine("program waited for until idle%s", waited == WAIT_TIMEOUT ? " (time-out)" : "");
  return 1;
}

int StartAndWaitForExitCode(char* commandLine, DWORD* exitCode) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, nullptr, &child)) return 0;
  WaitForSingleObject(child.pi.hProcess, INFINITE);
  if (!GetExitCodeProcess(child.pi.hProcess, exitCode)) return 0;
  LogLine("program ended with exit code %lu", *exitCode);
  return 1;
}

int StartAndWaitForExit(char* commandLine, const char* currentDir, DWORD waitMs) {
  ScopedProcessInfo child;
  if (!StartChild(commandLine, currentDir, &child)) return 0;
  WaitForExit(child, waitMs);
  return 1;
}

int StartAsDesktopUserAndWait(char* commandLine, const char* currentDir, DWORD waitMs) {
  ScopedProcessInfo child;
  int started = StartUnderDesktopShell(commandLine, currentDir, &child);
  if (started) {
    // A start that failed is not tried again with this program's rights.
    if (started > 0) WaitForExit(child, waitMs);
    return started > 0;
  }
  LogLine("no desktop shell to start the program from: started with this program's rights");
  return StartAndWaitForExit(commandLine, currentDir, waitMs);
}
