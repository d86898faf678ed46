// The engine as a user starts it: the usage text, an unattended run of a small world, the
// stage messages in order, and the exit status of a start that fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/random.h"
#include "tests/common/run_process.h"
#include "tests/common/usage_text.h"

namespace {

const std::string dravo = DRAVO_BUILD_DIR "/dravo";
const std::string worlds = DRAVO_SOURCE_DIR "/tests/data/worlds";


TEST(Entry, UsageRequestsPrintExactlyTheUsageText) {
    for (const char* arg : {"-?", "?", "/?"}) {
        ProcessResult r = run_process(dravo, {arg});
        EXPECT_EQ(r.status, 0) << arg;
        EXPECT_EQ(r.output, expected_usage_text) << arg;
    }
    ProcessResult none = run_process(dravo, {});
    EXPECT_EQ(none.status, 0);
    EXPECT_NE(none.output.find(expected_usage_text), std::string::npos);
}

TEST(Entry, SmallWorldRunsTenFramesAndShutsDown) {
    ProcessResult r = run_process(dravo, {"-FRAMES10", "-OT", "minimal"}, worlds + "/minimal");
    EXPECT_EQ(r.status, 0) << r.output;
    const char* stages[] = {"\nTest run without sound, music, CD audio & timer", "\nWorld definition minimal.WDL opened... ",
                            "\r\nVovorev - scanning world description...", "\nInitializing nexus - "};
    size_t at = 0;
    for (const char* s : stages) {
        size_t found = r.output.find(s, at);
        EXPECT_NE(found, std::string::npos) << "missing or out of order: " << s << "\n" << r.output;
        if (found != std::string::npos) at = found;
    }
    EXPECT_EQ(r.output.find("Errors"), std::string::npos) << r.output;
}

TEST(Entry, MissingScriptStopsWithTheListingAndStatusOne) {
    TempDir dir;
    ProcessResult r = run_process(dravo, {"-FRAMES1", "-OT", "nosuchgame"}, dir.path);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("\nVovorev failed - invalid WDL file\n Error reports, oldest first:"), std::string::npos)
        << r.output;
    EXPECT_NE(r.output.find("nosuchga.WDL"), std::string::npos);
    EXPECT_NE(r.output.find("\n1 Errors - "), std::string::npos);
    // Reports listed by a start-up stage are not listed a second time as runtime errors.
    EXPECT_EQ(r.output.find("Runtime errors"), std::string::npos);
}

TEST(Entry, UnknownOptionsAreReportedAndTheStartGoesOn) {
    ProcessResult r = run_process(dravo, {"-FRAMES1", "-OT", "-AD", "minimal"}, worlds + "/minimal");
    EXPECT_NE(r.output.find("\n option  -AD  unknown "), std::string::npos);
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(Entry, WithoutAnyDisplayTheEngineRendersToMemory) {
    ProcessResult r = run_process(dravo, {"-FRAMES3", "-OT", "minimal"}, worlds + "/minimal",
                                  {"SDL_VIDEO_DRIVER=", "DISPLAY=", "WAYLAND_DISPLAY="});
    EXPECT_EQ(r.status, 0) << r.output;
}

TEST(Entry, AGameRunsFromItsResourceArchiveAlone) {
    TempDir dir;
    const std::string demo = DRAVO_SOURCE_DIR "/games/demo";
    std::vector<std::string> pack = {"pack", dir.file("DEMO.WRS")};
    for (const char* f : {"DEMO.WDL", "DEMO.WMP", "DEMO.PCX", "DIGITS.PCX", "SKY.PCX", "WOOD.PCX"})
        pack.push_back(demo + "/" + f);
    ASSERT_EQ(run_process(DRAVO_BUILD_DIR "/dravo-wrs", pack).status, 0);
    // Only the archive is in the folder: the script and everything it names come out of it.
    ProcessResult r = run_process(dravo, {"-FRAMES2", "-OT", "-WRS", "DEMO.WRS"}, dir.path);
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_NE(r.output.find("\nRarod opened - 6 resources found - "), std::string::npos) << r.output;
}

TEST(Random, SequenceFromTheSeed) {
    // state = state * 1103515245 + 12345, the result bits 16..30
    uint32_t state = 1;
    engine_reseed(1);
    for (int i = 0; i < 1000; i++) {
        state = state * 1103515245u + 12345u;
        ASSERT_EQ(engine_random(), int((state >> 16) & 0x7FFF));
    }
    engine_reseed(1);
    EXPECT_EQ(engine_random(), 16838);
    EXPECT_EQ(engine_random(), 5758);
    EXPECT_EQ(engine_random(), 10113);
}

}  // namespace
