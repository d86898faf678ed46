// The reader's file reads and loading-screen refresh. Until the resource archive exists,
// files come straight from the disk through a placeholder to be replaced by load_resource.
#include "script/front/reader_io.h"

#include <cstdio>
#include <cstdlib>

#include "platform/video.h"

// Placeholder for load_resource: reads the named file from the disk.
static char* placeholder_load_resource(const char* name, int* size) {
    if (!name || !*name) return nullptr;
    std::FILE* f = std::fopen(name, "rb");
    if (!f) return nullptr;
    char* text = nullptr;
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    if (length >= 0 && length < 0x7FFFFFF0L && std::fseek(f, 0, SEEK_SET) == 0) {
        text = static_cast<char*>(std::calloc(size_t(length) + 2, 1));
        if (text && std::fread(text, 1, size_t(length), f) != size_t(length)) {
            std::free(text);
            text = nullptr;
        }
    }
    std::fclose(f);
    if (text && size) *size = int(length);
    return text;
}

char* load_script_file(const char* name, int* size) {
    int n = 0;
    char* text = placeholder_load_resource(name, &n);
    if (size) *size = text ? n : 0;
    return text;
}

void free_script_file(char* text) { std::free(text); }

void refresh_loading_screen() { loading_update(nullptr); }
