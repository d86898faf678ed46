// Scanning statements: tokens and their kinds, comments, strings, labels, line counts, the
// statement text kept for error reports, and texts that end in the middle of something.
#include <string>
#include <vector>

#include "engine/errors.h"
#include "reader_fixture.h"
#include "script/front/reader.h"

using Tokens = std::vector<std::string>;

struct ScanCase {
    const char* text;
    std::vector<Tokens> statements;
};

class ReaderScan : public ReaderTest {};

TEST_F(ReaderScan, StatementsSplitIntoTokens) {
    const ScanCase cases[] = {
        {"BMAP wall, <wall.pcx>, 0, 0, 64, 64;", {{"BMAP", "wall", "<", "wall.pcx", ">", "0", "0", "64", "64"}}},
        {"a/b;", {{"a", "/", "b"}}},
        {"x // to the end\n y;", {{"x", "y"}}},
        {"x # to the end\n y;", {{"x", "y"}}},
        {"x /* over\n two lines */ y;", {{"x", "y"}}},
        {"a,b,,c;", {{"a", "b", "c"}}},
        {"a:b : c;", {{"a:b", ":", "c"}}},
        {"one;two;;three", {{"one"}, {"two"}, {}}},
        {"SKILL x { VAL 1; }", {{"SKILL", "x"}, {"VAL", "1"}, {}}},
        {"\t\r\f\b a \x0b b;", {{"a", "\x0b", "b"}}},
        {"w\"s\"w2;", {{"w", "s", "w2"}}},
        {"x=y+1*2-3;", {{"x=y+1*2-3"}}},
        {"IF (x > 1) {", {{"IF", "(x", ">", "1)"}}},
    };
    for (const ScanCase& c : cases) {
        SetUp();
        std::vector<Tokens> got = scan(c.text);
        EXPECT_EQ(got, c.statements) << c.text;
    }
}

TEST_F(ReaderScan, TokenKindsAndStringEscapes) {
    const std::string text = "BMAP \"a\\\"b\" <f.pcx> \"x\\ny\\rz\\tw\\q\\\\\" \"\";";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    ASSERT_EQ(begin_text(buffer.data(), int(text.size())), 0);
    ASSERT_EQ(scan_statement(), 0);
    ASSERT_EQ(reader.token_count, 7);
    const int kinds[] = {TOKEN_WORD, TOKEN_STRING, TOKEN_OPEN_FILE, TOKEN_WORD, TOKEN_CLOSE_FILE, TOKEN_STRING,
                         TOKEN_STRING};
    for (int i = 0; i < 7; i++) EXPECT_EQ(reader.tokens[i].kind, kinds[i]) << i;
    EXPECT_STREQ(reader.tokens[1].text, "a\"b");
    EXPECT_STREQ(reader.tokens[5].text, "x\ny\rz\twq\\");
    EXPECT_EQ(reader.tokens[5].length, 9);
    EXPECT_STREQ(reader.tokens[6].text, "");
    // next_token passes over the file markers.
    EXPECT_STREQ(next_token(), "BMAP");
    EXPECT_STREQ(next_token(), "a\"b");
    EXPECT_TRUE(token_is_string());
    EXPECT_STREQ(next_token(), "f.pcx");
    EXPECT_FALSE(token_is_string());
    EXPECT_STREQ(next_token(), "x\ny\rz\twq\\");
    EXPECT_STREQ(next_token(), "");
    EXPECT_EQ(next_token(), nullptr);
}

TEST_F(ReaderScan, LinesAreCountedThroughCommentsAndStrings) {
    record_everything();
    const std::string text =
        "A 1;\n"                  // line 1
        "# comment\n"             // 2
        "// comment\n"            // 3
        "/* one\n two\n three */\n"  // 4-6
        "B \"x\ny\";\n"           // 7-8: a string spanning lines
        "C\n 2\n;\n"              // 9-11: a statement over three lines
        "D \"\\\n\";";            // 12-13: an escaped line break inside a string
    EXPECT_EQ(read(text), 0);
    ASSERT_EQ(recorded.size(), 4u);
    EXPECT_EQ(recorded[0].line, 1);
    EXPECT_EQ(recorded[1].line, 8);
    EXPECT_EQ(recorded[1].tokens[1], "x\ny");
    EXPECT_EQ(recorded[2].line, 11);
    EXPECT_EQ(recorded[2].tokens, (Tokens{"C", "2"}));
    EXPECT_EQ(recorded[3].line, 13);
    EXPECT_EQ(recorded[3].tokens[1], "\n");
}

