// The text form of the map: statements, values, region chains and references, and the
// failure rules (an error names the map line; the load ends at the next statement).
#include <gtest/gtest.h>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/world_script.h"
#include "world/map_loader.h"
#include "world/world.h"
#include "world_fixture.h"

namespace {

class MapTextTest : public WorldTest {};

const char* square_map =
    "VERTEX 0 0;\n"
    "VERTEX 10 0;\n"
    "VERTEX 10 10 2.5;\n"
    "VERTEX 0 10;\n"
    "REGION room 0 8;\n"
    "WALL stone 0 1 room room;\n"
    "WALL stone 1 2 0 room 3.75 -2.5;\n"
    "wall brick 2 3 room 0 4;\n"
    "THING lamp 5 5 90 room;\n"
    "ACTOR guard 2.5 7 360 0;\n"
    "PLAYER_START 1 2 180 room;\n"
    "DEBUG anything at all;\n";

TEST_F(MapTextTest, StatementsMakeTheirRecords) {
    ASSERT_EQ(load_text(square_map), 0) << reports();
    EXPECT_EQ(errors(), 0);
    EXPECT_EQ(catalogue.vertex_count, 6);  // four vertices and one position per thing
    Vertex* v2 = vertex_number(2);
    ASSERT_NE(v2, nullptr);
    EXPECT_EQ(v2->x, 10240);
    EXPECT_EQ(v2->z, 2560);
    EXPECT_EQ(vertex_number(0)->z, 0);

    Region* room = region_number(0);
    ASSERT_NE(room, nullptr);
    EXPECT_STREQ(room->identity, "room");
    EXPECT_EQ(room->floor_hgt, 0);
    EXPECT_EQ(room->ceil_hgt, 8192);

    MapObject* w1 = object_number(1);
    ASSERT_NE(w1, nullptr);
    EXPECT_STREQ(w1->identity, "stone");
    EXPECT_EQ(w1->flags & (OBJ_THING | OBJ_ACTOR), 0u);
    EXPECT_EQ(w1->vertex1, vertex_number(0));
    EXPECT_EQ(w1->vertex2, vertex_number(1));
    EXPECT_EQ(w1->region, room);
    EXPECT_EQ(w1->right_region, room);
    EXPECT_EQ(w1->angle, 10240);    // LENGTH
    EXPECT_EQ(w1->offset_x, 0);     // no offsets: OFFSET_Y is 1 raw unit
    EXPECT_EQ(w1->offset_y, 1);

    MapObject* w2 = object_number(2);
    EXPECT_EQ(w2->offset_x, 3 * 1024);       // the text form keeps the whole part only
    EXPECT_EQ(w2->offset_y, -2 * 1024 + 1);
    EXPECT_EQ(w2->region, room);             // by number

    MapObject* w3 = object_number(3);
    EXPECT_STREQ(w3->identity, "brick");
    EXPECT_EQ(w3->offset_x, 4096);
    EXPECT_EQ(w3->offset_y, 1);

    MapObject* lamp = object_number(4);
    EXPECT_EQ(lamp->flags & (OBJ_THING | OBJ_ACTOR), uint32_t(OBJ_THING));
    ASSERT_NE(lamp->vertex1, nullptr);
    EXPECT_EQ(lamp->vertex1, lamp->vertex2);
    EXPECT_EQ(lamp->vertex1->x, 5120);
    EXPECT_EQ(lamp->angle, 1608);  // 90 degrees
    EXPECT_EQ(lamp->region, room);
    EXPECT_EQ(lamp->size_x, MAPOBJ_DEFAULT_SIZE);
    EXPECT_EQ(lamp->way_step, -1);

    MapObject* guard = object_number(5);
    EXPECT_EQ(guard->flags & (OBJ_THING | OBJ_ACTOR), uint32_t(OBJ_THING | OBJ_ACTOR));
    EXPECT_EQ(guard->vertex1->x, 2560);
    EXPECT_EQ(guard->angle, 6433);  // 360 degrees: 6.28318531 x 1024, truncated

    EXPECT_EQ(var_value(SLOT_PLAYER_X), 1024);
    EXPECT_EQ(var_value(SLOT_PLAYER_Y), 2048);
    EXPECT_EQ(var_value(SLOT_PLAYER_ANGLE), 3216);
    EXPECT_EQ(world_refs.player_region, room);
    EXPECT_EQ(map_loader.map_end, guard);

    // Every object is the catalogue's object of its name only when it is the first one.
    NameEntry* stone = find_name_of_kind("stone", KIND_WALL);
    ASSERT_NE(stone, nullptr);
    EXPECT_EQ(stone->object, w1);
}

TEST_F(MapTextTest, RegionsChainByNameAndReferencesTakeTheFirstInstance) {
    ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 1 0;\n"
                        "REGION hall 0 4; REGION hall 1 5; REGION yard 0 9; REGION hall 2 6;\n"
                        "WALL w 0 1 hall 2;\n"
                        "WALL w 0 1 cellar yard;\n"),
              0)
        << reports();
    Region* first = region_number(0);
    ASSERT_NE(first, nullptr);
    // The chain runs from the catalogue's region through the later instances.
    ASSERT_NE(first->instance_chain, nullptr);
    EXPECT_EQ(first->instance_chain->number, 3);
    EXPECT_EQ(first->instance_chain->instance_chain->number, 1);
    EXPECT_EQ(first->instance_chain->instance_chain->instance_chain, nullptr);
    EXPECT_STREQ(region_number(3)->identity, "hall");
    EXPECT_EQ(region_number(2)->instance_chain, nullptr);

    MapObject* w1 = object_number(1);
    EXPECT_EQ(w1->region, first);               // a name: the catalogue's region
    EXPECT_EQ(w1->right_region, region_number(2));  // a number: that instance
    // An unknown name makes a new instance under that name.
    MapObject* w2 = object_number(2);
    ASSERT_NE(w2->region, nullptr);
    EXPECT_STREQ(w2->region->identity, "cellar");
    EXPECT_EQ(w2->region->number, 4);
    EXPECT_EQ(errors(), 0);
}

