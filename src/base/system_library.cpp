#include "base/system_library.h"

#include "base/globals.h"
#include "base/system_paths.h"

namespace {

const char kKernelLibrary[] = "kernel32.dll";
const char kSetDefaultDllDirectoriesName[] = "SetDefaultDllDirectories";
const char kSetDllDirectoryName[] = "SetDllDirectoryA";
// LOAD_LIBRARY_SEARCH_SYSTEM32, which headers for older Windows lack.
const DWORD kSearchSystem32 = 0x00000800;

// Loaded later by bare name by the shell, the common controls, COM and the
// security functions; none is one of the libraries Windows always takes from
// its own folder. A name this Windows lacks is skipped.
const char* const kPreloadedLibraries[] = {
    "uxtheme.dll", "userenv.dll", "setupapi.dll", "apphelp.dll", "propsys.dll", "dwmapi.dll",
    "cryptbase.dll", "oleacc.dll", "clbcatq.dll", "ntmarta.dll", "textshaping.dll", "version.dll",
};

typedef BOOL(WINAPI* SetDefaultDllDirectoriesFn)(DWORD);
typedef BOOL(WINAPI* SetDllDirectoryFn)(LPCSTR);

}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
  char path[kPathSize];
  if (!BuildSystemPath(name, path, sizeof(path))) return nullptr;
  // The altered search order makes the library's own imports come from its
  // folder, the system folder, too.
  return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC SystemFunction(const char* library, const char* name) {
  HMODULE module = GetModuleHandleA(library);
  return module ? GetProcAddress(module, name) : nullptr;
}

void RestrictLibrarySearch() {
  // Windows 8, and 7 and Vista with update KB2533623: the system folder
  // alone. Earlier: at least the current folder leaves the search.
  SetDefaultDllDirectoriesFn restrict =
      FunctionAs<SetDefaultDllDirectoriesFn>(SystemFunction(kKernelLibrary, kSetDefaultDllDirectoriesName));
  if (!restrict || !restrict(kSearchSystem32)) {
    SetDllDirectoryFn setDirectory = FunctionAs<SetDllDirectoryFn>(SystemFunction(kKernelLibrary, kSetDllDirectoryName));
    if (setDirectory) setDirectory("");
  }
  // Held for the whole run: that they are already loaded is what keeps the
  // later bare-name loads from looking anywhere else.
  for (const char* name : kPreloadedLibraries) LoadSystemLibrary(name);
}
