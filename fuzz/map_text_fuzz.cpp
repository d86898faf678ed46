// Feeds arbitrary text to the text form of the map loader, then builds whatever was made
// (stacks, region lists, placement) and moves its first region, in a fresh catalogue
// every run. A malformed map must be a script error, never a fault.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "fuzz/map_fuzz_world.h"
#include "world/map_loader.h"
#include "world/region_moves.h"
#include "world/templates.h"
#include "world/world.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18)) return 0;
    prepare_fuzz_world();
    // The scanner writes terminators into its text and needs one spare byte.
    std::vector<char> text(data, data + size);
    text.push_back(0);
    if (size > 0 && (data[0] & 1)) {
        // Some runs load the text as a database map on top of a first copy of itself.
        load_map_text(text.data(), int32_t(size), "FUZZ.WMP");
        text.assign(data, data + size);
        text.push_back(0);
        clear_errors();
        set_database_bases();
        map_loader.database_mode = true;
        map_loader.offset_x = 1.5;
    }
    load_map_text(text.data(), int32_t(size), "FUZZ.WMP");
    map_loader.map_loaded = 1;
    build_level();
    if (catalogue.regions) {
        lift_region(catalogue.regions, 1024);
        shift_region(catalogue.regions, -1, 1);
        clear_vertex_marks();
    }
    return 0;
}
