#include "app/payload.h"

#include <windows.h>

#include <zlib.h>

#include <cstdlib>
#include <cstring>

#include "app/private_folder.h"
#include "app/run_mode_logic.h"
#include "app/startup.h"
#include "app/unattended_logic.h"
#include "base/ask_user.h"
#include "base/file_io.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/names.h"
#include "base/payload_format.h"
#include "base/run_log.h"
#include "base/system_library.h"
#include "base/system_paths.h"
#include "base/text_util.h"
#include "install/carried_package.h"

namespace {

const char kDamaged[] =
    "The setup file %s is damaged: what it carries does not match its checksum, or the file was cut "
    "short.\n\nNothing was installed. Please download the setup file again.";
const char kCannotUnpack[] =
    "Setup cannot unpack the %s Browser setup files into the temporary folder %s:\n\n%s\n\nNothing was installed.";
const char kFolderNotWritable[] = "The folder cannot be written.";
const char kNoRoom[] = "The drive has %luK Bytes free, but the files need %luK Bytes.";
const char kOwnFileUnreadable[] =
    "Setup cannot open its own file:\n\n%s\n\n(error %s). Nothing was installed. Move the setup file to a folder "
    "with a shorter name, made of letters of this system's language, and start it again.";
// The texts' folder: "LFS" and 16 random hex digits.
const char kUnpackFolderPrefix[] = "LFS";
const char kIeSetupSwitch[] = "\\f";
const char kIeSetupName[] = "ie5setup.exe";
const char kKernelLibrary[] = "kernel32.dll";
const char kFreeSpaceExName[] = "GetDiskFreeSpaceExA";
// Room for the file system's own records beside the texts.
const uint64_t kUnpackReserve = 64u << 10;
const DWORD kReadChunk = 1u << 20;
enum { kMessageSize = 1024, kHeaderSize = 1024 };

typedef BOOL(WINAPI* FreeSpaceExFn)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// 1: the trailer found, its payload whole and matching its checksum; 0: no
// package carried; -1: damaged or cut short. The whole payload is checked
// before anything is installed: one damaged file then installs nothing,
// where a check of each file as it is written would leave the files before
// it installed.
int CheckCarriedPackage(HANDLE file, PayloadTrailer* trailer) {
  LARGE_INTEGER size;
  unsigned char headers[kHeaderSize];
  unsigned char tail[kTrailerSize + 7];
  if (!GetFileSizeEx(file, &size)) return 0;
  uint64_t fileSize = static_cast<uint64_t>(size.QuadPart);
  DWORD headerSize = fileSize < kHeaderSize ? static_cast<DWORD>(fileSize) : static_cast<DWORD>(kHeaderSize);
  if (!ReadFileAt(file, 0, headers, headerSize)) return 0;
  uint64_t end = SignedImageEnd(headers, headerSize, fileSize);
  if (end < sizeof(tail) || !ReadFileAt(file, end - sizeof(tail), tail, sizeof(tail))) return 0;
  int found = ReadTrailer(tail, sizeof(tail), end, trailer);
  // Bytes after the program's image without a trailer at their end: a
  // download cut short.
  if (found == 0) return ImageEnd(headers, headerSize) && ImageEnd(headers, headerSize) < end ? -1 : 0;
  if (found < 0) return -1;
  HeapText chunk(kReadChunk);
  if (!chunk) return -1;
  uint32_t crc = 0;
  for (uint64_t done = 0; done < trailer->payloadSize;) {
    DWORD part = trailer->payloadSize - done < kReadChunk ? static_cast<DWORD>(trailer->payloadSize - done)
                                                         : kReadChunk;
    if (!ReadFileAt(file, trailer->payloadOffset + done, chunk.get(), part)) return -1;
    crc = static_cast<uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(chunk.get()), part));
    done += part;
  }
  return crc == trailer->checksum ? 1 : -1;
}

