// The text of an INI-format script file, as the Windows private-profile
// functions read it, and the same text held in memory to be changed and
// written back whole. The program reads and writes the uninstall script and
// the older removal log through this, so that a write can go to a new file
// that then takes the script's name in one step (a write of the profile
// functions rewrites the file in place, and a run ended half way left it
// cut). lfpack reads a setup script with the same line rules. No Win32 here:
// tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/heap_text.h"

// ---- Lines, as the profile functions split a file ----

// One line of the text: [begin, end) is its text with blanks (and Ctrl-Z)
// at both ends dropped; next is where the following line starts; number
// counts from 1.
struct ProfileLine {
  size_t begin, end, next;
  int number;
};

// The walk through a text's lines: {text, length} to start.
struct ProfileLines {
  const char* text;
  size_t length;
  size_t at = 0;
  int number = 0;
  int newlineLeft = 1;
};

// The next line (a UTF-8 byte-order mark before the first one is skipped);
// 0 after the last. Lines end at "\n", or at "\r" where no "\n" follows any
// more.
int NextProfileLine(ProfileLines* lines, ProfileLine* line);

// A "[name]" line: 1 with the name's span (to the last "]", blanks inside
// the brackets dropped); 0 for any other line.
int ProfileHeaderSpan(const char* text, const ProfileLine& line, size_t* nameBegin, size_t* nameEnd);

// An entry line: its key's end (blanks before "=" dropped) and its value's
// span (blanks after "=" dropped). hasValue 0 for a line without "=": its
// key is the whole line.
struct ProfileEntrySpan {
  size_t keyEnd, valueBegin;
  int hasValue;
};
ProfileEntrySpan EntrySpanOf(const char* text, const ProfileLine& line);

// 1 when the two names match as the profile functions match section and key
// names: ASCII letters folded, other bytes as they are.
int SameProfileName(const char* a, size_t aLength, const char* b, size_t bLength);

// ---- The text in memory ----

struct ScriptEntry {
  char* key;    // for a line without "=", the whole line
  char* value;  // null for a line without "="
  int line;     // in the text it was read from; 0 when added since
  int deleted;
};

struct ScriptSection {
  char* name;   // null for the lines before the first header
  int line;
  int deleted;
  ScriptEntry* entries;
  size_t count, capacity;
};

// Every string lives in blocks the document frees with itself.
struct ProfileBlock;

struct ProfileText {
  ScriptSection* sections = nullptr;
  size_t count = 0, capacity = 0;
  ProfileBlock* blocks = nullptr;
  ProfileText() = default;
  ProfileText(const ProfileText&) = delete;
  ProfileText& operator=(const ProfileText&) = delete;
  ~ProfileText() { Clear(); }
  void Clear();
};

// Reads text into doc (emptied first). Blank lines are left out; comment
// lines (";" first) are kept as entries, so that they are written back. 0
// when the heap is exhausted (doc is then empty).
int ParseProfileText(const char* text, size_t length, ProfileText* doc);

// The first section of that name, without regard to case; null when there
// is none.
ScriptSection* FindProfileSection(ProfileText* doc, const char* name);

// The value of the first entry of that key in the first section of that
// name, as GetPrivateProfileStringA gives it (one pair of matching quotes
// around it dropped) into buffer, cut to size - 1 bytes; the fallback when
// the section, the key or its "=" is missing. Returns the length written.
size_t ReadProfileValue(ProfileText* doc, const char* section, const char* key, const char* fallback,
                        char* buffer, size_t size);

// The section as GetPrivateProfileSectionA gives it, whole: every entry but
// comments as "key=value" or the bare line, each ended by a zero byte, the
// last followed by a second one (an empty section: two zero bytes). 0 when
// the heap is exhausted.
int ReadProfileSectionText(ProfileText* doc, const char* section, HeapText* out, size_t* length);

// Writes as WritePrivateProfileStringA does: key set to value in section,
// both made when missing (the key at the end of its section, the section at
// the end of the text); a null value deletes the key, a null key the whole
// section. 0 when the heap is exhausted.
int SetProfileValue(ProfileText* doc, const char* section, const char* key, const char* value);

// Every key of `keys` (names each ended by a zero byte, the list by a
// second one) set to an empty value in section, as one write per key would
// leave it, in time linear in the keys and the section: a key there already
// is emptied in its place, the others follow in their order, a key given
// twice counts once. 0 when the heap is exhausted.
int SetEmptyKeys(ProfileText* doc, const char* section, const char* keys);

// Deletes every entry of the section that names a file (a key with an empty
// value, not a comment): what the uninstaller consumes once the files are
// gone. The valued keys stay.
void DropEmptyKeys(ProfileText* doc, const char* section);

// The whole text as the profile functions write it: "[name]" lines, entries
// as "key=value" (or the bare line), lines ended by "\r\n", a blank line
// before every section but the first. 0 when the heap is exhausted.
int WriteProfileText(const ProfileText& doc, HeapText* out, size_t* length);
