// The window that shows the work while the install writes its files (and
// then its registry entries and program starts) or the uninstall removes
// them: a line saying what runs, the file at hand, and a bar that counts
// bytes (the install) or items (the uninstall), mirrored on the taskbar
// button where Windows has one (7 and later). It has no Cancel: a run ended
// on the way is finished by the next one, and its close box does nothing.
// While it is there the work keeps it answering: the chunked copies and
// waits call in here, and every so often (about 30 times a second) the bar
// is moved and the window's messages are handled, so that Windows never
// marks it "Not Responding". A silent setup or a quiet uninstall shows
// none, and then every call does nothing.
#pragma once
#include <windows.h>

enum ProgressKind { kProgressInstall, kProgressRemove };

// The bar's range: the work fills it up to kProgressWorkEnd, the last steps
// (registry entries, program starts) the rest.
enum { kProgressRange = 1000, kProgressWorkEnd = 950 };

// Shows the window, the work to come counted as total (bytes or items).
void BeginProgress(ProgressKind kind, ULONGLONG total);

// More work than counted at the start (the uninstall's content, once asked).
void AddProgressTotal(ULONGLONG more);

// The file at hand: its full path on the second line.
void ProgressItem(const char* path);

// Work done: bytes written, or items removed.
void ProgressAdvance(ULONGLONG amount);

// The bar at least at this position of kProgressRange (the last steps).
void ProgressReach(int position);

// Handles the window's messages when due: for a wait or a step that takes
// long without advancing.
void KeepProgressAnswering();

// The window the run's questions are to be owned by, so that they come up
// above it and take the keyboard: it while it is there, else fallback.
HWND ProgressOwner(HWND fallback);

// 1 while the window is there.
int ProgressShown();

// Removes the window.
void EndProgress();
