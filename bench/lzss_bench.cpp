// Speed of LZSS coding on game-like data: 8-bit pictures (flat panels, noisy textures, sky
// gradients), WDL script text and 8-bit sound, about 4 MB in all, packed by the engine's
// encoder into an archive in /tmp.
//   Decode/archive   load_resource of every entry: the decoder reads the archive file byte by
//                    byte through its buffered file, as the engine does
//   Decode/stream    the same entries through stream_resource in 16 KB chunks
//   Decode/memory    the decoder alone, from packed bytes in memory
//   Encode           the binary-tree encoder; "ratio" is packed / unpacked size
// Throughput ("MB", millions of bytes per second) counts bytes of output when decoding and of
// input when encoding.
// With LZSS_BENCH_DUMP=FILE set, the unpacked data is also written to FILE as one file (to
// compare with other tools, e.g. gzip -dc).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/console.h"
#include "resources/archive.h"
#include "resources/lzss.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct Sample {
    std::string name;
    Bytes data;
    Bytes packed;
};

uint32_t random_state = 12345;
uint32_t next_random() {
    random_state = random_state * 1664525u + 1013904223u;
    return random_state >> 8;
}

// A stone or wood texture: smooth value noise over a few shades of one palette ramp, with
// mortar lines and dither.
Bytes texture(int w, int h, int base) {
    Bytes out(size_t(w) * size_t(h));
    std::vector<int> grid(size_t((w / 8 + 2) * (h / 8 + 2)));
    for (int& g : grid) g = int(next_random() % 8);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int gx = x / 8, gy = y / 8, fx = x % 8, fy = y % 8, gw = w / 8 + 2;
            int a = grid[size_t(gy * gw + gx)], b = grid[size_t(gy * gw + gx + 1)];
            int c = grid[size_t((gy + 1) * gw + gx)], d = grid[size_t((gy + 1) * gw + gx + 1)];
            int v = (a * (8 - fx) * (8 - fy) + b * fx * (8 - fy) + c * (8 - fx) * fy + d * fx * fy) / 64;
            if (next_random() % 4 == 0) v += 1;
            bool mortar = y % 32 == 0 || (x + (y / 32 % 2) * 32) % 64 == 0;
            out[size_t(y) * size_t(w) + size_t(x)] = uint8_t(mortar ? base + 15 : base + v);
        }
    return out;
}

// A panel or menu screen: flat areas, frames and a few text-like strokes.
Bytes panel(int w, int h) {
    Bytes out(size_t(w) * size_t(h), 0);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t c = uint8_t(16 + (y * 4 / h));
            if (x % 80 < 2 || y % 50 < 2) c = 31;
            if (y % 50 > 20 && y % 50 < 28 && x % 80 > 10 && x % 80 < 70 && (x * 7 + y * 3) % 5 < 2) c = 255;
            out[size_t(y) * size_t(w) + size_t(x)] = c;
        }
    return out;
}

Bytes sky(int w, int h) {
    Bytes out(size_t(w) * size_t(h));
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            int v = y * 32 / h;
            if ((x + y) % 3 == 0 && next_random() % 3 == 0) v++;  // dithered bands
            out[size_t(y) * size_t(w) + size_t(x)] = uint8_t(192 + v);
        }
    return out;
}

Bytes script_text(size_t size) {
    static const char* const lines[] = {
        "ACTION open_door {\r\n", "    SET MY.SPEED, 2;\r\n", "    IF_EQUAL MY.STATE, 1 { BRANCH close_door; }\r\n",
        "    WAITT 16;\r\n", "}\r\n", "SKILL health { VAL 100; MIN 0; MAX 200; }\r\n",
        "TEXTURE wall_stone { SCALE_XY 16, 16; BMAPS stone1, stone2, stone3; }\r\n",
        "BMAP stone1, <stone.pcx>, 0, 0, 64, 64;\r\n", "REGION cellar { FLOOR_HGT 0; CEIL_HGT 96; }\r\n",
        "THING torch { TEXTURE torch_anim; FLAGS PASSABLE; AMBIENT 0.8; }\r\n",
        "// the monster wakes up when the player comes near\r\n", "SOUND door_snd, <door.wav>;\r\n",
        "    ADD PLAYER_Z, 0.25;\r\n", "    CALL monster_think;\r\n"};
    std::string text;
    char number[32];
    while (text.size() < size) {
        text += lines[next_random() % (sizeof lines / sizeof lines[0])];
        if (next_random() % 5 == 0) {
            std::snprintf(number, sizeof number, "    SET SKILL%u, %u;\r\n", next_random() % 500, next_random() % 1000);
            text += number;
        }
    }
    text.resize(size);
    return Bytes(text.begin(), text.end());
}

Bytes sound(size_t size) {
    Bytes out(size);
    double phase = 0, phase2 = 0;
    for (size_t i = 0; i < size; i++) {
        phase += 0.05 + 0.02 * std::sin(double(i) / 3000.0);
        phase2 += 0.31;
        double v = 60 * std::sin(phase) * std::exp(-double(i % 11025) / 4000.0) + 10 * std::sin(phase2);
        out[i] = uint8_t(128 + int(v) + int(next_random() % 3) - 1);
    }
    return out;
}

