#include "app/prereq_checks.h"

// The machine checks arrive in a later change; until then they find nothing
// installed and nothing missing.
int IsOldPlatformInstalled() { return 0; }

void RemovePreviousVersion() {}

int CheckReplacedBrowser() { return 1; }

int IsInternetExplorerPresent() { return 1; }
