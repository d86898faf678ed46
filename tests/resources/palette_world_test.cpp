// The palette machinery inside a world: palettes from the catalogue, the automap colours
// from the engine variables, and a current palette that outlives its world.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/light_tables.h"
#include "resources/palette.h"
#include "script/front/catalogue.h"
#include "script/front/engine_vars.h"
#include "script/front/load_mode.h"

namespace {

class PaletteWorld : public ::testing::Test {
protected:
    void SetUp() override {
        reset_settings();
        load_mode = 0;
        catalogue_reset();
        clear_errors();
        palette_state = {};
        ASSERT_TRUE(allocate_light_table());
    }
    void TearDown() override {
        catalogue_reset();
        palette_state = {};
        release_light_table();
        clear_errors();
    }
    static Palette* make(const char* name, int32_t cycle, uint8_t red) {
        void* object = nullptr;
        EXPECT_EQ(create_object(name, KIND_PALETTE, &object), 0);
        Palette* p = static_cast<Palette*>(object);
        p->cycle = cycle;
        p->colors[0] = red;
        return p;
    }
};

TEST_F(PaletteWorld, AnimationWalksTheCataloguePalettes) {
    make("DAY", 2048, 20);
    make("LEVEL", 0, 30);
    make("DUSK", 1024, 10);
    int32_t shown[3];
    for (int32_t& s : shown) {
        palette_animation_step(512, 512);
        s = palette_state.animation_cycle;
    }
    EXPECT_EQ(shown[0], 1024);
    EXPECT_EQ(shown[1], 2048);
    EXPECT_EQ(shown[2], 1024);
    EXPECT_EQ(palette_state.display[0], 10);
}

TEST_F(PaletteWorld, AutomapLengthsComeFromTheColourVariables) {
    ASSERT_EQ(create_engine_variables(), 0);
    Palette* p = make("LEVEL", 0, 0);
    p->ranges[0] = {32, 16};
    p->ranges[1] = {240, 16};
    p->range_count = 2;
    apply_palette(p, PALETTE_LIGHTS);
    EXPECT_EQ(automap_range_lengths.walls, 12);  // COLOR_WALLS 244: 256 - 244
    EXPECT_EQ(automap_range_lengths.border, 1);  // COLOR_BORDER 17: in no range
    ASSERT_TRUE(var_set(SLOT_COLOR_BORDER, 40 * 1024 + 700));  // read as the whole number 40
    apply_palette(p, PALETTE_LIGHTS);
    EXPECT_EQ(automap_range_lengths.border, 8);
}

TEST_F(PaletteWorld, CurrentPaletteIsForgottenWithItsWorld) {
    Palette* p = make("LEVEL", 0, 33);
    apply_palette(p, PALETTE_FULL);
    EXPECT_EQ(current_palette(), p);
    release_objects(RELEASE_WORLD);
    EXPECT_EQ(current_palette(), nullptr);
    // A fade after the release still starts from the colours that were current.
    Palette* next = make("NEXT", 0, 1);
    apply_palette(next, 512);
    EXPECT_EQ(palette_state.display[0], 17);  // (33 * 1024 + (1 - 33) * 512) >> 10
}

}  // namespace
