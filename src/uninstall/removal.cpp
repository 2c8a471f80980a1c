#include "uninstall/removal.h"

#include <windows.h>
#include <shlobj.h>
#include <cstring>

#include "base/file_queries.h"
#include "base/folder_tree.h"
#include "base/globals.h"
#include "base/handles.h"
#include "base/heap_text.h"
#include "base/name_table.h"
#include "base/names.h"
#include "base/partial_name.h"
#include "base/progress_window.h"
#include "base/run_log.h"
#include "base/text_util.h"
#include "install/file_list_logic.h"
#include "install/script_files.h"
#include "install/script_store.h"
#include "install/shortcuts.h"
#include "install/staged_folder.h"
#include "registry/component_list.h"
#include "registry/product_registry.h"
#include "registry/reg_helpers.h"
#include "uninstall/removal_logic.h"
#include "uninstall/restart_delete.h"

namespace {

const char kBackslashText[] = "\\";
const char kNoText[] = "";

// A script value in a 260-byte buffer. The read gets one byte more, so that a
// value longer than 259 characters is seen and read as empty instead of being
// cut into another name. 1 when the value is non-empty.
int ReadScriptValue(const char* scriptPath, const char* section, const char* key,
                    const char* defaultValue, char* value) {
  char read[kPathSize + 1];
  DWORD length = ReadScriptString(scriptPath, section, key, defaultValue, read, sizeof(read));
  if (length >= kPathSize) read[0] = '\0';
  CopyBounded(read, value, kPathSize);
  return value[0] != '\0';
}

// The folders that held a section's files, each once, for the sweep of the
// partial files an ended install left beside them.
struct FolderSet {
  HeapText names;    // the folders, each ended by a zero byte
  size_t used = 0, capacity = 0, count = 0;
  uint32_t* starts = nullptr;  // where each folder's name begins in names
  NameTable table;
  FolderSet() = default;
  FolderSet(const FolderSet&) = delete;
  FolderSet& operator=(const FolderSet&) = delete;
  ~FolderSet() { free(starts); }

  int Init(size_t most) {
    starts = static_cast<uint32_t*>(malloc((most + 1) * sizeof(uint32_t)));
    return starts && InitNameTable(&table, most + 1, kPathNames);
  }
  // Adds the folder of path (up to its last backslash), once.
  void AddFolderOf(const char* path) {
    const char* name = AfterLastBackslash(path);
    if (name) Add(path, static_cast<size_t>(name - path) - 1);
  }
  // Adds the first `length` characters of path as a folder, once.
  void Add(const char* path, size_t length) {
    if (!starts || length == 0) return;
    auto nameOf = [this](uint32_t item, size_t* n) {
      *n = strlen(names.get() + starts[item]);
      return static_cast<const char*>(names.get() + starts[item]);
    };
    uint32_t* slot = NameSlot(table, path, length, nameOf);
    if (*slot) return;
    if (used + length + 1 > capacity) {
      size_t grown = 2 * (used + length + 1) + 256;
      char* moved = static_cast<char*>(realloc(names.p, grown));
      if (!moved) return;
      names.p = moved;
      capacity = grown;
    }
    memcpy(names.get() + used, path, length);
    names[used + length] = '\0';
    starts[count] = static_cast<uint32_t>(used);
    used += length + 1;
    *slot = static_cast<uint32_t>(++count);
  }
};

// Deletes the files an install ended before their rename left in folder:
// only names that end in the partial suffix, which no file of the user's or
// the package's carries.
void DeletePartialFiles(const char* folder) {
  char pattern[kPathSize];
  if (!FormatBounded(pattern, sizeof(pattern), "%s\\*%s", folder, kPartialSuffix)) return;
  WIN32_FIND_DATAA entry;
  ScopedFindHandle search(FindFirstFileA(pattern, &entry));
  if (!search.Valid()) return;
  do {
    char path[kPathSize];
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || !IsPartialName(entry.cFileName) ||
        !FormatBounded(path, sizeof(path), "%s\\%s", folder, entry.cFileName))
      continue;
    if (DeleteInstalledFile(path)) LogLine("file deleted: %s", path);
  } while (FindNextFileA(search.h, &entry));
}

