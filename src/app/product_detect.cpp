#include "app/product_detect.h"

// The App Paths look-up arrives with the registry operations; until then
// every start finds no installed product.
void DetectInstalledProduct() {}
