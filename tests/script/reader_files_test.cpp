// Reading files: nested reading for INCLUDE (line numbers and file names in reports, the
// depth limit), files that cannot be read, the map-name reading and the internal WDL.
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/settings.h"
#include "reader_fixture.h"
#include "script/front/reader.h"

using Tokens = std::vector<std::string>;

namespace {

struct Seen {
    std::string keyword;
    std::string file;
    int line;
};
std::vector<Seen> seen;

int note(const char* keyword) {
    seen.push_back({keyword, reader.file_name, reader.line_number});
    while (next_token()) {
    }
    return 1;
}

int include(const char*) {
    const char* name = nullptr;
    if (require_token(&name) < 0) return -1;
    read_file(name);
    return 1;
}

int fail(const char*) {
    reader_report_error();
    return -1;
}

}  // namespace

class ReaderFiles : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        seen.clear();
        folder = make_temp_folder();
        ASSERT_FALSE(folder.empty());
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof here), nullptr);
        old_dir = here;
        ASSERT_EQ(chdir(folder.c_str()), 0);
        add_statement_handler(TABLE_LINE_DEFINITIONS, "INCLUDE", include);  // ahead of the catch-all
        add_statement_handler(TABLE_LINE_DEFINITIONS, "FAIL", fail);
        add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, note);
    }
    void TearDown() override {
        if (!old_dir.empty()) {
            EXPECT_EQ(chdir(old_dir.c_str()), 0);
        }
        remove_folder(folder);
        ReaderTest::TearDown();
    }
    std::string folder, old_dir;
};

TEST_F(ReaderFiles, IncludeReadsTheFileInPlace) {
    write_file("main.wdl", "FIRST;\n\nINCLUDE <sub.wdl>;\nLAST;\n");
    write_file("sub.wdl", "\nINNER1;\nINNER2");  // the last statement has no ";": dropped at the end
    EXPECT_EQ(read_file("main.wdl"), 0);
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].keyword, "FIRST");
    EXPECT_EQ(seen[0].file, "main.wdl");
    EXPECT_EQ(seen[0].line, 1);
    EXPECT_EQ(seen[1].keyword, "INNER1");
    EXPECT_EQ(seen[1].file, "sub.wdl");
    EXPECT_EQ(seen[1].line, 2);
    EXPECT_EQ(seen[2].keyword, "LAST");
    EXPECT_EQ(seen[2].file, "main.wdl");
    EXPECT_EQ(seen[2].line, 4);
    EXPECT_EQ(error_store.error_count, 0);
    EXPECT_EQ(error_context.script_file, nullptr);
    EXPECT_EQ(reader.include_depth, 0);
}

TEST_F(ReaderFiles, ErrorsInIncludedFilesNameThatFile) {
    write_file("main.wdl", "A;\nINCLUDE <sub.wdl>;\nB;\n");
    write_file("sub.wdl", "X;\n  FAIL here;\nY;\n");
    EXPECT_EQ(read_file("main.wdl"), -2);
    ASSERT_EQ(seen.size(), 2u);  // A and X; the reading stops after the error everywhere
    EXPECT_NE(listing().find("\n  #1 sub.wdl line 2: FAIL here"), std::string::npos) << listing();
}

TEST_F(ReaderFiles, AMissingIncludeIsReportedWithItsName) {
    write_file("main.wdl", "A;\nINCLUDE <nothere.wdl>;\nB;\n");
    EXPECT_EQ(read_file("main.wdl"), -2);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_NE(console().find("cannot read the script file \"nothere.wdl\""), std::string::npos) << console();
    EXPECT_NE(listing().find("\n  #1 main.wdl line 2: INCLUDE <nothere.wdl>"), std::string::npos) << listing();
}

TEST_F(ReaderFiles, AMissingScriptIsReportedWithItsName) {
    EXPECT_EQ(read_file("GAME.WDL"), -1);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_NE(console().find("cannot read the script file \"GAME.WDL\""), std::string::npos) << console();
    EXPECT_NE(listing().find("\n  #1 GAME.WDL line 0: (the file cannot be read)"), std::string::npos) << listing();
    EXPECT_EQ(error_context.script_file, nullptr);
}

