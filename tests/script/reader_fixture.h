// Shared set-up of the script reader tests: a clean reader, error store and settings, the
// console captured, and a recorder that keeps every statement the reading loop hands over.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/console.h"

struct RecordedStatement {
    std::vector<std::string> tokens;  // as next_token gives them (defines applied)
    std::vector<int> kinds;           // token kind after substitution
    int line = 0;                     // line number when the statement was handed over
    int state = 0;                    // reader state at that moment
    bool label = false;
    bool opens_block = false;
};

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads a text through the reading loop (a writable copy of it).
    int read(const std::string& text);
    // Scans a text statement by statement without the loop; each statement's raw tokens.
    std::vector<std::vector<std::string>> scan(const std::string& text, int state = 0);
    // Registers the recorder as the only line-definition handler (it claims everything).
    void record_everything();
    std::string console() const { return std::string(capture_text, size_t(capture.length)); }
    std::string listing() const;

    std::vector<char> buffer;
    char capture_text[65536];
    ConsoleCapture capture;
};

extern std::vector<RecordedStatement> recorded;
// Takes the rest of the statement into a record (used by the recorder handlers).
RecordedStatement take_statement(const char* keyword);
// A temporary folder, made fresh for a test and removed with it.
std::string make_temp_folder();
void write_file(const std::string& path, const std::string& text);
void remove_folder(const std::string& path);
