#include "base/payload_format.h"
#include "base/tree_entry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A folder link (a junction, attributes 0x410) is removed as a link and never walked: what it points to is not the
// product's. Files, and links to files, are deleted; real folders walked; "." and ".." skipped.
TEST(ChooseTreeEntryAction, NeverWalksIntoALinkedFolder) {
  struct { const char* name; unsigned long attributes; TreeEntryAction action; } cases[] = {
      {"saved.vorn", 0x20, kTreeDeleteFile}, {"mine.vorn", 0x21, kTreeDeleteFile}, {"Worlds", 0x10, kTreeDescend},
      {"Elsewhere", 0x410, kTreeRemoveLink}, {"note.lnk", 0x420, kTreeDeleteFile}, {".", 0x10, kTreeSkip},
      {"..", 0x10, kTreeSkip}, {"...", 0x10, kTreeDescend}};
  for (const auto& c : cases) EXPECT_EQ(c.action, ChooseTreeEntryAction(c.name, c.attributes)) << c.name;
}

// Room is short below the need plus the reserve, also when the need named is near 2^64 (the sum would wrap).
TEST(RoomIsShort, NeedPlusReserveWithoutWrapping) {
  const uint64_t huge = ~0ull;
  struct { uint64_t free, needed; int shortOfRoom; } cases[] = {
      {110, 100, 0}, {109, 100, 1}, {9, 0, 1}, {10, 0, 0}, {huge, huge - 9, 1}, {huge, huge - 10, 0}};
  for (const auto& c : cases) EXPECT_EQ(c.shortOfRoom, RoomIsShort(c.free, c.needed, 10)) << c.free << " " << c.needed;
}

// A trailer read back whole, behind up to 7 zero bytes a signer aligns with; one whose payload does not fit before it,
// or whose index is larger than the payload, is a file cut short (-1); other bytes are no trailer (0).
TEST(ReadTrailer, FindsTheTrailerAtTheSignedEnd) {
  const PayloadTrailer written = {1000, 500, 120, 0xDEADBEEF};
  unsigned char trailer[kTrailerSize];
  WriteTrailer(written, trailer);
  struct { size_t zeros; uint64_t end; unsigned char flip; int found; } cases[] = {
      {0, 2000, 0, 1}, {7, 2000, 0, 1}, {8, 2000, 0, 0}, {0, 1540, 0, 1}, {0, 1539, 0, -1}, {3, 1543, 0, 1},
      {3, 1542, 0, -1}, {0, 2000, 1, 0}, {0, 2000, 39, 0}, {0, 20, 0, 0}, {0, 2000, 26, -1}};
  for (const auto& c : cases) {
    std::vector<unsigned char> tail(trailer, trailer + kTrailerSize);
    if (c.flip) tail[c.flip] ^= 1;
    tail.insert(tail.end(), c.zeros, 0);
    PayloadTrailer read = {};
    EXPECT_EQ(c.found, ReadTrailer(tail.data(), tail.size(), c.end, &read)) << c.zeros << " zeros, end " << c.end;
    if (c.found != 1) continue;
    EXPECT_EQ(written.payloadOffset, read.payloadOffset);
    EXPECT_EQ(written.payloadSize, read.payloadSize);
    EXPECT_EQ(written.indexSize, read.indexSize);
    EXPECT_EQ(written.checksum, read.checksum);
  }
}

// An index of two files reads back whole; a cut entry, a name without its zero, an unknown method, a stored file whose sizes differ, or kept bytes beyond
// the files' data make it unreadable.
TEST(ReadIndex, RoundTripsAndRefusesWhatDoesNotFit) {
  CarriedFile a = {"help\\ReadMe.txt", 0, 70, 100, 132000000000000000ull, 0, 0, kCarriedZlib, 0};
  CarriedFile b = {"LFViewer.exe", 70, 30, 30, 5, 0x00020001, 0x23, kCarriedStored, 1};
  std::vector<unsigned char> index(4 + 2 * 64);
  WriteIndexCount(2, index.data());
  size_t size = 4;
  size += WriteIndexEntry(a, index.data() + size);
  size += WriteIndexEntry(b, index.data() + size);
  CarriedFile read[2];
  size_t count = 0;
  ASSERT_EQ(1, ReadIndex(index.data(), size, 100, read, 2, &count));
  ASSERT_EQ(2u, count);
  EXPECT_STREQ("help\\ReadMe.txt", read[0].name);
  EXPECT_EQ(132000000000000000ull, read[0].writeTime);
  EXPECT_EQ(kCarriedZlib, read[0].method);
  EXPECT_EQ(1, read[1].hasVersion);
  EXPECT_EQ(0x23u, read[1].versionLs);
  EXPECT_EQ(0, ReadIndex(index.data(), size, 99, read, 2, &count));   // b's bytes end at 100
  EXPECT_EQ(0, ReadIndex(index.data(), size - 1, 100, read, 2, &count));
  struct { size_t at; unsigned char value; } damage[] = {
      {4 + 2 + 15, 'x'},                 // a's name loses its zero
      {4 + 2 + 16, 3},                   // a's method unknown
      {4 + 60 + 2 + 13 + 10, 31}};       // b stored, kept size 31 for 30 bytes
  for (const auto& d : damage) {
    std::vector<unsigned char> bad(index.begin(), index.begin() + size);
    bad[d.at] = d.value;
    EXPECT_EQ(0, ReadIndex(bad.data(), size, 100, read, 2, &count)) << d.at;
  }
}

