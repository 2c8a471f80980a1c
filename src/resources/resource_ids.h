// Resource identifiers shared by the resource script and the code.
#pragma once

#define IDI_PROGRAM 128
#define IDI_WIZARD 301
