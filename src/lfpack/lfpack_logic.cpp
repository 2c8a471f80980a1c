#include "lfpack/lfpack_logic.h"

#include <cstring>
#include <map>

#include "base/names.h"
#include "base/text_util.h"
#include "install/install_logic.h"
#include "wizard/wizard_logic.h"

namespace {

const char* const kReserveKeys[] = {kKeySizeProduct, kKeySizeContent, kKeySizeLibraries};
// Files that carry version information on Windows; a text or data file has
// none, and its time comparison is expected.
const char* const kProgramExtensions[] = {".exe", ".dll", ".ocx", ".cpl", ".drv", ".sys", ".scr"};

bool BadFileCharacter(char c) {
  return static_cast<unsigned char>(c) < 32 || strchr("<>:\"|?*", c) != nullptr;
}

bool HasBadCharacter(const char* text) {
  for (; *text; ++text)
    if (BadFileCharacter(*text)) return true;
  return false;
}

// The destination part of a list line: up to the first comma, "*" removed.
size_t DestPartLength(const char* line) {
  const char* comma = strchr(line, ',');
  size_t n = comma ? static_cast<size_t>(comma - line) : strlen(line);
  return n > 0 && line[n - 1] == '*' ? n - 1 : n;
}

bool EndsWithNoCase(const std::string& text, const char* end) {
  size_t n = strlen(end);
  return text.size() >= n && EqualsNoCase(text.c_str() + text.size() - n, end);
}

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

struct Checker {
  PackageReport report;
  void Add(bool error, int line, const std::string& text, const char* file = kSetupScriptName) {
    report.findings.push_back(Finding{error, file, line, text});
    ++(error ? report.errors : report.warnings);
  }
};

struct RequiredKey {
  const char* key;
  const char* effect;
};
const RequiredKey kRequiredKeys[] = {
    {kKeyKey, "the install fails before anything is copied or recorded"},
    {kKeyName, "the install fails after the \"Core\" files are copied, and the product is not marked as installed"},
    {kKeyTarget, "the install fails after the files are copied, before any shortcut"},
    {kKeyMenu, "the install fails after the files are copied, before any shortcut"},
    {kKeyIcon, "the install fails after the Start-menu shortcuts, without a desktop shortcut"},
};

void CheckLog(const Profile& script, Checker* c) {
  const ProfileSection* log = FindProfileSection(script, kSectionLog);
  for (const RequiredKey& r : kRequiredKeys) {
    char value[kListPathSize];
    ReadProfileString(script, kSectionLog, r.key, "", value, sizeof(value));
    const ProfileEntry* entry = nullptr;
    if (log)
      for (const ProfileEntry& e : log->entries)
        if (!entry && EqualsNoCase(e.name.c_str(), r.key)) entry = &e;
    int line = entry ? entry->line : log ? log->line : 0;
    if (value[0] == '\0') {
      c->Add(true, line, std::string("missing key: [Log] has no \"") + r.key + "\" value: " + r.effect +
                             ". Fix: add " + r.key + "=... to [Log].");
    } else if (EqualsNoCase(r.key, kKeyMenu) && !strchr(value, '\\')) {
      c->Add(true, line, std::string("menu: \"Menu=") + value +
                             "\" has no backslash: the install fails after all files are copied and recorded, "
                             "before any shortcut, and the uninstaller refuses the product. Fix: write it as "
                             "Menu=FOLDER\\NAME.");
    }
  }
}

const char* VerdictText(ListLineVerdict v) {
  switch (v) {
    case kLineNoDest: return "malformed line: no destination file name before the comma: the copy goes to the install folder itself and fails, so the install fails. Fix: name the file before the comma.";
    case kLineFolderDest: return "malformed line: the destination ends in a backslash: the copy goes to a folder name and fails, so the install fails. Fix: end the destination with the file name.";
    case kLineNoSource: return "malformed line: nothing after the comma: the source is the setup folder itself, its copy fails, so the install fails. Fix: name the source file after the comma, or drop the comma.";
    case kLineLeavesFolder: return "path leaves its folder: the destination or the source has a \"..\" part, a drive, a leading backslash, a network path or a device name (CON, NUL, COM1, LPT1, ...), so it could name another program's file or a device: the install refuses this line and fails. Fix: write both paths relative to their folder (the product folder, the package folder), with no part named like a device.";
    case kLineBadCharacter: return "malformed line: a name holds a character Windows refuses in file names (< > : \" | ? *, or a control character): the copy fails, so the install fails. Fix: rename the file.";
    default: return "";
  }
}

struct SeenDestination {
  int line;
};

void CheckList(const Profile& script, const char* listName, const SourceLookup& lookup,
               std::map<std::string, SeenDestination>* seen, Checker* c) {
  const ProfileSection* section = FindProfileSection(script, listName);
  if (!section) return;
  // The list as the install reads it: whole, however long.
  std::vector<const ProfileEntry*> entries = SectionReadEntries(*section);

  char destFolder[kListPathSize];
  CopyBounded(kDefaultInstallDir, destFolder, sizeof(destFolder));
  AppendWorldFolderTo(destFolder, sizeof(destFolder));
  FormatBounded(destFolder, sizeof(destFolder), "%s\\", std::string(destFolder).c_str());

  for (const ProfileEntry* entry : entries) {
    int line = entry->line;
    std::string whole = entry->name + (entry->hasValue ? "=" + entry->value : "");
    const char* text = whole.c_str();
    FileListLine parsed;
    ListLineVerdict verdict = CheckListLine(destFolder, text, &parsed);
    if (verdict == kLineComment) continue;
    if (verdict == kLineDestTooLong) {
      c->Add(true, line, "path too long: \"" + std::string(destFolder) + "\" and this destination make " +
                             std::to_string(strlen(destFolder) + DestPartLength(text)) +
                             " characters, more than 259: at the default destination the install stops at this "
                             "line and fails. Fix: shorten the destination to at most " +
                             std::to_string(kListPathSize - 1 - strlen(destFolder)) + " characters.");
      continue;
    }
    if (verdict == kLineSourceTooLong) {
      c->Add(true, line, "path too long: the source path is longer than 259 characters even without the setup "
                         "folder: the install stops at this line and fails. Fix: shorten the source path.");
      continue;
    }
    if (verdict != kLineOk) {
      c->Add(true, line, VerdictText(verdict));
      continue;
    }
    std::string dest = parsed.dest + parsed.destStart, source = parsed.source + parsed.sourceStart;
    SourceFacts facts = lookup(source);
    if (!facts.found) {
      c->Add(true, line, "missing source: \"" + source +
                             "\" is not in the package: its copy fails and the install fails at this line. Fix: "
                             "add the file to the package folder or correct the line.");
      continue;
    }
    auto first = seen->find(Lower(dest));
    bool duplicate = first != seen->end();
    if (duplicate) {
      c->Add(false, line, "duplicate: \"" + dest + "\" is also installed by line " +
                              std::to_string(first->second.line) +
                              ": this line replaces (or, with \"*\", keeps) the file that line installed. Fix: "
                              "remove one of the two lines.");
    } else {
      seen->emplace(Lower(dest), SeenDestination{line});
      bool core = EqualsNoCase(listName, kSectionCore);
      (core ? (EndsWithNoCase(source, ".dll") ? c->report.dllBytes : c->report.coreBytes)
            : c->report.contentBytes) += facts.size;
    }
    bool program = false;
    for (const char* ext : kProgramExtensions) program = program || EndsWithNoCase(source, ext);
    if (!duplicate && EqualsNoCase(listName, kSectionCore) && program && !facts.hasVersion)
      c->Add(false, line, "no version: \"" + source +
                              "\" has no version information: over an installed copy the install compares "
                              "last-write times instead, so an installed file dated later counts as newer "
                              "whatever its version. Fix: give the file a version resource.");
  }
}

}  // namespace

