#include "base/payload_format.h"

#include <cstring>

#include "base/text_util.h"

namespace {

const unsigned char kHead[4] = {'L', 'F', 'P', 'K'};
const unsigned char kTail[4] = {'K', 'P', 'F', 'L'};
const uint32_t kFormat = 2;
// An entry's fixed part after its name: method, flags, four 8-byte and two
// 4-byte fields.
const size_t kEntryFixedSize = 2 + 4 * 8 + 2 * 4;
const uint8_t kFlagVersion = 1;

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
  Put(out + 8, trailer.payloadOffset, 8);
  Put(out + 16, trailer.payloadSize, 8);
  Put(out + 24, trailer.indexSize, 4);
  Put(out + 28, trailer.checksum, 4);
  Put(out + 32, trailer.indexUnpacked, 4);
  for (int i = 0; i < 4; ++i) out[36 + i] = kTail[i];
}

int ReadTrailer(const unsigned char* tail, size_t tailSize, uint64_t end, PayloadTrailer* out) {
  size_t last = tailSize;
  for (int pad = 0; pad < 7 && last > 0 && tail[last - 1] == 0; ++pad) --last;
  if (last < kTrailerSize || end < tailSize) return 0;
  const unsigned char* t = tail + last - kTrailerSize;
  if (!Same(t, kHead) || !Same(t + 36, kTail) || Get(t + 4, 4) != kFormat) return 0;
  out->payloadOffset = Get(t + 8, 8);
  out->payloadSize = Get(t + 16, 8);
  out->indexSize = static_cast<uint32_t>(Get(t + 24, 4));
  out->checksum = static_cast<uint32_t>(Get(t + 28, 4));
  out->indexUnpacked = static_cast<uint32_t>(Get(t + 32, 4));
  uint64_t trailerStart = end - (tailSize - last) - kTrailerSize;
  if (out->payloadOffset > trailerStart || out->payloadSize > trailerStart - out->payloadOffset) return -1;
  return out->indexSize <= out->payloadSize ? 1 : -1;
}

size_t WriteIndexEntry(const CarriedFile& file, unsigned char* out) {
  size_t nameSize = strlen(file.name) + 1;
  Put(out, nameSize, 2);
  memcpy(out + 2, file.name, nameSize);
  unsigned char* p = out + 2 + nameSize;
  p[0] = file.method;
  p[1] = file.hasVersion ? kFlagVersion : 0;
  Put(p + 2, file.offset, 8);
  Put(p + 10, file.keptSize, 8);
  Put(p + 18, file.size, 8);
  Put(p + 26, file.writeTime, 8);
  Put(p + 34, file.versionMs, 4);
  Put(p + 38, file.versionLs, 4);
  return 2 + nameSize + kEntryFixedSize;
}

void WriteIndexCount(uint32_t count, unsigned char out[4]) { Put(out, count, 4); }

int ReadIndex(const unsigned char* index, size_t indexSize, uint64_t dataSize, CarriedFile* files,
              size_t capacity, size_t* count) {
  *count = 0;
  if (indexSize < 4) return 0;
  uint64_t entries = Get(index, 4);
  size_t at = 4;
  for (uint64_t i = 0; i < entries; ++i) {
    if (indexSize - at < 2) return 0;
    size_t nameSize = static_cast<size_t>(Get(index + at, 2));
    if (nameSize == 0 || indexSize - at - 2 < nameSize + kEntryFixedSize) return 0;
    const unsigned char* name = index + at + 2;
    if (name[nameSize - 1] != 0 || memchr(name, 0, nameSize - 1)) return 0;
    const unsigned char* p = name + nameSize;
    CarriedFile file;
    file.name = reinterpret_cast<const char*>(name);
    file.method = p[0];
    file.hasVersion = (p[1] & kFlagVersion) != 0;
    file.offset = Get(p + 2, 8);
    file.keptSize = Get(p + 10, 8);
    file.size = Get(p + 18, 8);
    file.writeTime = Get(p + 26, 8);
    file.versionMs = static_cast<uint32_t>(Get(p + 34, 4));
    file.versionLs = static_cast<uint32_t>(Get(p + 38, 4));
    if (file.method > kCarriedRebuilt || (file.method == kCarriedStored && file.keptSize != file.size) ||
        (file.method == kCarriedRebuilt && file.keptSize < kRebuiltHeaderSize) ||
        file.offset > dataSize || file.keptSize > dataSize - file.offset)
      return 0;
    if (*count < capacity) files[*count] = file;
    ++*count;
    at += 2 + nameSize + kEntryFixedSize;
  }
  return at == indexSize;
}

namespace {

// An entry's name, for the table.
struct EntryName {
  const CarriedFile* files;
  const char* operator()(uint32_t item, size_t* length) const {
    *length = strlen(files[item].name);
    return files[item].name;
  }
};

}  // namespace

int IndexCarriedFiles(const CarriedFile* files, size_t count, NameTable* table) {
  if (!InitNameTable(table, count, kPathNames)) return 0;
  for (size_t i = 0; i < count; ++i) {
    uint32_t* slot = NameSlot(*table, files[i].name, strlen(files[i].name), EntryName{files});
    // Of two entries of one name the first is the one found, as a walk of
    // the index finds it.
    if (*slot == 0) *slot = static_cast<uint32_t>(i) + 1;
  }
  return 1;
}

const CarriedFile* FindCarriedFile(const CarriedFile* files, const NameTable& table, const char* relative) {
  uint32_t* slot = NameSlot(table, relative, strlen(relative), EntryName{files});
  return *slot ? &files[*slot - 1] : nullptr;
}

void WriteRebuiltHeader(const RebuiltProgram& program, unsigned char out[kRebuiltHeaderSize]) {
  Put(out, program.crc, 4);
  Put(out + 4, program.imageSize, 8);
  Put(out + 12, program.checksumField, 4);
  memcpy(out + 16, program.securityEntry, 8);
}

void ReadRebuiltHeader(const unsigned char in[kRebuiltHeaderSize], RebuiltProgram* program) {
  program->crc = static_cast<uint32_t>(Get(in, 4));
  program->imageSize = Get(in + 4, 8);
  program->checksumField = static_cast<uint32_t>(Get(in + 12, 4));
  memcpy(program->securityEntry, in + 16, 8);
}

size_t ChecksumFieldAt(const unsigned char* headers, size_t headerSize) {
  // The optional header's checksum lies 64 bytes into it, in a 32-bit and a
  // 64-bit program alike; the security directory finds the header for us.
  if (!SecurityDirectoryAt(headers, headerSize)) return 0;
  return static_cast<size_t>(Get(headers + 0x3C, 4) + 24 + 64);
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
