// Checks made before a setup run: an old incompatible platform, another
// brand's browser to replace, and a usable Internet Explorer.
#pragma once

int IsOldPlatformInstalled();
void RemovePreviousVersion();
int CheckReplacedBrowser();
int IsInternetExplorerPresent();
