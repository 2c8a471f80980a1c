#include "base/payload_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The standard check value, and the same sum taken in two parts.
TEST(Crc32, IeeeCheckValueInAnyParts) {
  EXPECT_EQ(0xCBF43926u, Crc32(0, "123456789", 9));
  EXPECT_EQ(0xCBF43926u, Crc32(Crc32(0, "1234", 4), "56789", 5));
  EXPECT_EQ(0u, Crc32(0, "", 0));
}

// Room is short below the need plus the reserve, also when the need named is near 2^64 (the sum would wrap).
TEST(RoomIsShort, NeedPlusReserveWithoutWrapping) {
  const uint64_t huge = ~0ull;
  struct { uint64_t free, needed; int shortOfRoom; } cases[] = {
      {110, 100, 0}, {109, 100, 1}, {9, 0, 1}, {10, 0, 0}, {huge, huge - 9, 1}, {huge, huge - 10, 0}};
  for (const auto& c : cases) EXPECT_EQ(c.shortOfRoom, RoomIsShort(c.free, c.needed, 10)) << c.free << " " << c.needed;
}

// A trailer read back whole, behind up to 7 zero bytes a signer aligns with; one whose cabinet does not fit before it
// is a file cut short (-1); other bytes are no trailer (0).
TEST(ReadTrailer, FindsTheTrailerAtTheSignedEnd) {
  const PayloadTrailer written = {1000, 500, 123456789012ull, 0xDEADBEEF};
  unsigned char trailer[kTrailerSize];
  WriteTrailer(written, trailer);
  struct { size_t zeros; uint64_t end; unsigned char flip; int found; } cases[] = {
      {0, 2000, 0, 1}, {7, 2000, 0, 1}, {8, 2000, 0, 0}, {0, 1540, 0, 1}, {0, 1539, 0, -1}, {3, 1543, 0, 1},
      {3, 1542, 0, -1}, {0, 2000, 1, 0}, {0, 2000, 39, 0}, {0, 20, 0, 0}};
  for (const auto& c : cases) {
    std::vector<unsigned char> tail(trailer, trailer + kTrailerSize);
    if (c.flip) tail[c.flip] ^= 1;
    tail.insert(tail.end(), c.zeros, 0);
    PayloadTrailer read = {};
    EXPECT_EQ(c.found, ReadTrailer(tail.data(), tail.size(), c.end, &read)) << c.zeros << " zeros, end " << c.end;
    if (c.found != 1) continue;
    EXPECT_EQ(written.cabinetOffset, read.cabinetOffset);
    EXPECT_EQ(written.cabinetSize, read.cabinetSize);
    EXPECT_EQ(written.unpackedSize, read.unpackedSize);
    EXPECT_EQ(written.checksum, read.checksum);
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
