#include "registry/file_types.h"

#include <windows.h>

#include "base/text_util.h"
#include "registry/reg_helpers.h"

namespace {

const char kProtocolKey[] = "vorn";
const char kProtocolName[] = "URL:Vorn Protocol";
const char kUrlProtocolValue[] = "URL Protocol";
const char kProtocolIconKey[] = "vorn\\DefaultIcon";
const char kProtocolOpenCommandKey[] = "vorn\\shell\\open\\command";
const char kProtocolDdeKey[] = "vorn\\shell\\open\\ddeexec";

const char kVornExtensionKey[] = ".vorn";
const char k3deExtensionKey[] = ".3de";
const char kDocumentClass[] = "LUMENFIELD.Document";
const char kDocumentPrintCommandKey[] = "LUMENFIELD.Document\\shell\\print\\command";
const char kDocumentOpenCommandKey[] = "LUMENFIELD.Document\\shell\\open\\command";
const char kDocumentDdeKey[] = "LUMENFIELD.Document\\shell\\open\\ddeexec";

const char kOpenCommandFormat[] = "%s\\%s \"%%1\"";
const char kPrintCommandFormat[] = "%s\\%s /p \"%%1\"";
const char kDdeOpenCommand[] = "[open(\"%1\")]";
const char kDdeTopicSubkey[] = "topic";
const char kDdeApplicationSubkey[] = "application";
const char kDdeTopic[] = "system";
const char kDdeApplication[] = "LFVIEWER";

// The unnamed value, which carries nearly every entry here.
const char kDefaultValue[] = "";
const char kEmptyData[] = "";

// Large enough for a 259-character folder, a 259-character file name and
// the " /p \"%1\"" tail, so a command line is never cut.
const size_t kCommandSize = 600;
// The ddeexec keys' "topic" and "application" subkeys.
const size_t kDdeNameKeySize = 64;

void SetDefault(const char* key, const char* data) {
  SetRegString(HKEY_CLASSES_ROOT, key, kDefaultValue, data, 1);
}

// A command line that would not fit is not written at all: a cut path would
// start the wrong program.
void SetCommand(const char* key, const char* format, const char* dir, const char* exe) {
  char command[kCommandSize];
  if (FormatBounded(command, sizeof(command), format, dir, exe)) SetDefault(key, command);
}

// Windows 95 does not find the viewer's DDE server by itself, so it gets the
// application and topic; elsewhere any left by an earlier install go.
void FinishDdeKey(const char* ddeKey, int namedBySystem) {
  char topicKey[kDdeNameKeySize];
  char applicationKey[kDdeNameKeySize];
  if (!FormatBounded(topicKey, sizeof(topicKey), "%s\\%s", ddeKey, kDdeTopicSubkey) ||
      !FormatBounded(applicationKey, sizeof(applicationKey), "%s\\%s", ddeKey,
                     kDdeApplicationSubkey))
    return;
  if (namedBySystem) {
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, topicKey);
    DeleteRegKeyTree(HKEY_CLASSES_ROOT, applicationKey);
  } else {
    SetDefault(topicKey, kDdeTopic);
    SetDefault(applicationKey, kDdeApplication);
  }
}

int QueryVersion(OSVERSIONINFOA* info) {
  ZeroMemory(info, sizeof(*info));
  info->dwOSVersionInfoSize = sizeof(*info);
  return GetVersionExA(info) != 0;
}

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version query expects the 148-byte form");

}  // namespace

void RegisterProtocolAndFileTypesWith(int (*ddeNamedBySystem)(), const char* dir, const char* exe,
                                      const char* shortDir) {
  SetDefault(kProtocolKey, kProtocolName);
  SetRegString(HKEY_CLASSES_ROOT, kProtocolKey, kUrlProtocolValue, kEmptyData, 1);
  SetDefault(kProtocolIconKey, exe);
  SetCommand(kProtocolOpenCommandKey, kOpenCommandFormat, shortDir, exe);
  SetDefault(kProtocolDdeKey, kDdeOpenCommand);
  FinishDdeKey(kProtocolDdeKey, ddeNamedBySystem());

  SetDefault(kVornExtensionKey, kDocumentClass);
  SetDefault(k3deExtensionKey, kDocumentClass);
  SetCommand(kDocumentPrintCommandKey, kPrintCommandFormat, dir, exe);
  SetCommand(kDocumentOpenCommandKey, kOpenCommandFormat, dir, exe);
  SetDefault(kDocumentDdeKey, kDdeOpenCommand);
  FinishDdeKey(kDocumentDdeKey, ddeNamedBySystem());
}

void RegisterProtocolAndFileTypes(const char* dir, const char* exe, const char* shortDir) {
  RegisterProtocolAndFileTypesWith(DdeNamedBySystem, dir, exe, shortDir);
}

int IsWindowsNT() {
  OSVERSIONINFOA info;
  QueryVersion(&info);
  return static_cast<int>(info.dwPlatformId & VER_PLATFORM_WIN32_NT);
}

int IsWindows98OrMe() {
  OSVERSIONINFOA info;
  QueryVersion(&info);
  return (info.dwPlatformId & VER_PLATFORM_WIN32_WINDOWS) && info.dwMinorVersion > 0 ? 1 : 0;
}

int DdeNamedBySystem() { return IsWindowsNT() || IsWindows98OrMe(); }
