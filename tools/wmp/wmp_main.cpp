// dravo-wmp: converts a level map between its text form (.WMP) and its binary form (.bin),
// and checks that the result loads back into the same records.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "world/map_loader.h"
#include "world/map_writer.h"

static const char usage_text[] =
    "usage: dravo-wmp IN OUT\n"
    "\n"
    "Converts a MIRDAL 3 level map: a name ending in \".bin\" is the binary form, any other\n"
    "the text form (.WMP). The map is read with the engine's own loader; its faults are\n"
    "listed as the engine lists them. The result is read back and compared record by record.\n"
    "\n"
    "Exit status: 0 written and identical, 1 the map has faults or cannot be written or\n"
    "read back alike, 2 the command line is wrong.\n";

static bool binary_name(const char* name) {
    size_t n = std::strlen(name);
    return n >= 4 && strcasecmp(name + n - 4, ".bin") == 0;
}

static bool read_file(const char* path, std::vector<uint8_t>* out) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) out->insert(out->end(), chunk, chunk + n);
    bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

static bool write_file(const char* path, const void* data, size_t size) {
    FILE* f = std::fopen(path, "wb");
    if (!f) return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

static void fresh_catalogue() {
    catalogue_reset();
    reset_reader();
    clear_errors();
    error_store.report_armed = 1;
    reset_map_loader();
    create_engine_variables();
}

// Loads a map image in the form its name says; false after listing its faults. Reports
// name the file without its folders.
static bool load(const char* path, std::vector<uint8_t> bytes) {
    const char* slash = std::strrchr(path, '/');
    const char* name = slash ? slash + 1 : path;
    fresh_catalogue();
    int result;
    if (binary_name(name)) {
        result = load_map_binary(bytes.data(), int32_t(bytes.size()), name);
    } else {
        bytes.push_back(0);
        result = load_map_text((char*)bytes.data(), int32_t(bytes.size() - 1), name);
    }
    if (result == 0 && error_store.error_count == 0) return true;
    print_error_reports();
    std::fprintf(stderr, "\ndravo-wmp: %s has faults\n", name);
    return false;
}

int main(int argc, char** argv) {
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
        std::fputs(usage_text, stdout);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "dravo-wmp: give the map to read and the map to write\n\n%s", usage_text);
        return 2;
    }
    const char* in = argv[1];
    const char* out = argv[2];
    reset_settings();
    catalogue_init();
    std::vector<uint8_t> bytes;
    if (!read_file(in, &bytes)) {
        std::fprintf(stderr, "dravo-wmp: cannot read %s\n", in);
        return 1;
    }
    if (!load(in, bytes)) return 1;
    std::string before = level_signature();
    MapDescription map;
    std::string problem;
    if (!describe_loaded_level(&map, &problem)) {
        std::fprintf(stderr, "dravo-wmp: %s cannot be written again: %s\n", in, problem.c_str());
        return 1;
    }
    int regions = catalogue.region_count, objects = catalogue.object_count, vertices = catalogue.vertex_count;
    std::vector<uint8_t> written;
    if (binary_name(out)) {
        if (!write_map_binary(map, &written)) {
            std::fprintf(stderr, "dravo-wmp: %s cannot be written in the binary form\n", in);
            return 1;
        }
    } else {
        std::string text = write_map_text(map);
        written.assign(text.begin(), text.end());
    }
    if (!write_file(out, written.data(), written.size())) {
        std::fprintf(stderr, "dravo-wmp: cannot write %s\n", out);
        return 1;
    }
    if (!load(out, written)) return 1;
    if (level_signature() != before) {
        // The text form keeps only the whole part of wall offsets, for one.
        std::fprintf(stderr, "dravo-wmp: wrote %s, but it does not load back into the same records\n", out);
        return 1;
    }
    std::printf("dravo-wmp: wrote %s: %d vertices, %d regions, %d walls, things and actors; it loads back alike\n",
                out, vertices, regions, objects);
    return 0;
}
