// The save file name rule: "%.5s%d.%s" in the save folder.
#include "world/save_path.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/settings.h"

namespace {

// The folder a relative save folder lies in is the working folder; an absolute one (a
// path from "/", or a DOS drive "X:") is used as given.
bool is_absolute(const char* folder) { return folder[0] == '/' || (folder[0] && folder[1] == ':'); }

}  // namespace

int make_save_path(const char* name, int32_t number, bool create, const char* extension, char* out, size_t size) {
    if (!out || size == 0) return -1;
    out[0] = 0;
    int32_t n = number >> 10;
    if (n < 0) n = 0;
    if (n > 999) n = 999;

    // A name must not lead out of the folder: its first five characters name a file.
    char stem[6] = "";
    if (name) std::snprintf(stem, sizeof stem, "%s", name);
    for (int i = 0; stem[i]; i++) {
        char c = stem[i];
        if (c == '/' || c == '\\' || c == ':' || (i == 0 && c == '.')) stem[i] = '_';
    }
    char file[32];
    std::snprintf(file, sizeof file, "%s%d.%s", stem, int(n), extension ? extension : "");

    const char* folder = settings.save_dir;
    int written;
    if (folder[0]) {
        char dir[4096];
        if (is_absolute(folder)) {
            written = std::snprintf(dir, sizeof dir, "%s", folder);
        } else {
            char cwd[2048];
            if (!getcwd(cwd, sizeof cwd)) return -1;
            written = std::snprintf(dir, sizeof dir, "%s/%s", cwd, folder);
        }
        if (written < 0 || size_t(written) >= sizeof dir) return -1;
        if (create && mkdir(dir, 0777) != 0 && errno != EEXIST) return -1;
        size_t length = std::strlen(dir);
        bool separator = length > 0 && dir[length - 1] == '/';
        written = std::snprintf(out, size, "%s%s%s", dir, separator ? "" : "/", file);
    } else {
        written = std::snprintf(out, size, "%s", file);
    }
    if (written < 0 || size_t(written) >= size) {
        out[0] = 0;
        return -1;
    }
    if (!create) {
        struct stat st;
        if (stat(out, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) return -2;
    }
    return 0;
}
