// The palette machinery inside a world: palettes from the catalogue, the automap colours
// from the engine variables, and a current palette that outlives its world.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/console.h"

#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/light_tables.h"
#include "resources/palette.h"
#include "script/front/catalogue.h"
#include "script/front/engine_vars.h"
#include "script/front/load_mode.h"
#include "tests/resources/image_writer_helper.h"

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

TEST_F(PaletteWorld, PaletteFileFillsTheColours) {
    image_test::TempDir dir;
    Bytes pal = image_test::test_palette_8bit();
    const uint8_t pixels[4] = {1, 2, 3, 4};
    image_test::PcxWriteOptions with;
    with.palette = pal.data();
    std::string good = dir.write("LEVEL.PCX", image_test::write_pcx(2, 2, pixels, with));
    std::string bare = dir.write("BARE.PCX", image_test::write_pcx(2, 2, pixels));
    char text[1024] = {};
    ConsoleCapture capture = {text, sizeof text, 0, false};
    console_set_capture(&capture);
    Palette* p = make("LEVEL", 0, 0);
    EXPECT_TRUE(load_palette_file(p, good.c_str()));
    EXPECT_EQ(p->loaded, 1);
    EXPECT_EQ(p->colors[3 * 200 + 1], (255 - 200) >> 2);
    EXPECT_EQ(error_store.error_count, 0);
    Palette* q = make("OTHER", 0, 0);
    EXPECT_FALSE(load_palette_file(q, bare.c_str()));
    EXPECT_EQ(q->loaded, 0);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_EQ(std::string(text), "dravo: palette " + bare + ": the image carries no palette\n");
    console_set_capture(nullptr);
}

}  // namespace
