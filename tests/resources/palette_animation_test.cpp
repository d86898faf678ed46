// Palette animation: the order of the animated palettes and the time accumulator.
#include <gtest/gtest.h>

#include <cstring>

#include "resources/palette.h"

namespace {

struct PaletteList {
    Palette p[4] = {};
    // Linked in list order p[0] -> p[1] -> ...; colour 0's red channel tells them apart.
    PaletteList(std::initializer_list<int32_t> cycles) {
        int n = 0;
        for (int32_t c : cycles) {
            p[n].cycle = c;
            p[n].colors[0] = uint8_t(10 + n);
            if (n > 0) p[n - 1].next = &p[n];
            n++;
        }
    }
    const Palette* head() const { return &p[0]; }
};

class PaletteAnimation : public ::testing::Test {
protected:
    void SetUp() override { palette_state = {}; }
    void TearDown() override { palette_state = {}; }
    int32_t step(const PaletteList& list, int32_t period, int32_t elapsed) {
        int before = palette_state.presented;
        palette_animation_step_in(list.head(), period, elapsed);
        return palette_state.presented == before ? -1 : palette_state.animation_cycle;
    }
};

TEST_F(PaletteAnimation, CyclesInOrderAndWrapAround) {
    PaletteList list({3 * 1024, 0, 1024, 2 * 1024});  // CYCLE 0 never shows
    int32_t shown[5];
    for (int32_t& s : shown) s = step(list, 100, 100);
    EXPECT_EQ(shown[0], 1024);
    EXPECT_EQ(shown[1], 2048);
    EXPECT_EQ(shown[2], 3072);
    EXPECT_EQ(shown[3], 1024);
    EXPECT_EQ(shown[4], 2048);
    EXPECT_EQ(palette_state.display[0], 13);  // the CYCLE 2 palette's colours went out
    EXPECT_EQ(palette_state.current, nullptr);  // and nothing became current
}

TEST_F(PaletteAnimation, EqualCyclesTakeTheFirstInTheList) {
    PaletteList list({1024, 1024, 2048});
    EXPECT_EQ(step(list, 1, 1), 1024);
    EXPECT_EQ(palette_state.display[0], 10);
    EXPECT_EQ(next_animation_palette(list.head(), 2048), &list.p[0]);
    EXPECT_EQ(next_animation_palette(list.head(), 0), &list.p[0]);
}

TEST_F(PaletteAnimation, AccumulatorKeepsTheRemainder) {
    PaletteList list({1024, 2048});
    EXPECT_EQ(step(list, 100, 60), -1);
    EXPECT_EQ(step(list, 100, 60), 1024);  // 120: one period off, 20 stay
    EXPECT_EQ(palette_state.animation_time, 20);
    EXPECT_EQ(step(list, 100, 79), -1);
    EXPECT_EQ(step(list, 100, 1), 2048);
    // A long pause shows one step only; the rest stays for later frames.
    EXPECT_EQ(step(list, 100, 450), 1024);
    EXPECT_EQ(palette_state.animation_time, 350);
}

TEST_F(PaletteAnimation, PeriodBelowOneDoesNothing) {
    PaletteList list({1024});
    EXPECT_EQ(step(list, 0, 5000), -1);
    EXPECT_EQ(step(list, -4, 5000), -1);
    EXPECT_EQ(palette_state.animation_time, 0);
}

TEST_F(PaletteAnimation, NoAnimatedPaletteShowsNothing) {
    PaletteList list({0, 0});
    EXPECT_EQ(step(list, 10, 10), -1);
    EXPECT_EQ(next_animation_palette(nullptr, 0), nullptr);
}

TEST_F(PaletteAnimation, RestartActsAsIfCycleOneHadBeenShown) {
    PaletteList list({1024, 2048, 3072});
    palette_state.animation_time = 77;
    palette_animation_restart();
    EXPECT_EQ(palette_state.animation_time, 0);
    EXPECT_EQ(step(list, 10, 10), 2048);
}

}  // namespace
