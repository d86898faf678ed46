// The WALL, THING, ACTOR and REGION blocks: every field, the kinds each field and flag is
// for, the definition copied into the map's objects of the name, and their faults.
#include "defs_fixture.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"

namespace {

class Objects : public DefsTest {
protected:
    void write_images() {
        write("brick.tx", tx_image(8, 8));
        write("wide.tx", tx_image(8, 4));
    }
    void SetUp() override {
        DefsTest::SetUp();
        write_images();
    }
    // The definitions every case needs.
    int read_with_textures(const std::string& text) {
        return read("BMAP brick, <brick.tx>; BMAP wide, <wide.tx>; TEXTURE t { BMAPS brick; }\n"
                    "TEXTURE flat { BMAPS wide; } TEXTURE sky { BMAPS wide; FLAGS SKY; }\n" +
                    text);
    }
    static MapObject* object(const char* name, int32_t kind) { return get<MapObject>(name, kind); }
};

TEST_F(Objects, EveryField) {
    ASSERT_EQ(read_fixture("defs_objects.wdl"), 0) << listing() << console();
    Texture* brick_wall = get<Texture>("brick_wall", KIND_TEXTURE);
    Texture* two_sides = get<Texture>("two_sides", KIND_TEXTURE);
    Texture* sky = get<Texture>("sky", KIND_TEXTURE);
    Skill* power = find_skill("power");

    MapObject* door = object("door", KIND_WALL);
    ASSERT_NE(door, nullptr);
    EXPECT_EQ(door->flags & (OBJ_THING | OBJ_ACTOR), 0u);
    EXPECT_EQ(door->texture, brick_wall);
    EXPECT_EQ(door->attach, two_sides);
    EXPECT_EQ(door->dist, 5120);
    EXPECT_EQ(door->skill[0], 1536);
    EXPECT_EQ(door->skill[7], -2048);
    EXPECT_EQ(door->feature[1], &power->value);
    EXPECT_EQ(door->feature_marks, 0x2u);
    EXPECT_EQ(door->feature_ref[1].mode, VARREF_DIRECT);
    // OBJ_PLAY: assigning the (not one-shot) texture starts its animation.
    EXPECT_EQ(door->flags, uint32_t(OBJ_PLAY | OBJ_TRANSPARENT | OBJ_PORTCULLIS | OBJ_CURTAIN | OBJ_FENCE | OBJ_INVISIBLE |
                                    OBJ_FAR | OBJ_PASSABLE | OBJ_SEEN | OBJ_BERKELEY | 0x1000 | 0x80000 |
                                    OBJ_SENSITIVE | OBJ_FRAGILE | OBJ_LIBER | OBJ_SAVE | OBJ_IMMATERIAL |
                                    OBJ_IMPASSABLE));
    const char* events[] = {"on_near", "on_far", "on_hit", "on_cycle", "on_arrived", "on_tick"};
    Action* const got[] = {door->if_near, door->if_far, door->if_hit, door->each_cycle, door->if_arrived,
                           door->each_tick};
    for (int i = 0; i < 6; i++) EXPECT_EQ(got[i], get<Action>(events[i], KIND_ACTION)) << events[i];
    EXPECT_EQ(door->map_color, 1);
    EXPECT_EQ(door->height, 2048);  // POSITION
    EXPECT_EQ(door->offset_x, 3072);
    EXPECT_EQ(door->offset_y, 4096);
    EXPECT_EQ(door->base_offset_x, 3072);
    EXPECT_EQ(door->base_offset_y, 4096);

    MapObject* lamp = object("lamp", KIND_THING);
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->flags & (OBJ_THING | OBJ_ACTOR), uint32_t(OBJ_THING));
    EXPECT_EQ(lamp->overlay, get<Overlay>("badge", KIND_OVERLAY));
    EXPECT_EQ(lamp->height, 3072);
    EXPECT_EQ(lamp->angle, (1536 + 5120) % 6433);  // added up, wrapping at a full turn
    EXPECT_EQ(lamp->map_color, 200);
    EXPECT_TRUE(lamp->flags & OBJ_GROUND);
    EXPECT_TRUE(lamp->flags & OBJ_CANDELABER);

    MapObject* guard = object("guard", KIND_THING);
    ASSERT_NE(guard, nullptr);
    EXPECT_TRUE(guard->flags & OBJ_ACTOR);
    EXPECT_EQ(guard->speed, 2048);
    EXPECT_EQ(guard->vspeed, 512);
    EXPECT_EQ(guard->aspeed, 256);
    EXPECT_EQ(guard->waypoint, 3072);
    EXPECT_EQ(guard->target_x, 10240);
    EXPECT_EQ(guard->target_y, 20480);
    EXPECT_EQ(guard->target, TARGET_OBJECT);
    EXPECT_EQ(guard->target_object, lamp);
    EXPECT_TRUE((guard->flags & (OBJ_CAREFULLY | OBJ_MASTER | OBJ_GROUND)) == (OBJ_CAREFULLY | OBJ_MASTER | OBJ_GROUND));

