#include "install/carried_package.h"

#include <zlib.h>

#include <cstring>

#include "base/file_io.h"
#include "base/file_replace.h"
#include "base/handles.h"
#include "base/progress_window.h"

namespace {

// The bytes read and written at a time: large enough that the calls cost
// little beside the data, small enough for any machine.
const DWORD kChunk = 256 * 1024;

struct Carried {
  HANDLE download = INVALID_HANDLE_VALUE;
  uint64_t payloadOffset = 0;
  HeapText index;
  HeapText files;
  size_t count = 0;
  NameTable names;
  HeapText in;
  HeapText out;
};
Carried g_carried;

const CarriedFile* Files() { return reinterpret_cast<const CarriedFile*>(g_carried.files.get()); }

int ReadAt(uint64_t offset, void* buffer, DWORD size) { return ReadFileAt(g_carried.download, offset, buffer, size); }

// The download's setup program, rebuilt from this download's image: the
// image with its own checksum field and security directory entry, then its
// tail (its signature). 0 with the last error set when a read or write
// fails or the result is not the program the package held.
int WriteRebuilt(const CarriedFile* file, HANDLE out) {
  unsigned char header[kRebuiltHeaderSize];
  RebuiltProgram program;
  if (!ReadAt(g_carried.payloadOffset + file->offset, header, sizeof(header))) return 0;
  ReadRebuiltHeader(header, &program);
  uint64_t tail = file->keptSize - kRebuiltHeaderSize;
  if (program.imageSize > g_carried.payloadOffset || program.imageSize + tail != file->size)
    return SetLastError(ERROR_INVALID_DATA), 0;
  uLong crc = 0;
  // The image, patched as it passes, then the tail.
  for (uint64_t at = 0, end = program.imageSize; at < end + tail;) {
    int inImage = at < end;
    uint64_t left = inImage ? end - at : end + tail - at;
    DWORD part = left < kChunk ? static_cast<DWORD>(left) : kChunk;
    unsigned char* bytes = reinterpret_cast<unsigned char*>(g_carried.in.get());
    if (!ReadAt(inImage ? at : g_carried.payloadOffset + file->offset + kRebuiltHeaderSize + (at - end), bytes, part))
      return 0;
    if (at == 0) {
      size_t checksum = ChecksumFieldAt(bytes, part), security = SecurityDirectoryAt(bytes, part);
      if (!checksum || checksum + 4 > part || security + 8 > part) return SetLastError(ERROR_INVALID_DATA), 0;
      for (int i = 0; i < 4; ++i) bytes[checksum + i] = static_cast<unsigned char>(program.checksumField >> (8 * i));
      memcpy(bytes + security, program.securityEntry, 8);
    }
    crc = crc32_z(crc, bytes, part);
    if (!WriteFileAll(out, bytes, part)) return 0;
    ProgressAdvance(part);
    at += part;
  }
  if (crc != program.crc) return SetLastError(ERROR_INVALID_DATA), 0;
  return 1;
}

// The kept bytes of file, inflated or as they are, written to out. 0 with
// the last error set when a read or write fails or the bytes are not the
// file's.
int WriteContent(const CarriedFile* file, HANDLE out) {
  if (file->method == kCarriedRebuilt) return WriteRebuilt(file, out);
  uint64_t at = g_carried.payloadOffset + file->offset, left = file->keptSize, written = 0;
  z_stream stream = {};
  if (file->method == kCarriedZlib && inflateInit(&stream) != Z_OK) return SetLastError(ERROR_OUTOFMEMORY), 0;
  int status = Z_OK;
  int ok = 1;
  while (ok && left > 0 && status != Z_STREAM_END) {
    DWORD part = left < kChunk ? static_cast<DWORD>(left) : kChunk;
    if (!ReadAt(at, g_carried.in.get(), part)) {
      ok = 0;
      break;
    }
    at += part;
    left -= part;
    if (file->method == kCarriedStored) {
      ok = WriteFileAll(out, g_carried.in.get(), part);
      ProgressAdvance(part);
      written += part;
      continue;
    }
    stream.next_in = reinterpret_cast<Bytef*>(g_carried.in.get());
    stream.avail_in = part;
    // Until this input is used up and nothing inflated waits for room, or
    // the stream ends.
    while (ok) {
      stream.next_out = reinterpret_cast<Bytef*>(g_carried.out.get());
      stream.avail_out = kChunk;
      status = inflate(&stream, Z_NO_FLUSH);
      if (status == Z_BUF_ERROR && stream.avail_in == 0) {
        status = Z_OK;
        break;
      }
      if (status != Z_OK && status != Z_STREAM_END) {
        SetLastError(ERROR_INVALID_DATA);
        ok = 0;
        break;
      }
      DWORD produced = kChunk - stream.avail_out;
      if (produced) {
        ok = WriteFileAll(out, g_carried.out.get(), produced);
        ProgressAdvance(produced);
        written += produced;
      }
      if (status == Z_STREAM_END || (stream.avail_in == 0 && stream.avail_out != 0)) break;
    }
  }
  if (file->method == kCarriedZlib) {
    // The stream's own Adler-32 was checked as it ended; nothing may follow.
    if (ok && (status != Z_STREAM_END || left > 0 || stream.avail_in > 0)) SetLastError(ERROR_INVALID_DATA), ok = 0;
    inflateEnd(&stream);
  }
  if (ok && written != file->size) SetLastError(ERROR_INVALID_DATA), ok = 0;
  return ok;
}

}  // namespace

