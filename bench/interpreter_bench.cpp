// Interpreter speed on the real compiled path: WDL text read by the script reader, compiled
// by the definitions and the action compiler, run by run_action. The loop
//     WHILE (i != 1000000) { ADD i, 1; IF (i == 3) { ADD c, 0; } RULE c = c + i * 2; }
// counts loop iterations per second (items) and instructions per second. Its Lua 5.4 twin,
// for comparison:
//     time lua5.4 -e 'local c, i = 0, 0; while i ~= 10000000 do i = i + 1;
//                     if i == 3 then c = c + 0 end; c = c + i * 2 end'
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/exec/interpreter.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"

namespace {

constexpr int64_t iterations_per_run = 1000000;

struct World {
    Skill *i, *c;
    World() {
        reset_settings();
        catalogue_reset();
        clear_errors();
        reset_reader();
        install_definition_handlers();
        reset_definitions();
        install_exec_operations();
        create_engine_variables();
        create_predefined_synonyms();
        std::string text =
            "SKILL i { VAL 0; }\n"
            "SKILL c { VAL 0; }\n"
            "ACTION loop {\n"
            "    SET i, 0;\n"
            "    SET c, 0;\n"
            "    WHILE (i != 1000000) {\n"
            "        ADD i, 1;\n"
            "        IF (i == 3) { ADD c, 0; }\n"
            "        RULE c = c + i * 2;\n"
            "    }\n"
            "}\n"
            "ACTION rules {\n"
            "    SET i, 0;\n"
            "    WHILE (i != 1000000) {\n"
            "        RULE i = i + 1;\n"
            "        RULE c = (c + i * 3) / 2 - SIN(i);\n"
            "    }\n"
            "}\n";
        std::string buffer = text + std::string(2, '\0');
        if (read_text(buffer.data(), int(text.size())) != 0 || error_store.error_count) {
            std::fprintf(stderr, "interpreter_bench: the script does not compile\n");
            print_error_reports();
            std::exit(1);
        }
        i = find_skill("i");
        c = find_skill("c");
    }
    Action* action(const char* name) { return static_cast<Action*>(find_name(name, KIND_ACTION)->object); }
};

World& world() {
    static World w;
    return w;
}

void run_loop(benchmark::State& state, const char* name) {
    World& w = world();
    Action* a = w.action(name);
    int64_t instructions = 0;
    for (auto _ : state) {
        run_action(a);
        instructions += run_instruction_budget - exec.budget;
        if (w.i->value != int32_t(iterations_per_run * 1024)) state.SkipWithError("the loop did not finish");
        benchmark::DoNotOptimize(w.c->value);
    }
    state.SetItemsProcessed(state.iterations() * iterations_per_run);
    state.counters["instructions"] = benchmark::Counter(double(instructions), benchmark::Counter::kIsRate);
    state.counters["per_iteration"] = double(instructions) / double(state.iterations() * iterations_per_run);
}

// The loop of the brief: conditions and rules of the shapes loops use most.
void BM_WhileLoop(benchmark::State& state) { run_loop(state, "loop"); }
// A loop whose rule needs the general expression walk.
void BM_WhileLoopGeneralRule(benchmark::State& state) { run_loop(state, "rules"); }

}  // namespace

BENCHMARK(BM_WhileLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WhileLoopGeneralRule)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
