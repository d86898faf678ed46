// PCX decoding: synthetic files for each rule, refused headers, and files written by other
// programs.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "resources/image.h"
#include "resources/pcx.h"
#include "tests/resources/image_writer_helper.h"

using namespace image_test;

namespace {

struct Decoded {
    uint8_t* image = nullptr;
    const char* failure = nullptr;
    ImagePalette palette = {};
    ~Decoded() { free_image(image); }
    Bytes pixels() const {
        const uint8_t* p = image_pixels(static_cast<const uint8_t*>(image));
        return Bytes(p, p + size_t(image_width(image)) * image_height(image));
    }
};

void decode(const Bytes& file, Decoded* d) {
    d->palette.present = true;  // a decode must clear it
    ImageResult r = decode_pcx(file.data(), file.size(), &d->palette);
    d->image = r.image;
    d->failure = r.failure;
}

const uint8_t six[6] = {1, 2, 3, 4, 5, 6};

TEST(ImagePcx, RunLengthStreamDecodesRowsFromTheTop) {
    Decoded d;
    decode(write_pcx(3, 2, six), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(image_width(d.image), 3);
    EXPECT_EQ(image_height(d.image), 2);
    EXPECT_EQ(d.pixels(), Bytes(six, six + 6));
    EXPECT_FALSE(d.palette.present);
}

TEST(ImagePcx, PaletteAfterPixelsIsShiftedToSixBits) {
    Bytes pal = test_palette_8bit();
    PcxWriteOptions o;
    o.palette = pal.data();
    Decoded d;
    decode(write_pcx(3, 2, six, o), &d);
    ASSERT_NE(d.image, nullptr);
    ASSERT_TRUE(d.palette.present);
    for (int i = 0; i < 768; i++) ASSERT_EQ(d.palette.rgb[i], pal[size_t(i)] >> 2) << i;
}

TEST(ImagePcx, MarkerWithShortPaletteFails) {
    Bytes file = write_pcx(3, 2, six);
    file.push_back(12);
    file.insert(file.end(), 100, 7);
    Decoded d;
    decode(file, &d);
    EXPECT_EQ(d.image, nullptr);
    EXPECT_STREQ(d.failure, "PCX palette cut short");
}

TEST(ImagePcx, OtherByteAfterPixelsMeansNoPalette) {
    Bytes file = write_pcx(3, 2, six);
    file.push_back(11);
    file.insert(file.end(), 768, 9);
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr);
    EXPECT_FALSE(d.palette.present);
}

TEST(ImagePcx, LineOneLongerThanWidthDropsItsLastByte) {
    // Each stored line holds the width plus one junk byte (99) that must not show.
    Bytes file = write_pcx(3, 2, six, {.line_bytes = 4});
    Bytes raw = {1, 2, 3, 99, 4, 5, 6, 99};
    file.resize(128);
    file.insert(file.end(), raw.begin(), raw.end());
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), Bytes(six, six + 6));
}

TEST(ImagePcx, RunsCrossLinesInLineMode) {
    // width 3, 4 bytes per line: one run of 8 fills both lines, pads included.
    Bytes file = write_pcx(3, 2, six, {.line_bytes = 4});
    file.resize(128);
    file.push_back(192 | 8);
    file.push_back(77);
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), Bytes(6, 77));
}

TEST(ImagePcx, LinesShorterThanWidthLeaveTheRestZero) {
    Bytes file = write_pcx(3, 2, six, {.line_bytes = 2});
    file.resize(128);
    for (uint8_t v : {1, 2, 4, 5}) file.push_back(v);
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{1, 2, 0, 4, 5, 0}));
}

TEST(ImagePcx, LineModeStopsAfterTheLastRow) {
    // More coded lines follow than the height allows: they are not pixels. The byte after
    // the second line is the third line's first byte, not a palette marker.
    Bytes file = write_pcx(3, 2, six, {.line_bytes = 4});
    file.resize(128);
    for (int line = 0; line < 50; line++)
        for (uint8_t v : {uint8_t(line + 1), uint8_t(2), uint8_t(3), uint8_t(0)}) file.push_back(v);
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{1, 2, 3, 2, 2, 3}));
    EXPECT_FALSE(d.palette.present);
}

TEST(ImagePcx, StreamRunIsCutAtTheEndOfThePicture) {
    Bytes pal = test_palette_8bit();
    Bytes file = write_pcx(3, 2, six);
    file.resize(128);
    file.push_back(192 | 63);  // 63 pixels of 5, only 6 fit
    file.push_back(5);
    file.push_back(12);
    file.insert(file.end(), pal.begin(), pal.end());
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), Bytes(6, 5));
    EXPECT_TRUE(d.palette.present);
}

TEST(ImagePcx, RunOfZeroWritesNothingAndHighLiteralsAreRuns) {
    Bytes file = write_pcx(3, 1, six);
    file.resize(128);
    for (uint8_t v : {192, 40, 7, 193, 200, 9}) file.push_back(v);  // empty run, 7, one 200, 9
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{7, 200, 9}));
}