// The free bytes of the drive of folder; all when they cannot be told (the
// unpack then finds out).
uint64_t FreeBytes(const char* folder) {
  FreeSpaceExFn query = FunctionAs<FreeSpaceExFn>(SystemFunction(kKernelLibrary, kFreeSpaceExName));
  ULARGE_INTEGER toCaller, total, free;
  if (!query || !query(folder, &toCaller, &total, &free)) return ~0ull;
  return toCaller.QuadPart;
}

// The failure of a download: said (a silent run only logs it) and logged
// with its exit code.
int Refuse(const char* logPath, int exitCode, const char* format, const char* first, const char* second,
           const char* third) {
  if (logPath[0] && OpenRunLog(logPath, 0)) LogLine("command line: %s", GetCommandLineA());
  NoteFailure(exitCode);
  char text[kMessageSize];
  FormatBounded(text, sizeof(text), format, first, second, third);
  AskUser(nullptr, text, kSetupCaptionText, MB_OK | MB_ICONERROR | MB_TOPMOST, IDOK);
  // An interactive run ends with 0, as every run of the program does.
  return FinishRun(0);
}

// The index of the payload, read and checked: the files' entries in files
// (their names in index). 0 when it is not well-formed.
int ReadCarriedIndex(HANDLE file, const PayloadTrailer& trailer, HeapText* index, HeapText* files, size_t* count) {
  HeapText kept(trailer.indexSize ? trailer.indexSize : 1);
  index->reset(trailer.indexUnpacked ? trailer.indexUnpacked : 1);
  uint64_t dataSize = trailer.payloadSize - trailer.indexSize;
  if (!kept || !*index || !ReadFileAt(file, trailer.payloadOffset + dataSize, kept.get(), trailer.indexSize)) return 0;
  // Kept compressed, unless that would not have made it smaller.
  uLongf size = trailer.indexUnpacked;
  if (trailer.indexUnpacked == trailer.indexSize)
    memcpy(index->get(), kept.get(), trailer.indexSize);
  else if (uncompress(reinterpret_cast<Bytef*>(index->get()), &size, reinterpret_cast<const Bytef*>(kept.get()),
                      trailer.indexSize) != Z_OK ||
           size != trailer.indexUnpacked)
    return 0;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(index->get());
  if (!ReadIndex(bytes, trailer.indexUnpacked, dataSize, nullptr, 0, count)) return 0;
  files->reset(*count ? *count * sizeof(CarriedFile) : 1);
  return *files && ReadIndex(bytes, trailer.indexUnpacked, dataSize, reinterpret_cast<CarriedFile*>(files->get()),
                             *count, count);
}

// The private folder of the package's texts, removed at the end, and its
// setup script, held open until then.
char g_textsFolder[kPathSize] = "";
ScopedHandle g_heldScript;

}  // namespace

