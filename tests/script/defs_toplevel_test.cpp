// The top-level statements, INCLUDE, and a missing ";" from the script to the console, in
// the parser and in the built program.
#include <cstring>
#include <fstream>
#include <iterator>

#include "../common/run_process.h"
#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/file_lookup.h"
#include "platform/key_names.h"
#include "script/front/reader.h"

namespace {

class TopLevel : public DefsTest {};

TEST_F(TopLevel, EveryStatement) {
    copy_fixture("defs_include.wdl");
    ASSERT_EQ(read_fixture("defs_toplevel.wdl"), 0) << listing();
    EXPECT_EQ(errors(), 0) << listing();
    const char* dirs[] = {"gfx", "bmaps", "sounds", "music"};
    for (int i = 0; i < 4; i++) {
        ASSERT_NE(search_dirs.entries[i], nullptr) << i;
        EXPECT_STREQ(search_dirs.entries[i], dirs[i]);
    }
    const WorldScript& w = world_script;
    EXPECT_STREQ(w.map_name, "level1.wmp");
    EXPECT_EQ(w.rarod, 40);
    EXPECT_EQ(w.dither, 1);
    EXPECT_EQ(w.clip_dist, 256512);
    EXPECT_EQ(w.light_angle, 768);
    EXPECT_NE(get<Way>("patrol", KIND_WAY), nullptr);
    EXPECT_STREQ(w.save_dir, "saves");
    EXPECT_STREQ(save_directory(), "saves");
    // The included file was read at the INCLUDE, before the statement after it; its VIDEO
    // came last.
    ScriptString* included = get<ScriptString>("included", KIND_STRING);
    ASSERT_NE(included, nullptr);
    EXPECT_STREQ(included->text, "from the included file");
    EXPECT_NE(get<ScriptString>("after", KIND_STRING), nullptr);
    EXPECT_EQ(w.screen_width, 320);
    EXPECT_EQ(w.screen_height, 240);
    EXPECT_EQ(w.video_mode, 1);
}

TEST_F(TopLevel, VideoModes) {
    struct Case {
        const char* mode;
        int width, height, number;
    };
    const Case cases[] = {
        {"320x200", 320, 200, 13}, {"x320X240", 320, 240, 1},   {"X320x400", 320, 400, 5},
        {"S640x480", 640, 480, 25}, {"s800x600", 800, 600, 259}, {"S1024x768", 800, 600, 259},  // kept
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read(std::string("VIDEO ") + c.mode + ";"), 0) << c.mode;
        EXPECT_EQ(world_script.screen_width, c.width) << c.mode;
        EXPECT_EQ(world_script.screen_height, c.height) << c.mode;
        EXPECT_EQ(world_script.video_mode, c.number) << c.mode;
    }
    EXPECT_EQ(errors(), 0);
}