ListLineVerdict CheckListLine(const char* destFolder, const char* line, FileListLine* out) {
  // Where the package will lie on the user's machine is not known here, so
  // the source path is checked on its own: one that does not fit even then
  // cannot fit with any setup folder in front of it.
  ListLineKind kind = ParseFileListLine(destFolder, "", line, out);
  if (kind == kListLineComment) return kLineComment;
  if (kind == kListLineLeavesFolder) return kLineLeavesFolder;
  if (kind == kListLineTooLong)
    return strlen(destFolder) + DestPartLength(line) > kListPathSize - 1 ? kLineDestTooLong : kLineSourceTooLong;
  const char* dest = out->dest + out->destStart;
  const char* source = out->source + out->sourceStart;
  if (dest[0] == '\0') return kLineNoDest;
  if (dest[strlen(dest) - 1] == '\\') return kLineFolderDest;
  if (source[0] == '\0') return kLineNoSource;
  if (HasBadCharacter(dest) || HasBadCharacter(source)) return kLineBadCharacter;
  return kLineOk;
}

PackageReport CheckPackage(const Profile& script, bool licensePresent, const SourceLookup& lookup) {
  Checker c;
  CheckLog(script, &c);
  std::map<std::string, SeenDestination> seen;
  CheckList(script, kSectionCore, lookup, &seen, &c);
  CheckList(script, kSectionContent, lookup, &seen, &c);

  // The wizard adds the three reserved sizes as unsigned 32-bit numbers.
  unsigned reserved = 0;
  for (const char* key : kReserveKeys) reserved += ReadProfileInt(script, kSectionReserve, key);
  unsigned long long needed = c.report.dllBytes + c.report.coreBytes + c.report.contentBytes;
  if (needed > reserved) {
    const ProfileSection* s = FindProfileSection(script, kSectionReserve);
    c.Add(false, s ? s->line : 0,
          "reserve: [ReservedDiskSpace] reserves " + std::to_string(reserved) + " bytes, but the listed files take " +
              std::to_string(needed) +
              ": the disk-space check lets the install start on a drive without room for it. Fix: run "
              "lfpack check --fix-reserve on the package, or raise the sizes.");
  }
  if (!licensePresent)
    c.Add(false, 0,
          "no licence: the package has no \"license.txt\": the setup shows \"Error accessing file\" at the licence "
          "dialog and ends. Fix: add license.txt beside LFSetup.exe.",
          kLicenseFileName);
  return c.report;
}