void UseCarriedPackage(HANDLE download, uint64_t payloadOffset, HeapText* index, HeapText* files, size_t count,
                       NameTable* names) {
  g_carried.download = download;
  g_carried.payloadOffset = payloadOffset;
  g_carried.index.p = index->p;
  index->p = nullptr;
  g_carried.files.p = files->p;
  files->p = nullptr;
  g_carried.count = count;
  free(g_carried.names.slots);
  g_carried.names.slots = names->slots;
  g_carried.names.mask = names->mask;
  g_carried.names.kind = names->kind;
  names->slots = nullptr;
}

int IsPackageCarried() { return g_carried.download != INVALID_HANDLE_VALUE; }

const CarriedFile* FindPackageFile(const char* relative) {
  return IsPackageCarried() ? FindCarriedFile(Files(), g_carried.names, relative) : nullptr;
}

void CarriedFileFacts(const CarriedFile* file, NewFileFacts* facts) {
  facts->hasVersion = file->hasVersion;
  facts->versionMs = file->versionMs;
  facts->versionLs = file->versionLs;
  facts->hasTime = 1;
  facts->timeHigh = static_cast<DWORD>(file->writeTime >> 32);
  facts->timeLow = static_cast<DWORD>(file->writeTime);
}

BOOL ExtractCarriedFile(const CarriedFile* file, const char* dest, BOOL failIfExists, const char* renameTo) {
  if (!g_carried.in) g_carried.in.reset(kChunk);
  if (!g_carried.out) g_carried.out.reset(kChunk);
  if (!g_carried.in || !g_carried.out) return SetLastError(ERROR_OUTOFMEMORY), FALSE;
  ScopedHandle out(CreateFileA(dest, GENERIC_WRITE | (renameTo ? DELETE : 0), 0, nullptr,
                               failIfExists ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN,
                               nullptr));
  if (!out.Valid()) return FALSE;
  FILETIME written;
  written.dwHighDateTime = static_cast<DWORD>(file->writeTime >> 32);
  written.dwLowDateTime = static_cast<DWORD>(file->writeTime);
  if (WriteContent(file, out.h) && SetFileTime(out.h, nullptr, nullptr, &written)) {
    if (!renameTo || RenameOpenFile(out.h, renameTo, 0)) return TRUE;
    DWORD error = GetLastError();
    out.Close();
    if (error != ERROR_CALL_NOT_IMPLEMENTED) return SetLastError(error), FALSE;
    return CommitPartial(dest, renameTo, 0);
  }
  DWORD error = GetLastError();
  out.Close();
  DeleteFileA(dest);
  SetLastError(error);
  return FALSE;
}

void ReleaseCarriedPackage() {
  if (g_carried.download != INVALID_HANDLE_VALUE) CloseHandle(g_carried.download);
  g_carried.download = INVALID_HANDLE_VALUE;
  g_carried.index.reset();
  g_carried.files.reset();
  g_carried.in.reset();
  g_carried.out.reset();
  g_carried.count = 0;
  free(g_carried.names.slots);
  g_carried.names.slots = nullptr;
}
