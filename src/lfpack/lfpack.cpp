// lfpack: checks a setup package folder before it ships.
//   lfpack check [--strict] [--fix-reserve] PACKAGE-FOLDER
// Prints one line per finding (file, line, what happens on the user's
// machine, the fix) and a summary. Exit code 1 on an error (with --strict
// also on a warning), 2 when the package cannot be read, else 0.
// --fix-reserve first writes the sizes of the listed files into
// "ReservedDiskSpace" of the setup script.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/names.h"
#include "base/text_util.h"
#include "lfpack/lfpack_logic.h"

namespace fs = std::filesystem;

namespace {

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

// A path of the package as Windows finds it: components separated by
// backslashes, letter case ignored. Elsewhere each component is looked up
// without regard to case.
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

// The three reserved sizes: the "Core" list's libraries, its other files,
// and the "Content" list. The wizard only adds them up.
std::string FixReserve(std::string text, const PackageReport& r) {
  text = SetProfileValue(text, kSectionReserve, kKeySizeProduct, std::to_string(r.coreBytes));
  text = SetProfileValue(text, kSectionReserve, kKeySizeContent, std::to_string(r.contentBytes));
  return SetProfileValue(text, kSectionReserve, kKeySizeLibraries, std::to_string(r.dllBytes));
}

std::string Count(int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

int Usage() {
  fprintf(stderr, "usage: lfpack check [--strict] [--fix-reserve] PACKAGE-FOLDER\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || strcmp(argv[1], "check") != 0) return Usage();
  bool strict = false, fixReserve = false;
  const char* folderArg = nullptr;
  for (int i = 2; i < argc; ++i) {
    if (strcmp(argv[i], "--strict") == 0) strict = true;
    else if (strcmp(argv[i], "--fix-reserve") == 0) fixReserve = true;
    else if (argv[i][0] == '-' || folderArg) return Usage();
    else folderArg = argv[i];
  }
  if (!folderArg) return Usage();
  fs::path folder(folderArg);
  fs::path scriptPath = PackagePath(folder, kSetupScriptName);
  std::string text;
  if (!ReadWholeFile(scriptPath, &text)) {
    // Without its script the setup reads every value as empty and fails at
    // once; there is nothing else to check.
    fprintf(stdout, "%s: error: cannot read the setup script: the install fails before anything is copied. "
                    "Fix: put LFSetup.inf into the package folder.\n", kSetupScriptName);
    return 2;
  }
  auto lookup = [&](const std::string& relative) { return LookUp(folder, relative); };
  std::error_code ec;
  bool licence = fs::is_regular_file(PackagePath(folder, kLicenseFileName), ec);
  PackageReport report = CheckPackage(ParseProfile(text), licence, lookup);
  if (fixReserve) {
    text = FixReserve(text, report);
    if (!WriteWholeFile(scriptPath, text)) {
      fprintf(stdout, "%s: error: cannot write the setup script.\n", kSetupScriptName);
      return 2;
    }
    fprintf(stdout, "%s: ReservedDiskSpace set: sizeLF=%s sizeVORNS=%s sizeDLLS=%s\n", kSetupScriptName,
            std::to_string(report.coreBytes).c_str(), std::to_string(report.contentBytes).c_str(),
            std::to_string(report.dllBytes).c_str());
    report = CheckPackage(ParseProfile(text), licence, lookup);
  }
  for (const Finding& f : report.findings) fprintf(stdout, "%s\n", FormatFinding(f).c_str());
  fprintf(stdout, "lfpack: %s: %s, %s\n", folderArg, Count(report.errors, "error").c_str(),
          Count(report.warnings, "warning").c_str());
  return report.errors > 0 || (strict && report.warnings > 0) ? 1 : 0;
}
