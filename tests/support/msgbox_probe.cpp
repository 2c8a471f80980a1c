// A tiny program with known dialogs for the window driver's own tests.
//   msgbox_probe.exe              asks Yes/No, then OK/Cancel; exit code = first * 16 + second
//   msgbox_probe.exe --via-child  starts a copy of itself to ask instead and ends at once,
//                                 as an uninstaller handing over to its copy in %TEMP% does
//   msgbox_probe.exe --repeat N   shows the same reminder N times; exit code = number of OKs
// With PROBE_RESULT set, the asking process also writes "<first> <second>" there, since
// a child's exit code is out of the driver's sight.

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Ask() {
  int first = MessageBoxA(nullptr, "Install the probe files?\nThey take 1 KB.", "Probe Question",
                          MB_YESNO | MB_ICONQUESTION);
  int second = MessageBoxA(nullptr, "All probe files are in place.", "Probe Done", MB_OKCANCEL);
  if (first == 0 || second == 0) return 255;
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("PROBE_RESULT", path, sizeof path);
  if (n > 0 && n < sizeof path) {
    std::string line = std::to_string(first) + " " + std::to_string(second);
    HANDLE f = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return 254;
    DWORD written = 0;
    BOOL ok = WriteFile(f, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    if (!CloseHandle(f) || !ok || written != line.size()) return 254;
  }
  return first * 16 + second;
}

int StartChild() {
  char self[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
  if (n == 0 || n >= sizeof self) return 253;
  std::string cmd = std::string("\"") + self + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessA(self, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return 252;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}

int Repeat(int times) {
  int oks = 0;
  for (int i = 0; i < times; ++i)
    if (MessageBoxA(nullptr, "Close the probe browser.", "Probe Reminder", MB_OK) == IDOK) ++oks;
  return oks;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc >= 2 && strcmp(__argv[1], "--via-child") == 0) return StartChild();
  if (__argc >= 3 && strcmp(__argv[1], "--repeat") == 0) return Repeat(atoi(__argv[2]));
  return Ask();
}
