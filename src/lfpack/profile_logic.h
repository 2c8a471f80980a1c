// A reader of INI-format script files that answers as the Windows
// private-profile reads do, for the package checker: the checker sees a
// setup script exactly as the setup program will. No Win32 here.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

struct ProfileEntry {
  std::string name;   // the text before "=", blanks around it dropped; the whole line without "="
  std::string value;  // the text after "=", blanks around it dropped
  bool hasValue;      // the line holds "="
  int line;           // 1-based line number in the file
};

struct ProfileSection {
  std::string name;  // between "[" and the last "]", blanks around it dropped
  int line;
  std::vector<ProfileEntry> entries;  // every non-blank line, comments included
};

struct Profile {
  std::vector<ProfileSection> sections;  // file order; lines before the first header are left out
};

// Splits the text into sections and entries as the profile functions do:
// lines end at "\n" (or "\r" when no "\n" follows), blanks (and Ctrl-Z) at
// both ends of a line are dropped, blank lines are skipped.
Profile ParseProfile(const std::string& text);

// The first section of that name, without regard to case; null when absent.
const ProfileSection* FindProfileSection(const Profile& profile, const char* name);

// The entries a whole-section read returns, in order: comment lines
// (";" first) are left out.
std::vector<const ProfileEntry*> SectionReadEntries(const ProfileSection& section);

// GetPrivateProfileSectionA: every returned entry as "name=value" or the
// bare line, each ended by a zero byte, the list by a second one. A list
// that does not fit is cut after size - 2 bytes (mid-line if need be) and
// ended by two zero bytes; the result is then size - 2.
size_t ReadProfileSection(const Profile& profile, const char* section, char* buffer, size_t size);

// GetPrivateProfileStringA: the value of the first matching key, without
// one pair of matching surrounding quotes, cut to size - 1 characters; the
// default when the section or key is missing or the key line has no "=".
size_t ReadProfileString(const Profile& profile, const char* section, const char* key,
                         const char* fallback, char* buffer, size_t size);

// GetPrivateProfileIntA with default 0: the value as a whole number (sign,
// decimal or "0x" hexadecimal), stopping at the first other character.
unsigned ReadProfileInt(const Profile& profile, const char* section, const char* key);

// The file text with section/key set to value: an existing first key line
// is replaced, a missing key is added at the end of the section, a missing
// section at the end of the file. Other lines stay as they are.
std::string SetProfileValue(const std::string& text, const char* section, const char* key,
                            const std::string& value);
