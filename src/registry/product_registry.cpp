#include "registry/product_registry.h"

const char kMakerKey[] = "SOFTWARE\\LUMENFIELD Corporation";
const char kAppPathsKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const char kUninstallKeyBase[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kProductUninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quillara Browser";

// Filled in with the product entries.
void WriteProductRegistry() {}
