// The single-file download: the setup program, then every file of the
// package, each compressed on its own (zlib) or stored as it is, then an
// index of them, then a trailer that locates the files and the index and
// names a checksum of both. lfpack writes it; the setup program reads it and
// installs each file straight from it. An Authenticode signature, when the
// file is signed, follows the trailer: the trailer ends where the signed
// image ends. No Win32 here: built and tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/name_table.h"

enum { kTrailerSize = 40 };

struct PayloadTrailer {
  uint64_t payloadOffset;  // the first carried file, from the start of the file
  uint64_t payloadSize;    // the files and, at its end, the index
  uint32_t indexSize;      // as kept: compressed with zlib when indexUnpacked differs
  uint32_t checksum;       // CRC-32 of the whole payload
  uint32_t indexUnpacked;  // the index's own size
};

// The trailer's bytes: "LFPK", format 2, the five fields in little-endian
// order, "KPFL".
void WriteTrailer(const PayloadTrailer& trailer, unsigned char out[kTrailerSize]);

// The trailer ending at `end` (the end of the signed image, see
// SignedImageEnd); `tail` holds the file's bytes [end - tailSize, end).
// Zero bytes that a signer adds to align its certificate may follow the
// trailer: up to 7 are skipped. 1 with *out filled when a trailer is there,
// its payload lies within [0, end - trailer) and its index within the
// payload; 0 for a file without a payload; -1 for a trailer whose payload
// does not fit the file (cut short).
int ReadTrailer(const unsigned char* tail, size_t tailSize, uint64_t end, PayloadTrailer* out);

// How a carried file's bytes are kept. The setup program the package holds
// (signed, it becomes the uninstaller) is the download's own image but for
// its checksum field, its security directory and the signature after it:
// it is kept as just those, and rebuilt from the image.
enum CarriedMethod { kCarriedStored = 0, kCarriedZlib = 1, kCarriedRebuilt = 2 };

// What a rebuilt program keeps before its tail (the bytes after its image,
// its signature): the CRC-32 of the whole program, the image's size, and the
// image's own checksum field and security directory entry, which the
// download's signing changed in the download.
struct RebuiltProgram {
  uint32_t crc;
  uint64_t imageSize;
  uint32_t checksumField;
  unsigned char securityEntry[8];
};
enum { kRebuiltHeaderSize = 24 };
void WriteRebuiltHeader(const RebuiltProgram& program, unsigned char out[kRebuiltHeaderSize]);
void ReadRebuiltHeader(const unsigned char in[kRebuiltHeaderSize], RebuiltProgram* program);

// Where a Windows program's checksum field (4 bytes) lies in `headers`; 0
// when they are not a program's.
size_t ChecksumFieldAt(const unsigned char* headers, size_t headerSize);

// One file of the package, as the index describes it.
struct CarriedFile {
  const char* name;     // relative to the package folder, backslashes, zero-terminated
  uint64_t offset;      // of its kept bytes, from the payload's start
  uint64_t keptSize;    // the bytes in the payload
  uint64_t size;        // the file's own size
  uint64_t writeTime;   // last write, as a Windows file time (UTC)
  uint32_t versionMs;   // fixed file version, when hasVersion
  uint32_t versionLs;
  uint8_t method;       // CarriedMethod
  uint8_t hasVersion;   // the file carries version information
};

// One index entry's bytes appended to out (capacity: name length + 45):
// the name's length with its zero, the name and its zero, method, flags,
// offset, kept size, size, write time, version most and least significant.
// Returns the bytes written.
size_t WriteIndexEntry(const CarriedFile& file, unsigned char* out);

// The index: a count, then the entries. Reads up to `capacity` entries into
// files (names point into index, which must stay), and their number into
// *count. 0 when the index is not well-formed: an entry cut short, a name
// without its zero, an unknown method, a stored file whose sizes differ, or
// kept bytes that do not lie within the payload's first dataSize bytes.
int ReadIndex(const unsigned char* index, size_t indexSize, uint64_t dataSize, CarriedFile* files,
              size_t capacity, size_t* count);

// The count's bytes at the index's start.
void WriteIndexCount(uint32_t count, unsigned char out[4]);

// The index's names in a table (base/name_table.h), for finding each file
// in constant time: the install looks up every list line. 0 when the heap is
// exhausted.
int IndexCarriedFiles(const CarriedFile* files, size_t count, NameTable* table);

// The entry of a package path (relative, with backslashes or slashes), found
// without regard to ASCII letter case, as Windows finds a file; null when
// the package has none.
const CarriedFile* FindCarriedFile(const CarriedFile* files, const NameTable& table, const char* relative);

// Where a Windows program's image ends in its file: after the last section's
// data. Bytes between there and the signed end are what it carries. 0 when
// the headers are not a program's.
uint64_t ImageEnd(const unsigned char* headers, size_t headerSize);

// Where the entry of a Windows program's security directory (the file offset
// and size of its certificate table, 4 bytes each) lies in `headers`; 0 when
// they are not a program's.
size_t SecurityDirectoryAt(const unsigned char* headers, size_t headerSize);

// Where the signed image of a Windows program ends: at its certificate table
// when the header's security directory names one that runs to the end of
// the file, else at the end of the file. `headers` holds the file's first
// bytes (the DOS and PE headers; 1 KB is enough for the programs here).
uint64_t SignedImageEnd(const unsigned char* headers, size_t headerSize, uint64_t fileSize);

// 1 when a drive with freeBytes free cannot take neededBytes and keep
// reserveBytes for the file system's own records. Never overflows, whatever
// size a trailer names.
int RoomIsShort(uint64_t freeBytes, uint64_t neededBytes, uint64_t reserveBytes);
