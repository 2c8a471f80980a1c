// A text buffer taken from the C runtime's heap and freed by the operation
// that took it. The program allocates with malloc rather than new: new would
// bring the C++ runtime's exception machinery into a program that uses none.
#pragma once
#include <cstddef>
#include <cstdlib>

struct HeapText {
  char* p = nullptr;
  HeapText() = default;
  explicit HeapText(size_t size) { reset(size); }
  HeapText(const HeapText&) = delete;
  HeapText& operator=(const HeapText&) = delete;
  ~HeapText() { std::free(p); }
  // Frees what is held and takes size bytes (none for 0); null when the
  // heap is exhausted.
  void reset(size_t size = 0) {
    std::free(p);
    p = size ? static_cast<char*>(std::malloc(size)) : nullptr;
  }
  char* get() const { return p; }
  explicit operator bool() const { return p != nullptr; }
  char& operator[](size_t i) const { return p[i]; }
};
