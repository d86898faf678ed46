// The light table and the blend table that every drawer looks colours up in.
//
// Light table: rows of 256 bytes; row L maps a palette index to the index that shows that
// colour at light level L. Rows 0 (full light) to 15 (darkest) darken along the palette's
// colour ranges; rows -1 to -16 glow toward palette colour 2. The rows live in one zero-filled
// block of 24 576 bytes; row 0 sits 12 288 bytes after the first 8192-aligned address in it,
// so a drawer forms a row address from the level with a shift and an add. Rows above 15 stay
// 0, every byte before row -16 holds colour 48.
//
// Blend table: 256 x 256 bytes; entry [a * 256 + b] is the index nearest to the average of
// colours a and b (50 % translucency). It is symmetric.
//
// The builders work on plain colours and ranges; the palette module (resources/palette.h)
// calls them when a palette is applied.
#pragma once

#include <cstdint>

constexpr int LIGHT_TABLE_BLOCK_BYTES = 24576;
constexpr uintptr_t LIGHT_TABLE_ALIGNMENT = 8192;
constexpr int LIGHT_TABLE_ROW0_OFFSET = 12288;  // from the aligned address
constexpr int LIGHT_LEVEL_BRIGHTEST = -16;
constexpr int LIGHT_LEVEL_DARKEST = 15;
constexpr uint8_t LIGHT_UNDERFLOW_COLOUR = 48;  // every entry below row -16

// A colour range of a palette: `length` indices from `first`.
struct ColourRange {
    int first;
    int length;
};

// The colours and ranges a light table is built from. `hard` darkens every colour of a range
// by the range's whole length; otherwise by the distance to the range's end.
struct LightSource {
    const uint8_t* rgb;          // 768 bytes, 6-bit
    const ColourRange* ranges;
    int range_count;
    bool hard;
    bool automatic;              // rows 0 to 15 by colour matching toward colour 1
};

// For the map display: for the colours of COLOR_WALLS and COLOR_BORDER, the number of
// indices from that colour to the end of the range holding it; 1 outside every range.
struct AutomapRangeLengths {
    int walls;
    int border;
};
extern AutomapRangeLengths automap_range_lengths;

struct LightTables {
    uint8_t* block;  // LIGHT_TABLE_BLOCK_BYTES, zero-filled at allocation
    uint8_t* row0;   // row 0 inside the block; null before allocation
};
extern LightTables light_tables;

// Allocates the block (the screen set-up does this once); false when memory is short. A block
// that exists already is kept.
bool allocate_light_table();
void release_light_table();
inline uint8_t* light_row(int level) { return light_tables.row0 + level * 256; }
// Row 0 inside any block of LIGHT_TABLE_BLOCK_BYTES.
uint8_t* light_table_row0(uint8_t* block);

// Rebuilds the rows of a block of LIGHT_TABLE_BLOCK_BYTES: rows 0 to 15 by ranges or
// automatically, every byte of the block before row 0 set to 48, then rows -1 to -16 toward
// colour 2; rows above 15 are left as they are. Records the automap range lengths of the two
// colours (whole numbers) at level 0. Ranges that do not lie within 0..255 are ignored.
void build_light_table(const LightSource& source, uint8_t* block, int colour_walls, int colour_border,
                       AutomapRangeLengths* lengths);

// The palette index nearest to (r, g, b) by the sum of squared channel differences: the first
// index with the smallest distance; an exact match ends the search.
int nearest_colour_squared(const uint8_t* rgb, int r, int g, int b);

extern uint8_t blend_table[65536];
void build_blend_table(const uint8_t* rgb, uint8_t* table);
