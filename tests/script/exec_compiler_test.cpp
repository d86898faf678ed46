// The action compiler as the definitions use it: what each statement form compiles into
// (opcode, operands, flags), the overloads of the keyword table, the block constructs and
// labels with their link pass, and the script errors it reports.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/settings.h"
#include "script/exec/exec_ops.h"
#include "script/exec/opcodes.h"
#include "tests/script/exec_fixture.h"

namespace {

class ExecCompile : public ExecTest {
protected:
    void SetUp() override {
        ExecTest::SetUp();
        skill("x");
        skill("y");
        string("str", "hello", 32);
        define("other", "NOP;");
    }
    // The first instruction of a one-statement action (each in an action of its own, so
    // that earlier results stay valid). A reading stops after a counted error, so the
    // count starts afresh for every statement.
    Instruction* one(const std::string& statement) {
        last_probe = "probe" + std::to_string(probes++);
        clear_errors();
        define(last_probe, statement);
        std::vector<Instruction*> c = code(last_probe.c_str());
        return c.empty() ? nullptr : c[0];
    }
    int probes = 0;
    std::string last_probe;
};

struct OpcodeCase {
    const char* statement;
    int32_t opcode;
};

TEST_F(ExecCompile, EveryStatementFormGetsItsOpcode) {
    const OpcodeCase cases[] = {
        {"SET x, 2;", OP_COPY},
        {"SET x, y;", OP_COPY},
        {"RULE x = y * 2 + 1;", OP_RULE},
        {"ADD x, 1;", OP_RULE},
        {"SUB x, y;", OP_RULE},
        {"ADDT x, 1;", OP_RULE},
        {"SIN x, y;", OP_RULE},
        {"ASIN x, y;", OP_RULE},
        {"SQRT x, 4;", OP_RULE},
        {"SIGN x, y;", OP_RULE},
        {"ABS x, y;", OP_RULE},
        {"RANDOMIZE x, 10;", OP_RULE},
        {"IF_ABOVE x, 5;", OP_JUMP_NOT_ABOVE},
        {"IF_BELOW x, 5;", OP_JUMP_NOT_BELOW},
        {"IF_EQUAL x, 5;", OP_JUMP_NEQUAL},
        {"IF_NEQUAL x, 5;", OP_JUMP_EQUAL},
        {"IF_MIN x;", OP_JUMP_ABOVE},
        {"IF_MAX x;", OP_JUMP_BELOW},
        {"DO other;", OP_BRANCH},
        {"BRANCH other;", OP_BRANCH},
        {"CALL other;", OP_CALL},
        {"EXEC_RULES other;", OP_CALL},
        {"ACCEL x, y;", OP_ACCEL},
        {"AND x, 3;", OP_AND},
        {"INKEY str;", OP_INKEY},
        {"SET_STRING str, str;", OP_CALL2},
        {"TO_STRING str, x;", OP_CALL2},
        {"SCREENSHOT \"shot_\", x;", OP_SCREENSHOT},
        {"SCAN \"game\";", OP_FILE_REQUEST},
        {"LOAD \"game\", 1;", OP_FILE_REQUEST},
        {"SAVE str, 1;", OP_FILE_REQUEST},
        {"STOP_DEMO;", OP_CALL0},
        {"PUSH 2;", OP_CALL1},
        {"STOP_SOUND;", OP_CALL0},
        {"SETMIDI 1, 2;", OP_SETMIDI},
        {"GETMIDI 1, x;", OP_GETMIDI},
        {"DELVOICE 1;", OP_DELVOICE},
        {"LOADBANK \"bank.ibk\";", OP_LOADBANK},
        {"FLOADVOICE \"v.sbi\", 1, 2;", OP_FLOADVOICE},
        {"PLAY_FLICFILE \"intro.flc\";", OP_PLAY_FLICFILE},
        {"PRINTFILE \"log\", 1;", OP_CALL2},
        {"PRINT_STRING \"text\";", OP_CALL1},
        {"PRINT_VALUE x;", OP_CALL1},
        {"PLAY_CD 1, 0;", OP_CALL2},
        {"FUNCTION 1, 2;", OP_FUNCTION},
        {"INPORT x, 97;", OP_INPORT},
        {"OUTPORT x, 97;", OP_OUTPORT},
        {"NOP;", OP_NOP},
        {"END;", OP_END},
        {"EXCLUSIVE;", OP_EXCLUSIVE},
        {"BEEP;", OP_CALL0},
        {"NEXT_MY;", OP_CALL0},
        {"GFX_CLEAR;", OP_CALL0},
        {"GFX_LINETO 1, 2;", OP_CALL2},
        {"GFX_STRING 1, 2, str;", OP_GFX_STRING},
        {"TO_MAP x, y;", OP_TO_MAP},
        {"SHOOT;", OP_CALL0},
        {"SHOOT MY;", OP_CALL1},
        {"LOCATE;", OP_CALL0},
        {"PLACE MY;", OP_CALL1},
        {"DROP MY;", OP_CALL1},
        {"SET_SKILL x, str;", OP_CALL1_RESULT},
        {"MIDI_COM 144;", OP_MIDI_COM},
        {"SKIP 1;", OP_JUMP},
        {"WAIT 1;", OP_WAIT},
        {"WAIT_TICKS 2;", OP_WAIT_TICKS},
        {"WAITT 2;", OP_WAIT_TICKS},
        {"PLAY_SOUNDFILE \"boom.wav\", 1;", OP_PLAY_SOUNDFILE},
        {"PLAY_SONG OFF;", OP_NOP},
        {"LEVEL \"two.wdl\", \"two.wrs\";", OP_FILE_REQUEST},
        {"MAP;", OP_FILE_REQUEST},
        {"EXIT \"bye\";", OP_EXIT},
        {"EXIT;", OP_EXIT},
    };
    for (const OpcodeCase& c : cases) {
        clear_errors();
        int before = 0;
        Instruction* ip = one(c.statement);
        ASSERT_NE(ip, nullptr) << c.statement;
        EXPECT_EQ(ip->opcode, c.opcode) << c.statement << ": " << opcode_name(ip->opcode);
        EXPECT_EQ(errors(), before) << c.statement << console();
    }
}

TEST_F(ExecCompile, FileRequestsCarryTheirModes) {
    const struct {
        const char* statement;
        uint64_t mode;
    } cases[] = {{"SAVE \"g\", 1;", 1},      {"LOAD \"g\", 1;", 2},      {"LEVEL \"a.wdl\";", 4},
                 {"MAP \"a.wmp\";", 8},      {"SAVE_INFO \"g\", 1;", 16}, {"LOAD_INFO \"g\", 1;", 32},
                 {"SCAN \"g\";", 128},       {"SAVE_DEMO \"d\", 1;", 1024}, {"PLAY_DEMO \"d\", 1;", 2048}};
    for (const auto& c : cases) {
        Instruction* ip = one(c.statement);
        ASSERT_NE(ip, nullptr);
        EXPECT_EQ(ip->opcode, OP_FILE_REQUEST) << c.statement;
        EXPECT_EQ(ip->aux.word, c.mode) << c.statement;
    }
}

TEST_F(ExecCompile, AddCompilesLikeTheRuleItStandsFor) {
    Instruction* add = one("ADD x, 1;");
    ASSERT_NE(add, nullptr);
    define("rule", "RULE x = x + 1;");
    Instruction* rule = code("rule")[0];
    EXPECT_EQ(add->opcode, rule->opcode);
    EXPECT_EQ(add->op[0].base, rule->op[0].base);
    EXPECT_EQ(add->op[0].base, &find_skill("x")->value);
    EXPECT_EQ(add->link_flags & LINK_CLAMP, LINK_CLAMP);  // a skill destination is clamped
    EXPECT_EQ(add->aux.tree->count, rule->aux.tree->count);
    skill("x", 2);
    run_action(action(last_probe.c_str()));
    run_action(action("rule"));
    EXPECT_EQ(value("x"), 4 * 1024);
}

TEST_F(ExecCompile, FlagDestinationsBecomeBitInstructions) {
    Instruction* set = one("SET MY.VISIBLE, 1;");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->opcode, OP_SET_FLAGS);
    EXPECT_EQ(set->aux.word, 0x400u);
    EXPECT_EQ(set->addr_flags & ADDR_OP1_SYNONYM, ADDR_OP1_SYNONYM);
    Instruction* clear = one("SET MY.FLAG2, 0;");
    EXPECT_EQ(clear->opcode, OP_CLEAR_FLAGS);
    EXPECT_EQ(clear->aux.word, 0x2000u);
    clear_errors();
        int before = 0;
    one("SET MY.VISIBLE, 2;");
    EXPECT_EQ(errors(), before + 1);
}

