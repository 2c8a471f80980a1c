#include "lfpack/profile_logic.h"

#include <cstring>

#include "base/profile_text.h"
#include "base/text_util.h"

namespace {

// The blanks a number's text may begin with.
bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1a;
}

// A name of the text as the reads compare it: up to a zero byte in it, as
// the profile functions keep names as zero-terminated strings.
bool IsName(const std::string& text, size_t begin, size_t end, const char* name) {
  const void* zero = memchr(text.data() + begin, '\0', end - begin);
  if (zero) end = static_cast<size_t>(static_cast<const char*>(zero) - text.data());
  return SameProfileName(text.data() + begin, end - begin, name, strlen(name));
}

const ProfileEntry* FindEntry(const Profile& profile, const char* section, const char* key) {
  const ProfileSection* s = FindProfileSection(profile, section);
  if (!s) return nullptr;
  for (const ProfileEntry& e : s->entries)
    if (EqualsNoCase(e.name.c_str(), key)) return &e;
  return nullptr;
}

}  // namespace

Profile ParseProfile(const std::string& text) {
  Profile profile;
  ProfileLines lines = {text.data(), text.size()};
  ProfileLine l;
  size_t nameBegin, nameEnd;
  while (NextProfileLine(&lines, &l)) {
    if (l.begin == l.end) continue;
    if (ProfileHeaderSpan(text.data(), l, &nameBegin, &nameEnd)) {
      profile.sections.push_back(ProfileSection{text.substr(nameBegin, nameEnd - nameBegin), l.number, {}});
    } else if (!profile.sections.empty()) {
      ProfileEntrySpan span = EntrySpanOf(text.data(), l);
      profile.sections.back().entries.push_back(
          ProfileEntry{text.substr(l.begin, span.keyEnd - l.begin),
                       span.hasValue ? text.substr(span.valueBegin, l.end - span.valueBegin) : "",
                       span.hasValue != 0, l.number});
    }
  }
  return profile;
}

const ProfileSection* FindProfileSection(const Profile& profile, const char* name) {
  for (const ProfileSection& s : profile.sections)
    if (EqualsNoCase(s.name.c_str(), name)) return &s;
  return nullptr;
}

std::vector<const ProfileEntry*> SectionReadEntries(const ProfileSection& section) {
  std::vector<const ProfileEntry*> out;
  for (const ProfileEntry& e : section.entries)
    if (e.name.compare(0, 1, ";") != 0 && (!e.name.empty() || e.hasValue)) out.push_back(&e);
  return out;
}

size_t ReadProfileSection(const Profile& profile, const char* section, char* buffer, size_t size) {
  if (size == 0) return 0;
  std::string all;
  const ProfileSection* s = FindProfileSection(profile, section);
  if (s)
    for (const ProfileEntry* e : SectionReadEntries(*s))
      all += e->name + (e->hasValue ? "=" + e->value : "") + '\0';
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  size_t returned = all.size() <= size - 2 ? all.size() : size - 2;
  memcpy(buffer, all.data(), returned);
  buffer[returned] = '\0';
  buffer[returned + 1] = '\0';
  return returned;
}

size_t ReadProfileString(const Profile& profile, const char* section, const char* key,
                         const char* fallback, char* buffer, size_t size) {
  if (size == 0) return 0;
  const ProfileEntry* e = FindEntry(profile, section, key);
  std::string value = e && e->hasValue ? e->value : fallback;
  if (e && e->hasValue && value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
      value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  size_t n = value.size() < size - 1 ? value.size() : size - 1;
  memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

unsigned ReadProfileInt(const Profile& profile, const char* section, const char* key) {
  // The value is read into a small buffer first, as the Windows function does.
  char text[30];
  ReadProfileString(profile, section, key, "", text, sizeof(text));
  const char* p = text;
  while (IsProfileSpace(*p)) ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  unsigned base = 10;
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) base = 16, p += 2;
  unsigned result = 0;
  for (;; ++p) {
    unsigned digit = *p >= '0' && *p <= '9'   ? unsigned(*p - '0')
                     : *p >= 'a' && *p <= 'f' ? unsigned(*p - 'a' + 10)
                     : *p >= 'A' && *p <= 'F' ? unsigned(*p - 'A' + 10)
                                              : 99u;
    if (digit >= base) break;
    result = result * base + digit;
  }
  return negative ? 0u - result : result;
}

std::string SetProfileValue(const std::string& text, const char* section, const char* key,
                            const std::string& value) {
  std::string newline = text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  std::string line = std::string(key) + "=" + value;
  ProfileLines lines = {text.data(), text.size()};
  ProfileLine l;
  size_t nameBegin, nameEnd;
  bool inSection = false;
  size_t insertAt = std::string::npos;  // after the section's last non-blank line
  while (NextProfileLine(&lines, &l)) {
    if (ProfileHeaderSpan(text.data(), l, &nameBegin, &nameEnd)) {
      if (inSection) break;
      inSection = IsName(text, nameBegin, nameEnd, section);
      if (inSection) insertAt = l.next;
      continue;
    }
    if (!inSection || l.begin == l.end) continue;
    if (IsName(text, l.begin, EntrySpanOf(text.data(), l).keyEnd, key))
      return text.substr(0, l.begin) + line + text.substr(l.end);
    insertAt = l.next;
  }
  std::string out = text;
  if (insertAt == std::string::npos) {
    if (!out.empty() && out.back() != '\n') out += newline;
    return out + "[" + section + "]" + newline + line + newline;
  }
  std::string before = out.substr(0, insertAt);
  if (!before.empty() && before.back() != '\n') before += newline;
  return before + line + newline + out.substr(insertAt);
}
