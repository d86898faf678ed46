// Raw TX decoding.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "resources/image.h"
#include "resources/tx.h"
#include "tests/resources/image_writer_helper.h"

using namespace image_test;

namespace {

struct TxCase {
    const char* what;
    const char* text;  // the header; pixels 1, 2, 3, ... follow
    int pixel_bytes;
    int width, height;  // 0: refused
};

const TxCase tx_cases[] = {
    {"plain", "made by hand\n3 2\n", 6, 3, 2},
    {"CR before LF", "x\r\n3 2\r\n", 6, 3, 2},
    {"empty first line", "\n1 1\n", 1, 1, 1},
    {"extra pixel bytes ignored", "t\n2 2\n", 9, 2, 2},
    {"no line feed at all", "3 2", 0, 0, 0},
    {"no space", "t\n3,2\n", 6, 0, 0},
    {"letters", "t\n3 2x\n", 6, 0, 0},
    {"empty width", "t\n 2\n", 6, 0, 0},
    {"width 0", "t\n0 2\n", 6, 0, 0},
    {"too wide", "t\n70000 1\n", 6, 0, 0},
    {"32 digits", "t\n00000000000000000000000000000003 2\n", 6, 0, 0},
    {"31 digits", "t\n0000000000000000000000000000003 2\n", 6, 3, 2},
    {"pixels short", "t\n3 2\n", 5, 0, 0},
    {"header ends in the height", "t\n3 2", 0, 0, 0},
};

class ImageTx : public ::testing::TestWithParam<TxCase> {};

TEST_P(ImageTx, Decodes) {
    const TxCase& c = GetParam();
    Bytes file(c.text, c.text + std::string(c.text).size());
    for (int i = 0; i < c.pixel_bytes; i++) file.push_back(uint8_t(i + 1));
    ImagePalette palette;
    palette.present = true;
    ImageResult r = decode_tx(file.data(), file.size(), &palette);
    EXPECT_FALSE(palette.present);
    if (c.width == 0) {
        EXPECT_EQ(r.image, nullptr);
        EXPECT_NE(r.failure, nullptr);
        return;
    }
    ASSERT_NE(r.image, nullptr) << r.failure;
    EXPECT_EQ(image_width(r.image), c.width);
    EXPECT_EQ(image_height(r.image), c.height);
    for (int i = 0; i < c.width * c.height; i++) EXPECT_EQ(image_pixels(r.image)[i], i + 1);
    free_image(r.image);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImageTx, ::testing::ValuesIn(tx_cases), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.what; *c; c++) name += std::isalnum(uint8_t(*c)) ? *c : '_';
    return name;
});

TEST(ImageTx, WriterRoundTrip) {
    Bytes pix = {9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
    Bytes file = write_tx(5, 2, pix.data());
    ImagePalette palette;
    ImageResult r = decode_tx(file.data(), file.size(), &palette);
    ASSERT_NE(r.image, nullptr);
    EXPECT_EQ(Bytes(image_pixels(r.image), image_pixels(r.image) + 10), pix);
    free_image(r.image);
}

}  // namespace