TEST_F(ExecCompile, ComparisonsOfFlagsBecomeBitTests) {
    const struct {
        const char* statement;
        int32_t opcode;  // after the link pass (no label: inverted)
    } cases[] = {{"IF_ABOVE MY.FLAG1, 0;", OP_JUMP_BITS_CLEAR},
                 {"IF_BELOW MY.FLAG1, 1;", OP_JUMP_BITS_SET},
                 {"IF_EQUAL MY.FLAG1, 1;", OP_JUMP_BITS_CLEAR},
                 {"IF_EQUAL MY.FLAG1, 0;", OP_JUMP_BITS_SET},
                 {"IF_NEQUAL MY.FLAG1, 1;", OP_JUMP_BITS_SET},
                 {"IF_NEQUAL MY.FLAG1, 0;", OP_JUMP_BITS_CLEAR}};
    for (const auto& c : cases) {
        Instruction* ip = one(std::string(c.statement) + " NOP;");
        ASSERT_NE(ip, nullptr);
        EXPECT_EQ(ip->opcode, c.opcode) << c.statement;
        EXPECT_EQ(ip->aux.word, 0x1000u) << c.statement;
    }
    for (const char* impossible : {"IF_BELOW MY.FLAG1, 0;", "IF_ABOVE MY.FLAG1, 1;"}) {
        clear_errors();
        int before = 0;
        one(impossible);
        EXPECT_EQ(errors(), before + 1) << impossible;
    }
}

