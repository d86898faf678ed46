// Expression tests: compile a text, store the tree in an inline area as the action compiler
// does, evaluate it. Two operand worlds: plain int32 test variables (the arithmetic core,
// independent of the catalogue) and the real catalogue (members, synonyms, flags).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/random.h"
#include "engine/settings.h"
#include "script/exec/expr.h"
#include "script/front/catalogue.h"
#include "tests/common/console_capture.h"

// Cells of the plain test world.
struct PlainVars {
    int32_t a, b, c, i, x, y, z;
    int32_t time_corr, move_mode;
    int32_t flags;  // F.VISIBLE (0x400) and F.FLAG1 (0x1000) are bits of it
    void* object;   // P.SKILL1 reads skill[0] of the record this points to (null: none)
};
extern PlainVars plain;
bool plain_resolver(const char* text, ExprOperand* out);

class ExprTest : public ::testing::Test {
protected:
    void SetUp() override {
        reset_settings();
        catalogue_reset();
        clear_errors();
        forget_division_warnings();
        error_store.report_armed = 1;
        engine_reseed(1);
        plain = PlainVars{};
        expr_set_operand_resolver(plain_resolver);
    }
    void TearDown() override {
        expr_set_operand_resolver(nullptr);
        catalogue_reset();
        reset_settings();
        clear_errors();
        forget_division_warnings();
    }

    // Compiles (as an assignment when the text has a destination, else as a condition) and
    // stores the tree; null when the compile failed.
    const ExprTree* compile(const std::string& text, bool assignment) {
        int size = assignment ? compile_assignment(text.c_str()) : compile_condition(text.c_str());
        if (size <= 0) return nullptr;
        // The area starts one byte past an aligned address, as it may inside an instruction:
        // the size asked for must still hold the tree.
        areas.push_back(std::make_unique<std::vector<unsigned char>>(size_t(size) + 1));
        void* area = areas.back()->data() + 1;
        if (store_tree(area, size_t(size)) != 0) return nullptr;
        return expr_tree_at(area);
    }
    const ExprTree* rule(const std::string& text) { return compile(text, true); }
    const ExprTree* condition(const std::string& text) { return compile(text, false); }

    int32_t eval_rule(const std::string& text) {
        const ExprTree* t = rule(text);
        EXPECT_NE(t, nullptr) << text;
        return t ? evaluate(t) : INT32_MIN;
    }
    int32_t eval_condition(const std::string& text) {
        const ExprTree* t = condition(text);
        EXPECT_NE(t, nullptr) << text;
        return t ? evaluate(t) : INT32_MIN;
    }

    // The same tree evaluated by walking its node table instead of its decoded form.
    int32_t eval_walked(const ExprTree* t) {
        size_t bytes = sizeof(ExprTree) + size_t(t->count + 1) * sizeof(ExprNode);
        walk_area.assign(bytes + 8, 0);
        ExprTree* copy = expr_tree_at(walk_area.data());
        std::memcpy(copy, t, bytes);
        copy->flags &= ~EXPR_TREE_DECODED;
        return evaluate(copy);
    }

    static int errors() { return error_store.error_count; }

    CapturedConsole console;
    std::vector<std::unique_ptr<std::vector<unsigned char>>> areas;
    std::vector<unsigned char> walk_area;
};
