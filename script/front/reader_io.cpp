// The reader's file reads and loading-screen refresh: scripts come through the resource
// layer (patches, the archive, then the disk), like every other game file.
#include "script/front/reader_io.h"

#include <cstdint>
#include <cstdlib>

#include "platform/video.h"
#include "resources/archive.h"

char* load_script_file(const char* name, int* size) {
    if (size) *size = 0;
    if (!name || !*name) return nullptr;
    int32_t n = 0;
    // The buffer has two zero bytes after the contents: room for the reader's terminator.
    uint8_t* text = load_resource(name, &n);
    if (!text) return nullptr;
    if (n < 0) n = 0;
    if (size) *size = int(n);
    return reinterpret_cast<char*>(text);
}

void free_script_file(char* text) { std::free(text); }

void refresh_loading_screen() { loading_update(nullptr); }
