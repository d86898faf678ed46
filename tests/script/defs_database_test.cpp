// DATABASE and DATAVIEW: columns, the data file read into rows (each in its own scope),
// the reports of a faulty line, and the selection mask of a data view.
#include <fstream>
#include <sstream>

#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"

namespace {

class Databases : public DefsTest {
protected:
    void SetUp() override {
        DefsTest::SetUp();
        write("sign.tx", tx_image(4, 2));
        write("house.wdl", "MAPFILE house.wmp;\n");
    }
    void write_rows(const std::string& rows) { write("rows.txt", rows); }
    int read_database(const std::string& columns = "BUILDING; POS_X; POS_Y; STRING title;") {
        return read("DATABASE d { DATAFILE <rows.txt>; " + columns + " }\nSTRING after, \"x\";");
    }
};

TEST_F(Databases, RowsFromTheDataFile) {
    std::ifstream in(std::string(DRAVO_SOURCE_DIR) + "/tests/script/data/defs_rows.txt", std::ios::binary);
    std::stringstream rows;
    rows << in.rdbuf();
    write_rows(rows.str());
    ASSERT_EQ(read_fixture("defs_database.wdl"), 0) << listing() << console();
    Database* d = get<Database>("shops", KIND_DATABASE);
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->data_file, "rows.txt");
    EXPECT_EQ(d->separator, ';');
    ASSERT_EQ(d->column_count, 6);
    const int32_t kinds[6] = {COLUMN_BUILDING, COLUMN_POS_X, COLUMN_POS_Y, COLUMN_STRING, COLUMN_BMAP, COLUMN_SOUND};
    const char* names[6] = {"BUILDING", "POS_X", "POS_Y", "title", "sign", "bell"};
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(d->columns[i].kind, kinds[i]) << i;
        EXPECT_STREQ(d->columns[i].name, names[i]) << i;
        EXPECT_EQ(d->columns[i].index, i);
    }
    ASSERT_EQ(d->row_count, 2);  // the empty lines are no rows
    DataRow* first = d->rows;
    DataRow* second = first->next;
    ASSERT_NE(second, nullptr);
    EXPECT_STREQ(first->template_name, "house.wdl");
    EXPECT_DOUBLE_EQ(first->pos_x, 10.5);
    EXPECT_DOUBLE_EQ(first->pos_y, -3.0);
    EXPECT_STREQ(second->template_name, "");
    EXPECT_DOUBLE_EQ(second->pos_x, 0.0);
    EXPECT_DOUBLE_EQ(second->pos_y, 0.25);
    // BUILDING, POS_X and POS_Y hold no values; the others hold what their field made.
    EXPECT_EQ(first->values[0], nullptr);
    EXPECT_EQ(first->values[2], nullptr);
    ScriptString* title = (ScriptString*)first->values[3];
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(title->text, "The bakery");
    EXPECT_STREQ(((ScriptString*)second->values[3])->text, "Empty lot");
    Bitmap* sign = (Bitmap*)first->values[4];
    ASSERT_NE(sign, nullptr);
    EXPECT_EQ(sign->width, 4);
    EXPECT_NE(first->values[4], second->values[4]);  // each row made its own
    Sound* bell = (Sound*)first->values[5];
    ASSERT_NE(bell, nullptr);
    EXPECT_STREQ(bell->file, "bell.wav");
    // The rows' names live in the rows' scopes, not among the script's names.
    EXPECT_EQ(get<ScriptString>("title", KIND_STRING), nullptr);
    EXPECT_EQ(catalogue.scoped, 0);

    DataView* view = get<DataView>("shop_view", KIND_DATAVIEW);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->database, d);
    EXPECT_EQ(view->genius, get<MapObject>("lamp", KIND_THING));
    ASSERT_EQ(view->selection_count, 2);
    EXPECT_EQ(view->selection[0], 0);  // every row starts selected
    EXPECT_EQ(view->selection[1], 0);
    EXPECT_EQ(errors(), 0) << listing();
}

