// The request phase and the level changes' refusals: a level whose files are missing
// leaves the current level as it is, other requests go to their own code, and nothing is
// loaded while the world closes.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/frame.h"
#include "engine/settings.h"
#include "script/exec/file_request.h"
#include "script/front/catalogue.h"
#include "world/level_change.h"
#include "world/world.h"
#include "world_fixture.h"

namespace {

class LevelChangeTest : public WorldTest {
protected:
    void SetUp() override {
        WorldTest::SetUp();
        ASSERT_EQ(load_text("VERTEX 0 0; VERTEX 1 0; REGION r 0 1; WALL w 0 1 r r;"), 0);
        file_request = FileRequest{};
    }
    static void request(const char* name, const char* second = "") {
        std::snprintf(file_request.name, sizeof file_request.name, "%s", name);
        std::snprintf(file_request.second, sizeof file_request.second, "%s", second);
    }
};

TEST_F(LevelChangeTest, ALevelWhoseFilesAreMissingLeavesTheCurrentOne) {
    request("NOSUCH.WDL");
    EXPECT_EQ(serve_world_request(REQUEST_LEVEL), -3);
    EXPECT_EQ(catalogue.object_count, 1);
    EXPECT_NE(object_number(1), nullptr);
    EXPECT_EQ(errors(), 0);
    EXPECT_EQ(load_level("NOSUCH.WDL", nullptr, nullptr, 0), -3);
    EXPECT_EQ(load_mode, 0u);
}

TEST_F(LevelChangeTest, AMapThatIsMissingLeavesTheCurrentOne) {
    request("NOSUCH.WMP");
    EXPECT_EQ(serve_world_request(REQUEST_MAP), -3);
    EXPECT_EQ(catalogue.object_count, 1);
    EXPECT_EQ(region_number(0)->ceil_hgt, 1024);
}

TEST_F(LevelChangeTest, OtherRequestsGoToTheirOwnCode) {
    static int32_t seen;
    seen = 0;
    EXPECT_EQ(serve_world_request(REQUEST_SAVE_DEMO), 0);
    world_hooks.serve_other_request = [](int32_t r) {
        seen = r;
        return 3;
    };
    EXPECT_EQ(serve_world_request(REQUEST_LOAD), 3);
    EXPECT_EQ(seen, REQUEST_LOAD);
}

TEST_F(LevelChangeTest, NothingIsLoadedWhileTheWorldCloses) {
    world_closing();
    request("NOSUCH.WDL");
    EXPECT_EQ(serve_world_request(REQUEST_LEVEL), 0);
    world.closing = false;
}

}  // namespace
