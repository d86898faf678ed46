// The light table (range and automatic methods, the block layout) and the blend table.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "resources/light_tables.h"

namespace {

std::vector<uint8_t> grey_ramp() {
    std::vector<uint8_t> rgb(768);
    for (int i = 0; i < 256; i++) std::memset(&rgb[size_t(3 * i)], i / 4, 3);
    std::memset(&rgb[3], 0, 3);   // colour 1: black
    std::memset(&rgb[6], 63, 3);  // colour 2: white
    return rgb;
}

struct Block {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(LIGHT_TABLE_BLOCK_BYTES + 8192, 0);
    uint8_t* block;
    uint8_t* row0;
    explicit Block(int misalign) {
        block = bytes.data() + misalign;
        row0 = light_table_row0(block);
    }
    uint8_t at(int level, int colour) const { return row0[level * 256 + colour]; }
};

TEST(PaletteLight, RowZeroSitsAtTheAlignedOffset) {
    for (int misalign : {0, 1, 17, 4096, 8191}) {
        Block b(misalign);
        uintptr_t row0 = reinterpret_cast<uintptr_t>(b.row0);
        EXPECT_EQ((row0 - LIGHT_TABLE_ROW0_OFFSET) % LIGHT_TABLE_ALIGNMENT, 0u);
        EXPECT_GE(b.row0 - 16 * 256, b.block);
        EXPECT_LE(b.row0 + 16 * 256, b.block + LIGHT_TABLE_BLOCK_BYTES);
    }
    ASSERT_TRUE(allocate_light_table());
    EXPECT_EQ(light_tables.row0, light_table_row0(light_tables.block));
    EXPECT_EQ(light_row(-3), light_tables.row0 - 768);
    release_light_table();
}

TEST(PaletteLight, RangeMethodDarkensTowardTheRangeEnd) {
    std::vector<uint8_t> rgb = grey_ramp();
    ColourRange ranges[] = {{32, 16}};
    LightSource source = {rgb.data(), ranges, 1, false, false};
    Block b(100);
    AutomapRangeLengths lengths;
    build_light_table(source, b.block, 244, 40, &lengths);
    EXPECT_EQ(b.at(8, 40), 44);  // 40 + (8 * 9) / 16
    EXPECT_EQ(b.at(8, 47), 1);   // 47 + (8 * 2) / 16 = 48 is past the end
    EXPECT_EQ(b.at(15, 32), 32 + 15 * 17 / 16);
    for (int i = 0; i < 256; i++) ASSERT_EQ(b.at(0, i), i);  // row 0: identity
    for (int j = 0; j < 16; j++) {
        EXPECT_EQ(b.at(j, 31), 31);  // outside every range
        EXPECT_EQ(b.at(j, 48), 48);
    }
    EXPECT_EQ(lengths.walls, 1);   // 244 lies in no range
    EXPECT_EQ(lengths.border, 8);  // 48 - 40
}

TEST(PaletteLight, HardRangesDarkenByTheirWholeLength) {
    std::vector<uint8_t> rgb = grey_ramp();
    ColourRange ranges[] = {{32, 16}};
    LightSource source = {rgb.data(), ranges, 1, true, false};
    Block b(0);
    AutomapRangeLengths lengths;
    build_light_table(source, b.block, 0, 0, &lengths);
    EXPECT_EQ(b.at(8, 32), 40);  // 32 + (8 * 16) / 16
    EXPECT_EQ(b.at(8, 39), 47);
    EXPECT_EQ(b.at(8, 40), 1);
    EXPECT_EQ(b.at(1, 46), 47);
}

TEST(PaletteLight, FirstRangeHoldingAColourWins) {
    std::vector<uint8_t> rgb = grey_ramp();
    ColourRange ranges[] = {{40, 4}, {32, 16}, {300, 10}, {10, -3}};  // the last two are ignored
    LightSource source = {rgb.data(), ranges, 4, false, false};
    Block b(0);
    AutomapRangeLengths lengths;
    build_light_table(source, b.block, 41, 33, &lengths);
    EXPECT_EQ(b.at(8, 41), 43);  // by 40..43: 41 + (8 * 4) / 16; by 32..47 it would be 45
    EXPECT_EQ(lengths.walls, 3);
    EXPECT_EQ(lengths.border, 15);
}

TEST(PaletteLight, RowsOutsideTheLevelsAndTheGlowRows) {
    std::vector<uint8_t> rgb = grey_ramp();
    ColourRange ranges[] = {{32, 16}};
    LightSource source = {rgb.data(), ranges, 1, false, false};
    Block b(3);
    AutomapRangeLengths lengths;
    build_light_table(source, b.block, 0, 0, &lengths);
    for (uint8_t* p = b.block; p < b.row0 - 16 * 256; p++) ASSERT_EQ(*p, LIGHT_UNDERFLOW_COLOUR);
    for (uint8_t* p = b.row0 + 16 * 256; p < b.block + LIGHT_TABLE_BLOCK_BYTES; p++) ASSERT_EQ(*p, 0);
    // Row -1 is blend step 0 (the colour itself); row -16 is step 15 toward white (colour 2):
    // grey 10 -> (15 * 63 + 10) >> 4 = 59, first index of grey 59 is 236.
    EXPECT_EQ(b.at(-1, 40), 40);
    EXPECT_EQ(b.at(-16, 40), 236);
    EXPECT_EQ(b.at(-16, 31), 31);  // outside every range
    EXPECT_EQ(b.at(-8, 100), 100);
}

TEST(PaletteLight, AutomaticMethodMatchesBlendedColours) {
    std::vector<uint8_t> rgb = grey_ramp();
    ColourRange ranges[] = {{200, 40}};
    LightSource source = {rgb.data(), ranges, 1, false, true};
    Block b(0);
    AutomapRangeLengths lengths;
    build_light_table(source, b.block, 210, 17, &lengths);
    // Colour 220 is grey 55; step s toward black gives (16 - s) * 55 >> 4.
    for (int s = 0; s < 16; s++) {
        int grey = ((16 - s) * 55) >> 4;
        int expected = grey == 0 ? 0 : grey * 4;  // first index holding that grey
        EXPECT_EQ(b.at(s, 220), expected) << s;
    }
    EXPECT_EQ(b.at(5, 100), 100);  // outside the range
    EXPECT_EQ(lengths.walls, 30);
    EXPECT_EQ(lengths.border, 1);
}

TEST(PaletteLight, NearestColourPrefersTheFirstAndStopsAtAnExactMatch) {
    std::vector<uint8_t> rgb(768, 0);
    rgb[3 * 10] = 20;
    rgb[3 * 11] = 20;
    rgb[3 * 12] = 22;
    EXPECT_EQ(nearest_colour_squared(rgb.data(), 20, 0, 0), 10);
    EXPECT_EQ(nearest_colour_squared(rgb.data(), 23, 0, 0), 12);
    EXPECT_EQ(nearest_colour_squared(rgb.data(), 0, 0, 0), 0);
}

TEST(PaletteLight, BlendTableAveragesAndIsSymmetric) {
    std::vector<uint8_t> rgb = grey_ramp();
    static uint8_t table[65536];
    build_blend_table(rgb.data(), table);
    for (int a = 0; a < 256; a++) {
        ASSERT_EQ(table[a * 256 + a], a);
        for (int b = 0; b < 256; b++) ASSERT_EQ(table[a * 256 + b], table[b * 256 + a]);
    }
    // grey 10 (colour 40) and grey 20 (colour 80): average 15, first index of grey 15 is 60.
    EXPECT_EQ(table[40 * 256 + 80], 60);
    // black (1) and white (2): (0 + 63) >> 1 = 31, first grey 31 is 124.
    EXPECT_EQ(table[1 * 256 + 2], 124);
}

TEST(PaletteLight, BlendTableUsesAbsoluteDifferences) {
    // The average of colours 1 and 2 is (10, 10, 10). Colour 3 is nearer by squares (98
    // against 144), colour 4 by absolute differences (12 against 14): the table takes 4.
    std::vector<uint8_t> rgb(768, 63);
    const uint8_t c1[3] = {20, 0, 10}, c2[3] = {0, 20, 10}, c3[3] = {17, 17, 10}, c4[3] = {10, 10, 22};
    std::memcpy(&rgb[3], c1, 3);
    std::memcpy(&rgb[6], c2, 3);
    std::memcpy(&rgb[9], c3, 3);
    std::memcpy(&rgb[12], c4, 3);
    static uint8_t table[65536];
    build_blend_table(rgb.data(), table);
    EXPECT_EQ(table[1 * 256 + 2], 4);
    EXPECT_EQ(nearest_colour_squared(rgb.data(), 10, 10, 10), 3);
}

}  // namespace
