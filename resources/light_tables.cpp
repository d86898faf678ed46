// Building the light table rows and the blend table from a palette.
#include "resources/light_tables.h"

#include <cstdlib>
#include <cstring>

AutomapRangeLengths automap_range_lengths = {1, 1};
LightTables light_tables = {nullptr, nullptr};
uint8_t blend_table[65536];

uint8_t* light_table_row0(uint8_t* block) {
    uintptr_t address = reinterpret_cast<uintptr_t>(block);
    uintptr_t aligned = (address + LIGHT_TABLE_ALIGNMENT - 1) & ~(LIGHT_TABLE_ALIGNMENT - 1);
    return block + (aligned - address) + LIGHT_TABLE_ROW0_OFFSET;
}

bool allocate_light_table() {
    if (light_tables.block) return true;
    uint8_t* block = static_cast<uint8_t*>(std::calloc(1, LIGHT_TABLE_BLOCK_BYTES));
    if (!block) return false;
    light_tables = {block, light_table_row0(block)};
    return true;
}

void release_light_table() {
    std::free(light_tables.block);
    light_tables = {nullptr, nullptr};
}

int nearest_colour_squared(const uint8_t* rgb, int r, int g, int b) {
    int best = 0;
    int best_distance = 0x7FFFFFFF;
    for (int k = 0; k < 256; k++) {
        int dr = rgb[3 * k] - r, dg = rgb[3 * k + 1] - g, db = rgb[3 * k + 2] - b;
        int distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = k;
            if (distance == 0) break;
        }
    }
    return best;
}

namespace {

// For each colour, the range that holds it first: its first index and its end, or end 0.
struct RangeOf {
    int first[256];
    int end[256];
};

void find_ranges(const LightSource& source, RangeOf* of) {
    std::memset(of->end, 0, sizeof of->end);
    for (int n = source.range_count - 1; n >= 0; n--) {  // earlier ranges win: they are written last
        const ColourRange& range = source.ranges[n];
        if (range.first < 0 || range.length < 1 || range.first > 256 - range.length) continue;
        for (int i = range.first; i < range.first + range.length; i++) {
            of->first[i] = range.first;
            of->end[i] = range.first + range.length;
        }
    }
}

void rows_by_ranges(const LightSource& source, const RangeOf& of, uint8_t* row0) {
    for (int j = 0; j <= LIGHT_LEVEL_DARKEST; j++) {
        uint8_t* row = row0 + j * 256;
        for (int i = 0; i < 256; i++) {
            int end = of.end[i];
            if (!end) {
                row[i] = uint8_t(i);
                continue;
            }
            int f = source.hard ? end - of.first[i] : end - i + 1;
            int g = i + j * f / 16;
            row[i] = uint8_t(g < end ? g : 1);
        }
    }
}

// Blend step s moves colour v toward the target t: (s * t + (16 - s) * v) >> 4 per channel.
void rows_automatic(const uint8_t* rgb, const RangeOf& of, int target, uint8_t* row0, int direction) {
    const uint8_t* t = rgb + 3 * target;
    for (int s = 0; s < 16; s++) {
        uint8_t* row = row0 + (direction > 0 ? s : -(s + 1)) * 256;
        for (int i = 0; i < 256; i++) {
            if (!of.end[i]) {
                row[i] = uint8_t(i);
                continue;
            }
            const uint8_t* v = rgb + 3 * i;
            int r = (s * t[0] + (16 - s) * v[0]) >> 4;
            int g = (s * t[1] + (16 - s) * v[1]) >> 4;
            int b = (s * t[2] + (16 - s) * v[2]) >> 4;
            row[i] = uint8_t(nearest_colour_squared(rgb, r, g, b));
        }
    }
}

int automap_length(const RangeOf& of, int colour) {
    if (colour < 0 || colour > 255 || !of.end[colour]) return 1;
    return of.end[colour] - colour;
}

}  // namespace

void build_light_table(const LightSource& source, uint8_t* block, int colour_walls, int colour_border,
                       AutomapRangeLengths* lengths) {
    RangeOf of;
    find_ranges(source, &of);
    uint8_t* row0 = light_table_row0(block);
    if (source.automatic)
        rows_automatic(source.rgb, of, 1, row0, +1);
    else
        rows_by_ranges(source, of, row0);
    lengths->walls = automap_length(of, colour_walls);
    lengths->border = automap_length(of, colour_border);
    std::memset(block, LIGHT_UNDERFLOW_COLOUR, size_t(row0 - block));
    rows_automatic(source.rgb, of, 2, row0, -1);
}

void build_blend_table(const uint8_t* rgb, uint8_t* table) {
    for (int a = 0; a < 256; a++) {
        table[a * 256 + a] = uint8_t(a);
        const uint8_t* x = rgb + 3 * a;
        for (int b = a + 1; b < 256; b++) {
            const uint8_t* y = rgb + 3 * b;
            int r = (x[0] + y[0]) >> 1, g = (x[1] + y[1]) >> 1, bl = (x[2] + y[2]) >> 1;
            int best = 0, best_distance = 0x7FFFFFFF;
            for (int k = 0; k < 256; k++) {
                const uint8_t* c = rgb + 3 * k;
                int distance = std::abs(c[0] - r) + std::abs(c[1] - g) + std::abs(c[2] - bl);
                if (distance < best_distance) {
                    best_distance = distance;
                    best = k;
                    if (distance == 0) break;
                }
            }
            table[a * 256 + b] = table[b * 256 + a] = uint8_t(best);
        }
    }
}
