#include "lfpack/single_file.h"

#include <sys/stat.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/names.h"
#include "base/payload_format.h"
#include "lfpack/lfpack_logic.h"
#include "lfpack/package_files.h"

namespace fs = std::filesystem;

namespace {

// NSIS's own level for zlib: the smallest download for the time it takes.
const int kCompressionLevel = 9;
// Seconds from 1601 (Windows file times) to 1970 (Unix times).
const uint64_t kEpochSeconds = 11644473600ull;

// The package's files, relative to it, in a fixed order.
std::vector<std::string> PackageFiles(const fs::path& package) {
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(package))
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), package).generic_string());
  std::sort(files.begin(), files.end());
  return files;
}

// A relative path as the index names it: with Windows' backslashes.
std::string IndexName(std::string relative) {
  std::replace(relative.begin(), relative.end(), '/', '\\');
  return relative;
}

// The file's bytes as the payload keeps them: zlib's when they are smaller.
bool Keep(const std::string& bytes, CarriedFile* file, std::string* kept) {
  uLongf size = compressBound(bytes.size());
  kept->resize(size);
  if (compress2(reinterpret_cast<Bytef*>(&(*kept)[0]), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                bytes.size(), kCompressionLevel) != Z_OK)
    return false;
  kept->resize(size);
  file->method = kCarriedZlib;
  if (size >= bytes.size()) {
    *kept = bytes;
    file->method = kCarriedStored;
  }
  return true;
}

// The package's setup program as the carrier image rebuilds it: the bytes
// that tell the two apart (see kCarriedRebuilt).
std::string RebuiltBytes(const std::string& original, uint64_t imageSize) {
  const unsigned char* headers = reinterpret_cast<const unsigned char*>(original.data());
  size_t headerSize = original.size() < 1024 ? original.size() : 1024;
  RebuiltProgram program;
  program.crc = static_cast<uint32_t>(crc32_z(0, headers, original.size()));
  program.imageSize = imageSize;
  size_t checksum = ChecksumFieldAt(headers, headerSize), security = SecurityDirectoryAt(headers, headerSize);
  program.checksumField = static_cast<uint32_t>(headers[checksum] | headers[checksum + 1] << 8 |
                                                headers[checksum + 2] << 16 |
                                                static_cast<uint32_t>(headers[checksum + 3]) << 24);
  memcpy(program.securityEntry, headers + security, 8);
  std::string kept(kRebuiltHeaderSize, '\0');
  WriteRebuiltHeader(program, reinterpret_cast<unsigned char*>(&kept[0]));
  return kept + original.substr(imageSize);
}

}  // namespace

std::string BuildSingleFile(const fs::path& package, const fs::path& out, SingleFile* made) {
  std::string program, original;
  if (!ReadWholeFile(PackagePath(package, kSetupProgramName), &program))
    return std::string("the package has no ") + kSetupProgramName + " to carry it";
  original = program;
  if (!ChecksumFieldAt(reinterpret_cast<const unsigned char*>(program.data()), program.size() < 1024 ? program.size() : 1024))
    return std::string(kSetupProgramName) + " is not a Windows program";
  // A signed setup program ends in its certificate: the one that carries
  // the package is the program without it (and without the entry naming it),
  // so that the single file can be signed whole. The package keeps the
  // signed one, which becomes the uninstaller.
  const unsigned char* headers = reinterpret_cast<const unsigned char*>(program.data());
  size_t headerSize = program.size() < 1024 ? program.size() : 1024;
  uint64_t signedEnd = SignedImageEnd(headers, headerSize, program.size());
  size_t directory = SecurityDirectoryAt(headers, headerSize);
  if (signedEnd < program.size()) {
    program.resize(signedEnd);
    program.replace(directory, 8, 8, '\0');
  }
  uint64_t imageSize = program.size();

  // program, files, index and trailer; the payload starts at a multiple of
  // 8, and so does the trailer, so that a signer appends its certificate
  // right after it.
  std::string single = program;
  single.resize((single.size() + 7) / 8 * 8, '\0');
  uint64_t payloadOffset = single.size();
  std::vector<std::string> relatives = PackageFiles(package), names;
  std::vector<CarriedFile> files(relatives.size());
  for (const std::string& relative : relatives) names.push_back(IndexName(relative));
  for (size_t i = 0; i < names.size(); ++i) {
    fs::path full = package / relatives[i];
    std::string bytes, kept;
    struct stat facts;
    if (!ReadWholeFile(full, &bytes) || stat(full.c_str(), &facts) != 0) return "cannot read " + full.string();
    CarriedFile& file = files[i];
    file.name = names[i].c_str();
    file.size = bytes.size();
    file.writeTime = (static_cast<uint64_t>(facts.st_mtim.tv_sec) + kEpochSeconds) * 10000000ull +
                     static_cast<uint64_t>(facts.st_mtim.tv_nsec) / 100;
    file.versionMs = file.versionLs = 0;
    file.hasVersion = HasVersionResource(bytes, &file.versionMs, &file.versionLs);
    if (names[i] == kSetupProgramName && bytes == original) {
      // The uninstaller: the carrier image is the same program.
      kept = RebuiltBytes(original, imageSize);
      file.method = kCarriedRebuilt;
    } else if (!Keep(bytes, &file, &kept)) {
      return "cannot compress " + full.string();
    }
    file.offset = single.size() - payloadOffset;
    file.keptSize = kept.size();
    single += kept;
    made->packageBytes += bytes.size();
    ++made->files;
  }
  std::string index(4, '\0');
  WriteIndexCount(static_cast<uint32_t>(files.size()), reinterpret_cast<unsigned char*>(&index[0]));
  for (const CarriedFile& file : files) {
    std::string entry(strlen(file.name) + 64, '\0');
    entry.resize(WriteIndexEntry(file, reinterpret_cast<unsigned char*>(&entry[0])));
    index += entry;
  }
  // The index is kept compressed: its names and zeros shrink to a third.
  CarriedFile indexFile = {};
  std::string keptIndex;
  if (!Keep(index, &indexFile, &keptIndex)) return "cannot compress the index";
  single += keptIndex;
  PayloadTrailer trailer = {payloadOffset, single.size() - payloadOffset, static_cast<uint32_t>(keptIndex.size()), 0,
                            static_cast<uint32_t>(index.size())};
  trailer.checksum = static_cast<uint32_t>(
      crc32_z(0, reinterpret_cast<const Bytef*>(single.data()) + payloadOffset, trailer.payloadSize));
  single.resize((single.size() + 7) / 8 * 8, '\0');
  unsigned char tail[kTrailerSize];
  WriteTrailer(trailer, tail);
  single.append(reinterpret_cast<const char*>(tail), sizeof(tail));
  if (!WriteWholeFile(out, single)) return "cannot write " + out.string();
  made->bytes = single.size();
  return "";
}