TEST_F(ExecCompile, OverloadsAreChosenByTheNumberOfOperands) {
    Instruction* plain = one("SHOOT;");
    Instruction* at = one("SHOOT MY;");
    EXPECT_EQ(plain->opcode, OP_CALL0);
    EXPECT_EQ(at->opcode, OP_CALL1);
    EXPECT_NE(plain->aux.routine, at->aux.routine);
    clear_errors();
        int before = 0;
    one("SHOOT MY, MY;");
    EXPECT_EQ(errors(), before + 1);

    // MIDI_COM with one operand fills the two missing ones with "0".
    Instruction* midi = one("MIDI_COM 144;");
    EXPECT_EQ(midi->cell[0], 144 * 1024);
    EXPECT_EQ(midi->cell[1], 0);
    EXPECT_EQ(midi->cell[2], 0);
    EXPECT_EQ(midi->op[2].base, &midi->cell[2]);
    // INFLATE's missing factor is "1".
    void* texture = nullptr;
    create_object("tex", KIND_TEXTURE, &texture);
    Instruction* inflate = one("INFLATE tex;");
    EXPECT_EQ(inflate->opcode, OP_CALL2);
    EXPECT_EQ(inflate->cell[1], 1024);
}

TEST_F(ExecCompile, OperandAddressingFollowsTheReference) {
    Instruction* ip = one("SET MY.SKILL3, x;");
    ASSERT_NE(ip, nullptr);
    EXPECT_EQ(ip->addr_flags & (ADDR_OP1_SYNONYM | ADDR_OP1_OBJECT), ADDR_OP1_SYNONYM);
    EXPECT_EQ(ip->op[0].base, &world_refs.my);
    EXPECT_EQ(ip->op[0].offset_a, int32_t(offsetof(MapObject, skill[2])));
    EXPECT_EQ(ip->op[1].base, &find_skill("x")->value);

    Instruction* through = one("SET MY.X, 5;");
    EXPECT_EQ(through->addr_flags & ADDR_OP1_OBJECT, ADDR_OP1_OBJECT);
    EXPECT_EQ(through->op[0].offset_a, int32_t(offsetof(MapObject, vertex1)));
    EXPECT_EQ(through->op[0].offset_b, int32_t(offsetof(Vertex, x)));
    EXPECT_EQ(through->cell[1], 5 * 1024);

    // Pointer kinds move 64 bits.
    Instruction* pointer = one("SET EACH_TICK.3, other;");
    EXPECT_EQ(pointer->opcode, OP_COPY);
    EXPECT_EQ(pointer->width_flags & WIDTH_OP1, WIDTH_OP1);
    EXPECT_EQ(pointer->op[0].base, &world_script.each_tick[2]);
}

