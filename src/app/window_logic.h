// Arithmetic of the hidden main window. No Win32 here: tested natively too.
#pragma once

// Origin of the window on one axis: extent of the work area minus the
// window's nominal size, halved and moved 20 pixels back when positive;
// zero or negative differences are used as they are.
int WindowOrigin(int workAreaExtent, int nominalSize);

// SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER
enum { kFrozenPosFlags = 0x020B };

// The position freeze: the first call (at creation) only arms it; every later
// call returns the frozen flags in place of the requested ones, so that the
// window can neither move, resize, change its Z order nor become visible.
unsigned FreezePosFlags(int* frozen, unsigned requestedFlags);
