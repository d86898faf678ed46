// LIFT, TILT, ROTATE and SHIFT over a region's stack, with the once-per-step vertex marks.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/frame.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "world/map_loader.h"
#include "world/region_moves.h"
#include "world/world.h"
#include "world_fixture.h"

namespace {

// A room of four walls sharing their corners, a thing on the floor, a GROUND crate and an
// actor; beside it a yard that must not move.
const char* room =
    "VERTEX 0 0; VERTEX 10 0; VERTEX 10 10; VERTEX 0 10; VERTEX 20 0;\n"
    "REGION room 2 8; REGION yard 0 8;\n"
    "WALL w 0 1 yard room; WALL w 1 2 yard room; WALL w 2 3 yard room; WALL w 3 0 yard room;\n"  // 1-4
    "WALL far 1 4 yard yard;\n"                                                              // 5
    "THING lamp 5 5 0 room; THING crate 3 3 0 room; ACTOR guard 4 4 0 room;\n"               // 6-8
    "THING post 15 1 0 yard;\n";                                                              // 9

class MovesTest : public WorldTest {
protected:
    Region* r = nullptr;
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(load_text(room), 0) << reports();
        map_loader.map_loaded = 1;
        object_number(7)->flags |= OBJ_GROUND;
        build_level();
        r = region_number(0);
        clear_vertex_marks();
    }
    static int32_t z(int vertex) { return vertex_number(vertex)->z; }
};

TEST_F(MovesTest, LiftRaisesWallCornersOnceAndGroundThingsByHeight) {
    lift_region(r, 1536);
    for (int v = 0; v < 4; v++) EXPECT_EQ(z(v), 1536) << v;  // each corner is shared by two walls
    EXPECT_EQ(z(4), 0);                                       // the yard's own vertex
    EXPECT_EQ(object_number(7)->height, 1536);                // GROUND: HEIGHT
    // Without GROUND the position rises, and placement puts the thing back on its floor.
    EXPECT_EQ(object_number(6)->vertex1->z, 2048);
    EXPECT_EQ(object_number(9)->vertex1->z, 0);
}

TEST_F(MovesTest, AFloorThatRisesCarriesItsThings) {
    r->floor_hgt += 1024;
    lift_region(r, 1024);
    EXPECT_EQ(object_number(6)->vertex1->z, 3072);
    EXPECT_EQ(object_number(6)->floor_hgt, 3072);
}

TEST_F(MovesTest, EachVertexMovesOncePerStepUntilTheMarksAreCleared) {
    lift_region(r, 1024);
    lift_region(r, 1024);
    EXPECT_EQ(z(0), 1024);
    EXPECT_EQ(object_number(7)->height, 2048);  // heights have no marks
    clear_vertex_marks();
    lift_region(r, 1024);
    EXPECT_EQ(z(0), 2048);
    // A move of another kind has its own mark.
    shift_region(r, 512, 0);
    EXPECT_EQ(vertex_number(0)->x, 512);
    EXPECT_EQ(vertex_number(0)->view_distance & MOVED_MARKS, MOVED_BY_LIFT | MOVED_BY_SHIFT);
}

TEST_F(MovesTest, TheFrameClearsTheMarksAtEveryStep) {
    install_world_operations();
    lift_region(r, 1024);
    ASSERT_NE(phase_ops.step_start, nullptr);
    phase_ops.step_start();
    lift_region(r, 1024);
    EXPECT_EQ(z(0), 2048);
    EXPECT_EQ(world.marked_count, 6);  // four corners, the lamp and the guard
}

TEST_F(MovesTest, TiltMultipliesAndRoundsToNearest) {
    vertex_number(0)->z = 1000;
    vertex_number(1)->z = -1001;
    object_number(7)->height = 3;
    tilt_region(r, 1536);  // x 1.5
    EXPECT_EQ(z(0), 1500);
    EXPECT_EQ(z(1), -1501);  // -1501.5 rounds by the half bit toward +infinity
    EXPECT_EQ(object_number(7)->height, 5);  // 4.5 -> 5
    EXPECT_EQ(z(4), 0);
}

TEST_F(MovesTest, ShiftMovesEveryVertexOfTheStackOnce) {
    shift_region(r, 1024, -2048);
    EXPECT_EQ(vertex_number(2)->x, 11264);
    EXPECT_EQ(vertex_number(2)->y, 8192);
    EXPECT_EQ(object_number(6)->vertex1->x, 6144);
    EXPECT_EQ(object_number(8)->vertex1->x, 5120);  // the actor in this region
    EXPECT_EQ(vertex_number(4)->x, 20480);          // the yard's vertex stays
    EXPECT_EQ(object_number(9)->vertex1->x, 15360);
}

TEST_F(MovesTest, RotateWithoutGeniusDoesNothing) {
    rotate_region(r, 1608);
    EXPECT_EQ(vertex_number(1)->x, 10240);
    EXPECT_EQ(vertex_number(1)->y, 0);
}

TEST_F(MovesTest, RotateTurnsAboutTheGeniusAndCarriesThePlayerInAStickyRegion) {
    settings.deterministic = 1;
    MapObject* lamp = object_number(6);  // at (5, 5): the room's centre
    r->genius = lamp;
    r->flags |= REGION_STICKY;
    lamp->angle = 6000;
    world_refs.player_region = r;
    var_set(SLOT_PLAYER_X, 7 * 1024);
    var_set(SLOT_PLAYER_Y, 5 * 1024);
    var_set(SLOT_PLAYER_ANGLE, 100);
    rotate_region(r, 3216);  // half a turn
    // (10, 0) turns to (0, 10) about (5, 5), within the precision of the fixed-point sine.
    EXPECT_NEAR(vertex_number(1)->x, 0, 8);
    EXPECT_NEAR(vertex_number(1)->y, 10240, 8);
    EXPECT_EQ(lamp->vertex1->x, 5120);
    EXPECT_EQ(lamp->angle, (6000 + 3216) % 6433);
    EXPECT_NEAR(var_value(SLOT_PLAYER_X), 3 * 1024, 8);
    EXPECT_NEAR(var_value(SLOT_PLAYER_Y), 5 * 1024, 8);
    EXPECT_EQ(var_value(SLOT_PLAYER_ANGLE), 3316);
    // Not sticky: the player stays.
    r->flags &= ~uint32_t(REGION_STICKY);
    clear_vertex_marks();
    rotate_region(r, 3216);
    EXPECT_NEAR(var_value(SLOT_PLAYER_X), 3 * 1024, 8);
    EXPECT_NEAR(vertex_number(1)->x, 10240, 16);
    EXPECT_NEAR(vertex_number(1)->y, 0, 16);
}

TEST_F(MovesTest, AMoveOfAVisibleObjectMarksTheWorldChanged) {
    world.changed = 0;
    lift_region(region_number(1), 10);  // the yard: walls whose right side it is, and the post
    EXPECT_EQ(world.changed, 0);
    object_number(9)->flags |= OBJ_VISIBLE;
    clear_vertex_marks();
    lift_region(region_number(1), 10);
    EXPECT_EQ(world.changed, 1);
}

TEST_F(MovesTest, NullRegionsAreIgnored) {
    lift_region(nullptr, 1);
    tilt_region(nullptr, 1);
    rotate_region(nullptr, 1);
    shift_region(nullptr, 1, 1);
    EXPECT_EQ(z(0), 0);
}

}  // namespace
