// The reading loop: handler tables and their answers, blocks with field and end handlers,
// action bodies, the stop after the first counted error, the error listing and the
// "-WDLERR" explanations, and the number readers.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/errors.h"
#include "engine/settings.h"
#include "reader_fixture.h"
#include "script/front/reader.h"

using Tokens = std::vector<std::string>;

namespace {

std::vector<std::string> calls;
int end_calls = 0;
int field_answer = 1;

int declines_after_peeking(const char* keyword) {
    calls.push_back(std::string("peek:") + keyword);
    next_token();
    next_token();
    return 0;
}
int claims(const char* keyword) {
    recorded.push_back(take_statement(keyword));
    calls.push_back(std::string("claim:") + keyword);
    return 1;
}
int claims_one_token(const char* keyword) {
    calls.push_back(std::string("one:") + keyword + ":" + (next_token() ? "ok" : "none"));
    return 1;
}
int answers_minus_one(const char*) {
    reader_report_error();
    return -1;
}
int answers_minus_two(const char*) { return -2; }
int top_level(const char* keyword) {
    calls.push_back(std::string("top:") + keyword);
    next_token();
    return 1;
}

int field(const char* keyword) {
    recorded.push_back(take_statement(keyword));
    return field_answer;
}
void block_end() { end_calls++; }
int open_block_handler(const char* keyword) {
    calls.push_back(std::string("block:") + keyword + ":" + (next_token() ? "named" : "unnamed"));
    enter_block(2, field, block_end);
    return 1;
}

int nested_blocks = 0;
int opened_marks = 0;
void mark_open() { opened_marks++; }
int close_nested() {
    if (nested_blocks > 0) {
        nested_blocks--;
        return 1;
    }
    return 0;
}
int action_field(const char* keyword) {
    RecordedStatement s = take_statement(keyword);
    if (s.opens_block) nested_blocks++;
    recorded.push_back(s);
    return 1;
}
int open_action(const char* keyword) {
    if (std::string(keyword) != "ACTION") return 0;
    next_token();
    enter_block(READER_ACTION_BODY, action_field, block_end);
    return 1;
}

}  // namespace

class ReaderLoop : public ReaderTest {
protected:
    void SetUp() override {
        ReaderTest::SetUp();
        calls.clear();
        end_calls = 0;
        field_answer = 1;
        nested_blocks = 0;
        opened_marks = 0;
    }
};

TEST_F(ReaderLoop, HandlersAreOfferedInTableOrder) {
    add_statement_handler(TABLE_LINE_DEFINITIONS, "OTHER", claims);
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, declines_after_peeking);
    add_statement_handler(TABLE_LINE_DEFINITIONS, "bmap", claims);
    add_statement_handler(TABLE_TOP_LEVEL, nullptr, top_level);
    EXPECT_EQ(read("BMAP a, b; PATH x;"), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"peek:BMAP", "claim:BMAP", "peek:PATH", "top:PATH"}));
    // The handler that declined had looked ahead: the next one still sees every token.
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].tokens, (Tokens{"BMAP", "a", "b"}));
    EXPECT_EQ(error_store.error_count, 0);
}

TEST_F(ReaderLoop, BlockDefinitionsGoToTableB) {
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, claims);
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, "SKILL", open_block_handler);
    EXPECT_EQ(read("SKILL health { VAL 10; MAX 100; }\nAFTER;"), 0);
    EXPECT_EQ(calls, (std::vector<std::string>{"block:SKILL:named", "claim:AFTER"}));
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0].tokens, (Tokens{"VAL", "10"}));
    EXPECT_EQ(recorded[0].state, 2);
    EXPECT_EQ(recorded[1].tokens, (Tokens{"MAX", "100"}));
    EXPECT_EQ(recorded[2].tokens, (Tokens{"AFTER"}));
    EXPECT_EQ(recorded[2].state, 0);
    EXPECT_EQ(end_calls, 1);
    EXPECT_EQ(reader.field_handler, nullptr);
}

TEST_F(ReaderLoop, LeftOverTokensAreAnError) {
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, claims_one_token);
    // File markers left over are not tokens that count.
    EXPECT_EQ(read("A <file.pcx>;"), 0);
    EXPECT_EQ(error_store.error_count, 0);
    EXPECT_EQ(read("B one two;\nC;"), -2);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"one:A:ok", "one:B:ok"}));
}

TEST_F(ReaderLoop, HandlerAnswers) {
    add_statement_handler(TABLE_LINE_DEFINITIONS, "ERR", answers_minus_one);
    add_statement_handler(TABLE_LINE_DEFINITIONS, "ABORT", answers_minus_two);
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, claims);
    // -1 leaves the result as it was (the counted error stops the reading at the next one).
    EXPECT_EQ(read("ERR; NEVER;"), -2);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_TRUE(recorded.empty());
    clear_errors();
    // -2 makes the result -2 and the reading goes on.
    EXPECT_EQ(read("ABORT; STILL;"), -2);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].tokens[0], "STILL");
    EXPECT_EQ(error_store.error_count, 0);
}

