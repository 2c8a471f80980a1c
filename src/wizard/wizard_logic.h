// Arithmetic of the destination page's disk-space check. No Win32 here:
// tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

// The destination the wizard offers when no installed product fixes it.
extern const char kDefaultInstallDir[];  // "C:\Program Files\LUMENFIELD"

// The root of a destination for the free-space query: up to and including
// the first ":\"; else the whole path unless it starts with "\\"; else the
// UNC server and share with the backslash the query needs ("\\srv\apps\").
// A UNC path without a backslash after the leading two gives "". A root
// that does not fit `size` gives "".
void GetPathRoot(const char* path, char* root, size_t size);

// The setup script's three reserved sizes added as unsigned 32-bit bytes
// (wrapping, as the values are read).
uint32_t ReservedDiskSpaceSum(uint32_t productBytes, uint32_t contentBytes, uint32_t libraryBytes);

// The extended free-space query is used on NT (platform bit 2) and on a
// Windows 95 family system whose whole build-number field is above 1000.
int UsesExtendedSpaceQuery(unsigned platformId, unsigned buildNumber);

// The extended query's result: too small only when less than 4 GB is free
// to the caller and the low 32 bits are not above the requirement.
int ExtendedSpaceTooSmall(uint64_t freeToCaller, uint32_t required);

// The plain query's free bytes, multiplied in unsigned 32 bits: the product
// wraps at 4 GB, as that query's callers always had it.
uint32_t PlainFreeBytes(uint32_t sectorsPerCluster, uint32_t bytesPerSector, uint32_t freeClusters);
