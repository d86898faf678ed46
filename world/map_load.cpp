// The map loader's front door: reads the named file through the resource layer and hands
// it to the text or the binary form, and keeps the loader's offsets and bases.
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "resources/archive.h"
#include "script/front/catalogue.h"
#include "world/map_internal.h"
#include "world/map_loader.h"

MapLoader map_loader;

void reset_map_loader() {
    map_loader.offset_x = map_loader.offset_y = 0.0;
    map_loader.vertex_base = map_loader.region_base = 0;
    map_loader.map_loaded = 0;
    map_loader.database_mode = false;
}

void set_database_bases() {
    // Numbers run from 0 without gaps, so the highest number + 1 is the count: the first
    // record of the database map gets exactly the number its file calls 0.
    map_loader.vertex_base = catalogue.vertices ? catalogue.vertices->number + 1 : 0;
    map_loader.region_base = catalogue.regions ? catalogue.regions->number + 1 : 0;
}

static bool ends_with_bin(const char* name) {
    size_t n = std::strlen(name);
    if (n < 4) return false;
    const char* e = name + n - 4;
    return e[0] == '.' && (e[1] | 0x20) == 'b' && (e[2] | 0x20) == 'i' && (e[3] | 0x20) == 'n';
}

// A map that is named but cannot be read is an error that names it, so the start stops
// with the listing instead of running a world without its map.
static void report_unreadable_map(const char* name) {
    console_message("\r\ndravo: cannot read the map file \"%s\"", name);
    ErrorContext saved = error_context;
    error_context.script_file = name;
    error_context.script_line = 0;
    error_context.script_statement = "(the map file cannot be read)";
    report_error("load_map");
    error_context = saved;
}

int load_map(const char* name) {
    if (!name || !*name || *name == ' ') {
        map_loader.map_loaded = 0;
        return 0;
    }
    map_loader.map_loaded = 1;
    int32_t size = 0;
    uint8_t* data = load_resource(name, &size);
    if (!data) {
        report_unreadable_map(name);
        return -1;
    }
    int result = ends_with_bin(name) ? load_map_binary(data, size, name) : load_map_text((char*)data, size, name);
    std::free(data);
    return result;
}
