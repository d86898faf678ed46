// The frame tick's time model, driven by a test clock: steps per frame, carries, the
// catch-up limit, TIME_CORR, latched input, the phase order and interpolation.
#include "engine/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/engine_vars.h"

namespace {

constexpr uint64_t ms = 1000000;  // nanoseconds

struct FrameTest : testing::Test {
    DrivenClock clock{1000 * ms, true};
    static std::vector<std::string> trace;
    static uint64_t frame_cost_ms;
    static DrivenClock* driven;

    void SetUp() override {
        reset_settings();
        catalogue_reset();
        create_engine_variables();
        reset_frame_timing();
        phase_ops = PhaseOps{};
        live_input = LiveInput{};
        trace.clear();
        frame_cost_ms = 0;
        driven = &clock;
        clock_drive(&clock);
        engine_state = ENGINE_RUNNING;
    }
    void TearDown() override {
        clock_drive(nullptr);
        phase_ops = PhaseOps{};
        reset_settings();
    }
    // Runs one frame whose real length is `length_ms` of the driven clock.
    int frame(uint64_t length_ms) {
        clock.ns += length_ms * ms;
        return frame_tick();
    }
    static void deterministic(int hz) {
        settings.deterministic = 1;
        settings.sim_hz = hz;
    }
};
std::vector<std::string> FrameTest::trace;
uint64_t FrameTest::frame_cost_ms;
DrivenClock* FrameTest::driven;

TEST_F(FrameTest, FortyMillisecondsRunOneStepAndOweTheRest) {
    deterministic(32);
    var_set(SLOT_TIME_CORR, 0);
    frame(0);  // the first frame only takes its clock reading
    EXPECT_EQ(frame_timing.steps_this_frame, 0);
    frame(40);
    EXPECT_EQ(frame_timing.steps_this_frame, 1);
    EXPECT_EQ(frame_timing.step_accumulator, 143);
    frame(60);
    EXPECT_EQ(frame_timing.steps_this_frame, 2);
    EXPECT_EQ(frame_timing.frame_sim_ms, 62);  // (2000 + 8 carried) / 32
    EXPECT_EQ(frame_timing.ms_carry, 24);
}

TEST_F(FrameTest, StallRunsExactlyOneStepAndDropsTheCarry) {
    deterministic(32);
    var_set(SLOT_TIME_CORR, 0);
    frame(0);
    frame(40);
    frame(1000);
    EXPECT_EQ(frame_timing.steps_this_frame, 1);
    EXPECT_EQ(frame_timing.clock_carry, 0u);
    EXPECT_EQ(frame_timing.step_accumulator, 143);
}

TEST_F(FrameTest, StepLengthFollowsTheRate) {
    struct Case {
        int hz;
        int32_t step;
    };
    for (Case c : {Case{240, 68}, Case{0, 512}, Case{32, 512}, Case{1, 16384}, Case{60, 273}}) {
        SetUp();
        deterministic(c.hz);
        var_set(SLOT_TIME_CORR, 0);
        frame(0);
        frame(10000);  // beyond the catch-up limit: one step
        EXPECT_EQ(var_value(SLOT_TIME_FAC), 1048576 / c.step) << c.hz;
        EXPECT_EQ(var_value(SLOT_TOTAL_TIME), c.step) << c.hz;
    }
}

TEST_F(FrameTest, FirstFrameWithoutUsableClockUsesTimeCorr) {
    deterministic(32);
    var_set(SLOT_TIME_CORR, 1536);  // three steps' worth
    clock.ns = 0;                   // a zero reading is no reading
    clock.sleep_advances = false;
    frame_tick();
    EXPECT_EQ(frame_timing.steps_this_frame, 3);
}

TEST_F(FrameTest, FrameTimeGivesTimeCorr) {
    struct Case {
        uint64_t length;
        int32_t corr;
    };
    phase_ops.present = [] { FrameTest::driven->ns += FrameTest::frame_cost_ms * ms; };
    for (Case c : {Case{2, 51}, Case{600, 8192}, Case{100, 1600}, Case{3, 51}, Case{4, 64}}) {
        frame_cost_ms = c.length;
        frame_tick();
        EXPECT_EQ(var_value(SLOT_TIME_CORR), c.corr) << c.length;
        EXPECT_EQ(var_value(SLOT_TIME_TOTAL), int32_t(c.length * 1024)) << c.length;
    }
}

TEST_F(FrameTest, TimerOffKeepsTimeCorrAtOneTick) {
    settings.timer = 0;
    phase_ops.present = [] { FrameTest::driven->ns += 250 * ms; };
    for (int i = 0; i < 3; i++) frame_tick();
    EXPECT_EQ(var_value(SLOT_TIME_CORR), 1024);
    EXPECT_EQ(var_value(SLOT_TIME_TOTAL), 0);
    EXPECT_EQ(var_value(SLOT_TOTAL_FRAMES), 3 * 1024);
    EXPECT_EQ(var_value(SLOT_TICKS), 3 * 1024);
}

TEST_F(FrameTest, TwoKeyPressesInOneFrameReachOnlyTheFirstStep) {
    deterministic(32);
    static std::vector<int> seen;
    seen.clear();
    phase_ops.sched = [] { seen.push_back(live_input.key_pressed[30] + live_input.key_pressed[31]); };
    var_set(SLOT_TIME_CORR, 0);
    frame(0);
    live_input.key_pressed[30] = 1;
    live_input.key_pressed[31] = 1;
    frame(64);  // 1048 tick units: two steps
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 2);
    EXPECT_EQ(seen[1], 0);
}

