// Recognising the uninstall script's file-list and "Uninst" lines, the
// product folder tails, and splitting a component list into key nodes. No
// Win32 here: built and tested natively too.
#pragma once
#include <cstddef>

// A line of a script section as the private-profile read gives it. 1 when it
// is a file-list entry (first character not ";", last character "=", a name
// before the "=") and entry holds the name without the "="; 0 when it is no
// entry; -1 when it is an entry that does not fit entrySize bytes (entry is
// then emptied, never cut).
int ParseLoggedFileLine(const char* line, char* entry, size_t entrySize);

// An "Uninst" line "folder=link" split at its first "=". 1 when the line is
// no comment, both parts are non-empty and each fits its buffer; 0 otherwise
// (both buffers emptied).
int SplitUninstLine(const char* line, char* folder, size_t folderSize, char* link, size_t linkSize);

// 1 when the text from the folder's last backslash on is "\WORLD",
// "\BUILDER" or "\IMAGER" in any letter case, and the folder above it is a
// real folder (not empty and not a bare drive such as "C:"); parent then
// holds the folder cut at that backslash. 0 otherwise (parent emptied).
int ProductFolderParent(const char* folder, char* parent, size_t parentSize);

// 1 when a whole tree may be deleted below folder: an absolute path with at
// least one folder below a drive root or a network share. Empty, relative,
// root and share paths give 0.
int IsRemovableFolderPath(const char* folder);

// 1 when text contains lowerNeedle once the ASCII capitals of text are
// folded to lower case (lowerNeedle is given in lower case).
int ContainsFolded(const char* text, const char* lowerNeedle);

// One product key of a component list while the list is processed.
enum { kKeyNodeSize = 260 };
struct KeyNode {
  char key[kKeyNodeSize];
  KeyNode* next;
};

// Allocates one node from the heap; nullptr when the heap is exhausted.
typedef KeyNode* (*KeyNodeAllocator)();
KeyNode* AllocateKeyNode();
void FreeKeyNode(KeyNode* node);
void FreeKeyNodes(KeyNode* head);

// Splits a ";"-separated list (runs of ";" separate, no empty items) into
// nodes, each new node put in front, so *head is the last list item. Items
// longer than a node's key buffer are left out: such a key is never
// processed, and so never removed from its list. Returns 1 on success (an
// empty list gives *head == nullptr); 0 when a node could not be allocated:
// every node built so far is freed and *head is nullptr.
int BuildKeyNodes(const char* list, KeyNode** head, KeyNodeAllocator allocate = AllocateKeyNode);
