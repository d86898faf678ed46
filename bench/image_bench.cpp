// Image decoding and palette table speeds: PCX and PBM decode throughput (bytes of decoded
// pixels per second), cutting a column bitmap, and building the light and blend tables.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/bitmap.h"
#include "resources/image.h"
#include "resources/light_tables.h"
#include "resources/pbm.h"
#include "resources/pcx.h"

namespace {

std::vector<uint8_t> read_file(const char* name) {
    std::vector<uint8_t> out;
    std::string path = std::string(DRAVO_SOURCE_DIR) + "/tests/data/pcx/" + name;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        uint8_t buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.insert(out.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return out;
}

// A 640 x 480 picture of short runs and literals, RLE-coded one line at a time.
std::vector<uint8_t> synthetic_pcx(int width, int height) {
    std::vector<uint8_t> out(128, 0);
    out[0] = 10, out[1] = 5, out[2] = 1, out[3] = 8;
    out[8] = uint8_t(width - 1), out[9] = uint8_t((width - 1) >> 8);
    out[10] = uint8_t(height - 1), out[11] = uint8_t((height - 1) >> 8);
    out[65] = 1, out[66] = uint8_t(width), out[67] = uint8_t(width >> 8);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width;) {
            int run = 1 + (x * 7 + y) % 9;
            if (x + run > width) run = width - x;
            uint8_t v = uint8_t((x / 9 + y) % 250);
            if (run == 1 && v < 192) {
                out.push_back(v);
            } else {
                out.push_back(uint8_t(192 | run));
                out.push_back(v);
            }
            x += run;
        }
    return out;
}

void decode_loop(benchmark::State& state, const std::vector<uint8_t>& file) {
    ImagePalette palette;
    size_t pixels = 0;
    for (auto _ : state) {
        ImageResult r = decode_pcx(file.data(), file.size(), &palette);
        if (!r.image) {
            state.SkipWithError("decode failed");
            return;
        }
        pixels = size_t(image_width(r.image)) * image_height(r.image);
        benchmark::DoNotOptimize(r.image);
        free_image(r.image);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels));
}

void BM_PcxDecodeAllegro(benchmark::State& state) { decode_loop(state, read_file("allegro.pcx")); }
void BM_PcxDecodeLineMode(benchmark::State& state) { decode_loop(state, read_file("planet.pcx")); }
void BM_PcxDecode640x480(benchmark::State& state) { decode_loop(state, synthetic_pcx(640, 480)); }

void BM_CutWholeBitmap(benchmark::State& state) {
    std::vector<uint8_t> file = read_file("allegro.pcx");
    ImagePalette palette;
    ImageResult r = decode_pcx(file.data(), file.size(), &palette);
    for (auto _ : state) {
        ColumnBitmap b;
        const char* failure;
        cut_bitmap(r.image, 0, 0, 0, 0, &b, &failure);
        benchmark::DoNotOptimize(b.pixels);
        free_bitmap_pixels(&b);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * 320 * 200);
    free_image(r.image);
}

std::vector<uint8_t> palette_of_allegro() {
    std::vector<uint8_t> file = read_file("allegro.pcx");
    ImagePalette palette;
    ImageResult r = decode_pcx(file.data(), file.size(), &palette);
    free_image(r.image);
    return std::vector<uint8_t>(palette.rgb, palette.rgb + 768);
}

void BM_LightTableRanges(benchmark::State& state) {
    std::vector<uint8_t> rgb = palette_of_allegro();
    std::vector<ColourRange> ranges;
    for (int first = 16; first + 16 <= 256; first += 16) ranges.push_back({first, 16});
    LightSource source = {rgb.data(), ranges.data(), int(ranges.size()), false, state.range(0) != 0};
    std::vector<uint8_t> block(LIGHT_TABLE_BLOCK_BYTES);
    AutomapRangeLengths lengths;
    for (auto _ : state) {
        build_light_table(source, block.data(), 244, 17, &lengths);
        benchmark::ClobberMemory();
    }
}

void BM_BlendTable(benchmark::State& state) {
    std::vector<uint8_t> rgb = palette_of_allegro();
    for (auto _ : state) {
        build_blend_table(rgb.data(), blend_table);
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_PcxDecodeAllegro);
BENCHMARK(BM_PcxDecodeLineMode);
BENCHMARK(BM_PcxDecode640x480);
BENCHMARK(BM_CutWholeBitmap);
BENCHMARK(BM_LightTableRanges)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BlendTable)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
