#include "lfpack/profile_logic.h"

#include <cstring>

#include "base/text_util.h"

namespace {

bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1a;
}

// One line of the file: [begin, end) is its text with the blanks at both
// ends dropped; next is where the following line starts.
struct LineSpan {
  size_t begin, end, next;
  int number;
};

std::vector<LineSpan> SplitLines(const std::string& text) {
  std::vector<LineSpan> lines;
  int number = 0;
  // A UTF-8 byte-order mark is not part of the first line (Wine skips it).
  size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  for (size_t at = start; at < text.size();) {
    size_t stop = text.find('\n', at);
    if (stop == std::string::npos) stop = text.find('\r', at);
    size_t next = stop == std::string::npos ? text.size() : stop + 1;
    size_t begin = at, end = next;
    while (begin < end && IsProfileSpace(text[begin])) ++begin;
    while (end > begin && IsProfileSpace(text[end - 1])) --end;
    lines.push_back(LineSpan{begin, end, next, ++number});
    at = next;
  }
  return lines;
}

// The name of a section header line, or false when the line is none: the
// name runs to the last "]", blanks inside the brackets dropped; a "["
// line without one is an ordinary line.
bool HeaderName(const std::string& text, const LineSpan& l, std::string* name) {
  if (l.begin == l.end || text[l.begin] != '[') return false;
  size_t close = l.end - 1;
  while (close > l.begin && text[close] != ']') --close;
  if (close <= l.begin) return false;
  size_t begin = l.begin + 1;
  while (begin < close && IsProfileSpace(text[begin])) ++begin;
  while (close > begin && IsProfileSpace(text[close - 1])) --close;
  *name = text.substr(begin, close - begin);
  return true;
}

ProfileEntry ParseEntry(const std::string& text, const LineSpan& l) {
  std::string line = text.substr(l.begin, l.end - l.begin);
  size_t eq = line.find('=');
  if (eq == std::string::npos) return ProfileEntry{line, "", false, l.number};
  size_t nameEnd = eq, valueBegin = eq + 1;
  while (nameEnd > 0 && IsProfileSpace(line[nameEnd - 1])) --nameEnd;
  while (valueBegin < line.size() && IsProfileSpace(line[valueBegin])) ++valueBegin;
  return ProfileEntry{line.substr(0, nameEnd), line.substr(valueBegin), true, l.number};
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
  std::string name;
  for (const LineSpan& l : SplitLines(text)) {
    if (l.begin == l.end) continue;
    if (HeaderName(text, l, &name)) {
      profile.sections.push_back(ProfileSection{name, l.number, {}});
    } else if (!profile.sections.empty()) {
      profile.sections.back().entries.push_back(ParseEntry(text, l));
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
  std::vector<LineSpan> lines = SplitLines(text);
  std::string name;
  bool inSection = false;
  size_t insertAt = std::string::npos;  // after the section's last non-blank line
  for (const LineSpan& l : lines) {
    if (HeaderName(text, l, &name)) {
      if (inSection) break;
      inSection = EqualsNoCase(name.c_str(), section);
      if (inSection) insertAt = l.next;
      continue;
    }
    if (!inSection || l.begin == l.end) continue;
    if (EqualsNoCase(ParseEntry(text, l).name.c_str(), key))
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
