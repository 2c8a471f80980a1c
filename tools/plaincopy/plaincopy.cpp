// plaincopy: the baseline of the install benchmark. Copies every file of a
// folder tree into another folder with CopyFileA and nothing else, so that
// the install's own cost can be told apart from the file system's.
//
//   plaincopy.exe <source folder> <destination folder>
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int CopyTree(const std::string& from, const std::string& to) {
  CreateDirectoryA(to.c_str(), nullptr);
  WIN32_FIND_DATAA fd;
  HANDLE find = FindFirstFileA((from + "\\*").c_str(), &fd);
  if (find == INVALID_HANDLE_VALUE) return 0;
  int copied = 0;
  do {
    std::string name = fd.cFileName;
    if (name == "." || name == "..") continue;
    if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      copied += CopyTree(from + "\\" + name, to + "\\" + name);
    else if (CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), FALSE))
      ++copied;
  } while (FindNextFileA(find, &fd));
  FindClose(find);
  return copied;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: plaincopy.exe <source folder> <destination folder>\n");
    return 2;
  }
  printf("%d files copied\n", CopyTree(argv[1], argv[2]));
  return 0;
}
