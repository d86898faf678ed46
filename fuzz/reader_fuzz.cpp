// Feeds arbitrary text to the script reader: once through the bare scanner (every
// statement, every token, the joined remainder, the number readers), once through the
// reading loop with handlers that open blocks and action bodies, read numbers, define
// names and read a nested text. The reader is reset between runs.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"

namespace {

int nested = 0;

int line_definition(const char* keyword) {
    if (keyword[0] == 'N' || keyword[0] == 'n') {
        int32_t v = 0;
        while (tokens_left() > 0 && read_number(&v) == 0) {
        }
        return 1;
    }
    if (keyword[0] == 'I' || keyword[0] == 'i') {
        int32_t v = 0;
        read_integer(&v);
        return 1;
    }
    if (keyword[0] == 'R' || keyword[0] == 'r') {
        // A nested reading of the rest of the statement as a text of its own.
        char joined[512];
        int n = join_remaining_tokens(joined, sizeof joined);
        std::vector<char> nested_text(joined, joined + n);  // its own copy: readings nest
        nested_text.push_back(0);
        return read_text(nested_text.data(), n) == -2 ? -2 : 1;
    }
    if (keyword[0] == 'D' || keyword[0] == 'd') {
        const char* name = next_token();
        const char* value = next_token();
        if (name) define(name, value, TOKEN_WORD, DEFINE_COMMAND_LINE);
        return 1;
    }
    return keyword[0] == 'Z' ? 0 : (next_token(), 1);
}

int field(const char* keyword) {
    while (next_token()) {
    }
    return keyword[0] == 'X' ? -2 : keyword[0] == 'Y' ? -1 : keyword[0] == 'W' ? -3 : 1;
}
void end_block() {}
int open_block(const char* keyword) {
    next_token();
    int state = (keyword[0] == 'A' || keyword[0] == 'a') ? READER_ACTION_BODY : 2 + (keyword[0] & 7);
    enter_block(state, field, end_block);
    return 1;
}
void open_nested() { nested++; }
int close_nested() {
    if (nested == 0) return 0;
    nested--;
    return 1;
}

bool prepared = false;
char console_buffer[4096];
ConsoleCapture capture;

void prepare() {
    if (!prepared) {
        prepared = true;
        capture = ConsoleCapture{console_buffer, int(sizeof console_buffer), 0, false};
        console_set_capture(&capture);
    }
    capture.length = 0;
    reset_settings();
    settings.use_err = 1;
    clear_errors();
    error_store.report_armed = 1;
    reset_reader();
    drop_defines(1);
    clear_statement_handlers();
    nested = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) return 0;
    prepare();
    // The reader writes into its text and needs one spare byte after the end; the copy has
    // exactly that, so any write past it is caught.
    std::vector<char> text(data, data + size);
    text.push_back(0);

    if (begin_text(text.data(), int(size)) == 0) {
        reader.braces_inert = (size & 1) != 0;
        int statements = 0;
        while (scan_statement() == 0 && statements++ < 100000) {
            if (reader.token_count > 0 && reader.tokens[0].text[0] == '@') reader.reader_state = READER_ACTION_BODY;
            int32_t v;
            if (const char* t = peek_token(); t && t[0] >= '0' && t[0] <= '9') read_number(&v);
            char joined[256];
            join_remaining_tokens(joined, sizeof joined);
            if (!reader.braces_inert && reader.reader_state > 1 && statements % 7 == 0) reader.reader_state = 0;
        }
        reader.braces_inert = false;
    }

    prepare();
    text.assign(data, data + size);
    text.push_back(0);
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, line_definition);
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, open_block);
    add_statement_handler(TABLE_TOP_LEVEL, "T", line_definition);
    action_body_hooks.open_block = open_nested;
    action_body_hooks.close_block = close_nested;
    read_text(text.data(), int(size));
    action_body_hooks = ActionBodyHooks{};
    drop_defines(1);  // what a run defines is gone by its end, as the leak check expects
    return 0;
}
