// IFF PBM decoding: both codings with odd and even widths, the ByteRun1 rules, chunk walking,
// and the files that must be refused.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

#include "resources/image.h"
#include "resources/pbm.h"
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
    d->palette.present = true;
    ImageResult r = decode_pbm(file.data(), file.size(), &d->palette);
    d->image = r.image;
    d->failure = r.failure;
}

Bytes picture(int width, int height) {
    Bytes p(size_t(width) * height);
    for (int i = 0; i < int(p.size()); i++) p[size_t(i)] = uint8_t((i / 5) * 3 + (i % 7 == 0 ? 200 : 0));
    return p;
}

// A file with the bitmap header and a BODY chunk holding `body` as it stands.
Bytes pbm_with_body(int width, int height, bool compress, const Bytes& body) {
    Bytes pix(size_t(width) * height, 0);
    PbmWriteOptions o;
    o.compress = compress;
    Bytes file = write_pbm(width, height, pix.data(), o);
    size_t at = 12 + 28;  // BMHD is 8 + 20 bytes
    file.resize(at);
    const char id[] = "BODY";
    file.insert(file.end(), id, id + 4);
    uint32_t n = uint32_t(body.size());
    for (int s = 24; s >= 0; s -= 8) file.push_back(uint8_t(n >> s));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

struct Shape {
    int width, height;
    bool compress;
    bool pad_coded_rows;
};

class ImagePbmRoundTrip : public ::testing::TestWithParam<Shape> {};

TEST_P(ImagePbmRoundTrip, DecodesWhatWasWritten) {
    const Shape& s = GetParam();
    Bytes pix = picture(s.width, s.height);
    PbmWriteOptions o;
    o.compress = s.compress;
    o.pad_coded_rows = s.pad_coded_rows;
    Decoded d;
    decode(write_pbm(s.width, s.height, pix.data(), o), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(image_width(d.image), s.width);
    EXPECT_EQ(image_height(d.image), s.height);
    EXPECT_EQ(d.pixels(), pix);
    EXPECT_FALSE(d.palette.present);
}

INSTANTIATE_TEST_SUITE_P(Shapes, ImagePbmRoundTrip,
                         ::testing::Values(Shape{1, 1, false, true}, Shape{3, 2, false, true},
                                           Shape{8, 5, false, true}, Shape{17, 9, false, true},
                                           Shape{1, 1, true, true}, Shape{3, 2, true, true},
                                           Shape{17, 9, true, true}, Shape{17, 9, true, false},
                                           Shape{64, 4, true, true}, Shape{301, 3, true, true},
                                           Shape{300, 3, false, true}));

TEST(ImagePbm, OddWidthUncompressedDropsOnePadPerRow) {
    // Rows of 3 pixels stored as 4 bytes; the pads (99) must not show.
    Decoded d;
    decode(pbm_with_body(3, 2, false, Bytes{1, 2, 3, 99, 4, 5, 6, 99}), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{1, 2, 3, 4, 5, 6}));
}

TEST(ImagePbm, ControlByte128ProducesNothingAnd255RepeatsTwice) {
    Decoded d;
    decode(pbm_with_body(4, 1, true, Bytes{128, 255, 7, 128, 1, 8, 9}), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{7, 7, 8, 9}));
}

TEST(ImagePbm, RunPastTheRowEndIsOverwrittenByTheNextRow) {
    // Row 0: a run of 5 for a width of 3; row 1 starts afresh.
    Decoded d;
    decode(pbm_with_body(3, 2, true, Bytes{252, 4, 2, 1, 2, 3}), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{4, 4, 4, 1, 2, 3}));
}

TEST(ImagePbm, RunPastTheLastRowStaysInsideTheImage) {
    // The last row asks for 128 bytes of 9 and a literal of 128 bytes for a width of 2.
    Bytes body = {1, 5, 6, 129, 9};
    Decoded d;
    decode(pbm_with_body(2, 2, true, body), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), (Bytes{5, 6, 9, 9}));

    Bytes literal = {1, 5, 6, 127};
    literal.insert(literal.end(), 128, 3);
    Decoded e;
    decode(pbm_with_body(2, 2, true, literal), &e);
    ASSERT_NE(e.image, nullptr) << e.failure;
    EXPECT_EQ(e.pixels(), (Bytes{5, 6, 3, 3}));
}

TEST(ImagePbm, PaletteChunkIsShiftedAndUnknownChunksAreSkipped) {
    Bytes pal = test_palette_8bit();
    Bytes pix = picture(5, 3);
    PbmWriteOptions o;
    o.compress = true;
    o.cmap = pal.data();
    o.odd_chunk_before_body = true;
    Decoded d;
    decode(write_pbm(5, 3, pix.data(), o), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), pix);
    ASSERT_TRUE(d.palette.present);
    for (int i = 0; i < 768; i++) ASSERT_EQ(d.palette.rgb[i], pal[size_t(i)] >> 2) << i;
}

