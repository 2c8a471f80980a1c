#include "registry/viewer_records.h"

// Filled in with the viewer records.
void MarkBrandInstalled() {}
void RecordBrandVersion(const char*) {}
int RegListLoad(HKEY, const char*) { return -1; }
int RegListSave(HKEY, const char*) { return -1; }