TEST_F(ExecCompile, TextAndTextureDestinationsHaveTheirOwnOpcodes) {
    void* text = nullptr;
    create_object("caption", KIND_TEXT, &text);
    void* texture = nullptr;
    create_object("stone", KIND_TEXTURE, &texture);
    new_map_object("door", KIND_WALL);
    EXPECT_EQ(one("SET caption.INDEX, 2;")->opcode, OP_TEXT_INDEX);
    EXPECT_EQ(one("SET caption.STRING, str;")->opcode, OP_TEXT_STRING);
    EXPECT_EQ(one("SET caption.POS_X, 2;")->opcode, OP_COPY);
    Instruction* tex = one("SET door.TEXTURE, stone;");
    EXPECT_EQ(tex->opcode, OP_SET_TEXTURE);
    EXPECT_NE(tex->aux.texture, nullptr);
    EXPECT_EQ(tex->owner, find_name("door", KIND_NONE)->object);
    EXPECT_EQ(one("SET THERE.FLOOR_TEX, stone;")->opcode, OP_SET_TEXTURE);
}

TEST_F(ExecCompile, MovementTargetsByTheirSource) {
    new_map_object("guard", KIND_THING);
    void* way = nullptr;
    create_object("patrol", KIND_WAY, &way);
    const OpcodeCase cases[] = {{"SET MY.TARGET, guard;", OP_TARGET_OBJECT},
                                {"SET MY.TARGET, patrol;", OP_TARGET_WAY},
                                {"SET MY.TARGET, FOLLOW;", OP_COPY},
                                {"SET MY.TARGET, guard.TARGET;", OP_COPY},
                                {"SET MY.TARGET, PLACE;", OP_TARGET_CALL},
                                {"SET MY.TARGET, VERTEX;", OP_TARGET_SPECIAL}};
    for (const OpcodeCase& c : cases) {
        Instruction* ip = one(c.statement);
        ASSERT_NE(ip, nullptr) << c.statement;
        EXPECT_EQ(ip->opcode, c.opcode) << c.statement;
    }
    clear_errors();
        int before = 0;
    one("SET MY.TARGET, str;");
    EXPECT_EQ(errors(), before + 1);
}

TEST_F(ExecCompile, SetAllNeedsAFieldOfAnObjectOrARegion) {
    Instruction* objects = one("SET_ALL MY.SKILL1, 3;");
    EXPECT_EQ(objects->opcode, OP_SET_ALL_OBJECTS);
    EXPECT_EQ(objects->target.value, OP_COPY);
    Instruction* regions = one("SET_ALL THERE.FLAG2, 1;");
    EXPECT_EQ(regions->opcode, OP_SET_ALL_REGIONS);
    EXPECT_EQ(regions->target.value, OP_SET_FLAGS);
    clear_errors();
        int before = 0;
    one("SET_ALL x, 3;");
    EXPECT_EQ(errors(), before + 1);
}

// Where a conditional skip or SKIP goes, by the position of the target in the list
// (-1: the end of the action).
int position(const std::vector<Instruction*>& list, const Instruction* target) {
    for (size_t i = 0; i < list.size(); i++)
        if (list[i] == target) return int(i);
    return target ? -2 : -1;
}

