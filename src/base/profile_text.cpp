#include "base/profile_text.h"

#include <cstdlib>
#include <cstring>

#include "base/name_table.h"
#include "base/text_util.h"

struct ProfileBlock {
  ProfileBlock* next;
  size_t used, size;
  char data[1];
};

namespace {

const char kNewline[] = "\r\n";
const size_t kBlockSize = 64 * 1024;

bool IsProfileSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == 0x1a;
}

// A copy of n bytes, zero-terminated, in the document's blocks.
char* Store(ProfileText* doc, const char* text, size_t n) {
  ProfileBlock* block = doc->blocks;
  if (!block || block->size - block->used < n + 1) {
    size_t size = n + 1 > kBlockSize ? n + 1 : kBlockSize;
    block = static_cast<ProfileBlock*>(std::malloc(sizeof(ProfileBlock) + size));
    if (!block) return nullptr;
    block->next = doc->blocks;
    block->used = 0;
    block->size = size;
    doc->blocks = block;
  }
  char* out = block->data + block->used;
  memcpy(out, text, n);
  out[n] = '\0';
  block->used += n + 1;
  return out;
}

// Room for one more item in an array that grows by doubling.
template <typename T>
int Reserve(T** items, size_t count, size_t* capacity) {
  if (count < *capacity) return 1;
  size_t grown = *capacity ? 2 * *capacity : 8;
  T* moved = static_cast<T*>(std::realloc(*items, grown * sizeof(T)));
  if (!moved) return 0;
  *items = moved;
  *capacity = grown;
  return 1;
}

ScriptSection* AddSection(ProfileText* doc, const char* name, size_t length, int line) {
  if (!Reserve(&doc->sections, doc->count, &doc->capacity)) return nullptr;
  char* stored = nullptr;
  if (name && !(stored = Store(doc, name, length))) return nullptr;
  ScriptSection* section = &doc->sections[doc->count++];
  *section = ScriptSection{stored, line, 0, nullptr, 0, 0};
  return section;
}

ScriptEntry* AddEntry(ProfileText* doc, ScriptSection* section, const char* key, size_t keyLength,
                       const char* value, size_t valueLength, int line) {
  if (!Reserve(&section->entries, section->count, &section->capacity)) return nullptr;
  char* storedKey = Store(doc, key, keyLength);
  char* storedValue = value ? Store(doc, value, valueLength) : nullptr;
  if (!storedKey || (value && !storedValue)) return nullptr;
  ScriptEntry* entry = &section->entries[section->count++];
  *entry = ScriptEntry{storedKey, storedValue, line, 0};
  return entry;
}

ScriptEntry* FindEntry(ScriptSection* section, const char* key) {
  size_t length = strlen(key);
  for (size_t i = 0; section && i < section->count; ++i) {
    ScriptEntry& e = section->entries[i];
    if (!e.deleted && SameProfileName(e.key, strlen(e.key), key, length)) return &e;
  }
  return nullptr;
}

ScriptSection* FindOrAddSection(ProfileText* doc, const char* name) {
  ScriptSection* section = FindProfileSection(doc, name);
  return section ? section : AddSection(doc, name, strlen(name), 0);
}

// An entry as a section read returns it: comments are not.
bool IsReadEntry(const ScriptEntry& e) { return !e.deleted && e.key[0] != ';' && (e.key[0] || e.value); }

}  // namespace

void ProfileText::Clear() {
  for (size_t i = 0; i < count; ++i) std::free(sections[i].entries);
  std::free(sections);
  sections = nullptr;
  count = capacity = 0;
  while (blocks) {
    ProfileBlock* next = blocks->next;
    std::free(blocks);
    blocks = next;
  }
}

int NextProfileLine(ProfileLines* lines, ProfileLine* line) {
  const char* text = lines->text;
  size_t length = lines->length, at = lines->at;
  // A UTF-8 byte-order mark is not part of the first line.
  if (at == 0 && length >= 3 && memcmp(text, "\xEF\xBB\xBF", 3) == 0) at = 3;
  if (at >= length) return 0;
  const void* stop = lines->newlineLeft ? memchr(text + at, '\n', length - at) : nullptr;
  if (!stop) {
    // Once no "\n" is left, none is looked for again.
    lines->newlineLeft = 0;
    stop = memchr(text + at, '\r', length - at);
  }
  size_t next = stop ? static_cast<size_t>(static_cast<const char*>(stop) - text) + 1 : length;
  size_t begin = at, end = next;
  while (begin < end && IsProfileSpace(text[begin])) ++begin;
  while (end > begin && IsProfileSpace(text[end - 1])) --end;
  *line = ProfileLine{begin, end, next, ++lines->number};
  lines->at = next;
  return 1;
}

