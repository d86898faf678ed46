// File lookup: DOS names resolved in a Linux game folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "archive_fixture.h"
#include "engine/errors.h"
#include "resources/file_lookup.h"

namespace {

struct LookupCase {
    const char* what;
    std::vector<std::string> files;  // created in the game folder (folders on the way too)
    const char* name;                // as a script gives it
    const char* opens;               // the path opened, or null when not found
};

const LookupCase lookup_cases[] = {
    {"exact name", {"WALL1.PCX"}, "WALL1.PCX", "WALL1.PCX"},
    {"other case", {"wall1.pcx"}, "WALL1.PCX", "wall1.pcx"},
    {"backslash directory", {"BMAPS/wall1.pcx"}, "BMAPS\\WALL1.PCX", "BMAPS/wall1.pcx"},
    {"case twins are ambiguous", {"BMAPS/wall1.pcx", "BMAPS/Wall1.PCX"}, "BMAPS\\WALL1.PCX", nullptr},
    {"folders of another case", {"bmaps/wall1.pcx"}, "BMAPS\\WALL1.PCX", "bmaps/wall1.pcx"},
    {"nested folders by backslashes", {"art/Walls/w1.pcx"}, "ART\\WALLS\\W1.PCX", "art/Walls/w1.pcx"},
    {"folder twins are ambiguous", {"art/w1.pcx", "ART/w1.pcx"}, "Art\\W1.PCX", nullptr},
    {"an exact folder wins over its twin", {"art/w1.pcx", "ART/w1.pcx"}, "ART\\W1.PCX", "ART/w1.pcx"},
    {"short name of a long name", {"LongNamed.pcx"}, "LONGNA~1.PCX", "LongNamed.pcx"},
    {"two long names are ambiguous", {"LongNamed.pcx", "LongNameTwo.pcx"}, "LONGNA~1.PCX", nullptr},
    {"the digits are not compared", {"LongNamed.pcx"}, "LONGNA~7.PCX", "LongNamed.pcx"},
    {"exact entry of the short name", {"LONGNA~1.PCX", "LongNamed.pcx"}, "LONGNA~1.PCX", "LONGNA~1.PCX"},
    {"short name entry in other case", {"longna~1.pcx"}, "LONGNA~1.PCX", "longna~1.pcx"},
    {"non-digit after the tilde: no pattern", {"ABlongname.pcx"}, "AB~1X.PCX", nullptr},
    {"empty prefix: no pattern", {"x.pcx", "Long Name.pcx"}, "~1.PCX", nullptr},
    {"16-character prefix: no pattern", {"ABCDEFGHIJKLMNOPQRS.PCX"}, "ABCDEFGHIJKLMNOP~1.PCX", nullptr},
    {"15-character prefix", {"ABCDEFGHIJKLMNOPQRS.PCX"}, "ABCDEFGHIJKLMNO~1.PCX", "ABCDEFGHIJKLMNOPQRS.PCX"},
    {"an 8.3 entry never matches a pattern", {"LONGNAME.PCX"}, "LONGNA~1.PCX", nullptr},
    {"nor does one in other case", {"LongName.pcx"}, "LONGNA~1.PCX", nullptr},
    {"a space makes a long name", {"Longna me.pcx"}, "LONGNA~1.PCX", "Longna me.pcx"},
    {"two dots make a long name", {"longna.b.pcx"}, "LONGNA~1.PCX", "longna.b.pcx"},
    {"the extension must agree", {"LongName.bmp"}, "LONGNA~1.PCX", nullptr},
    {"no extension: no pattern", {"LongNameFile"}, "LONGNA~1", nullptr},
    {"short name in a folder", {"BMAPS/LongWallName.pcx"}, "BMAPS\\LONGWA~1.PCX", "BMAPS/LongWallName.pcx"},
    {"empty base name", {"bmaps/wall1.pcx"}, "bmaps/", nullptr},
    {"empty name", {"x.pcx"}, "", nullptr},
    {"a directory is not a file", {"BMAPS/wall1.pcx"}, "bmaps", nullptr},
    {"missing folder", {"x.pcx"}, "NOPE\\X.PCX", nullptr},
};

class LookupTable : public testing::TestWithParam<LookupCase> {};

TEST_P(LookupTable, OpensTheOneMatchOrNothing) {
    const LookupCase& c = GetParam();
    TempGameFolder folder;
    for (const std::string& f : c.files) write_file(f, bytes_of("contents of " + f));
    std::vector<std::string> before = list_tree(folder.path);

    char actual[lookup_path_max] = "untouched";
    FILE* file = open_game_file(c.name, actual, sizeof actual);
    char found[lookup_path_max];
    bool searched = find_game_file(c.name, found, sizeof found);
    if (c.opens) {
        ASSERT_NE(file, nullptr) << c.what;
        EXPECT_STREQ(actual, c.opens) << c.what;
        char head[64] = {};
        size_t n = std::fread(head, 1, sizeof head - 1, file);
        EXPECT_EQ(std::string(head, n), "contents of " + std::string(c.opens)) << c.what;
        std::fclose(file);
        EXPECT_TRUE(searched);
        EXPECT_STREQ(found, c.opens);
    } else {
        EXPECT_EQ(file, nullptr) << c.what;
        if (file) std::fclose(file);
        EXPECT_STREQ(actual, "untouched");
        EXPECT_FALSE(searched);
        EXPECT_STREQ(found, c.name) << "a failed search hands the name back unchanged";
    }
    EXPECT_EQ(list_tree(folder.path), before) << "a lookup never writes to disk";
}

INSTANTIATE_TEST_SUITE_P(FileLookup, LookupTable, testing::ValuesIn(lookup_cases));

TEST(FileLookup, RootedNameScansTheRoot) {
    TempGameFolder folder;
    write_file("sub/file.TXT", bytes_of("x"));
    std::string name = folder.path + "/sub/FILE.txt";
    char actual[lookup_path_max];
    FILE* f = open_game_file(name.c_str(), actual, sizeof actual);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_EQ(std::string(actual), folder.path + "/sub/file.TXT");
}

TEST(FileLookup, ActualPathIsCutToTheCallersBuffer) {
    TempGameFolder folder;
    write_file("BMAPS/wall1.pcx", bytes_of("x"));
    char actual[6];
    FILE* f = open_game_file("BMAPS\\WALL1.PCX", actual, sizeof actual);
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    EXPECT_STREQ(actual, "BMAPS");
}

TEST(FileLookup, DirectoryPartOver511BytesIsNotFound) {
    TempGameFolder folder;
    std::string dir(511, 'd');
    std::string name = dir + "\\X.PCX";
    EXPECT_EQ(open_game_file(name.c_str()), nullptr);
    char found[lookup_path_max];
    EXPECT_FALSE(find_game_file(name.c_str(), found, sizeof found));
}

struct SearchCase {
    const char* what;
    std::vector<std::string> dirs;
    std::vector<std::string> files;
    const char* name;
    const char* opens;
};

const SearchCase search_cases[] = {
    {"the name itself first", {"BMAPS"}, {"wall.pcx", "BMAPS/wall.pcx"}, "WALL.PCX", "wall.pcx"},
    {"below a relative directory", {"BMAPS"}, {"BMAPS/wall.pcx"}, "WALL.PCX", "BMAPS/wall.pcx"},
    {"directories in the order added", {"ONE", "TWO"}, {"ONE/wall.pcx", "TWO/wall.pcx"}, "WALL.PCX", "ONE/wall.pcx"},
    {"a later directory", {"ONE", "TWO"}, {"TWO/wall.pcx"}, "WALL.PCX", "TWO/wall.pcx"},
    {"drive path, longest remainder first", {"C:\\GAMES\\DUNGEON\\BMAPS"},
     {"GAMES/DUNGEON/BMAPS/wall.pcx", "DUNGEON/BMAPS/wall.pcx", "BMAPS/wall.pcx"}, "WALL.PCX",
     "GAMES/DUNGEON/BMAPS/wall.pcx"},
    {"drive path, middle remainder", {"C:\\GAMES\\DUNGEON\\BMAPS"},
     {"DUNGEON/BMAPS/wall.pcx", "BMAPS/wall.pcx"}, "WALL.PCX", "DUNGEON/BMAPS/wall.pcx"},
    {"drive path, last component", {"C:\\GAMES\\DUNGEON\\BMAPS"}, {"BMAPS/wall.pcx"}, "WALL.PCX", "BMAPS/wall.pcx"},
    {"rooted by a backslash", {"\\DATA\\SOUNDS"}, {"SOUNDS/boom.wav"}, "BOOM.WAV", "SOUNDS/boom.wav"},
    {"drive root adds no remainder", {"C:\\"}, {"BMAPS/wall.pcx"}, "WALL.PCX", nullptr},
    {"short name below a search directory", {"C:\\GAME\\ART"}, {"ART/LongNamed.pcx"}, "LONGNA~1.PCX", "ART/LongNamed.pcx"},
    {"not anywhere", {"BMAPS", "C:\\X\\Y"}, {"Y/other.pcx"}, "WALL.PCX", nullptr},
};

class SearchTable : public testing::TestWithParam<SearchCase> {};

TEST_P(SearchTable, FirstTryThatOpensWins) {
    const SearchCase& c = GetParam();
    TempGameFolder folder;
    for (const std::string& f : c.files) write_file(f, bytes_of(f));
    clear_search_dirs();
    for (const std::string& d : c.dirs) ASSERT_TRUE(add_search_dir(d.c_str()));
    char found[lookup_path_max];
    bool ok = find_game_file(c.name, found, sizeof found);
    clear_search_dirs();
    if (c.opens) {
        EXPECT_TRUE(ok) << c.what;
        EXPECT_STREQ(found, c.opens) << c.what;
    } else {
        EXPECT_FALSE(ok) << c.what;
        EXPECT_STREQ(found, c.name) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(FileLookup, SearchTable, testing::ValuesIn(search_cases));

TEST(FileLookup, FoundPathThatDoesNotFitIsNotFound) {
    TempGameFolder folder;
    write_file("BMAPS/wall.pcx", bytes_of("x"));
    clear_search_dirs();
    add_search_dir("BMAPS");
    char small[10];  // "BMAPS/wall.pcx" needs 15
    EXPECT_FALSE(find_game_file("WALL.PCX", small, sizeof small));
    EXPECT_STREQ(small, "WALL.PCX");
    clear_search_dirs();
}

TEST(FileLookup, JoinedNameOver511BytesIsSkipped) {
    TempGameFolder folder;
    // A 505-byte directory "x/x/.../x": joined with \WALL.PCX it needs 514 bytes. Cut to
    // 511 it would read "...x\WALL." and open this other file.
    std::string dir = "x";
    while (dir.size() < 505) dir += "/x";
    ASSERT_EQ(dir.size(), 505u);
    write_file(dir + "/WALL.", bytes_of("not this one"));
    clear_search_dirs();
    add_search_dir(dir.c_str());
    char found[lookup_path_max];
    EXPECT_FALSE(find_game_file("WALL.PCX", found, sizeof found));
    clear_search_dirs();
}

TEST(FileLookup, SearchDirectoriesFoldCaseAndStopAtFifteen) {
    clear_search_dirs();
    clear_errors();
    int errors = error_store.error_count;
    EXPECT_TRUE(add_search_dir("BMAPS"));
    EXPECT_TRUE(add_search_dir("bmaps"));
    EXPECT_STREQ(search_dirs.entries[0], "BMAPS");
    EXPECT_EQ(search_dirs.entries[1], nullptr);
    for (int i = 1; i < 15; i++) EXPECT_TRUE(add_search_dir(("DIR" + std::to_string(i)).c_str()));
    EXPECT_EQ(error_store.error_count, errors);
    EXPECT_FALSE(add_search_dir("SIXTEEN"));
    EXPECT_EQ(error_store.error_count, errors + 1) << "the sixteenth directory is a script error";
    EXPECT_TRUE(add_search_dir("dir7")) << "one already present is still fine";
    EXPECT_STREQ(search_dirs.entries[14], "DIR14");
    EXPECT_EQ(search_dirs.entries[15], nullptr);
    clear_search_dirs();
    EXPECT_EQ(search_dirs.entries[0], nullptr);
    clear_errors();
}

TEST(FileLookup, ReadWholeFileAddsTwoZeroBytes) {
    TempGameFolder folder;
    write_file("Script.Wdl", bytes_of("SKILL x { VAL 1; }"));
    write_file("empty.txt", {});
    int32_t size = -1;
    uint8_t* data = read_whole_file("SCRIPT.WDL", &size);
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(size, 18);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(data)), "SKILL x { VAL 1; }");
    EXPECT_EQ(data[18], 0);
    EXPECT_EQ(data[19], 0);
    std::free(data);
    size = -1;
    EXPECT_EQ(read_whole_file("empty.txt", &size), nullptr);
    EXPECT_EQ(size, 0);
    size = -1;
    EXPECT_EQ(read_whole_file("missing.txt", &size), nullptr);
    EXPECT_EQ(size, 0);
}

TEST(FileLookup, EightThreeRule) {
    struct { const char* name; bool valid; } cases[] = {
        {"WALL1.PCX", true}, {"wall1.pcx", true}, {"LONGNAME.PCX", true}, {"README", true},
        {"A.B", true}, {"LONGNA~1.PCX", true}, {"LONGNAMES.PCX", false}, {"WALL.PCXX", false},
        {"WALL.", false}, {".PCX", false}, {"", false}, {"A.B.C", false}, {"LONG NAME.PCX", false},
        {"A+B.PCX", false}, {"A,B.PCX", false}, {"A;B", false}, {"A=B", false}, {"A[B]", false},
    };
    for (auto& c : cases) EXPECT_EQ(is_valid_83_name(c.name), c.valid) << c.name;
}

}  // namespace