int StartFromCarriedPackage(int* exitCode) {
  char ownPath[kPathSize];
  int named = GetOwnPath(ownPath, sizeof(ownPath));
  if (named && IsUninstallerPath(ownPath)) return 0;
  // Held from the check to the end of the run, with writes and deletion
  // denied to everyone else: what is installed is what was checked.
  ScopedHandle own(named ? CreateFileA(ownPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr)
                         : INVALID_HANDLE_VALUE);
  DWORD openError = own.Valid() ? 0 : named ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  PayloadTrailer trailer;
  int carried = own.Valid() ? CheckCarriedPackage(own.h, &trailer) : 0;
  if (own.Valid() && carried == 0) return 0;

  // The unattended switches say whether to show a message, and where to log
  // one; the run reads them again.
  int argc = __argc;
  char* argv[64];
  if (argc > 64) argc = 64;
  for (int i = 0; i < argc; ++i) argv[i] = __argv[i];
  UnattendedSwitches switches;
  TakeUnattendedSwitches(argc, argv, GetCommandLineA(), 1, &switches);
  g_silent = switches.silent;
  g_codedExit = switches.silent;

  if (!own.Valid()) {
    // Not "no package here": a program that cannot read itself cannot tell,
    // and its package folder, if any, would be looked for in the same place.
    char error[16];
    FormatBounded(error, sizeof(error), "%lu", openError);
    *exitCode = Refuse(switches.logPath, kExitOwnFileUnreadable, kOwnFileUnreadable, named ? ownPath : __argv[0],
                       error, "");
    return -1;
  }
  HeapText index, files;
  size_t count = 0;
  NameTable names;
  if (carried < 0 || !ReadCarriedIndex(own.h, trailer, &index, &files, &count) ||
      !IndexCarriedFiles(reinterpret_cast<const CarriedFile*>(files.get()), count, &names)) {
    *exitCode = Refuse(switches.logPath, kExitDamagedDownload, kDamaged, ownPath, "", "");
    return -1;
  }
  const CarriedFile* entries = reinterpret_cast<const CarriedFile*>(files.get());
  // Only what must be a file before the install starts: the setup script and
  // the licence, which the profile functions and the licence page read, and
  // the Internet Explorer setup that "\f" starts at the end.
  const char* texts[] = {kSetupScriptName, kLicenseFileName,
                         LastArgumentIs(__argc, __argv, kIeSetupSwitch) ? kIeSetupName : nullptr};
  uint64_t textBytes = 0;
  for (const char* name : texts) {
    const CarriedFile* text = name ? FindCarriedFile(entries, names, name) : nullptr;
    if (text) textBytes += text->size;
  }
  char folder[kPathSize], tempDir[kPathSize];
  if (!MakePrivateTempFolder(kUnpackFolderPrefix, folder, sizeof(folder))) {
    *exitCode = Refuse(switches.logPath, kExitCannotUnpack, kCannotUnpack, kProductName, folder, kFolderNotWritable);
    return -1;
  }
  // The messages name the temporary folder, where the user can make room.
  CopyBounded(folder, tempDir, sizeof(tempDir));
  const_cast<char*>(AfterLastBackslash(tempDir))[0] = '\0';
  uint64_t free = FreeBytes(folder);
  if (RoomIsShort(free, textBytes, kUnpackReserve)) {
    RemovePrivateFolder(folder);
    char room[kMessageSize];
    FormatBounded(room, sizeof(room), kNoRoom, static_cast<unsigned long>(free >> 10),
                  static_cast<unsigned long>((textBytes >> 10) + (kUnpackReserve >> 10)));
    *exitCode = Refuse(switches.logPath, kExitCannotUnpack, kCannotUnpack, kProductName, tempDir, room);
    return -1;
  }
  UseCarriedPackage(own.h, trailer.payloadOffset, &index, &files, count, &names);
  own.h = nullptr;
  CopyBounded(folder, g_textsFolder, sizeof(g_textsFolder));
  for (const char* name : texts) {
    const CarriedFile* text = name ? FindPackageFile(name) : nullptr;
    char path[kPathSize];
    if (!text) continue;
    if (!FormatBounded(path, sizeof(path), "%s\\%s", folder, name) || !ExtractCarriedFile(text, path, TRUE)) {
      int damaged = GetLastError() == ERROR_INVALID_DATA;
      EndCarriedPackage();
      *exitCode = damaged ? Refuse(switches.logPath, kExitDamagedDownload, kDamaged, ownPath, "", "")
                          : Refuse(switches.logPath, kExitCannotUnpack, kCannotUnpack, kProductName, tempDir,
                                   kFolderNotWritable);
      return -1;
    }
  }
  // Held until the run ends, shared for reading only: another download's
  // end then tells this folder from one a run ended on the way left.
  char script[kPathSize];
  if (FormatBounded(script, sizeof(script), "%s\\%s", folder, kSetupScriptName))
    g_heldScript.h = CreateFileA(script, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr);
  SetPackageFolder(folder);
  return 1;
}

void EndCarriedPackage() {
  // The texts' folders that downloads ended on the way left go too; this
  // run's own, its script still held, stays for the step below.
  if (g_textsFolder[0]) RemoveLeftoverPrivateFolders(kUnpackFolderPrefix, kSetupScriptName);
  g_heldScript.Close();
  ReleaseCarriedPackage();
  if (g_textsFolder[0]) RemovePrivateFolder(g_textsFolder);
  g_textsFolder[0] = '\0';
}