int ProfileHeaderSpan(const char* text, const ProfileLine& line, size_t* nameBegin, size_t* nameEnd) {
  if (line.begin == line.end || text[line.begin] != '[') return 0;
  size_t close = line.end - 1;
  while (close > line.begin && text[close] != ']') --close;
  if (close <= line.begin) return 0;
  size_t begin = line.begin + 1;
  while (begin < close && IsProfileSpace(text[begin])) ++begin;
  while (close > begin && IsProfileSpace(text[close - 1])) --close;
  *nameBegin = begin;
  *nameEnd = close;
  return 1;
}

ProfileEntrySpan EntrySpanOf(const char* text, const ProfileLine& line) {
  const void* eq = memchr(text + line.begin, '=', line.end - line.begin);
  if (!eq) return ProfileEntrySpan{line.end, line.end, 0};
  size_t at = static_cast<size_t>(static_cast<const char*>(eq) - text);
  size_t keyEnd = at, valueBegin = at + 1;
  while (keyEnd > line.begin && IsProfileSpace(text[keyEnd - 1])) --keyEnd;
  while (valueBegin < line.end && IsProfileSpace(text[valueBegin])) ++valueBegin;
  return ProfileEntrySpan{keyEnd, valueBegin, 1};
}

int SameProfileName(const char* a, size_t aLength, const char* b, size_t bLength) {
  return SameName(a, aLength, b, bLength, kKeyNames);
}

int ParseProfileText(const char* text, size_t length, ProfileText* doc) {
  doc->Clear();
  ProfileLines lines = {text, length};
  ProfileLine line;
  ScriptSection* current = nullptr;
  while (NextProfileLine(&lines, &line)) {
    if (line.begin == line.end) continue;
    size_t nameBegin, nameEnd;
    if (ProfileHeaderSpan(text, line, &nameBegin, &nameEnd)) {
      current = AddSection(doc, text + nameBegin, nameEnd - nameBegin, line.number);
    } else {
      // Lines before the first header belong to no section: never read,
      // but written back.
      if (!current) current = AddSection(doc, nullptr, 0, 0);
      ProfileEntrySpan span = EntrySpanOf(text, line);
      if (current && !AddEntry(doc, current, text + line.begin, span.keyEnd - line.begin,
                               span.hasValue ? text + span.valueBegin : nullptr, line.end - span.valueBegin,
                               line.number))
        current = nullptr;
    }
    if (!current) {
      doc->Clear();
      return 0;
    }
  }
  return 1;
}

ScriptSection* FindProfileSection(ProfileText* doc, const char* name) {
  size_t length = strlen(name);
  for (size_t i = 0; i < doc->count; ++i) {
    ScriptSection& s = doc->sections[i];
    if (!s.deleted && s.name && SameProfileName(s.name, strlen(s.name), name, length)) return &s;
  }
  return nullptr;
}

size_t ReadProfileValue(ProfileText* doc, const char* section, const char* key, const char* fallback,
                        char* buffer, size_t size) {
  if (size == 0) return 0;
  ScriptEntry* entry = FindEntry(FindProfileSection(doc, section), key);
  const char* value = entry && entry->value ? entry->value : fallback;
  size_t length = strlen(value);
  if (entry && entry->value && length >= 2 && (value[0] == '"' || value[0] == '\'') && value[length - 1] == value[0]) {
    ++value;
    length -= 2;
  }
  if (length > size - 1) length = size - 1;
  memcpy(buffer, value, length);
  buffer[length] = '\0';
  return length;
}

int ReadProfileSectionText(ProfileText* doc, const char* section, HeapText* out, size_t* length) {
  ScriptSection* s = FindProfileSection(doc, section);
  size_t need = 2;
  for (size_t i = 0; s && i < s->count; ++i) {
    const ScriptEntry& e = s->entries[i];
    if (IsReadEntry(e)) need += strlen(e.key) + (e.value ? 1 + strlen(e.value) : 0) + 1;
  }
  out->reset(need);
  if (!*out) return 0;
  size_t used = 0;
  for (size_t i = 0; s && i < s->count; ++i) {
    const ScriptEntry& e = s->entries[i];
    if (!IsReadEntry(e)) continue;
    size_t keyLength = strlen(e.key);
    memcpy(out->get() + used, e.key, keyLength);
    used += keyLength;
    if (e.value) {
      size_t valueLength = strlen(e.value);
      (*out)[used++] = '=';
      memcpy(out->get() + used, e.value, valueLength);
      used += valueLength;
    }
    (*out)[used++] = '\0';
  }
  (*out)[used] = '\0';
  (*out)[used + 1] = '\0';
  *length = used;
  return 1;
}

