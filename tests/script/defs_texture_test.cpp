// The TEXTURE block: the frame table in the order the animation reads it (side s, cycle c at
// s x CYCLES + c), the per-cycle and per-side lists bounded by the frames that exist, flic,
// model and title textures, and the faults.
#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"

namespace {

std::string flic_file(int frames) {
    std::string s(128, '\0');
    s[4] = char(0x11);
    s[5] = char(0xAF);
    s[6] = char(frames);
    s[8] = 32;
    s[10] = 20;
    return s;
}

class Textures : public DefsTest {
protected:
    void SetUp() override {
        DefsTest::SetUp();
        write("frames.tx", tx_image(6, 4));
        write("font.tx", tx_image(80, 8));
        write("movie.flc", flic_file(12));
        write("box.mdl", "a model");
        ASSERT_EQ(read("BMAP b1, <frames.tx>, 0, 0, 2, 2; BMAP b2, <frames.tx>, 2, 0, 2, 2;"
                       "BMAP b3, <frames.tx>, 4, 0, 2, 2; BMAP b4, <frames.tx>, 0, 2, 2, 2;"
                       "BMAP b5, <frames.tx>, 2, 2, 2, 2; BMAP b6, <frames.tx>, 4, 2, 2, 2;"
                       "FONT letters, <font.tx>, 8, 8; FLIC movie, <movie.flc>; MODEL box, <box.mdl>;"),
                  0)
            << listing();
        for (int i = 0; i < 6; i++) b[i] = get<Bitmap>(("b" + std::to_string(i + 1)).c_str(), KIND_BMAP);
    }
    Texture* texture(const char* name) { return get<Texture>(name, KIND_TEXTURE); }
    Bitmap* b[6] = {};
};

TEST_F(Textures, EveryField) {
    ASSERT_EQ(read_fixture("defs_texture.wdl"), 0) << listing();
    Texture* t = texture("walls");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->sides, 2);
    EXPECT_EQ(t->cycles, 3);
    ASSERT_EQ(t->frame_count, 6);
    // BMAPS lists the sides within each cycle; the table holds side s, cycle c at s * 3 + c.
    Bitmap* expected[6] = {b[0], b[2], b[4], b[1], b[3], b[5]};
    for (int e = 0; e < 6; e++) EXPECT_EQ(t->frames[e].bitmap, expected[e]) << e;
    // DELAY per cycle on every side; SCYCLES in entry c; MIRROR in entry s.
    const uint32_t delays[6] = {2 | FRAME_SOUND, 3 | FRAME_MIRROR, 4 | FRAME_SOUND, 2, 3, 4};
    for (int e = 0; e < 6; e++) EXPECT_EQ(t->frames[e].delay, delays[e]) << e;
    // OFFSET_X in the order of BMAPS; a single OFFSET_Y for all.
    const int32_t offsets[6] = {1, 3, 5, 2, 4, 6};
    for (int e = 0; e < 6; e++) {
        EXPECT_EQ(t->frames[e].offset_x, offsets[e] * 1024) << e;
        EXPECT_EQ(t->frames[e].offset_y, 512) << e;
    }
    EXPECT_EQ(t->scale_x, 2048);
    EXPECT_EQ(t->scale_y, 3072);
    EXPECT_EQ(t->random, 512);
    EXPECT_EQ(t->sound, get<Sound>("hum", KIND_SOUND));
    EXPECT_EQ(t->scycle, 2);
    EXPECT_EQ(t->sdist, 10240);
    EXPECT_EQ(t->svdist, 20480);
    EXPECT_EQ(t->svol, 768);
    EXPECT_EQ(t->ambient, 1024);
    EXPECT_EQ(t->albedo, 2048);
    EXPECT_EQ(t->radiance, 3072);
    EXPECT_EQ(t->pos_x, 4096);
    EXPECT_EQ(t->pos_y, 5120);
    EXPECT_EQ(t->far_dist, 6144);
    EXPECT_EQ(t->far_color, 7168);
    EXPECT_EQ(t->map_color, 8192);
    EXPECT_EQ(t->font, get<Font>("letters", KIND_FONT));
    EXPECT_EQ(t->touch, get<ScriptString>("hint", KIND_STRING));
    EXPECT_EQ(t->if_touch, get<Action>("on_touch", KIND_ACTION));
    EXPECT_EQ(t->if_release, get<Action>("on_release", KIND_ACTION));
    EXPECT_EQ(t->if_klick, get<Action>("on_click", KIND_ACTION));
    EXPECT_EQ(t->attach, texture("plain"));
    const uint32_t flags = TEX_ONESHOT | TEX_CONDENSED | TEX_SKY | TEX_SVIS | TEX_SLOOP | TEX_FLOOR | TEX_GHOST |
                           TEX_SAVE | TEX_DIAPHANOUS | TEX_WALKING | TEX_NARROW | TEX_NO_CLIP | TEX_BEHIND |
                           TEX_SHADOW | TEX_REFLECT | TEX_LIGHTMAP | TEX_CLIP | TEX_STANDBY | TEX_WIRE | TEX_CLUSTER;
    EXPECT_EQ(t->flags, flags | TEX_ANIMATED | TEX_SOUNDING);

