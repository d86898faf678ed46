// Name lookups of the catalogue: a world-sized table (the engine variables and a few
// thousand script names), found by exact, other-case and missing names.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "script/front/catalogue.h"

static std::vector<std::string> names;

static void fill_catalogue() {
    reset_settings();
    catalogue_reset();
    create_engine_variables();
    create_predefined_synonyms();
    names.clear();
    char name[32];
    for (int i = 0; i < 4000; i++) {
        std::snprintf(name, sizeof name, "OBJ_%c%d_TEX", 'A' + i % 26, i);
        names.push_back(name);
        void* object = nullptr;
        create_object(name, i % 2 ? KIND_TEXTURE : KIND_ACTION, &object);
    }
}

static void BM_find_name(benchmark::State& state) {
    fill_catalogue();
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(find_name(names[i].c_str(), KIND_NONE));
        i = (i + 1) % names.size();
    }
}
BENCHMARK(BM_find_name);

static void BM_find_engine_variable(benchmark::State& state) {
    fill_catalogue();
    int32_t slot = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(find_name(engine_var_specs[slot].name, KIND_SKILL));
        slot = (slot + 1) % SLOT_COUNT;
    }
}
BENCHMARK(BM_find_engine_variable);

static void BM_find_missing(benchmark::State& state) {
    fill_catalogue();
    for (auto _ : state) benchmark::DoNotOptimize(find_name("NOT_A_NAME_AT_ALL", KIND_NONE));
}
BENCHMARK(BM_find_missing);

static void BM_find_member(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(find_member(KIND_REGION, "FLAG8"));
}
BENCHMARK(BM_find_member);

static void BM_release_and_recreate_variables(benchmark::State& state) {
    reset_settings();
    catalogue_reset();
    for (auto _ : state) {
        create_engine_variables();
        release_everything();
    }
}
BENCHMARK(BM_release_and_recreate_variables);
BENCHMARK_MAIN();
