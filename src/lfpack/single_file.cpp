#include "lfpack/single_file.h"

#include <libgcab.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "base/names.h"
#include "base/payload_format.h"
#include "lfpack/package_files.h"

namespace fs = std::filesystem;

namespace {

const guint32 kNormalAttribute = 0x20;  // FILE_ATTRIBUTE_ARCHIVE: no read-only mark travels

// Frees a GObject (or nothing) when it goes out of scope.
template <typename T>
struct Owned {
  T* p = nullptr;
  explicit Owned(T* object) : p(object) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  ~Owned() {
    if (p) g_object_unref(p);
  }
};

std::string TakeError(GError* error, const char* what) {
  std::string text = std::string(what) + ": " + (error ? error->message : "unknown error");
  if (error) g_error_free(error);
  return text;
}

// The package's files, relative to it with backslashes, in a fixed order.
std::vector<fs::path> PackageFiles(const fs::path& package) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(package))
    if (entry.is_regular_file()) files.push_back(fs::relative(entry.path(), package));
  std::sort(files.begin(), files.end());
  return files;
}

std::string CabinetName(const fs::path& relative) {
  std::string name = relative.generic_string();
  std::replace(name.begin(), name.end(), '/', '\\');
  return name;
}

}  // namespace

std::string BuildSingleFile(const fs::path& package, const fs::path& out, SingleFile* made) {
  std::string program;
  if (!ReadWholeFile(PackagePath(package, kSetupProgramName), &program))
    return std::string("the package has no ") + kSetupProgramName + " to carry it";
  // A signed setup program ends in its certificate: the one that carries
  // the package is the program without it (and without the entry naming it),
  // so that the single file can be signed whole. The package keeps the
  // signed one.
  const unsigned char* headers = reinterpret_cast<const unsigned char*>(program.data());
  size_t headerSize = program.size() < 1024 ? program.size() : 1024;
  uint64_t signedEnd = SignedImageEnd(headers, headerSize, program.size());
  size_t directory = SecurityDirectoryAt(headers, headerSize);
  if (signedEnd < program.size()) {
    program.resize(signedEnd);
    program.replace(directory, 8, 8, '\0');
  }

  Owned<GCabCabinet> cabinet(gcab_cabinet_new());
  GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_MSZIP);
  GError* error = nullptr;
  if (!gcab_cabinet_add_folder(cabinet.p, folder, &error)) {
    g_object_unref(folder);
    return TakeError(error, "cabinet");
  }
  g_object_unref(folder);  // the cabinet holds it now
  for (const fs::path& relative : PackageFiles(package)) {
    fs::path full = package / relative;
    Owned<GFile> source(g_file_new_for_path(full.c_str()));
    Owned<GCabFile> file(gcab_file_new_with_file(CabinetName(relative).c_str(), source.p));
    // The cabinet keeps local times, as Windows' own cabinet tools do.
    struct stat facts;
    if (stat(full.c_str(), &facts) != 0) return "cannot read " + full.string();
    GDateTime* written = g_date_time_new_from_unix_local(facts.st_mtime);
    gcab_file_set_date_time(file.p, written);
    g_date_time_unref(written);
    gcab_file_set_attributes(file.p, kNormalAttribute);
    if (!gcab_folder_add_file(folder, file.p, FALSE, nullptr, &error))
      return TakeError(error, full.string().c_str());
    made->packageBytes += fs::file_size(full);
    ++made->files;
  }
  Owned<GOutputStream> memory(g_memory_output_stream_new_resizable());
  if (!gcab_cabinet_write_simple(cabinet.p, memory.p, nullptr, nullptr, nullptr, &error) ||
      !g_output_stream_close(memory.p, nullptr, &error))
    return TakeError(error, "cabinet");
  const char* cab = static_cast<const char*>(g_memory_output_stream_get_data(G_MEMORY_OUTPUT_STREAM(memory.p)));
  size_t cabSize = g_memory_output_stream_get_data_size(G_MEMORY_OUTPUT_STREAM(memory.p));

  // program, cabinet and trailer, each part starting at a multiple of 8 so
  // that a signer appends its certificate right after the trailer.
  std::string single = program;
  single.resize((single.size() + 7) / 8 * 8, '\0');
  PayloadTrailer trailer = {single.size(), cabSize, made->packageBytes, Crc32(0, cab, cabSize)};
  single.append(cab, cabSize);
  single.resize((single.size() + 7) / 8 * 8, '\0');
  unsigned char tail[kTrailerSize];
  WriteTrailer(trailer, tail);
  single.append(reinterpret_cast<const char*>(tail), sizeof(tail));
  if (!WriteWholeFile(out, single)) return "cannot write " + out.string();
  made->bytes = single.size();
  return "";
}