TEST(ImagePbm, LongPaletteChunkKeepsItsFirst768Bytes) {
    Bytes pal = test_palette_8bit();
    Bytes pix = picture(4, 2);
    PbmWriteOptions o;
    o.cmap = pal.data();
    o.cmap_bytes = 800;
    Decoded d;
    decode(write_pbm(4, 2, pix.data(), o), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.pixels(), pix);
    EXPECT_EQ(d.palette.rgb[767], pal[767] >> 2);
}

TEST(ImagePbm, ShortPaletteChunkLeavesTheOtherColoursBlack) {
    Bytes pal = test_palette_8bit();
    Bytes pix = picture(4, 2);
    PbmWriteOptions o;
    o.cmap = pal.data();
    o.cmap_bytes = 48;  // 16 colours
    Decoded d;
    std::memset(d.palette.rgb, 0x3F, sizeof d.palette.rgb);
    decode(write_pbm(4, 2, pix.data(), o), &d);
    ASSERT_NE(d.image, nullptr) << d.failure;
    EXPECT_EQ(d.palette.rgb[47], pal[47] >> 2);
    EXPECT_EQ(d.palette.rgb[48], 0);
    EXPECT_EQ(d.palette.rgb[767], 0);
}

struct BadPbm {
    const char* what;
    Bytes (*make)();
    const char* failure;
};

void set_be16(Bytes& f, size_t at, int v) {
    f[at] = uint8_t(v >> 8);
    f[at + 1] = uint8_t(v);
}

Bytes good_file(bool compress) {
    Bytes pix = picture(6, 4);
    PbmWriteOptions o;
    o.compress = compress;
    return write_pbm(6, 4, pix.data(), o);
}

const BadPbm bad_pbm[] = {
    {"not FORM", [] { Bytes f = good_file(false); f[0] = 'X'; return f; }, "not a PBM file"},
    {"ILBM type", [] { Bytes f = good_file(false); std::memcpy(&f[8], "ILBM", 4); return f; }, "not a PBM file"},
    {"eleven bytes", [] { Bytes f = good_file(false); f.resize(11); return f; }, "not a PBM file"},
    {"no BODY", [] { Bytes f = good_file(false); f.resize(12 + 28); return f; }, "PBM file has no BODY"},
    {"BMHD cut short", [] { Bytes f = good_file(false); f.resize(12 + 8 + 10); return f; },
     "PBM chunk runs past the end of the file"},
    {"BODY length past the end", [] { Bytes f = good_file(false); f.resize(f.size() - 3); return f; },
     "PBM chunk runs past the end of the file"},
    {"uncompressed rows short",
     [] { return pbm_with_body(6, 4, false, Bytes(23, 1)); }, "PBM pixel data ends early"},
    {"literal beyond the end",
     [] { return pbm_with_body(6, 1, true, Bytes{5, 1, 2, 3}); }, "PBM pixel data ends early"},
    {"repeat value beyond the end",
     [] { return pbm_with_body(6, 1, true, Bytes{250}); }, "PBM pixel data ends early"},
    {"rows missing", [] { return pbm_with_body(2, 3, true, Bytes{1, 1, 2}); }, "PBM pixel data ends early"},
    {"BODY before BMHD",
     [] {
         Bytes f = {'F', 'O', 'R', 'M', 0, 0, 0, 16, 'P', 'B', 'M', ' ', 'B', 'O', 'D', 'Y', 0, 0, 0, 4, 1, 2, 3, 4};
         return f;
     },
     "PBM BODY comes before BMHD"},
    {"width 0", [] { Bytes f = good_file(false); set_be16(f, 20, 0); return f; }, "image size is 0 or negative"},
    {"65535 x 65535",
     [] { Bytes f = good_file(true); set_be16(f, 20, 0xFFFF); set_be16(f, 22, 0xFFFF); return f; }, "image too large"},
    {"unknown chunk past the end",
     [] {
         Bytes f = good_file(false);
         f.resize(12 + 28);
         for (uint8_t b : Bytes{'A', 'N', 'N', 'O', 0x7F, 0xFF, 0xFF, 0xFF}) f.push_back(b);
         return f;
     },
     "PBM chunk runs past the end of the file"},
};

class ImagePbmRefused : public ::testing::TestWithParam<BadPbm> {};

TEST_P(ImagePbmRefused, GivesNoImage) {
    Bytes file = GetParam().make();
    Decoded d;
    decode(file, &d);
    EXPECT_EQ(d.image, nullptr);
    EXPECT_STREQ(d.failure, GetParam().failure);
}

INSTANTIATE_TEST_SUITE_P(Cases, ImagePbmRefused, ::testing::ValuesIn(bad_pbm), [](const auto& info) {
    std::string name;
    for (const char* c = info.param.what; *c; c++) name += std::isalnum(uint8_t(*c)) ? *c : '_';
    return name;
});

}  // namespace