    Texture* plain = texture("plain");
    EXPECT_EQ(plain->scale_x, 1536);
    EXPECT_EQ(plain->scale_y, 512);
    EXPECT_EQ(plain->frame_count, 1);
    EXPECT_EQ(plain->sides, 1);
    EXPECT_EQ(plain->cycles, 1);
    Texture* same = texture("same");
    EXPECT_EQ(same->scale_x, 4096);
    EXPECT_EQ(same->scale_y, 4096);
    EXPECT_EQ(same->frames[0].bitmap, nullptr);

    Texture* film = texture("film");
    EXPECT_EQ(film->flags & (TEX_FLIC | TEX_ANIMATED), TEX_FLIC | TEX_ANIMATED);
    EXPECT_EQ(film->flic, get<Flic>("movie", KIND_FLIC));
    EXPECT_EQ(film->frame_count, 1);
    EXPECT_EQ(film->cycles, 12);
    EXPECT_EQ(film->scycle, 3);
    Texture* solid = texture("solid");
    EXPECT_TRUE(solid->flags & TEX_MODEL);
    EXPECT_EQ(solid->model, get<Model>("box", KIND_MODEL));
    EXPECT_EQ(solid->frame_count, 1);
    Texture* sign = texture("sign");
    EXPECT_TRUE(sign->flags & TEX_TITLE);
    ASSERT_NE(sign->frames[0].bitmap, nullptr);
    // Three characters on the longest line, two lines, of 8 x 8 glyphs.
    EXPECT_EQ(sign->frames[0].bitmap->width, 24);
    EXPECT_EQ(sign->frames[0].bitmap->height, 16);
    EXPECT_EQ(errors(), 0) << listing();
}

TEST_F(Textures, BmapsNeedsExactlySidesTimesCycles) {
    EXPECT_EQ(read("TEXTURE t { SIDES 2; CYCLES 3; BMAPS b1, b2, b3, b4, b5; }"), -2);
    EXPECT_EQ(errors(), 1);
    EXPECT_EQ(texture("t")->frames, nullptr);
    TearDown();
    SetUp();
    EXPECT_EQ(read("TEXTURE t { SIDES 2; CYCLES 3; BMAPS b1, b2, b3, b4, b5, b6; }"), 0) << listing();
    EXPECT_EQ(texture("t")->frame_count, 6);
}

// The lists that name one value per cycle or per side write only into frames that exist, so
// a flic texture (one frame, as many cycles as the flic has pictures) takes them safely.
TEST_F(Textures, PerCycleListsStayInsideTheFrameTable) {
    ASSERT_EQ(read("TEXTURE f { FLIC movie; DELAY 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12;"
                   " SCYCLES 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1; MIRROR 1; OFFSET_X 3; }"),
              0)
        << listing();
    Texture* f = texture("f");
    ASSERT_EQ(f->frame_count, 1);
    EXPECT_EQ(f->cycles, 12);
    EXPECT_EQ(f->frames[0].delay, 1u | FRAME_SOUND | FRAME_MIRROR);
    EXPECT_EQ(f->frames[0].offset_x, 3072);
}

TEST_F(Textures, TooManyValuesForTheCyclesOrSidesAreRefused) {
    const char* cases[] = {
        "TEXTURE t { CYCLES 2; BMAPS b1, b2; DELAY 1, 2, 3; }",
        "TEXTURE t { CYCLES 2; BMAPS b1, b2; SCYCLES 1, 0, 1; }",
        "TEXTURE t { SIDES 2; BMAPS b1, b2; MIRROR 1, 1, 1; }",
        "TEXTURE t { SIDES 2; BMAPS b1, b2; OFFSET_X 1, 2, 3; }",
        "TEXTURE t { CYCLES 2; BMAPS b1, b2; DELAY 0; }",
        "TEXTURE t { CYCLES 2; BMAPS b1, b2; DELAY 536870912; }",
        "TEXTURE t { CYCLES 2; BMAPS b1, b2; DELAY 1.5; }",
        "TEXTURE t { SCYCLES 1; BMAPS b1; }",
        "TEXTURE t { MIRROR 1; BMAPS b1; }",
        "TEXTURE t { OFFSET_X 1; BMAPS b1; }",
        "TEXTURE t { DELAY 3; BMAPS b1; }",
    };
    for (const char* text : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read(text), -2) << text;
        EXPECT_EQ(errors(), 1) << text << listing();
    }
}

