// Evaluation of expressions in 22.10 fixed point, on plain test variables.
#include "tests/script/expr_fixture.h"

namespace {

struct EvalCase {
    const char* text;
    int32_t expected;
};

TEST_F(ExprTest, ArithmeticTable) {
    const EvalCase cases[] = {
        {"x=1+2*3", 7 * 1024},
        {"x=(1+2)*3", 9 * 1024},
        {"x=2-1-1", 0},                   // left to right
        {"x=8/2/2", 2 * 1024},
        {"x=7%2", 1024},                  // raw 7168 % 2048
        {"x=-2%3", 2048},                 // -2048 taken as 4294965248
        {"x=1/3", 341},                   // (1024 * 1024) / 3072, truncated
        {"x=-1/3", -341},                 // toward zero
        {"x=0.5*0.5", 256},
        {"x=-0.0009765625*1.5", -1},      // -1536 raw: +1023 then shifted, i.e. toward zero
        {"x=-64.0009765625*64.0009765625", -4194433},  // below -2^32: shifted without the add
        {"x=2000000+2000000", -198967296},              // 32-bit wrap-around
        {"x=2000000/0.0009765625", 1207959552},         // 64-bit quotient, low 32 bits kept
        {"x=--1", 1024},
        {"x=-1*-1", 1024},
        {"x=~0", -1},
        {"x=!1", -1025},                  // "!" is the bitwise complement
        {"x=3&1", 1024},                  // on raw values: 3072 & 1024
        {"x=3^1", 2048},
        {"x=1|2&3", 3072},                // & binds tighter than |
        {"x=1<2", 1024},
        {"x=2<1", 0},
        {"x=1<=1", 1024},
        {"x=-1>=0", 0},
        {"x=1<2==1", 1024},               // comparison before equality
        {"x=2!=2", 0},
        {"x=1&&0.5", 1024},               // any nonzero value is true
        {"x=0||0", 0},
        {"x=0.0009765625||0", 1024},
        {"x=1+2<4&&5>4", 1024},
        {"x=0.7", 716},                   // literals truncated toward zero
        {"x=-1.5", -1536},
    };
    for (const EvalCase& c : cases) {
        plain = PlainVars{};
        const ExprTree* t = rule(c.text);
        ASSERT_NE(t, nullptr) << c.text;
        EXPECT_EQ(evaluate(t), c.expected) << c.text;
        EXPECT_EQ(plain.x, c.expected) << c.text << " (stored)";
        plain = PlainVars{};
        EXPECT_EQ(eval_walked(t), c.expected) << c.text << " (walked)";
        EXPECT_EQ(plain.x, c.expected) << c.text << " (walked, stored)";
    }
    EXPECT_EQ(errors(), 0);
    EXPECT_EQ(console.text(), "");
}

TEST_F(ExprTest, VariablesAreReadWhenEvaluated) {
    const ExprTree* t = rule("x=c+i*2");
    ASSERT_NE(t, nullptr);
    plain.c = 1024;
    for (int32_t i = 0; i < 5; i++) {
        plain.i = i * 1024;
        EXPECT_EQ(evaluate(t), (1 + 2 * i) * 1024);
        EXPECT_EQ(plain.x, (1 + 2 * i) * 1024);
    }
}

TEST_F(ExprTest, CompoundAssignments) {
    struct Case {
        const char* text;
        int32_t start, expected;
    } cases[] = {
        {"x+=2", 1024, 3072},    {"x-=2", 1024, -1024},  {"x*=3", 1024, 3072},   {"x/=4", 1024, 256},
        {"x&=1", 3072, 1024},    {"x|=2", 1024, 3072},   {"x^=3", 1024, 2048},   {"x%=2", 3072, 1024},
        {"x+=y*2", 1024, 1024},  // y is 0
    };
    for (const Case& c : cases) {
        plain = PlainVars{};
        plain.x = c.start;
        EXPECT_EQ(eval_rule(c.text), c.expected) << c.text;
        EXPECT_EQ(plain.x, c.expected) << c.text;
    }
}

TEST_F(ExprTest, MinimumUnitWithTimeCorr) {
    plain.time_corr = 512;  // half a tick
    EXPECT_EQ(eval_rule("x=0.001*TIME_CORR"), 1);   // 1 * 512 >> 10 = 0, but both are nonzero
    EXPECT_EQ(eval_rule("x=TIME_CORR*0.001"), 1);   // either side
    EXPECT_EQ(eval_rule("x=-0.001*TIME_CORR"), -1); // signs differ
    EXPECT_EQ(eval_rule("x=0.001*y"), 0);           // y is no TIME_CORR
    plain.y = 512;
    EXPECT_EQ(eval_rule("x=0.001*y"), 0);
    EXPECT_EQ(eval_rule("MOVE_MODE=0.001*TIME_CORR"), 0);  // a rule assigning MOVE_MODE keeps exact products
    EXPECT_EQ(plain.move_mode, 0);
    EXPECT_EQ(eval_rule("x=0*TIME_CORR"), 0);       // a zero factor stays zero
    plain.time_corr = 2048;
    EXPECT_EQ(eval_rule("x=0.001*TIME_CORR"), 2);   // no rounding up where the product is not 0
    EXPECT_EQ(eval_condition("0.001*TIME_CORR"), 2);
    plain.time_corr = 1;
    EXPECT_EQ(eval_condition("0.001*TIME_CORR"), 1);
}

TEST_F(ExprTest, DivisionByZeroWarnsOncePerAction) {
    const ExprTree* t = rule("x=5/0");
    ASSERT_NE(t, nullptr);
    plain.x = 77;
    EXPECT_EQ(evaluate(t), 0);
    EXPECT_EQ(plain.x, 0);
    EXPECT_EQ(evaluate(t), 0);
    const ExprTree* m = rule("x=5%0");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(evaluate(m), 0);
    std::string out = console.text();
    const std::string message =
        "\nWDL: division by zero in an expression outside any action -- the result is 0, where the original would "
        "have crashed";
    EXPECT_EQ(out, message);  // once, although three divisions failed
    EXPECT_EQ(errors(), 0);   // a warning, not an error report
}

// A running action as the interpreter would report it, for the warning's text.
const char* fake_action_name = "";
const void* fake_action = nullptr;
bool fake_running_action(ActionReportInfo* info) {
    if (!fake_action) return false;
    info->action = fake_action;
    info->name = fake_action_name;
    info->instruction = 1;
    info->opcode = 15;
    return true;
}

TEST_F(ExprTest, DivisionWarningNamesEachAction) {
    const ExprTree* t = rule("x=y/z");
    ASSERT_NE(t, nullptr);
    int first = 0, second = 0;
    error_context.running_action = fake_running_action;
    fake_action = &first;
    fake_action_name = "OPEN_DOOR";
    evaluate(t);
    evaluate(t);
    fake_action = &second;
    fake_action_name = "CLOSE_DOOR";
    evaluate(t);
    fake_action = &first;
    fake_action_name = "OPEN_DOOR";
    evaluate(t);
    error_context.running_action = nullptr;
    fake_action = nullptr;
    EXPECT_EQ(console.text(),
              "\nWDL: division by zero in action OPEN_DOOR -- the result is 0, where the original would have crashed"
              "\nWDL: division by zero in action CLOSE_DOOR -- the result is 0, where the original would have crashed");
}

TEST_F(ExprTest, BothSidesOfLogicalOperatorsRun) {
    plain.a = 0;
    EXPECT_EQ(eval_condition("a==1&&(y=5)"), 0);
    EXPECT_EQ(plain.y, 5 * 1024);  // evaluated although the left side was false
    EXPECT_EQ(eval_condition("a==0||(z=2)"), 1024);
    EXPECT_EQ(plain.z, 2 * 1024);
}

TEST_F(ExprTest, LeftOperandIsEvaluatedFirst) {
    plain.x = 1024;
    // The left x is read before the assignment inside the right side changes it.
    EXPECT_EQ(eval_condition("x+(x=5)"), 6 * 1024);
    EXPECT_EQ(plain.x, 5 * 1024);
}

TEST_F(ExprTest, AssignmentYieldsTheStoredValue) {
    EXPECT_EQ(eval_condition("(x=3)*2"), 6 * 1024);
    EXPECT_EQ(plain.x, 3 * 1024);
}

TEST_F(ExprTest, FlagAssignmentKeepsOtherFlags) {
    plain.flags = 0x1 | 0x20 | 0x1000;
    EXPECT_EQ(eval_rule("F.VISIBLE=1"), 0x1 | 0x20 | 0x1000 | 0x400);  // yields the new flag word
    EXPECT_EQ(plain.flags, 0x1 | 0x20 | 0x1000 | 0x400);
    EXPECT_EQ(eval_condition("F.VISIBLE"), 1024);
    EXPECT_EQ(eval_rule("F.FLAG1=0"), 0x1 | 0x20 | 0x400);
    EXPECT_EQ(plain.flags, 0x1 | 0x20 | 0x400);
    EXPECT_EQ(eval_condition("F.FLAG1"), 0);
    EXPECT_EQ(eval_rule("F.FLAG1=0.5"), 0x1 | 0x20 | 0x400 | 0x1000);  // any nonzero value sets
    EXPECT_EQ(eval_rule("x=F.VISIBLE+F.FLAG1"), 2048);
}

TEST_F(ExprTest, NullObjectReadsZeroAndSkipsTheStore) {
    plain.object = nullptr;
    EXPECT_EQ(eval_condition("P.SKILL1+1"), 1024);
    EXPECT_EQ(eval_rule("P.SKILL1=7"), 7 * 1024);  // nothing is written, nothing faults
    MapObject object = {};
    object.skill[0] = 3 * 1024;
    plain.object = &object;
    EXPECT_EQ(eval_condition("P.SKILL1+1"), 4 * 1024);
    EXPECT_EQ(eval_rule("P.SKILL1+=2"), 5 * 1024);
    EXPECT_EQ(object.skill[0], 5 * 1024);
}

TEST_F(ExprTest, TreesWithoutMagicOrWithBadIndicesGiveZero) {
    EXPECT_EQ(evaluate(nullptr), 0);
    struct {
        ExprTree head;
        ExprNode nodes[3];
    } raw = {};
    raw.head = {EXPR_MAGIC, 1, 2, 0};
    raw.nodes[1] = {EXPR_ADD, 0, 2, 9, {nullptr}};  // right child out of range
    raw.nodes[2] = {EXPR_CONST, 5, 0, 0, {nullptr}};
    EXPECT_EQ(evaluate(&raw.head), 5);
    raw.head.root = 7;
    EXPECT_EQ(evaluate(&raw.head), 0);
    raw.head.root = 1;
    raw.head.magic = 0;
    EXPECT_EQ(evaluate(&raw.head), 0);
}

TEST_F(ExprTest, LongChainsEvaluate) {
    std::string text = "x=1";
    for (int k = 0; k < 499; k++) text += "+1";
    EXPECT_EQ(eval_rule(text), 500 * 1024);
}

}  // namespace