TEST_F(TopLevel, SavedirAfterDirHasNoEffect) {
    std::snprintf(settings.save_dir, sizeof settings.save_dir, "/games/saves");
    EXPECT_EQ(read("SAVEDIR \"mine\";"), 0);
    EXPECT_STREQ(world_script.save_dir, "");
    EXPECT_STREQ(save_directory(), "/games/saves");
    // Without "-DIR" a folder name of 127 characters is refused.
    settings.save_dir[0] = 0;
    EXPECT_EQ(read("SAVEDIR \"" + std::string(127, 'd') + "\";"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_STREQ(world_script.save_dir, "");
}

TEST_F(TopLevel, MapNamesHaveTwelveCharactersAtMost) {
    EXPECT_EQ(read("MAPFILE abcdefgh.wmp;"), 0);
    EXPECT_STREQ(world_script.map_name, "abcdefgh.wmp");
    EXPECT_EQ(read("MAPFILE abcdefghi.wmp;"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_STREQ(world_script.map_name, "abcdefgh.wmp");
}

TEST_F(TopLevel, AnIncludeThatCannotBeReadIsReported) {
    EXPECT_EQ(read("INCLUDE <nosuch.wdl>;\nSTRING after, \"x\";"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_NE(console().find("cannot read the script file \"nosuch.wdl\""), std::string::npos) << console();
    EXPECT_NE(listing().find("TEST.WDL line 1: INCLUDE <nosuch.wdl>"), std::string::npos) << listing();
    EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr);
}

TEST_F(TopLevel, AnErrorInAnIncludedFileNamesThatFile) {
    write("inner.wdl", "STRING fine, \"ok\";\nSTRING lonely;\n");
    EXPECT_EQ(read("INCLUDE <inner.wdl>;\nSTRING after, \"x\";"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_NE(get<ScriptString>("fine", KIND_STRING), nullptr);
    EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr);
    EXPECT_NE(listing().find("inner.wdl line 2: STRING lonely"), std::string::npos) << listing();
}

TEST_F(TopLevel, AMissingSemicolonStopsTheReadingAndIsExplained) {
    settings.use_err = 1;
    EXPECT_EQ(read_fixture("defs_missing_semicolon.wdl"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_NE(get<ScriptString>("greeting", KIND_STRING), nullptr);
    EXPECT_EQ(get<ScriptString>("farewell", KIND_STRING), nullptr);
    EXPECT_EQ(get<ScriptString>("not_reached", KIND_STRING), nullptr);
    EXPECT_EQ(console(),
              "\r\nWDL error near line 4: STRING farewell, \"goodbye\""
              "\r\n  claimed by nothing: no handler and no top-level keyword answers to \"STRING\""
              "\r\n  ...and it runs past the end of its line: a statement ends at ';' and not at a newline, so this "
              "one has taken the statement that followed it");
    EXPECT_EQ(listing(),
              "\n Error reports, oldest first:"
              "\n  #1 defs_missing_semicolon.wdl line 4: STRING farewell, \"goodbye\""
              "\n      (raised in handle_definition)");
}

TEST_F(TopLevel, TheInternalWdlReadsCleanly) {
    settings.internal_wdl = 1;
    ASSERT_EQ(read_internal_wdl(), 0) << listing();
    EXPECT_EQ(errors(), 0) << listing();
    const char* keys[] = {"F2", "F3", "F5", "F6", "F10", "F12", "TAB", "SZ", "PLUS", "APO", "MINUS"};
    for (const char* k : keys) EXPECT_NE(world_script.key[key_code_of_name(k)], nullptr) << k;
    EXPECT_EQ(world_script.key[key_code_of_name("SZ")], world_script.key[key_code_of_name("PLUS")]);
    EXPECT_EQ(find_skill("_svol_old")->value, 512);
    Synonym* moving = get<Synonym>("_moving", KIND_SYNONYM);
    ASSERT_NE(moving, nullptr);
    EXPECT_EQ(moving->type, KIND_ACTION);
    EXPECT_NE(get<Action>("_tog_mov", KIND_ACTION), nullptr);
}

// The whole path through the built program: the start-up stops with the listing.
TEST(TopLevelProgram, AMissingSemicolonEndToEnd) {
    TempDir dir;
    std::ifstream in(std::string(DRAVO_SOURCE_DIR) + "/tests/script/data/defs_missing_semicolon.wdl");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    dir.write("FIXTURE.WDL", text);
    ProcessResult r =
        run_process(std::string(DRAVO_BUILD_DIR) + "/dravo", {"-FRAMES1", "-OT", "-WDLERR", "fixture"}, dir.path);
    EXPECT_NE(r.status, 0) << r.output;
    const char* expected[] = {
        "\r\nWDL error near line 4: STRING farewell, \"goodbye\"",
        "\r\n  claimed by nothing: no handler and no top-level keyword answers to \"STRING\"",
        "\r\n  ...and it runs past the end of its line: a statement ends at ';' and not at a newline",
        "\n  #1 fixture.WDL line 4: STRING farewell, \"goodbye\"",
        "\n1 Errors - ",
    };
    size_t at = 0;
    for (const char* e : expected) {
        size_t found = r.output.find(e, at);
        EXPECT_NE(found, std::string::npos) << e << "\n--- output:\n" << r.output;
        if (found != std::string::npos) at = found;
    }
    // Without -WDLERR the listing stays, the explanations go.
    ProcessResult quiet = run_process(std::string(DRAVO_BUILD_DIR) + "/dravo", {"-FRAMES1", "-OT", "fixture"}, dir.path);
    EXPECT_NE(quiet.status, 0);
    EXPECT_EQ(quiet.output.find("claimed by nothing"), std::string::npos) << quiet.output;
    EXPECT_NE(quiet.output.find("#1 fixture.WDL line 4: STRING farewell"), std::string::npos) << quiet.output;
}

}  // namespace