TEST_F(Databases, ALineWithAFieldTooManyBuildsNothing) {
    write_rows(",1,2,first\n,1,2,second,extra\n,1,2,third\n");
    EXPECT_EQ(read_database(), -2);
    EXPECT_EQ(errors(), 1);
    Database* d = get<Database>("d", KIND_DATABASE);
    ASSERT_EQ(d->row_count, 1);  // the faulty row is removed, and the reading stops
    EXPECT_STREQ(((ScriptString*)d->rows->values[3])->text, "first");
    EXPECT_NE(console().find("\r\nat line 2  fields: 5  expected: 4"), std::string::npos) << console();
    EXPECT_NE(listing().find("rows.txt line 2: ,1,2,second,extra"), std::string::npos) << listing();
    EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr);
}

TEST_F(Databases, FaultyFieldsAreNamedByLineAndField) {
    struct Case {
        const char* rows;
        const char* message;
    };
    const Case cases[] = {
        {",x,2,a\n", "\r\nat line 1 field 2"},
        {",1,2.5.1,a\n", "\r\nat line 1 field 3"},
        {"averyverylongname.wdl,1,2,a\n", "\r\nat line 1 field 1"},
        {",1,2\n", "\r\nat line 1  fields: 3  expected: 4"},
        {"\n\nnosuch.wdl,1,2,a\n", "\r\nat line 1 BUILDING WDL/WMP error"},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        write_rows(c.rows);
        EXPECT_EQ(read_database(), -2) << c.rows;
        EXPECT_EQ(errors(), 1) << c.rows << listing();
        EXPECT_NE(console().find(c.message), std::string::npos) << c.rows << console();
        EXPECT_EQ(get<Database>("d", KIND_DATABASE)->row_count, 0) << c.rows;
    }
}

TEST_F(Databases, ReportsAfterTheDataFilePointAtTheScriptAgain) {
    write_rows(",1,2,a\n");
    EXPECT_EQ(read("DATABASE d { DATAFILE <rows.txt>; BUILDING; POS_X; POS_Y; STRING title; }\nSTRING;"), -2);
    EXPECT_NE(listing().find("TEST.WDL line 2: STRING"), std::string::npos) << listing();
}

TEST_F(Databases, AFieldSeparatorOfItsOwn) {
    write_rows("house.wdl|1|2|a,b\n");
    ASSERT_EQ(read_database("SEPARATOR \"|\"; BUILDING; POS_X; POS_Y; STRING title;"), 0) << listing();
    EXPECT_STREQ(((ScriptString*)get<Database>("d", KIND_DATABASE)->rows->values[3])->text, "a,b");
}

TEST_F(Databases, FaultsOfTheBlocks) {
    write_rows(",1,2\n");
    const char* cases[] = {
        "DATABASE d { DATAFILE <averylongname.txt>; }",
        "DATABASE d { DATAFILE <rows.txt>; SEPARATOR \"12345678\"; }",
        "DATABASE d { DATAFILE <rows.txt>; SEPARATOR plain; }",
        "DATABASE d { DATAFILE <rows.txt>; SEPARATOR \"\"; }",
        "DATABASE d { DATAFILE <rows.txt>; COLUMN x; }",
        "DATABASE d { BUILDING; POS_X; POS_Y; }",
        "DATABASE d { DATAFILE <nosuch.txt>; BUILDING; POS_X; POS_Y; }",
        "DATABASE d { DATAFILE <rows.txt>; STRING bad.name; }",
        "DATAVIEW v { GENIUS nothing; }",
        "DATAVIEW v { }",
        "DATAVIEW v { DATABASE nosuch; }",
    };
    for (const char* text : cases) {
        TearDown();
        SetUp();
        write_rows(",1,2\n");
        EXPECT_EQ(read(std::string(text) + " STRING after, \"x\";"), -2) << text;
        EXPECT_EQ(errors(), 1) << text << listing();
    }
}

}  // namespace