TEST_F(ReaderLoop, ReadingStopsAfterTheFirstCountedError) {
    add_statement_handler(TABLE_LINE_DEFINITIONS, "SWALLOWED", [](const char*) {
        error_store.report_armed = 0;  // one harmless failure expected
        reader_report_error();
        return 1;
    });
    add_statement_handler(TABLE_LINE_DEFINITIONS, "GOOD", claims);
    EXPECT_EQ(read("SWALLOWED; GOOD; unknown thing; GOOD;"), -2);
    EXPECT_EQ(calls, (std::vector<std::string>{"claim:GOOD"}));
    EXPECT_EQ(error_store.error_count, 1);
    // With an error already counted nothing is read at all.
    calls.clear();
    EXPECT_EQ(read("GOOD;"), -2);
    EXPECT_TRUE(calls.empty());
}

TEST_F(ReaderLoop, FieldHandlerAnswers) {
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_block_handler);
    struct Case {
        int answer;
        int result;
        int errors;
        size_t fields;  // field statements handed over before the reading ended
    };
    const Case cases[] = {
        {1, 0, 0, 2},   // done
        {-3, 0, 0, 2},  // no current object: ignored
        {-2, -2, 0, 1}, // stops at once
        {-1, -2, 1, 1}, // one error report, then the stop after it
        {0, -2, 1, 1},  // not a field of this block: an error
    };
    for (const Case& c : cases) {
        SetUp();
        add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_block_handler);
        field_answer = c.answer;
        EXPECT_EQ(read("THING t { A 1; B 2; }"), c.result) << c.answer;
        EXPECT_EQ(error_store.error_count, c.errors) << c.answer;
        EXPECT_EQ(recorded.size(), c.fields) << c.answer;
    }
}

TEST_F(ReaderLoop, BraceFaults) {
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_block_handler);
    // "{" inside a definition: reported, the handlers are cleared.
    EXPECT_EQ(read("THING t { PANEL p { A; } }"), -2);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_EQ(end_calls, 0);

    // A missing ";" before "}": reported; the block still closes.
    SetUp();
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_block_handler);
    EXPECT_EQ(read("THING t { A 1 }"), -2);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_EQ(end_calls, 1);
    EXPECT_TRUE(recorded.empty());

    // A block state without a field handler.
    SetUp();
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, [](const char*) {
        next_token();
        enter_block(5, nullptr, nullptr);
        return 1;
    });
    EXPECT_EQ(read("TEXTURE t { SCALE 1; }"), -2);
    EXPECT_EQ(error_store.error_count, 1);
}

TEST_F(ReaderLoop, ActionBodiesWithNestedBlocksAndLabels) {
    action_body_hooks.open_block = mark_open;
    action_body_hooks.close_block = close_nested;
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_action);
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, claims);
    EXPECT_EQ(read("ACTION go {\n"
                   "  top: SET x, 1;\n"
                   "  IF (x > 1) {\n"
                   "    WHILE (y < 2) { ADD y, 1; }\n"
                   "  } ELSE { SKIP top; }\n"
                   "}\n"
                   "AFTER;"),
              0);
    EXPECT_EQ(error_store.error_count, 0);
    EXPECT_EQ(end_calls, 1);
    EXPECT_EQ(opened_marks, 3);
    std::vector<Tokens> statements;
    for (const RecordedStatement& s : recorded) statements.push_back(s.tokens);
    EXPECT_EQ(statements, (std::vector<Tokens>{{"top"},
                                               {"SET", "x", "1"},
                                               {"IF", "(x", "1)"},
                                               {"WHILE", "(y", "2)"},
                                               {"ADD", "y", "1"},
                                               {"ELSE"},
                                               {"SKIP", "top"},
                                               {"AFTER"}}));
    EXPECT_TRUE(recorded[0].label);
    EXPECT_TRUE(recorded[2].opens_block);
    EXPECT_EQ(recorded[7].state, 0);
}

TEST_F(ReaderLoop, WithoutHooksEveryBraceClosesTheAction) {
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_action);
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, claims);
    // The first "}" ends the action; AFTER is then a top-level statement and the last "}"
    // closes nothing.
    EXPECT_EQ(read("ACTION a { IF (x) { NOP; } AFTER; }"), 0);
    EXPECT_EQ(end_calls, 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"claim:AFTER"}));
    EXPECT_EQ(error_store.error_count, 0);
}

