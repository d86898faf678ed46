// Member tables (names, types, markers, cells, flags), predefined synonyms and the
// input-state names.
#include <cstddef>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue_fixture.h"

using CatalogueMembers = CatalogueTest;

static std::vector<std::string> table_names(int32_t kind) {
    std::vector<std::string> names;
    MemberTable t = member_table(kind);
    for (int32_t i = 0; i < t.count; i++) names.push_back(t.members[i].name);
    return names;
}

static std::vector<std::string> words(const char* text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

TEST_F(CatalogueMembers, TablesListTheMembersInOrder) {
    struct Case {
        int32_t kind;
        const char* names;
    } cases[] = {
        {KIND_VIEW, "VISIBLE GENIUS POS_X POS_Y SIZE_X SIZE_Y LAYER"},
        {KIND_PANEL, "POS_X POS_Y VISIBLE LAYER IF_KLICK"},
        {KIND_OVERLAY, "POS_X POS_Y SIDE SCALE_X SCALE_Y SIZE_X SIZE_Y LAYER VISIBLE"},
        {KIND_SKILL, "MIN MAX VAL"},
        {KIND_TEXT, "POS_X POS_Y STRING FONT INDEX SIZE_Y OFFSET_Y LINES SCALE_X SCALE_Y VISIBLE "
                    "LAYER VIEWPOS"},
        {KIND_TEXTURE, "AMBIENT ALBEDO SCALE_X SCALE_Y FONT IF_TOUCH IF_RELEASE IF_KLICK TOUCH "
                       "TITLE ATTACH POS_X POS_Y SOUND SVOL SDIST SVDIST"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(kind_name(c.kind));
        EXPECT_EQ(table_names(c.kind), words(c.names));
    }
    EXPECT_EQ(member_table(KIND_STRING).count, 0);
    EXPECT_EQ(find_member(KIND_SOUND, "VISIBLE"), nullptr);
}

TEST_F(CatalogueMembers, EveryKindAnswersItsMembers) {
    struct Case {
        int32_t kind;
        const char* names;
    } cases[] = {
        {KIND_REGION,
         "BELOW TOP CEIL_TEX FLOOR_TEX TEXTURE1 TEXTURE4 CEIL_HGT FLOOR_HGT CEIL_CYCLE FLOOR_CYCLE "
         "CEIL_OFFS_X CEIL_OFFS_Y FLOOR_OFFS_X FLOOR_OFFS_Y AMBIENT GENIUS CLIP_DIST FLOOR_ANGLE "
         "CEIL_ANGLE SKILL1 SKILL8 FEATURE1 FEATURE8 IF_ENTER IF_LEAVE IF_DIVE IF_ARISE EACH_TICK "
         "EACH_CYCLE DO FOOT_HGT EACH_CYCLE_C EACH_CYCLE_F PLAY PLAY_C PLAY_F ONESHOT BASE HERE "
         "SEEN VISIBLE FLAG1 FLAG8"},
        {KIND_WALL,
         "TEXTURE ATTACH DIST SKILL1 FEATURE8 CYCLE DISTANCE IF_NEAR IF_FAR IF_HIT EACH_CYCLE "
         "EACH_TICK IF_ARRIVED SIZE_X TARGET_X TARGET_Y REL_ANGLE REL_DIST THING PLAY ONESHOT "
         "CAREFULLY ACTOR INVISIBLE PASSABLE SEEN VISIBLE BERKELEY FLAG1 FLAG8 SENSITIVE FRAGILE "
         "LIBER IMMATERIAL IMPASSABLE AMBIENT OFFSET_X OFFSET_Y POSITION LENGTH RIGHT LEFT "
         "TRANSPARENT PORTCULLIS FENCE X1 Y1 Z1 X2 Y2 Z2"},
        {KIND_THING,
         "TEXTURE DIST SKILL3 CYCLE REGION TARGET WAYPOINT OVERLAY SPEED VSPEED ANGLE SIZE_Y "
         "RESULT HEIGHT FLOOR_HGT GROUND MOVED X Y Z AMBIENT IMPASSABLE"},
        {KIND_OBJECT, "TEXTURE X Y Z X1 Y2 LENGTH GROUND PORTCULLIS REGION"},
    };
    for (const Case& c : cases) {
        for (const std::string& name : words(c.names)) {
            SCOPED_TRACE(std::string(kind_name(c.kind)) + "." + name);
            EXPECT_NE(find_member(c.kind, name.c_str()), nullptr);
        }
    }
    EXPECT_EQ(find_member(KIND_WALL, "X"), nullptr);     // walls have X1 ... Z2
    EXPECT_EQ(find_member(KIND_THING, "X1"), nullptr);   // things have X, Y, Z
    EXPECT_EQ(find_member(KIND_WALL, "SPEED"), nullptr);
    EXPECT_EQ(find_member(KIND_THING, "LENGTH"), nullptr);
    EXPECT_NE(find_member(KIND_THING, "speed"), nullptr);  // without case
}

TEST_F(CatalogueMembers, TypesAndMarkers) {
    struct Case {
        int32_t kind;
        const char* name;
        int32_t type;
        uint8_t markers;
        uint32_t mask;
    } cases[] = {
        {KIND_THING, "TEXTURE", TYPE_OBJECT_TEX, MEMBER_POINTER, 0},
        {KIND_REGION, "FLOOR_TEX", TYPE_FLOOR_TEX, MEMBER_POINTER, 0},
        {KIND_REGION, "CEIL_TEX", TYPE_CEIL_TEX, MEMBER_POINTER, 0},
        {KIND_REGION, "TEXTURE2", KIND_TEXTURE, MEMBER_POINTER | MEMBER_M2, 0},
        {KIND_REGION, "DO", KIND_ACTION, MEMBER_POINTER | MEMBER_M2, 0},
        {KIND_REGION, "FOOT_HGT", TYPE_NUMBER, MEMBER_M2, 0},
        {KIND_REGION, "GENIUS", KIND_OBJECT, MEMBER_POINTER, 0},
        {KIND_REGION, "PLAY", TYPE_FLAG, 0, 0x8000002},
        {KIND_REGION, "PLAY_C", TYPE_FLAG, MEMBER_M2, 0x8000000},
        {KIND_REGION, "HERE", TYPE_FLAG, MEMBER_READ_ONLY, 0x100},
        {KIND_REGION, "FLAG8", TYPE_FLAG, 0, 0x80000},
        {KIND_REGION, "FEATURE3", TYPE_FEATURE, MEMBER_POINTER, 0},
        {KIND_THING, "TARGET", TYPE_TARGET, 0, 0},
        {KIND_THING, "THING", TYPE_FLAG, MEMBER_READ_ONLY, 0x1},
        {KIND_THING, "ONESHOT", TYPE_FLAG, MEMBER_M2, 0x2},
        {KIND_THING, "VISIBLE", TYPE_FLAG, MEMBER_READ_ONLY, 0x400},
        {KIND_THING, "FLAG5", TYPE_FLAG, 0, 0x10000},
        {KIND_THING, "IMPASSABLE", TYPE_FLAG, 0, 0x20000000},
        {KIND_THING, "GROUND", TYPE_FLAG, 0, 0x10},
        {KIND_THING, "MOVED", TYPE_FLAG, 0, 0x2000000},
        {KIND_THING, "DISTANCE", TYPE_NUMBER, MEMBER_READ_ONLY, 0},
        {KIND_THING, "REGION", KIND_REGION, MEMBER_POINTER, 0},
        {KIND_THING, "OVERLAY", KIND_OVERLAY, MEMBER_POINTER, 0},
        {KIND_THING, "X", TYPE_NUMBER, MEMBER_INDIRECT, 0},
        {KIND_WALL, "FENCE", TYPE_FLAG, MEMBER_READ_ONLY, 0x4000000},
        {KIND_WALL, "LEFT", KIND_REGION, MEMBER_POINTER | MEMBER_READ_ONLY, 0},
        {KIND_WALL, "LENGTH", TYPE_NUMBER, MEMBER_READ_ONLY, 0},
        {KIND_TEXT, "STRING", KIND_STRING, MEMBER_POINTER, 0},
        {KIND_TEXT, "VISIBLE", TYPE_FLAG, 0, 0x4000},
        {KIND_TEXT, "LAYER", TYPE_NUMBER, MEMBER_READ_ONLY, 0},
        {KIND_TEXTURE, "SOUND", KIND_SOUND, MEMBER_POINTER, 0},
        {KIND_VIEW, "GENIUS", KIND_OBJECT, MEMBER_POINTER, 0},
        {KIND_PANEL, "IF_KLICK", KIND_ACTION, MEMBER_POINTER, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kind_name(c.kind)) + "." + c.name);
        const MemberSpec* m = find_member(c.kind, c.name);
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->type, c.type);
        EXPECT_EQ(m->markers, c.markers);
        EXPECT_EQ(m->mask, c.mask);
        EXPECT_EQ(kind_is_pointer(m->type), (c.markers & MEMBER_POINTER) != 0);
    }
}