TEST_F(ExecCompile, SkipCountsInstructions) {
    const struct {
        const char* count;
        int target;
    } cases[] = {{"0", 2}, {"2", 4}, {"-1", 0}, {"-9", 0}, {"3", -1}, {"9", -1}};
    for (const auto& c : cases) {
        define("skipper", std::string("NOP; SKIP ") + c.count + "; NOP; NOP; NOP;");
        std::vector<Instruction*> list = code("skipper");
        ASSERT_EQ(list.size(), 5u);
        EXPECT_EQ(position(list, list[1]->target.jump), c.target) << "SKIP " << c.count;
    }
}

TEST_F(ExecCompile, ComparisonsWithAndWithoutLabels) {
    define("a", "IF_ABOVE x, 5; SET y, 1; SET y, 2;");
    std::vector<Instruction*> list = code("a");
    EXPECT_EQ(list[0]->opcode, OP_JUMP_NOT_ABOVE);  // inverted: skips the next one
    EXPECT_EQ(position(list, list[0]->target.jump), 2);
    define("b", "IF_ABOVE x, 5, far; SET y, 1; far: SET y, 2;");
    list = code("b");
    EXPECT_EQ(list[0]->opcode, OP_JUMP_ABOVE);
    EXPECT_EQ(position(list, list[0]->target.jump), 2);
    define("c", "start: NOP; GOTO start;");
    list = code("c");
    EXPECT_EQ(list[1]->target.jump, list[0]);
}

TEST_F(ExecCompile, BlocksLinkPastTheirEnds) {
    define("blocks", "IF (x > 1) { SET y, 1; } ELSE { SET y, 2; } NOP;");
    std::vector<Instruction*> list = code("blocks");
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[0]->opcode, OP_IF);
    EXPECT_EQ(position(list, list[0]->target.jump), 3);  // false: into the ELSE block
    EXPECT_EQ(list[2]->opcode, OP_ELSE);
    EXPECT_EQ(position(list, list[2]->target.jump), 4);  // after the ELSE block

    define("loop", "WHILE (x < 3) { ADD x, 1; IF (x == 2) { BREAK; } CONTINUE; } NOP;");
    list = code("loop");
    // WHILE, ADD, IF, BREAK, CONTINUE, back-jump, NOP
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list[0]->opcode, OP_IF);
    EXPECT_EQ(position(list, list[0]->target.jump), 6);
    EXPECT_EQ(list[3]->opcode, OP_JUMP);  // BREAK: after the loop's back-jump
    EXPECT_EQ(position(list, list[3]->target.jump), 6);
    EXPECT_EQ(list[4]->target.jump, list[0]);  // CONTINUE: the condition again
    EXPECT_EQ(list[5]->target.jump, list[0]);

    define("empty", "IF (x > 1) { } NOP;");
    list = code("empty");
    EXPECT_EQ(position(list, list[0]->target.jump), 1);
}

TEST_F(ExecCompile, RulesBlocksHoldRules) {
    skill("a");
    skill("b", 3);
    read("RULES r { a = b * 2; a += 1; }");
    std::vector<Instruction*> list = code("r");
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->opcode, OP_RULE);
    EXPECT_EQ(list[1]->opcode, OP_RULE);
    run_action(action("r"));
    EXPECT_EQ(value("a"), 7 * 1024);
    clear_errors();
        int before = 0;
    read("RULES r2 { SET a, 1; }");
    EXPECT_EQ(errors(), before + 1);
}

TEST_F(ExecCompile, ScriptErrorsAreReportedOnce) {
    const char* cases[] = {
        "FROBNICATE x;",
        "WHILE (x < 1) { NOP; } ELSE { NOP; }",
        "CONTINUE;",
        "BREAK;",
        "IF (x > 1) NOP;",
        "SET 5, x;",
        "AND 5, x;",
        "SET x, 1; twice: NOP; twice: NOP;",
        "12: NOP;",
        "a_label_name_that_is_much_too_long: NOP;",
        "GOTO nowhere;",
        "LOAD \"a_file_name_too_long\", 1;",
        "WAIT -1;",
        "PLAY_SOUNDFILE \"a.wav\", 1, str;",
        "SELECT x, field, str;",
        "RULE x = (y + 1;",
        "IF () { NOP; }",
        "IF_MIN MY.SKILL1;",
    };
    for (const char* body : cases) {
        clear_errors();
        define("bad", body);
        EXPECT_GE(errors(), 1) << body;
        EXPECT_LE(errors(), 2) << body;
    }
    clear_errors();
    read("ACTION empty_one { }");
    EXPECT_EQ(errors(), 1);
}

