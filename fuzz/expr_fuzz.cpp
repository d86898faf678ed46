// Fuzzes the expression parser and evaluator: any text either compiles into a tree that
// stores into the size it asked for and evaluates (decoded and walked alike, with the same
// effects), or is refused with a script error report; nothing reads or writes outside the
// buffers, and deep nesting never exhausts the stack.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/random.h"
#include "engine/settings.h"
#include "script/exec/expr.h"
#include "script/front/catalogue.h"

namespace {

MapObject my_object;
Vertex my_vertex;
Region there_region;
Skill* skills[4];

void reset_world() {
    for (int k = 0; k < 4; k++) skills[k]->value = (k + 1) * 1536 - 3000;
    std::memset(&my_object, 0, sizeof my_object);
    std::memset(&my_vertex, 0, sizeof my_vertex);
    std::memset(&there_region, 0, sizeof there_region);
    engine_reseed(1);  // RANDOM draws the same numbers in both evaluations
    my_object.vertex1 = &my_vertex;
    my_object.flags = 0x1001;
    my_vertex.x = 4096;
    there_region.floor_hgt = -2048;
    world_refs.my = &my_object;
    world_refs.there = &there_region;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char sink[4096];
    static ConsoleCapture quiet = {sink, sizeof sink, 0, false};
    console_set_capture(&quiet);  // division warnings on many inputs
    reset_settings();
    catalogue_reset();
    create_engine_variables();
    create_predefined_synonyms();
    const char* names[4] = {"A", "B", "X", "Y"};
    for (int k = 0; k < 4; k++) {
        create_skill(names[k]);
        skills[k] = find_skill(names[k]);
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 8000) return 0;
    std::vector<char> text(data, data + size);
    text.push_back(0);
    settings.deterministic = size % 2;
    clear_errors();
    error_store.report_armed = 1;
    forget_division_warnings();

    bool as_assignment = size > 0 && (data[0] & 1);
    int bytes = as_assignment ? compile_assignment(text.data()) : compile_condition(text.data());
    if (bytes < 0) {
        if (error_store.error_count == 0) std::abort();  // refused without a report
        return 0;
    }
    if (error_store.error_count != 0) std::abort();  // accepted although reported
    std::vector<unsigned char> area(static_cast<size_t>(bytes));
    if (store_tree(area.data(), area.size()) != 0) std::abort();
    const ExprTree* tree = expr_tree_at(area.data());

    reset_world();
    int32_t decoded = evaluate(tree);
    unsigned char object_after[sizeof my_object], vertex_after[sizeof my_vertex], region_after[sizeof there_region];
    std::memcpy(object_after, &my_object, sizeof my_object);
    std::memcpy(vertex_after, &my_vertex, sizeof my_vertex);
    std::memcpy(region_after, &there_region, sizeof there_region);
    int32_t skills_after[4];
    for (int k = 0; k < 4; k++) skills_after[k] = skills[k]->value;

    // The node table walked directly must agree with the decoded form.
    size_t table = sizeof(ExprTree) + size_t(tree->count + 1) * sizeof(ExprNode);
    std::vector<unsigned char> copy(table + 8);
    ExprTree* walked = expr_tree_at(copy.data());
    std::memcpy(walked, tree, table);
    walked->flags &= ~EXPR_TREE_DECODED;
    reset_world();
    if (evaluate(walked) != decoded) std::abort();
    if (std::memcmp(object_after, &my_object, sizeof my_object) != 0) std::abort();
    if (std::memcmp(vertex_after, &my_vertex, sizeof my_vertex) != 0) std::abort();
    if (std::memcmp(region_after, &there_region, sizeof there_region) != 0) std::abort();
    for (int k = 0; k < 4; k++)
        if (skills_after[k] != skills[k]->value) std::abort();
    return 0;
}
