// The error store: what a listing shows for few and many reports, the swallowed report,
// the "-WDLERR" line messages, the statement text rules and the division-by-zero warning.
#include "engine/errors.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/settings.h"
#include "tests/common/console_capture.h"

namespace {

struct ErrorsTest : testing::Test {
    void SetUp() override {
        clear_errors();
        error_store.report_armed = 1;
        error_store.box_shown = 0;
        error_store.box_suppressed = 1;
        forget_division_warnings();
        error_context = ErrorContext{};
        settings.use_err = 0;
    }
    void TearDown() override {
        error_context = ErrorContext{};
        clear_errors();
        settings.use_err = 0;
    }
    static std::string listing() {
        char text[4096];
        format_error_reports(text, sizeof text);
        return text;
    }
};

void report_from_script(int line, const char* statement) {
    error_context.script_file = "GAME.WDL";
    error_context.script_line = line;
    error_context.script_statement = statement;
    report_error("test_place");
}

TEST_F(ErrorsTest, NoReportsNoListing) { EXPECT_EQ(listing(), ""); }

TEST_F(ErrorsTest, OneScriptReport) {
    report_from_script(12, "SKILL x { VAL 1; }");
    EXPECT_EQ(listing(),
              "\n Error reports, oldest first:"
              "\n  #1 GAME.WDL line 12: SKILL x { VAL 1; }"
              "\n      (raised in test_place)");
}

TEST_F(ErrorsTest, ElevenReportsShowEightThenTheCountThenTheLast) {
    for (int i = 1; i <= 11; i++) report_from_script(i, "X;");
    std::string text = listing();
    for (int i = 1; i <= 8; i++)
        EXPECT_NE(text.find("\n  #" + std::to_string(i) + " GAME.WDL line " + std::to_string(i) + ":"), std::string::npos);
    EXPECT_EQ(text.find("#9 "), std::string::npos);
    EXPECT_EQ(text.find("#10 "), std::string::npos);
    EXPECT_NE(text.find("\n  ... 2 more, then the last:\n  #11 GAME.WDL line 11: X;"), std::string::npos);
    EXPECT_EQ(error_store.error_count, 11);
}

TEST_F(ErrorsTest, NineReportsHaveNoMoreLine) {
    for (int i = 1; i <= 9; i++) report_from_script(i, "X;");
    std::string text = listing();
    EXPECT_EQ(text.find("more"), std::string::npos);
    EXPECT_NE(text.find("\n  #8 GAME.WDL line 8: X;"), std::string::npos);
    EXPECT_NE(text.find("\n  #9 GAME.WDL line 9: X;"), std::string::npos);
}

TEST_F(ErrorsTest, DisarmedReportIsSwallowedAndTheNextCounts) {
    error_store.report_armed = 0;
    report_from_script(1, "A;");
    EXPECT_EQ(error_store.error_count, 0);
    EXPECT_EQ(error_store.report_armed, 1);
    report_from_script(2, "B;");
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_NE(listing().find("#1 GAME.WDL line 2: B;"), std::string::npos);
}

TEST_F(ErrorsTest, StatementTextStartsAtItsFirstVisibleCharacterWithTabsAsSpaces) {
    report_from_script(3, "  \t BMAP\tw1, <a.pcx>;\nnext line");
    EXPECT_STREQ(error_store.first_reports[0].line_text, "BMAP w1, <a.pcx>;");
    std::string long_text(200, 'x');
    report_from_script(4, long_text.c_str());
    EXPECT_EQ(std::string(error_store.first_reports[1].line_text), std::string(79, 'x'));
}

TEST_F(ErrorsTest, WdlErrExplainsEachLineOnce) {
    settings.use_err = 1;
    CapturedConsole console;
    report_from_script(5, " \tPANEL p;");
    report_from_script(5, " \tPANEL p;");
    report_from_script(5, " \tPANEL p;");
    report_from_script(6, "TEXT t;");
    EXPECT_EQ(console.text(), "\r\nWDL error near line 5: PANEL p;\r\nWDL error near line 6: TEXT t;");
    EXPECT_EQ(error_store.error_count, 4);
}

TEST_F(ErrorsTest, ReportInsideAnAction) {
    error_context.running_action = [](ActionReportInfo* info) {
        static int self;
        info->action = &self;
        info->name = "door_open";
        info->instruction = 3;
        info->opcode = 0x1A;
        return true;
    };
    report_error("runner");
    error_context.running_action = [](ActionReportInfo* info) {
        static int other;
        info->action = &other;
        info->name = nullptr;
        info->instruction = 0;
        return true;
    };
    report_error(nullptr);
    error_context.running_action = nullptr;
    report_error("loader");
    EXPECT_EQ(listing(),
              "\n Error reports, oldest first:"
              "\n  #1 in action door_open, instruction 3 (opcode 0x1A)"
              "\n      (raised in runner)"
              "\n  #2 in action (unnamed)"
              "\n      (raised in (unknown))"
              "\n  #3 outside any script action"
              "\n      (raised in loader)");
}

TEST_F(ErrorsTest, CheckPrintsTheMessageListingAndCount) {
    CapturedConsole console;
    EXPECT_EQ(check_errors_and_stop("\nVovorev failed - invalid WDL file"), 0);
    EXPECT_EQ(console.text(), "");
    report_from_script(1, "X;");
    EXPECT_EQ(check_errors_and_stop("\nVovorev failed - invalid WDL file"), 1);
    std::string text = console.text();
    EXPECT_EQ(text.rfind("\nVovorev failed - invalid WDL file\n Error reports, oldest first:", 0), 0u);
    EXPECT_NE(text.find("\n1 Errors - "), std::string::npos);
    EXPECT_NE(text.find(" KB free - engine shutdown"), std::string::npos);
}

TEST_F(ErrorsTest, MessageBoxIsShownOnceWithTheSingularCount) {
    static std::string box;
    static int boxes;
    box.clear();
    boxes = 0;
    error_store.box_suppressed = 0;
    error_context.message_box = [](const char* title, const char* text) {
        EXPECT_STREQ(title, "MIRDAL Vessa");
        box = text;
        boxes++;
        return true;
    };
    CapturedConsole console;
    report_from_script(1, "X;");
    check_errors_and_stop("\n\r\nRuntime errors\n");
    check_errors_and_stop("\nRuntime errors\n");
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(box.rfind("Runtime errors\n\n\n Error reports", 0), 0u);
    EXPECT_NE(box.find("\n\n1 error - the engine has stopped."), std::string::npos);
}

TEST_F(ErrorsTest, DivisionByZeroWarnsOncePerAction) {
    static int action_a, action_b;
    static int* current;
    error_context.running_action = [](ActionReportInfo* info) {
        info->action = current;
        info->name = current == &action_a ? "tick" : "";
        return true;
    };
    CapturedConsole console;
    current = &action_a;
    for (int i = 0; i < 5; i++) warn_division_by_zero();
    current = &action_b;
    warn_division_by_zero();
    error_context.running_action = nullptr;
    warn_division_by_zero();
    warn_division_by_zero();
    EXPECT_EQ(console.text(),
              "\nWDL: division by zero in action tick -- the result is 0, where the original would have crashed"
              "\nWDL: division by zero in action  -- the result is 0, where the original would have crashed"
              "\nWDL: division by zero in an expression outside any action -- the result is 0, where the "
              "original would have crashed");
    EXPECT_EQ(error_store.error_count, 0);
}

TEST_F(ErrorsTest, ThirtyThirdActionIsWarnedEveryTime) {
    static int actions[40];
    static int index;
    error_context.running_action = [](ActionReportInfo* info) {
        info->action = &actions[index];
        info->name = "a";
        return true;
    };
    CapturedConsole console;
    for (index = 0; index < 32; index++) warn_division_by_zero();
    console.clear();
    index = 32;
    warn_division_by_zero();
    warn_division_by_zero();
    index = 0;
    warn_division_by_zero();
    std::string text = console.text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2);
}

}  // namespace