int SetProfileValue(ProfileText* doc, const char* section, const char* key, const char* value) {
  if (!key) {
    size_t length = strlen(section);
    for (size_t i = 0; i < doc->count; ++i) {
      ScriptSection& s = doc->sections[i];
      if (s.name && SameProfileName(s.name, strlen(s.name), section, length)) s.deleted = 1;
    }
    return 1;
  }
  if (!value) {
    ScriptSection* s = FindProfileSection(doc, section);
    for (ScriptEntry* e; (e = FindEntry(s, key)) != nullptr;) e->deleted = 1;
    return 1;
  }
  ScriptSection* s = FindOrAddSection(doc, section);
  if (!s) return 0;
  ScriptEntry* entry = FindEntry(s, key);
  if (!entry) return AddEntry(doc, s, key, strlen(key), value, strlen(value), 0) != nullptr;
  char* stored = Store(doc, value, strlen(value));
  if (!stored) return 0;
  entry->value = stored;
  return 1;
}

int SetEmptyKeys(ProfileText* doc, const char* section, const char* keys) {
  size_t added = 0;
  for (const char* key = keys; *key; key += strlen(key) + 1) ++added;
  if (added == 0) return 1;
  ScriptSection* s = FindOrAddSection(doc, section);
  NameTable table;
  if (!s || !InitNameTable(&table, s->count + added, kKeyNames)) return 0;
  auto nameOf = [s](uint32_t item, size_t* length) {
    *length = strlen(s->entries[item].key);
    return static_cast<const char*>(s->entries[item].key);
  };
  // The first line of each key is the one a write would change.
  for (size_t i = 0; i < s->count; ++i) {
    if (s->entries[i].deleted) continue;
    uint32_t* slot = NameSlot(table, s->entries[i].key, strlen(s->entries[i].key), nameOf);
    if (*slot == 0) *slot = static_cast<uint32_t>(i) + 1;
  }
  const size_t existing = s->count;
  char* empty = nullptr;
  for (const char* key = keys; *key; key += strlen(key) + 1) {
    size_t length = strlen(key);
    uint32_t* slot = NameSlot(table, key, length, nameOf);
    if (*slot) {
      ScriptEntry& e = s->entries[*slot - 1];
      if (*slot - 1 < existing && (!e.value || e.value[0])) {
        if (!empty && !(empty = Store(doc, "", 0))) return 0;
        e.value = empty;
      }
      continue;
    }
    if (!AddEntry(doc, s, key, length, "", 0, 0)) return 0;
    *slot = static_cast<uint32_t>(s->count);
  }
  return 1;
}

void DropEmptyKeys(ProfileText* doc, const char* section) {
  ScriptSection* s = FindProfileSection(doc, section);
  for (size_t i = 0; s && i < s->count; ++i) {
    ScriptEntry& e = s->entries[i];
    if (e.value && e.value[0] == '\0' && e.key[0] != ';') e.deleted = 1;
  }
}

int WriteProfileText(const ProfileText& doc, HeapText* out, size_t* length) {
  const size_t newline = sizeof(kNewline) - 1;
  size_t need = 1;
  for (size_t i = 0; i < doc.count; ++i) {
    const ScriptSection& s = doc.sections[i];
    if (s.deleted) continue;
    if (s.name) need += newline + strlen(s.name) + 2 + newline;
    for (size_t j = 0; j < s.count; ++j)
      if (!s.entries[j].deleted)
        need += strlen(s.entries[j].key) + (s.entries[j].value ? 1 + strlen(s.entries[j].value) : 0) + newline;
  }
  out->reset(need);
  if (!*out) return 0;
  char* at = out->get();
  auto put = [&at](const char* text) {
    size_t n = strlen(text);
    memcpy(at, text, n);
    at += n;
  };
  for (size_t i = 0; i < doc.count; ++i) {
    const ScriptSection& s = doc.sections[i];
    if (s.deleted) continue;
    if (s.name) {
      if (at != out->get()) put(kNewline);
      put("[");
      put(s.name);
      put("]");
      put(kNewline);
    }
    for (size_t j = 0; j < s.count; ++j) {
      const ScriptEntry& e = s.entries[j];
      if (e.deleted) continue;
      put(e.key);
      if (e.value) {
        put("=");
        put(e.value);
      }
      put(kNewline);
    }
  }
  *at = '\0';
  *length = static_cast<size_t>(at - out->get());
  return 1;
}
