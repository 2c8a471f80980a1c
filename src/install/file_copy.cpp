#include "install/file_copy.h"

#include <cstring>

#include "base/ask_user.h"
#include "base/file_queries.h"
#include "base/file_replace.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/names.h"
#include "base/progress_window.h"
#include "base/run_log.h"
#include "base/text_util.h"
#include "install/carried_package.h"
#include "install/file_list_logic.h"
#include "install/script_files.h"
#include "install/script_store.h"
#include "install/staged_folder.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"

namespace {

const char kNavigatorExe[] = "Netscape.exe";
const char kPluginsFolder[] = "Plugins";
const char kNewerFileQuestion[] =
    "This file already exists and is newer than what is being installed:\n\n'%s'\n\n"
    "Do you wish to overwrite the newer file?\n\n(Choosing 'No' is recommended)";
// The question with a 259-character path.
const size_t kQuestionSize = 512;

const char kLineLeavesFolder[] =
    "The setup script %s has a line that leads out of the folder it installs into:\n\n%s\n\n"
    "Nothing of this line was installed.";
// The message with the script's path and a whole list line.
const size_t kLeavesFolderSize = 3 * 260 + 128;

// An older viewer's folders and files, moved in this order into the install
// folder.
const char* const kOldLayoutNames[] = {
    "\\Domains",      "\\Objects",      "\\Media",        "\\Worldlist.dat", "\\LFViewer.exe",
    "\\LFViewer.gid", "\\LFViewer.hlp", "\\LFViewer.cnt", "\\LFCtrl.exe",
};

// The folder a list is installed into, ending in a backslash.
int ChooseDestinationFolder(const char* listName, char* folder, size_t size) {
  if (!EqualsNoCase(listName, kSectionPlugins))
    return FormatBounded(folder, size, "%s\\", g_installDir);
  char navigatorKey[kPathSize];
  char navigatorDir[kPathSize];
  if (!FormatBounded(navigatorKey, sizeof(navigatorKey), "%s%s", kAppPathsKey, kNavigatorExe))
    return 0;
  if (!GetRegString(HKEY_LOCAL_MACHINE, navigatorKey, kAppPathValue, navigatorDir,
                    sizeof(navigatorDir)))
    return 0;
  return FormatBounded(folder, size, "%s\\%s\\", navigatorDir, kPluginsFolder);
}

// The key a list line is recorded under: its destination relative to the
// install folder, or for "Plugins" its full path.
const char* RecordKey(const char* listName, const FileListLine& line) {
  return EqualsNoCase(listName, kSectionPlugins) ? line.dest : line.dest + line.destStart;
}

const char* RecordSection(const char* listName) {
  return EqualsNoCase(listName, kSectionPlugins) ? kSectionPlugins : g_productKey;
}

// Asks before a newer installed file is replaced. Shown even in a quiet run:
// only the user may decide to lose the newer file. Returns the answer.
int AskReplaceNewer(HWND window, const char* destPath) {
  char question[kQuestionSize];
  if (!FormatBounded(question, sizeof(question), kNewerFileQuestion, destPath)) return IDCANCEL;
  // A silent setup keeps the newer file, as the question recommends.
  return AskUser(window, question, g_setupCaption,
                 MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2 | MB_SETFOREGROUND | MB_TOPMOST,
                 IDNO);
}

// A list line that could reach outside its folder: said in the setup's
// critical-error box (a silent setup only logs it), naming the script.
void ReportLineLeavingFolder(HWND window, const char* line) {
  char text[kLeavesFolderSize];
  if (FormatBounded(text, sizeof(text), kLineLeavesFolder, g_setupScriptPath, line))
    AskUser(window, text, g_criticalErrorCaption, MB_OK | MB_ICONERROR | MB_TOPMOST, IDOK);
}

// Counts a file the list kept for the uninstall entry's size estimate.
void CountKeptFile(const char* path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return;
  g_installedBytes += (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A file the list kept as it was: logged with the reason, and counted.
int KeepFile(const char* path, const char* why) {
  LogLine("file kept: %s (%s)", path, why);
  CountKeptFile(path);
  return 1;
}

// A failed list line: the install stops, a silent one with its exit code.
int FailFile(const char* path, const char* why) {
  LogLine("file not installed: %s (%s)", path, why);
  NoteFailure(kExitCopyFailed);
  return 0;
}

int FailFile(const char* path, DWORD error) {
  char why[32];
  FormatBounded(why, sizeof(why), "error %lu", error);
  return FailFile(path, why);
}

// A list line's source: the package folder's file, or the one the download
// carries (looked up by the source's path relative to the package).
struct PackageSource {
  const FileListLine& line;
  const CarriedFile* carried;
  explicit PackageSource(const FileListLine& l) : line(l), carried(FindPackageFile(l.source + l.sourceStart)) {}
  // The whole file written at path (replacing what is there), with the
  // source's time and no attribute, then taking the name dest when no file
  // has it, through the handle that wrote it: TRUE when it took it; FALSE
  // with ERROR_ALREADY_EXISTS when it is written at path only; otherwise
  // CopyFileA's errors, for either source.
  BOOL WriteAndTakeFreeName(const char* path, const char* dest) {
    if (carried) return ExtractCarriedFile(carried, path, FALSE, dest);
    if (!IsPackageCarried()) return CopyToName(line.source, path, dest, 0, &size);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // The whole file written at path, which no file has (failIfExists: one
  // there stays, ERROR_FILE_EXISTS), or replacing it.
  BOOL WriteWhole(const char* path, BOOL failIfExists) {
    if (carried) return ExtractCarriedFile(carried, path, failIfExists);
    if (!IsPackageCarried()) return CopyToName(line.source, path, nullptr, !failIfExists, &size);
    SetLastError(ERROR_FILE_NOT_FOUND);
    return FALSE;
  }
  // The file written is counted for the uninstall entry's size, from what
  // was written: nothing needs to be looked up again.
  int Copied(const char* name) const {
    LogLine("file copied: %s", name);
    g_installedBytes += carried ? carried->size : size;
    return 1;
  }
  ULONGLONG size = 0;
  // The bytes the line will write, for the progress bar's total.
  ULONGLONG Bytes() const {
    if (carried) return carried->size;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (IsPackageCarried() || !GetFileAttributesExA(line.source, GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  }
  // A file the package lacks has version 0.0 and no time, as a package
  // folder's missing file has.
  NewFileFacts Facts() const {
    NewFileFacts facts = {1, 0, 0, 0, 0, 0};
    if (carried)
      CarriedFileFacts(carried, &facts);
    else if (!IsPackageCarried())
      ReadNewFileFacts(line.source, &facts);
    return facts;
  }
};

// A file written under its partial name that is not to take its real name.
void Discard(const char* partial) { DeleteFileA(partial); }

// The folders the last line's path needed, up to and including its last
// backslash: lines in the same folder need not walk and create the whole
// path again (each step is a system call that finds the folder there).
char g_lastFolders[kPathSize] = "";

int EnsureFoldersOf(const char* path) {
  const char* name = AfterLastBackslash(path);
  size_t prefix = name ? static_cast<size_t>(name - path) : 0;
  if (prefix > 0 && prefix == strlen(g_lastFolders) && strncmp(path, g_lastFolders, prefix) == 0)
    return 1;
  if (!CreateFolderPath(path)) return 0;
  if (prefix < sizeof(g_lastFolders)) {
    memcpy(g_lastFolders, path, prefix);
    g_lastFolders[prefix] = '\0';
  }
  return 1;
}

// The folders a line's file goes into. A line without a comma makes its
// file's own subfolders, and the copy still decides the line's result; 0
// when a comma line's folder cannot be made.
int MakeLineFolders(const FileListLine& line, int* result) {
  if (line.sameName) {
    *result = EnsureFoldersOf(line.dest);
    return 1;
  }
  return line.subfolder[0] == '\0' || EnsureFoldersOf(line.subfolder);
}

// A line of a list written below the staged install folder (realDest: the
// name the file will have), where no file of an earlier install can be:
// the file is written under its own name at once, a run ended meanwhile
// leaving it only below the folder's partial name. A starred line keeps a
// file an earlier line of the run wrote.
int InstallStagedLine(const FileListLine& line, const char* realDest, int result) {
  ProgressItem(realDest);
  if (!MakeLineFolders(line, &result)) return FailFile(realDest, "its folder cannot be created");
  PackageSource source(line);
  if (source.WriteWhole(line.dest, line.compare ? FALSE : TRUE)) return source.Copied(realDest);
  DWORD error = GetLastError();
  if (error != ERROR_FILE_EXISTS) return FailFile(realDest, error);
  KeepFile(realDest, "kept if present");
  return result;
}

// Steps for one file line after it is parsed; returns the list's running
// result.
int InstallListLine(HWND window, const FileListLine& line, int result) {
  ProgressItem(line.dest);
  if (!MakeLineFolders(line, &result)) return FailFile(line.dest, "its folder cannot be created");
  char partial[kPathSize];
  if (!BuildPartialName(line.dest, partial, sizeof(partial))) return FailFile(line.dest, "path too long");

  // The file is written whole under its partial name first (over a leftover
  // of an ended run), and takes its real name in one step: a run ended
  // during the write leaves no cut file under the real name, which the next
  // run's newer-file check would take for a newer one and keep. A name not
  // taken yet is taken at once: the rename that refuses to replace a file
  // looks the destination up once, where asking first whether it exists
  // looks it up twice. A destination already there, or a source or folder
  // not found, goes through the checks below; any other failure (a full
  // disk, say) is the line's failure.
  PackageSource source(line);
  BOOL taken = source.WriteAndTakeFreeName(partial, line.dest);
  // A read-only partial file an ended run left from a package on read-only
  // media: written over all the same.
  if (!taken && GetLastError() == ERROR_ACCESS_DENIED && ClearCarriedAttributes(partial))
    taken = source.WriteAndTakeFreeName(partial, line.dest);
  if (taken) return source.Copied(line.dest);
  DWORD error = GetLastError();
  // Written, and the real name is taken: the checks below decide.
  BOOL written = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS;
  if (!written) {
    Discard(partial);
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) return FailFile(line.dest, error);
  }

  if (!line.compare && FileExists(line.dest)) {
    Discard(partial);
    KeepFile(line.dest, "kept if present");
    return result;
  }

  if (IsInstalledFileNewer(line.dest, source.Facts()) && !g_replaceConfirmed) {
    int answer = AskReplaceNewer(window, line.dest);
    if (answer != IDYES) Discard(partial);
    if (answer == IDCANCEL) return FailFile(line.dest, "cancelled");
    if (answer != IDYES) return KeepFile(line.dest, "the installed file is newer");
  }

  // The source or its folder is missing: nothing to put in place.
  if (!written) return FailFile(line.dest, error);
  if (WriteReplacing(line.dest, [&] { return CommitPartial(partial, line.dest, 1); })) return source.Copied(line.dest);
  error = GetLastError();
  Discard(partial);
  if (error == ERROR_SHARING_VIOLATION &&
      EqualsNoCase(line.source + line.sourceStart, kControlProgramName)) {
    // The control program may be running while the product is updated: it
    // stays as it is and the install goes on (the Netscape step is skipped).
    g_ctrlInUse = 1;
    return KeepFile(line.dest, "in use");
  }
  return FailFile(line.dest, error);
}

// The setup folder: the setup script's path cut after its last backslash.
void SetupFolder(char* folder) {
  CopyBounded(g_setupScriptPath, folder, kPathSize);
  const char* name = AfterLastBackslash(folder);
  folder[name ? name - folder : 0] = '\0';
}

// each(line) for every file line of the list up to the first the copy
// refuses: the lines a run may install.
template <typename Each>
void ForEachListedFile(const char* destFolder, const char* sourceFolder, const SectionText& list, Each each) {
  for (const char* text = list.First(); text; text = NextLine(text)) {
    FileListLine line;
    ListLineKind kind = ParseFileListLine(destFolder, sourceFolder, text, &line);
    if (kind == kListLineComment) continue;
    if (kind != kListLineFile) break;
    each(line);
  }
}

// Every line of the list, up to the first the copy refuses, recorded in the
// uninstall script's text (the caller writes it): a run that fails, or is
// ended, at any line leaves the script naming every file it may have
// written, so that the uninstaller removes them all (one write per line
// would rewrite the whole script each time).
void RecordList(const char* listName, const char* destFolder, const char* sourceFolder, const SectionText& list) {
  // The keys' bytes, then the keys themselves, each ended by a zero byte.
  size_t bytes = 1;
  for (int pass = 0; pass < 2; ++pass) {
    HeapText keys(pass ? bytes : 0);
    if (pass && !keys) return;
    size_t used = 0;
    ForEachListedFile(destFolder, sourceFolder, list, [&](const FileListLine& line) {
      const char* key = RecordKey(listName, line);
      size_t length = strlen(key) + 1;
      if (pass) memcpy(keys.get() + used, key, length);
      used += length;
    });
    if (!pass) {
      bytes = used + 1;
      continue;
    }
    keys[used] = '\0';
    ProfileText* script = ScriptText(g_uninstScriptPath);
    if (!script || !SetEmptyKeys(script, RecordSection(listName), keys.get())) LogLine("list not recorded: %s", listName);
  }
}

}  // namespace

int InstallFileList(HWND window, const char* listName, int record) {
  char destFolder[kPathSize];
  if (!ChooseDestinationFolder(listName, destFolder, sizeof(destFolder))) return 0;
  // The folder the files are written into: while the install folder is
  // staged, below its partial name.
  char writeFolder[kPathSize];
  int staged = StagedListFolder(destFolder, writeFolder, sizeof(writeFolder));
  if (!staged) CopyBounded(destFolder, writeFolder, sizeof(writeFolder));
  g_lastFolders[0] = '\0';
  int result = EnsureFoldersOf(writeFolder);
  if (!result) FailFile(writeFolder, "the folder cannot be created");

  // The list is read whole, however long; one that cannot be read whole
  // (the heap) fails rather than install part of it.
  SectionText list;
  int listRead = result && ReadSection(g_setupScriptPath, listName, &list);
  char sourceFolder[kPathSize];
  SetupFolder(sourceFolder);
  // The list's lines go into the uninstall script with what the install
  // recorded before them (its folder, its settings key, its mark as begun)
  // in one write, before the first file is looked at.
  if (record) {
    if (listRead) RecordList(listName, destFolder, sourceFolder, list);
    if (!SaveScript(g_uninstScriptPath)) LogLine("list not recorded: %s", listName);
  }
  if (result && !listRead) return FailFile(listName, "the list cannot be read");
  if (result && list.First()) {
    for (const char* text = list.First(); text; text = NextLine(text)) {
      if (!result) return 0;
      FileListLine line;
      ListLineKind kind = ParseFileListLine(writeFolder, sourceFolder, text, &line);
      if (staged && kind == kListLineTooLong) {
        // A path that fits the install folder but not its partial name: the
        // folder takes its real name now, and the rest of the run writes
        // file by file.
        if (!EndStagedFolder()) return FailFile(writeFolder, "it cannot take its name");
        staged = 0;
        g_lastFolders[0] = '\0';
        CopyBounded(destFolder, writeFolder, sizeof(writeFolder));
        kind = ParseFileListLine(writeFolder, sourceFolder, text, &line);
      }
      if (kind == kListLineComment) continue;
      if (kind == kListLineLeavesFolder) {
        ReportLineLeavingFolder(window, text);
        return FailFile(text, "it leaves the folder");
      }
      // A line whose path does not fit would name another file: the list
      // fails instead, so the install reports it.
      if (kind == kListLineTooLong) return FailFile(text, "path too long");
      char realDest[kPathSize];
      if (!staged)
        result = InstallListLine(window, line, result);
      else if (FormatBounded(realDest, sizeof(realDest), "%s%s", destFolder, line.dest + strlen(writeFolder)))
        result = InstallStagedLine(line, realDest, result);
      else
        return FailFile(text, "path too long");
    }
  }

  if (!result) return 0;
  if (!record) return result;

  // The "Products" entry marks a completed core list for the uninstaller.
  char displayName[kPathSize];
  GetPrivateProfileStringA(kSectionLog, kKeyName, "", displayName, sizeof(displayName),
                           g_setupScriptPath);
  if (displayName[0] == '\0') return 0;
  return WriteScriptString(g_uninstScriptPath, kSectionProducts, g_productKey, displayName);
}

ULONGLONG ListBytes(const char* listName) {
  char destFolder[kPathSize], sourceFolder[kPathSize];
  SectionText list;
  if (!ChooseDestinationFolder(listName, destFolder, sizeof(destFolder)) ||
      !ReadSection(g_setupScriptPath, listName, &list))
    return 0;
  SetupFolder(sourceFolder);
  ULONGLONG bytes = 0;
  ForEachListedFile(destFolder, sourceFolder, list, [&](const FileListLine& line) { bytes += PackageSource(line).Bytes(); });
  return bytes;
}

int CreateFolderPath(const char* path) {
  char walk[kPathSize];
  // Paths of the program fit 260 bytes; a longer one cannot name a folder
  // the install could use.
  if (!CopyBounded(path, walk, sizeof(walk))) return 0;
  size_t end = 0;
  for (size_t from = 0; NextFolderEnd(walk, from, &end); from = end + 1) {
    walk[end] = '\0';
    BOOL created = CreateDirectoryA(walk, nullptr);
    DWORD error = created ? ERROR_SUCCESS : GetLastError();
    walk[end] = '\\';
    if (!created && error != ERROR_ALREADY_EXISTS) return 0;
  }
  return 1;
}

void MigrateOldLayout() {
  CreateDirectoryA(g_installDir, nullptr);
  for (const char* name : kOldLayoutNames) {
    char from[kPathSize];
    char to[kPathSize];
    if (!FormatBounded(from, sizeof(from), "%s%s", g_oldViewerDir, name) ||
        !FormatBounded(to, sizeof(to), "%s%s", g_installDir, name))
      continue;
    // What cannot be moved (absent, or already there) is left where it is.
    // Only the moved name itself loses a read-only mark: files the user
    // protected inside the moved content folders keep theirs.
    if (MoveFileA(from, to)) ClearCarriedAttributes(to);
  }
}
