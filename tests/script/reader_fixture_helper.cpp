#include "reader_fixture.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"

std::vector<RecordedStatement> recorded;

RecordedStatement take_statement(const char* keyword) {
    RecordedStatement s;
    s.tokens.push_back(keyword);
    s.kinds.push_back(reader.token_kind);
    s.line = reader.line_number;
    s.state = reader.reader_state;
    s.label = reader.is_label;
    s.opens_block = reader.opens_block;
    while (const char* t = next_token()) {
        s.tokens.push_back(t);
        s.kinds.push_back(reader.token_kind);
    }
    return s;
}

static int record_statement(const char* keyword) {
    recorded.push_back(take_statement(keyword));
    return 1;
}

void ReaderTest::SetUp() {
    reset_settings();
    clear_errors();
    error_store.report_armed = 1;
    error_store.last_reported_line = -1;
    reset_reader();
    clear_statement_handlers();
    drop_defines(1);
    action_body_hooks = ActionBodyHooks{};
    recorded.clear();
    capture = ConsoleCapture{capture_text, int(sizeof capture_text), 0, false};
    capture_text[0] = 0;
    console_set_capture(&capture);
}

void ReaderTest::TearDown() {
    console_set_capture(nullptr);
    clear_statement_handlers();
    drop_defines(1);
    reset_reader();
    error_context.script_file = nullptr;
    reader.file_name[0] = 0;
    clear_errors();
}

int ReaderTest::read(const std::string& text) {
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    buffer.push_back(0);
    return read_text(buffer.data(), int(text.size()));
}

std::vector<std::vector<std::string>> ReaderTest::scan(const std::string& text, int state) {
    buffer.assign(text.begin(), text.end());
    buffer.push_back(0);
    buffer.push_back(0);
    std::vector<std::vector<std::string>> out;
    if (begin_text(buffer.data(), int(text.size())) < 0) return out;
    reader.reader_state = state;
    while (scan_statement() == 0) {
        std::vector<std::string> tokens;
        for (int i = 0; i < reader.token_count; i++) tokens.emplace_back(reader.tokens[i].text);
        out.push_back(tokens);
        reader.reader_state = state;
    }
    return out;
}

void ReaderTest::record_everything() { add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, record_statement); }

std::string ReaderTest::listing() const {
    char text[8192];
    int n = format_error_reports(text, sizeof text);
    return std::string(text, size_t(n));
}

std::string make_temp_folder() {
    char pattern[] = "/tmp/dravo_reader_XXXXXX";
    char* made = mkdtemp(pattern);
    return made ? std::string(made) : std::string();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void remove_folder(const std::string& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
}
