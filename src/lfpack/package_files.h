// The package folder's files as the setup program finds them on Windows.
#pragma once
#include <filesystem>
#include <string>

#include "lfpack/lfpack_logic.h"

bool ReadWholeFile(const std::filesystem::path& path, std::string* out);
bool WriteWholeFile(const std::filesystem::path& path, const std::string& text);

// A path of the package as Windows finds it: parts separated by backslashes
// (or slashes), letter case ignored. Where the file system tells letter case
// apart, each part is looked up without regard to it, so that a script line
// "Help\ReadMe.txt" finds "help/readme.txt" as the setup will.
std::filesystem::path PackagePath(const std::filesystem::path& folder, const std::string& relative);

// Whether a source file of a list line is in the package, its size, and
// whether it carries version information.
SourceFacts LookUp(const std::filesystem::path& folder, const std::string& relative);
