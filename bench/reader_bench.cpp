// Speed of the script reader on a generated script of 20,000 definitions and 5,000 actions:
// the bare scanner (statements and tokens with defines applied) and the whole reading loop
// with handlers that take every token. Reports bytes per second and tokens per second.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"

namespace {

std::string make_script() {
    std::string s;
    s.reserve(8 << 20);
    char line[512];
    for (int i = 0; i < 40; i++) {
        std::snprintf(line, sizeof line, "DEFINE size_%d, %d;\n", i, i * 8);
        s += line;
    }
    s += "DEFINE greeting, \"hello\";\nifdef size_3;\n";
    for (int i = 0; i < 20000; i++) {
        switch (i % 4) {
        case 0:
            std::snprintf(line, sizeof line, "BMAP wall_%d, <wall%d.pcx>, 0, 0, 64, size_%d;  # a bitmap\n", i, i % 97,
                          i % 40);
            break;
        case 1:
            std::snprintf(line, sizeof line,
                          "TEXTURE tex_%d {\n  SCALE_XY 16, 16;\n  BMAPS wall_%d;\n  FLAGS SKY, GHOST;\n}\n", i, i - 1);
            break;
        case 2:
            std::snprintf(line, sizeof line, "SKILL s_%d { VAL 1.5; MIN -10; MAX 100; } // a skill\n", i);
            break;
        default:
            std::snprintf(line, sizeof line, "STRING str_%d, \"A text with \\\"quotes\\\" and\\n a break\";\n", i);
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
                      i, i, i % 40, i, i, i, i, i, i, i);
        s += line;
    }
    s += "endif;\n";
    return s;
}

const std::string& script() {
    static const std::string s = make_script();
    return s;
}

long long tokens_taken = 0;

int take_all(const char*) {
    tokens_taken++;
    while (next_token()) tokens_taken++;
    return 1;
}
void no_end() {}
int open_block(const char* keyword) {
    tokens_taken++;
    while (next_token()) tokens_taken++;
    enter_block(std::strcmp(keyword, "ACTION") == 0 ? READER_ACTION_BODY : 2, take_all, no_end);
    return 1;
}
int nested = 0;
void open_nested() { nested++; }
int close_nested() {
    if (nested == 0) return 0;
    nested--;
    return 1;
}

void prepare() {
    reset_settings();
    clear_errors();
    reset_reader();
    clear_statement_handlers();
    drop_defines(1);
}

void BM_ScanStatements(benchmark::State& state) {
    prepare();
    const std::string& text = script();
    std::vector<char> buffer(text.size() + 2);
    for (int i = 0; i < 40; i++) define(("size_" + std::to_string(i)).c_str(), std::to_string(i * 8).c_str());
    long long tokens = 0, statements = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(buffer.data(), text.data(), text.size());
        state.ResumeTiming();
        begin_text(buffer.data(), int(text.size()));
        reader.braces_inert = true;
        while (scan_statement() == 0) {
            statements++;
            while (next_token()) tokens++;
        }
        reader.braces_inert = false;
    }
    if (error_store.error_count) state.SkipWithError("errors while scanning");
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["tokens"] = benchmark::Counter(double(tokens), benchmark::Counter::kIsRate);
    state.counters["statements/iter"] = double(statements) / double(state.iterations());
    drop_defines(1);
}
BENCHMARK(BM_ScanStatements)->Unit(benchmark::kMillisecond);

void BM_ReadingLoop(benchmark::State& state) {
    prepare();
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, take_all);
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_block);
    action_body_hooks.open_block = open_nested;
    action_body_hooks.close_block = close_nested;
    const std::string& text = script();
    std::vector<char> buffer(text.size() + 2);
    tokens_taken = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(buffer.data(), text.data(), text.size());
        drop_defines(1);
        state.ResumeTiming();
        int result = read_text(buffer.data(), int(text.size()));
        if (result != 0 || nested != 0) {
            state.SkipWithError("the reading failed");
            break;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()));
    state.counters["tokens"] = benchmark::Counter(double(tokens_taken), benchmark::Counter::kIsRate);
    state.counters["script_MB"] = double(text.size()) / 1e6;
    clear_statement_handlers();
    action_body_hooks = ActionBodyHooks{};
    drop_defines(1);
}
BENCHMARK(BM_ReadingLoop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
