// The preprocessor: defines from scripts and from the command line, whole-token
// substitution, and the conditional sections with their stack.
#include <string>
#include <vector>

#include "engine/errors.h"
#include "reader_fixture.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"

using Tokens = std::vector<std::string>;

class ReaderPreprocess : public ReaderTest {
protected:
    // The first tokens of the statements that reached the handlers.
    std::vector<std::string> keywords() const {
        std::vector<std::string> k;
        for (const RecordedStatement& s : recorded) k.push_back(s.tokens[0]);
        return k;
    }
};

TEST_F(ReaderPreprocess, DefinesReplaceWholeTokens) {
    record_everything();
    EXPECT_EQ(read("DEFINE speed, 5;\n"
                   "DEFINE alias;\n"
                   "DEFINE greeting, \"hello there\";\n"
                   "DEFINE twice, speed;\n"
                   "USE speed, speedy, \"speed\", alias, greeting, twice, SPEED;\n"),
              0);
    ASSERT_EQ(recorded.size(), 1u);
    const RecordedStatement& s = recorded[0];
    EXPECT_EQ(s.tokens, (Tokens{"USE", "5", "speedy", "speed", "alias", "hello there", "speed", "5"}));
    // A string value makes a string token; a quoted token is never replaced; the
    // substitution is not recursive (twice gives "speed", not 5).
    EXPECT_EQ(s.kinds, (std::vector<int>{0, 0, 0, 1, 0, 1, 0, 0}));
    EXPECT_TRUE(is_defined("Speed"));
    const Define* d = find_define("ALIAS");
    ASSERT_NE(d, nullptr);
    EXPECT_STREQ(d->value, "alias");
    EXPECT_EQ(error_store.error_count, 0);
}

TEST_F(ReaderPreprocess, RawTokensAreNotReplaced) {
    define("x", "7");
    const std::string text = "x x;";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    scan_statement();
    EXPECT_STREQ(next_token(), "7");
    reader.raw_tokens = true;
    EXPECT_STREQ(next_token(), "x");
    reader.raw_tokens = false;
}

TEST_F(ReaderPreprocess, UndefAndRedefinition) {
    record_everything();
    read("DEFINE a, 1; USE a; DEFINE a, 2; USE a; UNDEF a; USE a;");
    ASSERT_EQ(recorded.size(), 3u);
    EXPECT_EQ(recorded[0].tokens[1], "1");
    EXPECT_EQ(recorded[1].tokens[1], "2");
    EXPECT_EQ(recorded[2].tokens[1], "a");
    EXPECT_FALSE(is_defined("a"));
}

TEST_F(ReaderPreprocess, CommandLineDefinesAreProtected) {
    record_everything();
    ASSERT_TRUE(define("LEVEL", "3", TOKEN_WORD, DEFINE_COMMAND_LINE));
    read("DEFINE level, 9; UNDEF LEVEL; ifdef level; SEEN level; endif;");
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].tokens, (Tokens{"SEEN", "3"}));
    // It survives the end of the world description and is true in the next script.
    drop_defines(0);
    EXPECT_TRUE(is_defined("LEVEL"));
    recorded.clear();
    read("ifdef LEVEL; AGAIN; endif;");
    EXPECT_EQ(keywords(), (std::vector<std::string>{"AGAIN"}));
}

TEST_F(ReaderPreprocess, DropDefinesByMode) {
    define("s", "1", TOKEN_WORD, DEFINE_SCRIPT);
    define("c", "2", TOKEN_WORD, DEFINE_COMMAND_LINE);
    define("o", "3", TOKEN_WORD, DEFINE_SCOPED);
    drop_defines(2);
    EXPECT_TRUE(is_defined("s"));
    EXPECT_TRUE(is_defined("c"));
    EXPECT_FALSE(is_defined("o"));
    define("o", "3", TOKEN_WORD, DEFINE_SCOPED);
    drop_defines(0);
    EXPECT_FALSE(is_defined("s"));
    EXPECT_TRUE(is_defined("c"));
    EXPECT_FALSE(is_defined("o"));
    drop_defines(1);
    EXPECT_FALSE(is_defined("c"));
    EXPECT_EQ(define_count(), 0);
}