TEST(ImagePcx, RawEncodingCopiesPixels) {
    PcxWriteOptions o;
    o.coded = false;
    Decoded d;
    decode(write_pcx(3, 2, six, o), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), Bytes(six, six + 6));
}

TEST(ImagePcx, CornersGiveTheSize) {
    PcxWriteOptions o;
    o.x_min = 100;
    o.y_min = 30;
    Decoded d;
    decode(write_pcx(3, 2, six, o), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(image_width(d.image), 3);
    EXPECT_EQ(image_height(d.image), 2);
}

// Headers and data that must be refused, each with the reason the engine prints.
struct BadPcx {
    const char* what;
    void (*mend)(Bytes& file);
    const char* failure;
};

void set_u16(Bytes& f, size_t at, int v) {
    f[at] = uint8_t(v);
    f[at + 1] = uint8_t(v >> 8);
}

const BadPcx bad_pcx[] = {
    {"short header", [](Bytes& f) { f.resize(100); }, "PCX header too short"},
    {"version 3", [](Bytes& f) { f[1] = 3; }, "not an 8-bit single-plane PCX file"},
    {"three planes", [](Bytes& f) { f[65] = 3; }, "not an 8-bit single-plane PCX file"},
    {"x-max below x-min", [](Bytes& f) { set_u16(f, 4, 10); set_u16(f, 8, 2); }, "image size is 0 or negative"},
    {"y-max below y-min", [](Bytes& f) { set_u16(f, 6, 1); set_u16(f, 10, 0); }, "image size is 0 or negative"},
    {"width 65536", [](Bytes& f) { set_u16(f, 4, 0); set_u16(f, 8, 0xFFFF); }, "image too large"},
    {"65535 x 65535", [](Bytes& f) { set_u16(f, 8, 0xFFFE); set_u16(f, 10, 0xFFFE); }, "image too large"},
    {"zero bytes per line", [](Bytes& f) { set_u16(f, 66, 0); }, "PCX line length is 0"},
    {"run data ends early", [](Bytes& f) { f.resize(f.size() - 2); }, "PCX pixel data ends early"},
    {"run value missing", [](Bytes& f) { f.resize(128); f.push_back(192 | 5); }, "PCX pixel data ends early"},
    {"raw data ends early", [](Bytes& f) { f[2] = 0; f.resize(f.size() - 1); }, "PCX pixel data ends early"},
};

class ImagePcxRefused : public ::testing::TestWithParam<BadPcx> {};

TEST_P(ImagePcxRefused, GivesNoImage) {
    const uint8_t wide[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    Bytes file = write_pcx(4, 3, wide);
    GetParam().mend(file);
    Decoded d;
    decode(file, &d);
    EXPECT_EQ(d.image, nullptr);
    EXPECT_STREQ(d.failure, GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImagePcxRefused, ::testing::ValuesIn(bad_pcx),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.what; *c; c++)
                                 name += std::isalnum(uint8_t(*c)) ? *c : '_';
                             return name;
                         });

// Files written by other programs, compared with what pcxtoppm (netpbm) decodes from them:
// the FNV-1a hash of every pixel's colour (6-bit channels).
struct RealPcx {
    const char* file;
    int width, height;
    uint32_t colour_hash;
};

const RealPcx real_pcx[] = {
    {"planet.pcx", 49, 49, 0xf189b366},   // 50 bytes per line
    {"allegro.pcx", 320, 200, 0xed078f49},
    {"netpbm_odd.pcx", 13, 7, 0x2712a79c},  // odd line length
    {"netpbm_offset.pcx", 13, 7, 0x2712a79c},
};

class ImagePcxReal : public ::testing::TestWithParam<RealPcx> {};

TEST_P(ImagePcxReal, MatchesAnotherDecoder) {
    const RealPcx& c = GetParam();
    Bytes file = read_file_bytes(std::string(DRAVO_SOURCE_DIR) + "/tests/data/pcx/" + c.file);
    ASSERT_FALSE(file.empty());
    Decoded d;
    decode(file, &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    ASSERT_TRUE(d.palette.present);
    EXPECT_EQ(image_width(d.image), c.width);
    EXPECT_EQ(image_height(d.image), c.height);
    uint32_t hash = 0x811c9dc5;
    for (uint8_t index : d.pixels())
        for (int k = 0; k < 3; k++) hash = (hash ^ d.palette.rgb[3 * index + k]) * 0x01000193u;
    EXPECT_EQ(hash, c.colour_hash);
}

INSTANTIATE_TEST_SUITE_P(Files, ImagePcxReal, ::testing::ValuesIn(real_pcx));

TEST(ImagePcx, ThreePlaneFileFromAnotherProgramIsRefused) {
    Bytes file = read_file_bytes(std::string(DRAVO_SOURCE_DIR) + "/tests/data/pcx/netpbm_rgb.pcx");
    ASSERT_FALSE(file.empty());
    Decoded d;
    decode(file, &d);
    EXPECT_EQ(d.image, nullptr);
}

}  // namespace
