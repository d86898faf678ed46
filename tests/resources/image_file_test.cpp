// The image file front door: the decoder chosen by extension, the palette side channel, and
// the console text and error report of each failure.
#include <gtest/gtest.h>

#include <string>

#include "engine/console.h"
#include "engine/errors.h"
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

TEST(ImageFile, ExtensionChoosesTheDecoder) {
    struct {
        const char* name;
        ImageFormat format;
    } cases[] = {
        {"A.PCX", IMAGE_FORMAT_PCX}, {"a.pcx", IMAGE_FORMAT_PCX}, {"w.Wex", IMAGE_FORMAT_PCX},
        {"b.lbm", IMAGE_FORMAT_PBM}, {"B.BBM", IMAGE_FORMAT_PBM}, {"t.tx", IMAGE_FORMAT_TX},
        {"noext", IMAGE_FORMAT_NONE}, {"a.gif", IMAGE_FORMAT_NONE}, {"a.pcx.bak", IMAGE_FORMAT_NONE},
        {"a.b.pcx", IMAGE_FORMAT_NONE},  // the extension runs from the first dot
        {"a.txt", IMAGE_FORMAT_NONE}, {"", IMAGE_FORMAT_NONE},
    };
    for (const auto& c : cases) EXPECT_EQ(image_format_of(c.name), c.format) << c.name;
}

TEST(ImageFile, DecodesEachFormatAndSetsThePaletteFlag) {
    TempDir dir;
    Bytes pal = test_palette_8bit();
    const uint8_t six[6] = {1, 2, 3, 4, 5, 6};
    PcxWriteOptions pcx;
    pcx.palette = pal.data();
    PbmWriteOptions pbm;
    pbm.compress = true;
    struct {
        std::string path;
        bool palette;
    } files[] = {
        {dir.write("A.PCX", write_pcx(3, 2, six, pcx)), true},
        {dir.write("B.WEX", write_pcx(3, 2, six)), false},
        {dir.write("C.LBM", write_pbm(3, 2, six, pbm)), false},
        {dir.write("D.TX", write_tx(3, 2, six)), false},
    };
    Console console;
    for (const auto& f : files) {
        uint8_t* image = decode_image_file(f.path.c_str());
        ASSERT_NE(image, nullptr) << f.path;
        EXPECT_EQ(image_width(image), 3);
        EXPECT_EQ(image_height(image), 2);
        EXPECT_EQ(Bytes(image_pixels(image), image_pixels(image) + 6), Bytes(six, six + 6));
        EXPECT_EQ(image_palette.present, f.palette) << f.path;
        free_image(image);
    }
    EXPECT_EQ(error_store.error_count, 0);
    EXPECT_STREQ(console.text, "");
}

TEST(ImageFile, FailuresAreReportedAndGiveNone) {
    TempDir dir;
    const uint8_t six[6] = {1, 2, 3, 4, 5, 6};
    Bytes pcx = write_pcx(3, 2, six);
    pcx[1] = 2;
    std::string bad = dir.write("BAD.PCX", pcx);
    std::string wrong = dir.write("PIC.GIF", pcx);
    std::string missing = dir.path + "/MISSING.PCX";
    struct {
        std::string name;
        std::string message;
    } cases[] = {
        {wrong, "dravo: image " + wrong + ": unknown image type\n"},
        {missing, "dravo: image " + missing + ": file not found\n"},
        {bad, "dravo: image " + bad + ": not an 8-bit single-plane PCX file\n"},
    };
    for (const auto& c : cases) {
        Console console;
        image_palette.present = true;
        EXPECT_EQ(decode_image_file(c.name.c_str()), nullptr);
        EXPECT_EQ(console.text, c.message);
        EXPECT_EQ(error_store.error_count, 1);
        EXPECT_FALSE(image_palette.present);
    }
}

}  // namespace
