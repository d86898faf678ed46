// Table A: every one-line definition, the world lists and event slots, and their faults.
#include <cstring>

#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "platform/key_names.h"
#include "script/front/reader.h"

namespace {

std::string flic_file(int frames, int width, int height) {
    std::string s(128, '\0');
    s[4] = char(0x12);
    s[5] = char(0xAF);
    s[6] = char(frames);
    s[8] = char(width);
    s[10] = char(height);
    return s;
}

class TableA : public DefsTest {
protected:
    void write_resources() {
        write("wall.tx", tx_image(4, 4));
        write("font.tx", tx_image(80, 8));
        write("intro.flc", flic_file(12, 64, 40));
        write("cube.mdl", "a model");
    }
};

TEST_F(TableA, EveryDefinitionOfTheTable) {
    write_resources();
    ASSERT_EQ(read_fixture("defs_table_a.wdl"), 0) << console() << listing();
    EXPECT_EQ(errors(), 0) << listing();

    Bitmap* wall = get<Bitmap>("wall", KIND_BMAP);
    ASSERT_NE(wall, nullptr);
    EXPECT_EQ(wall->width, 4);
    EXPECT_EQ(wall->height, 4);
    EXPECT_STREQ(wall->file, "wall.tx");
    EXPECT_TRUE(wall->flags & BMAP_SQUARE);
    // Column bitmap: the first column from its bottom pixel up: rows 3, 2, 1, 0 of column 0.
    EXPECT_EQ(wall->pixels[0], 1 + 12);
    EXPECT_EQ(wall->pixels[3], 1);

    Bitmap* part = get<Bitmap>("wall_part", KIND_BMAP);
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->width, 3);
    EXPECT_EQ(part->height, 2);
    EXPECT_EQ(part->src_x, 1);
    EXPECT_EQ(part->src_y, 2);
    EXPECT_FALSE(part->flags & BMAP_SQUARE);
    EXPECT_EQ(part->pixels[0], 1 + 1 + 3 * 4);  // column x=1, bottom row y=3

    Sound* boom = get<Sound>("boom", KIND_SOUND);
    ASSERT_NE(boom, nullptr);
    EXPECT_STREQ(boom->file, "boom.wav");
    EXPECT_EQ(boom->is_music, 0);
    Sound* tune = get<Sound>("tune", KIND_SOUND);
    ASSERT_NE(tune, nullptr);
    EXPECT_EQ(tune->is_music, 1);