TEST_F(CatalogueMembers, SharedSlots) {
    auto same = [](int32_t kind, const char* a, const char* b) {
        const MemberSpec* x = find_member(kind, a);
        const MemberSpec* y = find_member(kind, b);
        return x && y && x->offset == y->offset && !(x->markers & MEMBER_INDIRECT);
    };
    EXPECT_TRUE(same(KIND_THING, "REL_ANGLE", "TARGET_X"));
    EXPECT_TRUE(same(KIND_THING, "REL_DIST", "TARGET_Y"));
    EXPECT_TRUE(same(KIND_REGION, "EACH_CYCLE_C", "EACH_CYCLE"));
    EXPECT_TRUE(same(KIND_REGION, "EACH_CYCLE_F", "IF_ARISE"));
    EXPECT_TRUE(same(KIND_OVERLAY, "SIZE_X", "SCALE_X"));
    EXPECT_TRUE(same(KIND_OVERLAY, "SIZE_Y", "SCALE_Y"));
    EXPECT_EQ(find_member(KIND_WALL, "POSITION")->offset, offsetof(MapObject, height));
    EXPECT_EQ(find_member(KIND_THING, "HEIGHT")->offset, offsetof(MapObject, height));
    EXPECT_EQ(find_member(KIND_WALL, "LENGTH")->offset, offsetof(MapObject, angle));
}