    Way* route = get<Way>("route", KIND_WAY);
    EXPECT_EQ(object("walker", KIND_THING)->target, TARGET_WAY);
    EXPECT_EQ(object("walker", KIND_THING)->target_object, route);
    EXPECT_EQ(object("on_way", KIND_THING)->target, TARGET_WAY);
    EXPECT_EQ(object("on_way", KIND_THING)->target_object, route);
    EXPECT_EQ(object("runner", KIND_THING)->target, TARGET_REPEL);
    EXPECT_EQ(object("follower", KIND_THING)->target, TARGET_FOLLOW);
    EXPECT_EQ(object("holder", KIND_THING)->target, TARGET_HOLD);
    EXPECT_TRUE(object("holder", KIND_THING)->flags & OBJ_HOLD);
    MapObject* two = object("player_two", KIND_THING);
    MapObject* three = object("player_three", KIND_THING);
    EXPECT_EQ(two->node, 1);
    EXPECT_EQ(three->node, 2);
    EXPECT_TRUE(two->flags & OBJ_NODE);
    EXPECT_EQ(world_script.node_actor[1], two);
    EXPECT_EQ(world_script.node_actor[2], three);

    Region* hall = get<Region>("hall", KIND_REGION);
    Region* cellar = get<Region>("cellar", KIND_REGION);
    ASSERT_TRUE(hall && cellar);
    EXPECT_EQ(hall->floor_tex, brick_wall);
    EXPECT_EQ(hall->ceil_tex, sky);
    EXPECT_EQ(hall->texture[0], brick_wall);
    EXPECT_EQ(hall->texture[3], sky);
    EXPECT_EQ(hall->genius, lamp);  // the unknown second GENIUS kept it
    EXPECT_EQ(hall->skill[2], 4096);
    EXPECT_EQ(hall->feature[7], &power->value);
    EXPECT_EQ(hall->feature_marks, 0x80u);
    EXPECT_DOUBLE_EQ(hall->def_ceil_hgt, 12.75);
    EXPECT_DOUBLE_EQ(hall->def_floor_hgt, -0.3);
    EXPECT_EQ(hall->ceil_hgt, 13056);
    EXPECT_EQ(hall->floor_angle, 128);
    EXPECT_EQ(hall->ceil_angle, 256);
    EXPECT_EQ(hall->clip_dist, 300 * 1024);
    EXPECT_EQ(hall->ceil_offs_x, 1024);
    EXPECT_EQ(hall->ceil_offs_y, 2048);
    EXPECT_EQ(hall->floor_offs_x, 3072);
    EXPECT_EQ(hall->floor_offs_y, 4096);
    EXPECT_EQ(hall->ambient, 512);
    EXPECT_EQ(hall->below, cellar);
    EXPECT_EQ(hall->above, cellar);
    const char* region_events[] = {"enter", "leave", "dive", "arise", "region_tick", "region_cycle"};
    Action* const region_got[] = {hall->if_enter, hall->if_leave, hall->if_dive, hall->if_arise, hall->each_tick,
                                  hall->each_cycle};
    for (int i = 0; i < 6; i++) EXPECT_EQ(region_got[i], get<Action>(region_events[i], KIND_ACTION)) << i;
    EXPECT_EQ(hall->flags, uint32_t(REGION_BASE | REGION_STICKY | 0x2000 | REGION_FLOOR_ASCEND |
                                    REGION_FLOOR_DESCEND | REGION_CEIL_ASCEND | REGION_SAVE | REGION_SAVE_ALL));
    EXPECT_EQ(get<Region>("lifted", KIND_REGION)->flags, 0x500000u | REGION_CEIL_DESCEND);
    EXPECT_EQ(errors(), 0) << listing();
}

TEST_F(Objects, TheDefinitionGoesToEveryObjectOfTheName) {
    // Three lamps of the map; the first made is the name's object.
    MapObject* first = new_map_object("lamp", KIND_THING);
    MapObject* second = new_map_object("lamp", KIND_THING);
    MapObject* third = new_map_object("lamp", KIND_THING);
    ASSERT_TRUE(first && second && third);
    ASSERT_EQ(read_with_textures("THING lamp { TEXTURE t; SKILL2 7; FLAGS FRAGILE; }"), 0) << listing();
    Texture* t = get<Texture>("t", KIND_TEXTURE);
    for (MapObject* o : {first, second, third}) {
        EXPECT_EQ(o->texture, t);
        EXPECT_EQ(o->skill[1], 7 * 1024);
        EXPECT_TRUE(o->flags & OBJ_FRAGILE);
        EXPECT_TRUE(o->flags & OBJ_THING);
    }
}

