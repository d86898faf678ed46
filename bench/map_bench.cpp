// Loading and building a generated level of 20,000 regions and 60,000 walls (a grid of
// rooms, each split by an inner wall, with 200 things and actors and a few ways), from the
// text form and from its binary twin. Reports the time per load + build, the heap the
// level occupies and the process's peak resident memory.
#include <benchmark/benchmark.h>

#include <malloc.h>
#include <sys/resource.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "world/map_loader.h"
#include "world/map_writer.h"
#include "world/templates.h"
#include "world/world.h"

namespace {

constexpr int columns = 200, rows = 100;  // 20,000 rooms
constexpr int total_walls = 60000;

MapDescription make_level() {
    MapDescription m;
    // The grid's corners, then one extra vertex in the middle of every room.
    for (int y = 0; y <= rows; y++)
        for (int x = 0; x <= columns; x++) m.vertex(x * 8, y * 8);
    auto corner = [](int x, int y) { return y * (columns + 1) + x; };
    int middle0 = (columns + 1) * (rows + 1);
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < columns; x++) m.vertex(x * 8 + 4, y * 8 + 4, (x + y) % 3);
    char name[32];
    for (int i = 0; i < columns * rows; i++) {
        std::snprintf(name, sizeof name, "room%d", i % 150);
        m.region(name, (i % 7) * 0.5, 12 + (i % 5));
    }
    auto room = [](int x, int y) { return MapRegionRef::of(y * columns + x); };
    int walls = 0;
    auto wall = [&](int v1, int v2, MapRegionRef left, MapRegionRef right) {
        if (walls >= total_walls) return;
        std::snprintf(name, sizeof name, "wall%d", walls % 24);
        m.wall(name, v1, v2, left, right, walls % 4, walls % 3, 2);
        walls++;
    };
    for (int y = 0; y <= rows; y++)
        for (int x = 0; x < columns; x++)
            wall(corner(x, y), corner(x + 1, y), room(x, y < rows ? y : rows - 1), room(x, y > 0 ? y - 1 : 0));
    for (int y = 0; y < rows; y++)
        for (int x = 0; x <= columns; x++)
            wall(corner(x, y), corner(x, y + 1), room(x < columns ? x : columns - 1, y), room(x > 0 ? x - 1 : 0, y));
    for (int y = 0; y < rows; y++)
        for (int x = 0; x < columns; x++) wall(corner(x, y), middle0 + y * columns + x, room(x, y), room(x, y));
    for (int i = 0; i < 200; i++) {
        std::snprintf(name, sizeof name, "%s%d", i % 4 ? "barrel" : "guard", i % 8);
        m.thing(name, (i % columns) * 8 + 2, (i / columns) * 8 + 2, (i * 37) % 360, room(i % columns, i / columns),
                i % 4 == 0);
    }
    for (int i = 0; i < 20; i++) m.way("patrol" + std::to_string(i), {0, 0, 8.5, 4.25, 16, 12, 3.125, 7});
    m.player_start(4, 4, 90, room(0, 0));
    return m;
}

struct Level {
    std::string text;
    std::vector<uint8_t> binary;
};

const Level& level() {
    static Level l = [] {
        Level made;
        MapDescription m = make_level();
        made.text = write_map_text(m);
        write_map_binary(m, &made.binary);
        return made;
    }();
    return l;
}

void fresh_world() {
    free_templates();
    catalogue_reset();
    reset_reader();
    clear_errors();
    error_store.report_armed = 1;
    release_level_state();
    reset_map_loader();
    create_engine_variables();
}

size_t heap_in_use() { return mallinfo2().uordblks; }

double peak_rss_mb() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void report(benchmark::State& state, size_t heap) {
    state.counters["regions"] = double(catalogue.region_count);
    state.counters["objects"] = double(catalogue.object_count);
    state.counters["level_heap_MB"] = double(heap) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = peak_rss_mb();
    state.counters["errors"] = double(error_store.error_count);
}

void BM_LoadAndBuildText(benchmark::State& state) {
    const Level& l = level();
    std::vector<char> text;
    size_t heap = 0;
    reset_settings();
    for (auto _ : state) {
        state.PauseTiming();
        fresh_world();
        text.assign(l.text.begin(), l.text.end());
        text.push_back(0);
        size_t before = heap_in_use();
        state.ResumeTiming();
        int result = load_map_text(text.data(), int32_t(l.text.size()), "BENCH.WMP");
        map_loader.map_loaded = 1;
        build_level();
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        heap = heap_in_use() - before;
        state.ResumeTiming();
    }
    report(state, heap);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(l.text.size()));
    fresh_world();
}
BENCHMARK(BM_LoadAndBuildText)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_LoadAndBuildBinary(benchmark::State& state) {
    const Level& l = level();
    size_t heap = 0;
    reset_settings();
    for (auto _ : state) {
        state.PauseTiming();
        fresh_world();
        size_t before = heap_in_use();
        state.ResumeTiming();
        int result = load_map_binary(l.binary.data(), int32_t(l.binary.size()), "BENCH.BIN");
        map_loader.map_loaded = 1;
        build_level();
        benchmark::DoNotOptimize(result);
        state.PauseTiming();
        heap = heap_in_use() - before;
        state.ResumeTiming();
    }
    report(state, heap);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(l.binary.size()));
    fresh_world();
}
BENCHMARK(BM_LoadAndBuildBinary)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_BuildOnly(benchmark::State& state) {
    const Level& l = level();
    reset_settings();
    fresh_world();
    load_map_binary(l.binary.data(), int32_t(l.binary.size()), "BENCH.BIN");
    map_loader.map_loaded = 1;
    for (auto _ : state) build_level();
    report(state, 0);
    fresh_world();
}
BENCHMARK(BM_BuildOnly)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace

BENCHMARK_MAIN();