TEST_F(CatalogueMembers, CellsReadAndWrite) {
    void* object = nullptr;
    ASSERT_EQ(create_object("CRATE", KIND_THING, &object), 0);
    MapObject* crate = (MapObject*)object;
    const MemberSpec* x = find_member(KIND_THING, "X");
    EXPECT_EQ(member_cell(crate, x), nullptr);  // no position vertex yet
    EXPECT_EQ(member_read(crate, x), 0);
    EXPECT_FALSE(member_write(crate, x, 5));
    crate->vertex1 = new_vertex(3072, 4096, 512);
    EXPECT_EQ(member_read(crate, x), 3072);
    EXPECT_EQ(member_read(crate, find_member(KIND_THING, "z")), 512);
    EXPECT_TRUE(member_write(crate, find_member(KIND_THING, "Y"), -1024));
    EXPECT_EQ(crate->vertex1->y, -1024);

    const MemberSpec* speed = find_member(KIND_THING, "SPEED");
    EXPECT_TRUE(member_write(crate, speed, 2560));
    EXPECT_EQ(crate->speed, 2560);
    EXPECT_EQ(member_read(crate, speed), 2560);
    const MemberSpec* flag3 = find_member(KIND_THING, "FLAG3");
    EXPECT_EQ(member_read(crate, flag3), 0);
    EXPECT_TRUE(member_write(crate, flag3, 1024));
    EXPECT_EQ(crate->flags, (uint32_t)(OBJ_THING | 0x4000));
    EXPECT_EQ(member_read(crate, flag3), 1024);
    EXPECT_TRUE(member_write(crate, flag3, 0));
    EXPECT_EQ(crate->flags, (uint32_t)OBJ_THING);
    EXPECT_FALSE(member_write(crate, find_member(KIND_THING, "REGION"), 1024));

    // A flag of two bits sets and clears both and reads set when either is set.
    ASSERT_EQ(create_object("POOL", KIND_REGION, &object), 0);
    Region* pool = (Region*)object;
    const MemberSpec* play = find_member(KIND_REGION, "PLAY");
    member_write(pool, play, 1024);
    EXPECT_EQ(pool->flags, 0x8000002u);
    member_write(pool, find_member(KIND_REGION, "PLAY_F"), 0);
    EXPECT_EQ(pool->flags, 0x8000000u);
    EXPECT_EQ(member_read(pool, play), 1024);
    member_write(pool, play, 0);
    EXPECT_EQ(pool->flags, 0u);
    EXPECT_EQ(member_read(pool, play), 0);

    Skill* skill = nullptr;
    ASSERT_EQ(create_skill("AMMO"), 0);
    skill = (Skill*)catalogue.current_entry->object;
    member_write(skill, find_member(KIND_SKILL, "MAX"), 50 * 1024);
    member_write(skill, find_member(KIND_SKILL, "VAL"), 7 * 1024);
    EXPECT_EQ(skill->maximum, 50 * 1024);
    EXPECT_EQ(skill->value, 7 * 1024);
    EXPECT_EQ(member_read(skill, find_member(KIND_SKILL, "MIN")), -2147483647);
}

