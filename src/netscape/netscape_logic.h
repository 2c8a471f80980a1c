// The Netscape 6 handler's paths and messages, which need no Win32. Tested
// natively too.
#pragma once
#include <cstddef>

enum { kNetscapePathSize = 260 };

// Every path the handler works with, each at most 259 characters.
struct NetscapePaths {
  char executable[kNetscapePathSize];      // <Netscape folder>\<executable name>
  char installedHandler[kNetscapePathSize];  // <Netscape folder>\components\nkvorn.dll
  char productHandler[kNetscapePathSize];  // <product folder>\nkvorn.dll
  char componentRegistry[kNetscapePathSize];  // <Netscape folder>\component.reg
};

// Fills out from the Netscape folder, Netscape's executable name and the
// product folder. Returns 0 when any path would not fit: the handler then
// does nothing rather than work on a cut path.
int BuildNetscapePaths(const char* netscapeFolder, const char* executableName,
                       const char* productFolder, NetscapePaths* out);

// A failed deletion's error as the retry loop judges it: a file or folder
// that is not there (2, 3) counts as deleted (0).
unsigned long ExcuseMissing(unsigned long error);

// The text of the Retry/Cancel message after a failed attempt: the "files
// are in use" form for a sharing violation (32), otherwise the form with the
// error code. remove selects the uninstall texts. Returns 0 when it does not
// fit size bytes.
int BuildNetscapeRetryText(char* out, size_t size, int remove, unsigned long error);
