// The small blocks: SKILL, SYNONYM, PALETTE, ACTION and RULES (bodies handed over brace by
// brace), WINDOW; the state of the reader around them.
#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/palette.h"
#include "script/front/reader.h"

namespace {

class Blocks : public DefsTest {};

TEST_F(Blocks, EveryBlock) {
    write("tile.tx", tx_image(8, 8));
    write("font.tx", tx_image(80, 8));
    write("day.pcx", pcx_image(8, 8));
    ASSERT_EQ(read_fixture("defs_blocks.wdl"), 0) << listing() << console();
    EXPECT_EQ(errors(), 0);
    EXPECT_EQ(reader.reader_state, READER_TOP_LEVEL);

    Skill* speed = find_skill("speed");
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->value, 2560);
    EXPECT_EQ(speed->minimum, -1024);
    EXPECT_EQ(speed->maximum, 10240);
    EXPECT_EQ(speed->flags, SKILL_PLAYER);
    Skill* lives = find_skill("lives");
    ASSERT_NE(lives, nullptr);
    EXPECT_EQ(lives->value, 3072);
    EXPECT_EQ(lives->flags, SKILL_GLOBAL);
    EXPECT_EQ(lives->minimum, SKILL_DEFAULT_MIN);
    EXPECT_EQ(find_skill("temp")->flags, SKILL_LOCAL);

    Palette* day = get<Palette>("day", KIND_PALETTE);
    ASSERT_NE(day, nullptr);
    EXPECT_EQ(day->colors[300], 100 >> 2);  // colour 100 of the file, in 6 bits
    EXPECT_EQ(day->colors[301], 155 >> 2);
    EXPECT_EQ(day->colors[302], 50 >> 2);
    ASSERT_EQ(day->range_count, 2);
    EXPECT_EQ(day->ranges[0].first, 16);
    EXPECT_EQ(day->ranges[0].count, 16);
    EXPECT_EQ(day->ranges[1].first, 240);
    EXPECT_EQ(day->cycle, 512);
    EXPECT_EQ(day->flags, PALETTE_HARD | PALETTE_BLUR | PALETTE_AUTORANGE);
    EXPECT_EQ(world_script.auto_range, 1);

    Synonym* door = get<Synonym>("door_region", KIND_SYNONYM);
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->type, KIND_REGION);
    EXPECT_EQ(*door->ref, get<Region>("hall", KIND_REGION));
    Synonym* on_open = get<Synonym>("on_open", KIND_SYNONYM);
    EXPECT_EQ(on_open->type, KIND_ACTION);
    EXPECT_EQ(*on_open->ref, get<Action>("open_door", KIND_ACTION));
    Synonym* nobody = get<Synonym>("nobody", KIND_SYNONYM);
    EXPECT_EQ(nobody->type, KIND_THING);
    EXPECT_EQ(*nobody->ref, nullptr);
    EXPECT_EQ(*get<Synonym>("shown", KIND_SYNONYM)->ref, get<Text>("note", KIND_TEXT));
    EXPECT_EQ(*get<Synonym>("look", KIND_SYNONYM)->ref, get<Texture>("stone", KIND_TEXTURE));

    EXPECT_NE(get<Action>("open_door", KIND_ACTION), nullptr);
    EXPECT_NE(get<Action>("physics", KIND_ACTION), nullptr);
    // The action bodies, nested blocks and all, and the WINDOW block were passed over whole.
    EXPECT_NE(get<ScriptString>("after", KIND_STRING), nullptr);
}

TEST_F(Blocks, APredefinedSynonymTakesItsDefault) {
    ASSERT_EQ(read("REGION hall { FLOOR_HGT 1; } SYNONYM REGION3 { TYPE REGION; DEFAULT hall; }"), 0) << listing();
    EXPECT_EQ(world_refs.region[2], get<Region>("hall", KIND_REGION));
}

TEST_F(Blocks, AGlobalSkillKeepsItsValueOverAReload) {
    ASSERT_EQ(read("SKILL lives { VAL 3; TYPE GLOBAL; } SKILL level { VAL 1; }"), 0);
    find_skill("lives")->value = 7 * 1024;
    find_skill("level")->value = 5 * 1024;
    load_mode = LOAD_REDEFINE;
    ASSERT_EQ(read("SKILL lives { VAL 3; MAX 9; TYPE GLOBAL; } SKILL level { VAL 1; }"), 0) << listing();
    EXPECT_EQ(find_skill("lives")->value, 7 * 1024);
    EXPECT_EQ(find_skill("lives")->maximum, SKILL_DEFAULT_MAX);  // the fields went to the scratch skill
    EXPECT_EQ(find_skill("level")->value, 1024);                 // an untyped one is defined anew
    load_mode = 0;
}

TEST_F(Blocks, ALocalSkillKeepsItsValueWhileLocalSkillsAreKept) {
    ASSERT_EQ(read("SKILL temp { VAL 2; TYPE LOCAL; }"), 0);
    find_skill("temp")->value = 9;
    load_mode = LOAD_KEEP_LOCAL;
    ASSERT_EQ(read("SKILL temp { VAL 2; TYPE LOCAL; }"), 0);
    EXPECT_EQ(find_skill("temp")->value, 9);
    load_mode = 0;
    ASSERT_EQ(read("SKILL temp { VAL 2; }"), 0);
    EXPECT_EQ(find_skill("temp")->value, 2048);
}

