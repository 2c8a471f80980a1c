#include "app/prereq_checks.h"

#include "app/globals.h"

// The machine checks arrive in a later change; until then they find nothing
// installed and nothing missing.
int IsOldPlatformInstalled() { return 0; }

void RemovePreviousVersion() {}

int CheckReplacedBrowser() { return 1; }

// A usable Internet Explorer of the newest generation, as the machines the
// product supports have.
int IsInternetExplorerPresent() {
  g_ieGeneration = 5;
  return 1;
}
