// Fuzzes the archive's directory reader and its reads: any file gives a directory of at most
// 2048 entries whose every entry loads and streams without a read outside the file or the
// buffers. A stream gives exactly the bytes of a whole-file read, even with whole-file reads
// of other entries between its calls.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "resources/archive.h"
#include "resources/lzss.h"

static char archive_path[64];

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // In memory where there is a tmpfs: rewriting a file on disk each run is slow.
    const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::snprintf(archive_path, sizeof archive_path, "%s/dravo-archive-fuzz-%d.wrs", dir, int(getpid()));
    std::atexit([] { std::remove(archive_path); });
    static char sink[4096];
    static ConsoleCapture quiet = {sink, sizeof sink, 0, false};
    console_set_capture(&quiet);  // damaged archives warn on every input
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FILE* f = std::fopen(archive_path, "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);

    int count = open_archive(archive_path);
    if (count < 0 || count > archive_max_entries || count != archive.count) std::abort();
    for (int i = 0; i < archive.count && i < 64; i++) {
        const ArchiveEntry& e = archive.entries[i];
        if (std::strlen(e.name) > 12) std::abort();
        if (e.data_offset + int64_t(e.packed_available) > int64_t(size)) std::abort();
        int32_t whole_size = 0;
        uint8_t* whole = load_archive_entry(i, &whole_size);
        if (!whole) continue;
        if (uint32_t(whole_size) > e.unpacked_size) std::abort();
        if (uint64_t(whole_size) > lzss_output_bound(e.packed_available)) std::abort();
        if (whole[whole_size] != 0 || whole[whole_size + 1] != 0) std::abort();

        // Stream the first entry of this name in chunks of a size the data chooses, with
        // whole-file reads of other entries between the first calls.
        if (find_archive_entry(e.name) == i && e.name[0]) {
            int32_t chunk = 1 + int32_t(e.unpacked_size % 97);
            uint8_t buffer[128];
            int32_t got = 0, calls = 0;
            const char* name = e.name;
            for (;;) {
                int32_t n = chunk;
                if (!stream_resource(name, buffer, &n)) break;
                name = nullptr;
                if (n <= 0 || n > chunk || got + n > whole_size || std::memcmp(buffer, whole + got, size_t(n)) != 0)
                    std::abort();
                got += n;
                if (++calls <= 8) {
                    int32_t other_size = 0;
                    std::free(load_archive_entry((i + got) % archive.count, &other_size));
                }
            }
            if (got != whole_size) std::abort();
        }
        std::free(whole);
    }
    close_archive();
    return 0;
}
