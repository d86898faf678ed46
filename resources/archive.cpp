// The resource archive: directory reading, whole-file reads, the stream, and the existence
// check, each asking the patch layer, the archive and the disk in that order.
#include "resources/archive.h"

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "resources/file_lookup.h"
#include "resources/patches.h"

Archive archive = {};
ResourceStream resource_stream = {};
void (*resource_refresh_loading)() = nullptr;

static void refresh_loading() {
    if (resource_refresh_loading) resource_refresh_loading();
}

static uint32_t read_be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}

// ---------------------------------------------------------------------------------------------
// Directory

static void read_directory(const char* path) {
    Archive& a = archive;
    struct stat info;
    if (fstat(fileno(a.file), &info) != 0) return;
    const int64_t file_size = info.st_size;
    int64_t position = 0;
    while (position < file_size) {
        if (a.count >= archive_max_entries) {
            a.more_records = true;
            console_message("dravo: %s holds more than %d resources; the rest are ignored\n", path,
                            archive_max_entries);
            break;
        }
        uint8_t header[archive_record_header];
        if (fseeko(a.file, position, SEEK_SET) != 0) break;
        size_t got = std::fread(header, 1, sizeof header, a.file);
        if (got < sizeof header) {
            console_message("dravo: %s: record %d is cut short (%d of %d header bytes)\n", path,
                            a.count + 1, int(got), archive_record_header);
            a.damaged_records++;
            break;
        }
        ArchiveEntry& e = a.entries[a.count];
        // The name field is 13 bytes whatever it holds: a name with no zero byte is cut to
        // 12 characters instead of running on into the sizes.
        size_t length = 0;
        while (length < 12 && header[length]) length++;
        std::memcpy(e.name, header, length);
        e.name[length] = 0;
        if (length == 12 && header[12]) {
            console_message("dravo: %s: the name of record %d has no end; cut to \"%s\"\n", path,
                            a.count + 1, e.name);
            a.damaged_records++;
        }
        e.packed_size = read_be32(header + 13);
        e.unpacked_size = read_be32(header + 17);
        e.data_offset = position + archive_record_header;
        int64_t held = file_size - e.data_offset;
        e.packed_available = int64_t(e.packed_size) <= held ? e.packed_size : uint32_t(held);
        if (e.packed_available < e.packed_size) {
            console_message("dravo: %s: %s needs %u packed bytes, the file holds %u\n", path, e.name,
                            e.packed_size, e.packed_available);
            a.damaged_records++;
        }
        a.count++;
        position = e.data_offset + int64_t(e.packed_size);
    }
}

static void close_stream() {
    ResourceStream& s = resource_stream;
    if (s.file) std::fclose(s.file);
    std::free(s.contents);
    s.source = stream_none;
    s.remaining = 0;
    s.file_position = 0;
    s.file = nullptr;
    s.contents = nullptr;
    s.contents_size = 0;
    s.contents_position = 0;
}

void close_archive() {
    close_stream();
    if (archive.file) std::fclose(archive.file);
    archive.file = nullptr;
    archive.count = 0;
    archive.name[0] = 0;
    archive.damaged_records = 0;
    archive.more_records = false;
}

int open_archive(const char* path) {
    if (!path) path = "";
    if (*path && archive.file && std::strcmp(path, archive.name) == 0) return 0;
    close_archive();
    if (!*path) return 0;
    FILE* file = open_game_file(path);
    if (!file) return -1;
    archive.file = file;
    // A name that does not fit is not remembered: a cut one could equal another path.
    if (std::strlen(path) < sizeof archive.name) std::strcpy(archive.name, path);
    read_directory(path);
    return archive.count;
}

// ---------------------------------------------------------------------------------------------
// Reads

int find_archive_entry(const char* name) {
    if (!archive.file || !name) return -1;
    const char* base = name;
    for (const char* p = name; *p; p++)
        if (*p == '/' || *p == '\\') base = p + 1;
    for (int i = 0; i < archive.count; i++)
        if (names_equal_nocase(archive.entries[i].name, base)) return i;
    return -1;
}