TEST_F(ReaderPreprocess, ScriptDefinesTakeTheScopedOriginInScopedMode) {
    catalogue.scoped = 1;
    record_everything();
    read("DEFINE inner, 1;");
    catalogue.scoped = 0;
    ASSERT_NE(find_define("inner"), nullptr);
    EXPECT_EQ(find_define("inner")->origin, DEFINE_SCOPED);
    drop_defines(2);
    EXPECT_FALSE(is_defined("inner"));
}

struct ConditionCase {
    const char* text;
    std::vector<std::string> seen;
};

TEST_F(ReaderPreprocess, ConditionalSections) {
    const ConditionCase cases[] = {
        {"DEFINE A; ifdef A; yes; endif; after;", {"yes", "after"}},
        {"ifdef A; no; endif; after;", {"after"}},
        {"ifndef A; yes; endif;", {"yes"}},
        {"ifdef A; no; ifelse; yes; endif;", {"yes"}},
        {"DEFINE A; ifdef A; yes; ifelse; no; endif;", {"yes"}},
        // Inside a skipped section everything is skipped, the inner ifelse included.
        {"ifdef A; ifdef B; no1; ifelse; no2; endif; no3; ifelse; yes; endif;", {"yes"}},
        {"DEFINE A; ifdef A; ifdef B; no; ifelse; yes; endif; yes2; endif;", {"yes", "yes2"}},
        // Keywords in any mix of case; DEFINE inside a skipped section is skipped too.
        {"IfDeF A; DEFINE A; EndIf; IFNDEF a; yes; ENDIF; ifdef A; no; endif;", {"yes"}},
        {"Define X; IFDEF x; yes; IfElse; no; eNdIf;", {"yes"}},
    };
    for (const ConditionCase& c : cases) {
        SetUp();
        record_everything();
        EXPECT_EQ(read(c.text), 0) << c.text;
        EXPECT_EQ(keywords(), c.seen) << c.text;
        EXPECT_EQ(error_store.error_count, 0) << c.text;
    }
}

TEST_F(ReaderPreprocess, UnbalancedConditionsAreReportedAndLeaveTheStackWhole) {
    for (const char* text : {"endif;", "ifelse;"}) {
        SetUp();
        record_everything();
        EXPECT_EQ(read(text), -2) << text;  // the counted error ends the reading
        EXPECT_EQ(error_store.error_count, 1) << text;
        EXPECT_EQ(reader.condition_top, 0) << text;
        EXPECT_EQ(reader.conditions[0], 0) << text;
        // The next reading is not harmed: the bottom level is still active.
        clear_errors();
        recorded.clear();
        EXPECT_EQ(read("after;"), 0);
        EXPECT_EQ(keywords(), (std::vector<std::string>{"after"}));
    }
    // A direct call on the preprocessor sees the same.
    SetUp();
    const std::string text = "ifelse;";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    scan_statement();
    EXPECT_EQ(preprocess(next_token()), 1);
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_EQ(reader.conditions[reader.condition_top], 0);
}

TEST_F(ReaderPreprocess, SixtyThreeLevelsAreTheLimit) {
    record_everything();
    std::string text;
    for (int i = 0; i < 63; i++) text += "ifndef X;";
    text += "deep;";
    for (int i = 0; i < 63; i++) text += "endif;";
    text += "out;";
    EXPECT_EQ(read(text), 0);
    EXPECT_EQ(keywords(), (std::vector<std::string>{"deep", "out"}));
    EXPECT_EQ(error_store.error_count, 0);

    SetUp();
    record_everything();
    text.clear();
    for (int i = 0; i < 64; i++) text += "ifdef X;";
    text += "never;";
    EXPECT_EQ(read(text), -2);  // reported, then the reading stops
    EXPECT_EQ(error_store.error_count, 1);
    EXPECT_TRUE(recorded.empty());
}

TEST_F(ReaderPreprocess, NestedReadingHasItsOwnConditionStack) {
    // An unclosed ifdef inside a text does not leak into the text that read it.
    static std::vector<char> inner;
    add_statement_handler(TABLE_LINE_DEFINITIONS, "NEST", [](const char*) {
        const std::string t = "ifdef NOPE; hidden;";
        inner.assign(t.begin(), t.end());
        inner.push_back(0);
        read_text(inner.data(), int(t.size()));
        return 1;
    });
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, [](const char* k) {
        recorded.push_back(take_statement(k));
        return 1;
    });
    EXPECT_EQ(read("before; NEST; after;"), 0);
    EXPECT_EQ(keywords(), (std::vector<std::string>{"before", "after"}));
}
