// lfdrive: runs a program, answers its dialogs from the command line, and
// prints everything that happened. Lets a person see under Wine what a test
// would see, without writing a test.
//
//   lfdrive.exe [--timeout-ms N] [--cwd DIR] [--env NAME=VALUE]... [--shots PREFIX] [--answer BUTTON]... -- <program>
//   [args...]
//
// --shots PREFIX saves each window, as drawn on the screen, before it is
// answered: PREFIXNN.bmp (24-bit), NN the number of the answer; and the
// first progress window seen with its bar part way (between a fifth and
// four fifths) as PREFIXprogress.bmp. The windows a progress bar shows in
// are not answered: the transcript gives the bar's positions.
//
// Exit code 0 when the program ended and every answer was used, 1 otherwise.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "window_driver.h"

namespace {

// The window's rectangle as the screen shows it, as a bottom-up 24-bit BMP.
bool SaveWindowImage(HWND hwnd, const std::string& path, DWORD settleMs = 700) {
  Sleep(settleMs);  // the program has painted, and the caret's first blink is over
  RECT r;
  GetWindowRect(hwnd, &r);
  int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFOHEADER info{sizeof info, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<char> bits(static_cast<size_t>((w * 3 + 3) & ~3) * h);
  bool ok = GetDIBits(mem, bmp, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == h;
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof info + bits.size()), 0, 0,
                        sizeof file + sizeof info};
  FILE* out = ok ? fopen(path.c_str(), "wb") : nullptr;
  ok = out && fwrite(&file, sizeof file, 1, out) && fwrite(&info, sizeof info, 1, out) &&
       fwrite(bits.data(), bits.size(), 1, out);
  return out && fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  DWORD timeoutMs = 30000;
  std::string cwd, commandLine, shots;
  std::vector<std::string> answers;
  int i = 1;
  for (; i + 1 < argc && std::string(argv[i]) != "--"; i += 2) {
    std::string option = argv[i], value = argv[i + 1];
    size_t eq = value.find('=');
    if (option == "--timeout-ms")
      timeoutMs = strtoul(value.c_str(), nullptr, 10);
    else if (option == "--cwd")
      cwd = value;
    else if (option == "--env" && eq != std::string::npos)
      SetEnvironmentVariableA(value.substr(0, eq).c_str(), value.substr(eq + 1).c_str());
    else if (option == "--answer")
      answers.push_back(value);
    else if (option == "--shots")
      shots = value;
    else
      break;
  }
  if (i + 1 >= argc || std::string(argv[i]) != "--") {
    fprintf(stderr,
            "usage: lfdrive.exe [--timeout-ms N] [--cwd DIR] [--env NAME=VALUE]... [--shots PREFIX] [--answer "
            "BUTTON]... -- <program> [args...]\n");
    return 1;
  }
  // An argument with a blank is quoted; the programs driven here take no quotes of their own.
  for (++i; i < argc; ++i)
    commandLine +=
        (commandLine.empty() ? "" : " ") + (strchr(argv[i], ' ') ? "\"" + std::string(argv[i]) + "\"" : argv[i]);
  Run run;
  bool progressSaved = false;
  if (!shots.empty())
    run.onProgress = [&](HWND hwnd, const ProgressSample& s) {
      if (progressSaved || s.range <= 0 || s.position * 5 < s.range || s.position * 5 > 4 * s.range) return;
      // At once: the bar moves on.
      progressSaved = SaveWindowImage(hwnd, shots + "progress.bmp", 30);
      Note(run, progressSaved ? "lfdrive: progress window saved" : "lfdrive: cannot save the progress window");
    };
  bool ok = Start(run, commandLine, cwd, false);
  size_t used = 0;
  Window w;
  while (ok && NextWindow(run, &w, timeoutMs)) {
    char name[16];
    snprintf(name, sizeof name, "%02u.bmp", static_cast<unsigned>(used + 1));
    if (used == answers.size())
      Note(run, "lfdrive: error: no --answer left for \"" + w.caption + "\"");
    else if (!shots.empty() && !SaveWindowImage(w.hwnd, shots + name))
      Note(run, "lfdrive: cannot save " + shots + name);
    ok = used < answers.size() && Press(run, w, answers[used++]);
  }
  // The loop stops without a window only on time-out or once everything ended.
  ok = ok && run.ended && used == answers.size();
  if (used < answers.size())
    Note(run, "lfdrive: error: " + std::to_string(answers.size() - used) + " --answer value(s) not used");
  End(run);
  fputs(run.transcript.c_str(), stdout);
  return ok ? 0 : 1;
}