TEST_F(ExecCompile, UnknownSoundsAreQuietWithoutADevice) {
    one("PLAY_SOUND nosuch, 1;");
    one("PLAY_SONG nosuch, 1;");
    EXPECT_EQ(errors(), 0);
    exec_ops.sound_device_open = [] { return true; };
    one("PLAY_SOUND nosuch, 1;");
    EXPECT_EQ(errors(), 1);
}

TEST_F(ExecCompile, PlaySoundAtAnObject) {
    void* sound = nullptr;
    create_object("bang", KIND_SOUND, &sound);
    Instruction* at = one("PLAY_SOUND bang, 1, MY;");
    EXPECT_EQ(at->opcode, OP_PLAY_SOUND);
    EXPECT_EQ(at->addr_flags & ADDR_SOUND_AT_OBJECT, ADDR_SOUND_AT_OBJECT);
    Instruction* balance = one("PLAY_SOUND bang, 1, 0.5;");
    EXPECT_EQ(balance->addr_flags & ADDR_SOUND_AT_OBJECT, 0);
    EXPECT_EQ(balance->cell[2], 512);
}

TEST_F(ExecCompile, FileNamesAreCopiedIntoTheInstruction) {
    Instruction* ip = one("LOAD \"mygame\", 2;");
    auto* s = reinterpret_cast<ScriptString*>(intptr_t(ip->cell[0]));
    ASSERT_NE(s, nullptr);
    EXPECT_STREQ(s->text, "mygame");
    EXPECT_EQ(ip->cell[1], 2048);
    Instruction* named = one("LOAD str, 2;");
    EXPECT_EQ(reinterpret_cast<ScriptString*>(intptr_t(named->cell[0])), static_cast<ScriptString*>(find_name("str", KIND_STRING)->object));
    // Under -V368 a bare unknown name is a file name for LOAD.
    settings.compat368 = 1;
    Instruction* bare = one("LOAD slot, 2;");
    EXPECT_EQ(errors(), 0);
    EXPECT_STREQ(reinterpret_cast<ScriptString*>(intptr_t(bare->cell[0]))->text, "slot");
}

TEST_F(ExecCompile, WaitsKeepTheirCountAtCompileTime) {
    Instruction* ip = one("WAIT 3;");
    EXPECT_EQ(ip->target.value, 3 * 1024);
    EXPECT_EQ(ip->cell[1], 3 * 1024);
    skill("x", 2);
    EXPECT_EQ(one("WAIT_TICKS x;")->target.value, 2 * 1024);
}

TEST_F(ExecCompile, ForwardReferencedActionsAreMadeAndFilledLater) {
    Instruction* call = one("CALL later;");
    Action* later = action("later");
    ASSERT_NE(later, nullptr);
    EXPECT_EQ(reinterpret_cast<Action*>(intptr_t(call->cell[0])), later);
    EXPECT_EQ(later->first, nullptr);
    define("later", "SET x, 9;");
    run_action(action(last_probe.c_str()));
    EXPECT_EQ(value("x"), 9 * 1024);
}

TEST_F(ExecCompile, ParseVariableResolvesFeatureReferences) {
    VarRef ref;
    ASSERT_TRUE(parse_variable("x", &ref));
    EXPECT_EQ(ref.mode, VARREF_DIRECT);
    EXPECT_EQ(ref.base, &find_skill("x")->value);
    ASSERT_TRUE(parse_variable("MY.SKILL2", &ref));
    EXPECT_EQ(ref.mode, VARREF_SYNONYM);
    EXPECT_EQ(ref.offset_a, int32_t(offsetof(MapObject, skill[1])));
    EXPECT_FALSE(parse_variable("3", &ref));
    EXPECT_EQ(errors(), 0);
    EXPECT_FALSE(parse_variable("nosuch", &ref));
    EXPECT_EQ(errors(), 1);
}

}  // namespace