TEST_F(MapTextTest, UnknownRegionNumberSilentlyAbandonsTheStatement) {
    ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 3 4; REGION r 0 1;\n"
                        "WALL w 0 1 0 7 5 5;\n"
                        "THING t 1 1 0 9;\n"),
              0);
    EXPECT_EQ(errors(), 0);
    MapObject* w = object_number(1);
    EXPECT_EQ(w->region, region_number(0));
    EXPECT_EQ(w->right_region, nullptr);
    EXPECT_EQ(w->angle, 0);       // LENGTH was not reached
    EXPECT_EQ(w->offset_x, 0);
    MapObject* t = object_number(2);
    EXPECT_EQ(t->region, nullptr);
}

TEST_F(MapTextTest, WayPointsRoundThroughThousandthsAndOddCountsGiveNoPoints) {
    ASSERT_EQ(load_text("WAY path 1.5 -2 3.0004 0.1;\nWAY odd 1 2 3;\nWAY empty;\n"), 0) << reports();
    Way* path = way_named("path");
    ASSERT_NE(path, nullptr);
    EXPECT_EQ(path->number, 1);
    ASSERT_EQ(path->point_count, 2);
    EXPECT_EQ(path->points[0], 1536);
    EXPECT_EQ(path->points[1], -2048);
    EXPECT_EQ(path->points[2], 3072);  // 3.0004 loses its ten-thousandths
    EXPECT_EQ(path->points[3], 102);   // 0.1 as a float x 1024, truncated
    Way* odd = way_named("odd");
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->point_count, 0);
    EXPECT_EQ(odd->points, nullptr);
    EXPECT_EQ(way_named("empty")->point_count, 0);
}

TEST_F(MapTextTest, LengthUsesSixtyFourBitSums) {
    // dx = dy = 40000 units: each square alone is past 2^31 raw, and so is their sum.
    ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 40000 40000; REGION r 0 1; WALL w 0 1 r r;"), 0);
    EXPECT_EQ(object_number(1)->angle, 57926187);  // 56568.54 units
    EXPECT_EQ(wall_length(vertex_number(0), vertex_number(0)), 0);
}

struct Fault {
    const char* what;
    const char* map;
    int line;           // the map line the report names
    int objects_made;   // what the load left behind
};

class MapTextFaults : public MapTextTest, public ::testing::WithParamInterface<Fault> {};

TEST_P(MapTextFaults, AreScriptErrorsAtTheLineAndEndTheLoad) {
    const Fault& f = GetParam();
    EXPECT_EQ(load_text(f.map, "LEVEL.WMP"), -2) << f.what;
    EXPECT_EQ(errors(), 1) << f.what << reports();
    char expected[64];
    std::snprintf(expected, sizeof expected, "LEVEL.WMP line %d", f.line);
    EXPECT_NE(reports().find(expected), std::string::npos) << f.what << reports();
    EXPECT_EQ(catalogue.object_count, f.objects_made) << f.what;
}

const Fault faults[] = {
    {"malformed number", "VERTEX 0 0;\nVERTEX 1x 0;\nREGION r 0 1;\nWALL w 0 0 r r;\n", 2, 0},
    {"point in an integer", "VERTEX 0 0;\nREGION r 0 1;\nWALL w 0.5 0 r r;\nWALL x 0 0 r r;\n", 3, 1},
    {"unknown vertex", "VERTEX 0 0;\nREGION r 0 1;\nWALL w 0 1 r r;\nWALL x 0 0 r r;\n", 3, 1},
    {"angle above 360", "REGION r 0 1;\nTHING t 1 1 361 r;\nTHING u 1 1 0 r;\n", 2, 1},
    {"negative angle", "REGION r 0 1;\nACTOR a 1 1 -1 r;\n", 2, 1},
    {"player angle", "REGION r 0 1;\n\nPLAYER_START 0 0 400 r;\nTHING u 1 1 0 r;\n", 3, 0},
    {"unknown keyword", "REGION r 0 1;\nSECTOR s 1 2;\nTHING u 1 1 0 r;\n", 2, 0},
    {"missing operand", "VERTEX 0 0;\nVERTEX 1;\nREGION r 0 1;\n", 2, 0},
    {"region of another kind", "VERTEX 0 0;\nWAY r 1 1;\nWALL w 0 0 r r;\n", 3, 1},
    {"error in the last statement", "REGION r 0 1;\nTHING t 1 1 999 r;", 2, 1},
};
INSTANTIATE_TEST_SUITE_P(Table, MapTextFaults, ::testing::ValuesIn(faults));

