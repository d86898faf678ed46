// dravo-wrs commands: list, extract, pack, verify.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "resources/archive.h"
#include "resources/file_lookup.h"
#include "resources/lzss.h"
#include "tools/wrs/wrs.h"

namespace {

void fail(const char* format, const char* a = "", const char* b = "") {
    std::fprintf(stderr, "dravo-wrs: ");
    std::fprintf(stderr, format, a, b);
    std::fputc('\n', stderr);
}

// Entry names as a terminal can show them: damaged archives may hold any bytes.
std::string printable(const char* name) {
    std::string out;
    for (const char* p = name; *p; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    return out.empty() ? "(no name)" : out;
}

// Opens the archive through the engine's reader; false (reported) when it does not open.
bool open_for_tool(const char* path) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) {
        fail("%s: no such archive", path);
        return false;
    }
    close_archive();
    if (open_archive(path) < 0) {
        fail("%s: cannot be opened", path);
        return false;
    }
    return true;
}

// True when an earlier entry has the same name without case: the engine never reads this one.
bool hidden_by_earlier(int index) {
    for (int i = 0; i < index; i++)
        if (names_equal_nocase(archive.entries[i].name, archive.entries[index].name)) return true;
    return false;
}

// A name that is safe to create as a file in the output folder.
bool safe_file_name(const char* name) {
    if (!*name || !std::strcmp(name, ".") || !std::strcmp(name, "..")) return false;
    for (const char* p = name; *p; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
    }
    return true;
}

bool write_whole(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = std::fclose(f) == 0 && ok;
    return ok;
}

bool read_whole(const char* path, std::vector<uint8_t>& out) {
    struct stat info;
    if (stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    out.resize(size_t(info.st_size));
    bool ok = out.empty() || std::fread(out.data(), 1, out.size(), f) == out.size();
    std::fclose(f);
    return ok;
}

const char* base_name(const char* path) {
    const char* base = path;
    for (const char* p = path; *p; p++)
        if (*p == '/') base = p + 1;
    return base;
}

void put_be32(std::vector<uint8_t>& out, uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
}

}  // namespace

const char* wrs_name_problem(const char* name) {
    if (!*name) return "an empty name";
    if (std::strlen(name) > 12) return "longer than 12 characters";
    for (const char* p = name; *p; p++) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c <= 0x20 || c >= 0x7F || std::strchr("\"*/:<>?\\|", c))
            return "holds a character that DOS file names cannot hold";
    }
    if (!is_valid_83_name(name)) return "not a DOS 8.3 name (1 to 8 characters, a dot and at most 3 more)";
    return nullptr;
}

int wrs_list(const char* archive_path) {
    if (!open_for_tool(archive_path)) return 1;
    uint64_t packed = 0, unpacked = 0;
    std::printf("%-14s %10s %10s\n", "NAME", "PACKED", "UNPACKED");
    for (int i = 0; i < archive.count; i++) {
        const ArchiveEntry& e = archive.entries[i];
        std::printf("%-14s %10u %10u\n", printable(e.name).c_str(), e.packed_size, e.unpacked_size);
        packed += e.packed_size;
        unpacked += e.unpacked_size;
    }
    std::printf("%d %s, %llu bytes packed, %llu unpacked\n", archive.count, archive.count == 1 ? "entry" : "entries",
                static_cast<unsigned long long>(packed), static_cast<unsigned long long>(unpacked));
    int status = archive.damaged_records || archive.more_records ? 1 : 0;
    close_archive();
    return status;
}

int wrs_extract(const char* archive_path, const char* out_dir, const char* const* names, int name_count) {
    if (out_dir) {
        struct stat info;
        if (stat(out_dir, &info) != 0 || !S_ISDIR(info.st_mode)) {
            fail("%s: no such folder", out_dir);
            return 1;
        }
    }
    if (!open_for_tool(archive_path)) return 1;
    int status = 0;
    std::vector<int> chosen;
    if (name_count == 0) {
        for (int i = 0; i < archive.count; i++) {
            if (hidden_by_earlier(i)) {
                fail("%s: hidden by an earlier entry of the same name; not extracted",
                     printable(archive.entries[i].name).c_str());
                continue;
            }
            chosen.push_back(i);
        }
    } else {
        for (int n = 0; n < name_count; n++) {
            int index = -1;
            for (int i = 0; i < archive.count && index < 0; i++)
                if (names_equal_nocase(archive.entries[i].name, names[n])) index = i;
            if (index < 0) {
                fail("%s: not in %s", names[n], archive_path);
                status = 1;
            } else {
                chosen.push_back(index);
            }
        }
    }
    for (int index : chosen) {
        const ArchiveEntry& e = archive.entries[index];
        if (!safe_file_name(e.name)) {
            fail("%s: not a name that can be written as a file; skipped", printable(e.name).c_str());
            status = 1;
            continue;
        }
        int32_t size = 0;
        uint8_t* data = load_archive_entry(index, &size);
        if (!data) {
            fail("%s: cannot be read", e.name);
            status = 1;
            continue;
        }
        std::string path = out_dir ? std::string(out_dir) + "/" + e.name : std::string(e.name);
        if (!write_whole(path, data, size_t(size))) {
            fail("%s: cannot be written", path.c_str());
            status = 1;
        }
        if (uint32_t(size) != e.unpacked_size) {
            char detail[96];
            std::snprintf(detail, sizeof detail, "%d of %u bytes", size, e.unpacked_size);
            fail("%s: damaged, only %s could be decoded", e.name, detail);
            status = 1;
        }
        std::free(data);
    }
    if (archive.damaged_records) status = 1;
    close_archive();
    return status;
}