uint8_t* load_archive_entry(int index, int32_t* size) {
    if (size) *size = 0;
    if (!archive.file || index < 0 || index >= archive.count) return nullptr;
    const ArchiveEntry& e = archive.entries[index];
    // The unpacked size comes from the file: allocate no more than the packed bytes held can
    // produce.
    uint64_t bound = lzss_output_bound(e.packed_available);
    if (bound > e.unpacked_size) bound = e.unpacked_size;
    if (bound > uint64_t(INT32_MAX - 2)) {
        console_message("dravo: %s: %s is too large to load (%u bytes)\n", archive.name, e.name,
                        e.unpacked_size);
        return nullptr;
    }
    uint8_t* data = static_cast<uint8_t*>(std::calloc(size_t(bound) + 2, 1));
    if (!data) return nullptr;
    int32_t produced = 0;
    if (bound > 0 && fseeko(archive.file, e.data_offset, SEEK_SET) == 0) {
        LzssDecoder decoder;
        lzss_start(decoder, e.packed_available);
        produced = lzss_decode(decoder, archive.file, data, int32_t(bound));
    }
    if (size) *size = produced;
    return data;
}

uint8_t* load_original_resource(const char* name, int32_t* size) {
    if (size) *size = 0;
    if (!name || !*name) return nullptr;
    int index = find_archive_entry(name);
    if (index >= 0) return load_archive_entry(index, size);
    char path[lookup_path_max];
    if (find_game_file(name, path, sizeof path)) return read_whole_file(path, size);
    return nullptr;
}

uint8_t* load_resource(const char* name, int32_t* size) {
    if (size) *size = 0;
    if (!name || !*name) return nullptr;
    refresh_loading();
    char label[512];
    if (is_patched(name, label, sizeof label)) {
        if (uint8_t* data = load_patched(name, size)) {
            log_patched(name, label);
            return data;
        }
    }
    return load_original_resource(name, size);
}

static bool start_stream(const char* name) {
    ResourceStream& s = resource_stream;
    char label[512];
    if (is_patched(name, label, sizeof label)) {
        int32_t size = 0;
        if (uint8_t* data = load_patched(name, &size)) {
            log_patched(name, label);
            s.source = stream_patched;
            s.contents = data;
            s.contents_size = size;
            s.contents_position = 0;
            return true;
        }
    }
    int index = find_archive_entry(name);
    if (index >= 0) {
        const ArchiveEntry& e = archive.entries[index];
        s.source = stream_archive;
        s.remaining = e.unpacked_size;
        s.file_position = e.data_offset;
        lzss_start(s.decoder, e.packed_available);
        return true;
    }
    char path[lookup_path_max];
    if (find_game_file(name, path, sizeof path)) {
        if (FILE* file = open_game_file(path)) {
            s.source = stream_disk;
            s.file = file;
            return true;
        }
    }
    return false;
}

// The next chunk of the open stream; 0 when it has nothing more.
static int32_t stream_next(uint8_t* dest, int32_t capacity) {
    ResourceStream& s = resource_stream;
    switch (s.source) {
    case stream_archive: {
        if (!archive.file || s.remaining == 0) return 0;
        int32_t want = uint32_t(capacity) < s.remaining ? capacity : int32_t(s.remaining);
        // The stream keeps its own file position: a whole-file read may have moved the file.
        if (fseeko(archive.file, s.file_position, SEEK_SET) != 0) return 0;
        int32_t n = lzss_decode(s.decoder, archive.file, dest, want);
        s.file_position = ftello(archive.file);
        s.remaining -= uint32_t(n);
        return n;
    }
    case stream_disk:
        return int32_t(std::fread(dest, 1, size_t(capacity), s.file));
    case stream_patched: {
        int32_t left = s.contents_size - s.contents_position;
        int32_t n = capacity < left ? capacity : left;
        if (n > 0) std::memcpy(dest, s.contents + s.contents_position, size_t(n));
        s.contents_position += n;
        return n;
    }
    case stream_none:
        break;
    }
    return 0;
}

uint8_t* stream_resource(const char* name, uint8_t* dest, int32_t* count) {
    if (!count) return nullptr;
    int32_t capacity = *count;
    *count = 0;
    if (!dest || capacity <= 0) return nullptr;
    refresh_loading();
    if (name && *name) {
        close_stream();
        if (!start_stream(name)) return nullptr;
    }
    int32_t n = stream_next(dest, capacity);
    if (n <= 0) {
        close_stream();
        return nullptr;
    }
    *count = n;
    return dest;
}

int resource_exists(const char* name) {
    if (!name || !*name) return -1;
    if (is_patched(name, nullptr, 0)) return 0;
    if (FILE* file = open_game_file(name)) {
        std::fclose(file);
        return 0;
    }
    // The whole name, directory included: BMAPS\WALL1.PCX is not the entry WALL1.PCX here.
    for (int i = 0; archive.file && i < archive.count; i++)
        if (names_equal_nocase(archive.entries[i].name, name)) return 0;
    return -2;
}