TEST_F(Objects, TheActorOfThisNodeGivesThePlayerItsPlace) {
    settings.node = 1 * 1024;
    MapObject* actor = new_map_object("second_player", KIND_THING);
    ASSERT_NE(actor, nullptr);
    actor->flags |= OBJ_ACTOR;
    actor->vertex1 = new_vertex(3 * 1024, 4 * 1024, 0);
    actor->angle = 1608;
    Region* room = (Region*)new_record(KIND_REGION);
    actor->region = room;
    ASSERT_EQ(read_with_textures("ACTOR second_player { TEXTURE t; NODE 1; }"), 0) << listing();
    EXPECT_EQ(var_value(SLOT_PLAYER_X), 3 * 1024);
    EXPECT_EQ(var_value(SLOT_PLAYER_Y), 4 * 1024);
    EXPECT_EQ(var_value(SLOT_PLAYER_ANGLE), 1608);
    EXPECT_EQ(world_refs.player_region, room);
}

TEST_F(Objects, FaultsOfObjectDefinitions) {
    const char* cases[] = {
        "WALL w { TEXTURE t; HEIGHT 2; }",          // HEIGHT is for things and actors
        "THING x { TEXTURE t; SPEED 2; }",          // SPEED is for actors
        "WALL w { TEXTURE t; FLAGS GROUND; }",      // a thing flag on a wall
        "THING x { TEXTURE t; FLAGS CAREFULLY; }",  // an actor flag on a thing
        "ACTOR a { TEXTURE t; FLAGS FENCE; }",      // a wall flag on an actor
        "THING x { TEXTURE t; ANGLE 7; }",          // more than a full turn
        "THING x { TEXTURE t; ANGLE -0.5; }",
        "WALL w { TEXTURE t; MAP_COLOR 2; }",       // walls have 0 and 1
        "THING x { TEXTURE t; MAP_COLOR 256; }",
        "WALL w { TEXTURE t; FEATURE1 3; }",        // a constant is no variable
        "WALL w { TEXTURE t; FEATURE1 nosuch; }",
        "WALL w { DIST 1; }",                       // no texture
        "WALL w { TEXTURE nosuch; }",
        "ACTOR a { TEXTURE t; TARGET nowhere; }",
        "ACTOR a { TEXTURE t; NODE 4; }",
        "ACTOR a { TEXTURE t; NODE 1; } ACTOR b { TEXTURE t; NODE 1; }",
        "THING x { TEXTURE t; } WALL x { TEXTURE t; }",
        "THING x { TEXTURE t; } ACTOR x { TEXTURE t; }",
        "THING x { TEXTURE t; } THING x { TEXTURE t; }",  // defined twice
        "WALL w { TEXTURE t; COLOR 3; }",
    };
    for (const char* text : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read_with_textures(std::string(text) + " STRING after, \"x\";"), -2) << text;
        EXPECT_EQ(errors(), 1) << text << listing();
        EXPECT_EQ(get<ScriptString>("after", KIND_STRING), nullptr) << text;
    }
}

TEST_F(Objects, AttachNeedsATextureWithFrames) {
    void* empty = nullptr;
    ASSERT_EQ(create_object("empty", KIND_TEXTURE, &empty), 0);
    EXPECT_EQ(read_with_textures("WALL w { TEXTURE t; ATTACH empty; }"), -2);
    EXPECT_EQ(errors(), 1) << listing();
    EXPECT_EQ(object("w", KIND_WALL)->attach, nullptr);
}

TEST_F(Objects, ReportedValuesAreStillStored) {
    EXPECT_EQ(read_with_textures("WALL w { TEXTURE t; MAP_COLOR 5; }"), -2);
    EXPECT_EQ(object("w", KIND_WALL)->map_color, 5);
    TearDown();
    SetUp();
    EXPECT_EQ(read("REGION r { AMBIENT -0.5; }"), -2);
    EXPECT_EQ(get<Region>("r", KIND_REGION)->ambient, -512);
}

TEST_F(Objects, FloorAndCeilingTexturesAreSquareOrSky) {
    struct Case {
        const char* field;
        bool v308;
        bool accepted;
    };
    const Case cases[] = {
        {"FLOOR_TEX t;", false, true},   {"FLOOR_TEX flat;", false, false}, {"FLOOR_TEX flat;", true, true},
        {"CEIL_TEX sky;", false, true},  {"CEIL_TEX flat;", false, false},  {"TEXTURE1 flat;", false, true},
    };
    for (const Case& c : cases) {
        TearDown();
        SetUp();
        settings.v308 = c.v308;
        read_with_textures(std::string("REGION r { ") + c.field + " }");
        EXPECT_EQ(errors() == 0, c.accepted) << c.field << " v308=" << c.v308 << listing();
    }
}

TEST_F(Objects, FaultsOfRegions) {
    const char* cases[] = {
        "REGION r { GENIUS nobody; }",    "REGION r { BELOW nowhere; }", "REGION r { FLAGS HIGH; }",
        "REGION r { CEIL_OFFS_X 1.5; }",  "REGION r { FLOOR_HGT x; }",   "REGION r { SPEED 3; }",
        "REGION r { IF_ENTER a.b; }",
    };
    for (const char* text : cases) {
        TearDown();
        SetUp();
        EXPECT_EQ(read(text), -2) << text;
        EXPECT_EQ(errors(), 1) << text << listing();
    }
}

}  // namespace
