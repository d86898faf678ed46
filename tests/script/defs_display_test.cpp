// The PANEL, OVERLAY, TEXT and VIEW blocks: every field and element, the display list by
// layer, the slider scales without divisions by zero, and blocks whose errors keep the
// object as it was.
#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"

namespace {

class Display : public DefsTest {
protected:
    void SetUp() override {
        DefsTest::SetUp();
        write("panel.tx", tx_image(20, 10));
        write("knob.tx", tx_image(4, 6));
        write("font.tx", tx_image(80, 8));
    }
    int read_with_resources(const std::string& text) {
        return read("BMAP back, <panel.tx>; BMAP knob, <knob.tx>; FONT nums, <font.tx>, 8, 8;"
                    "OVLY o1, <knob.tx>; SKILL volume { MIN 0; MAX 10; } SKILL score { VAL 0; }\n" +
                    text);
    }
    static int count(const PanelElement* e) {
        int n = 0;
        for (; e; e = e->next) n++;
        return n;
    }
};

TEST_F(Display, EveryFieldAndElement) {
    ASSERT_EQ(read_fixture("defs_display.wdl"), 0) << listing();
    Bitmap* back = get<Bitmap>("back", KIND_BMAP);
    Bitmap* knob = get<Bitmap>("knob", KIND_BMAP);
    Bitmap* press = get<Bitmap>("press", KIND_BMAP);
    Bitmap* strip = get<Bitmap>("strip", KIND_BMAP);
    Font* nums = get<Font>("nums", KIND_FONT);
    Skill* volume = find_skill("volume");
    Skill* score = find_skill("score");

    Panel* hud = get<Panel>("hud", KIND_PANEL);
    ASSERT_NE(hud, nullptr);
    EXPECT_EQ(hud->pan_map, back);
    EXPECT_EQ(hud->mask, strip);
    EXPECT_EQ(hud->if_klick, get<Action>("hud_click", KIND_ACTION));
    EXPECT_EQ(hud->pos_x, 10 * 1024);
    EXPECT_EQ(hud->pos_y, 20 * 1024);
    EXPECT_EQ(hud->layer, 3 * 1024);
    EXPECT_EQ(hud->size_x, 20);  // the PAN_MAP's size
    EXPECT_EQ(hud->size_y, 10);
    EXPECT_EQ(hud->msprite, get<Overlay>("cursor", KIND_OVERLAY));
    EXPECT_EQ(hud->flags, PANEL_REFRESH | PANEL_TRANSPARENT | PANEL_RELPOS | DISPLAY_VISIBLE);

    ASSERT_EQ(count(hud->elements[ELEM_BUTTON]), 2);
    const PanelElement* button = hud->elements[ELEM_BUTTON];
    EXPECT_EQ(button->x, 1);
    EXPECT_EQ(button->y, 2);
    EXPECT_EQ(button->bitmap[0], press);
    EXPECT_EQ(button->bitmap[1], knob);
    EXPECT_EQ(button->action[0], get<Action>("on_press", KIND_ACTION));
    EXPECT_EQ(button->action[1], get<Action>("on_release", KIND_ACTION));
    EXPECT_EQ(button->next->x, 3);  // in the order of the script
    EXPECT_EQ(button->next->bitmap[1], nullptr);

    const PanelElement* h = hud->elements[ELEM_HSLIDER];
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(h->length, 44);
    EXPECT_EQ(h->bitmap[0], knob);
    EXPECT_EQ(h->skill, volume);
    // Travel 44 - 4 = 40 pixels over a range of 10: pixels per unit and units per pixel.
    EXPECT_EQ(h->scale[0], 40 * 1024 * 1024 / 10240);
    EXPECT_EQ(h->scale[1], 10240 * 1024 / 40);
    const PanelElement* v = hud->elements[ELEM_VSLIDER];
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->length, -26);  // runs the other way; travel 26 - 6 = 20
    EXPECT_EQ(v->scale[0], 20 * 1024 * 1024 / 10240);
    EXPECT_EQ(v->scale[1], 10240 * 1024 / 20);

