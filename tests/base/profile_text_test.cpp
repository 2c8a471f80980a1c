#include "base/name_table.h"
#include "base/partial_name.h"
#include "base/profile_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using V = std::vector<std::string>;

std::string Written(const ProfileText& doc) {
  HeapText out;
  size_t length = 0;
  return WriteProfileText(doc, &out, &length) ? std::string(out.get(), length) : "(heap)";
}

// Read back as written: comments and order kept, blank lines dropped, blanks around names and values dropped, a
// header's name ending at its last "]", "\r\n" line ends and a blank line before every section but the first.
TEST(ProfileText, ParsesAndWritesBack) {
  struct { std::string text, written; } cases[] = {
      {"; head\n[A]\n; c\nk=v\n\n \t\nbare\n[B]\nx=1", "; head\r\n\r\n[A]\r\n; c\r\nk=v\r\nbare\r\n\r\n[B]\r\nx=1\r\n"},
      {"[ A ]\n  k \t=  v w  \n", "[A]\r\nk=v w\r\n"}, {"[ A] b ]c\n[B\n", "[A] b]\r\n[B\r\n"},
      {"\xEF\xBB\xBF[A]\rk=v\r", "[A]\r\nk=v\r\n"}, {"[A]\r\nk=v\x1a", "[A]\r\nk=v\r\n"}, {"", ""}};
  for (const auto& c : cases) {
    ProfileText doc;
    ASSERT_EQ(1, ParseProfileText(c.text.data(), c.text.size(), &doc));
    EXPECT_EQ(c.written, Written(doc)) << c.text;
  }
}

const char kScript[] = "lead=0\n[Main]\n Key = plain \ndup=first\ndup=second\nq1=\"quoted\"\nq2='single'\n"
                       "q3=\"mixed'\nq4=\"\nbare line\nempty=\n[main]\nother=2\n[Other]\nk=o\n; c\nb\n";

// Names match folded, the first of a key or section is read, one pair of matching quotes is dropped, a line
// without "=" is missing; the value is cut to the buffer.
TEST(ProfileText, ReadsValuesAsTheProfileFunctions) {
  struct { const char *section, *key; size_t size; const char* value; } cases[] = {
      {"main", "KEY", 64, "plain"}, {"Main", "Ke", 64, "-"}, {"Main", "dup", 64, "first"},
      {"Main", "other", 64, "-"}, {"Main", "q1", 64, "quoted"}, {"Main", "q2", 64, "single"},
      {"Main", "q3", 64, "\"mixed'"}, {"Main", "q4", 64, "\""}, {"Main", "bare line", 64, "-"},
      {"Main", "empty", 64, ""}, {"Nowhere", "k", 64, "-"}, {"", "lead", 64, "-"}, {"OTHER", "k", 64, "o"},
      {"Main", "key", 5, "plai"}, {"Main", "q1", 3, "qu"}};
  ProfileText doc;
  ASSERT_EQ(1, ParseProfileText(kScript, strlen(kScript), &doc));
  for (const auto& c : cases) {
    std::vector<char> buffer(c.size, 'x');
    size_t length = ReadProfileValue(&doc, c.section, c.key, "-", buffer.data(), c.size);
    EXPECT_EQ(c.value, std::string(buffer.data(), length)) << c.section << "/" << c.key;
    EXPECT_EQ('\0', buffer[length]) << c.section << "/" << c.key;
  }
  // A section read: comments left out, a bare line whole, each entry ended by a zero, the list by two more.
  struct { const char* section; V entries; } sections[] = {
      {"MAIN", V{"Key=plain", "dup=first", "dup=second", "q1=\"quoted\"", "q2='single'", "q3=\"mixed'", "q4=\"",
                 "bare line", "empty="}},
      {"other", V{"k=o", "b"}}, {"Nowhere", V{}}};
  for (const auto& s : sections) {
    HeapText out;
    size_t length = 0;
    ASSERT_EQ(1, ReadProfileSectionText(&doc, s.section, &out, &length));
    std::string expected;
    for (const std::string& e : s.entries) expected += e + '\0';
    EXPECT_EQ(expected + std::string(2, '\0'), std::string(out.get(), length + 2)) << s.section;
  }
}

