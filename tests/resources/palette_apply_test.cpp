// Applying palettes: fades, switches, and the tables a switch rebuilds; the flag bits.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/video.h"
#include "resources/light_tables.h"
#include "resources/palette.h"

namespace {

Palette solid(int r, int g, int b) {
    Palette p = {};
    for (int i = 0; i < 256; i++) {
        p.colors[3 * i] = uint8_t(r);
        p.colors[3 * i + 1] = uint8_t(g);
        p.colors[3 * i + 2] = uint8_t(b);
    }
    return p;
}

// A grey ramp: colour i is (i / 4, i / 4, i / 4), colour 1 black-ish, colour 2 white.
Palette ramp() {
    Palette p = {};
    for (int i = 0; i < 256; i++) std::memset(p.colors + 3 * i, i / 4, 3);
    std::memset(p.colors + 3, 0, 3);
    std::memset(p.colors + 6, 63, 3);
    return p;
}

class PaletteApply : public ::testing::Test {
protected:
    void SetUp() override {
        release_light_table();
        palette_state = {};
    }
    void TearDown() override {
        release_light_table();
        palette_state = {};
    }
};

TEST_F(PaletteApply, HalfFadeShowsHalfwayColoursAndKeepsTheCurrentPalette) {
    Palette black = solid(0, 0, 0), white = solid(63, 40, 10);
    apply_palette(&black, PALETTE_FULL);
    EXPECT_EQ(palette_state.current, &black);
    apply_palette(&white, 512);
    EXPECT_EQ(palette_state.current, &black);
    EXPECT_EQ(palette_state.display[0], 31);  // (0 * 1024 + 63 * 512) >> 10
    EXPECT_EQ(palette_state.display[1], 20);
    EXPECT_EQ(palette_state.display[2], 5);
    // The presenter received the faded colours: 6-bit (31, 20, 5) widen to 8 bits.
    EXPECT_EQ(palette32()[0], 0xFF000000u | (31u << 2 | 31u >> 4) << 16 | (20u << 2 | 20u >> 4) << 8 | (5u << 2));
    // A second fade starts again from the current palette, not from what is shown.
    apply_palette(&white, 256);
    EXPECT_EQ(palette_state.display[0], 15);
    apply_palette(&white, 1024);
    EXPECT_EQ(palette_state.current, &white);
    EXPECT_EQ(0, std::memcmp(palette_state.display, white.colors, 768));
}

TEST_F(PaletteApply, FadeDownRoundsTowardMinusInfinityAndNegativeAmountIsZero) {
    Palette bright = solid(63, 63, 63), dark = solid(0, 1, 62);
    apply_palette(&bright, PALETTE_FULL);
    apply_palette(&dark, 1);
    EXPECT_EQ(palette_state.display[0], 62);  // (63 * 1024 - 63) >> 10
    EXPECT_EQ(palette_state.display[2], 62);
    apply_palette(&dark, -500);
    EXPECT_EQ(palette_state.display[0], 63);
    EXPECT_EQ(palette_state.current, &bright);
}

TEST_F(PaletteApply, FadeTakesChannelsModulo64) {
    uint8_t from[768], to[768], out[768];
    std::memset(from, 64 + 10, sizeof from);  // counts as 10
    std::memset(to, 128 + 30, sizeof to);     // counts as 30
    fade_colours(from, to, 512, out);
    EXPECT_EQ(out[0], 20);
    fade_colours(from, to, 0, out);
    EXPECT_EQ(out[5], 10);
}

TEST_F(PaletteApply, SwitchShowsColoursUnchanged) {
    Palette p = solid(70, 1, 2);  // not a 6-bit value: passed on as it stands
    int before = palette_state.presented;
    apply_palette(&p, 1500);
    EXPECT_EQ(palette_state.presented, before + 1);
    EXPECT_EQ(palette_state.display[0], 70);
}

TEST_F(PaletteApply, LightTableIsRebuiltFrom2048Only) {
    ASSERT_TRUE(allocate_light_table());
    Palette p = ramp();
    p.ranges[0] = {32, 16};
    p.range_count = 1;
    apply_palette(&p, 2047);
    EXPECT_EQ(light_row(8)[40], 0);  // untouched: still zero-filled
    apply_palette(&p, PALETTE_LIGHTS);
    EXPECT_EQ(light_row(8)[40], 44);
    EXPECT_EQ(light_row(0)[40], 40);
}

TEST_F(PaletteApply, SwitchWithoutLightTableBlockDoesNotTouchIt) {
    Palette p = ramp();
    p.ranges[0] = {32, 16};
    p.range_count = 1;
    apply_palette(&p, PALETTE_BLEND);
    EXPECT_EQ(light_tables.row0, nullptr);
    EXPECT_EQ(palette_state.current, &p);
}

TEST_F(PaletteApply, BlendTableNeedsBlurAnd3072) {
    Palette p = ramp();
    std::memset(blend_table, 0xEE, sizeof blend_table);
    apply_palette(&p, PALETTE_BLEND);  // no BLUR
    EXPECT_EQ(blend_table[1 * 256 + 2], 0xEE);
    p.flags = PALETTE_BLUR;
    apply_palette(&p, PALETTE_BLEND - 1);
    EXPECT_EQ(blend_table[1 * 256 + 2], 0xEE);
    apply_palette(&p, PALETTE_BLEND);
    EXPECT_EQ(blend_table[5 * 256 + 5], 5);
    EXPECT_NE(blend_table[1 * 256 + 2], 0xEE);
    // Built from the same colours: not rebuilt.
    blend_table[7] = 0xEE;
    apply_palette(&p, PALETTE_BLEND);
    EXPECT_EQ(blend_table[7], 0xEE);
    // Other colours: rebuilt.
    p.colors[30] = 9;
    apply_palette(&p, PALETTE_BLEND);
    EXPECT_NE(blend_table[7], 0xEE);
}

TEST_F(PaletteApply, FlagBitsSelectTheMethods) {
    // AUTORANGE is 0x2 and BLUR 0x4; HARD 0x1. The script's flag names map to these bits.
    EXPECT_EQ(PALETTE_HARD, 0x1u);
    EXPECT_EQ(PALETTE_AUTORANGE, 0x2u);
    EXPECT_EQ(PALETTE_BLUR, 0x4u);
    ASSERT_TRUE(allocate_light_table());
    Palette p = ramp();
    p.ranges[0] = {32, 16};
    p.range_count = 1;
    // 0x2 (AUTORANGE): level 8 of colour 40 blends halfway toward colour 1 (black):
    // grey 10 -> 5, nearest index 20. The range method would give 44.
    p.flags = 0x2;
    std::memset(blend_table, 0xEE, sizeof blend_table);
    apply_palette(&p, PALETTE_BLEND);
    EXPECT_EQ(light_row(8)[40], 20);
    EXPECT_EQ(blend_table[1 * 256 + 2], 0xEE);  // 0x2 is not BLUR
    // 0x4 (BLUR): range method for the light rows, and the blend table.
    p.flags = 0x4;
    apply_palette(&p, PALETTE_BLEND);
    EXPECT_EQ(light_row(8)[40], 44);
    EXPECT_NE(blend_table[1 * 256 + 2], 0xEE);
}

TEST_F(PaletteApply, RangeRulesOfTheDefinitions) {
    EXPECT_TRUE(palette_range_valid(2, 2));
    EXPECT_TRUE(palette_range_valid(254, 2));
    EXPECT_TRUE(palette_range_valid(32, 16));
    EXPECT_FALSE(palette_range_valid(1, 16));
    EXPECT_FALSE(palette_range_valid(255, 1));
    EXPECT_FALSE(palette_range_valid(32, 1));
    EXPECT_FALSE(palette_range_valid(250, 7));
    EXPECT_FALSE(palette_range_valid(200, 0x7FFFFFFF));
    EXPECT_EQ(PALETTE_MAX_RANGES, 23);
}

}  // namespace