TEST_F(CatalogueMembers, PredefinedSynonyms) {
    ASSERT_EQ(create_predefined_synonyms(), 1);
    struct Case {
        const char* name;
        int32_t type;
        void** cell;
    } cases[] = {
        {"REGION1", KIND_REGION, &world_refs.region[0]},
        {"REGION8", KIND_REGION, &world_refs.region[7]},
        {"PLAYER_REGION", KIND_REGION, &world_refs.player_region},
        {"HERE", KIND_REGION, &world_refs.player_region},
        {"THERE", KIND_REGION, &world_refs.there},
        {"MY", KIND_OBJECT, &world_refs.my},
        {"HIT", KIND_OBJECT, &world_refs.hit},
        {"TOUCHED", KIND_OBJECT, &world_refs.touched},
        {"TOUCH_TEX", KIND_TEXTURE, &world_refs.touch_tex},
        {"TOUCH_REG", KIND_REGION, &world_refs.touch_reg},
        {"TOUCH_TEXT", KIND_TEXT, &world_refs.touch_text},
        {"BACKDROP", KIND_TEXTURE, &world_refs.backdrop},
        {"MSPRITE", KIND_OVERLAY, &world_refs.msprite},
        {"COMMAND_LINE", KIND_STRING, &world_refs.command_line},
    };
    int count = 0;
    for (Synonym* s = catalogue.synonyms; s; s = s->next) count++;
    EXPECT_EQ(count, 20);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Synonym* s = (Synonym*)find_object(c.name, KIND_SYNONYM);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->type, c.type);
        EXPECT_EQ(s->ref, c.cell);
    }
    // The cell follows the engine: whatever MY is now is what MY refers to.
    void* object = nullptr;
    create_object("GUARD", KIND_THING, &object);
    world_refs.my = object;
    Synonym* my = (Synonym*)find_object("MY", KIND_SYNONYM);
    EXPECT_EQ(*my->ref, object);
    // COMMAND_LINE holds an empty string with room for 255 characters.
    ScriptString* line = (ScriptString*)world_refs.command_line;
    ASSERT_NE(line, nullptr);
    EXPECT_STREQ(line->text, "");
    EXPECT_EQ(line->capacity, 256);
    // A second creation keeps them and their cells.
    ASSERT_EQ(create_predefined_synonyms(), 1);
    EXPECT_EQ(catalogue.synonym_count, 20);
    EXPECT_EQ(world_refs.command_line, line);
    EXPECT_EQ(errors(), 0);
    // A user synonym starts untyped.
    ASSERT_EQ(create_object("TARGET_ROOM", KIND_SYNONYM, &object), 0);
    EXPECT_EQ(((Synonym*)object)->type, KIND_UNTYPED);
    EXPECT_EQ(((Synonym*)object)->ref, &((Synonym*)object)->object);
}

static int test_key_code(const char* name) {
    if (std::strcmp(name, "A") == 0 || std::strcmp(name, "a") == 0) return 30;
    if (std::strcmp(name, "ESC") == 0) return 1;
    return -1;
}

TEST_F(CatalogueMembers, InputStateNames) {
    EXPECT_EQ(find_input_cell("MOUSE_LEFT"), &input_cells.mouse_left);
    EXPECT_EQ(find_input_cell("mouse_middle"), &input_cells.mouse_middle);
    EXPECT_EQ(find_input_cell("MOUSE_RIGHT"), &input_cells.mouse_right);
    EXPECT_EQ(find_input_cell("KEY_JOY4"), &input_cells.key_joy4);
    EXPECT_EQ(find_input_cell("KEY_ANY"), &input_cells.key_any);
    auto engine_key_table = input_key_code;
    input_key_code = nullptr;
    EXPECT_EQ(find_input_cell("KEY_A"), nullptr);
    input_key_code = test_key_code;
    EXPECT_EQ(find_input_cell("KEY_A"), &input_cells.key[30]);
    EXPECT_EQ(find_input_cell("key_a"), &input_cells.key[30]);
    EXPECT_EQ(find_input_cell("KEY_ESC"), &input_cells.key[1]);
    EXPECT_EQ(find_input_cell("KEY_SENSE"), nullptr);  // no such key: an ordinary name
    EXPECT_EQ(find_input_cell("KEY"), nullptr);
    EXPECT_EQ(find_input_cell("MOUSE"), nullptr);
    input_key_code = engine_key_table;
}

TEST_F(CatalogueMembers, KindNames) {
    EXPECT_STREQ(kind_name(KIND_WALL), "WALL");
    EXPECT_STREQ(kind_name(KIND_VIEW), "VIEW");
    EXPECT_STREQ(kind_name(20), "?");
    EXPECT_TRUE(kind_is_pointer(KIND_ACTION));
    EXPECT_FALSE(kind_is_pointer(TYPE_NUMBER));
    EXPECT_FALSE(kind_is_pointer(TYPE_TARGET));
}

TEST_F(CatalogueMembers, OldMemberSpellings) {
    char out[8] = "unset";
    EXPECT_TRUE(old_member_spelling("MY_X", out));
    EXPECT_STREQ(out, "MY.X");
    EXPECT_TRUE(old_member_spelling("my_z2", out));
    EXPECT_STREQ(out, "MY.Z2");
    EXPECT_FALSE(old_member_spelling("MY_X3", out));
    EXPECT_FALSE(old_member_spelling("REGION1", out));
    EXPECT_FALSE(old_member_spelling("MY", out));
    EXPECT_STREQ(out, "MY.Z2");
    // The dotted form resolves through the table of any map object.
    EXPECT_NE(find_member(KIND_OBJECT, "Z2"), nullptr);
}