TEST_F(ReaderFiles, IncludesStopAtDepth32) {
    settings.use_err = 1;
    write_file("self.wdl", "LINE;\nINCLUDE <self.wdl>;\n");
    EXPECT_EQ(read_file("self.wdl"), -2);
    EXPECT_EQ(seen.size(), size_t(max_include_depth));
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_NE(console().find("included too deeply: 32 script files"), std::string::npos) << console();
    EXPECT_NE(listing().find("\n  #1 self.wdl line 2: INCLUDE <self.wdl>"), std::string::npos) << listing();
    EXPECT_EQ(reader.include_depth, 0);
}

TEST_F(ReaderFiles, MapFileName) {
    struct Case {
        const char* text;
        int result;
        const char* name;
        int errors;
    };
    const Case cases[] = {
        {"PATH x;\nMAPFILE <level1.wmp>;\nMAPFILE <other.wmp>;", 1, "level1.wmp", 0},
        {"mapfile LEVEL1.WMP;", 1, "LEVEL1.WMP", 0},
        {"ifdef NOPE; MAPFILE <a.wmp>; ifelse; MAPFILE <b.wmp>; endif;", 1, "b.wmp", 0},
        {"DEFINE lvl, dungeon.wmp; MAPFILE lvl;", 1, "dungeon.wmp", 0},
        {"ifdef CMD; MAPFILE <cmd.wmp>; endif; MAPFILE <plain.wmp>;", 1, "cmd.wmp", 0},
        // Blocks, nested blocks and labels are passed over without complaint.
        {"SKILL s { VAL 1; }\nACTION a { IF (x > 1) { top: NOP; } }\nMAPFILE C:m.wmp;", 1, "C:m.wmp", 0},
        {"MAPFILE <averyverylongname.wmp>;", 255, "", 1},
        {"MAPFILE;", 255, "", 1},
        {"PATH x;", 0, "", 0},
    };
    for (const Case& c : cases) {
        clear_errors();
        drop_defines(1);
        define("CMD", "CMD", TOKEN_WORD, DEFINE_COMMAND_LINE);
        define("kept", "1", TOKEN_WORD, DEFINE_SCRIPT);
        write_file("game.wdl", c.text);
        char name[13] = "";
        EXPECT_EQ(read_mapfile_name("game.wdl", name), c.result) << c.text;
        EXPECT_STREQ(name, c.name) << c.text;
        EXPECT_EQ(error_store.error_count, c.errors) << c.text;
        // The defines of this reading are gone, the ones from before are back.
        EXPECT_FALSE(is_defined("lvl")) << c.text;
        EXPECT_TRUE(is_defined("kept")) << c.text;
        EXPECT_TRUE(is_defined("CMD")) << c.text;
        EXPECT_TRUE(seen.empty()) << c.text;  // no handler is offered anything
    }
    // The script's own defines are set aside while it is read.
    clear_errors();
    define("lvl", "outer.wmp");
    write_file("game.wdl", "ifdef lvl; MAPFILE <wrong.wmp>; endif; MAPFILE <right.wmp>;");
    char name[13] = "";
    EXPECT_EQ(read_mapfile_name("game.wdl", name), 1);
    EXPECT_STREQ(name, "right.wmp");
    EXPECT_STREQ(find_define("lvl")->value, "outer.wmp");

    clear_errors();
    EXPECT_EQ(read_mapfile_name("missing.wdl", name), -1);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_NE(listing().find("missing.wdl"), std::string::npos);
}

