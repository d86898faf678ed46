// Running compiled actions: arithmetic, conditions and loops, jumps, calls and nesting, the
// instruction budget, strings and texts, flags, targets, SET_ALL, file requests, EXIT, and
// what error reports name.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

#include "engine/clock.h"
#include "engine/frame.h"
#include "engine/settings.h"
#include "script/exec/exec_ops.h"
#include "script/exec/file_request.h"
#include "script/exec/opcodes.h"
#include "tests/script/exec_fixture.h"

namespace {

class ExecRun : public ExecTest {
protected:
    void SetUp() override {
        ExecTest::SetUp();
        for (const char* n : {"a", "b", "c", "i", "n", "x", "y", "r"}) skill(n);
    }
};

TEST_F(ExecRun, RulesComputeInFixedPoint) {
    const struct {
        const char* body;
        double x;
    } cases[] = {
        {"SET x, 7; RULE x = x % 2;", 1},
        {"SET x, -2; RULE x = x % 3;", 2},
        {"SET a, 1.5; RULE x = a * a;", 2.25},
        {"SET a, 3; ADD x, a; ADD x, a; SUB x, 1;", 5},
        {"SET a, 4; SQRT x, a;", 2},
        {"SET a, -3; ABS x, a;", 3},
        {"SET a, -3; SIGN x, a;", -1},
        {"RULE x = 10 / 4;", 2.5},
        {"RULE x = (1 < 2) + (2 <= 2) + (3 > 4) + (5 >= 5) + (1 == 1) + (1 != 1);", 4},
        {"RULE x = (1 && 0) + (1 || 0) + 2 - 1;", 2},
        {"SET x, 0.001; ADDT x, 0;", 0.0009765625},
        {"RULE x = -(2 + 3) * 2;", -10},
        {"SET x, 5; RULE x += 2; RULE x *= 2;", 14},
    };
    for (const auto& c : cases) {
        skill("x", 0);
        run(c.body);
        EXPECT_DOUBLE_EQ(number("x"), c.x) << c.body;
    }
}

TEST_F(ExecRun, SkillsAreClampedIntoTheirLimits) {
    Skill* s = skill("lim", 0);
    s->minimum = -1024;
    s->maximum = 5 * 1024;
    run("SET lim, 9;");
    EXPECT_EQ(value("lim"), 5 * 1024);
    run("ADD lim, -20;");
    EXPECT_EQ(value("lim"), -1024);
    run("RULE lim = 100;");
    EXPECT_EQ(value("lim"), 5 * 1024);
    // IF_MIN and IF_MAX test against the limits.
    skill("lim", -1);
    run("SET x, 0; IF_MIN lim; SET x, 1;");
    EXPECT_EQ(value("x"), 1024);
    run("SET x, 0; IF_MAX lim; SET x, 1;");
    EXPECT_EQ(value("x"), 0);
}

TEST_F(ExecRun, ConditionalSkipsRunTheNextInstructionOnlyWhenTheyHold) {
    const struct {
        const char* body;
        double y;
    } cases[] = {
        {"SET x, 6; IF_ABOVE x, 5; SET y, 1; ADD y, 10;", 11},
        {"SET x, 5; IF_ABOVE x, 5; SET y, 1; ADD y, 10;", 10},
        {"SET x, 6; IF_ABOVE x, 5, yes; SET y, 1; yes: ADD y, 10;", 10},
        {"SET x, 4; IF_ABOVE x, 5, yes; SET y, 1; yes: ADD y, 10;", 11},
        {"SET x, 3; IF_BELOW x, 5; SET y, 2;", 2},
        {"SET x, 3; IF_EQUAL x, 3; SET y, 3;", 3},
        {"SET x, 3; IF_NEQUAL x, 3; SET y, 4;", 0},
        {"SET y, 1; SKIP 0; ADD y, 1;", 2},
        {"SET y, 1; SKIP 2; ADD y, 1; ADD y, 1; ADD y, 5;", 6},
        {"SET y, 1; SKIP 9; ADD y, 1;", 1},
        {"SET y, 0; ADD y, 1; IF_BELOW y, 3, again; END; again: SKIP -3;", 3},
    };
    for (const auto& c : cases) {
        skill("y", 0);
        run(c.body);
        EXPECT_DOUBLE_EQ(number("y"), c.y) << c.body;
    }
}

TEST_F(ExecRun, FlagTestsAndPointerComparisons) {
    MapObject* o = new_map_object("box", KIND_THING);
    world_refs.my = o;
    run("SET MY.FLAG3, 1; SET y, 0; IF_EQUAL MY.FLAG3, 1; SET y, 1;");
    EXPECT_EQ(o->flags & 0x4000u, 0x4000u);
    EXPECT_EQ(value("y"), 1024);
    run("SET MY.FLAG3, 0; SET y, 0; IF_EQUAL MY.FLAG3, 1; SET y, 1;");
    EXPECT_EQ(value("y"), 0);
    // Other bits of the flag word stay.
    EXPECT_EQ(o->flags & OBJ_THING, OBJ_THING);
    run("SET y, 0; IF_EQUAL MY, box; SET y, 1;");
    EXPECT_EQ(value("y"), 1024);
    world_refs.my = nullptr;
    run("SET y, 0; IF_EQUAL MY, NULL; SET y, 1;");
    EXPECT_EQ(value("y"), 1024);
}

TEST_F(ExecRun, BlocksAndLoops) {
    const struct {
        const char* body;
        double y;
    } cases[] = {
        {"SET x, 2; IF (x > 1) { SET y, 1; } ELSE { SET y, 2; }", 1},
        {"SET x, 0; IF (x > 1) { SET y, 1; } ELSE { SET y, 2; }", 2},
        {"SET x, 0; IF (x > 1) { } SET y, 3;", 3},
        {"SET x, 0; WHILE (x < 10) { ADD x, 1; ADD y, 2; }", 20},
        {"SET x, 0; WHILE (x < 10) { ADD x, 1; IF (x == 4) { BREAK; } ADD y, 1; }", 3},
        {"SET x, 0; WHILE (x < 5) { ADD x, 1; IF (x == 2) { CONTINUE; } ADD y, 1; }", 4},
        {"SET x, 0; WHILE (x < 3) { ADD x, 1; SET n, 0; WHILE (n < 3) { ADD n, 1; ADD y, 1; } }", 9},
        {"SET x, 1; IF (x == 1) { IF (x == 2) { SET y, 5; } ELSE { SET y, 6; } } ELSE { SET y, 7; }", 6},
    };
    for (const auto& c : cases) {
        skill("y", 0);
        run(c.body);
        EXPECT_DOUBLE_EQ(number("y"), c.y) << c.body;
    }
}

TEST_F(ExecRun, CallsAndBranches) {
    define("inc", "ADD y, 1;");
    define("ender", "ADD y, 100; END; ADD y, 1000;");
    run("SET y, 0; CALL inc; CALL inc; CALL ender; ADD y, 10;");
    EXPECT_EQ(value("y"), 112 * 1024);
    // BRANCH replaces the running action: what follows it never runs.
    run("SET y, 0; BRANCH inc; ADD y, 50;");
    EXPECT_EQ(value("y"), 1024);
    EXPECT_EQ(exec.last_called, action("ender"));
}

TEST_F(ExecRun, SelfCallStopsAt256LevelsWithOneMessage) {
    skill("depth", 0);
    define("deep", "ADD depth, 1; CALL deep;");
    run_action(action("deep"));
    EXPECT_EQ(value("depth"), 256 * 1024);
    run_action(action("deep"));
    std::string text = console();
    size_t first = text.find("action nesting past 256 -- runaway stopped");
    EXPECT_NE(first, std::string::npos);
    EXPECT_EQ(text.find("action nesting past 256", first + 1), std::string::npos);
    EXPECT_EQ(exec.run_depth, 0);
}

TEST_F(ExecRun, RunawayLoopsEndWithOneReportNamingTheAction) {
    for (const char* body : {"WHILE (1) { }", "ADD x, 1; SKIP -1;"}) {
        clear_errors();
        captured.clear();
        define("spinner", body);
        EXPECT_EQ(run_action(action("spinner")), 0) << body;
        EXPECT_EQ(errors(), 1) << body;
        char listing[4096];
        format_error_reports(listing, sizeof listing);
        EXPECT_NE(std::string(listing).find("in action spinner"), std::string::npos) << listing;
        EXPECT_NE(console().find("action spinner ran 16000000 instructions"), std::string::npos) << console();
        // The game goes on: the next action runs normally.
        clear_errors();
        run("SET y, 4;");
        EXPECT_EQ(value("y"), 4 * 1024);
    }
}

TEST_F(ExecRun, NestedRunsShareTheBudget) {
    define("spin", "WHILE (1) { }");
    define("outer", "WHILE (1) { CALL spin; }");
    EXPECT_EQ(run_action(action("outer")), 0);
    EXPECT_EQ(errors(), 1);
}

TEST_F(ExecRun, ErrorReportsNameTheRunningInstruction) {
    define("div", "SET x, 1; RULE x = x / 0; RULE x = 1 / 0;");
    run_action(action("div"));
    EXPECT_EQ(value("x"), 0);
    std::string text = console();
    size_t at = text.find("division by zero in action div");
    EXPECT_NE(at, std::string::npos) << text;
    EXPECT_EQ(text.find("division by zero", at + 1), std::string::npos);  // once per action
    // A report made while an action runs names it, the instruction and the opcode.
    exec_ops.explode = [](MapObject*) { report_error("test"); };
    MapObject* o = new_map_object("bomb", KIND_THING);
    world_refs.my = o;
    run("NOP; EXPLODE MY;", "blast");
    char listing[4096];
    format_error_reports(listing, sizeof listing);
    EXPECT_NE(std::string(listing).find("in action blast, instruction 2 (opcode 0x3A)"), std::string::npos) << listing;
}

TEST_F(ExecRun, HandlersWithoutTheirObjectDoNothing) {
    static int calls;
    calls = 0;
    exec_ops.explode = [](MapObject*) { calls++; };
    exec_ops.place_object = [](MapObject*) { calls++; };
    exec_ops.shoot = [](MapObject*) { calls++; };
    world_refs.my = nullptr;
    run("EXPLODE MY; PLACE MY; SHOOT MY; DROP MY; LOCATE MY; SHAKE MY;");
    EXPECT_EQ(calls, 0);
    world_refs.my = new_map_object("crate", KIND_THING);
    run("EXPLODE MY; PLACE MY; SHOOT MY; SHOOT;");
    EXPECT_EQ(calls, 4);
}

TEST_F(ExecRun, StringsAreCutToTheirCapacity) {
    ScriptString* s = string("s", "", 8);
    string("long", "abcdefghijkl");
    run("SET_STRING s, long;");
    EXPECT_STREQ(s->text, "abcdefg");
    string("s2", "ab", 8);
    string("cd", "cdefghij");
    run("ADD_STRING s2, cd;");
    EXPECT_STREQ(find_name("s2", KIND_STRING) ? static_cast<ScriptString*>(find_name("s2", KIND_STRING)->object)->text : "",
                 "abcdefg");
    ScriptString* t = string("t", "", 16);
    skill("x", 2.5);
    run("TO_STRING t, x;");
    EXPECT_STREQ(t->text, "2.500");
    skill("x", -3);
    run("TO_STRING t, x;");
    EXPECT_STREQ(t->text, "-3");
    string("digits", "12.5abc");
    run("SET_SKILL x, digits;");
    EXPECT_EQ(value("x"), 12800);
}

TEST_F(ExecRun, FindSearchesTheStringsOfAText) {
    void* object = nullptr;
    create_object("menu", KIND_TEXT, &object);
    auto* text = static_cast<Text*>(object);
    void* font = nullptr;
    create_object("f", KIND_FONT, &font);
    static_cast<Font*>(font)->glyph_height = 8;
    text->font = static_cast<Font*>(font);
    ScriptString* lines[3] = {string("l1", "Load game"), string("l2", "Save\ngame"), string("l3", "Quit")};
    text->strings = lines;
    text->string_count = 3;
    text->index = 1024;
    string("q", "qu");
    run("FIND menu, q;");
    EXPECT_EQ(var_value(SLOT_RESULT), 3 * 1024);
    EXPECT_EQ(var_value(SLOT_LINES), 4 * 1024);
    EXPECT_EQ(var_value(SLOT_SIZE_Y), 8 * 4 * 1024);
    EXPECT_EQ(text->offset_y, 8 * 3 * 1024);
    EXPECT_EQ(text->string, lines[2]);
    string("none", "xyz");
    run("FIND menu, none;");
    EXPECT_EQ(var_value(SLOT_RESULT), -1024);
    run("SET menu.INDEX, 2;");
    EXPECT_EQ(text->string, lines[1]);
    run("SET menu.INDEX, 9;");  // out of range: ignored
    EXPECT_EQ(text->string, lines[1]);
    text->strings = nullptr;
    text->string_count = 0;
}

TEST_F(ExecRun, GroundFlagMovesThePositionHeight) {
    MapObject* o = new_map_object("lamp", KIND_THING);
    Vertex* v = new_vertex(0, 0, 3 * 1024);
    o->vertex1 = v;
    o->height = 1024;
    world_refs.my = o;
    run("SET MY.GROUND, 1;");
    EXPECT_EQ(o->height, 4 * 1024);
    EXPECT_EQ(v->z, 0);
    static int placed;
    placed = 0;
    exec_ops.place_object = [](MapObject* m) {
        placed++;
        m->vertex1->z = 1024;
    };
    run("SET MY.GROUND, 0;");
    EXPECT_EQ(placed, 1);
    EXPECT_EQ(o->height, 3 * 1024);
}

TEST_F(ExecRun, TargetsAndSetAll) {
    MapObject* a = new_map_object("guard", KIND_THING);
    MapObject* b = new_map_object("guard", KIND_THING);
    MapObject* other = new_map_object("dog", KIND_THING);
    void* way = nullptr;
    create_object("patrol", KIND_WAY, &way);
    world_refs.my = a;
    run("SET MY.TARGET, patrol;");
    EXPECT_EQ(a->target, TARGET_WAY);
    EXPECT_EQ(a->waypoint, 1);
    EXPECT_EQ(a->way_step, -1);
    EXPECT_EQ(a->target_object, way);
    run("SET MY.TARGET, dog;");
    EXPECT_EQ(a->target, TARGET_OBJECT);
    EXPECT_EQ(a->target_object, other);
    run("SET MY.TARGET, FOLLOW;");
    EXPECT_EQ(a->target, TARGET_FOLLOW);
    run("SET MY.TARGET, VERTEX;");
    EXPECT_EQ(a->target, TARGET_VERTEX);
    run("SET_ALL MY.SKILL2, 7;");
    EXPECT_EQ(a->skill[1], 7 * 1024);
    EXPECT_EQ(b->skill[1], 7 * 1024);
    EXPECT_EQ(other->skill[1], 0);
    run("SET_ALL MY.FLAG1, 1;");
    EXPECT_TRUE(b->flags & 0x1000u);
    EXPECT_FALSE(other->flags & 0x1000u);
}

TEST_F(ExecRun, NextMyWalksObjectsOfTheSameDefinition) {
    MapObject* a = new_map_object("coin", KIND_THING);
    world_refs.my = a;
    run("NEXT_MY;");
    EXPECT_EQ(world_refs.my, a);  // the only one: MY stays
    MapObject* b = new_map_object("coin", KIND_THING);
    new_map_object("gem", KIND_THING);
    run("NEXT_MY;");
    EXPECT_EQ(world_refs.my, b);  // from a onwards none follows: from the start
    run("NEXT_MY;");
    EXPECT_EQ(world_refs.my, a);
    world_refs.my = nullptr;
    EXPECT_EQ(next_my(), nullptr);
}

TEST_F(ExecRun, AccelerationFollowsFrictionAndInertia) {
    var_set(SLOT_TIME_CORR, 1024);
    var_set(SLOT_FRICTION, 512);
    var_set(SLOT_INERTIA, 1024);
    skill("v", 2);
    skill("force", 1);
    run("ACCEL v, force;");
    // v = 0.5: A = A * 0.5 + force * TIME_CORR / INERTIA
    EXPECT_EQ(value("v"), 2048 * 512 / 1024 + 1024);
    var_set(SLOT_FRICTION, 2048);
    skill("v", 2);
    run("ACCEL v, force;");
    // v >= 1: A = force / round(v * i)
    EXPECT_EQ(value("v"), 1024 * 1024 / 2048);
}

TEST_F(ExecRun, MouseLookOwnsTheViewAngles) {
    settings.mouse_look = 1;
    var_set(SLOT_PLAYER_ANGLE, 100);
    run("SET PLAYER_ANGLE, 2; ADD PLAYER_TILT, 1; SET x, 1;");
    EXPECT_EQ(var_value(SLOT_PLAYER_ANGLE), 100);
    EXPECT_EQ(var_value(SLOT_PLAYER_TILT), 0);
    EXPECT_EQ(value("x"), 1024);
    settings.mouse_look = 0;
    run("SET PLAYER_ANGLE, 2;");
    EXPECT_EQ(var_value(SLOT_PLAYER_ANGLE), 2048);
}

TEST_F(ExecRun, FileRequestsArePostedOrCarriedOut) {
    run("LOAD \"game\", 3;");
    EXPECT_EQ(frame_timing.pending_request, REQUEST_LOAD);
    EXPECT_STREQ(file_request.name, "game");
    EXPECT_EQ(file_request.number, 3 * 1024);
    run("LEVEL \"two.wdl\", \"two.wrs\";");
    EXPECT_EQ(frame_timing.pending_request, REQUEST_LEVEL);
    EXPECT_STREQ(file_request.name, "two.wdl");
    EXPECT_STREQ(file_request.second, "two.wrs");
    static std::string saved;
    static int32_t saved_number;
    exec_ops.save_game = [](const char* name, int32_t number) {
        saved = name;
        saved_number = number;
        return 1;
    };
    frame_timing.pending_request = 0;
    run("SAVE \"slot\", 2;");
    EXPECT_EQ(saved, "slot");
    EXPECT_EQ(saved_number, 2048);
    EXPECT_EQ(frame_timing.pending_request, 0);  // carried out at once
}

TEST_F(ExecRun, ExitPostsTheEndAndStopsActions) {
    define("after", "SET y, 1;");
    EXPECT_EQ(run("EXIT \"Goodbye\"; SET x, 1;"), 1);
    EXPECT_EQ(value("x"), 0);
    EXPECT_TRUE(frame_timing.pending_request & REQUEST_EXIT);
    EXPECT_STREQ(file_request.exit_text, "Goodbye");
    run_action(action("after"));
    EXPECT_EQ(value("y"), 0);  // no new run starts after EXIT
    reset_execution();
    run_action(action("after"));
    EXPECT_EQ(value("y"), 1024);
}

TEST_F(ExecRun, ExitInsideACallEndsOnlyTheCalledAction) {
    define("quit", "EXIT;");
    run("CALL quit; SET x, 1;");
    EXPECT_EQ(value("x"), 1024);
    EXPECT_TRUE(frame_timing.pending_request & REQUEST_EXIT);
}

TEST_F(ExecRun, DelaysSleepInsteadOfSpinning) {
    DrivenClock clock = {1000000000ull, true};
    clock_drive(&clock);
    run("BEEP;");
    EXPECT_EQ(clock.ns - 1000000000ull, 266000000ull);
    char dir[] = "/tmp/dravo_shotXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::snprintf(settings.save_dir, sizeof settings.save_dir, "%s", dir);
    uint64_t before = clock.ns;
    run("SCREENSHOT \"shot_\", 0;");
    EXPECT_EQ(clock.ns - before, 100000000ull);
    clock_drive(nullptr);
    rmdir(dir);
}

TEST_F(ExecRun, RunActionAsSetsAndRestoresTheContext) {
    MapObject* o = new_map_object("thing1", KIND_THING);
    void* region = nullptr;
    create_object("hall", KIND_REGION, &region);
    o->region = static_cast<Region*>(region);
    define("probe", "SET MY.SKILL1, 5; SET THERE.SKILL1, 6;");
    world_refs.my = nullptr;
    world_refs.there = nullptr;
    run_action_as(o, nullptr, action("probe"));
    EXPECT_EQ(o->skill[0], 5 * 1024);
    EXPECT_EQ(static_cast<Region*>(region)->skill[0], 6 * 1024);
    EXPECT_EQ(world_refs.my, nullptr);
    EXPECT_EQ(world_refs.there, nullptr);
    // Without MY and THERE the writes are lost and the reads give 0.
    run("SET MY.SKILL1, 5; SET THERE.SKILL1, 6; SET x, MY.SKILL1; SET y, THERE.SKILL1;");
    EXPECT_EQ(value("x"), 0);
    EXPECT_EQ(value("y"), 0);
    EXPECT_EQ(run_action_as(o, nullptr, nullptr), 0);
}

TEST_F(ExecRun, DeviceInstructionsCallTheirSubsystems) {
    static std::string log;
    log.clear();
    void* sound = nullptr;
    create_object("bang", KIND_SOUND, &sound);
    MapObject* o = new_map_object("bell", KIND_THING);
    world_refs.my = o;
    exec_ops.play_sound = [](Sound* s, int32_t volume, int32_t balance, MapObject* at) {
        log += std::string("sound ") + s->name + " " + std::to_string(volume) + " " + std::to_string(balance) +
               (at ? " at" : "") + ";";
    };
    exec_ops.play_sound_file = [](const char* name, int32_t volume, int32_t) {
        log += std::string("file ") + name + " " + std::to_string(volume) + ";";
    };
    exec_ops.to_map = [](int32_t* x, int32_t* y) {
        *x += 1024;
        *y -= 1024;
    };
    exec_ops.play_cd = [](int32_t track, int32_t) { return track >> 10; };
    run("PLAY_SOUND bang, 0.5, MY; PLAY_SOUND bang, 1, -0.25; PLAY_SOUNDFILE \"hit.wav\", 2;");
    EXPECT_EQ(log, "sound bang 512 0 at;sound bang 1024 -256;file hit.wav 2048;");
    skill("x", 3);
    skill("y", 4);
    run("TO_MAP x, y;");
    EXPECT_EQ(value("x"), 4 * 1024);
    EXPECT_EQ(value("y"), 3 * 1024);
    run("PLAY_CD 5, 0;");
    EXPECT_EQ(var_value(SLOT_CD_TRACK), 5 * 1024);
    run("FUNCTION 1, 0;");
    EXPECT_EQ(var_value(SLOT_RESULT), 1024);
    run("FUNCTION 2, 0;");
    EXPECT_EQ(var_value(SLOT_RESULT), 0);
    run("GETMIDI 1, x; INPORT y, 96;");
    EXPECT_EQ(value("x"), -1024);
    EXPECT_EQ(value("y"), 0);
    run("GFX_CLEAR;");
    EXPECT_EQ(var_value(SLOT_RESULT), -1024);
    run("GFX_LINETO 7, 8;");
    EXPECT_EQ(var_value(SLOT_GFX_LAST_X), 7 * 1024);
    EXPECT_EQ(var_value(SLOT_GFX_LAST_Y), 8 * 1024);
    void* flic = nullptr;
    create_object("intro", KIND_FLIC, &flic);
    run("PLAY_FLIC intro;");
    EXPECT_EQ(var_value(SLOT_FLIC_FRAME), 1024);
}

TEST_F(ExecRun, SelectionsGoToTheDataViews) {
    void* db = nullptr;
    create_object("items", KIND_DATABASE, &db);
    auto* database = static_cast<Database*>(db);
    static DataColumn columns[2] = {};
    std::snprintf(columns[0].name, sizeof columns[0].name, "NAME");
    columns[0].index = 0;
    std::snprintf(columns[1].name, sizeof columns[1].name, "COLOR");
    columns[1].index = 1;
    database->columns = columns;
    database->column_count = 2;
    void* dv = nullptr;
    create_object("shelf", KIND_DATAVIEW, &dv);
    static_cast<DataView*>(dv)->database = database;
    string("red", "red");
    static std::string log;
    log.clear();
    exec_ops.select_rows = [](int32_t mode, DataView* view, int32_t field, const char* text) {
        log += std::string(view->name) + " " + std::to_string(mode) + " " + std::to_string(field) + " " + text + ";";
    };
    run("SELECT shelf, COLOR, red; OR_SELECT shelf, NAME, red; UNSELECT shelf, color, red;");
    EXPECT_EQ(log, "shelf 1 1 red;shelf 2 0 red;shelf 4 1 red;");
    world_refs.my = nullptr;
    run("PLACE_SEL shelf, MY, 1;");
    EXPECT_EQ(var_value(SLOT_RESULT), -1024);
    clear_errors();
    define("bad", "SELECT shelf, WEIGHT, red;");
    EXPECT_EQ(errors(), 1);
    database->columns = nullptr;
    database->column_count = 0;
}

TEST_F(ExecRun, OldVersionsWaitInPlace) {
    settings.v308 = 1;
    define("slow", "ADD x, 1; WAIT 2; ADD y, 1;");
    run_action(action("slow"));
    EXPECT_EQ(pending_run_count(), 0);  // no queue: the action stands at its WAIT
    EXPECT_EQ(action("slow")->resume, code("slow")[1]);
    run_action(action("slow"));  // the second run still waits
    EXPECT_EQ(value("y"), 0);
    run_action(action("slow"));  // the third passes the WAIT
    EXPECT_EQ(value("x"), 1024);
    EXPECT_EQ(value("y"), 1024);
    EXPECT_EQ(action("slow")->resume, action("slow")->first);
}

// The direct ways of the interpreter give what the expression tree gives, for values over
// the whole range (wrap-around, rounding of negative products, the limits).
TEST_F(ExecRun, DirectRulesAndConditionsAgreeWithTheTree) {
    Skill* d = skill("d");
    d->minimum = INT32_MIN;
    const char* rules[] = {"RULE d = a + b;", "RULE d = a - 5.5;", "RULE d = a + b * c;", "RULE d = a + b * 2.5;",
                           "RULE d = d + 1;", "ADD d, b;", "SUB d, 3;"};
    const char* conditions[] = {"a < b", "a > b", "a <= b", "a >= b", "a == b", "a != b", "a != 1000000", "3 < a"};
    const int32_t samples[] = {0, 1, -1, 1023, -1024, 2048, 1 << 20, -(1 << 21), INT32_MAX, INT32_MIN, 123456789, -98765};
    uint32_t state = 12345;
    auto next = [&] {
        state = state * 1103515245u + 12345u;
        uint32_t pick = state >> 16;
        return pick % 3 == 0 ? int32_t(state) : samples[pick % (sizeof samples / sizeof samples[0])];
    };
    for (const char* rule : rules) {
        define("direct", rule);
        Instruction* ip = code("direct")[0];
        ASSERT_NE(ip->dispatch, DISPATCH_BY_OPCODE) << rule;
        for (int k = 0; k < 400; k++) {
            int32_t va = next(), vb = next(), vc = next(), vd = next();
            find_skill("a")->value = va, find_skill("b")->value = vb, find_skill("c")->value = vc, d->value = vd;
            run_action(action("direct"));
            int32_t fast = d->value;
            d->value = vd;
            int32_t tree = evaluate(ip->aux.tree);
            ASSERT_EQ(fast, tree) << rule << " a=" << va << " b=" << vb << " c=" << vc << " d=" << vd;
        }
    }
    for (const char* condition : conditions) {
        define("test", std::string("IF (") + condition + ") { SET r, 1; } ELSE { SET r, 0; }");
        Instruction* ip = code("test")[0];
        ASSERT_NE(ip->dispatch, DISPATCH_BY_OPCODE) << condition;
        for (int k = 0; k < 400; k++) {
            int32_t va = next(), vb = next();
            find_skill("a")->value = va, find_skill("b")->value = vb;
            run_action(action("test"));
            ASSERT_EQ(value("r") != 0, evaluate(ip->aux.tree) != 0) << condition << " a=" << va << " b=" << vb;
        }
    }
}

}  // namespace