namespace {

// Random expressions over the plain variables: the decoded form and the node-table walk
// must give the same value and leave the same variables behind.
struct Generator {
    uint32_t state = 12345;
    uint32_t next(uint32_t n) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % n;
    }
    std::string operand() {
        static const char* const leaves[] = {"a", "b", "c", "x", "y", "TIME_CORR", "F.VISIBLE", "F.FLAG1",
                                             "P.SKILL1", "0", "1", "2.5", "0.001", "1000", "-3"};
        return leaves[next(sizeof leaves / sizeof *leaves)];
    }
    std::string expression(int depth) {
        if (depth == 0 || next(4) == 0) return operand();
        static const char* const binary[] = {"+", "-", "*", "/", "%", "<", ">", "<=", ">=", "==", "!=",
                                             "&&", "||", "&", "^", "|"};
        switch (next(6)) {
        case 0: return "-" + expression(depth - 1);
        case 1: return "~" + expression(depth - 1);
        case 2: {
            static const char* const fns[] = {"sin", "abs", "sign", "int", "sqrt", "cos"};
            return std::string(fns[next(6)]) + "(" + expression(depth - 1) + ")";
        }
        case 3: return "(" + expression(depth - 1) + ")";
        default: return expression(depth - 1) + binary[next(16)] + expression(depth - 1);
        }
    }
};

