// The single-file download: the setup program, then the whole package as a
// cabinet, then a trailer that locates the cabinet and names its size, the
// size of its files unpacked, and a checksum. lfpack writes it; the setup
// program reads it. An Authenticode signature, when the file is signed,
// follows the trailer: the trailer ends where the signed image ends. No Win32
// here: built and tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

enum { kTrailerSize = 40 };

struct PayloadTrailer {
  uint64_t cabinetOffset;  // from the start of the file
  uint64_t cabinetSize;
  uint64_t unpackedSize;   // the package's files, all together
  uint32_t checksum;       // CRC-32 of the cabinet's bytes
};

// The trailer's bytes: "LFPK", format 1, the four fields in little-endian
// order, "KPFL".
void WriteTrailer(const PayloadTrailer& trailer, unsigned char out[kTrailerSize]);

// The trailer ending at `end` (the end of the signed image, see
// SignedImageEnd); `tail` holds the file's bytes [end - tailSize, end).
// Zero bytes that a signer adds to align its certificate may follow the
// trailer: up to 7 are skipped. 1 with *out filled when a trailer is there and
// its cabinet lies within [0, end - trailer); 0 for a file without a payload;
// -1 for a trailer whose cabinet does not fit the file (cut short).
int ReadTrailer(const unsigned char* tail, size_t tailSize, uint64_t end, PayloadTrailer* out);

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

// CRC-32 (IEEE 802.3, as zip and cabinets use it) of size bytes, continuing
// from crc (0 to start).
uint32_t Crc32(uint32_t crc, const void* data, size_t size);
