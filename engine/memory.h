// Free memory as the start-up messages report it.
#pragma once

#include <cstdint>

// Physical pages x page size, capped at 0x7FFFFFFF; 64 MB when the system does not say.
int64_t free_memory_bytes();
