// Column bitmaps: the cut order, the rectangle test, the one-file cache and its failures.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "engine/console.h"
#include "engine/errors.h"
#include "resources/bitmap.h"
#include "resources/image.h"
#include "tests/resources/image_writer_helper.h"

using namespace image_test;

namespace {

struct Console {
    char text[4096] = {};
    ConsoleCapture capture = {text, sizeof text, 0, false};
    Console() {
        console_set_capture(&capture);
        clear_errors();
    }
    ~Console() { console_set_capture(nullptr); }
};

// Rows (1 2 3) over (4 5 6).
const uint8_t three_by_two[6] = {1, 2, 3, 4, 5, 6};

Bytes bitmap_bytes(const ColumnBitmap& b) { return Bytes(b.pixels, b.pixels + size_t(b.width) * b.height); }

struct Cut {
    int x, y, width, height;
    Bytes expected;  // empty: refused
    int out_width, out_height;
};

class ImageBitmapCut : public ::testing::TestWithParam<Cut> {};

TEST_P(ImageBitmapCut, ColumnsBottomUp) {
    const Cut& c = GetParam();
    uint8_t* image = allocate_image(3, 2);
    std::copy(three_by_two, three_by_two + 6, image_pixels(image));
    ColumnBitmap b;
    const char* failure = nullptr;
    bool ok = cut_bitmap(image, c.x, c.y, c.width, c.height, &b, &failure);
    if (c.expected.empty()) {
        EXPECT_FALSE(ok);
        EXPECT_STREQ(failure, "rectangle outside the image");
        EXPECT_EQ(b.pixels, nullptr);
    } else {
        ASSERT_TRUE(ok) << failure;
        EXPECT_EQ(b.width, c.out_width);
        EXPECT_EQ(b.height, c.out_height);
        EXPECT_EQ(bitmap_bytes(b), c.expected);
        free_bitmap_pixels(&b);
    }
    free_image(image);
}

INSTANTIATE_TEST_SUITE_P(
    Rectangles, ImageBitmapCut,
    ::testing::Values(Cut{0, 0, 0, 0, {4, 1, 5, 2, 6, 3}, 3, 2},    // whole image
                      Cut{7, 9, 0, 5, {4, 1, 5, 2, 6, 3}, 3, 2},    // a size of 0: whole, x and y unused
                      Cut{1, 0, 2, 2, {5, 2, 6, 3}, 2, 2},
                      Cut{0, 1, 3, 1, {4, 5, 6}, 3, 1},
                      Cut{2, 0, 1, 1, {3}, 1, 1},
                      Cut{2, 0, 2, 2, {}, 0, 0},                   // one column too far right
                      Cut{0, 1, 1, 2, {}, 0, 0},                   // one row too low
                      Cut{-1, 0, 2, 2, {}, 0, 0},                  // negative position
                      Cut{0, -1, 1, 1, {}, 0, 0},
                      Cut{2, 0, -1, 2, {}, 0, 0},                  // negative size
                      Cut{0, 0, 1, -5, {}, 0, 0},
                      Cut{INT_MAX, 0, 2, 1, {}, 0, 0},             // sums that overflow
                      Cut{1, INT_MAX, 1, INT_MAX, {}, 0, 0}));

TEST(ImageBitmap, RectangleTestForTheDefinitions) {
    EXPECT_TRUE(bitmap_rectangle_valid(64, 32, 0, 0, 64, 32));
    EXPECT_TRUE(bitmap_rectangle_valid(64, 32, 32, 16, 32, 16));
    EXPECT_TRUE(bitmap_rectangle_valid(64, 32, -5, -5, 0, 0));
    EXPECT_FALSE(bitmap_rectangle_valid(64, 32, 33, 0, 32, 1));
    EXPECT_FALSE(bitmap_rectangle_valid(64, 32, 10, 10, -4, -4));
    EXPECT_FALSE(bitmap_rectangle_valid(64, 32, 0, 0, -1, 0));
    EXPECT_FALSE(bitmap_rectangle_valid(64, 32, INT_MAX, INT_MAX, INT_MAX, INT_MAX));
    EXPECT_FALSE(bitmap_rectangle_valid(64, 32, INT_MIN, 0, INT_MAX, 1));
}

class ImageBitmapCache : public ::testing::Test {
protected:
    TempDir dir;
    Console console;
    std::string path;
    void SetUp() override {
        release_bitmap_cache();
        path = dir.write("WALL.PCX", write_pcx(3, 2, three_by_two));
    }
    void TearDown() override { release_bitmap_cache(); }
};

TEST_F(ImageBitmapCache, ConsecutiveCutsDecodeTheFileOnce) {
    ColumnBitmap a, b;
    ASSERT_TRUE(load_bitmap(path.c_str(), 1, 0, 2, 2, &a));
    EXPECT_EQ(bitmap_bytes(a), (Bytes{5, 2, 6, 3}));
    EXPECT_TRUE(bitmap_cache_holds(path.c_str()));
    // Overwrite the file: a cut from the cache still sees the first picture. The name is
    // compared without case.
    const uint8_t other[6] = {9, 9, 9, 9, 9, 9};
    dir.write("WALL.PCX", write_pcx(3, 2, other));
    std::string upper = dir.path + "/WALL.pcx";
    ASSERT_TRUE(load_bitmap(upper.c_str(), 0, 0, 0, 0, &b));
    EXPECT_EQ(bitmap_bytes(b), (Bytes{4, 1, 5, 2, 6, 3}));
    free_bitmap_pixels(&a);
    free_bitmap_pixels(&b);
    EXPECT_EQ(error_store.error_count, 0);

    release_bitmap_cache();
    EXPECT_FALSE(bitmap_cache_holds(path.c_str()));
    ASSERT_TRUE(load_bitmap(path.c_str(), 0, 0, 1, 1, &a));
    EXPECT_EQ(bitmap_bytes(a), (Bytes{9}));
    free_bitmap_pixels(&a);
}

TEST_F(ImageBitmapCache, RectangleOutsideIsAnErrorAndEmptiesTheCache) {
    ColumnBitmap a;
    EXPECT_FALSE(load_bitmap(path.c_str(), 2, 0, 2, 2, &a));
    EXPECT_EQ(a.pixels, nullptr);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_EQ(std::string(console.text), "dravo: bitmap " + path + ": rectangle outside the image\n");
    EXPECT_FALSE(bitmap_cache_holds(path.c_str()));
    EXPECT_EQ(bitmap_cache.image, nullptr);
}

TEST_F(ImageBitmapCache, FailedDecodeIsReportedOnceAndTriedAgainNextTime) {
    std::string broken = dir.write("BROKEN.LBM", Bytes{'F', 'O', 'R', 'M'});
    ColumnBitmap a;
    EXPECT_FALSE(load_bitmap(broken.c_str(), 0, 0, 0, 0, &a));
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_FALSE(bitmap_cache_holds(broken.c_str()));
    // Mended on disk: the next definition decodes it.
    const uint8_t four[4] = {1, 2, 3, 4};
    dir.write("BROKEN.LBM", write_pbm(2, 2, four));
    ASSERT_TRUE(load_bitmap(broken.c_str(), 0, 0, 0, 0, &a));
    EXPECT_EQ(bitmap_bytes(a), (Bytes{3, 1, 4, 2}));
    free_bitmap_pixels(&a);
}

TEST_F(ImageBitmapCache, EmptyNameIsAnError) {
    ColumnBitmap a;
    EXPECT_FALSE(load_bitmap("", 0, 0, 0, 0, &a));
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_STREQ(console.text, "dravo: bitmap : no file name\n");
}

TEST(ImageBitmap, SourcesMatchForSharing) {
    BitmapSource a, b, c, d, e;
    set_bitmap_source(&a, "WALLS.PCX", 0, 0, 64, 64);
    set_bitmap_source(&b, "walls.pcx", 0, 0, 64, 64);
    set_bitmap_source(&c, "WALLS.PCX", 64, 0, 64, 64);
    set_bitmap_source(&d, "WALLS.PCX", 5, 5, 0, 0);
    set_bitmap_source(&e, "walls.pcx", 0, 0, 0, 10);
    EXPECT_TRUE(bitmap_sources_match(a, b));
    EXPECT_FALSE(bitmap_sources_match(a, c));
    EXPECT_TRUE(bitmap_sources_match(d, e));   // both the whole picture
    EXPECT_FALSE(bitmap_sources_match(a, d));
    set_bitmap_source(&e, "OTHER.PCX", 5, 5, 0, 0);
    EXPECT_FALSE(bitmap_sources_match(d, e));
}

}  // namespace
