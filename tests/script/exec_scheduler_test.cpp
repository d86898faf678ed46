// The scheduler over many script ticks: WAIT and WAIT_TICKS in the queue, in-place waits
// of EACH_TICK actions, EACH_SEC, key actions, EXCLUSIVE, MOVE_MODE, INKEY line input, the
// queue's overflow, IF_START, and actions redefined while they wait.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

#include "engine/frame.h"
#include "script/exec/exec_ops.h"
#include "tests/script/exec_fixture.h"

namespace {

std::deque<int> keys;

class ExecSchedule : public ExecTest {
protected:
    void SetUp() override {
        ExecTest::SetUp();
        for (const char* n : {"x", "y", "n", "ticks"}) skill(n);
        var_set(SLOT_TIME_CORR, 1024);
        keys.clear();
        exec_ops.next_key = [] {
            if (keys.empty()) return -1;
            int k = keys.front();
            keys.pop_front();
            return k;
        };
    }
    void ticks(int n) {
        for (int i = 0; i < n; i++) script_tick();
    }
    void type(const std::string& text) {
        for (char c : text) keys.push_back(uint8_t(c));
    }
};

TEST_F(ExecSchedule, ShortWaitsContinueAtOnce) {
    run("WAIT 0; ADD x, 1; WAIT 0.5; ADD x, 1;");
    EXPECT_EQ(value("x"), 2048);
    EXPECT_EQ(pending_run_count(), 0);
}

TEST_F(ExecSchedule, WaitOneResumesAtTheNextPass) {
    run("ADD x, 1; WAIT 1; ADD x, 1;");
    EXPECT_EQ(value("x"), 1024);
    EXPECT_EQ(pending_run_count(), 1);
    ticks(1);
    EXPECT_EQ(value("x"), 2048);
    EXPECT_EQ(pending_run_count(), 0);
}

// The wait is reached with 16 ticks to go; the reaching step's share is taken at once
// (16384 - 1024 is queued), and a queued wait resumes once at most 1023 is left, which is
// after 15 more passes of one tick each: at the 16th pass, 16 ticks later.
TEST_F(ExecSchedule, WaitTicksSixteenResumesSixteenTicksLater) {
    run("WAIT_TICKS 16; SET x, 1;");
    for (int pass = 1; pass <= 15; pass++) {
        ticks(1);
        ASSERT_EQ(value("x"), 0) << "pass " << pass;
    }
    ticks(1);
    EXPECT_EQ(value("x"), 1024);
}

TEST_F(ExecSchedule, WaitingActionsKeepTheirObject) {
    MapObject* o = new_map_object("door", KIND_THING);
    define("opener", "WAIT 2; SET MY.SKILL1, 9;");
    run_action_as(o, nullptr, action("opener"));
    ticks(3);
    EXPECT_EQ(o->skill[0], 9 * 1024);
    EXPECT_EQ(world_refs.my, nullptr);
}

TEST_F(ExecSchedule, EachTickWaitsInPlace) {
    // Counts ticks; every run that passes the wait adds to n, then the action starts over.
    define("ticker", "ADD ticks, 1; WAIT 3; ADD n, 1;");
    world_script.each_tick[0] = action("ticker");
    std::string trace;
    for (int i = 0; i < 9; i++) {
        script_tick();
        trace += std::to_string(value("ticks") / 1024) + "/" + std::to_string(value("n") / 1024) + " ";
    }
    // The first run counts a tick and waits; the three later runs resume at the WAIT; the
    // fourth passes it and restarts from the first instruction on the next tick.
    EXPECT_EQ(trace, "1/0 1/0 1/0 1/1 2/1 2/1 2/1 2/2 3/2 ");
    EXPECT_EQ(pending_run_count(), 0);
}

TEST_F(ExecSchedule, EachSecRunsEverySixteenTicks) {
    define("second", "ADD x, 1;");
    world_script.each_sec[3] = action("second");
    int32_t secs = var_value(SLOT_SECS);
    ticks(15);
    EXPECT_EQ(value("x"), 0);
    ticks(1);
    EXPECT_EQ(value("x"), 1024);
    EXPECT_EQ(var_value(SLOT_SECS), secs + 1024);
    ticks(16);
    EXPECT_EQ(value("x"), 2048);
}

TEST_F(ExecSchedule, KeyActionsRunOncePerPress) {
    define("jump", "ADD x, 1;");
    define("any", "ADD y, 1;");
    world_script.key[57] = action("jump");
    world_script.if_anykey = action("any");
    live_input.key_pressed[57] = 1;
    live_input.any_key_event = 1;
    ticks(1);
    EXPECT_EQ(value("x"), 1024);
    EXPECT_EQ(value("y"), 1024);
    EXPECT_EQ(live_input.key_pressed[57], 0);
    ticks(2);
    EXPECT_EQ(value("x"), 1024);
    static uint8_t bits;
    bits = 1;
    define("click", "ADD n, 1;");
    world_script.if_left = action("click");
    exec_ops.mouse_action_bits = [] { return bits; };
    ticks(1);
    EXPECT_EQ(value("n"), 1024);
}

TEST_F(ExecSchedule, MoveModeBelowHalfStopsTheQueueButNotTheKeys) {
    define("ticker", "ADD ticks, 1;");
    world_script.each_tick[0] = action("ticker");
    define("jump", "ADD x, 1;");
    world_script.key[57] = action("jump");
    run("WAIT 1; SET y, 1;");
    var_set(SLOT_MOVE_MODE, -1024);
    live_input.key_pressed[57] = 1;
    ticks(3);
    EXPECT_EQ(value("ticks"), 0);
    EXPECT_EQ(value("y"), 0);
    EXPECT_EQ(value("x"), 1024);
    var_set(SLOT_MOVE_MODE, 1024);
    ticks(1);
    EXPECT_EQ(value("ticks"), 1024);
    EXPECT_EQ(value("y"), 1024);
}

TEST_F(ExecSchedule, ExclusiveCancelsTheRunsOfItsObjectOnly) {
    MapObject* a = new_map_object("crate", KIND_THING);
    MapObject* b = new_map_object("crate", KIND_THING);
    define("later", "WAIT 2; ADD MY.SKILL1, 1;");
    define("solo", "EXCLUSIVE;");
    run_action_as(a, nullptr, action("later"));
    run_action_as(a, nullptr, action("later"));
    run_action_as(b, nullptr, action("later"));
    EXPECT_EQ(pending_run_count(), 3);
    run_action_as(a, nullptr, action("solo"));
    EXPECT_EQ(pending_run_count(), 1);
    ticks(3);
    EXPECT_EQ(a->skill[0], 0);
    EXPECT_EQ(b->skill[0], 1024);
}

TEST_F(ExecSchedule, InkeyEditsALineUntilReturn) {
    ScriptString* s = string("name", "", 16);
    run("INKEY name; SET x, 1;");
    EXPECT_TRUE(line_input_active());
    type("Bob");
    keys.push_back(8);  // backspace
    type("b  ");
    keys.push_back(13);
    ticks(1);
    EXPECT_STREQ(s->text, "Bob");  // the trailing spaces go
    EXPECT_EQ(var_value(SLOT_RESULT), 0);
    EXPECT_EQ(var_value(SLOT_STR_LEN), 3 * 1024);
    EXPECT_EQ(value("x"), 1024);
    EXPECT_FALSE(line_input_active());
}

TEST_F(ExecSchedule, InkeyInsertsAtTheCursor) {
    ScriptString* s = string("name", "old", 16);
    run("INKEY name;");
    keys.push_back(77 << 8);  // cursor right
    type("X");
    keys.push_back(83 << 8);  // delete the "l"
    keys.push_back(13);
    ticks(1);
    EXPECT_STREQ(s->text, "oXd");
}

TEST_F(ExecSchedule, InkeyEscapeBringsTheOldTextBack) {
    ScriptString* s = string("name", "old", 16);
    run("INKEY name;");
    type("xyz");
    ticks(1);
    EXPECT_TRUE(line_input_active());
    keys.push_back(27);
    ticks(1);
    EXPECT_STREQ(s->text, "old");
    EXPECT_EQ(var_value(SLOT_RESULT), -1024);
    // An arrow up ends the input too, with its scan code.
    run("INKEY name;");
    keys.push_back(72 << 8);
    ticks(1);
    EXPECT_EQ(var_value(SLOT_RESULT), 72 * 1024);
}

TEST_F(ExecSchedule, InkeyCursorStaysInsideSmallStrings) {
    for (int capacity : {1, 2, 3, 4}) {
        ScriptString* s = string(("tiny" + std::to_string(capacity)).c_str(), "", capacity);
        run(("INKEY tiny" + std::to_string(capacity) + ";").c_str(), ("in" + std::to_string(capacity)).c_str());
        for (int i = 0; i < 10; i++) keys.push_back(77 << 8);  // cursor right
        type("abcdef");
        for (int i = 0; i < 10; i++) keys.push_back(75 << 8);  // cursor left
        keys.push_back(8);
        keys.push_back(83 << 8);
        keys.push_back(13);
        ticks(1);
        EXPECT_FALSE(line_input_active()) << capacity;
        EXPECT_LT(int(std::strlen(s->text)), capacity) << capacity;
    }
}

TEST_F(ExecSchedule, RedefinedActionsLeaveNoRunPointingIntoTheOldCode) {
    define("slow", "WAIT 1; SET x, 1;");
    run_action(action("slow"));
    EXPECT_EQ(pending_run_count(), 1);
    define("slow", "SET y, 2;");
    EXPECT_EQ(pending_run_count(), 0);
    EXPECT_EQ(action("slow")->resume, action("slow")->first);
    ticks(2);
    EXPECT_EQ(value("x"), 0);
    run_action(action("slow"));
    EXPECT_EQ(value("y"), 2048);
    // The same for an action waiting in place.
    define("ticker", "WAIT 5; ADD n, 1;");
    world_script.each_tick[0] = action("ticker");
    ticks(2);
    define("ticker", "ADD n, 1;");
    ticks(1);
    EXPECT_EQ(value("n"), 1024);
}

TEST_F(ExecSchedule, AFullQueueOverflowsIntoItsLastSlot) {
    define("later", "WAIT 5;");
    for (int i = 0; i < 499; i++) schedule_run(action("later"), nullptr, action("later")->first, 5000, nullptr, nullptr);
    EXPECT_EQ(pending_run_count(), 499);
    EXPECT_EQ(console().find("scheduler overflow"), std::string::npos);
    schedule_run(action("later"), nullptr, action("later")->first, 5000, nullptr, nullptr);
    EXPECT_EQ(pending_run_count(), 499);
    EXPECT_NE(console().find("action later 499 times (499 total, 499 by NULL 0) - scheduler overflow\n"), std::string::npos)
        << console();
    ticks(1);  // requeued entries keep within the queue
    EXPECT_EQ(pending_run_count(), 499);
}

TEST_F(ExecSchedule, StartActionRunsOnceAndRandomMoves) {
    define("start", "ADD x, 1;");
    world_script.if_start = action("start");
    EXPECT_TRUE(run_start_action());
    EXPECT_FALSE(run_start_action());
    EXPECT_EQ(value("x"), 1024);
    define("loaded", "ADD y, 1;");
    EXPECT_FALSE(run_load_action());
    world_script.if_load = action("loaded");
    EXPECT_TRUE(run_load_action());
    EXPECT_EQ(value("y"), 1024);
    ticks(1);
    int32_t r = var_value(SLOT_RANDOM);
    EXPECT_GE(r, 0);
    EXPECT_LT(r, 1024);
}

}  // namespace
