// Speed of the whole script front end: the reader, the preprocessor and the definitions
// parser making catalogue objects, on a generated script of 20,000 definitions (bitmaps cut
// from one picture, textures, skills, strings, panels, regions and things) and 5,000 actions
// whose bodies go to the action compiler in use. Reports bytes and statements per second.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/bitmap.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"
#include "script/front/world_script.h"

namespace {

std::string make_script() {
    std::string s;
    s.reserve(8 << 20);
    char line[640];
    for (int i = 0; i < 20; i++) {
        std::snprintf(line, sizeof line, "DEFINE size_%d, %d;\n", i, 8 + i);
        s += line;
    }
    s += "DEFINE greeting, \"hello\";\nVIDEO S640x480;\nifdef size_3;\nFONT digits, <font.tx>, 8, 8;\n";
    s += "SKILL score { VAL 0; }\n";
    for (int i = 0; i < 20000; i++) {
        switch (i % 8) {
        case 0:
        case 4:
            std::snprintf(line, sizeof line, "BMAP wall_%d, <tile.tx>, %d, 0, size_%d, 16;  # a bitmap\n", i, i % 40,
                          i % 20);
            break;
        case 1:
        case 5:
            std::snprintf(line, sizeof line,
                          "TEXTURE tex_%d {\n  SCALE_XY 16, 16;\n  CYCLES 1;\n  BMAPS wall_%d;\n  FLAGS SKY, GHOST;\n}\n",
                          i, i - 1);
            break;
        case 2:
            std::snprintf(line, sizeof line, "SKILL s_%d { VAL 1.5; MIN -10; MAX 100; TYPE LOCAL; } // a skill\n", i);
            break;
        case 3:
            std::snprintf(line, sizeof line, "STRING str_%d, \"A text with \\\"quotes\\\" and\\n a break\";\n", i);
            break;
        case 6:
            std::snprintf(line, sizeof line,
                          "PANEL pan_%d {\n  POS_X %d; POS_Y 8; LAYER %d;\n  BUTTON 1, 2, wall_%d, NULL, act_%d, NULL;\n"
                          "  DIGITS 4, 4, 3, digits, 1, score;\n  FLAGS VISIBLE;\n}\n",
                          i, i % 300, i % 5, i - 2, i % 5000);
            break;
        default:
            std::snprintf(line, sizeof line,
                          "REGION reg_%d { FLOOR_HGT %d.5; CEIL_HGT 40; AMBIENT 0.25; IF_ENTER act_%d; }\n"
                          "THING thing_%d { TEXTURE tex_%d; SKILL1 %d; FLAGS GROUND, FRAGILE; }\n",
                          i, i % 10, i % 5000, i, i - 2, i % 100);
            break;
        }
        s += line;
    }
    for (int i = 0; i < 5000; i++) {
        std::snprintf(line, sizeof line,
                      "ACTION act_%d {\n"
                      "  IF_ABOVE s_%d, 5;\n"
                      "  SET MY.SKILL1, size_%d;\n"
                      "  RULE s_%d = s_%d + 1 * TIME_CORR;\n"
                      "  IF (s_%d > 10) { SET s_%d, 0; } ELSE { ADD s_%d, 1; }\n"
                      "  again_%d: WAITT 1;\n"
                      "  /* back to the start */ SKIP again_%d;\n"
                      "}\n",
                      i, 2 + (i % 2500) * 8, i % 20, 2 + (i % 2500) * 8, 2 + (i % 2500) * 8, 2 + (i % 2500) * 8,
                      2 + (i % 2500) * 8, 2 + (i % 2500) * 8, i, i);
        s += line;
    }
    s += "EACH_TICK act_1, act_2;\nIF_START act_0;\nendif;\n";
    return s;
}

const std::string& script() {
    static const std::string s = make_script();
    return s;
}

// A folder with the two pictures the script cuts from; the working directory while running.
struct GameFolder {
    std::string path;
    GameFolder() {
        char pattern[] = "/tmp/dravo_frontend_bench_XXXXXX";
        path = mkdtemp(pattern);
        write("tile.tx", 80, 16);
        write("font.tx", 80, 8);
        if (chdir(path.c_str()) != 0) std::perror("chdir");
    }
    void write(const char* name, int w, int h) const {
        std::ofstream out(path + "/" + name, std::ios::binary);
        out << "TX picture\n" << w << " " << h << "\n";
        for (int i = 0; i < w * h; i++) out.put(char(i & 255));
    }
    ~GameFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
};

void fresh_world() {
    load_mode = 0;
    catalogue_reset();
    clear_errors();
    error_store.report_armed = 1;
    reset_reader();
    drop_defines(1);
    reset_definitions();
    install_definition_handlers();
    create_predefined_synonyms();
    create_engine_variables();
}

void BM_FrontEnd(benchmark::State& state) {
    static GameFolder folder;
    reset_settings();
    catalogue_init();
    const std::string& text = script();
    std::vector<char> buffer(text.size() + 2);
    long long statements = 0;
    for (auto _ : state) {
        state.PauseTiming();
        fresh_world();
        std::memcpy(buffer.data(), text.data(), text.size());
        buffer[text.size()] = buffer[text.size() + 1] = 0;
        int first = reader.statement_number;
        state.ResumeTiming();
        int result = read_text(buffer.data(), int(text.size()));
        benchmark::DoNotOptimize(result);
        statements += reader.statement_number - first;
        if (error_store.error_count != 0 || result != 0) {
            char listing[4096];
            format_error_reports(listing, sizeof listing);
            state.SkipWithError(listing);
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["statements/s"] = benchmark::Counter(double(statements), benchmark::Counter::kIsRate);
    state.counters["objects"] = double(catalogue.skill_count + catalogue.texture_count + catalogue.bitmap_count +
                                       catalogue.string_count + catalogue.display_count + catalogue.region_count +
                                       catalogue.object_count + catalogue.action_count);
    state.counters["MB"] = double(text.size()) / 1e6;
    fresh_world();
    release_bitmap_cache();
}
BENCHMARK(BM_FrontEnd)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