int wrs_verify(const char* archive_path) {
    if (!open_for_tool(archive_path)) return 1;
    int bad = 0;
    for (int i = 0; i < archive.count; i++) {
        const ArchiveEntry& e = archive.entries[i];
        int32_t size = 0;
        uint8_t* data = load_archive_entry(i, &size);
        if (!data || uint32_t(size) != e.unpacked_size) {
            char detail[96];
            std::snprintf(detail, sizeof detail, "decodes to %d of its %u bytes", size, e.unpacked_size);
            fail("%s: %s", printable(e.name).c_str(), detail);
            bad++;
        } else if (hidden_by_earlier(i)) {
            fail("%s: note: hidden by an earlier entry of the same name", printable(e.name).c_str());
        }
        std::free(data);
    }
    if (archive.more_records) {
        fail("%s: holds more records than the engine reads (%s)", archive_path, "2048");
        bad++;
    }
    bad += archive.damaged_records;
    int count = archive.count;
    close_archive();
    if (bad) {
        char detail[64];
        std::snprintf(detail, sizeof detail, "%d problem(s)", bad);
        fail("%s: %s", archive_path, detail);
        return 1;
    }
    std::printf("%s: %d %s verified\n", archive_path, count, count == 1 ? "entry" : "entries");
    return 0;
}

int wrs_pack(const char* archive_path, const char* const* files, int file_count) {
    if (file_count > archive_max_entries) {
        fail("%s: an archive holds at most 2048 entries%s", archive_path, "");
        return 1;
    }
    std::vector<std::vector<uint8_t>> contents(static_cast<size_t>(file_count));
    bool ok = true;
    for (int i = 0; i < file_count; i++) {
        const char* name = base_name(files[i]);
        if (const char* problem = wrs_name_problem(name)) {
            fail("%s: %s", files[i], problem);
            ok = false;
            continue;
        }
        for (int j = 0; j < i; j++)
            if (names_equal_nocase(base_name(files[j]), name)) {
                fail("%s: the name is already taken by %s", files[i], files[j]);
                ok = false;
                break;
            }
        if (!read_whole(files[i], contents[size_t(i)])) {
            fail("%s: cannot be read%s", files[i], "");
            ok = false;
        } else if (contents[size_t(i)].size() > size_t(INT32_MAX - 2)) {
            fail("%s: too large for an archive entry%s", files[i], "");
            ok = false;
        }
    }
    if (!ok) return 1;

    // Written beside the archive and renamed only once it reads back exactly.
    std::string temp = std::string(archive_path) + ".tmp-" + std::to_string(getpid());
    FILE* out = std::fopen(temp.c_str(), "wb");
    if (!out) {
        fail("%s: cannot be created", temp.c_str());
        return 1;
    }
    std::vector<uint8_t> record;
    for (int i = 0; i < file_count && ok; i++) {
        const std::vector<uint8_t>& data = contents[size_t(i)];
        record.assign(archive_record_header, 0);
        std::memcpy(record.data(), base_name(files[i]), std::strlen(base_name(files[i])));
        record.resize(archive_name_field);
        std::vector<uint8_t> packed(lzss_encode_bound(data.size()));
        int64_t n = lzss_encode(data.data(), data.size(), packed.data(), packed.size());
        if (n < 0) {
            fail("%s: cannot be packed (out of memory)", files[i]);
            ok = false;
            break;
        }
        put_be32(record, uint32_t(n));
        put_be32(record, uint32_t(data.size()));
        ok = std::fwrite(record.data(), 1, record.size(), out) == record.size() &&
             (n == 0 || std::fwrite(packed.data(), 1, size_t(n), out) == size_t(n));
        if (!ok) fail("%s: write failed", temp.c_str());
    }
    if (std::fclose(out) != 0 && ok) {
        fail("%s: write failed", temp.c_str());
        ok = false;
    }

    // Read back through the engine: every entry found by its name gives back its bytes.
    if (ok) {
        close_archive();
        ok = open_archive(temp.c_str()) == file_count && archive.damaged_records == 0;
        for (int i = 0; i < file_count && ok; i++) {
            int32_t size = 0;
            int index = find_archive_entry(base_name(files[i]));
            uint8_t* data = load_archive_entry(index, &size);
            const std::vector<uint8_t>& want = contents[size_t(i)];
            ok = index == i && data && size_t(size) == want.size() &&
                 (want.empty() || std::memcmp(data, want.data(), want.size()) == 0);
            std::free(data);
            if (!ok) fail("%s: does not read back as written", files[i]);
        }
        close_archive();
        if (!ok && file_count > 0) fail("%s: the archive did not read back exactly; nothing written", archive_path);
    }
    if (ok && std::rename(temp.c_str(), archive_path) != 0) {
        fail("%s: cannot be written", archive_path);
        ok = false;
    }
    if (!ok) {
        std::remove(temp.c_str());
        return 1;
    }
    std::printf("%s: %d %s packed\n", archive_path, file_count, file_count == 1 ? "entry" : "entries");
    return 0;
}
