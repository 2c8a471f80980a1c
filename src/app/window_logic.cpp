#include "app/window_logic.h"

int WindowOrigin(int workAreaExtent, int nominalSize) {
  int origin = workAreaExtent - nominalSize;
  if (origin > 0) origin = origin / 2 - 20;
  return origin;
}

unsigned FreezePosFlags(int* frozen, unsigned requestedFlags) {
  if (!*frozen) {
    *frozen = 1;
    return requestedFlags;
  }
  return kFrozenPosFlags;
}
