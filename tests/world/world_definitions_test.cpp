// WALL, THING and ACTOR definitions and their templates, texture assignment and INFLATE.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "world/map_loader.h"
#include "world/templates.h"
#include "world/textures.h"
#include "world/world.h"
#include "world_fixture.h"

namespace {

class DefinitionTest : public WorldTest {
protected:
    static Texture* texture(uint32_t flags = 0, int cycles = 1) {
        Texture* t = (Texture*)new_record(KIND_TEXTURE);
        t->flags = flags;
        t->sides = 1;
        t->cycles = cycles;
        t->frame_count = cycles;
        t->frames = (TextureFrame*)std::calloc(size_t(cycles), sizeof(TextureFrame));
        for (int c = 0; c < cycles; c++) {
            Bitmap* b = (Bitmap*)new_record(KIND_BMAP);
            b->width = 2 + c;
            b->height = 3;
            b->pixels = (uint8_t*)std::malloc(size_t(b->width * b->height));
            for (int i = 0; i < b->width * b->height; i++) b->pixels[i] = uint8_t(i + 10 * c);
            t->frames[c].bitmap = b;
        }
        return t;
    }
};

const char* map =
    "VERTEX 0 0; VERTEX 4 0; REGION r 0 4;\n"
    "WALL brick 0 1 r r 2; WALL brick 1 0 r r 1 3;\n"          // 1, 2
    "THING torch 1 1 90 r; THING torch 2 2 0 r; ACTOR torch 3 3 180 r;\n";  // 3, 4, 5

TEST_F(DefinitionTest, ADefinitionGoesIntoTheFirstMapObjectAndItsTemplateIntoTheOthers) {
    ASSERT_EQ(load_text(map), 0) << reports();
    MapObject* def = nullptr;
    ASSERT_EQ(open_object_definition("torch", KIND_THING, false, &def), 0);
    EXPECT_EQ(def, object_number(3));
    // What a THING block writes: its fields, an angle added to the object's own.
    Texture* tex = texture(0, 3);
    def->texture = tex;
    def->skill[2] = 5000;
    def->flags |= OBJ_GROUND | OBJ_FLAG1;
    def->height = 700;
    def->angle += 100;
    ASSERT_EQ(close_object_definition(def), 0) << reports();
    EXPECT_EQ(errors(), 0);

    for (int n : {4, 5}) {
        MapObject* o = object_number(n);
        EXPECT_EQ(o->texture, tex) << n;
        EXPECT_EQ(o->skill[2], 5000) << n;
        EXPECT_EQ(o->height, 700) << n;
        EXPECT_NE(o->flags & OBJ_GROUND, 0u) << n;
        EXPECT_NE(o->flags & OBJ_FLAG1, 0u) << n;
        EXPECT_EQ(o->cycle, 1024) << n;        // the animation starts at its first cycle
        EXPECT_NE(o->flags & OBJ_PLAY, 0u) << n;
        EXPECT_EQ(o->bitmap, tex->frames[0].bitmap) << n;
    }
    EXPECT_EQ(object_number(4)->angle, 100);            // its own 0 plus the definition's 100
    EXPECT_EQ(object_number(5)->angle, 3216 + 100);
    // Kind flags stay each object's own.
    EXPECT_NE(object_number(5)->flags & OBJ_ACTOR, 0u);
    EXPECT_EQ(object_number(4)->flags & OBJ_ACTOR, 0u);
    // The definition object itself keeps its own fields.
    EXPECT_EQ(def->angle, 1608 + 100);
    EXPECT_EQ(def->cycle, 1024);
    ASSERT_NE(find_template("TORCH"), nullptr);
    EXPECT_EQ(find_template("torch")->angle, 100);
}

TEST_F(DefinitionTest, WallOffsetsGrowByTheDefinitionsAndLengthsStay) {
    ASSERT_EQ(load_text(map), 0);
    MapObject* def = nullptr;
    ASSERT_EQ(open_object_definition("brick", KIND_WALL, false, &def), 0);
    def->texture = texture(TEX_ONESHOT);
    def->offset_x += 512;
    def->offset_y += 1024;
    ASSERT_EQ(close_object_definition(def), 0);
    MapObject* other = object_number(2);
    EXPECT_EQ(other->offset_x, 1024 + 512);
    EXPECT_EQ(other->offset_y, 3 * 1024 + 1 + 1024);
    EXPECT_EQ(other->base_offset_x, 512);
    EXPECT_EQ(other->angle, 4096);  // LENGTH
    EXPECT_EQ(other->flags & OBJ_PLAY, 0u);  // ONESHOT textures do not play by themselves
    EXPECT_EQ(def->offset_x, 2048 + 512);
}

TEST_F(DefinitionTest, ANameWithoutMapObjectsGetsAnInvisiblePlaceholder) {
    ASSERT_EQ(load_text("REGION first 0 1; REGION second 0 1;"), 0);
    MapObject* def = nullptr;
    ASSERT_EQ(open_object_definition("ghost", KIND_THING, true, &def), 0);
    ASSERT_NE(def, nullptr);
    EXPECT_STREQ(def->identity, "ghost");
    EXPECT_EQ(def->region, region_number(0));
    EXPECT_EQ(def->right_region, region_number(0));
    EXPECT_EQ(def->flags & (OBJ_THING | OBJ_ACTOR), uint32_t(OBJ_THING | OBJ_ACTOR));
    ASSERT_NE(def->vertex1, nullptr);
    EXPECT_EQ(def->vertex1, def->vertex2);
    def->texture = texture();
    ASSERT_EQ(close_object_definition(def), 0);
    EXPECT_NE(def->flags & OBJ_INVISIBLE, 0u);
    // The template carries only what the definition gave: objects made from it later
    // (database rows) are visible.
    EXPECT_EQ(find_template("ghost")->block.flags & OBJ_INVISIBLE, 0u);

    MapObject* wall = nullptr;
    ASSERT_EQ(open_object_definition("panel", KIND_WALL, false, &wall), 0);
    EXPECT_NE(wall->vertex1, wall->vertex2);
    EXPECT_EQ(wall->flags & (OBJ_THING | OBJ_ACTOR), 0u);
}

TEST_F(DefinitionTest, MistakesAreScriptErrors) {
    ASSERT_EQ(load_text(map), 0);
    MapObject* def = nullptr;
    ASSERT_EQ(open_object_definition("brick", KIND_WALL, false, &def), 0);
    EXPECT_EQ(close_object_definition(def), -1);  // no texture
    EXPECT_EQ(errors(), 1);
    def->texture = texture();
    EXPECT_EQ(close_object_definition(def), 0);
    EXPECT_EQ(open_object_definition("brick", KIND_WALL, false, &def), -1);  // defined twice
    EXPECT_EQ(errors(), 2);
    EXPECT_EQ(open_object_definition("torch", KIND_WALL, false, &def), -1);  // a thing's name
    EXPECT_GE(errors(), 3);
    EXPECT_EQ(apply_template(object_number(1), nullptr), -1);
}

TEST_F(DefinitionTest, AWorldReloadDefinesTheObjectAgainFromItsOwnValues) {
    ASSERT_EQ(load_text(map), 0);
    MapObject* def = nullptr;
    ASSERT_EQ(open_object_definition("torch", KIND_THING, false, &def), 0);
    Texture* first = texture();
    def->texture = first;
    def->angle += 10;
    def->skill[0] = 1;
    ASSERT_EQ(close_object_definition(def), 0);

    load_mode = LOAD_REDEFINE;
    ASSERT_EQ(open_object_definition("torch", KIND_THING, false, &def), 0);
    EXPECT_EQ(def->angle, 1608);     // its own angle again, before the definition adds
    EXPECT_EQ(def->skill[0], 0);     // defaults
    EXPECT_EQ(def->region, region_number(0));  // a map object keeps its place
    Texture* second = texture();
    def->texture = second;
    def->angle += 20;
    ASSERT_EQ(close_object_definition(def), 0);
    load_mode = 0;
    EXPECT_EQ(object_number(4)->texture, second);
    EXPECT_EQ(object_number(4)->angle, 20);  // the new definition replaces the old one's 10
    int count = 0;
    for (ObjectTemplate* t = templates.list; t; t = t->next) count++;
    EXPECT_EQ(count, 1);  // the template was overwritten
}

TEST_F(DefinitionTest, TextureAssignmentRestartsAnimationAndMarksSkies) {
    ASSERT_EQ(load_text("REGION r 0 1;"), 0);
    Region* r = region_number(0);
    Texture* sky = texture(TEX_SKY, 2);
    Texture* ground = texture(TEX_SLOOP, 4);
    static int stopped, rewound;
    stopped = rewound = 0;
    world_hooks.stop_texture_sound = [](Texture*, void*) { stopped++; };
    world_hooks.rewind_flic_texture = [](Texture*) { rewound++; };

    assign_ceiling_texture(r, sky, 0);
    EXPECT_EQ(r->ceil_tex, sky);
    EXPECT_NE(r->status & REGSTATUS_CEIL_SKY, 0u);
    EXPECT_NE(r->flags & REGION_PLAY_C, 0u);
    EXPECT_EQ(r->ceil_cycle, 1024);
    EXPECT_EQ(r->ceil_bitmap, sky->frames[0].bitmap);

    assign_floor_texture(r, ground, 0);
    r->floor_cycle = 3072;
    assign_floor_texture(r, ground, 0);  // the same texture: the counter goes on
    EXPECT_EQ(r->floor_cycle, 3072);
    EXPECT_EQ(r->floor_bitmap, ground->frames[2].bitmap);
    EXPECT_EQ(r->status & REGSTATUS_FLOOR_SKY, 0u);
    EXPECT_EQ(stopped, 1);  // the looping sound of the texture replaced

    Texture* flic = texture(TEX_FLIC);
    assign_floor_texture(r, flic, 1);  // keep: the animation state stays
    EXPECT_EQ(rewound, 1);
    EXPECT_EQ(stopped, 2);
    EXPECT_EQ(r->floor_cycle, 3072);
    EXPECT_EQ(r->floor_tex, flic);
}

TEST_F(DefinitionTest, InflateMakesAScaledCopyOfTheFirstFrame) {
    Texture* t = texture();
    inflate_texture(t, 1);
    EXPECT_EQ(t->scaled, nullptr);  // not scalable
    t->state |= TEXSTATE_SCALABLE;
    inflate_texture(t, 1);
    EXPECT_EQ(t->scaled, nullptr);  // no palette yet
    new_record(KIND_PALETTE);
    inflate_texture(t, 1);
    ASSERT_NE(t->scaled, nullptr);
    EXPECT_EQ(t->scaled->width, 2);
    EXPECT_EQ(t->scaled->height, 3);
    EXPECT_EQ(std::memcmp(t->scaled->pixels, t->frames[0].bitmap->pixels, 6), 0);
    t->state |= TEXSTATE_KEEP_SCALED;
    inflate_texture(t, 0);
    EXPECT_EQ(t->scaled, nullptr);
    inflate_texture(t, 1);
    EXPECT_NE(t->scaled, nullptr);

    Bitmap* big = scale_bitmap_nearest(t->frames[0].bitmap, 4, 6);
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->pixels[0], t->frames[0].bitmap->pixels[0]);
    EXPECT_EQ(big->pixels[6 * 2], t->frames[0].bitmap->pixels[3]);  // column 2 is source column 1
    std::free(big->pixels);
    std::free(big);
}

}  // namespace
