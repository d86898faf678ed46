// Feeds arbitrary bytes to the binary form of the map loader (half of the runs behind a
// valid header, so that the records themselves are explored), then builds what was made
// and moves its first region. Counts, indices and floats come from the input: none of them
// may be trusted.
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
    if (size > (1u << 20)) return 0;
    prepare_fuzz_world();
    std::vector<uint8_t> bytes;
    if (size > 0 && (data[0] & 1)) {
        bytes.assign(40, 0);
        bytes.insert(bytes.end(), data + 1, data + size);
    } else {
        bytes.assign(data, data + size);
    }
    // An exact-size copy: a read past the end is caught.
    load_map_binary(bytes.data(), int32_t(bytes.size()), "FUZZ.BIN");
    map_loader.map_loaded = 1;
    build_level();
    if (catalogue.regions) {
        tilt_region(catalogue.regions, 2048);
        rotate_region(catalogue.regions, 100);
        clear_vertex_marks();
    }
    return 0;
}