TEST_F(FrameTest, MouseMovementReachesOnlyTheFirstStep) {
    deterministic(32);
    static std::vector<int32_t> seen;
    seen.clear();
    phase_ops.sched = [] { seen.push_back(var_value(SLOT_MICKEY_X)); };
    var_set(SLOT_TIME_CORR, 0);
    frame(0);
    var_set(SLOT_MICKEY_X, 7);
    frame(64);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], 7);
    EXPECT_EQ(seen[1], 0);
}

TEST_F(FrameTest, PhasesRunInTheirOrder) {
#define TRACE(name) [] { FrameTest::trace.push_back(name); }
    phase_ops.run_start_action = [] {
        FrameTest::trace.push_back("start");
        return true;
    };
    phase_ops.input = [] {
        FrameTest::trace.push_back("input");
        return 0;
    };
    phase_ops.sched = TRACE("sched");
    phase_ops.flic = [] {
        FrameTest::trace.push_back("flic");
        return 0;
    };
    phase_ops.objects = TRACE("objects");
    phase_ops.texsnd = TRACE("texsnd");
    phase_ops.palette_anim = [](int32_t) { FrameTest::trace.push_back("anim"); };
    phase_ops.look = TRACE("look");
    phase_ops.player = TRACE("player");
    phase_ops.views = TRACE("views");
    phase_ops.glworld = TRACE("glworld");
    phase_ops.build3d = TRACE("build3d");
    phase_ops.panels = TRACE("panels");
    phase_ops.uidraw = TRACE("uidraw");
    phase_ops.present = TRACE("present");
    phase_ops.net = TRACE("net");
#undef TRACE
    frame_tick();
    std::vector<std::string> expected = {"start", "input", "flic", "sched", "objects", "texsnd", "anim", "look",
                                         "player", "views", "glworld", "build3d", "panels", "uidraw", "present", "net"};
    EXPECT_EQ(trace, expected);
}

TEST_F(FrameTest, QuitFromInputEndsTheFrameAtOnce) {
    phase_ops.input = [] { return 5; };
    phase_ops.sched = [] { FrameTest::trace.push_back("sched"); };
    EXPECT_EQ(frame_tick(), 5);
    EXPECT_FALSE(engine_state & ENGINE_RUNNING);
    EXPECT_TRUE(trace.empty());
}

TEST_F(FrameTest, ExitRequestStopsTheEngineBeforeDrawing) {
    phase_ops.sched = [] { frame_timing.pending_request = REQUEST_EXIT; };
    phase_ops.present = [] { FrameTest::trace.push_back("present"); };
    frame_tick();
    EXPECT_FALSE(engine_state & ENGINE_RUNNING);
    EXPECT_EQ(frame_timing.request_result, 4);
    EXPECT_EQ(frame_timing.pending_request, 0);
    EXPECT_TRUE(trace.empty());
}

