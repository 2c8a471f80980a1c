#include "base/newer_file.h"

namespace {

int IsPairGreater(uint32_t aHigh, uint32_t aLow, uint32_t bHigh, uint32_t bLow) {
  return aHigh > bHigh || (aHigh == bHigh && aLow > bLow);
}

}  // namespace

int IsVersionNewer(uint32_t installedMost, uint32_t installedLeast, uint32_t newMost, uint32_t newLeast) {
  return IsPairGreater(installedMost, installedLeast, newMost, newLeast);
}

int IsWriteTimeNewer(uint32_t installedHigh, uint32_t installedLow, uint32_t newHigh, uint32_t newLow) {
  return IsPairGreater(installedHigh, installedLow, newHigh, newLow);
}
