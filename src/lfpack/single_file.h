// lfpack build: the single-file download of a package folder. The setup
// program of the package (its LFSetup.exe), then every file of the package
// as one cabinet with MSZIP compression (written with libgcab), then the
// trailer that locates it (base/payload_format.h). Built natively only:
// libgcab is a Linux library.
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
