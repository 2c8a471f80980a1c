// Finding a name among many again in constant time: a hash table of item
// numbers over names that compare as Windows compares file and key names
// (ASCII letters folded; for paths, "/" taken as "\"). The file lists, the
// uninstall script's sections and the download's index hold thousands of
// names, and a walk through all of them for each one would grow with the
// square of their number. No Win32 here: tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// How names compare: keys of a script fold letters; paths also take "/" as
// "\".
enum NameKind { kKeyNames = 0, kPathNames = 1 };

uint32_t HashName(const char* name, size_t length, NameKind kind);
int SameName(const char* a, size_t aLength, const char* b, size_t bLength, NameKind kind);

struct NameTable {
  uint32_t* slots = nullptr;  // an item's number + 1; 0 for an empty slot
  size_t mask = 0;
  NameKind kind = kKeyNames;
  NameTable() = default;
  NameTable(const NameTable&) = delete;
  NameTable& operator=(const NameTable&) = delete;
  ~NameTable() { std::free(slots); }
};

// A table with room for `items` names (it stays at most half full). 0 when
// the heap is exhausted.
int InitNameTable(NameTable* table, size_t items, NameKind kind);

// The slot of the name: the one holding the item of that name, or the empty
// one where it belongs. nameOf(item, &length) gives an item's name.
template <typename NameOf>
uint32_t* NameSlot(const NameTable& table, const char* name, size_t length, NameOf nameOf) {
  for (size_t at = HashName(name, length, table.kind) & table.mask;; at = (at + 1) & table.mask) {
    uint32_t* slot = &table.slots[at];
    if (*slot == 0) return slot;
    size_t itemLength = 0;
    const char* itemName = nameOf(*slot - 1, &itemLength);
    if (SameName(itemName, itemLength, name, length, table.kind)) return slot;
  }
}