TEST_F(ReaderFiles, ScriptFilesInTheDataFolder) {
    std::string path = std::string(DRAVO_SOURCE_DIR) + "/tests/script/data";
    ASSERT_EQ(chdir(path.c_str()), 0);
    EXPECT_EQ(read_file("reader_sample.wdl"), 0);
    std::vector<std::string> keywords;
    for (const Seen& s : seen) keywords.push_back(s.keyword + "@" + std::to_string(s.line));
    EXPECT_EQ(keywords, (std::vector<std::string>{"BMAP@6", "STRING@9", "SOUND@14", "INNER@2", "AFTER@18"}));
    EXPECT_EQ(error_store.error_count, 0) << listing();
}

// ---- Internal WDL ---------------------------------------------------------------------

namespace {

std::vector<std::string> keys, objects;
int bodies = 0;

int key_handler(const char* keyword) {
    if (std::strncmp(keyword, "IF_", 3) != 0) return 0;
    const char* action = next_token();
    keys.push_back(std::string(keyword) + "=" + (action ? action : ""));
    return 1;
}
int body_field(const char*) {
    while (next_token()) {
    }
    return 1;
}
void body_end() { bodies++; }
int block_handler(const char* keyword) {
    const char* name = next_token();
    objects.push_back(std::string(keyword) + " " + (name ? name : ""));
    enter_block(std::strcmp(keyword, "ACTION") == 0 ? READER_ACTION_BODY : 2, body_field, body_end);
    return 1;
}
int depth = 0;
void open_nested() { depth++; }
int close_nested() {
    if (depth == 0) return 0;
    depth--;
    return 1;
}

}  // namespace

TEST_F(ReaderFiles, InternalWdlDefinesTheDefaultKeys) {
    clear_statement_handlers();
    keys.clear();
    objects.clear();
    bodies = 0;
    depth = 0;
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, key_handler);
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, block_handler);
    action_body_hooks.open_block = open_nested;
    action_body_hooks.close_block = close_nested;
    settings.internal_wdl = 1;
    std::snprintf(settings.wdl_name, sizeof settings.wdl_name, "GAME.WDL");
    EXPECT_EQ(read_internal_wdl(), 0);
    EXPECT_EQ(error_store.error_count, 0) << listing();
    EXPECT_EQ(keys, (std::vector<std::string>{"IF_F2=_save_test", "IF_F3=_load_test", "IF_F5=_blur_step",
                                              "IF_F6=_screenshot", "IF_F10=_quit", "IF_F12=_sound_cycle",
                                              "IF_TAB=_map_toggle", "IF_SZ=_map_zoom_in", "IF_PLUS=_map_zoom_in",
                                              "IF_APO=_map_zoom_out", "IF_MINUS=_map_zoom_out"}));
    EXPECT_EQ(objects, (std::vector<std::string>{
                           "SKILL _force", "SKILL _shot_no", "SKILL _svol_old", "SKILL _mvol_old",
                           "SYNONYM _moving", "ACTION _save_test", "ACTION _load_test", "ACTION _blur_step",
                           "ACTION _screenshot", "ACTION _quit", "ACTION _sound_cycle", "ACTION _map_toggle",
                           "ACTION _map_zoom_in", "ACTION _map_zoom_out", "ACTION _move_straight",
                           "ACTION _tog_mov"}));
    EXPECT_EQ(bodies, int(objects.size()));  // every block closed at its own brace
    EXPECT_EQ(depth, 0);
    EXPECT_STREQ(settings.wdl_name, "GAME.WDL");
    EXPECT_EQ(error_context.script_file, nullptr);
    // Every name the text makes begins with "_".
    for (const std::string& o : objects) EXPECT_EQ(o[o.find(' ') + 1], '_') << o;
}

TEST_F(ReaderFiles, InternalWdlErrorsNameIt) {
    clear_statement_handlers();  // nothing claims anything: the first statement is an error
    settings.internal_wdl = 1;
    EXPECT_EQ(read_internal_wdl(), -2);
    EXPECT_NE(listing().find("\n  #1 internal WDL line 4: SKILL _force"), std::string::npos) << listing();
}

TEST_F(ReaderFiles, InternalWdlOffReadsNothing) {
    settings.internal_wdl = 0;
    EXPECT_EQ(read_internal_wdl(), 0);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(error_store.error_count, 0);
}
