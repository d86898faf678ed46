// File lookup: exact open first, then a scan of the directory for the one entry that matches
// the last component of the name without case or through its 8.3 short-name pattern.
#include "resources/file_lookup.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "engine/errors.h"

SearchDirList search_dirs = {};

static inline char fold(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool names_equal_nocase(const char* a, const char* b) {
    for (;; a++, b++) {
        if (fold(*a) != fold(*b)) return false;
        if (*a == 0) return true;
    }
}

static bool prefix_equal_nocase(const char* a, const char* b, size_t n) {
    for (size_t i = 0; i < n; i++)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

static inline bool is_separator(char c) { return c == '/' || c == '\\'; }

bool is_valid_83_name(const char* name) {
    const char* dot = nullptr;
    for (const char* p = name; *p; p++) {
        if (std::strchr(" +,;=[]", *p)) return false;
        if (*p == '.') {
            if (dot) return false;
            dot = p;
        }
    }
    size_t length = std::strlen(name);
    size_t stem = dot ? size_t(dot - name) : length;
    if (stem < 1 || stem > 8) return false;
    if (!dot) return true;
    size_t extension = length - stem - 1;
    return extension >= 1 && extension <= 3;
}

// Copies `text` into `out` when it fits whole; a cut copy would name another file.
static bool copy_whole(char* out, int out_size, const char* text) {
    size_t length = std::strlen(text);
    if (!out || out_size <= 0 || length >= size_t(out_size)) return false;
    std::memcpy(out, text, length + 1);
    return true;
}

static void copy_cut(char* out, int out_size, const char* text) {
    if (!out || out_size <= 0) return;
    size_t length = std::strlen(text);
    if (length >= size_t(out_size)) length = size_t(out_size) - 1;
    std::memcpy(out, text, length);
    out[length] = 0;
}

// fopen for reading, refusing anything but a regular file: a directory opens on Linux but
// reads nothing, and a pipe or device would block or never end.
static FILE* open_regular(const char* path) {
    FILE* file = std::fopen(path, "rb");
    if (!file) return nullptr;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// The short-name pattern of a base name such as LONGNA~1.PCX: prefix "LONGNA", extension ".PCX".
struct ShortNamePattern {
    size_t prefix_length;  // 0 = the name has no pattern
    const char* extension; // from the last '.' on
};

static ShortNamePattern short_name_pattern(const char* base) {
    ShortNamePattern none = {0, nullptr};
    const char* tilde = std::strchr(base, '~');
    if (!tilde) return none;
    for (const char* p = base; p < tilde; p++)
        if (*p == '.') return none;
    size_t prefix = size_t(tilde - base);
    if (prefix < 1 || prefix > 15) return none;
    const char* last_dot = std::strrchr(base, '.');
    if (!last_dot || last_dot < tilde + 2) return none;  // at least one digit between
    for (const char* p = tilde + 1; p < last_dot; p++)
        if (*p < '0' || *p > '9') return none;
    return {prefix, last_dot};
}

static bool entry_matches(const char* entry, const char* base, const ShortNamePattern& pattern) {
    if (names_equal_nocase(entry, base)) return true;
    if (pattern.prefix_length == 0) return false;
    // The digits of a short name are not compared: any long name with that prefix and
    // extension stands for it (a second one makes the name ambiguous).
    size_t length = std::strlen(entry);
    if (length <= pattern.prefix_length || is_valid_83_name(entry)) return false;
    const char* last_dot = std::strrchr(entry, '.');
    if (!last_dot || size_t(last_dot - entry) < pattern.prefix_length) return false;
    return names_equal_nocase(last_dot, pattern.extension) &&
           prefix_equal_nocase(entry, base, pattern.prefix_length);
}

// A DOS directory part such as BMAPS\WALLS names folders whose case on a Linux disk may
// differ: when the directory cannot be opened as written, each of its components is looked
// up without regard to case (a component that two entries match is not found). Answers
// false when no such folder exists or the resolved path does not fit.
static bool resolve_directory(const char* dir, char* out, size_t out_size) {
    size_t used = 0;
    const char* p = dir;
    if (is_separator(*p)) {
        out[used++] = '/';
        while (is_separator(*p)) p++;
    }
    out[used] = 0;
    while (*p) {
        const char* end = p;
        while (*end && !is_separator(*end)) end++;
        char part[lookup_entry_name_max];
        size_t length = size_t(end - p);
        if (length >= sizeof part) return false;
        std::memcpy(part, p, length);
        part[length] = 0;
        DIR* scan = opendir(used ? out : ".");
        if (!scan) return false;
        char found[lookup_entry_name_max];
        int matches = 0;
        while (struct dirent* entry = readdir(scan)) {
            if (!names_equal_nocase(entry->d_name, part)) continue;
            if (std::strcmp(entry->d_name, part) == 0) {  // an exact match settles it
                matches = 1;
                std::strcpy(found, entry->d_name);
                break;
            }
            if (++matches > 1) break;
            std::strcpy(found, entry->d_name);
        }
        closedir(scan);
        if (matches != 1) return false;
        int n = std::snprintf(out + used, out_size - used, "%s%s", used && out[used - 1] != '/' ? "/" : "", found);
        if (n < 0 || size_t(n) >= out_size - used) return false;
        used += size_t(n);
        p = end;
        while (is_separator(*p)) p++;
    }
    return used > 0;
}

// Opens one name. `path` (lookup_path_max bytes) receives the path actually opened.
static FILE* open_one(const char* name, char* path) {
    if (!name || !*name) return nullptr;
    if (FILE* file = open_regular(name)) {
        copy_cut(path, lookup_path_max, name);
        return file;
    }
    const char* last_separator = nullptr;
    for (const char* p = name; *p; p++)
        if (is_separator(*p)) last_separator = p;
    const char* base = last_separator ? last_separator + 1 : name;
    if (!*base) return nullptr;

    char dir[lookup_dir_part_max];
    if (!last_separator) {
        std::strcpy(dir, ".");
    } else {
        size_t length = size_t(last_separator - name);
        if (length == 0) length = 1;  // a rooted name: scan the root itself
        if (length >= sizeof dir) return nullptr;
        std::memcpy(dir, name, length);
        dir[length] = 0;
    }

    ShortNamePattern pattern = short_name_pattern(base);
    DIR* scan = opendir(dir);
    if (!scan && last_separator) {
        char resolved[lookup_dir_part_max];
        if (resolve_directory(dir, resolved, sizeof resolved)) {
            std::strcpy(dir, resolved);
            scan = opendir(dir);
        }
    }
    if (!scan) return nullptr;
    char found[lookup_entry_name_max];
    int matches = 0;
    while (struct dirent* entry = readdir(scan)) {
        if (!entry_matches(entry->d_name, base, pattern)) continue;
        if (++matches > 1) break;
        if (!copy_whole(found, sizeof found, entry->d_name)) matches = 2;  // cannot be named
    }
    closedir(scan);
    if (matches != 1) return nullptr;

    char joined[lookup_path_max];
    int n;
    if (!last_separator)
        n = std::snprintf(joined, sizeof joined, "%s", found);
    else if (std::strcmp(dir, "/") == 0)
        n = std::snprintf(joined, sizeof joined, "/%s", found);
    else
        n = std::snprintf(joined, sizeof joined, "%s/%s", dir, found);
    if (n < 0 || size_t(n) >= sizeof joined) return nullptr;
    FILE* file = open_regular(joined);
    if (file) std::memcpy(path, joined, size_t(n) + 1);
    return file;
}

FILE* open_game_file(const char* name, char* actual, int actual_size) {
    char path[lookup_path_max];
    FILE* file = open_one(name, path);
    if (file) copy_cut(actual, actual_size, path);
    return file;
}

// One try of the search: the joined name must fit, and so must the path that opened.
// Answers 1 found, 0 not found, -1 found but the path does not fit the caller's buffer.
static int try_joined(const char* dir, char separator, const char* name, char* out, int out_size) {
    char joined[lookup_joined_max];
    int n = std::snprintf(joined, sizeof joined, "%s%c%s", dir, separator, name);
    if (n < 0 || size_t(n) >= sizeof joined) return 0;
    char path[lookup_path_max];
    FILE* file = open_one(joined, path);
    if (!file) return 0;
    std::fclose(file);
    return copy_whole(out, out_size, path) ? 1 : -1;
}

static bool is_rooted_dos_dir(const char* dir) {
    bool letter = (dir[0] >= 'A' && dir[0] <= 'Z') || (dir[0] >= 'a' && dir[0] <= 'z');
    if (letter && dir[1] == ':' && dir[2]) return true;
    return is_separator(dir[0]);
}

// The tries of one search directory; 1, 0 or -1 as try_joined.
static int try_search_dir(const char* dir, const char* name, char* out, int out_size) {
    for (char separator : {'\\', '/'})
        if (int r = try_joined(dir, separator, name, out, out_size)) return r;
    if (!is_rooted_dos_dir(dir)) return 0;
    // C:\GAMES\DUNGEON\BMAPS also tries GAMES/DUNGEON/BMAPS, DUNGEON/BMAPS and BMAPS below
    // the game folder, from the longest remainder to the last component alone.
    for (const char* p = dir; *p; p++) {
        if (!is_separator(p[0]) || !p[1] || is_separator(p[1])) continue;
        char rest[lookup_joined_max];
        if (!copy_whole(rest, sizeof rest, p + 1)) continue;
        for (char* q = rest; *q; q++)
            if (*q == '\\') *q = '/';
        for (char separator : {'\\', '/'})
            if (int r = try_joined(rest, separator, name, out, out_size)) return r;
    }
    return 0;
}

bool find_game_file(const char* name, char* out, int out_size) {
    int result = 0;
    if (name && *name) {
        char path[lookup_path_max];
        if (FILE* file = open_one(name, path)) {
            std::fclose(file);
            result = copy_whole(out, out_size, path) ? 1 : -1;
        }
        for (int i = 0; result == 0 && i < search_dir_capacity && search_dirs.entries[i]; i++)
            result = try_search_dir(search_dirs.entries[i], name, out, out_size);
    }
    if (result == 1) return true;
    copy_cut(out, out_size, name ? name : "");
    return false;
}

uint8_t* read_whole_file(const char* path, int32_t* size) {
    if (size) *size = 0;
    FILE* file = open_game_file(path);
    if (!file) return nullptr;
    uint8_t* data = nullptr;
    off_t length = -1;
    if (fseeko(file, 0, SEEK_END) == 0) length = ftello(file);
    if (length > 0 && length <= INT32_MAX - 2 && fseeko(file, 0, SEEK_SET) == 0) {
        data = static_cast<uint8_t*>(std::calloc(size_t(length) + 2, 1));
        if (data) {
            size_t got = std::fread(data, 1, size_t(length), file);
            if (got == 0) {
                std::free(data);
                data = nullptr;
            } else if (size) {
                *size = int32_t(got);  // a file that shrank since its size was taken: what was read
            }
        }
    }
    std::fclose(file);
    return data;
}

bool add_search_dir(const char* dir) {
    if (!dir) return false;
    int count = 0;
    for (; count < search_dir_capacity && search_dirs.entries[count]; count++)
        if (names_equal_nocase(search_dirs.entries[count], dir)) return true;
    if (count >= search_dir_capacity) {
        report_error();
        return false;
    }
    size_t length = std::strlen(dir);
    char* copy = static_cast<char*>(std::calloc(length + 1, 1));
    if (!copy) return false;
    std::memcpy(copy, dir, length);
    search_dirs.entries[count] = copy;
    search_dirs.entries[count + 1] = nullptr;
    return true;
}

void clear_search_dirs() {
    for (char*& entry : search_dirs.entries) {
        std::free(entry);
        entry = nullptr;
    }
}
