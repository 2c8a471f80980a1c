#include "app/unattended_logic.h"

#include <cstring>

#include "base/text_util.h"

namespace {

const char kSilentSwitch[] = "/S";
const char kLogSwitch[] = "/LOG=";
const char kDestinationSwitch[] = "/D=";
const char kWaitSwitch[] = "/WAIT";

int StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (FoldAscii(*text) != FoldAscii(*prefix)) return 0;
  return 1;
}

// The text after the last "/D=" of the raw command line that starts a word
// (after a blank or an opening quote), trailing blanks dropped, and a closing
// quote dropped when the switch was opened by one. 0 when it does not fit.
int DestinationFromRawLine(const char* raw, char* out, size_t size) {
  const char* found = nullptr;
  for (const char* p = raw; *p; ++p)
    if ((p == raw || p[-1] == ' ' || p[-1] == '\t' || p[-1] == '"') &&
        StartsWithNoCase(p, kDestinationSwitch))
      found = p;
  if (!found) return 0;
  int quoted = found > raw && found[-1] == '"';
  const char* value = found + sizeof(kDestinationSwitch) - 1;
  size_t len = strlen(value);
  while (len > 0 && (value[len - 1] == ' ' || value[len - 1] == '\t')) --len;
  if (quoted && len > 0 && value[len - 1] == '"') --len;
  if (len >= size) return 0;
  memcpy(out, value, len);
  out[len] = '\0';
  return 1;
}

}  // namespace

int TakeUnattendedSwitches(int argc, char** argv, const char* rawCommandLine, int setupMode,
                           UnattendedSwitches* out) {
  memset(out, 0, sizeof(*out));
  int kept = argc > 0 ? 1 : 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (EqualsNoCase(arg, kSilentSwitch)) {
      out->silent = 1;
    } else if (!setupMode && EqualsNoCase(arg, kWaitSwitch)) {
      out->wait = 1;
    } else if (StartsWithNoCase(arg, kLogSwitch)) {
      const char* path = arg + sizeof(kLogSwitch) - 1;
      if (path[0] == '\0' || !CopyBounded(path, out->logPath, sizeof(out->logPath)))
        out->bad = 1;
    } else if (setupMode && StartsWithNoCase(arg, kDestinationSwitch)) {
      // The folder's words are the remaining arguments; its text comes
      // from the raw line so that runs of blanks stay as typed.
      if (!DestinationFromRawLine(rawCommandLine, out->destination, sizeof(out->destination)) ||
          out->destination[0] == '\0')
        out->bad = 1;
      break;
    } else {
      argv[kept++] = argv[i];
    }
  }
  if (kept < argc) argv[kept] = nullptr;
  return kept;
}

int IsFullPath(const char* path) {
  int drive = ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
              path[1] == ':' && path[2] == '\\';
  int unc = path[0] == '\\' && path[1] == '\\' && path[2] != '\0' && path[2] != '\\';
  return drive || unc;
}
