// dravo-wmp converts maps between the two forms and refuses what would not load back alike.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/common/run_process.h"
#include "world/map_writer.h"

namespace {

const std::string tool = DRAVO_BUILD_DIR "/dravo-wmp";
const std::string data = DRAVO_SOURCE_DIR "/tests/world/data";

TEST(MapTool, ConvertsBothWaysAndTheMapsLoadAlike) {
    TempDir dir;
    ProcessResult to_binary = run_process(tool, {data + "/lift/LIFT.WMP", dir.file("LIFT.bin")});
    ASSERT_EQ(to_binary.status, 0) << to_binary.output;
    EXPECT_NE(to_binary.output.find("wrote " + dir.file("LIFT.bin") + ": 6 vertices, 1 regions, 6 walls"),
              std::string::npos)
        << to_binary.output;
    std::string bytes = dir.read("LIFT.bin");
    ASSERT_GE(bytes.size(), 40u);
    EXPECT_EQ(bytes.substr(0, 4), std::string(4, '\0'));
    ProcessResult to_text = run_process(tool, {dir.file("LIFT.bin"), dir.file("BACK.WMP")});
    ASSERT_EQ(to_text.status, 0) << to_text.output;
    EXPECT_NE(dir.read("BACK.WMP").find("WALL stone 0 1 0 0 0 0;"), std::string::npos) << dir.read("BACK.WMP");
}

TEST(MapTool, RefusesWhatTheTextFormCannotHold) {
    TempDir dir;
    MapDescription m;
    m.vertex(0, 0);
    m.vertex(2, 0);
    m.region("r", 0, 1);
    m.wall("w", 0, 1, MapRegionRef::of(0), MapRegionRef::of(0), 0.5, 0, 1);  // a fraction of an offset
    m.player_start(0, 0, 0, MapRegionRef::of(0));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(write_map_binary(m, &bytes));
    dir.write("HALF.bin", std::string(bytes.begin(), bytes.end()));
    ProcessResult r = run_process(tool, {dir.file("HALF.bin"), dir.file("HALF.WMP")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("does not load back into the same records"), std::string::npos) << r.output;
}

TEST(MapTool, ListsTheFaultsOfAMalformedMap) {
    TempDir dir;
    dir.write("BAD.WMP", "VERTEX 0 0;\nREGION r 0 1;\nTHING t 1 1 720 r;\n");
    ProcessResult r = run_process(tool, {dir.file("BAD.WMP"), dir.file("BAD.bin")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("BAD.WMP line 3: THING t 1 1 720 r"), std::string::npos) << r.output;
    ProcessResult usage = run_process(tool, {});
    EXPECT_EQ(usage.status, 2);
}

}  // namespace