TEST_F(FrameTest, RequestResultsDecideTheFrame) {
    struct Case {
        int result;
        bool running;
        bool drawn;
        bool load_action;
    };
    static int answer;
    static bool load_ran;
    for (Case c : {Case{0, true, true, false}, Case{2, true, false, true}, Case{3, true, true, true},
                   Case{-1, false, false, false}, Case{-5, false, false, false}, Case{7, true, true, false}}) {
        SetUp();
        answer = c.result;
        load_ran = false;
        phase_ops.sched = [] { frame_timing.pending_request = REQUEST_LOAD; };
        phase_ops.serve_request = [](int32_t) { return answer; };
        phase_ops.run_load_action = [] { return load_ran = true; };
        phase_ops.present = [] { FrameTest::trace.push_back("present"); };
        frame_tick();
        EXPECT_EQ(bool(engine_state & ENGINE_RUNNING), c.running) << c.result;
        EXPECT_EQ(!trace.empty(), c.drawn) << c.result;
        EXPECT_EQ(load_ran, c.load_action) << c.result;
        EXPECT_EQ(frame_timing.pending_request, 0);
    }
}

struct Drawn {
    int32_t x, angle;
};
std::vector<Drawn> drawn;

struct InterpolationTest : FrameTest {
    void SetUp() override {
        FrameTest::SetUp();
        deterministic(32);
        drawn.clear();
        phase_ops.views = [] { drawn.push_back({var_value(SLOT_PLAYER_X), var_value(SLOT_PLAYER_ANGLE)}); };
        var_set(SLOT_TIME_CORR, 0);
        frame(0);
        drawn.clear();
    }
};

TEST_F(InterpolationTest, AngleTakesTheShortWayRound) {
    var_set(SLOT_PLAYER_ANGLE, 6400);
    phase_ops.player = [] { var_set(SLOT_PLAYER_ANGLE, 100); };
    frame(47);  // 770 tick units: one step and half a step owed
    ASSERT_EQ(frame_timing.step_accumulator, 258);
    ASSERT_EQ(drawn.size(), 1u);
    // f = 258 * 1024 / 512 = 516: 6400 + 133 * 516 / 1024 wraps past 0 to 34
    EXPECT_EQ(drawn[0].angle, 34);
    EXPECT_EQ(var_value(SLOT_PLAYER_ANGLE), 100);  // the true state is back after drawing
}

TEST_F(InterpolationTest, PositionIsDrawnBetweenTheSteps) {
    var_set(SLOT_PLAYER_X, 0);
    phase_ops.player = [] { var_set(SLOT_PLAYER_X, var_value(SLOT_PLAYER_X) + 10240); };
    frame(47);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 10240 * 516 / 1024);
    EXPECT_EQ(var_value(SLOT_PLAYER_X), 10240);
}

TEST_F(InterpolationTest, TeleportIsDrawnAtTheNewPlace) {
    phase_ops.player = [] { var_set(SLOT_PLAYER_X, 300 * 1024); };
    frame(47);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 300 * 1024);
}

TEST_F(InterpolationTest, OffWithoutInterp) {
    settings.interp = 0;
    phase_ops.player = [] { var_set(SLOT_PLAYER_X, 10240); };
    frame(47);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 10240);
}

TEST_F(FrameTest, EyeBufferOnlyInStereoscopicMode) {
    static std::vector<bool> switches;
    switches.clear();
    phase_ops.eye_buffer = [](bool on) { switches.push_back(on); };
    var_set(SLOT_EYE_DIST, 512);
    frame_tick();
    EXPECT_TRUE(switches.empty());
    EXPECT_EQ(settings.display_flags & 8, 0);
    settings.display_flags |= 4;  // stereoscopic, second eye not yet in use
    frame_tick();
    var_set(SLOT_EYE_DIST, 0);
    frame_tick();
    EXPECT_EQ(switches, (std::vector<bool>{true, false}));
}

}  // namespace
