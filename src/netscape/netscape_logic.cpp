#include "netscape/netscape_logic.h"

#include "base/text_util.h"

namespace {

const unsigned long kFileNotFound = 2;
const unsigned long kPathNotFound = 3;
const unsigned long kSharingViolation = 32;

const char kRemoveInUse[] =
    "Failed to Un-register vorn protocol with Netscape because the files are in use.\n "
    "\t\t\t\t\t\t\t\t\t\t\t   Please close all instances of the Netscape browser and press "
    "'Retry'";
const char kRemoveError[] =
    "Failed to Un-register vorn protocol with Netscape because of the following reason : "
    "Error Code %lu";
const char kInstallInUse[] =
    "Unable to update the vorn protocol handler because the files are in use.\n "
    "\t\t\t\t\t\t\t\t\t\t\t\t\t\t   Please close all instances of the Netscape browser and "
    "press 'Retry'";
const char kInstallError[] =
    "Unable to register the vorn protocol with Netscape for the following reason: Error "
    "Code %lu";

}  // namespace

int BuildNetscapePaths(const char* netscapeFolder, const char* executableName,
                       const char* productFolder, NetscapePaths* out) {
  return FormatBounded(out->executable, sizeof(out->executable), "%s\\%s", netscapeFolder,
                       executableName) &&
         FormatBounded(out->installedHandler, sizeof(out->installedHandler),
                       "%s\\components\\nkvorn.dll", netscapeFolder) &&
         FormatBounded(out->productHandler, sizeof(out->productHandler), "%s\\nkvorn.dll",
                       productFolder) &&
         FormatBounded(out->componentRegistry, sizeof(out->componentRegistry),
                       "%s\\component.reg", netscapeFolder);
}

unsigned long ExcuseMissing(unsigned long error) {
  return error == kFileNotFound || error == kPathNotFound ? 0 : error;
}

int BuildNetscapeRetryText(char* out, size_t size, int remove, unsigned long error) {
  if (size > 0) out[0] = '\0';
  if (error == kSharingViolation) return CopyBounded(remove ? kRemoveInUse : kInstallInUse, out, size);
  return FormatBounded(out, size, remove ? kRemoveError : kInstallError, error);
}
