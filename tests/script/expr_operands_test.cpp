// Operands resolved through the object catalogue: skills, engine variables, members of
// named objects and of synonyms, old spellings, flags, references and input cells.
#include "tests/script/expr_fixture.h"

namespace {

class ExprCatalogue : public ExprTest {
protected:
    void SetUp() override {
        ExprTest::SetUp();
        expr_set_operand_resolver(nullptr);  // the catalogue's resolver
        load_mode = 0;
        ASSERT_EQ(create_engine_variables(), 0);
        ASSERT_EQ(create_predefined_synonyms(), 1);
        world_refs.my = nullptr;
        world_refs.there = nullptr;
    }
    void TearDown() override {
        world_refs.my = nullptr;
        world_refs.there = nullptr;
        world_refs.hit = nullptr;
        world_refs.touched = nullptr;
        ExprTest::TearDown();
    }
    Skill* skill(const char* name) {
        EXPECT_GE(create_skill(name), 0);
        return find_skill(name);
    }
    template <typename T>
    T* object(const char* name, int32_t kind) {
        void* o = nullptr;
        EXPECT_GE(create_object(name, kind, &o), 0);
        return static_cast<T*>(o);
    }
};

TEST_F(ExprCatalogue, SkillsAndEngineVariables) {
    Skill* speed = skill("SPEED_X");
    Skill* gain = skill("gain");
    speed->value = 3 * 1024;
    gain->value = 512;
    EXPECT_EQ(eval_rule("speed_x=SPEED_X*Gain+PI"), 1536 + 3216);
    EXPECT_EQ(speed->value, 1536 + 3216);
    gain->minimum = -5 * 1024;
    EXPECT_EQ(eval_condition("gain.MIN+gain.val"), -5 * 1024 + 512);
    EXPECT_EQ(eval_rule("gain.max=2"), 2048);
    EXPECT_EQ(gain->maximum, 2048);
    EXPECT_EQ(errors(), 0);
}

TEST_F(ExprCatalogue, TimeCorrMinimumUnitThroughTheCatalogue) {
    var_set(SLOT_TIME_CORR, 512);
    Skill* x = skill("X");
    EXPECT_EQ(eval_rule("x=0.001*TIME_CORR"), 1);
    EXPECT_EQ(x->value, 1);
    EXPECT_EQ(eval_rule("MOVE_MODE=0.001*time_corr"), 0);
    EXPECT_EQ(var_value(SLOT_MOVE_MODE), 0);
}

TEST_F(ExprCatalogue, MembersOfMyFollowTheCurrentObject) {
    skill("X");
    const ExprTree* t = rule("x=MY.SKILL1+MY.X");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(evaluate(t), 0);  // no MY: members read 0
    MapObject a = {}, b = {};
    Vertex va = {}, vb = {};
    a.vertex1 = &va;
    b.vertex1 = &vb;
    a.skill[0] = 1024;
    va.x = 10 * 1024;
    b.skill[0] = 2048;
    vb.x = 20 * 1024;
    world_refs.my = &a;
    EXPECT_EQ(evaluate(t), 11 * 1024);
    world_refs.my = &b;
    EXPECT_EQ(evaluate(t), 22 * 1024);
    b.vertex1 = nullptr;  // a null pointer on the way reads 0
    EXPECT_EQ(evaluate(t), 2048);
    b.vertex1 = &vb;
    // The old spelling MY_X is MY.X.
    EXPECT_EQ(eval_condition("my_x"), 20 * 1024);
    // Writing through MY.
    EXPECT_EQ(eval_rule("MY.SKILL2=MY.SKILL1*3"), 6 * 1024);
    EXPECT_EQ(b.skill[1], 6 * 1024);
    EXPECT_EQ(eval_rule("MY.Y=-4"), -4 * 1024);
    EXPECT_EQ(vb.y, -4 * 1024);
    world_refs.my = nullptr;
    EXPECT_EQ(eval_rule("MY.SKILL2=7"), 7 * 1024);  // the store is skipped, nothing faults
    EXPECT_EQ(errors(), 0);
}

TEST_F(ExprCatalogue, FlagAssignmentThroughMyKeepsOtherFlags) {
    MapObject thing = {};
    thing.flags = OBJ_THING | OBJ_FLAG1 | 0x40;
    world_refs.my = &thing;
    EXPECT_EQ(eval_rule("MY.VISIBLE=1"), int32_t(OBJ_THING | OBJ_FLAG1 | 0x40 | OBJ_VISIBLE));
    EXPECT_EQ(thing.flags, uint32_t(OBJ_THING | OBJ_FLAG1 | 0x40 | OBJ_VISIBLE));
    EXPECT_EQ(eval_rule("MY.FLAG1=0"), int32_t(OBJ_THING | 0x40 | OBJ_VISIBLE));
    EXPECT_EQ(eval_condition("MY.THING&&MY.VISIBLE&&!MY.FLAG1"), 1024);
}

TEST_F(ExprCatalogue, RegionMembersThroughThere) {
    Region r = {};
    r.floor_hgt = 5 * 1024;
    r.flags = 0x10;
    world_refs.there = &r;
    EXPECT_EQ(eval_condition("THERE.FLOOR_HGT+THERE.BASE"), 6 * 1024);
    EXPECT_EQ(eval_rule("THERE.CEIL_HGT=THERE.FLOOR_HGT+10"), 15 * 1024);
    EXPECT_EQ(r.ceil_hgt, 15 * 1024);
    EXPECT_EQ(eval_rule("there.PLAY=1"), int32_t(0x10 | 0x8000002));  // both bits of the flag together
}

TEST_F(ExprCatalogue, NamedObjectMembers) {
    auto* door = object<Region>("DOORWAY", KIND_REGION);
    ASSERT_NE(door, nullptr);
    door->skill[2] = 9 * 1024;
    EXPECT_EQ(eval_condition("doorway.SKILL3/3"), 3 * 1024);
    EXPECT_EQ(eval_rule("DOORWAY.AMBIENT=0.5"), 512);
    EXPECT_EQ(door->ambient, 512);
    auto* wall = object<MapObject>("GATE", KIND_WALL);
    ASSERT_NE(wall, nullptr);
    Vertex v1 = {}, v2 = {};
    v1.x = 1024;
    v2.x = 4096;
    const ExprTree* t = condition("GATE.X2-GATE.X1");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(evaluate(t), 0);  // no vertices yet
    wall->vertex1 = &v1;
    wall->vertex2 = &v2;
    EXPECT_EQ(evaluate(t), 3072);  // the vertex pointers are followed when evaluated
}

TEST_F(ExprCatalogue, ReferencesCompareAndTest) {
    auto* stone = object<Texture>("STONE", KIND_TEXTURE);
    auto* wood = object<Texture>("WOOD", KIND_TEXTURE);
    ASSERT_NE(stone, nullptr);
    ASSERT_NE(wood, nullptr);
    const ExprTree* same = condition("TOUCH_TEX==STONE");
    const ExprTree* set = condition("HIT");
    const ExprTree* alike = condition("HIT==TOUCHED");
    ASSERT_NE(same, nullptr);
    ASSERT_NE(set, nullptr);
    ASSERT_NE(alike, nullptr);
    world_refs.touch_tex = stone;
    EXPECT_EQ(evaluate(same), 1024);
    world_refs.touch_tex = wood;
    EXPECT_EQ(evaluate(same), 0);
    world_refs.touch_tex = nullptr;
    EXPECT_EQ(evaluate(same), 0);
    EXPECT_EQ(evaluate(set), 0);
    MapObject a = {}, b = {};
    world_refs.hit = &a;
    EXPECT_NE(evaluate(set), 0);
    world_refs.touched = &b;
    EXPECT_EQ(evaluate(alike), 0);
    world_refs.touched = &a;
    EXPECT_EQ(evaluate(alike), 1024);
    // A pointer member reads as the identity of what it points to.
    Region r = {};
    a.region = &r;
    world_refs.my = &a;
    world_refs.there = &r;
    EXPECT_EQ(eval_condition("MY.REGION==THERE"), 1024);
    a.region = nullptr;
    EXPECT_EQ(eval_condition("MY.REGION"), 0);
    // References are never assigned through an expression.
    EXPECT_EQ(compile_assignment("HIT=1"), -1);
    EXPECT_EQ(compile_assignment("MY.REGION=0"), -1);
}

TEST_F(ExprCatalogue, InputCells) {
    input_cells.mouse_left = 1024;
    EXPECT_EQ(eval_condition("MOUSE_LEFT&&KEY_ANY==0"), 1024);
    input_cells.key_any = 1024;
    EXPECT_EQ(eval_condition("MOUSE_LEFT&&KEY_ANY==0"), 0);
    input_cells = InputCells{};
}

TEST_F(ExprCatalogue, UnresolvableOperandsAreErrors) {
    object<Texture>("STONE", KIND_TEXTURE);
    skill("X");
    const char* bad[] = {
        "x=NOSUCH",            // unknown name
        "x=NOSUCH.SKILL1",     // unknown object
        "x=MY.NOSUCH",         // unknown member
        "x=STONE.SKILL1",      // a texture has no such member
        "x=MY.",               // empty member
        "x=.SKILL1",           // a number? no: ".SKILL1" is neither
        "x=MY.SKILL1.X",       // two dots
        "x=A_NAME_FAR_LONGER_THAN_THIRTY_CHARS",
        "x=MY.A_MEMBER_FAR_LONGER_THAN_THIRTY_CHARS",
        "x=B@D",
        "x=sin",               // a function name without its argument is a name
    };
    for (const char* text : bad) {
        int before = errors();
        EXPECT_EQ(compile_assignment(text), -1) << text;
        EXPECT_EQ(errors(), before + 1) << text;
    }
}

}  // namespace