// A change as WritePrivateProfileStringA makes it ('s'): the first key changed in place under its own spelling, a
// new key at the end of its section, a new section at the end; a null value deletes the key, a null key the
// section, and one set again is new. SetEmptyKeys ('e', key: the list) and DropEmptyKeys ('d') on file records.
TEST(ProfileText, SetsDeletesAndEmptiesKeys) {
  struct Op { char what; const char *section, *key, *value; };
  const std::string ab = "[A]\nk=1\nk=2\n[B]\nx=1\n", tail = "\r\n\r\n[B]\r\nx=1\r\n";
  struct { std::string text; std::vector<Op> ops; std::string written; } cases[] = {
      {ab, {{'s', "a", "K", "3"}}, "[A]\r\nk=3\r\nk=2" + tail},
      {ab, {{'s', "A", "n", "3"}}, "[A]\r\nk=1\r\nk=2\r\nn=3" + tail},
      {ab, {{'s', "C", "n", "3"}}, "[A]\r\nk=1\r\nk=2" + tail + "\r\n[C]\r\nn=3\r\n"},
      {"[A]\nk=1\nm=2\n", {{'s', "A", "k", nullptr}, {'s', "A", "k", "3"}}, "[A]\r\nm=2\r\nk=3\r\n"},
      {ab, {{'s', "b", nullptr, nullptr}, {'s', "B", "y", "2"}}, "[A]\r\nk=1\r\nk=2\r\n\r\n[B]\r\ny=2\r\n"},
      {"[F]\na.txt=1\nb.txt\n;c\nd=4\nd=5\n[G]\n", {{'e', "f", "A.TXT\0new\0b.txt\0D\0x\0NEW\0"}},
       "[F]\r\na.txt=\r\nb.txt=\r\n;c\r\nd=\r\nd=5\r\nnew=\r\nx=\r\n\r\n[G]\r\n"},
      {"[A]\nk=1\n", {{'e', "F", "x\0y\0"}}, "[A]\r\nk=1\r\n\r\n[F]\r\nx=\r\ny=\r\n"},
      {"[A]\nk=1\n", {{'e', "F", ""}}, "[A]\r\nk=1\r\n"},
      {"[F]\na=\nb=1\n;c=\nbare\n[G]\nz=\n", {{'d', "f"}}, "[F]\r\nb=1\r\n;c=\r\nbare\r\n\r\n[G]\r\nz=\r\n"}};
  for (const auto& c : cases) {
    ProfileText doc;
    ASSERT_EQ(1, ParseProfileText(c.text.data(), c.text.size(), &doc));
    for (const Op& op : c.ops) {
      if (op.what == 'd') DropEmptyKeys(&doc, op.section);
      else ASSERT_EQ(1, op.what == 's' ? SetProfileValue(&doc, op.section, op.key, op.value)
                                       : SetEmptyKeys(&doc, op.section, op.key)) << c.text;
    }
    EXPECT_EQ(c.written, Written(doc)) << c.text;
  }
}

// 20,000 files recorded, half of them again in other letters and 10,000 new: every old one emptied in its place,
// every new one added once, after them.
TEST(ProfileText, SetEmptyKeysKeepsManyKeysApart) {
  std::string text = "[F]\n", keys;
  for (int i = 0; i < 20000; ++i) text += "f" + std::to_string(i) + "=1\n";
  for (int i = 10000; i < 30000; ++i) keys += "F" + std::to_string(i) + '\0';
  ProfileText doc;
  ASSERT_EQ(1, ParseProfileText(text.data(), text.size(), &doc));
  ASSERT_EQ(1, SetEmptyKeys(&doc, "F", (keys + '\0').c_str()));
  ScriptSection* s = FindProfileSection(&doc, "F");
  ASSERT_EQ(30000u, s->count);
  for (size_t i = 0; i < s->count; ++i) {
    std::string expected = (i < 20000 ? "f" : "F") + std::to_string(i) + (i < 10000 ? "=1" : "=");
    ASSERT_EQ(expected, std::string(s->entries[i].key) + "=" + s->entries[i].value) << i;
  }
}