    OverlayBitmap* arrow = get<OverlayBitmap>("arrow", KIND_OVLY);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->width, 2);
    EXPECT_EQ(arrow->height, 2);

    Font* digits = get<Font>("digits", KIND_FONT);
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->glyph_width, 8);
    EXPECT_EQ(digits->glyph_height, 8);
    EXPECT_EQ(digits->glyph_count, 10);

    ScriptString* hello = get<ScriptString>("hello", KIND_STRING);
    ASSERT_NE(hello, nullptr);
    EXPECT_STREQ(hello->text, "Hello\nworld");
    ScriptString* nothing = get<ScriptString>("nothing", KIND_STRING);
    ASSERT_NE(nothing, nullptr);
    EXPECT_STREQ(nothing->text, "");

    Flic* intro = get<Flic>("intro", KIND_FLIC);
    ASSERT_NE(intro, nullptr);
    EXPECT_EQ(intro->frame_count, 12);
    EXPECT_EQ(intro->width, 64);
    EXPECT_EQ(intro->height, 40);
    Model* cube = get<Model>("cube", KIND_MODEL);
    ASSERT_NE(cube, nullptr);
    EXPECT_STREQ(cube->file, "cube.mdl");

    Overlay* pointer = get<Overlay>("pointer", KIND_OVERLAY);
    Texture* sky = get<Texture>("sky", KIND_TEXTURE);
    Panel* status = get<Panel>("status", KIND_PANEL);
    Text* line = get<Text>("line", KIND_TEXT);
    ASSERT_TRUE(pointer && sky && status && line);

    const WorldScript& w = world_script;
    EXPECT_EQ(w.layers[0], pointer);
    EXPECT_EQ(w.layers[1], nullptr);
    EXPECT_EQ(w.layers[2], pointer);
    EXPECT_EQ(world_refs.msprite, pointer);
    EXPECT_EQ(world_refs.backdrop, sky);
    EXPECT_EQ(w.panels[0], status);  // DISPLAY_PANEL after PANELS NULL, status
    EXPECT_EQ(w.panels[1], status);
    EXPECT_EQ(w.messages[0], nullptr);  // TEXTS NULL, line wrote over MESSAGES line, NULL
    EXPECT_EQ(w.messages[1], line);

    Action* every_second = get<Action>("every_second", KIND_ACTION);
    ASSERT_NE(every_second, nullptr);  // declared by its mention
    EXPECT_EQ(every_second->first, nullptr);
    EXPECT_EQ(w.each_sec[0], every_second);
    EXPECT_EQ(w.each_sec[1], nullptr);
    EXPECT_EQ(w.each_sec[2], get<Action>("other_second", KIND_ACTION));
    EXPECT_EQ(w.each_tick[0], get<Action>("every_tick", KIND_ACTION));

    EXPECT_EQ(var_value(SLOT_ASPECT), 1280);
    EXPECT_EQ(var_value(SLOT_KEY_SENSE), 512);
    EXPECT_EQ(var_value(SLOT_MOUSE_SENSE), 2048);
    EXPECT_EQ(var_value(SLOT_JOY_SENSE), 256);
    EXPECT_EQ(w.key_sense, 512);
    EXPECT_TRUE(w.key_sense_given && w.mouse_sense_given && w.joy_sense_given);
    EXPECT_EQ(w.player_flags, 0x1000u | 0x80000u | 0x800000u);

    EXPECT_EQ(w.if_start, get<Action>("start", KIND_ACTION));
    EXPECT_EQ(w.if_load, get<Action>("loaded", KIND_ACTION));
    EXPECT_EQ(w.key[key_code_of_name("F2")], get<Action>("save_now", KIND_ACTION));
    EXPECT_EQ(w.key[key_code_of_name("ENTER")], get<Action>("confirm", KIND_ACTION));
    EXPECT_EQ(w.key[key_code_of_name("A")], get<Action>("letter_a", KIND_ACTION));
    EXPECT_EQ(w.if_left, get<Action>("left_click", KIND_ACTION));
    EXPECT_EQ(w.if_middle, nullptr);
    EXPECT_EQ(w.if_right, get<Action>("right_click", KIND_ACTION));
    EXPECT_EQ(w.if_anykey, get<Action>("any_key", KIND_ACTION));
    EXPECT_EQ(w.if_joy4, get<Action>("joy_button", KIND_ACTION));
    EXPECT_EQ(w.if_klick, get<Action>("view_click", KIND_ACTION));
    EXPECT_EQ(w.if_mstop, get<Action>("mouse_stopped", KIND_ACTION));
}

TEST_F(TableA, AListKeepsSixteenAndReportsTheSeventeenth) {
    std::string names;
    for (int i = 1; i <= 17; i++) names += (i > 1 ? ", a" : "a") + std::to_string(i);
    EXPECT_EQ(read("EACH_TICK " + names + ";\nSTRING after, \"x\";"), -2);
    EXPECT_EQ(errors(), 1) << listing();
    for (int i = 0; i < 16; i++)
        EXPECT_EQ(world_script.each_tick[i], get<Action>(("a" + std::to_string(i + 1)).c_str(), KIND_ACTION)) << i;
    EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr);  // reading stopped after the report
    EXPECT_NE(listing().find("TEST.WDL line 1: EACH_TICK a1, a2"), std::string::npos) << listing();
}

TEST_F(TableA, BitmapRectanglesThatCannotBeCut) {
    write("wall.tx", tx_image(4, 4));
    struct Case {
        const char* statement;
        bool accepted;
    };
    const Case cases[] = {
        {"BMAP b, <wall.tx>, 0, 0, 4, 4;", true},
        {"BMAP b, <wall.tx>, 3, 3, 1, 1;", true},
        {"BMAP b, <wall.tx>, 5, 5, 0, 0;", true},  // a zero size takes the whole picture
        {"BMAP b, <wall.tx>, 0, 0, -2, 2;", false},
        {"BMAP b, <wall.tx>, 0, 0, 2, -2;", false},
        {"BMAP b, <wall.tx>, -1, 0, 2, 2;", false},
        {"BMAP b, <wall.tx>, 2097151, 0, 2097151, 2;", false},  // the sum runs past every picture
        {"BMAP b, <wall.tx>, 3, 0, 2, 2;", false},
        {"BMAP b, <wall.tx>, 0, 0, 5, 4;", false},
        {"BMAP b, <missing.tx>;", false},
        {"BMAP b, <wall.tx>, 1, 2;", false},  // four numbers or none
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        write("wall.tx", tx_image(4, 4));
        read(c.statement);
        EXPECT_EQ(errors() == 0, c.accepted) << c.statement << listing();
        Bitmap* b = get<Bitmap>("b", KIND_BMAP);
        if (c.accepted) ASSERT_TRUE(b && b->pixels) << c.statement;
        else EXPECT_TRUE(!b || !b->pixels) << c.statement;
    }
}