// Headers of a program: "MZ", the PE header at 0x80 with two sections ending at 0x2400 and 0x1000, a 64-bit or
// 32-bit optional header with `count` data directories, and a certificate table at `certificate` of `size` bytes.
std::vector<unsigned char> Headers(bool wide, uint32_t count, uint32_t certificate, uint32_t size) {
  std::vector<unsigned char> h(1024, 0);
  auto put = [&](size_t at, uint32_t value) { for (int i = 0; i < 4; ++i) h[at + i] = (value >> (8 * i)) & 0xFF; };
  h[0] = 'M', h[1] = 'Z';
  put(0x3C, 0x80);
  h[0x80] = 'P', h[0x81] = 'E';
  put(0x86, 2);  // sections
  size_t optional = 0x80 + 24, fixed = wide ? 112 : 96;
  put(0x80 + 20, static_cast<uint32_t>(fixed + 16 * 8));  // the optional header's size
  put(optional, wide ? 0x20B : 0x10B);
  put(optional + fixed - 4, count);
  put(optional + fixed + 32, certificate), put(optional + fixed + 36, size);
  size_t sections = optional + fixed + 16 * 8;
  put(sections + 16, 0x2000), put(sections + 20, 0x400);
  put(sections + 40 + 16, 0x800), put(sections + 40 + 20, 0x800);
  return h;
}

// The signed image ends at a certificate table that runs to the file's end; the image itself after its last
// section's data.
TEST(SignedImageEnd, AtACertificateTableThatEndsTheFile) {
  struct { bool wide; uint32_t count, certificate, size; uint64_t file, end; } cases[] = {
      {true, 16, 9000, 1000, 10000, 9000}, {false, 16, 9000, 1000, 10000, 9000}, {true, 16, 9000, 999, 10000, 10000},
      {true, 16, 0, 0, 10000, 10000}, {true, 4, 9000, 1000, 10000, 10000}, {true, 16, 10000, 1000, 10000, 10000}};
  for (const auto& c : cases) {
    std::vector<unsigned char> h = Headers(c.wide, c.count, c.certificate, c.size);
    EXPECT_EQ(c.end, SignedImageEnd(h.data(), h.size(), c.file)) << c.certificate << "+" << c.size << " of " << c.file;
    EXPECT_EQ(0x2400u, ImageEnd(h.data(), h.size()));
  }
  std::vector<unsigned char> text(1024, 'x');
  EXPECT_EQ(10000u, SignedImageEnd(text.data(), text.size(), 10000));
  EXPECT_EQ(0u, ImageEnd(text.data(), text.size()));
}

}  // namespace

// The install finds each list line's file in the index through a table: by its path in any letter case and with
// either slash, never a name that merely begins or ends like another, the first of two entries of one name, and
// nothing for a name the package lacks.
TEST(FindCarriedFile, FindsAPathAsWindowsDoesAndOnlyThatPath) {
  CarriedFile files[] = {{"help\\ReadMe.txt"}, {"LFViewer.exe"}, {"LFViewer.exe.txt"}, {"data\\a"},
                         {"data\\ab"},        {"DATA\\A"}};
  NameTable table;
  ASSERT_EQ(1, IndexCarriedFiles(files, 6, &table));
  struct { const char* path; int found; } cases[] = {
      {"HELP/readme.TXT", 0}, {"help\\README.txt", 0}, {"lfviewer.exe", 1}, {"LFViewer.exe.TXT", 2},
      {"data/a", 3},          {"data\\AB", 4},         {"lfviewer.ex", -1}, {"data", -1},
      {"help\\", -1},        {"readme.txt", -1},        {"", -1}};
  for (const auto& c : cases)
    EXPECT_EQ(c.found < 0 ? nullptr : &files[c.found], FindCarriedFile(files, table, c.path)) << c.path;
}
