// Worlds run headless by the engine: a script that reads map values, lifts the region under
// the player and writes what it saw to the print file; a script that changes level to a
// second world and back; and the start that stops when the script's map cannot be read.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/common/run_process.h"

namespace {

const std::string dravo = DRAVO_BUILD_DIR "/dravo";
const std::string data = DRAVO_SOURCE_DIR "/tests/world/data";

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A 16 x 16 picture with a 256-colour palette: the PCX that the worlds' PALETTE and BMAP
// definitions read.
std::string palette_picture() {
    std::string pcx(128, '\0');
    pcx[0] = 10;
    pcx[1] = 5;
    pcx[2] = 1;
    pcx[3] = 8;
    pcx[8] = 15;   // xmax
    pcx[10] = 15;  // ymax
    pcx[65] = 1;   // planes
    pcx[66] = 16;  // bytes per line
    pcx[68] = 1;
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            unsigned char v = (unsigned char)((x * 7 + y * 3) & 0xFF);
            if (v >= 0xC0) pcx += char(0xC1);
            pcx += char(v);
        }
    }
    pcx += char(12);
    for (int i = 0; i < 256; i++)
        for (int c = 0; c < 3; c++) pcx += char((i * 4 + c) & 0xFF);
    return pcx;
}

// A copy of a fixture world in a fresh folder, with its picture.
void copy_world(const TempDir& dir, const std::string& world, const std::vector<std::string>& files) {
    for (const std::string& f : files) dir.write(f, read_file(data + "/" + world + "/" + f));
    dir.write("PAL.PCX", palette_picture());
}

TEST(WorldScript, ReadsMapValuesAndLiftsTheRegionUnderThePlayer) {
    TempDir dir;
    copy_world(dir, "lift", {"LIFT.WDL", "LIFT.WMP"});
    ProcessResult r = run_process(dravo, {"-FRAMES4", "-OT", "LIFT.WDL"}, dir.path);
    ASSERT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(dir.read("lift0.TXT"),
              "2.500\n"    // PLAYER_X from the map's start
              "0.000\n"    // the room's FLOOR_HGT
              "10.000\n"   // a stone wall's LENGTH
              "2.000\n"    // LIFT 2: the wall's corners
              "2.000\n"    // the GROUND crate's HEIGHT
              "0.000\n"    // the lamp is placed on the floor again
              "2.000\n"    // a second LIFT in the same step leaves the corners
              "3.500\n"    // the next step: LIFT 1.5 moves them again
              "1.500\n"    // the lamp stands on the raised floor
              "5.500\n")   // heights carry no marks: 2 + 2 + 1.5
        << r.output;
}

TEST(WorldScript, ALevelChangeAndBackKeepsGlobalAndLocalSkills) {
    TempDir dir;
    copy_world(dir, "levels", {"A.WDL", "A.WMP", "B.WDL", "B.WMP"});
    ProcessResult r = run_process(dravo, {"-FRAMES12", "-OT", "A.WDL"}, dir.path);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(dir.read("level0.TXT"),
              "A first\n"
              // In B: the GLOBAL, LOCAL and plain skills as A left them; B's own wall and start.
              "B 1.000 5.000 9.000 3.000 2.000 -2.000\n"
              // Back in A: the plain skill takes its definition again, the others stay.
              "A again 2.000 5.000 7.000 6.000 1.000\n")
        << r.output;
}

TEST(WorldScript, AMapChangeKeepsTheScriptAndTakesTheNewMap) {
    TempDir dir;
    copy_world(dir, "levels", {"M.WDL", "A.WMP", "B.WMP"});
    ProcessResult r = run_process(dravo, {"-FRAMES12", "-OT", "M.WDL"}, dir.path);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_EQ(dir.read("map0.TXT"),
              "0.000\n1.000\n0.000\n"    // A's start and floor
              "1.000\n2.000\n-2.000\n")  // the skill came along; B's start and floor
        << r.output;
}

TEST(WorldScript, AWorldReloadDefinesTheMapsObjectsAgainWithoutAddingUp) {
    TempDir dir;
    copy_world(dir, "levels", {"R.WDL", "A.WMP"});
    ProcessResult r = run_process(dravo, {"-FRAMES12", "-OT", "R.WDL"}, dir.path);
    EXPECT_EQ(r.status, 0) << r.output;
    // OFFSET_Y: the map's 1 raw unit plus the definition's 2, once after each reading.
    EXPECT_EQ(dir.read("scan0.TXT"), "0.000\n6.000\n2.001\n1.000\n6.000\n2.001\n") << r.output;
}

TEST(WorldScript, AMapThatCannotBeReadStopsTheStartWithTheListing) {
    TempDir dir;
    dir.write("GONE.WDL", "MAPFILE NOMAP.WMP;\nPALETTE pal { PALFILE <PAL.PCX>; }\n");
    dir.write("PAL.PCX", palette_picture());
    ProcessResult r = run_process(dravo, {"-FRAMES2", "-OT", "GONE.WDL"}, dir.path);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("cannot read the map file \"NOMAP.WMP\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("invalid WMP file"), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("NOMAP.WMP line 0"), std::string::npos) << r.output;
}

TEST(WorldScript, AMalformedMapStopsTheStartAtItsLine) {
    TempDir dir;
    dir.write("BAD.WDL", "MAPFILE BAD.WMP;\nPALETTE pal { PALFILE <PAL.PCX>; }\n");
    dir.write("BAD.WMP", "VERTEX 0 0;\nREGION r 0 1;\nWALL w 0 5 r r;\n");
    dir.write("PAL.PCX", palette_picture());
    ProcessResult r = run_process(dravo, {"-FRAMES2", "-OT", "BAD.WDL"}, dir.path);
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_NE(r.output.find("BAD.WMP line 3: WALL w 0 5 r r"), std::string::npos) << r.output;
}

}  // namespace