// Deletes every file-list entry of a section, each below folder or, with
// folder null, as an absolute path; then consumes the section. With
// installed set the entries are files this program installed: a read-only
// mark from the package medium does not stop their deletion, and once one
// cannot be deleted, it and every entry after it (which the walk, stopping
// there, does not delete now) are scheduled for deletion at restart, so that
// the section's deletion forgets none of them. Content lists pass 0: content
// that stays, stays. The product's own section (installed, with a folder)
// also holds the keys the rest of the uninstall needs: only its file lines
// go, and only once every file is gone or scheduled, so that a run that
// fails or is ended here leaves them for the next run; the partial files an
// ended install left beside them go too, and the folder an ended first
// install left under the product folder's partial name.
int DeleteSectionFiles(const char* scriptPath, const char* section, const char* folder,
                       int installed) {
  SectionText list;
  // Not read whole: nothing is deleted and the section stays for a later
  // run, rather than going with lines that were never looked at.
  if (!ReadScriptSection(scriptPath, section, &list)) return 0;
  int product = installed && folder;
  if (list.length == 0 && !product) return 1;

  const char* prefix = folder ? folder : kNoText;
  size_t prefixLength = strlen(prefix);
  const char* separator = (folder && (prefixLength == 0 || prefix[prefixLength - 1] != '\\'))
                              ? kBackslashText
                              : kNoText;
  // The folder the scheduled files' folders go up to: the product folder.
  char topFolder[kPathSize] = "";
  if (folder && CopyBounded(folder, topFolder, sizeof(topFolder)) && !separator[0])
    topFolder[prefixLength - 1] = '\0';
  FolderSet folders;
  if (product && folders.Init(list.length / 2 + 1)) folders.Add(topFolder, strlen(topFolder));
  int result = 1;
  for (const char* line = list.First(); line; line = NextLine(line)) {
    char entry[kPathSize];
    int parsed = ParseLoggedFileLine(line, entry, sizeof(entry));
    if (parsed == 0) continue;
    // Names of a product section are relative to the product folder; one
    // that leads out of it (an edited script, say) is never deleted.
    if (parsed > 0 && folder && !StaysInFolder(entry, strlen(entry))) {
      LogLine("file not deleted: %s (outside %s)", entry, folder);
      continue;
    }
    // An entry or path too long for the buffer cannot be deleted, and is
    // never cut into another file's name: it fails like a file in use.
    char path[kPathSize];
    if (parsed < 0 || !FormatBounded(path, sizeof(path), "%s%s%s", prefix, separator, entry)) {
      result = 0;
      if (installed) continue;
      break;
    }
    if (product) folders.AddFolderOf(path);
    ProgressItem(path);
    ProgressAdvance(1);
    if (!result) {
      DeleteFileAtRestart(path, topFolder);
      continue;
    }
    if (installed ? DeleteInstalledFile(path) : DeleteFileA(path)) {
      LogLine("file deleted: %s", path);
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
      LogLine("file not deleted: %s (error %lu)", path, GetLastError());
      // A file of the install that another program holds goes at the
      // restart, and the uninstall goes on: the run then asks for the
      // restart (exit code 3010). One that cannot even be scheduled stops
      // the run, and those after it go at the restart.
      if (installed && DeleteFileAtRestart(path, topFolder)) continue;
      result = 0;
      if (!installed) break;
    }
  }
  if (!product) {
    WriteScriptString(scriptPath, section, nullptr, nullptr);
    return result;
  }
  for (size_t i = 0; i < folders.count; ++i) DeletePartialFiles(folders.names.get() + folders.starts[i]);
  DeleteStagedLeftover(topFolder);
  ProfileText* script = ScriptText(scriptPath);
  if (result && script) {
    DropEmptyKeys(script, section);
    SaveScript(scriptPath);
  }
  return result;
}

// The shortcut rule: a link whose target still opens stays; any other goes.
// 0 when it had to go and could not be deleted (a link already gone
// included, unless an earlier run of this uninstall took it: resumed set). A
// link that is there but cannot be deleted now goes at restart, and with it
// a Start-menu folder (inFolder set) once emptied: that counts as removed.
int RemoveLinkUnlessTargetOpens(const char* folder, const char* name, int inFolder, int resumed) {
  char linkPath[kPathSize];
  if (!FormatBounded(linkPath, sizeof(linkPath), "%s\\%s%s", folder, name, kLinkExtension))
    return 0;
  ProgressItem(linkPath);
  ProgressAdvance(1);
  char target[kPathSize];
  if (SUCCEEDED(ResolveLink(nullptr, linkPath, target)) && FileExists(target)) {
    LogLine("link kept: %s (its target is there)", linkPath);
    return 1;
  }
  if (!DeleteFileA(linkPath)) {
    if (NameExists(linkPath)) return DeleteFileAtRestart(linkPath, inFolder ? folder : nullptr);
    if (resumed) LogLine("link already gone: %s", linkPath);
    return resumed;
  }
  LogLine("link deleted: %s", linkPath);
  return 1;
}

