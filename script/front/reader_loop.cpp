// The reading loop of the script reader: hands each statement to the preprocessor, then to
// the definition handlers (or, inside a block, to the block's field handler); reads whole
// files (nested for INCLUDE) and the map name of a script.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/reader.h"
#include "script/front/reader_io.h"

namespace {

struct HandlerEntry {
    const char* keyword;  // null: offered every statement
    StatementHandler handler;
};

struct HandlerTables {
    HandlerEntry entries[3][max_statement_handlers];
    int counts[3];
};
HandlerTables tables;

bool same_word(const char* a, const char* b) {
    for (; *a && *b; a++, b++) {
        unsigned char x = uint8_t(*a), y = uint8_t(*b);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return *a == *b;
}

// Tokens other than file markers not yet taken.
bool tokens_left_over() {
    for (int i = reader.cursor; i < reader.token_count; i++)
        if (reader.tokens[i].kind != TOKEN_OPEN_FILE && reader.tokens[i].kind != TOKEN_CLOSE_FILE) return true;
    return false;
}

// Offers the statement to one table: the first answer other than 0, or 0.
int offer(HandlerTable table, const char* keyword, int after_keyword) {
    for (int i = 0; i < tables.counts[table]; i++) {
        const HandlerEntry& e = tables.entries[table][i];
        if (e.keyword && !same_word(e.keyword, keyword)) continue;
        reader.cursor = after_keyword;  // a handler that declined may have looked ahead
        int answer = e.handler(keyword);
        if (answer != 0) return answer;
    }
    return 0;
}

void explain_unclaimed(const char* keyword) {
    if (!settings.use_err) return;
    console_message("\r\n  claimed by nothing: no handler and no top-level keyword answers to \"%s\"", keyword);
    // Only a line break between two tokens means that the statement ran on into the next
    // one (a string may hold line breaks, and a ";" may stand on a line of its own).
    if (reader.spans_lines)
        console_message(
            "\r\n  ...and it runs past the end of its line: a statement ends at ';' and not at a newline, so this "
            "one has taken the statement that followed it");
}

// One statement at reader state 0 or 1.
int handle_definition(const char* keyword, int after_keyword) {
    int state = reader.reader_state;
    int answer = offer(state == READER_TOP_LEVEL ? TABLE_LINE_DEFINITIONS : TABLE_BLOCK_DEFINITIONS, keyword,
                       after_keyword);
    if (answer == 0 && state == READER_TOP_LEVEL) answer = offer(TABLE_TOP_LEVEL, keyword, after_keyword);
    if (answer == 0) {
        reader_report_error();
        explain_unclaimed(keyword);
        return 0;
    }
    if (answer == 1 && tokens_left_over()) reader_report_error();
    return answer == -2 ? -2 : 0;
}

// One statement inside a block: 0 goes on, -2 stops the reading at once.
int handle_field(const char* keyword) {
    if (!reader.field_handler) {
        reader_report_error();
        return 0;
    }
    int answer = reader.field_handler(keyword);
    if (answer == 1) {
        if (tokens_left_over()) reader_report_error();
    } else if (answer == -2) {
        return -2;
    } else if (answer != -3) {
        reader_report_error();
    }
    return 0;
}

// Statement text of the outer statement, kept across a nested reading for its reports.
constexpr int kept_text_size = 256;

}  // namespace

bool add_statement_handler(HandlerTable table, const char* keyword, StatementHandler handler) {
    if (table < 0 || table > 2 || !handler) return false;
    int& n = tables.counts[table];
    if (n >= max_statement_handlers) return false;
    tables.entries[table][n++] = {keyword, handler};
    return true;
}

void clear_statement_handlers() { std::memset(&tables, 0, sizeof tables); }

void enter_block(int state, FieldHandler field, EndHandler end) {
    reader.reader_state = state;
    reader.field_handler = field;
    reader.end_handler = end;
}

int read_text(char* text, int length) {
    Reader& r = reader;
    if (r.include_depth >= max_include_depth) {
        reader_report_error();
        if (settings.use_err)
            console_message("\r\n  included too deeply: %d script files are already open inside one another",
                            r.include_depth);
        return -1;
    }
    ReaderPosition outer;
    save_reader_position(&outer);
    char kept_text[kept_text_size];
    int kept_length = r.statement_length < kept_text_size - 1 ? r.statement_length : kept_text_size - 1;
    std::memcpy(kept_text, r.statement_text, size_t(kept_length));
    kept_text[kept_length] = 0;

    int result = 0;
    r.include_depth++;
    if (begin_text(text, length) < 0) {
        result = -1;
    } else {
        r.condition_top = 0;
        r.conditions[0] = 0;
        for (;;) {
            refresh_loading_screen();
            error_store.report_armed = 1;
            r.expect_token = true;
            // A script stops being read at the statement after the first counted error.
            if (error_store.error_count > 0) {
                result = -2;
                break;
            }
            if (scan_statement() < 0) break;
            const char* keyword = next_token();
            if (!keyword) continue;
            int after_keyword = r.cursor;
            if (preprocess(keyword)) continue;
            if (r.reader_state <= READER_BLOCK_OPEN) {
                if (handle_definition(keyword, after_keyword) == -2) result = -2;
            } else if (handle_field(keyword) == -2) {
                result = -2;
                break;
            }
        }
    }
    r.include_depth--;
    restore_reader_position(&outer);
    // The tokens pointed into the text just read, which its owner may free now.
    r.token_count = r.cursor = 0;
    if (r.include_depth > 0) {
        // Back in the including text: its statement has been handled up to this reading,
        // and its reports show it again.
        std::memcpy(r.statement_text, kept_text, size_t(kept_length) + 1);
        r.statement_length = kept_length;
    }
    error_context.script_line = r.line_number;
    return result;
}

// ---- Files ------------------------------------------------------------------------------

static void set_file_name(const char* name) {
    std::snprintf(reader.file_name, sizeof reader.file_name, "%s", name ? name : "");
    error_context.script_file = reader.file_name;
}

// A file that cannot be read: an error report that names it. Inside another text the
// report points at the including statement; otherwise at the file itself.
static void report_unreadable(const char* name) {
    console_message("\r\ndravo: cannot read the script file \"%s\"", name ? name : "");
    if (reader.include_depth > 0) {
        reader_report_error();
        return;
    }
    const char* file = error_context.script_file;
    int line = error_context.script_line;
    const char* statement = error_context.script_statement;
    char saved_name[sizeof reader.file_name];
    std::memcpy(saved_name, reader.file_name, sizeof saved_name);
    set_file_name(name);
    error_context.script_line = 0;
    error_context.script_statement = "(the file cannot be read)";
    report_error("read_file");
    std::memcpy(reader.file_name, saved_name, sizeof saved_name);
    error_context.script_file = file;
    error_context.script_line = line;
    error_context.script_statement = statement;
}

int read_file(const char* name) {
    if (reader.include_depth >= max_include_depth) return read_text(nullptr, 0);  // reports the depth
    int size = 0;
    char* text = load_script_file(name, &size);
    if (!text) {
        report_unreadable(name);
        return -1;
    }
    char saved_name[sizeof reader.file_name];
    std::memcpy(saved_name, reader.file_name, sizeof saved_name);
    const char* saved_file = error_context.script_file;
    set_file_name(name);
    int result = read_text(text, size);
    std::memcpy(reader.file_name, saved_name, sizeof saved_name);
    error_context.script_file = saved_file;
    free_script_file(text);
    return result;
}

// Copies of the define list around the map-name reading (reader_defines.cpp).
void* set_defines_aside();
void bring_defines_back(void* saved);

int read_mapfile_name(const char* wdl_name, char* map_name) {
    Reader& r = reader;
    int size = 0;
    char* text = load_script_file(wdl_name, &size);
    if (!text) {
        report_unreadable(wdl_name);
        return -1;
    }
    char saved_name[sizeof reader.file_name];
    std::memcpy(saved_name, reader.file_name, sizeof saved_name);
    const char* saved_file = error_context.script_file;
    set_file_name(wdl_name);
    void* saved_defines = set_defines_aside();
    ReaderPosition outer;
    save_reader_position(&outer);

    int result = 0;
    if (begin_text(text, size) == 0) {
        r.condition_top = 0;
        r.conditions[0] = 0;
        r.braces_inert = true;  // no handler opens blocks here: braces only end statements
        while (result == 0 && scan_statement() == 0) {
            error_store.report_armed = 1;
            r.expect_token = true;
            const char* keyword = next_token();
            if (!keyword || preprocess(keyword)) continue;
            if (!same_word(keyword, "MAPFILE")) continue;
            const char* name = nullptr;
            if (require_token(&name) < 0) {
                result = 255;
            } else if (std::strlen(name) > 12) {
                reader_report_error();  // a map name is at most 12 characters
                result = 255;
            } else {
                if (map_name) std::snprintf(map_name, 13, "%s", name);
                result = 1;
            }
        }
        r.braces_inert = false;
        r.reader_state = READER_TOP_LEVEL;
    }
    restore_reader_position(&outer);
    bring_defines_back(saved_defines);
    std::memcpy(reader.file_name, saved_name, sizeof saved_name);
    error_context.script_file = saved_file;
    free_script_file(text);
    return result;
}
