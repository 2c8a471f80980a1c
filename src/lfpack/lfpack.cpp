// lfpack: checks a setup package folder before it ships, and packs it into
// the single-file download.
//   lfpack check [--strict] [--fix-reserve] PACKAGE-FOLDER
//   lfpack build PACKAGE-FOLDER OUT.exe
// Prints one line per finding (file, line, what happens on the user's
// machine, the fix) and a summary. Exit code 1 on an error (with --strict
// also on a warning), 2 when the package cannot be read, else 0.
// --fix-reserve first writes the sizes of the listed files into
// "ReservedDiskSpace" of the setup script. build checks first and refuses a
// package with an error; then it writes OUT.exe: the package's setup program
// carrying the whole package.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "base/names.h"
#include "base/text_util.h"
#include "lfpack/lfpack_logic.h"
#include "lfpack/package_files.h"
#ifdef LF_HAVE_PACKER
#include "lfpack/single_file.h"
#endif

namespace fs = std::filesystem;

namespace {

// The three reserved sizes: the "Core" list's libraries, its other files,
// and the "Content" list. The wizard only adds them up.
std::string FixReserve(std::string text, const PackageReport& r) {
  text = SetProfileValue(text, kSectionReserve, kKeySizeProduct, std::to_string(r.coreBytes));
  text = SetProfileValue(text, kSectionReserve, kKeySizeContent, std::to_string(r.contentBytes));
  return SetProfileValue(text, kSectionReserve, kKeySizeLibraries, std::to_string(r.dllBytes));
}

const char kScriptNotUtf8[] =
    "Windows 10 (1903) and later read the setup script as UTF-8, so a name on it with other letters does not "
    "match its file and the install fails";
const char kLicenceNotUtf8[] =
    "the setup shows it in the system's old code page, which may not be the one it was written in";

std::string Count(int n, const char* what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

int Usage() {
  fprintf(stderr,
          "usage: lfpack check [--strict] [--fix-reserve] PACKAGE-FOLDER\n"
          "       lfpack build PACKAGE-FOLDER OUT.exe\n");
  return 2;
}

// The package check: its findings and summary printed; 1 on an error (with
// strict also on a warning), 2 when the package cannot be read, else 0.
int Check(const char* folderArg, bool strict, bool fixReserve) {
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
  std::string licenceText;
  auto utf8 = [&](PackageReport* r) {
    CheckUtf8Lines(text, kSetupScriptName, kScriptNotUtf8, r);
    if (licence && ReadWholeFile(PackagePath(folder, kLicenseFileName), &licenceText))
      CheckUtf8Lines(licenceText, kLicenseFileName, kLicenceNotUtf8, r);
  };
  utf8(&report);
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
    utf8(&report);
  }
  for (const Finding& f : report.findings) fprintf(stdout, "%s\n", FormatFinding(f).c_str());
  fprintf(stdout, "lfpack: %s: %s, %s\n", folderArg, Count(report.errors, "error").c_str(),
          Count(report.warnings, "warning").c_str());
  return report.errors > 0 || (strict && report.warnings > 0) ? 1 : 0;
}

// The single file: only a package that checks without an error is packed.
int Build(const char* folderArg, const char* outArg) {
  int checked = Check(folderArg, false, false);
  if (checked != 0) {
    fprintf(stdout, "lfpack: %s: not built: the package has errors.\n", outArg);
    return checked;
  }
#ifdef LF_HAVE_PACKER
  SingleFile made;
  std::string failed = BuildSingleFile(folderArg, outArg, &made);
  if (!failed.empty()) {
    fprintf(stdout, "lfpack: %s: not built: %s\n", outArg, failed.c_str());
    return 2;
  }
  fprintf(stdout, "lfpack: %s: %llu files, %llu bytes, in one file of %llu bytes\n", outArg,
          static_cast<unsigned long long>(made.files), static_cast<unsigned long long>(made.packageBytes),
          static_cast<unsigned long long>(made.bytes));
  return 0;
#else
  fprintf(stdout, "lfpack: %s: not built: this lfpack only checks (build it natively to pack).\n", outArg);
  return 2;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && strcmp(argv[1], "build") == 0) return Build(argv[2], argv[3]);
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
  return Check(folderArg, strict, fixReserve);
}