std::vector<Sample>& samples() {
    static std::vector<Sample> all;
    if (!all.empty()) return all;
    char name[16];
    for (int i = 0; i < 16; i++) {
        std::snprintf(name, sizeof name, "WALL%d.PCX", i);
        all.push_back({name, texture(256, 256, 32 + 16 * (i % 8)), {}});
    }
    for (int i = 0; i < 6; i++) {
        std::snprintf(name, sizeof name, "PANEL%d.PCX", i);
        all.push_back({name, panel(320, 200), {}});
    }
    all.push_back({"TITLE.PCX", panel(640, 480), {}});
    all.push_back({"SKY1.PCX", sky(640, 200), {}});
    all.push_back({"SKY2.PCX", sky(1024, 256), {}});
    all.push_back({"GAME.WDL", script_text(900000), {}});
    all.push_back({"LEVEL2.WDL", script_text(300000), {}});
    all.push_back({"DOOR.WAV", sound(150000), {}});
    all.push_back({"MUSIC.WAV", sound(250000), {}});
    for (Sample& s : all) {
        s.packed.resize(lzss_encode_bound(s.data.size()));
        int64_t n = lzss_encode(s.data.data(), s.data.size(), s.packed.data(), s.packed.size());
        s.packed.resize(size_t(n));
    }
    return all;
}

size_t total_unpacked() {
    size_t n = 0;
    for (const Sample& s : samples()) n += s.data.size();
    return n;
}

const std::string& archive_file() {
    static std::string path;
    if (!path.empty()) return path;
    path = "/tmp/lzss-bench-" + std::to_string(getpid()) + ".wrs";
    FILE* f = std::fopen(path.c_str(), "wb");
    for (const Sample& s : samples()) {
        uint8_t header[21] = {};
        std::memcpy(header, s.name.c_str(), s.name.size());
        uint32_t sizes[2] = {uint32_t(s.packed.size()), uint32_t(s.data.size())};
        for (int k = 0; k < 2; k++)
            for (int b = 0; b < 4; b++) header[13 + 4 * k + b] = uint8_t(sizes[k] >> (24 - 8 * b));
        std::fwrite(header, 1, sizeof header, f);
        std::fwrite(s.packed.data(), 1, s.packed.size(), f);
    }
    std::fclose(f);
    return path;
}

void report_output(benchmark::State& state, size_t bytes_per_iteration) {
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes_per_iteration));
    state.counters["MB"] = benchmark::Counter(double(bytes_per_iteration) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

void BM_DecodeArchive(benchmark::State& state) {
    if (open_archive(archive_file().c_str()) < 0) state.SkipWithError("archive");
    for (auto _ : state) {
        for (const Sample& s : samples()) {
            int32_t size = 0;
            uint8_t* data = load_resource(s.name.c_str(), &size);
            if (size_t(size) != s.data.size()) state.SkipWithError("short read");
            benchmark::DoNotOptimize(data);
            std::free(data);
        }
    }
    close_archive();
    report_output(state, total_unpacked());
}
BENCHMARK(BM_DecodeArchive)->Name("Decode/archive")->Unit(benchmark::kMillisecond);

void BM_DecodeStream(benchmark::State& state) {
    if (open_archive(archive_file().c_str()) < 0) state.SkipWithError("archive");
    std::vector<uint8_t> buffer(16384);
    for (auto _ : state) {
        for (const Sample& s : samples()) {
            const char* name = s.name.c_str();
            int32_t count = int32_t(buffer.size());
            while (stream_resource(name, buffer.data(), &count)) {
                name = nullptr;
                benchmark::DoNotOptimize(buffer.data());
                count = int32_t(buffer.size());
            }
        }
    }
    close_archive();
    report_output(state, total_unpacked());
}
BENCHMARK(BM_DecodeStream)->Name("Decode/stream")->Unit(benchmark::kMillisecond);

void BM_DecodeMemory(benchmark::State& state) {
    size_t largest = 0;
    for (const Sample& s : samples()) largest = std::max(largest, s.data.size());
    std::vector<uint8_t> out(largest);
    static LzssDecoder decoder;
    for (auto _ : state) {
        for (const Sample& s : samples()) {
            lzss_start(decoder, uint32_t(s.packed.size()));
            benchmark::DoNotOptimize(lzss_decode_bytes(decoder, s.packed.data(), out.data(), int32_t(s.data.size())));
        }
    }
    report_output(state, total_unpacked());
}
BENCHMARK(BM_DecodeMemory)->Name("Decode/memory")->Unit(benchmark::kMillisecond);

// Encoding one kind of data: 0 all, 1 pictures, 2 script text, 3 sound.
void BM_Encode(benchmark::State& state) {
    const int kind = int(state.range(0));
    std::vector<const Sample*> chosen;
    for (const Sample& s : samples()) {
        bool picture = s.name.find(".PCX") != std::string::npos, text = s.name.find(".WDL") != std::string::npos;
        int k = picture ? 1 : text ? 2 : 3;
        if (kind == 0 || kind == k) chosen.push_back(&s);
    }
    size_t in = 0, packed = 0;
    for (const Sample* s : chosen) {
        in += s->data.size();
        packed += s->packed.size();
    }
    std::vector<uint8_t> out(lzss_encode_bound(in));
    for (auto _ : state)
        for (const Sample* s : chosen)
            benchmark::DoNotOptimize(lzss_encode(s->data.data(), s->data.size(), out.data(), out.size()));
    report_output(state, in);
    state.counters["ratio"] = double(packed) / double(in);
    state.SetLabel(kind == 0 ? "all" : kind == 1 ? "pictures" : kind == 2 ? "script text" : "sound");
}
BENCHMARK(BM_Encode)->Name("Encode")->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (const char* dump = std::getenv("LZSS_BENCH_DUMP")) {
        FILE* f = std::fopen(dump, "wb");
        if (!f) return 1;
        for (const Sample& s : samples()) std::fwrite(s.data.data(), 1, s.data.size(), f);
        std::fclose(f);
    }
    std::printf("sample data: %zu files, %zu bytes\n", samples().size(), total_unpacked());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!archive_file().empty()) std::remove(archive_file().c_str());
    return 0;
}
