// lfpack build: the single-file download of a package folder. The setup
// program of the package (its LFSetup.exe), then every file of the package,
// each compressed with zlib (or stored as it is when that would not make it
// smaller), then their index with each file's size, last-write time and
// version, then the trailer that locates them (base/payload_format.h).
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

struct SingleFile {
  uint64_t packageBytes = 0;  // the package's files, all together
  uint64_t files = 0;
  uint64_t bytes = 0;         // the single file
};

// Writes out from the package folder. An empty result on success, else what
// went wrong.
std::string BuildSingleFile(const std::filesystem::path& package, const std::filesystem::path& out,
                            SingleFile* made);
