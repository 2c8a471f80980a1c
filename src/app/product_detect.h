// Which product of the platform is installed, and where.
#pragma once

// Fills g_productKey and g_installDir (and the older-layout globals) from the
// App Paths entries; leaves them empty when nothing is installed.
void DetectInstalledProduct();