void CheckUtf8Lines(const std::string& text, const char* file, const char* effect, PackageReport* report) {
  int line = 1;
  for (size_t start = 0; start < text.size(); ++line) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    if (!IsValidUtf8(text.data() + start, end - start)) {
      report->findings.push_back(Finding{false, file, line,
                                         std::string("not UTF-8: the line is in another code page: ") + effect +
                                             ". Fix: save the file as UTF-8."});
      ++report->warnings;
    }
    start = end + 1;
  }
}

std::string FormatFinding(const Finding& f) {
  return f.file + (f.line > 0 ? ":" + std::to_string(f.line) : std::string()) + (f.error ? ": error: " : ": warning: ") +
         f.text;
}

bool HasVersionResource(const std::string& bytes, uint32_t* versionMs, uint32_t* versionLs) {
  if (bytes.compare(0, 2, "MZ") != 0) return false;
  // The block's key in UTF-16, then (aligned to 4 bytes) the fixed file
  // information's signature 0xFEEF04BD.
  static const char kKey[] = "V\0S\0_\0V\0E\0R\0S\0I\0O\0N\0_\0I\0N\0F\0O\0\0";
  static const char kSignature[] = "\xBD\x04\xEF\xFE";
  const std::string key(kKey, sizeof(kKey));
  for (size_t at = bytes.find(key); at != std::string::npos; at = bytes.find(key, at + 1)) {
    // The block starts 6 bytes before its key; the key ends 38 bytes into
    // it, padded to 40.
    size_t fixed = at + 34;
    // The signature, the structure's version, then the file version.
    if (at >= 6 && fixed + 16 <= bytes.size() && bytes.compare(fixed, 4, kSignature, 4) == 0) {
      auto word = [&](size_t from) {
        const unsigned char* b = reinterpret_cast<const unsigned char*>(bytes.data()) + from;
        return static_cast<uint32_t>(b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24);
      };
      if (versionMs) *versionMs = word(fixed + 8);
      if (versionLs) *versionLs = word(fixed + 12);
      return true;
    }
  }
  return false;
}