TEST_F(ReaderScan, LabelsEndAStatementOnlyInActionBodies) {
    std::vector<Tokens> body = scan("start: SET x, 1;\nloop : SKIP -1; SET a:b, 2;", READER_ACTION_BODY);
    EXPECT_EQ(body, (std::vector<Tokens>{{"start"}, {"SET", "x", "1"}, {"loop"}, {"SKIP", "-1"}, {"SET", "a:b", "2"}}));

    const std::string text = "again: END;";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    reader.reader_state = READER_ACTION_BODY;
    ASSERT_EQ(scan_statement(), 0);
    EXPECT_TRUE(reader.is_label);
    EXPECT_STREQ(next_token(), "again");
    EXPECT_TRUE(token_before_colon());
    ASSERT_EQ(scan_statement(), 0);
    EXPECT_FALSE(reader.is_label);
    EXPECT_STREQ(next_token(), "END");
    EXPECT_FALSE(token_before_colon());

    // Outside an action body the colon stays in the word.
    EXPECT_EQ(scan("start: SET x;"), (std::vector<Tokens>{{"start:", "SET", "x"}}));
}

TEST_F(ReaderScan, StatementTextKeepsTheStatementAsRead) {
    const std::string text = "\n\n   BMAP\ta, <x.pcx>/2 # note\n  7;";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    ASSERT_EQ(scan_statement(), 0);
    // From the first visible character; "/" and "#" as spaces; the line break kept.
    EXPECT_STREQ(reader.statement_text, "BMAP\ta, <x.pcx> 2  \n  7");
    EXPECT_STREQ(error_context.script_statement, reader.statement_text);
    EXPECT_EQ(error_context.script_line, 4);
}

TEST_F(ReaderScan, TextsThatEndInsideSomethingStopAtTheEnd) {
    const char* texts[] = {
        "A \"never closed",   // an unterminated string
        "A /* never closed",  // an unterminated comment
        "A \"ends in \\",     // a backslash at the end of the text
        "A \\",               // a lone backslash word
        "A # comment at the end",
        "A /",
        "A <",
        "word",
    };
    for (const char* t : texts) {
        SetUp();
        const std::string text = t;
        // No spare zero bytes beyond the one the reader needs.
        buffer.assign(text.begin(), text.end());
        buffer.push_back('!');
        ASSERT_EQ(begin_text(buffer.data(), int(text.size())), 0);
        EXPECT_EQ(scan_statement(), -1) << t;
        EXPECT_EQ(scan_statement(), -1) << t;
        EXPECT_EQ(buffer.back(), 0) << t;  // the spare byte holds the terminator
    }
    // What the unterminated string held is still a token up to the end.
    const std::string text = "A \"abc";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    scan_statement();
    ASSERT_EQ(reader.token_count, 2);
    EXPECT_STREQ(reader.tokens[1].text, "abc");
}

TEST_F(ReaderScan, OversizedStatementsAreCut) {
    std::string text;
    for (int i = 0; i < 600; i++) text += "t" + std::to_string(i) + " ";
    text += "; next;";
    std::vector<Tokens> got = scan(text);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].size(), size_t(max_statement_tokens));
    EXPECT_EQ(got[0].back(), "t510");
    EXPECT_EQ(got[1], (Tokens{"next"}));

    std::string longword(20000, 'w');
    buffer.assign(longword.begin(), longword.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(longword.size()));
    scan_statement();
    EXPECT_EQ(reader.statement_length, statement_text_size - 1);
    EXPECT_EQ(reader.tokens[0].length, 20000);  // the token itself is in place, not cut
}

TEST_F(ReaderScan, EmptyTextsAreRefused) {
    char empty[2] = {0, 0};
    EXPECT_EQ(begin_text(empty, 0), -1);
    EXPECT_EQ(begin_text(nullptr, 5), -1);
    EXPECT_EQ(read_text(empty, 0), -1);
    EXPECT_EQ(error_store.error_count, 0);
}

TEST_F(ReaderScan, JoinedTokensKeepOperatorsAndFileMarkers) {
    const std::string text = "IF (x >= 1 && y<2) {";
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    begin_text(buffer.data(), int(text.size()));
    ASSERT_EQ(scan_statement(), 0);
    EXPECT_TRUE(reader.opens_block);
    EXPECT_STREQ(next_token(), "IF");
    EXPECT_EQ(tokens_left(), 8);
    char joined[64];
    EXPECT_EQ(join_remaining_tokens(joined, sizeof joined), 11);
    EXPECT_STREQ(joined, "(x>=1&&y<2)");
    EXPECT_EQ(tokens_left(), 0);
    EXPECT_EQ(next_token(), nullptr);
}