TEST_F(Blocks, FaultsOfTheSmallBlocks) {
    write("day.pcx", pcx_image(4, 4));
    write("plain.tx", tx_image(4, 4));
    std::string ranges;
    for (int i = 0; i < 24; i++) ranges += "RANGE " + std::to_string(2 + i * 10) + ", 2; ";
    const std::string cases[] = {
        "SKILL s { TYPE SUPER; }",
        "SKILL s { VAL fast; }",
        "SKILL s { COLOR 3; }",
        "SKILL s.d { VAL 1; }",
        "SYNONYM s { DEFAULT x; }",
        "SYNONYM s { TYPE SKILL; }",
        "SYNONYM s { TYPE REGION; DEFAULT nowhere; }",
        "STRING t, \"x\"; SYNONYM s { TYPE REGION; DEFAULT t; }",
        "PALETTE p { RANGE 1, 10; }",
        "PALETTE p { RANGE 255, 2; }",
        "PALETTE p { RANGE 16, 1; }",
        "PALETTE p { RANGE 250, 7; }",
        "PALETTE p { " + ranges + "}",
        "PALETTE p { PALFILE <nosuch.pcx>; }",
        "PALETTE p { PALFILE <plain.tx>; }",  // a picture without colours
        "PALETTE p { FLAGS HARD, SOFT; }",
        "ACTION empty { }",
        "ACTION only_a_label { here: }",
    };
    for (const std::string& text : cases) {
        TearDown();
        SetUp();
        write("day.pcx", pcx_image(4, 4));
        write("plain.tx", tx_image(4, 4));
        EXPECT_EQ(read(text + " STRING after, \"x\";"), -2) << text;
        EXPECT_EQ(errors(), 1) << text << listing();
        EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr) << text;
    }
}

TEST_F(Blocks, PaletteRangesAtTheirLimits) {
    ASSERT_EQ(read("PALETTE p { RANGE 2, 2; RANGE 254, 2; RANGE 100, 156; }"), 0) << listing();
    EXPECT_EQ(get<Palette>("p", KIND_PALETTE)->range_count, 3);
    // Twenty-three ranges are the most.
    std::string ranges;
    for (int i = 0; i < 23; i++) ranges += "RANGE " + std::to_string(2 + i * 10) + ", 2; ";
    ASSERT_EQ(read("PALETTE q { " + ranges + "}"), 0) << listing();
    EXPECT_EQ(get<Palette>("q", KIND_PALETTE)->range_count, 23);
}

TEST_F(Blocks, ABlockOpeningInsideABlockIsAnError) {
    EXPECT_EQ(read("SKILL a { VAL 1; SKILL b { VAL 2; } }"), -2);
    EXPECT_EQ(errors(), 1) << listing();
}

TEST_F(Blocks, FieldsOfABlockWithoutAnObjectAreIgnored) {
    // The name is invalid: one report, and the fields have no object to go to.
    EXPECT_EQ(read("PALETTE bad-name { RANGE 16, 16; }"), -2);
    EXPECT_EQ(errors(), 1) << listing();
}

TEST_F(Blocks, ARulesBodyIsHandedOverToo) {
    ASSERT_EQ(read("SKILL a { VAL 0; } SKILL b { VAL 0; } SKILL c { VAL 0; }"
                   "RULES r { a = b + 1; c = 2; } STRING after, \"x\";"),
              0)
        << listing();
    EXPECT_NE(get<Action>("r", KIND_ACTION), nullptr);
    EXPECT_NE(get<ScriptString>("after", KIND_STRING), nullptr);
}

// The compiler sees every statement of a body with its keyword, and the braces.
std::vector<std::string> compiled;
int record_begin(const char* keyword, const char* name) {
    compiled.push_back(std::string("begin ") + keyword + " " + name);
    return 1;
}
int record_statement(const char* keyword) {
    std::string s = keyword;
    if (reader.is_label) s += ":";
    for (; reader.cursor < reader.token_count; reader.cursor++) s += std::string(" ") + reader.tokens[reader.cursor].text;
    compiled.push_back(s);
    return 1;
}
int depth = 0;
void record_open() { depth++; }
int record_close() {
    compiled.push_back("close");
    if (depth == 0) return 0;
    depth--;
    return 1;
}
void record_end() { compiled.push_back("end"); }

TEST_F(Blocks, TheActionCompilerReceivesTheBody) {
    compiled.clear();
    depth = 0;
    definition_ops.begin_action = record_begin;
    definition_ops.compile_statement = record_statement;
    definition_ops.end_action = record_end;
    action_body_hooks.open_block = record_open;
    action_body_hooks.close_block = record_close;
    ASSERT_EQ(read("ACTION go { IF (a > 1) { SET a, 0; } top: WAITT 1; } STRING after, \"x\";"), 0) << listing();
    const std::vector<std::string> expected = {"begin ACTION go", "IF (a > 1)", "SET a 0", "close", "top:",
                                               "WAITT 1", "close", "end"};
    EXPECT_EQ(compiled, expected);
    EXPECT_NE(get<ScriptString>("after", KIND_STRING), nullptr);
}

int failing_begin(const char*, const char*) { return -2; }

TEST_F(Blocks, AnActionThatCannotBeMadeEndsTheReading) {
    definition_ops.begin_action = failing_begin;
    EXPECT_EQ(read("ACTION go { SET a, 1; }"), -2);
}

}  // namespace
