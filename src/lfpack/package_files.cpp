#include "lfpack/package_files.h"

#include <cstdio>

#include "base/text_util.h"

namespace fs = std::filesystem;

bool ReadWholeFile(const fs::path& path, std::string* out) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return false;
  FILE* f = fopen(path.string().c_str(), "rb");
  if (!f) return false;
  out->clear();
  char chunk[65536];
  for (size_t n; (n = fread(chunk, 1, sizeof(chunk), f)) > 0;) out->append(chunk, n);
  bool ok = !ferror(f);
  fclose(f);
  return ok;
}

bool WriteWholeFile(const fs::path& path, const std::string& text) {
  FILE* f = fopen(path.string().c_str(), "wb");
  if (!f) return false;
  bool ok = fwrite(text.data(), 1, text.size(), f) == text.size();
  return fclose(f) == 0 && ok;
}

fs::path PackagePath(const fs::path& folder, const std::string& relative) {
  fs::path path = folder;
  size_t from = 0;
  for (size_t at; from <= relative.size(); from = at + 1) {
    at = relative.find_first_of("\\/", from);
    if (at == std::string::npos) at = relative.size();
    std::string part = relative.substr(from, at - from);
    if (part.empty()) continue;
    fs::path exact = path / part;
#ifndef _WIN32
    std::error_code ec;
    if (!fs::exists(exact, ec))
      for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec))
        if (EqualsNoCase(it->path().filename().string().c_str(), part.c_str())) exact = it->path();
#endif
    path = exact;
  }
  return path;
}

SourceFacts LookUp(const fs::path& folder, const std::string& relative) {
  SourceFacts facts{false, 0, false};
  std::string bytes;
  if (!ReadWholeFile(PackagePath(folder, relative), &bytes)) return facts;
  facts.found = true;
  facts.size = bytes.size();
  facts.hasVersion = HasVersionResource(bytes);
  return facts;
}