    const PanelElement* picture = hud->elements[ELEM_PICTURE];
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->texture, get<Texture>("pic", KIND_TEXTURE));
    EXPECT_EQ(picture->var[0].mode, VARREF_DIRECT);
    EXPECT_EQ(picture->var[0].base, &score->value);
    const PanelElement* window = hud->elements[ELEM_WINDOW];
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->width, 8);
    EXPECT_EQ(window->height, 4);
    EXPECT_EQ(window->bitmap[0], back);
    EXPECT_EQ(window->var[1].base, var_ptr(SLOT_PLAYER_X));
    const PanelElement* hbar = hud->elements[ELEM_HBAR];
    ASSERT_NE(hbar, nullptr);
    EXPECT_EQ(hbar->length, 6);
    EXPECT_EQ(hbar->bitmap[0], strip);
    EXPECT_EQ(hbar->factor, 2048);
    const PanelElement* vbar = hud->elements[ELEM_VBAR];
    ASSERT_NE(vbar, nullptr);
    EXPECT_EQ(vbar->factor, 512);
    EXPECT_EQ(vbar->var[0].base, &get<MapObject>("lamp", KIND_THING)->skill[0]);
    const PanelElement* digits = hud->elements[ELEM_DIGITS];
    ASSERT_NE(digits, nullptr);
    EXPECT_EQ(digits->length, 4);
    EXPECT_EQ(digits->font, nums);
    ASSERT_EQ(count(hud->elements[ELEM_MTEXT]), 2);
    const PanelElement* mtext = hud->elements[ELEM_MTEXT];
    EXPECT_EQ(mtext->font, nums);
    EXPECT_EQ(mtext->bitmap[0], knob);
    EXPECT_EQ(mtext->bitmap[1], press);
    EXPECT_EQ(mtext->string, get<ScriptString>("caption", KIND_STRING));
    EXPECT_EQ(mtext->action[0], get<Action>("on_menu", KIND_ACTION));
    ASSERT_NE(mtext->next->string, nullptr);
    EXPECT_STREQ(mtext->next->string->text, "literal");
    EXPECT_EQ(mtext->next->font, nullptr);

    Panel* bare = get<Panel>("bare", KIND_PANEL);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->size_x, 50);  // the slider reaches x 50
    EXPECT_EQ(bare->size_y, 48);  // the digits reach y 40 + 8

    Overlay* cursor = get<Overlay>("cursor", KIND_OVERLAY);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(cursor->sides, 2);
    EXPECT_EQ(cursor->cycles, 2);
    ASSERT_EQ(cursor->frame_count, 4);
    // Side s, cycle c at s * 2 + c; OVLYS lists the sides within each cycle.
    const char* order[4] = {"o1", "o3", "o2", "o4"};
    for (int e = 0; e < 4; e++) EXPECT_EQ(cursor->frames[e].bitmap, get<OverlayBitmap>(order[e], KIND_OVLY)) << e;
    const int delays[4] = {3, 4, 3, 4};
    for (int e = 0; e < 4; e++) EXPECT_EQ(cursor->frames[e].delay, delays[e]) << e;
    EXPECT_EQ(cursor->size_x, 4 * 1024);  // the first bitmap's size
    EXPECT_EQ(cursor->size_y, 6 * 1024);
    EXPECT_EQ(cursor->side, 1024);
    EXPECT_EQ(cursor->pos_x, 5 * 1024);
    EXPECT_EQ(cursor->pos_y, 6 * 1024);
    EXPECT_EQ(cursor->layer, 7 * 1024);
    EXPECT_EQ(cursor->flags, uint32_t(OVERLAY_ABSPOS) | uint32_t(DISPLAY_VISIBLE));

    Text* message = get<Text>("message", KIND_TEXT);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->pos_x, 1024);
    EXPECT_EQ(message->pos_y, 2048);
    EXPECT_EQ(message->layer, 4096);
    EXPECT_EQ(message->index, 2048);
    EXPECT_EQ(message->size_y, 30 * 1024);
    EXPECT_EQ(message->offset_y, 3 * 1024);
    EXPECT_EQ(message->viewpos, 1024);
    EXPECT_EQ(message->font, nums);
    EXPECT_EQ(message->scale_x, 8 * 1024);
    EXPECT_EQ(message->scale_y, 8 * 1024);
    EXPECT_EQ(message->flags, TEXT_CONDENSED | TEXT_CENTER_X | TEXT_CENTER_Y | TEXT_NARROW | DISPLAY_VISIBLE);
    ASSERT_EQ(message->string_count, 3);
    EXPECT_EQ(message->strings[0], get<ScriptString>("caption", KIND_STRING));
    EXPECT_STREQ(message->strings[1]->text, "second");
    EXPECT_STREQ(message->strings[2]->text, "filler");
    EXPECT_EQ(message->string, message->strings[1]);  // INDEX 2

    View* view = get<View>("map_view", KIND_VIEW);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->pos_x, 10 * 1024);
    EXPECT_EQ(view->pos_y, 20 * 1024);
    EXPECT_EQ(view->size_x, 310 * 1024);  // clamped into the 320 x 200 screen
    EXPECT_EQ(view->size_y, 100 * 1024);
    EXPECT_EQ(view->layer, 2048);
    EXPECT_EQ(view->genius, get<MapObject>("lamp", KIND_THING));
    EXPECT_EQ(view->flags, DISPLAY_VISIBLE);

    // The display list runs from the lowest layer up.
    std::vector<std::string> names;
    for (DisplayHead* d = catalogue.display; d; d = d->next_display) names.push_back(d->name ? d->name : "?");
    const std::vector<std::string> expected = {"bare", "hud", "message", "cursor"};
    EXPECT_EQ(names, expected);
    EXPECT_EQ(errors(), 0) << listing();
}

