// Building the level: BELOW chains (private copies, cycles), stacks, the region lists of
// objects, the actor table, CURTAIN walls, the map extents, placement; and the finish of
// the loaded objects after the script.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/console_capture.h"
#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "world/map_loader.h"
#include "world/world.h"
#include "world_fixture.h"

namespace {

class BuildTest : public WorldTest {
protected:
    void load_and_build(const std::string& map) {
        ASSERT_EQ(load_text(map), 0) << reports();
        map_loader.map_loaded = 1;
    }
    static bool in_list(MapObject* head, MapObject* o, bool right) {
        for (MapObject* x = head; x; x = right ? x->right_next : x->region_next)
            if (x == o) return true;
        return false;
    }
};

const char* stack_map =
    "VERTEX 0 0; VERTEX 10 0; VERTEX 10 10; VERTEX 0 10;\n"
    "REGION top 10 20;\n"      // 0
    "REGION middle 5 10;\n"    // 1
    "REGION bottom 0 5;\n"     // 2
    "REGION side 0 20;\n"      // 3
    "WALL w 0 1 middle side;\n"  // 1: left side in the stack
    "THING t 5 5 0 bottom;\n"    // 2
    "ACTOR a 6 6 0 bottom;\n";   // 3

TEST_F(BuildTest, StacksLinkObjectsIntoTheirStackBase) {
    load_and_build(stack_map);
    Region *top = region_number(0), *middle = region_number(1), *bottom = region_number(2), *side = region_number(3);
    top->below = middle;
    middle->below = bottom;
    side->clip_dist = 0x7FFFFFFF;
    build_level();
    EXPECT_EQ(errors(), 0) << reports();
    EXPECT_EQ(top->top, top);
    EXPECT_EQ(top->stack_position, 1);
    EXPECT_EQ(middle->top, top);
    EXPECT_EQ(middle->stack_position, 2);
    EXPECT_EQ(bottom->top, top);
    EXPECT_EQ(bottom->stack_position, 3);
    EXPECT_EQ(side->top, side);
    EXPECT_EQ(side->stack_position, 0);
    EXPECT_EQ(side->clip_dist, CLIP_DIST_LIMIT);

    MapObject *w = object_number(1), *t = object_number(2), *a = object_number(3);
    EXPECT_EQ(w->region, top);  // replaced by its stack base
    EXPECT_EQ(w->right_region, side);
    EXPECT_TRUE(in_list(top->objects, w, false));
    EXPECT_TRUE(in_list(side->right_walls, w, true));
    EXPECT_EQ(t->region, bottom);  // a thing keeps its region ...
    EXPECT_TRUE(in_list(top->objects, t, false));  // ... and is listed at the base
    // Actors are moved by the actor loop: they are in the table, not in region lists.
    EXPECT_FALSE(in_list(top->objects, a, false));
    ASSERT_EQ(world.actor_count, 1);
    EXPECT_EQ(world.actors[0], a);
    EXPECT_EQ(world.actors[1], nullptr);
}

TEST_F(BuildTest, RegionsNamingTheSameBelowGetPrivateCopies) {
    load_and_build(
        "REGION a 10 20; REGION b 10 20; REGION shared 0 10; REGION deeper -5 0; REGION c 30 40;");
    Region *a = region_number(0), *b = region_number(1), *shared = region_number(2), *deeper = region_number(3);
    Region* c = region_number(4);
    a->below = shared;
    b->below = shared;
    c->below = shared;
    shared->below = deeper;
    shared->skill[0] = 77;
    build_level();
    EXPECT_EQ(errors(), 0);
    // The list is newest first: c comes first and keeps the original stack.
    EXPECT_EQ(c->below, shared);
    EXPECT_EQ(shared->below, deeper);
    ASSERT_NE(b->below, nullptr);
    ASSERT_NE(a->below, nullptr);
    EXPECT_NE(b->below, shared);
    EXPECT_NE(a->below, shared);
    EXPECT_NE(a->below, b->below);
    // A copy carries everything of its original but its number, and a private stack below.
    Region* copy = a->below;
    EXPECT_GE(copy->number, 5);
    EXPECT_STREQ(copy->identity, "shared");
    EXPECT_EQ(copy->floor_hgt, 0);
    EXPECT_EQ(copy->skill[0], 77);
    ASSERT_NE(copy->below, nullptr);
    EXPECT_NE(copy->below, deeper);
    EXPECT_EQ(copy->below->floor_hgt, deeper->floor_hgt);
    EXPECT_EQ(copy->top, a);
    EXPECT_EQ(copy->below->stack_position, 3);
    // Changing one stack leaves the other as it was.
    copy->floor_hgt = 999;
    EXPECT_EQ(shared->floor_hgt, 0);
    EXPECT_EQ(catalogue.region_count, 9);  // two copies of the two-region stack
}

TEST_F(BuildTest, BelowLoopsAreCutWithAReportNamingTheRegion) {
    load_and_build("REGION ring 0 1; REGION loop 0 1; REGION lone 0 1;");
    Region *ring = region_number(0), *loop = region_number(1), *lone = region_number(2);
    ring->below = loop;
    loop->below = ring;
    lone->below = lone;
    CapturedConsole console;
    build_level();
    EXPECT_EQ(errors(), 2);
    EXPECT_NE(console.text().find("region lone (#2) closes a loop"), std::string::npos) << console.text();
    EXPECT_EQ(lone->below, nullptr);
    // Walked from the newest region: lone, then loop -> ring -> loop closes at ring.
    EXPECT_NE(console.text().find("region ring (#0)"), std::string::npos) << console.text();
    EXPECT_EQ(loop->below, ring);
    EXPECT_EQ(ring->below, nullptr);
    EXPECT_EQ(loop->stack_position, 1);
    EXPECT_EQ(ring->stack_position, 2);
}

struct CurtainCase {
    const char* what;
    const char* regions;  // two REGION statements
    uint32_t wall_flags;
    uint32_t left_flags;
    bool same_instance;
    bool curtain;
};

void PrintTo(const CurtainCase& c, std::ostream* out) { *out << c.what; }

class CurtainTest : public BuildTest, public ::testing::WithParamInterface<CurtainCase> {};

TEST_P(CurtainTest, WallsBetweenEqualSidesAreCurtains) {
    const CurtainCase& c = GetParam();
    load_and_build(std::string("VERTEX 0 0; VERTEX 1 0;") + c.regions +
                   (c.same_instance ? "WALL w 0 1 0 0;" : "WALL w 0 1 0 1;"));
    object_number(1)->flags |= c.wall_flags;
    region_number(0)->flags |= c.left_flags;
    build_level();
    EXPECT_EQ((object_number(1)->flags & OBJ_CURTAIN) != 0, c.curtain) << c.what;
}

const CurtainCase curtain_cases[] = {
    {"two instances, equal heights", "REGION r 0 4; REGION r 0 4;", 0, 0, false, true},
    {"different ceilings", "REGION r 0 4; REGION r 0 5;", 0, 0, false, false},
    {"different floors", "REGION r 1 4; REGION r 0 4;", 0, 0, false, false},
    {"different regions", "REGION r 0 4; REGION s 0 4;", 0, 0, false, false},
    {"a fence", "REGION r 0 4; REGION r 0 4;", OBJ_FENCE, 0, false, false},
    {"a saved left side", "REGION r 0 4; REGION r 0 4;", 0, REGION_SAVE, false, false},
    {"the same instance, saved", "REGION r 0 4; REGION r 0 4;", 0, REGION_SAVE, true, true},
};
INSTANTIATE_TEST_SUITE_P(Table, CurtainTest, ::testing::ValuesIn(curtain_cases));

TEST_F(BuildTest, SameKindLinksRunThroughTheListByIdentity) {
    load_and_build("REGION r 0 1; REGION s 0 1; REGION R 0 1; REGION s 0 1; REGION r 0 1;");
    build_level();
    // List order is newest first: 4 r, 3 s, 2 r, 1 s, 0 r.
    EXPECT_EQ(region_number(4)->same_kind, region_number(2));
    EXPECT_EQ(region_number(2)->same_kind, region_number(0));
    EXPECT_EQ(region_number(0)->same_kind, nullptr);
    EXPECT_EQ(region_number(3)->same_kind, region_number(1));
}

TEST_F(BuildTest, ExtentsCoverVisibleObjectsAndTheActorTableIsBounded) {
    std::string map = "VERTEX -3 4; VERTEX 7 -2; VERTEX 100 100; REGION r 0 1; WALL w 0 1 r r; WALL hidden 0 2 r r;";
    for (int i = 0; i < MAX_ACTORS + 5; i++) map += "ACTOR a 1 1 0 r;";
    load_and_build(map);
    object_number(2)->flags |= OBJ_INVISIBLE;
    build_level();
    EXPECT_EQ(var_value(SLOT_MAP_MINX), -3072);
    EXPECT_EQ(var_value(SLOT_MAP_MAXX), 7168);
    EXPECT_EQ(var_value(SLOT_MAP_MINY), -2048);
    EXPECT_EQ(var_value(SLOT_MAP_MAXY), 4096);
    EXPECT_EQ(world.actor_count, MAX_ACTORS);
    EXPECT_EQ(world.actors[MAX_ACTORS], nullptr);
    // Actors beyond the table are still placed.
    EXPECT_NE(object_number(3)->flags & OBJ_SAVE, 0u);
}

TEST_F(BuildTest, PlacementSetsThingsOnFloorsAndCeilings) {
    load_and_build("VERTEX 0 0; VERTEX 4 0 2; REGION upper 6 12; REGION lower 0 6; REGION side 0 12;"
                   "THING floor 1 1 0 upper; THING lamp 1 1 0 upper; THING crate 1 1 0 upper; WALL w 0 1 upper side;");
    Region *upper = region_number(0), *lower = region_number(1);
    upper->below = lower;
    MapObject *floor = object_number(1), *lamp = object_number(2), *crate = object_number(3), *wall = object_number(4);
    lamp->flags |= OBJ_CANDELABER;
    crate->flags |= OBJ_GROUND;
    crate->height = 2048;  // below the lower region's ceiling: it sinks into the lower region
    build_level();
    EXPECT_EQ(floor->vertex1->z, 6144);
    EXPECT_EQ(floor->floor_hgt, 6144);
    EXPECT_NE(floor->flags & OBJ_SAVE, 0u);
    EXPECT_EQ(lamp->vertex1->z, 12288 - MAPOBJ_DEFAULT_SIZE);
    EXPECT_EQ(crate->vertex1->z, 0);
    EXPECT_EQ(crate->region, lower);
    EXPECT_EQ(crate->floor_hgt, 0);
    EXPECT_NE(wall->flags & OBJ_SAVE, 0u);
    EXPECT_EQ(wall->wall_slope, 2048 * 1024 / 4096);
    // upper's stack has two regions, the side is alone: the stacks differ.
    EXPECT_NE(wall->status & OBJSTATUS_STACKS_DIFFER, 0u);
}

TEST_F(BuildTest, NothingIsBuiltWithoutAMap) {
    ASSERT_EQ(load_text("REGION r 0 1; REGION s 0 1;"), 0);
    region_number(0)->below = region_number(1);
    map_loader.map_loaded = 0;
    build_level();
    EXPECT_EQ(region_number(0)->top, nullptr);
}

TEST_F(BuildTest, InstancesTakeTheirDefinitionAndUnmadeRegionsTheirDefinedHeights) {
    ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 1 0; REGION hall 1 5; REGION hall 2 6; WALL w 0 1 hall vault;"), 0);
    Region* hall = region_number(0);
    Region* second = region_number(1);
    Region* vault = region_number(2);  // made by a reference, not by a REGION statement
    // What the script's REGION blocks put into the catalogue's regions.
    hall->ambient = 300;
    hall->skill[3] = 42;
    hall->flags |= REGION_STICKY;
    hall->def_floor_hgt = 9.5;
    hall->defined |= REGION_DEF_FLOOR_HGT;
    vault->def_floor_hgt = -2.25;
    vault->def_ceil_hgt = 3;
    vault->defined |= REGION_DEF_FLOOR_HGT | REGION_DEF_CEIL_HGT;
    finish_loaded_objects();
    EXPECT_EQ(second->ambient, 300);
    EXPECT_EQ(second->skill[3], 42);
    EXPECT_NE(second->flags & REGION_STICKY, 0u);
    // The map's heights stand for the instances it made.
    EXPECT_EQ(hall->floor_hgt, 1024);
    EXPECT_EQ(second->floor_hgt, 2048);
    EXPECT_EQ(second->number, 1);
    EXPECT_STREQ(second->identity, "hall");
    EXPECT_EQ(vault->floor_hgt, -2304);
    EXPECT_EQ(vault->ceil_hgt, 3072);
}

TEST_F(BuildTest, ALevelWithoutPaletteFailsToBuild) {
    CapturedConsole console;
    EXPECT_EQ(finish_level(), 1);
    EXPECT_EQ(errors(), 1);
    EXPECT_NE(console.text().find("the level has no PALETTE"), std::string::npos);
    // With palettes, the first one defined is the level's.
    Palette* first = (Palette*)new_record(KIND_PALETTE);
    new_record(KIND_PALETTE);
    var_set(SLOT_PLAYER_X, 5000);
    world.fade = 0;
    EXPECT_EQ(finish_level(), 0);
    EXPECT_EQ(world.level_palette, first);
    EXPECT_EQ(world.fade, 1024);
    EXPECT_EQ(var_value(SLOT_PLAYER_LAST_X), 5000);
}

}  // namespace