TEST_F(TableA, FontGlyphsOfNoSizeAreRefused) {
    write("font.tx", tx_image(80, 8));
    const char* cases[] = {"FONT f, <font.tx>, 0, 8;", "FONT f, <font.tx>, 8, 0;", "FONT f, <font.tx>, -8, 8;",
                           "FONT f, <font.tx>, 7, 8;"};
    for (const char* statement : cases) {
        TearDown();
        SetUp();
        write("font.tx", tx_image(80, 8));
        read(statement);
        EXPECT_EQ(errors(), 1) << statement << listing();
        Font* f = get<Font>("f", KIND_FONT);
        EXPECT_TRUE(!f || f->glyph_count == 0) << statement;
    }
}

TEST_F(TableA, SoundAndMusicFileNames) {
    struct Case {
        const char* statement;
        bool compat368;
        bool accepted;
    };
    const Case cases[] = {
        {"SOUND s, <a.wav>;", false, true},      {"SOUND s, <A.VOC>;", false, true},
        {"SOUND s, <a.Wex>;", false, true},      {"SOUND s, <a.mid>;", false, false},
        {"SOUND s, <a.wav.bak>;", false, false}, {"SOUND s, <a.wav.bak>;", true, true},
        {"MUSIC m, <a.mid>;", false, true},      {"MUSIC m, <a.CMF>;", false, true},
        {"MUSIC m, <a.wav>;", false, false},     {"FLIC f, <a.gif>;", false, false},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        settings.compat368 = c.compat368;
        read(c.statement);
        EXPECT_EQ(errors() == 0, c.accepted) << c.statement << listing();
    }
}

TEST_F(TableA, ResourcesKeptDuringAReloadAreNotLoadedAgain) {
    write("wall.tx", tx_image(4, 4));
    ASSERT_EQ(read("BMAP b, <wall.tx>;"), 0);
    Bitmap* b = get<Bitmap>("b", KIND_BMAP);
    ASSERT_TRUE(b && b->pixels);
    uint8_t* pixels = b->pixels;
    std::remove("wall.tx");  // a new load would fail now
    load_mode = LOAD_REDEFINE;
    EXPECT_EQ(read("BMAP b, <wall.tx>;"), 0);
    EXPECT_EQ(errors(), 0) << listing();
    EXPECT_EQ(b->pixels, pixels);
    load_mode = 0;
}

TEST_F(TableA, AStatementLongerThanItsFormIsClaimedByNothing) {
    settings.use_err = 1;
    EXPECT_EQ(read("STRING a, \"x\" STRING b, \"y\";"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(get<ScriptString>("a", KIND_STRING), nullptr);  // nothing was made of it
    EXPECT_NE(console().find("claimed by nothing: no handler and no top-level keyword answers to \"STRING\""),
              std::string::npos)
        << console();
    EXPECT_EQ(console().find("runs past the end of its line"), std::string::npos);  // all on one line
}

TEST_F(TableA, EventSlotsTakeKeyNamesFirst) {
    ASSERT_EQ(read("IF_ESC quit; IF_Pgup page; IF_1 one; IF_START go;"), 0) << listing();
    EXPECT_EQ(world_script.key[1], get<Action>("quit", KIND_ACTION));
    EXPECT_EQ(world_script.key[73], get<Action>("page", KIND_ACTION));
    EXPECT_EQ(world_script.key[2], get<Action>("one", KIND_ACTION));
    EXPECT_EQ(world_script.if_start, get<Action>("go", KIND_ACTION));
    // An IF_ name that is no key and no slot is claimed by nothing.
    EXPECT_EQ(read("IF_NOWHERE go;"), -2);
    EXPECT_EQ(errors(), 1);
}

TEST_F(TableA, AnActionSlotRefusesANameOfAnotherKind) {
    ASSERT_EQ(read("STRING go, \"text\";"), 0);
    EXPECT_EQ(read("IF_START go;"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(world_script.if_start, nullptr);
}

TEST_F(TableA, ListsNameObjectsOfTheirKind) {
    struct Case {
        const char* statement;
    };
    const char* cases[] = {"LAYERS nosuch;", "PANELS nosuch;", "MESSAGES nosuch;", "MSPRITE nosuch;",
                           "BACKDROP nosuch;", "DISPLAY_PANEL nosuch;", "ASPECT fast;", "KEY_SENSE 1.2.3;",
                           "FLAGS FLAG9;", "MIDI_PITCH 1.5;", "FONT f, <x.tx>, 8;", "MODEL m, <nosuch.mdl>;"};
    for (const char* statement : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read(statement), -2) << statement;
        EXPECT_EQ(errors(), 1) << statement << listing();
    }
}

}  // namespace
