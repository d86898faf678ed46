// Parsing: what is an error, what the compile answers, how trees are stored.
#include "tests/script/expr_fixture.h"

namespace {

TEST_F(ExprTest, MalformedTextsAreErrors) {
    const char* bad_rules[] = {
        "x=y z",     // a blank inside: "y z" is no operand
        "x=y)",      // text left over
        "x=(y)z",    // text left over after the parentheses
        "x=(y+1",    // unbalanced
        "x=y=1",     // two assignments
        "x=(y=1)",   // two assignments, one in parentheses
        "x+=y-=1",
        "x=",        // operand missing
        "x=+5",      // no unary plus
        "x=y+",      // operand missing at the end
        "x=foo(1)",  // unknown function
        "x=sin()",   // empty argument
        "x=unknown", // the resolver knows no such name
        "x",         // no destination
        "",          // nothing
        "5=x",       // a literal is no target
        "x+1=2",     // neither is a sum
        "(x)=2)",
        "x=1..2",
    };
    for (const char* text : bad_rules) {
        int before = errors();
        EXPECT_EQ(compile_assignment(text), -1) << text;
        EXPECT_EQ(errors(), before + 1) << text << ": exactly one report";
        EXPECT_EQ(expr_last_count(), 0) << text;
    }
    const char* bad_conditions[] = {"", "(", ")", "a==", "a&&&b", "a<>b", "((a)", "a)(", "-", "!"};
    for (const char* text : bad_conditions) EXPECT_EQ(compile_condition(text), -1) << text;
}

TEST_F(ExprTest, DestinationRules) {
    std::string long_name(65, 'x');
    EXPECT_EQ(compile_assignment((long_name + "=1").c_str()), -1);  // destination over 64 characters
    // The destination check stops at the first operator character after the first one, so
    // a leading minus belongs to it (and the parse then rejects the text).
    EXPECT_EQ(compile_assignment("-x=1"), -1);
    EXPECT_GT(compile_assignment("x+1"), 0);  // has a destination; no assignment is required
    EXPECT_GT(compile_assignment("x=1"), 0);
    EXPECT_GT(compile_condition("x"), 0);     // a condition needs none
}

TEST_F(ExprTest, SizeAndStore) {
    int size = compile_assignment("x=c+i*2");
    // =, x, +, c, *, i, literal marker, constant
    EXPECT_EQ(expr_last_count(), 8);
    EXPECT_EQ(size, int(expr_tree_bytes(8)));
    EXPECT_GE(size, (8 + 1) * 24 + 16 + 7);  // at least the node table and its header
    std::vector<unsigned char> small(size_t(size) - 1);
    EXPECT_EQ(store_tree(small.data(), small.size()), -1);  // too small
    std::vector<unsigned char> area(size_t(size) + 8);
    for (int offset = 0; offset < 8; offset++) {
        ASSERT_EQ(store_tree(area.data() + offset, size_t(size)), 0) << offset;
        const ExprTree* t = expr_tree_at(area.data() + offset);
        EXPECT_EQ(t->magic, EXPR_MAGIC);
        EXPECT_EQ(t->count, 8);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(t) % 8, 0u);
        plain.c = 1024;
        plain.i = 2048;
        EXPECT_EQ(evaluate(t), 5 * 1024);
    }
    EXPECT_EQ(compile_condition("x=)"), -1);
    EXPECT_EQ(store_tree(area.data(), area.size()), -1);  // a failed parse leaves nothing to store
}

TEST_F(ExprTest, TreeShapeFollowsTheNodeTable) {
    ASSERT_GT(compile_assignment("x=-c*2"), 0);
    std::vector<unsigned char> area(expr_tree_bytes(expr_last_count()));
    ASSERT_EQ(store_tree(area.data(), area.size()), 0);
    const ExprTree* t = expr_tree_at(area.data());
    const ExprNode* n = expr_nodes(t);
    const ExprNode& root = n[t->root];
    EXPECT_EQ(root.op, EXPR_ASSIGN);
    EXPECT_EQ(n[root.left].op, EXPR_VAR);
    EXPECT_EQ(n[root.left].ptr, &plain.x);
    const ExprNode& product = n[root.right];
    EXPECT_EQ(product.op, EXPR_MUL);
    EXPECT_EQ(n[product.left].op, EXPR_NEG);  // unary minus binds tighter than *
    EXPECT_EQ(n[n[product.left].right].ptr, &plain.c);
    EXPECT_EQ(n[product.right].op, EXPR_LITERAL);
    EXPECT_EQ(n[n[product.right].left].op, EXPR_CONST);
    EXPECT_EQ(n[n[product.right].left].val, 2048);
    EXPECT_EQ(n[0].op, 0);  // node 0 is never used
}

TEST_F(ExprTest, FunctionNamesIgnoreCase) {
    for (const char* name : {"sin", "SIN", "Sin", "COS", "Tan", "asin", "ACOS", "ATAN", "sqrt", "sign", "abs",
                             "INT", "EXP", "LOG", "Log10", "LOG2", "random"})
        EXPECT_NE(find_expr_function(name), nullptr) << name;
    for (const char* name : {"", "sine", "log3", "min", "MY"}) EXPECT_EQ(find_expr_function(name), nullptr) << name;
}

TEST_F(ExprTest, HostileNestingIsRefusedWithoutCrashing) {
    std::string deep(20000, '(');
    deep += "1";
    deep += std::string(20000, ')');
    EXPECT_EQ(compile_condition(deep.c_str()), -1);
    EXPECT_EQ(compile_condition(std::string(20000, '-').append("1").c_str()), -1);
    EXPECT_EQ(compile_condition(std::string(20000, '!').append("1").c_str()), -1);
    std::string chain = "1";
    for (int k = 0; k < 4000; k++) chain += "*1";
    EXPECT_EQ(compile_condition(chain.c_str()), -1);  // too deep a tree to walk safely
    EXPECT_EQ(compile_condition(std::string(4000, 'a').c_str()), -1);  // an operand of 4000 characters
    // Moderate nesting is fine.
    std::string nested(50, '(');
    nested += "2";
    nested += std::string(50, ')');
    EXPECT_EQ(eval_condition(nested), 2048);
}

TEST_F(ExprTest, NumberSyntax) {
    struct Case {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0", true, 0},           {"1", true, 1024},          {"0.5", true, 512},      {".5", true, 512},
        {"2.", true, 2048},       {"1e2", true, 102400},      {"0.001", true, 1},      {"0.0009", true, 0},
        {"3000000", true, 2147483647},                         // beyond the range: the nearest end
        {"1x", false, 0},         {"x1", false, 0},           {"", false, 0},          {"inf", false, 0},
    };
    for (const Case& c : cases) {
        int32_t v = -7;
        EXPECT_EQ(expr_parse_number(c.text, &v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

}  // namespace
