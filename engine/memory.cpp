// The free-memory figure of the start-up messages, from the system's page counts.
#include "engine/memory.h"

#include <unistd.h>

int64_t free_memory_bytes() {
    long pages = sysconf(_SC_AVPHYS_PAGES);
    long page_size = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || page_size <= 0) return 0x4000000;
    int64_t bytes = int64_t(pages) * int64_t(page_size);
    return bytes > 0x7FFFFFFF ? 0x7FFFFFFF : bytes;
}
