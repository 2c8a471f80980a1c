// lfdrive: runs a program, answers its dialogs from the command line, and
// prints everything that happened. Lets a person see under Wine what a test
// would see, without writing a test.
//
//   lfdrive.exe [--timeout-ms N] [--cwd DIR] [--env NAME=VALUE]... [--shots PREFIX] [--answer BUTTON]... -- <program> [args...]
//
// --shots PREFIX saves each window, as drawn on the screen, before it is
// answered: PREFIXNN.bmp (24-bit), NN the number of the answer.
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
          "usage: lfdrive.exe [--timeout-ms N] [--cwd DIR] [--env NAME=VALUE]... [--shots PREFIX] [--answer BUTTON]... "
          "-- <program> [args...]\n");
  return 1;
}

// Prints what the driver added to the transcript since the last call.
void Flush(const DriverRun& run, size_t* printed) {
  fputs(run.transcript.c_str() + *printed, stdout);
  fflush(stdout);
  *printed = run.transcript.size();
}

// The window's rectangle as the screen shows it, as a bottom-up 24-bit BMP.
bool SaveWindowImage(HWND hwnd, const std::string& path) {
  DWORD_PTR ignored;
  SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  Sleep(700);  // the program has painted, and the caret's first blink is over
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top, stride = (w * 3 + 3) & ~3;
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<char> bits(static_cast<size_t>(stride) * h);
  bool ok = GetDIBits(mem, bmp, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == h;
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof info + bits.size()), 0, 0,
                        sizeof file + sizeof info};
  FILE* out = ok ? fopen(path.c_str(), "wb") : nullptr;
  if (!out) return false;
  ok = fwrite(&file, sizeof file, 1, out) && fwrite(&info, sizeof info, 1, out) && fwrite(bits.data(), bits.size(), 1, out);
  return fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD timeoutMs = 30000;
  std::string cwd, commandLine, shots;
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
    else if (a == "--shots" && hasValue) shots = argv[++i];
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
    char name[16];
    snprintf(name, sizeof name, "%02u.bmp", static_cast<unsigned>(used + 1));
    if (!shots.empty() && !SaveWindowImage(w.hwnd, shots + name)) printf("lfdrive: cannot save %s%s\n", shots.c_str(), name);
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
