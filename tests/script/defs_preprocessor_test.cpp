// The preprocessor in front of the definitions: defines as numbers, names and strings,
// conditional sections, command-line defines; and the faults of the reader and the
// catalogue as the definitions meet them, with their exact listings.
#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"

namespace {

class Preprocessor : public DefsTest {};

// 64 conditions inside one another: one more than the reader keeps.
const char* nested_conditions() {
    static std::string text;
    text.clear();
    for (int i = 0; i < 64; i++) text += "ifdef x;\n";
    return text.c_str();
}

TEST_F(Preprocessor, DefinesAndSections) {
    ASSERT_EQ(read_fixture("defs_preprocessor.wdl"), 0) << listing();
    Skill* speed = find_skill("speed");  // the skill's name came from a define
    ASSERT_NE(speed, nullptr);
    EXPECT_EQ(speed->value, 64 * 1024);
    EXPECT_STREQ(get<ScriptString>("message", KIND_STRING)->text, "hello there");
    EXPECT_STREQ(get<ScriptString>("mode", KIND_STRING)->text, "quick");
    EXPECT_EQ(find_skill("difficulty")->value, 1024);
    EXPECT_EQ(get<ScriptString>("nested", KIND_STRING), nullptr);
    EXPECT_STREQ(get<ScriptString>("width_text", KIND_STRING)->text, "WIDTH");  // after UNDEF
    EXPECT_EQ(errors(), 0);
}

TEST_F(Preprocessor, CommandLineDefinesWin) {
    define("HARD", "HARD", TOKEN_WORD, DEFINE_COMMAND_LINE);
    define("WIDTH", "8", TOKEN_WORD, DEFINE_COMMAND_LINE);
    ASSERT_EQ(read_fixture("defs_preprocessor.wdl"), 0) << listing();
    EXPECT_EQ(find_skill("difficulty")->value, 3 * 1024);
    EXPECT_EQ(find_skill("speed")->value, 8 * 1024);  // the script's DEFINE WIDTH was ignored
}

// Faults of the reader, the catalogue and the definitions, each with its listing.
TEST_F(Preprocessor, ListingsOfFaults) {
    struct Case {
        const char* text;
        const char* report;  // the one report: where, and the statement as it was read
        const char* raised;  // the function that raised it
    };
    const Case cases[] = {
        {"endif;", "TEST.WDL line 1: endif", "preprocess"},
        {nested_conditions(), "TEST.WDL line 64: ifdef x", "preprocess"},
        {"SKILL a { VAL 1 }", "TEST.WDL line 1: VAL 1 ", "close_brace"},  // the ";" missing before "}"
        {"SKILL a { VAL 1.2.3; }", "TEST.WDL line 1: VAL 1.2.3", "read_value"},
        {"\n\nSKILL a { MAX; }", "TEST.WDL line 3: MAX", "require_token"},
        {"STRING this_name_is_longer_than_thirty, \"x\";",
         "TEST.WDL line 1: STRING this_name_is_longer_than_thirty, \"x\"", "declare_name"},
        {"STRING bad-name, \"x\";", "TEST.WDL line 1: STRING bad-name, \"x\"", "declare_name"},
        {"SKILL twice { VAL 1; }\nTEXTURE twice { BMAPS NULL; }", "TEST.WDL line 2: TEXTURE twice ", "declare_name"},
        {"NONSENSE here;", "TEST.WDL line 1: NONSENSE here", "handle_definition"},
        {"TEXTURE t {\n  BMAPS NULL;\n  WIDTH 3;\n}", "TEST.WDL line 3: WIDTH 3", "texture_field"},
        {"TEXTURE t { BMAPS missing; }", "TEST.WDL line 1: BMAPS missing", "take_object"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read(c.text), -2) << c.text;
        EXPECT_EQ(errors(), 1) << c.text;
        EXPECT_EQ(listing(), std::string("\n Error reports, oldest first:\n  #1 ") + c.report + "\n      (raised in " +
                                 c.raised + ")")
            << c.text;
    }
}

TEST_F(Preprocessor, ALongNameWithCompat368) {
    settings.compat368 = 1;
    EXPECT_EQ(read("STRING this_name_is_longer_than_thirty, \"x\";"), 0) << listing();
    EXPECT_NE(get<ScriptString>("this_name_is_longer_than_thirty", KIND_STRING), nullptr);
}

TEST_F(Preprocessor, WithV308ASkillAndAnActionShareAName) {
    settings.v308 = 1;
    ASSERT_EQ(read("SKILL both { VAL 2; } IF_START both;"), 0) << listing();
    EXPECT_EQ(world_script.if_start, get<Action>("both", KIND_ACTION));
    EXPECT_EQ(find_skill("both")->value, 2048);
}

TEST_F(Preprocessor, WdlerrExplainsEveryReport) {
    settings.use_err = 1;
    EXPECT_EQ(read("STRING a, \"x\";\nTEXTURE t { BMAPS missing; }"), -2);
    EXPECT_NE(console().find("\r\nWDL error near line 2: BMAPS missing"), std::string::npos)
        << console();
}

}  // namespace