// The product's per-user settings key, its maker subkey and its App Paths
// entry. A name that does not fit is skipped: a cut name could be a parent
// key shared with other products.
void DeleteProductKeys(const char* productKey, const char* altKey, const char* target) {
  char key[kPathSize];
  if (FormatBounded(key, sizeof(key), "%s\\%s", kMakerKey, altKey))
    DeleteRegKeyTree(HKEY_CURRENT_USER, key);
  if (FormatBounded(key, sizeof(key), "%s\\%s", kMakerKey, productKey))
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key);
  if (FormatBounded(key, sizeof(key), "%s%s", kAppPathsKey, target))
    DeleteRegKeyTree(HKEY_LOCAL_MACHINE, key);
}

// Frees the nodes a component walk has not reached when it ends.
struct KeyNodeList {
  KeyNode* head = nullptr;
  KeyNodeList() = default;
  KeyNodeList(const KeyNodeList&) = delete;
  KeyNodeList& operator=(const KeyNodeList&) = delete;
  ~KeyNodeList() { FreeKeyNodes(head); }
};

// One product of a component list: its content, then (while the running
// result holds) its list entry. Returns the running result after it.
int RemoveProductContent(const char* componentName, const char* scriptPath, int contentFlag,
                         const char* productKey, int result) {
  char folder[kPathSize];
  if (ReadScriptValue(scriptPath, kSectionPaths, productKey, kNoText, folder)) {
    if (contentFlag) {
      // Whole trees go only below a drive root or share: a damaged "Paths"
      // entry must never take a drive's content with it.
      if (IsRemovableFolderPath(folder)) {
        if (ProgressShown()) AddProgressTotal(CountTreeFiles(folder));
        if (DeleteFolderTree(folder)) result = 1;
      }
    } else {
      if (DeleteListedFilesInFolder(scriptPath, componentName, folder)) result = 1;
      RemoveDirectoryA(folder);
    }
    char parent[kPathSize];
    if (ProductFolderParent(folder, parent, sizeof(parent))) RemoveDirectoryA(parent);
  }
  if (result) result = RemoveFromComponentList(componentName, productKey);
  return result;
}

}  // namespace

ULONGLONG CountListedFiles(const char* scriptPath, const char* section) {
  SectionText list;
  if (!ReadScriptSection(scriptPath, section, &list)) return 0;
  ULONGLONG count = 0;
  for (const char* line = list.First(); line; line = NextLine(line)) {
    char entry[kPathSize];
    if (ParseLoggedFileLine(line, entry, sizeof(entry)) != 0) ++count;
  }
  return count;
}

int ReadComponentList(const char* componentName, HeapText& list) {
  list.reset();
  DWORD size = 0;
  if (!GetRegValueSize(HKEY_LOCAL_MACHINE, kMakerKey, componentName, &size) || size == MAXDWORD)
    return 0;
  // One byte beyond the stored data, for a terminator the data may lack.
  DWORD bufferSize = size + 1;
  list.reset(bufferSize);
  if (!list) return 0;
  if (!GetRegString(HKEY_LOCAL_MACHINE, kMakerKey, componentName, list.get(), bufferSize)) {
    list.reset();
    return 0;
  }
  return 1;
}