void seed_vars(MapObject* object) {
    plain = PlainVars{};
    plain.a = 1536;
    plain.b = -700;
    plain.c = 3 * 1024;
    plain.x = 5;
    plain.y = -2048;
    plain.time_corr = 512;
    plain.flags = 0x1400;
    object->skill[0] = 999;
    plain.object = object;
}

bool same_vars(const PlainVars& p, const PlainVars& q) {
    return p.a == q.a && p.b == q.b && p.c == q.c && p.x == q.x && p.y == q.y && p.flags == q.flags;
}

TEST_F(ExprTest, DecodedAndWalkedAgree) {
    Generator g;
    MapObject object = {};
    int compiled = 0;
    for (int k = 0; k < 4000; k++) {
        std::string text = g.expression(5);
        static const char* const targets[] = {"", "x=", "y+=", "F.VISIBLE=", "P.SKILL1=", "x*="};
        text = targets[g.next(6)] + text;
        const ExprTree* t = condition(text);
        if (!t) continue;
        compiled++;
        seed_vars(&object);
        int32_t decoded = evaluate(t);
        PlainVars after_decoded = plain;
        int32_t skill_decoded = object.skill[0];
        seed_vars(&object);
        int32_t walked = eval_walked(t);
        ASSERT_EQ(decoded, walked) << text;
        ASSERT_TRUE(same_vars(after_decoded, plain)) << text;
        ASSERT_EQ(skill_decoded, object.skill[0]) << text;
    }
    EXPECT_GT(compiled, 3000);
}

}  // namespace