TEST_F(Display, SliderScalesWithoutTravelOrRange) {
    ASSERT_EQ(read_with_resources("SKILL flat { MIN 3; MAX 3; } SKILL wide { VAL 0; }\n"
                                  "PANEL p { HSLIDER 0, 0, 4, knob, volume;"    // travel 4 - 4 = 0
                                  " HSLIDER 0, 0, 2, knob, volume;"             // knob longer than the slider
                                  " VSLIDER 0, 0, 50, knob, flat;"              // MAX = MIN
                                  " HSLIDER 0, 0, 44, knob, wide; }"),          // the whole int32 range
              0)
        << listing();
    const PanelElement* e = get<Panel>("p", KIND_PANEL)->elements[ELEM_HSLIDER];
    EXPECT_EQ(e->scale[0], 0);
    EXPECT_EQ(e->scale[1], 0);
    EXPECT_EQ(e->next->scale[0], 0);
    EXPECT_EQ(e->next->scale[1], 0);
    const PanelElement* flat = get<Panel>("p", KIND_PANEL)->elements[ELEM_VSLIDER];
    EXPECT_EQ(flat->scale[0], 0);
    EXPECT_EQ(flat->scale[1], 0);
    // MAX - MIN of an untouched skill is 4294967294, formed without overflow.
    const PanelElement* wide = e->next->next;
    EXPECT_EQ(wide->scale[0], int64_t(40) * 1024 * 1024 / 4294967294LL);
    EXPECT_EQ(wide->scale[1], 4294967294LL * 1024 / 40);
}

TEST_F(Display, APanelWithAMisspeltBitmapStaysAsItWas) {
    ASSERT_EQ(read_with_resources("PANEL p { PAN_MAP back; POS_X 5; BUTTON 1, 1, knob, NULL, NULL, NULL; }"), 0);
    Panel* p = get<Panel>("p", KIND_PANEL);
    EXPECT_EQ(read("PANEL p { POS_X 9; PAN_MAP bak; }"), -2);
    EXPECT_EQ(errors(), 1) << listing();
    EXPECT_EQ(p->pos_x, 5 * 1024);
    EXPECT_EQ(p->pan_map, get<Bitmap>("back", KIND_BMAP));
    EXPECT_EQ(count(p->elements[ELEM_BUTTON]), 1);
}

TEST_F(Display, AnErrorAtTheClosingBraceKeepsTheBlockFromTakingEffect) {
    ASSERT_EQ(read_with_resources("TEXT t { FONT nums; STRING \"one\"; POS_X 1; }"), 0);
    Text* t = get<Text>("t", KIND_TEXT);
    // The last field lacks its ";": the reader reports it at "}", and the block ends with
    // one more report, leaving the text as it was.
    EXPECT_EQ(read("TEXT t { FONT nums; STRING \"two\"; POS_X 7 }"), -2);
    EXPECT_EQ(errors(), 2) << listing();
    EXPECT_EQ(t->pos_x, 1024);
    EXPECT_STREQ(t->string->text, "one");
}

TEST_F(Display, ARedefinitionReplacesTheContents) {
    ASSERT_EQ(read_with_resources("PANEL p { BUTTON 1, 1, knob, NULL, NULL, NULL; LAYER 5; }"), 0);
    ASSERT_EQ(read("PANEL p { DIGITS 0, 0, 2, nums, 1, score; }"), 0) << listing();
    Panel* p = get<Panel>("p", KIND_PANEL);
    EXPECT_EQ(p->elements[ELEM_BUTTON], nullptr);
    EXPECT_EQ(count(p->elements[ELEM_DIGITS]), 1);
    EXPECT_EQ(p->layer, 0);
}

