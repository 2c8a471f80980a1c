// Line syntax of the setup script's file lists, and the version and time
// comparisons of the newer-file check. No Win32 here: tested natively too.
#pragma once
#include <cstddef>
