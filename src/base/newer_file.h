// The comparisons of the newer-file check: fixed file versions and
// last-write times, both pairs of unsigned 32-bit numbers compared most
// significant half first. No Win32 here: tested natively too.
#pragma once
#include <cstdint>

// 1 when the installed pair is greater; equal pairs are not newer.
int IsVersionNewer(uint32_t installedMost, uint32_t installedLeast, uint32_t newMost, uint32_t newLeast);
int IsWriteTimeNewer(uint32_t installedHigh, uint32_t installedLow, uint32_t newHigh, uint32_t newLow);