TEST_F(MapTextTest, PlayerStartIsSkippedForDatabaseMapsAndNodesWithAPlayerActor) {
    map_loader.database_mode = true;
    ASSERT_EQ(load_text("REGION r 0 1; PLAYER_START 5 5 90 r;"), 0);
    EXPECT_EQ(var_value(SLOT_PLAYER_X), 0);
    map_loader.database_mode = false;

    // Node 1 with a player actor keeps standing where that actor stands: even a bad
    // angle is not read.
    MapObject actor = {};
    world_script.node_actor[1] = &actor;
    var_set(SLOT_NODE, 1024);
    ASSERT_EQ(load_text("PLAYER_START 5 5 999 r;"), 0);
    EXPECT_EQ(errors(), 0);
    EXPECT_EQ(var_value(SLOT_PLAYER_X), 0);
    // Another node without an actor takes the start.
    var_set(SLOT_NODE, 0);
    ASSERT_EQ(load_text("PLAYER_START 5 5 90 0;"), 0);
    EXPECT_EQ(var_value(SLOT_PLAYER_X), 5120);
    EXPECT_EQ(world_refs.player_region, region_number(0));
    world_script.node_actor[1] = nullptr;
}

TEST_F(MapTextTest, DatabaseMapsUseOffsetsAndBasesThatKeepNumbersUnique) {
    ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 1 0; REGION r 0 1; REGION s 0 2; WALL w 0 1 0 1;"), 0);
    set_database_bases();
    EXPECT_EQ(map_loader.vertex_base, 2);  // the highest number + 1
    EXPECT_EQ(map_loader.region_base, 2);
    map_loader.offset_x = 100.5;
    map_loader.offset_y = -3;
    map_loader.database_mode = true;
    ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 2 0; REGION r 5 6; WALL d 0 1 0 0; THING t 1 1 0 0;"), 0) << reports();
    MapObject* d = object_number(2);
    ASSERT_NE(d, nullptr);
    // The database map's own vertices 0 and 1 are the level's 2 and 3; its region 0 is 2.
    EXPECT_EQ(d->vertex1->number, 2);
    EXPECT_EQ(d->vertex2->number, 3);
    EXPECT_EQ(d->vertex1->x, 102912);
    EXPECT_EQ(d->vertex1->y, -3072);
    EXPECT_EQ(d->angle, 2048);
    EXPECT_EQ(d->region->number, 2);
    EXPECT_EQ(d->region->floor_hgt, 5120);
    MapObject* t = object_number(3);
    EXPECT_EQ(t->vertex1->x, 103936);
    EXPECT_EQ(t->region->number, 2);
}

TEST_F(MapTextTest, TooManyRegionInstancesAreRefused) {
    std::string map;
    for (int i = 0; i < MAX_REGION_INSTANCES; i++) map += "REGION r 0 1;";
    map += "\nREGION r 0 1;";
    EXPECT_EQ(load_text(map), -2);
    EXPECT_EQ(catalogue.region_count, MAX_REGION_INSTANCES);
    EXPECT_NE(reports().find("line 2"), std::string::npos);
}

TEST_F(MapTextTest, CommentsAndCaseDoNotMatter) {
    ASSERT_EQ(load_text("// a map\nvertex 0 0; # comment\nRegion R 0 1; /* block\n comment */ Vertex 3 4;\n"
                        "WaLl W 0 1 r R;"),
              0)
        << reports();
    EXPECT_EQ(object_number(1)->angle, 5120);
    EXPECT_EQ(object_number(1)->region, region_number(0));
}

TEST_F(MapTextTest, EmptyNameLoadsNothing) {
    EXPECT_EQ(load_map(""), 0);
    EXPECT_EQ(map_loader.map_loaded, 0);
    EXPECT_EQ(load_map(" X.WMP"), 0);
    EXPECT_EQ(map_loader.map_loaded, 0);
    EXPECT_EQ(errors(), 0);
}

TEST_F(MapTextTest, AMapThatCannotBeReadIsAnErrorNamingIt) {
    EXPECT_EQ(load_map("NOSUCH.WMP"), -1);
    EXPECT_EQ(map_loader.map_loaded, 1);
    EXPECT_EQ(errors(), 1);
    EXPECT_NE(reports().find("NOSUCH.WMP"), std::string::npos) << reports();
}

}  // namespace