TEST_F(ReaderLoop, ErrorListingNamesFileLineAndStatement) {
    std::snprintf(reader.file_name, sizeof reader.file_name, "GAME.WDL");
    error_context.script_file = reader.file_name;
    add_statement_handler(TABLE_LINE_DEFINITIONS, "OK", claims);
    EXPECT_EQ(read("OK;\n\n  \tWRONG  name, \"x\";\nOK;"), -2);
    std::string text = listing();
    EXPECT_NE(text.find("\n Error reports, oldest first:"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  #1 GAME.WDL line 3: WRONG  name, \"x\""), std::string::npos) << text;
    EXPECT_NE(text.find("(raised in handle_definition)"), std::string::npos) << text;
}

TEST_F(ReaderLoop, WdlErrExplainsAnUnclaimedStatement) {
    settings.use_err = 1;
    add_statement_handler(TABLE_LINE_DEFINITIONS, "BMAP", claims);
    EXPECT_EQ(read("BMAP a;\nSTRAY word;\nBMAP b;"), -2);
    EXPECT_EQ(console(),
              "\r\nWDL error near line 2: STRAY word"
              "\r\n  claimed by nothing: no handler and no top-level keyword answers to \"STRAY\"");
}

TEST_F(ReaderLoop, WdlErrExplainsAMissingSemicolon) {
    settings.use_err = 1;
    add_statement_handler(TABLE_LINE_DEFINITIONS, "BMAP", claims);
    // The missing ";" joins two lines into one statement that no handler claims.
    EXPECT_EQ(read("SOUND boom, <boom.wav>\nBMAP a, <a.pcx>;\nBMAP b;"), -2);
    EXPECT_EQ(console(),
              "\r\nWDL error near line 2: SOUND boom, <boom.wav>"
              "\r\n  claimed by nothing: no handler and no top-level keyword answers to \"SOUND\""
              "\r\n  ...and it runs past the end of its line: a statement ends at ';' and not at a newline, so this "
              "one has taken the statement that followed it");
    EXPECT_EQ(recorded.size(), 0u);  // the reading stopped right after the report
    EXPECT_EQ(error_store.error_count, 1);
}

TEST_F(ReaderLoop, OnlyALineBreakBetweenTokensRunsPastTheLine) {
    settings.use_err = 1;
    const char* run_on = "\r\n  ...and it runs past the end of its line";
    struct Case {
        const char* text;
        bool explained;
    };
    const Case cases[] = {
        {"STRAY word\nMORE;", true},
        {"STRAY # comment\n word;", true},
        {"STRAY /* a\n b */ word;", true},
        {"STRAY \"a string\nover lines\";", false},
        {"STRAY word\n;", false},
        {"\n\nSTRAY word;", false},
    };
    for (const Case& c : cases) {
        SetUp();
        settings.use_err = 1;
        read(c.text);
        EXPECT_EQ(console().find(run_on) != std::string::npos, c.explained) << c.text << console();
        EXPECT_NE(console().find("claimed by nothing"), std::string::npos) << c.text;
    }
}

TEST_F(ReaderLoop, WithoutWdlErrTheConsoleStaysQuiet) {
    EXPECT_EQ(read("STRAY\nword;"), -2);
    EXPECT_EQ(console(), "");
    EXPECT_EQ(error_store.error_count, 1);
}

struct NumberCase {
    const char* token;
    int number_result;
    int32_t number;
    int integer_result;
    int32_t integer;
};

TEST_F(ReaderLoop, NumbersAndIntegers) {
    const NumberCase cases[] = {
        {"5", 0, 5120, 0, 5120},
        {"-3", 0, -3072, 0, -3072},
        {"+2", 0, 2048, 0, 2048},
        {"0.7", 0, 716, -1, 0},
        {"-0.7", 0, -716, -1, 0},
        {"1.5", 0, 1536, -1, 0},
        {"\" 12\"", 0, 12288, 0, 12288},  // leading spaces (in a string) are allowed
        {"0.0009", 0, 0, -1, 0},
        {"abc", -1, 0, -1, 0},
        {"1e3", -1, 0, -1, 0},
        {"5.", -1, 0, -1, 0},
        {"-", -1, 0, -1, 0},
        {"3x", -1, 0, -1, 0},
        {"99999999999", 0, INT32_MAX, 0, INT32_MAX},
    };
    for (const NumberCase& c : cases) {
        SetUp();
        std::string text = std::string("N ") + c.token + " " + c.token + ";";
        buffer.assign(text.begin(), text.end());
        buffer.push_back(0);
        begin_text(buffer.data(), int(text.size()));
        reader.expect_token = true;
        scan_statement();
        next_token();
        int32_t value = 99, whole = 99;
        EXPECT_EQ(read_number(&value, &whole), c.number_result) << c.token;
        EXPECT_EQ(value, c.number) << c.token;
        EXPECT_EQ(whole, c.number >> 10) << c.token;
        value = 99;
        EXPECT_EQ(read_integer(&value), c.integer_result) << c.token;
        EXPECT_EQ(value, c.integer) << c.token;
        int errors = (c.number_result < 0) + (c.integer_result < 0);
        EXPECT_EQ(error_store.error_count, errors) << c.token;
    }
}

TEST_F(ReaderLoop, MissingTokensAreErrorsOnlyWhenExpected) {
    const std::string text = "N;";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    scan_statement();
    next_token();
    const char* t = "x";
    reader.expect_token = false;
    EXPECT_EQ(require_token(&t), -1);
    EXPECT_EQ(t, nullptr);
    EXPECT_EQ(error_store.error_count, 0);
    reader.expect_token = true;
    EXPECT_EQ(require_token(&t), -1);
    int32_t v = 1;
    EXPECT_EQ(read_number(&v), -1);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(error_store.error_count, 2);
}