TEST_F(Textures, LongestDelayIsAccepted) {
    ASSERT_EQ(read("TEXTURE t { CYCLES 2; BMAPS b1, b2; DELAY 536870911, 1; }"), 0) << listing();
    EXPECT_EQ(texture("t")->frames[0].delay, 536870911u);
    EXPECT_EQ(texture("t")->frames[1].delay, 1u);
}

TEST_F(Textures, DelayBeforeBmapsWithCompat356) {
    settings.compat356 = 1;
    ASSERT_EQ(read("TEXTURE t { SIDES 2; CYCLES 2; DELAY 5, 6; BMAPS b1, b2, b3, b4; }"), 0) << listing();
    Texture* t = texture("t");
    EXPECT_EQ(t->frames[0].delay, 5u);
    EXPECT_EQ(t->frames[1].delay, 6u);
    EXPECT_EQ(t->frames[2].delay, 5u);
    EXPECT_EQ(t->frames[3].delay, 6u);
    EXPECT_EQ(t->pending_delays, nullptr);
}

TEST_F(Textures, CountsAreFixedOnceTheFramesExist) {
    struct Case {
        const char* text;
        bool compat368;
        bool accepted;
    };
    const Case cases[] = {
        {"TEXTURE t { SIDES 2; BMAPS b1, b2; SIDES 2; }", false, false},
        {"TEXTURE t { SIDES 2; BMAPS b1, b2; SIDES 2; }", true, true},
        {"TEXTURE t { SIDES 2; BMAPS b1, b2; SIDES 1; }", true, false},
        {"TEXTURE t { CYCLES 2; BMAPS b1, b2; CYCLES 2; }", false, true},
        {"TEXTURE t { CYCLES 2; BMAPS b1, b2; CYCLES 3; }", false, false},
        {"TEXTURE t { BMAPS b1; BMAPS b2; }", false, false},
        {"TEXTURE t { CYCLES 1024; BMAPS b1; }", false, false},
        {"TEXTURE t { FRAME 0; BMAPS b1; }", false, false},
        {"TEXTURE t { FLIC movie; BMAPS b1; }", false, false},
        {"TEXTURE t { FLIC movie; SIDES 2; }", false, false},
        {"TEXTURE t { BMAPS b1; TITLE \"x\"; FONT letters; }", false, false},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        settings.compat368 = c.compat368;
        read(c.text);
        EXPECT_EQ(errors() == 0, c.accepted) << c.text << listing();
    }
}

TEST_F(Textures, FaultsOfTextures) {
    const char* cases[] = {
        "TEXTURE t { }",                               // no frames
        "TEXTURE t { SIDES 2; }",
        "TEXTURE t { TITLE \"no font\"; }",            // a title needs a font
        "TEXTURE t { BMAPS b1; RANDOM -1; }",
        "TEXTURE t { CYCLES 2; BMAPS b1, b2; SCYCLE 3; }",
        "TEXTURE t { BMAPS b1; SOUND nosuch; }",
        "TEXTURE t { BMAPS nosuch; }",
        "TEXTURE t { BMAPS b1; FLAGS SHINY; }",
        "TEXTURE t { BMAPS b1; COLOUR 2; }",
        "TEXTURE t { FLIC nosuch; }",
    };
    for (const char* text : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read(std::string(text) + " STRING after, \"x\";"), -2) << text;
        EXPECT_EQ(errors(), 1) << text << listing();
    }
}

TEST_F(Textures, WithoutASoundDeviceTheSoundIsDropped) {
    settings.sound_request = 64;
    ASSERT_EQ(read("TEXTURE t { BMAPS b1; SOUND not_even_defined; }"), 0) << listing();
    EXPECT_EQ(texture("t")->sound, nullptr);
    EXPECT_FALSE(texture("t")->flags & TEX_SOUNDING);
}

TEST_F(Textures, ScycleIsIgnoredDuringAReload) {
    ASSERT_EQ(read("TEXTURE t { CYCLES 3; BMAPS b1, b2, b3; SCYCLE 2; }"), 0);
    load_mode = LOAD_REDEFINE;
    ASSERT_EQ(read("TEXTURE t { CYCLES 3; BMAPS b1, b2, b3; SCYCLE 3; }"), 0) << listing();
    EXPECT_EQ(texture("t")->scycle, 2);
    load_mode = 0;
}

}  // namespace