TEST_F(Display, TextStringSlots) {
    ASSERT_EQ(read_with_resources("TEXT one { FONT nums; STRING \"a\", \"b\"; }"
                                  "TEXT four { FONT nums; STRINGS 4; STRING \"a\"; DEF_STR \"x\"; STRING \"late\"; }"),
              0)
        << listing();
    Text* one = get<Text>("one", KIND_TEXT);
    ASSERT_EQ(one->string_count, 1);  // one slot made; "b" found no slot
    EXPECT_STREQ(one->strings[0]->text, "a");
    EXPECT_EQ(one->string, one->strings[0]);
    Text* four = get<Text>("four", KIND_TEXT);
    ASSERT_EQ(four->string_count, 4);
    EXPECT_STREQ(four->strings[0]->text, "a");
    for (int i = 1; i < 4; i++) EXPECT_STREQ(four->strings[i]->text, "x") << i;
}

TEST_F(Display, FaultsOfDisplayBlocks) {
    const char* cases[] = {
        "TEXT t { STRING \"no font\"; }",
        "TEXT t { FONT nums; }",
        "TEXT t { FONT nums; STRINGS 2; STRINGS 2; }",
        "TEXT t { FONT nums; STRINGS 0; }",
        "TEXT t { FONT nums; STRINGS 2; DATAVIEW nosuch; }",
        "OVERLAY o { SIDES 1; }",
        "OVERLAY o { CYCLES 2; OVLYS o1; }",
        "OVERLAY o { CYCLES 0; }",
        "OVERLAY o { DELAY 2; OVLYS o1; }",
        "OVERLAY o { OVLYS o1; DELAY 0; }",
        "OVERLAY o { OVLYS o1; DELAY 1, 2; }",
        "OVERLAY o { OVLYS o1; OVLYS o1; }",
        "OVERLAY o { OVLYS knob; }",
        "PANEL p { DIGITS 0, 0, 33, nums, 1, score; }",
        "PANEL p { BUTTON 0, 0, knob; }",
        "PANEL p { BUTTON 0, 0, NULL, knob, NULL, NULL; }",
        "PANEL p { PICTURE 0, 0, nosuch, score; }",
        "PANEL p { HBAR 0, 0, 4, back, 1, 12; }",
        "PANEL p { WINDOW 0, 0, 2, 2, back, score, nosuch; }",
        "PANEL p { HSLIDER 0, 0, 20, knob, nums; }",
        "PANEL p { POS_X 1.5; }",
        "PANEL p { FLAGS OPAQUE; }",
        "VIEW v { GENIUS nobody; }",
        "TEXTURE tw { BMAPS back; } WALL w { TEXTURE tw; } VIEW v { GENIUS w; }",
        "VIEW v { SIZE_Z 3; }",
    };
    for (const char* text : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read_with_resources(std::string(text) + " STRING after, \"x\";"), -2) << text;
        EXPECT_GE(errors(), 1) << text;
        EXPECT_LE(errors(), 2) << text << listing();
        EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr) << text;
    }
}

TEST_F(Display, AViewIsClampedIntoTheScreen) {
    struct Case {
        const char* fields;
        int x, y, w, h;
    };
    const Case cases[] = {
        {"POS_X 0; POS_Y 0; SIZE_X 320; SIZE_Y 200;", 0, 0, 320, 200},
        {"POS_X -5; POS_Y 250; SIZE_X 10; SIZE_Y 10;", 0, 200, 10, 0},
        {"POS_X 300; POS_Y 190; SIZE_X -4; SIZE_Y 50;", 300, 190, 0, 10},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        ASSERT_EQ(read(std::string("VIDEO 320x200; VIEW v { ") + c.fields + " }"), 0) << listing();
        View* v = get<View>("v", KIND_VIEW);
        EXPECT_EQ(v->pos_x, c.x * 1024) << c.fields;
        EXPECT_EQ(v->pos_y, c.y * 1024) << c.fields;
        EXPECT_EQ(v->size_x, c.w * 1024) << c.fields;
        EXPECT_EQ(v->size_y, c.h * 1024) << c.fields;
    }
}

}  // namespace
