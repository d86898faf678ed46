// The binary form of the map: twins of text maps load into identical worlds, and nothing
// in a binary file is trusted (counts, indices, floats, the header).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "world/map_loader.h"
#include "world_fixture.h"

namespace {

class MapBinaryTest : public WorldTest {};

// ---- Twins -------------------------------------------------------------------------------

MapDescription room_map() {
    MapDescription m;
    int a = m.vertex(0, 0), b = m.vertex(12.5, 0), c = m.vertex(12.5, 8, 1.25), d = m.vertex(0, 8);
    m.region("room", 0, 6);
    m.region("room", 0.5, 6);
    m.region("alcove", -1, 3.75);
    m.wall("stone", a, b, MapRegionRef::of("room"), MapRegionRef::of(1), 2, -3, 2);
    m.wall("stone", b, c, MapRegionRef::of(0), MapRegionRef::of("alcove"));
    m.wall("glass", c, d, MapRegionRef::of(2), MapRegionRef::of(2), 5, 0, 1);
    m.thing("lamp", 3.25, 4, 45, MapRegionRef::of("room"));
    m.thing("guard", 7, 2.5, 270, MapRegionRef::of(2), true);
    m.wall("glass", d, a, MapRegionRef::of(1), MapRegionRef::of(0));
    m.way("patrol", {1, 2, 3.5, -4.25, 0, 0});
    m.player_start(6.25, 4, 180, MapRegionRef::of(1));
    return m;
}

MapDescription many_names_map() {
    MapDescription m;
    for (int i = 0; i < 30; i++) m.vertex(i, i % 7, i % 3);
    for (int i = 0; i < 12; i++) m.region(i % 3 ? "floor" : "pit", -i, 10 + i);
    for (int i = 0; i + 1 < 30; i++)
        m.wall(i % 2 ? "w1" : "w2", i, i + 1, MapRegionRef::of(i % 12), MapRegionRef::of(i % 2 ? "floor" : "pit"));
    for (int i = 0; i < 6; i++) m.thing(i % 2 ? "barrel" : "torch", i * 2, 1, i * 60, MapRegionRef::of(i), i == 5);
    m.way("loop", {0, 0, 10, 0, 10, 10, 0, 10});
    m.way("loop", {5, 5});
    m.player_start(0, 0, 0, MapRegionRef::of(0));
    return m;
}

MapDescription only_start_map() {
    MapDescription m;
    m.region("void", 0, 0);
    m.player_start(-1, -2, 360, MapRegionRef::of(0));
    return m;
}

struct Twin {
    const char* name;
    MapDescription (*make)();
};

class MapTwins : public MapBinaryTest, public ::testing::WithParamInterface<Twin> {};

TEST_P(MapTwins, TextAndBinaryGiveIdenticalWorlds) {
    MapDescription map = GetParam().make();
    ASSERT_EQ(load_text(map), 0) << reports();
    std::string from_text = describe_world();
    fresh_world();
    ASSERT_EQ(load_binary(map), 0) << reports();
    std::string from_binary = describe_world();
    EXPECT_EQ(from_text, from_binary);
    EXPECT_GT(from_text.size(), 20u);
}

const Twin twins[] = {{"room", room_map}, {"many names", many_names_map}, {"only a start", only_start_map}};
INSTANTIATE_TEST_SUITE_P(Fixtures, MapTwins, ::testing::ValuesIn(twins),
                         [](const ::testing::TestParamInfo<Twin>& p) {
                             std::string s = p.param.name;
                             for (char& c : s)
                                 if (c == ' ') c = '_';
                             return s;
                         });

TEST_F(MapBinaryTest, TheBinaryFormKeepsTheFractionOfOffsets) {
    MapDescription m;
    m.vertex(0, 0);
    m.vertex(1, 0);
    m.region("r", 0, 1);
    m.wall("w", 0, 1, MapRegionRef::of(0), MapRegionRef::of(0), 1.5, 2.25, 2);
    m.player_start(0, 0, 0, MapRegionRef::of(0));
    ASSERT_EQ(load_binary(m), 0) << reports();
    EXPECT_EQ(object_number(1)->offset_x, 1536);
    EXPECT_EQ(object_number(1)->offset_y, 2305);
    // The record names the end vertex first: the wall still runs from vertex 0 to 1.
    EXPECT_EQ(object_number(1)->vertex1->number, 0);
    EXPECT_EQ(object_number(1)->vertex2->number, 1);
}

TEST_F(MapBinaryTest, DatabaseBasesApplyToWallsAndThings) {
    MapDescription level;
    level.vertex(0, 0);
    level.region("r", 0, 1);
    level.player_start(0, 0, 0, MapRegionRef::of(0));
    ASSERT_EQ(load_binary(level), 0);
    set_database_bases();
    map_loader.database_mode = true;
    map_loader.offset_x = 10;
    MapDescription row;
    row.vertex(0, 0);
    row.vertex(0, 3);
    row.region("s", 2, 4);
    row.wall("w", 0, 1, MapRegionRef::of(0), MapRegionRef::of(0));
    row.thing("t", 1, 1, 0, MapRegionRef::of(0));
    row.player_start(5, 5, 0, MapRegionRef::of(0));
    ASSERT_EQ(load_binary(row), 0) << reports();
    MapObject* w = object_number(1);
    EXPECT_EQ(w->vertex1->number, 1);
    EXPECT_EQ(w->vertex2->number, 2);
    EXPECT_EQ(w->vertex1->x, 10240);
    EXPECT_EQ(w->region->number, 1);
    EXPECT_EQ(object_number(2)->region->number, 1);
    EXPECT_EQ(var_value(SLOT_PLAYER_X), 0);  // database maps leave the player alone
}

// ---- Faults --------------------------------------------------------------------------------

struct Writer {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(40, 0);
    Writer& u8(uint8_t v) {
        bytes.push_back(v);
        return *this;
    }
    Writer& u32(uint32_t v) {
        for (int i = 0; i < 4; i++) bytes.push_back(uint8_t(v >> (8 * i)));
        return *this;
    }
    Writer& f32(float f) {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return u32(bits);
    }
    Writer& name(const char* s) {
        u8(uint8_t(std::strlen(s)));
        for (const char* p = s; *p; p++) u8(uint8_t(*p));
        return *this;
    }
    Writer& vertex(float x, float y) { return u32(1).f32(x).f32(y).f32(0); }
    Writer& region(const char* n) { return u32(2).name(n).f32(0).f32(4); }
    Writer& start(uint32_t region) { return u32(6).f32(1).f32(1).f32(0).u32(region); }
};

struct BinaryFault {
    const char* what;
    std::vector<uint8_t> bytes;
    int record;          // the record the report names (0: the file as a whole)
    int regions_left;    // records read before the fault stay
};

std::vector<BinaryFault> binary_faults() {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<BinaryFault> f;
    f.push_back({"short header", std::vector<uint8_t>(20, 0), 0, 0});
    {
        Writer w;
        w.bytes[0] = 1;
        w.region("r").start(0);
        f.push_back({"header word not zero", w.bytes, 0, 0});
    }
    f.push_back({"unknown type", Writer().region("r").u32(9).u32(0).start(0).bytes, 2, 1});
    f.push_back({"name too long", Writer().region("r").u32(2).name("abcdefghijabcdefghijabcdefghij").f32(0).f32(1).bytes, 2, 1});
    f.push_back({"record past the end", Writer().region("r").start(0).u32(1).f32(1).f32(2).bytes, 3, 1});
    f.push_back({"way count that overflows the size", Writer().region("r").start(0).u32(7).name("w").u32(0x20000001u).f32(1).f32(1).bytes, 3, 1});
    f.push_back({"NaN coordinate", Writer().region("r").u32(1).f32(nan).f32(0).f32(0).start(0).bytes, 2, 1});
    f.push_back({"huge coordinate", Writer().region("r").u32(1).f32(3e9f).f32(0).f32(0).start(0).bytes, 2, 1});
    f.push_back({"infinite angle", Writer().region("r").u32(4).name("t").f32(1).f32(1).f32(inf).u32(0).start(0).bytes, 2, 1});
    f.push_back({"NaN region height", Writer().region("r").u32(2).name("s").f32(nan).f32(1).start(0).bytes, 2, 1});
    f.push_back({"NaN way point", Writer().region("r").u32(7).name("w").u32(1).f32(1).f32(nan).start(0).bytes, 2, 1});
    f.push_back({"unknown wall vertex", Writer().region("r").vertex(0, 0).u32(3).name("w").u32(0).u32(5).u32(0).u32(0).f32(0).f32(0).start(0).bytes, 3, 1});
    f.push_back({"unknown wall region", Writer().region("r").vertex(0, 0).u32(3).name("w").u32(0).u32(0).u32(0).u32(7).f32(0).f32(0).start(0).bytes, 3, 1});
    f.push_back({"unknown thing region", Writer().region("r").u32(4).name("t").f32(1).f32(1).f32(0).u32(3).start(0).bytes, 2, 1});
    f.push_back({"unknown actor region", Writer().region("r").u32(5).name("a").f32(1).f32(1).f32(0).u32(0xFFFFFFFFu).start(0).bytes, 2, 1});
    f.push_back({"unknown player region", Writer().region("r").start(4).bytes, 2, 1});
    f.push_back({"invalid name", Writer().region("r").u32(4).name("bad name").f32(1).f32(1).f32(0).u32(0).start(0).bytes, 2, 1});
    f.push_back({"empty name", Writer().region("r").u32(2).name("").f32(1).f32(1).start(0).bytes, 2, 1});
    f.push_back({"no player start", Writer().region("r").vertex(1, 1).bytes, 0, 1});
    f.push_back({"fault after a player start", Writer().region("r").start(0).u32(0).bytes, 3, 1});
    return f;
}

class MapBinaryFaults : public MapBinaryTest, public ::testing::WithParamInterface<BinaryFault> {};

TEST_P(MapBinaryFaults, StopTheLoadWithAnErrorNamingTheRecord) {
    const BinaryFault& f = GetParam();
    EXPECT_EQ(load_binary(f.bytes, "LEVEL.BIN"), -2) << f.what;
    EXPECT_GE(errors(), 1) << f.what;
    char expected[64];
    std::snprintf(expected, sizeof expected, "LEVEL.BIN line %d", f.record);
    EXPECT_NE(reports().find(expected), std::string::npos) << f.what << reports();
    EXPECT_EQ(catalogue.region_count, f.regions_left) << f.what;
}

INSTANTIATE_TEST_SUITE_P(Table, MapBinaryFaults, ::testing::ValuesIn(binary_faults()));

TEST_F(MapBinaryTest, TrailingBytesShorterThanARecordTypeAreIgnored) {
    Writer w;
    w.region("r").start(0).u8(1).u8(2).u8(3);
    EXPECT_EQ(load_binary(w.bytes), 0) << reports();
    EXPECT_EQ(errors(), 0);
}

TEST_F(MapBinaryTest, NameEndsAtItsFirstZeroByte) {
    Writer w;
    w.u32(2).u8(5).u8('h').u8('a').u8('l').u8(0).u8('x').f32(0).f32(2).start(0);
    ASSERT_EQ(load_binary(w.bytes), 0) << reports();
    EXPECT_STREQ(region_number(0)->identity, "hal");
    EXPECT_EQ(region_number(0)->ceil_hgt, 2048);
}

TEST_F(MapBinaryTest, HeaderHookSeesTheHeaderAndMayRefuseIt) {
    static int calls;
    calls = 0;
    binary_map_header_hook = [](const uint8_t*, int32_t count) {
        calls++;
        return count != 36;
    };
    EXPECT_EQ(load_binary(Writer().region("r").start(0).bytes), -2);
    binary_map_header_hook = nullptr;
    EXPECT_EQ(calls, 1);
}

}  // namespace
