#include "install/file_list_logic.h"
