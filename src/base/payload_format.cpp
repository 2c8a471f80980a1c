#include "base/payload_format.h"

namespace {

const unsigned char kHead[4] = {'L', 'F', 'P', 'K'};
const unsigned char kTail[4] = {'K', 'P', 'F', 'L'};
const uint32_t kFormat = 1;

void Put(unsigned char* out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

uint64_t Get(const unsigned char* in, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = value << 8 | in[i];
  return value;
}

bool Same(const unsigned char* a, const unsigned char* b) {
  return a[0] == b[0] && a[1] == b[1] && a[2] == b[2] && a[3] == b[3];
}

}  // namespace

void WriteTrailer(const PayloadTrailer& trailer, unsigned char out[kTrailerSize]) {
  for (int i = 0; i < 4; ++i) out[i] = kHead[i];
  Put(out + 4, kFormat, 4);
  Put(out + 8, trailer.cabinetOffset, 8);
  Put(out + 16, trailer.cabinetSize, 8);
  Put(out + 24, trailer.unpackedSize, 8);
  Put(out + 32, trailer.checksum, 4);
  for (int i = 0; i < 4; ++i) out[36 + i] = kTail[i];
}

int ReadTrailer(const unsigned char* tail, size_t tailSize, uint64_t end, PayloadTrailer* out) {
  size_t last = tailSize;
  for (int pad = 0; pad < 7 && last > 0 && tail[last - 1] == 0; ++pad) --last;
  if (last < kTrailerSize || end < tailSize) return 0;
  const unsigned char* t = tail + last - kTrailerSize;
  if (!Same(t, kHead) || !Same(t + 36, kTail) || Get(t + 4, 4) != kFormat) return 0;
  out->cabinetOffset = Get(t + 8, 8);
  out->cabinetSize = Get(t + 16, 8);
  out->unpackedSize = Get(t + 24, 8);
  out->checksum = static_cast<uint32_t>(Get(t + 32, 4));
  uint64_t trailerStart = end - (tailSize - last) - kTrailerSize;
  if (out->cabinetOffset > trailerStart || out->cabinetSize > trailerStart - out->cabinetOffset) return -1;
  return 1;
}

uint64_t ImageEnd(const unsigned char* headers, size_t headerSize) {
  if (headerSize < 0x40 || headers[0] != 'M' || headers[1] != 'Z') return 0;
  uint64_t pe = Get(headers + 0x3C, 4);
  if (pe + 24 > headerSize) return 0;
  uint64_t sections = Get(headers + pe + 6, 2), table = pe + 24 + Get(headers + pe + 20, 2), end = 0;
  for (uint64_t i = 0; i < sections && table + 40 * (i + 1) <= headerSize; ++i) {
    const unsigned char* section = headers + table + 40 * i;
    uint64_t last = Get(section + 20, 4) + Get(section + 16, 4);
    if (last > end) end = last;
  }
  return end;
}

size_t SecurityDirectoryAt(const unsigned char* headers, size_t headerSize) {
  if (headerSize < 0x40 || headers[0] != 'M' || headers[1] != 'Z') return 0;
  uint64_t pe = Get(headers + 0x3C, 4);
  if (pe + 24 + 2 > headerSize || !(headers[pe] == 'P' && headers[pe + 1] == 'E' && !headers[pe + 2] && !headers[pe + 3]))
    return 0;
  uint64_t magic = Get(headers + pe + 24, 2);
  // The data directories follow the optional header's fixed part: 96 bytes
  // in a 32-bit program, 112 in a 64-bit one; the security directory is the
  // fifth, 8 bytes each.
  uint64_t directories = pe + 24 + (magic == 0x10B ? 96 : magic == 0x20B ? 112 : 0);
  if (directories == pe + 24 || directories + 5 * 8 > headerSize || Get(headers + directories - 4, 4) < 5) return 0;
  return static_cast<size_t>(directories + 4 * 8);
}

uint64_t SignedImageEnd(const unsigned char* headers, size_t headerSize, uint64_t fileSize) {
  size_t at = SecurityDirectoryAt(headers, headerSize);
  if (!at) return fileSize;
  uint64_t offset = Get(headers + at, 4), size = Get(headers + at + 4, 4);
  return size && offset < fileSize && offset + size == fileSize ? offset : fileSize;
}

int RoomIsShort(uint64_t freeBytes, uint64_t neededBytes, uint64_t reserveBytes) {
  return freeBytes < reserveBytes || freeBytes - reserveBytes < neededBytes;
}

uint32_t Crc32(uint32_t crc, const void* data, size_t size) {
  static uint32_t table[256];
  if (!table[1])
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  const unsigned char* p = static_cast<const unsigned char*>(data);
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}
