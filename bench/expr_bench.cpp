// Expression evaluation speed: trees of typical rule and condition shapes, compiled once
// with catalogue skills as operands, evaluated in a loop. Items per second = evaluations.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/exec/expr.h"
#include "script/front/catalogue.h"

namespace {

struct World {
    Skill *c, *i, *x, *a, *b;
    MapObject object;
    Vertex vertex;
    World() : object{}, vertex{} {
        reset_settings();
        catalogue_reset();
        clear_errors();
        create_engine_variables();
        create_predefined_synonyms();
        c = make("C");
        i = make("I");
        x = make("X");
        a = make("A");
        b = make("B");
        c->value = 3 * 1024;
        a->value = 1536;
        b->value = 512;
        object.vertex1 = &vertex;
        object.skill[0] = 1024;
        vertex.x = 7 * 1024;
        world_refs.my = &object;
    }
    static Skill* make(const char* name) {
        create_skill(name);
        return find_skill(name);
    }
};

World& world() {
    static World w;
    return w;
}

// Compiles a text into a fresh area that lives for the whole run.
const ExprTree* compile(const char* text, bool assignment) {
    world();
    int size = assignment ? compile_assignment(text) : compile_condition(text);
    if (size <= 0) {
        std::fprintf(stderr, "expr_bench: cannot compile %s\n", text);
        std::exit(1);
    }
    void* area = std::malloc(size_t(size));
    store_tree(area, size_t(size));
    return expr_tree_at(area);
}

void run(benchmark::State& state, const ExprTree* tree) {
    Skill* i = world().i;
    i->value = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(evaluate(tree));
        i->value += 1024;  // the loop variable moves, as in an interpreted loop
    }
    state.SetItemsProcessed(int64_t(state.iterations()));
}

void BM_SumProduct(benchmark::State& state) { run(state, compile("c+i*2", false)); }
void BM_RuleSumProduct(benchmark::State& state) { run(state, compile("x=c+i*2", true)); }
void BM_LoopCondition(benchmark::State& state) { run(state, compile("i<1000000000", false)); }
void BM_RuleIncrement(benchmark::State& state) {
    const ExprTree* t = compile("x=x+1", true);
    for (auto _ : state) benchmark::DoNotOptimize(evaluate(t));
    state.SetItemsProcessed(int64_t(state.iterations()));
}
void BM_MemberOfMy(benchmark::State& state) { run(state, compile("MY.SKILL1+MY.X*2", false)); }
void BM_MixedRule(benchmark::State& state) { run(state, compile("x=(a+b)*c/2-(a&&b)+i%3", true)); }
void BM_SineDeterministic(benchmark::State& state) {
    const ExprTree* t = compile("sin(i)", false);
    settings.deterministic = 1;
    run(state, t);
    settings.deterministic = 0;
}
void BM_SineLibrary(benchmark::State& state) {
    const ExprTree* t = compile("sin(i)", false);
    settings.deterministic = 0;
    run(state, t);
}

BENCHMARK(BM_SumProduct);
BENCHMARK(BM_RuleSumProduct);
BENCHMARK(BM_LoopCondition);
BENCHMARK(BM_RuleIncrement);
BENCHMARK(BM_MemberOfMy);
BENCHMARK(BM_MixedRule);
BENCHMARK(BM_SineDeterministic);
BENCHMARK(BM_SineLibrary);

}  // namespace

BENCHMARK_MAIN();
