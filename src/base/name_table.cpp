#include "base/name_table.h"

#include "base/text_util.h"

namespace {

char Canonical(char c, NameKind kind) { return kind == kPathNames && c == '/' ? '\\' : FoldAscii(c); }

}  // namespace

uint32_t HashName(const char* name, size_t length, NameKind kind) {
  // FNV-1a over the bytes as they compare.
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < length; ++i) {
    hash ^= static_cast<unsigned char>(Canonical(name[i], kind));
    hash *= 16777619u;
  }
  return hash;
}

int SameName(const char* a, size_t aLength, const char* b, size_t bLength, NameKind kind) {
  if (aLength != bLength) return 0;
  for (size_t i = 0; i < aLength; ++i)
    if (Canonical(a[i], kind) != Canonical(b[i], kind)) return 0;
  return 1;
}

int InitNameTable(NameTable* table, size_t items, NameKind kind) {
  size_t capacity = 16;
  while (capacity < 2 * items + 1) {
    if (capacity > (SIZE_MAX / sizeof(uint32_t)) / 2) return 0;
    capacity *= 2;
  }
  std::free(table->slots);
  table->slots = static_cast<uint32_t*>(std::calloc(capacity, sizeof(uint32_t)));
  table->mask = capacity - 1;
  table->kind = kind;
  return table->slots != nullptr;
}
