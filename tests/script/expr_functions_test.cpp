// The built-in functions, in both trigonometry modes.
#include <cmath>

#include "engine/trig.h"
#include "tests/script/expr_fixture.h"

namespace {

struct EvalCase {
    const char* text;
    int32_t expected;
};

TEST_F(ExprTest, RealValuedFunctions) {
    plain.a = INT32_MIN;
    const EvalCase cases[] = {
        {"x=sqrt(2)", 1448},            // 1448.15 truncated
        {"x=sqrt(0)", 0},
        {"x=sqrt(-1)", INT32_MIN},      // NaN
        {"x=exp(1)", 2783},
        {"x=exp(100)", INT32_MIN},      // out of range
        {"x=log(0)", INT32_MIN},        // minus infinity
        {"x=log(1)", 0},
        {"x=log10(100)", 2048},
        {"x=log2(8)", 3072},
        {"x=sign(-3)", -1024},
        {"x=sign(0)", 0},
        {"x=sign(0.001)", 1024},
        {"x=abs(-2.5)", 2560},
        {"x=abs(a)", INT32_MIN},        // -2^31 stays
        {"x=int(2.75)", 2048},
        {"x=int(-0.5)", -1024},         // toward minus infinity
        {"x=asin(2)", 1608},            // clamped to 1 first
        {"x=acos(-7)", 3216},
        {"x=sqrt(sqrt(16))", 2048},
        {"x=2*sqrt(4)+1", 5 * 1024},
    };
    for (int mode = 0; mode < 2; mode++) {
        settings.deterministic = mode;
        for (const EvalCase& c : cases) EXPECT_EQ(eval_rule(c.text), c.expected) << c.text << " mode " << mode;
    }
    EXPECT_EQ(console.text(), "");
}

TEST_F(ExprTest, NegativeLogarithmsGiveZeroWithAWarning) {
    const ExprTree* t = rule("x=log(a)");
    ASSERT_NE(t, nullptr);
    plain.a = -1024;
    plain.x = 99;
    EXPECT_EQ(evaluate(t), 0);
    EXPECT_EQ(plain.x, 0);
    EXPECT_EQ(evaluate(t), 0);  // warned once
    EXPECT_EQ(console.text(),
              "\nWDL: log of a negative number in an expression outside any action -- the result is 0, where the "
              "original would have stopped");
    forget_division_warnings();
    console.clear();
    EXPECT_EQ(eval_rule("x=log10(-5)+log2(-1)"), 0);
    EXPECT_EQ(console.text(),
              "\nWDL: log10 of a negative number in an expression outside any action -- the result is 0, where the "
              "original would have stopped");
    EXPECT_EQ(errors(), 0);
}

bool log_action(ActionReportInfo* info) {
    static int identity;
    info->action = &identity;
    info->name = "SPLASH";
    info->instruction = 2;
    info->opcode = 15;
    return true;
}

TEST_F(ExprTest, NegativeLogarithmWarningNamesTheAction) {
    error_context.running_action = log_action;
    EXPECT_EQ(eval_rule("x=log2(-8)"), 0);
    EXPECT_EQ(eval_rule("x=log2(-8)"), 0);
    error_context.running_action = nullptr;
    EXPECT_EQ(console.text(),
              "\nWDL: log2 of a negative number in action SPLASH -- the result is 0, where the original would have "
              "stopped");
}

TEST_F(ExprTest, TrigonometryReducesTheAngleFirst) {
    for (int mode = 0; mode < 2; mode++) {
        settings.deterministic = mode;
        EXPECT_NEAR(eval_rule("x=sin(3.1416)"), 0, 1) << mode;
        // sin(-1): -1024 raw gets 6433 * 1024 added, then is taken modulo 6433: 5409.
        EXPECT_EQ(eval_rule("x=sin(-1)"), fx_sin(5409)) << mode;
        // A raw -1 is the one angle that lands on 6432.
        EXPECT_EQ(eval_rule("x=sin(-0.0009765625)"), fx_sin(6432)) << mode;
        // 6433 stays as it is; 6434 becomes 1.
        EXPECT_EQ(eval_rule("x=sin(6.2822265625)"), fx_sin(6433)) << mode;
        EXPECT_EQ(eval_rule("x=sin(6.283203125)"), fx_sin(1)) << mode;
        EXPECT_EQ(eval_rule("x=cos(100)"), fx_cos(102400 % 6433)) << mode;
        EXPECT_EQ(eval_rule("x=tan(-100)"), fx_tan(6433 - 102400 % 6433)) << mode;
        EXPECT_EQ(eval_rule("x=atan(1)"), fx_atan(1024)) << mode;
        EXPECT_EQ(eval_rule("x=asin(0.5)"), fx_asin(512)) << mode;
    }
    settings.deterministic = 1;
    EXPECT_EQ(eval_rule("x=sin(6.2822265625)"), -1);  // 6433 raw, just under two pi
    EXPECT_EQ(eval_rule("x=sin(1.5703125)"), 1024);   // 1608 raw
    EXPECT_EQ(eval_rule("x=cos(0)"), 1024);
    plain.a = INT32_MIN;
    EXPECT_EQ(eval_rule("x=sin(a)"), fx_sin(int32_t((int64_t(INT32_MIN) % 6433 + 6433) % 6433)));
}

TEST_F(ExprTest, RandomScalesTheNextEngineNumber) {
    // The engine generator: state = state * 1103515245 + 12345, value = (state >> 16) & 0x7FFF.
    uint32_t state = 1;
    auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return (state >> 16) & 0x7FFF;
    };
    engine_reseed(1);
    uint32_t r1 = next();
    EXPECT_EQ(eval_rule("x=random(1)"), int32_t((1024u * r1) >> 15));
    uint32_t r2 = next();
    EXPECT_EQ(eval_rule("x=RANDOM(5)"), int32_t((5120u * r2) >> 15));
    uint32_t r3 = next();
    plain.a = -1024;  // taken unsigned: the low 32 bits of the product, shifted
    EXPECT_EQ(eval_rule("x=random(a)"), int32_t((uint32_t(-1024) * r3) >> 15));
    EXPECT_EQ(r1, 16838u);
}

}  // namespace
