// The print file of PRINTFILE, PRINT_STRING and PRINT_VALUE, and the save-file name rule
// it shares with saved games and screenshots: names, numbers, folders, and names that try
// to leave the folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/settings.h"
#include "script/exec/print_file.h"
#include "tests/common/run_process.h"
#include "tests/script/exec_fixture.h"
#include "world/save_path.h"

namespace {

class ExecPrint : public ExecTest {
protected:
    void SetUp() override {
        ExecTest::SetUp();
        std::snprintf(settings.save_dir, sizeof settings.save_dir, "%s", dir.path.c_str());
        skill("v", 0);
        string("nl", "\n");
    }
    std::string printed(const char* name) {
        close_print_file();
        return dir.read(name);
    }
    TempDir dir;
};

TEST_F(ExecPrint, ValuesAndTextsGoToTheNamedFile) {
    skill("v", 2.5);
    run("PRINTFILE \"log\", 3; PRINT_VALUE v; PRINT_STRING nl; PRINT_STRING \"done\"; RULE v = -1 / 3; PRINT_VALUE v;");
    EXPECT_EQ(printed("log3.TXT"), "2.500\ndone-0.333");
}

TEST_F(ExecPrint, WithoutPrintfileTheFileIsPrintZero) {
    run("PRINT_STRING \"hello\";");
    EXPECT_TRUE(print_file_open());
    EXPECT_EQ(printed("print0.TXT"), "hello");
}

TEST_F(ExecPrint, AnEmptyOrLongNameFallsBackToPrintZero) {
    string("empty", "");
    string("long", "a_name_of_many_characters");
    run("PRINTFILE empty, 5; PRINT_STRING \"a\"; PRINTFILE long, 6; PRINT_STRING \"b\";");
    EXPECT_EQ(printed("print0.TXT"), "ab");
}

TEST_F(ExecPrint, AppendModeChoosesAppendingOrWriting) {
    dir.write("keep1.TXT", "old ");
    run("PRINTFILE \"keep\", 1; PRINT_STRING \"new\";");
    EXPECT_EQ(printed("keep1.TXT"), "old new");
    var_set(SLOT_APPEND_MODE, 0);
    run("PRINTFILE \"keep\", 1; PRINT_STRING \"fresh\";", "again");
    EXPECT_EQ(printed("keep1.TXT"), "fresh");
}

TEST_F(ExecPrint, ANextPrintfileClosesTheFirst) {
    run("PRINTFILE \"one\", 0; PRINT_STRING \"1\"; PRINTFILE \"two\", 0; PRINT_STRING \"2\";");
    EXPECT_EQ(dir.read("one0.TXT"), "1");
    EXPECT_EQ(printed("two0.TXT"), "2");
}

struct PathCase {
    const char* name;
    int32_t number;
    const char* file;
};

TEST_F(ExecPrint, TheNameRuleTakesFiveCharactersAndTheNumber) {
    const PathCase cases[] = {
        {"GAME", 3 * 1024, "GAME3.SAV"},
        {"savegame", 12 * 1024, "saveg12.SAV"},
        {"x", -5 * 1024, "x0.SAV"},
        {"x", 5000 * 1024, "x999.SAV"},
        {"x", 1536, "x1.SAV"},
        {"../../etc/passwd", 1024, "_._..1.SAV"},
        {"a/b\\c", 0, "a_b_c0.SAV"},
        {".hid", 0, "_hid0.SAV"},
        {"C:x", 0, "C_x0.SAV"},
    };
    for (const PathCase& c : cases) {
        char path[512];
        ASSERT_EQ(make_save_path(c.name, c.number, true, "SAV", path, sizeof path), 0) << c.name;
        EXPECT_EQ(std::string(path), dir.path + "/" + c.file) << c.name;
    }
}

TEST_F(ExecPrint, SaveFoldersRelativeAbsoluteAndNone) {
    char path[512];
    // An absolute folder is used as given and made when missing.
    std::string sub = dir.path + "/saves";
    std::snprintf(settings.save_dir, sizeof settings.save_dir, "%s", sub.c_str());
    ASSERT_EQ(make_save_path("GAME", 1024, true, "SAV", path, sizeof path), 0);
    EXPECT_EQ(std::string(path), sub + "/GAME1.SAV");
    struct stat st;
    EXPECT_EQ(stat(sub.c_str(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    // A relative folder lies in the working folder.
    char cwd[1024];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(dir.path.c_str()), 0);
    std::snprintf(settings.save_dir, sizeof settings.save_dir, "%s", "rel");
    ASSERT_EQ(make_save_path("GAME", 0, true, "SAV", path, sizeof path), 0);
    char here[1024];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    EXPECT_EQ(std::string(path), std::string(here) + "/rel/GAME0.SAV");
    // Without a folder the name alone, relative to the working folder.
    settings.save_dir[0] = 0;
    ASSERT_EQ(make_save_path("GAME", 0, true, "SAV", path, sizeof path), 0);
    EXPECT_STREQ(path, "GAME0.SAV");
    ASSERT_EQ(chdir(cwd), 0);
    // A folder that cannot be made.
    std::snprintf(settings.save_dir, sizeof settings.save_dir, "%s", (dir.path + "/no/such/deep").c_str());
    EXPECT_EQ(make_save_path("GAME", 0, true, "SAV", path, sizeof path), -1);
}

TEST_F(ExecPrint, ReadingNeedsAFileWithContents) {
    char path[512];
    EXPECT_EQ(make_save_path("GAME", 0, false, "SAV", path, sizeof path), -2);
    dir.write("GAME0.SAV", "");
    EXPECT_EQ(make_save_path("GAME", 0, false, "SAV", path, sizeof path), -2);
    dir.write("GAME0.SAV", "data");
    EXPECT_EQ(make_save_path("GAME", 0, false, "SAV", path, sizeof path), 0);
    EXPECT_EQ(build_save_path("GAME", 0, false, "SAV", path, sizeof path), 0);
}

}  // namespace
