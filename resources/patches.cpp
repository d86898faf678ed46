// The patch layer's lookup, answering "no patch" until replacement files and shipped patches
// are read. The logging of substitutions is already the real one.
#include "resources/patches.h"

#include <cstdio>

#include "engine/console.h"
#include "resources/file_lookup.h"

namespace {
struct PatchLog {
    char names[32][64];  // the names already reported as patched
    int count;
};
PatchLog patch_log = {};
}  // namespace

bool is_patched(const char* /*name*/, char* label, int label_size) {
    if (label && label_size > 0) label[0] = 0;
    return false;
}

uint8_t* load_patched(const char* /*name*/, int32_t* size) {
    if (size) *size = 0;
    return nullptr;
}

void log_patched(const char* name, const char* label) {
    if (!name) return;
    for (int i = 0; i < patch_log.count; i++)
        if (names_equal_nocase(patch_log.names[i], name)) return;
    if (patch_log.count < 32) std::snprintf(patch_log.names[patch_log.count++], 64, "%s", name);
    console_message("diradarodav: %s -> %s\n", name, label ? label : "");
}

void clear_patch_cache() {}