int RemoveProductEntries(const char* scriptPath, const char* productKey) {
  // Without a key the maker subkey to delete would be the maker's key itself.
  if (productKey[0] == '\0') return 0;
  // The four values stay in the script until the script itself goes: a run
  // that fails or is ended on the way leaves what the next run needs.
  char target[kPathSize];
  char icon[kPathSize];
  char menu[kPathSize];
  char altKey[kPathSize];
  ReadScriptValue(scriptPath, productKey, kKeyTarget, kNoText, target);
  ReadScriptValue(scriptPath, productKey, kKeyIcon, kNoText, icon);
  ReadScriptValue(scriptPath, productKey, kKeyMenu, kNoText, menu);
  ReadScriptValue(scriptPath, productKey, kKeyAltKey, productKey, altKey);
  if (!target[0] || !icon[0] || !menu[0] || !altKey[0]) return 0;
  char folder[kPathSize];
  if (!ReadScriptValue(scriptPath, kSectionPaths, productKey, kNoText, folder)) return 0;

  // An uninstall an earlier run began and did not end is finished: what that
  // run removed already is no failure now.
  char unfinished[kPathSize];
  ReadUnfinishedRun(scriptPath, productKey, unfinished, sizeof(unfinished));
  int resumed = EqualsNoCase(unfinished, kUnfinishedUninstall);
  if (resumed) {
    LogLine("finishing the uninstall an earlier run began");
  } else {
    ProfileText* script = ScriptText(scriptPath);
    if (script && SetUnfinishedRun(script, productKey, kUnfinishedUninstall)) SaveScript(scriptPath);
  }

  // Files, then links, then the keys by which the product is found.
  if (!DeleteInstalledFilesInFolder(scriptPath, productKey, folder)) return 0;

  char special[kPathSize];
  if (!GetSpecialFolderPath(CSIDL_DESKTOP, special)) return 0;
  if (!RemoveLinkUnlessTargetOpens(special, icon, 0, resumed)) return 0;
  if (!GetSpecialFolderPath(CSIDL_PROGRAMS, special)) return 0;
  if (!RemoveLinkUnlessTargetOpens(special, menu, 1, resumed)) return 0;
  char menuFolder[kPathSize];
  if (FormatBounded(menuFolder, sizeof(menuFolder), "%s\\%s", special, kProductName))
    RemoveDirectoryA(menuFolder);

  DeleteProductKeys(productKey, altKey, target);
  WriteScriptString(scriptPath, kSectionProducts, productKey, nullptr);
  return 1;
}

int DeleteListedFilesInFolder(const char* scriptPath, const char* section, const char* folder) {
  return DeleteSectionFiles(scriptPath, section, folder, 0);
}

int DeleteInstalledFilesInFolder(const char* scriptPath, const char* section, const char* folder) {
  return DeleteSectionFiles(scriptPath, section, folder, 1);
}

int DeleteListedFiles(const char* scriptPath, const char* section) {
  return DeleteSectionFiles(scriptPath, section, nullptr, 1);
}

int RemoveComponentContent(const char* componentName, const char* scriptPath, int contentFlag,
                           const char* listText, int found) {
  if (!found || !listText) return 0;
  KeyNodeList nodes;
  // A node that cannot be allocated ends the run with no key processed: the
  // list stays as stored (BuildKeyNodes frees what it had built).
  if (!BuildKeyNodes(listText, &nodes.head)) return 0;
  int result = 0;
  while (nodes.head) {
    KeyNode* node = nodes.head;
    nodes.head = node->next;
    result = RemoveProductContent(componentName, scriptPath, contentFlag, node->key, result);
    FreeKeyNode(node);
  }
  return result;
}

int RemoveFromComponentList(const char* componentName, const char* productKey) {
  HeapText list;
  // A missing value holds no key and there is nothing to delete. A value that
  // cannot be read whole is left as stored: rewriting it from an empty or
  // partial read would drop the other products' keys.
  if (!ReadComponentList(componentName, list)) return 0;
  // The list only shrinks, so it is rewritten in its own buffer.
  int found = RemoveComponentListEntry(list.get(), productKey, list.get(), strlen(list.get()) + 1);
  if (found < 0) return 0;
  if (list[0])
    SetRegString(HKEY_LOCAL_MACHINE, kMakerKey, componentName, list.get(), 1);
  else
    SetRegString(HKEY_LOCAL_MACHINE, kMakerKey, componentName, kNoText, 0);
  return found;
}

int RemoveUninstallShortcuts(const char* scriptPath) {
  char programs[kPathSize];
  if (!GetSpecialFolderPath(CSIDL_PROGRAMS, programs)) return 0;
  SectionText uninst;
  // Not read whole: answered like a missing Programs folder, so that the
  // script (the record of the shortcuts not yet removed) and the uninstaller
  // stay.
  if (!ReadScriptSection(scriptPath, kSectionUninst, &uninst)) return 0;
  for (const char* line = uninst.First(); line; line = NextLine(line)) {
    char folderName[kPathSize];
    char linkName[kPathSize];
    if (!SplitUninstLine(line, folderName, sizeof(folderName), linkName, sizeof(linkName)))
      continue;
    char folder[kPathSize];
    char link[kPathSize];
    if (!FormatBounded(folder, sizeof(folder), "%s\\%s", programs, folderName)) continue;
    if (!FormatBounded(link, sizeof(link), "%s\\%s%s", folder, linkName, kLinkExtension)) continue;
    if (DeleteFileA(link))
      LogLine("link deleted: %s", link);
    else if (NameExists(link))
      DeleteFileAtRestart(link, programs);
    RemoveDirectoryA(folder);
  }
  return 1;
}