// The suffix is appended where it fits (32 bytes: paths up to 23); a longer path keeps its length, the name's last
// 8 bytes giving way; a name of 8 bytes or fewer there, or a path that does not fit itself, has no partial name.
TEST(PartialName, AppendsOrReplacesTheNamesEnd) {
  const std::string folder = "C:\\Quillara\\ab\\", suffix = ".~lfpart";  // 15 bytes
  struct { std::string path, partial; } cases[] = {
      {"C:\\Q\\a.dll", "C:\\Q\\a.dll" + suffix}, {folder + "abcdefgh", folder + "abcdefgh" + suffix},
      {folder + "abcdefghi", folder + "a" + suffix}, {folder + "x\\abcdefgh", ""},
      {"abcdefghijklmnopqrstuvwx", "abcdefghijklmnop" + suffix}, {std::string(31, 'a'), std::string(23, 'a') + suffix},
      {std::string(32, 'a'), ""}};
  for (const auto& c : cases) {
    std::vector<char> out(32);
    ASSERT_EQ(c.partial.empty() ? 0 : 1, BuildPartialName(c.path.c_str(), out.data(), out.size())) << c.path;
    if (!c.partial.empty()) EXPECT_EQ(c.partial, out.data()) << c.path;
    if (!c.partial.empty()) EXPECT_EQ(1, IsPartialName(out.data())) << c.path;
  }
  struct { const char* name; int partial; } names[] = {
      {"a.dll.~lfpart", 1}, {"A.DLL.~LFPart", 1}, {".~lfpart", 1}, {"a.~lfpar", 0}, {"a.~lfpart.x", 0}, {"lfpart", 0}};
  for (const auto& n : names) EXPECT_EQ(n.partial, IsPartialName(n.name)) << n.name;
}

// Names found again folded, "/" as "\" for paths only; a prefix or an extension of a name is another name, and an
// empty slot answers a name not there. Names that compare the same hash the same.
TEST(NameTable, FindsNamesAsWindowsComparesThem) {
  const V names = {"a\\B", "key/x", "abc", "ab"};
  struct { NameKind kind; const char* name; int item; } cases[] = {
      {kPathNames, "A/b", 0}, {kKeyNames, "A/b", -1}, {kKeyNames, "A\\b", 0}, {kPathNames, "KEY\\X", 1},
      {kKeyNames, "KEY/X", 1}, {kKeyNames, "AB", 3}, {kKeyNames, "abC", 2}, {kKeyNames, "a", -1},
      {kPathNames, "abcd", -1}};
  for (const auto& c : cases) {
    NameTable table;
    ASSERT_EQ(1, InitNameTable(&table, names.size(), c.kind));
    auto nameOf = [&names](uint32_t item, size_t* length) {
      *length = names[item].size();
      return names[item].c_str();
    };
    for (size_t i = 0; i < names.size(); ++i)
      *NameSlot(table, names[i].c_str(), names[i].size(), nameOf) = static_cast<uint32_t>(i + 1);
    EXPECT_EQ(static_cast<uint32_t>(c.item + 1), *NameSlot(table, c.name, strlen(c.name), nameOf)) << c.name;
    for (int i = 0; i < static_cast<int>(names.size()); ++i) {
      const std::string& n = names[i];
      EXPECT_EQ(i == c.item, SameName(n.c_str(), n.size(), c.name, strlen(c.name), c.kind)) << n << " " << c.name;
      if (i == c.item) EXPECT_EQ(HashName(n.c_str(), n.size(), c.kind), HashName(c.name, strlen(c.name), c.kind));
    }
  }
}

}  // namespace
