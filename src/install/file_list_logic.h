// Line syntax of the setup script's file lists, and the version and time
// comparisons of the newer-file check. No Win32 here: tested natively too.
#pragma once
#include <cstddef>
#include <cstdint>

// Paths of one list line are built in buffers of this size (at most 259
// characters), as every path of the program is.
enum { kListPathSize = 260 };

// What a list line asks for, with its paths made absolute.
struct FileListLine {
  char dest[kListPathSize];       // destination folder + destination part, "*" removed
  char source[kListPathSize];     // setup folder + source path
  char subfolder[kListPathSize];  // comma line only: destination folder + the destination part up
                                  // to and including its first backslash; empty otherwise
  size_t destStart;    // where the destination part (the uninstall-script key) begins in dest
  size_t sourceStart;  // where the source path (relative to the setup folder) begins in source
  int sameName;        // 1 without a comma: the source path is the destination part
  int compare;         // 0 when the destination ended in "*": install only when absent
};

enum ListLineKind {
  kListLineComment = 0,     // ";" first: neither installed nor recorded
  kListLineFile = 1,
  kListLineTooLong = -1,    // a path would not fit kListPathSize
  kListLineLeavesFolder = -2  // a path climbs out of its folder (see StaysInFolder)
};

// 1 when the first `length` characters of a relative path name something
// inside the folder they are appended to; 0 when they could lead out of it:
// a leading backslash or slash (a root or a "\\server\share" path), a colon
// (a drive, or a stream of another name), a part made only of dots and
// blanks with two dots or more ("..", and the forms Windows trims to it), or
// a part that names a device ("CON", "NUL", "COM1", "LPT1", ... with or
// without an extension), which Windows opens in place of any file.
// Slashes separate parts as backslashes do, as they do for Windows.
int StaysInFolder(const char* path, size_t length);

// Parses one line of a file list. destFolder ends in a backslash;
// sourceFolder is the setup script's path cut after its last backslash.
// The line is split at its first comma; the source is the first
// blank-delimited word after it. A "*" at the end of the destination part is
// removed and, without a comma, the same character is removed from the
// source path as well. A destination or source part that does not stay in
// its folder makes the line kListLineLeavesFolder, before any path is built.
ListLineKind ParseFileListLine(const char* destFolder, const char* sourceFolder, const char* line,
                               FileListLine* out);

// The walk that creates the folders along a path: the position of the next
// backslash at or after `from` at which the text before it names a folder to
// create. A backslash after a drive ("C:") or after an empty component
// ("\\" or a leading "\") names none. Returns 1 and sets *end, or 0 when no
// folder is left; the text after the last backslash is never a folder.
int NextFolderEnd(const char* path, size_t from, size_t* end);
