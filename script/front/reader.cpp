// The scanner of the script reader: character classes, statements and tokens read in place,
// comments, strings with escapes, labels in action bodies and the braces of blocks; the
// token cursor and the number readers.
#include "script/front/reader.h"

#include <cstring>
#include <initializer_list>

#include "engine/errors.h"

Reader reader;
ActionBodyHooks action_body_hooks;

namespace {

enum CharClass : uint8_t { CLASS_WORD = 0, CLASS_BLANK = 1, CLASS_DELIMITER = 2 };

// What each character is, and how it is written into the statement text.
uint8_t char_class[256];
char class_char[256];
bool classes_built = false;

void build_classes() {
    for (int c = 0; c < 256; c++) {
        char_class[c] = CLASS_WORD;
        class_char[c] = char(c);
    }
    // NUL cannot be part of a word (words are terminated in place): it separates like a blank.
    for (unsigned char c : {0x00, 0x20, 0x0A, 0x09, 0x0D, 0x08, 0x0C}) char_class[c] = CLASS_BLANK;
    class_char[0x00] = ' ';
    class_char[0x08] = ' ';
    class_char[0x0C] = ' ';
    for (unsigned char c : {':', '<', '>', ',', ';', '/', '{', '}', '#', '"'}) char_class[c] = CLASS_DELIMITER;
    class_char[unsigned('/')] = ' ';
    class_char[unsigned('#')] = ' ';
    classes_built = true;
}

const char open_file_text[] = "<";
const char close_file_text[] = ">";
const char slash_text[] = "/";

inline uint8_t class_of(const char* p) { return char_class[uint8_t(*p)]; }

bool condition_active() { return reader.conditions[reader.condition_top] == 0; }

// Appends text to the statement text, cut at 7999 characters.
inline void record(const char* from, long count) {
    Reader& r = reader;
    long room = statement_text_size - 1 - r.statement_length;
    if (count > room) count = room;
    if (count <= 0) return;
    for (long i = 0; i < count; i++) r.statement_text[r.statement_length + i] = class_char[uint8_t(from[i])];
    r.statement_length += int(count);
}
inline void record_char(char c) {
    Reader& r = reader;
    if (r.statement_length < statement_text_size - 1) r.statement_text[r.statement_length++] = class_char[uint8_t(c)];
}

// A line break was passed since the last token of the statement.
bool break_pending = false;

// Adds a token; tokens past the limit are dropped (their text is still ended in place).
inline Token* add_token(const char* text, int kind) {
    Reader& r = reader;
    if (break_pending && r.token_count > 0) r.spans_lines = true;
    break_pending = false;
    if (r.token_count >= max_statement_tokens) return nullptr;
    Token* t = &r.tokens[r.token_count++];
    t->text = text;
    t->length = 0;
    t->kind = uint8_t(kind);
    t->before_colon = 0;
    return t;
}

void sync_context() {
    reader.statement_text[reader.statement_length] = 0;
    error_context.script_line = reader.line_number;
    error_context.script_statement = reader.statement_text;
}

void clear_handlers() {
    reader.field_handler = nullptr;
    reader.end_handler = nullptr;
}

}  // namespace

void reader_report_error(const char* where) {
    sync_context();
    report_error(where);
}

void reset_reader() {
    if (!classes_built) build_classes();
    Reader& r = reader;
    r.read_pos = r.read_end = nullptr;
    r.line_number = 1;
    r.statement_number = 0;
    r.token_count = r.cursor = 0;
    r.token_kind = TOKEN_WORD;
    r.opens_block = r.is_label = false;
    r.statement_text[0] = 0;
    r.statement_length = 0;
    r.reader_state = READER_TOP_LEVEL;
    clear_handlers();
    r.expect_token = false;
    r.raw_tokens = false;
    std::memset(r.conditions, 0, sizeof r.conditions);
    r.condition_top = 0;
    r.braces_inert = false;
    error_context.script_statement = r.statement_text;
}

int begin_text(char* text, int length) {
    if (!classes_built) build_classes();
    Reader& r = reader;
    if (!text || length <= 0) return -1;
    text[length] = 0;  // the spare byte: a word that runs to the end is ended there
    r.read_pos = text;
    r.read_end = text + length;
    r.line_number = 1;
    r.reader_state = READER_TOP_LEVEL;
    clear_handlers();
    r.token_count = r.cursor = 0;
    r.statement_length = 0;
    r.statement_text[0] = 0;
    error_store.report_armed = 1;
    sync_context();
    return 0;
}

// The "{" that ends a statement.
static void open_brace() {
    Reader& r = reader;
    r.opens_block = true;
    if (r.braces_inert || !condition_active()) return;
    if (r.reader_state == READER_ACTION_BODY) {
        if (action_body_hooks.open_block) action_body_hooks.open_block();
        return;
    }
    if (r.reader_state != READER_TOP_LEVEL) {
        reader_report_error();  // a "{" inside a definition
        clear_handlers();
    }
    r.reader_state = READER_BLOCK_OPEN;
}

// The "}" that ends a statement (with no tokens).
static void close_brace() {
    Reader& r = reader;
    if (r.token_count > 0 && !r.braces_inert) reader_report_error();  // a missing ";" before "}"
    r.token_count = 0;
    if (r.braces_inert || !condition_active()) return;
    bool closes = true;
    if (r.reader_state == READER_ACTION_BODY && action_body_hooks.close_block)
        closes = action_body_hooks.close_block() == 0;
    if (!closes) return;
    EndHandler end = r.end_handler;
    // The end handler may read other texts (a database's data file); the statement is over.
    if (end) end();
    clear_handlers();
    r.reader_state = READER_TOP_LEVEL;
}

int scan_statement() {
    Reader& r = reader;
    r.token_count = 0;
    r.cursor = 0;
    r.token_kind = TOKEN_WORD;
    r.opens_block = false;
    r.is_label = false;
    r.spans_lines = false;
    break_pending = false;
    r.statement_length = 0;
    r.statement_text[0] = 0;
    r.statement_number++;

    char* p = r.read_pos;
    char* const e = r.read_end;
    if (!p || p >= e) {
        r.read_pos = e;
        sync_context();
        return -1;
    }
    Token* word = nullptr;   // the word being built, when it is stored
    bool in_word = false;
    char* word_start = nullptr;

    auto end_word = [&](char* at) {
        if (!in_word) return;
        *at = 0;
        if (word) word->length = int32_t(at - word_start);
        in_word = false;
        word = nullptr;
    };

    for (;;) {
        if (p >= e) {
            end_word(e);
            r.read_pos = e;
            sync_context();
            return -1;
        }
        uint8_t cls = class_of(p);
        if (cls == CLASS_WORD) {
            if (!in_word) {
                in_word = true;
                word_start = p;
                word = add_token(p, TOKEN_WORD);
            }
            char* s = p;
            while (p < e && class_of(p) == CLASS_WORD) p++;
            record(s, p - s);
            continue;
        }
        if (cls == CLASS_BLANK) {
            // The first blank is read before the word is ended over it.
            char first = *p;
            end_word(p);
            int lines = first == '\n';
            if (r.statement_length > 0) record_char(first);
            char* s = ++p;
            while (p < e && class_of(p) == CLASS_BLANK) {
                if (*p == '\n') lines++;
                p++;
            }
            r.line_number += lines;
            if (lines) break_pending = true;
            if (r.statement_length > 0) record(s, p - s);
            continue;
        }
        // A delimiter. Read it before the word is ended over it.
        char c = *p;
        switch (c) {
        case ':':
            if (r.reader_state == READER_ACTION_BODY && !r.braces_inert && r.token_count == 1) {
                end_word(p);
                r.tokens[0].before_colon = 1;
                r.is_label = true;
                r.read_pos = p + 1;
                sync_context();
                return 0;
            }
            // Otherwise the colon belongs to the word (and starts one when none is open).
            if (!in_word) {
                in_word = true;
                word_start = p;
                word = add_token(p, TOKEN_WORD);
            }
            record_char(c);
            p++;
            continue;
        case '#':
            end_word(p);
            if (r.statement_length > 0) record_char(c);
            while (p < e && *p != '\n') p++;  // the LF is counted as a blank
            continue;
        case '/':
            end_word(p);
            if (p + 1 < e && p[1] == '/') {
                if (r.statement_length > 0) record_char(c);
                while (p < e && *p != '\n') p++;
                continue;
            }
            if (p + 1 < e && p[1] == '*') {
                if (r.statement_length > 0) record_char(c);
                p += 2;
                for (;;) {
                    if (p >= e) break;  // an unterminated comment runs to the end of the text
                    if (*p == '\n') {
                        r.line_number++;
                        break_pending = true;
                    }
                    if (*p == '*' && p + 1 < e && p[1] == '/') {
                        p += 2;
                        break;
                    }
                    p++;
                }
                continue;
            }
            record_char(c);
            if (Token* t = add_token(slash_text, TOKEN_WORD)) t->length = 1;
            p++;
            continue;
        case '"': {
            end_word(p);
            record_char(c);
            char* start = p + 1;
            Token* t = add_token(start, TOKEN_STRING);
            char* w = start;
            char* q = start;
            while (q < e) {
                char ch = *q;
                if (ch == '"') break;
                if (ch == '\\') {
                    if (q + 1 >= e) {  // a backslash at the end of the text
                        record_char(ch);
                        q = e;
                        break;
                    }
                    char next = q[1];
                    record_char(ch);
                    record_char(next);
                    if (next == '\n') r.line_number++;
                    *w++ = next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next;
                    q += 2;
                    continue;
                }
                if (ch == '\n') r.line_number++;
                record_char(ch);
                *w++ = ch;
                q++;
            }
            if (q < e) record_char('"');
            *w = 0;
            if (t) t->length = int32_t(w - start);
            p = q < e ? q + 1 : e;
            continue;
        }
        case ',':
            end_word(p);
            record_char(c);
            p++;
            continue;
        case '<':
        case '>':
            end_word(p);
            record_char(c);
            if (Token* t = add_token(c == '<' ? open_file_text : close_file_text,
                                     c == '<' ? TOKEN_OPEN_FILE : TOKEN_CLOSE_FILE))
                t->length = 1;
            p++;
            continue;
        case ';':
            end_word(p);
            r.read_pos = p + 1;
            sync_context();
            return 0;
        case '{':
            end_word(p);
            r.read_pos = p + 1;
            sync_context();
            open_brace();
            return 0;
        case '}':
            end_word(p);
            r.read_pos = p + 1;
            sync_context();
            close_brace();
            // An end handler may have scanned another text: the statement holds nothing now.
            r.token_count = 0;
            r.cursor = 0;
            sync_context();
            return 0;
        default:
            p++;
            continue;
        }
    }
}

// ---- Token cursor -----------------------------------------------------------------------

const char* substitute_define(const Token& t, int* kind);  // reader_defines.cpp

static const char* take_token(bool advance) {
    Reader& r = reader;
    int i = r.cursor;
    while (i < r.token_count) {
        const Token& t = r.tokens[i++];
        if (t.kind == TOKEN_OPEN_FILE || t.kind == TOKEN_CLOSE_FILE) continue;
        const char* text = t.text;
        int kind = t.kind;
        if (t.kind != TOKEN_STRING && !r.raw_tokens && t.length > 0) text = substitute_define(t, &kind);
        if (advance) {
            r.cursor = i;
            r.token_kind = kind;
        }
        return text;
    }
    if (advance) r.cursor = i;
    return nullptr;
}

const char* next_token() { return take_token(true); }
const char* peek_token() { return take_token(false); }

int require_token(const char** token) {
    const char* t = next_token();
    if (token) *token = t;
    if (t) return 0;
    if (reader.expect_token) reader_report_error();
    return -1;
}

int tokens_left() { return reader.token_count - reader.cursor; }

bool token_is_string() { return reader.token_kind == TOKEN_STRING; }

bool token_before_colon() {
    const Reader& r = reader;
    return r.cursor > 0 && r.cursor <= r.token_count && r.tokens[r.cursor - 1].before_colon;
}

int join_remaining_tokens(char* out, int size) {
    Reader& r = reader;
    int n = 0;
    if (!out || size <= 0) return 0;
    while (r.cursor < r.token_count) {
        const Token& t = r.tokens[r.cursor++];
        const char* text = t.text;
        int kind = t.kind;
        if (t.kind == TOKEN_WORD && !r.raw_tokens && t.length > 0) text = substitute_define(t, &kind);
        r.token_kind = kind;
        for (; *text && n < size - 1; text++) out[n++] = *text;
    }
    out[n] = 0;
    return n;
}

// ---- Numbers ----------------------------------------------------------------------------

// A valid number: optional spaces, an optional sign, digits, optionally "." and digits.
static bool parse_number(const char* s, bool allow_point, int32_t* value) {
    while (*s == ' ' || *s == '\t') s++;
    bool negative = false;
    if (*s == '+' || *s == '-') negative = *s++ == '-';
    if (*s < '0' || *s > '9') return false;
    int64_t whole = 0;
    for (; *s >= '0' && *s <= '9'; s++)
        if (whole < (int64_t(1) << 40)) whole = whole * 10 + (*s - '0');
    int64_t frac = 0, scale = 1;
    if (*s == '.') {
        if (!allow_point) return false;
        s++;
        if (*s < '0' || *s > '9') return false;
        for (; *s >= '0' && *s <= '9'; s++)
            if (scale < 1000000000) {
                frac = frac * 10 + (*s - '0');
                scale *= 10;
            }
    }
    if (*s) return false;
    int64_t v = whole * 1024 + frac * 1024 / scale;  // truncated toward zero
    if (v > INT32_MAX) v = INT32_MAX;
    if (negative) v = -v;
    if (v < INT32_MIN) v = INT32_MIN;
    *value = int32_t(v);
    return true;
}

static int read_value(int32_t* value, int32_t* integer, bool allow_point) {
    const char* t = nullptr;
    int32_t v = 0;
    int result = 0;
    if (require_token(&t) < 0) {
        result = -1;
    } else if (!parse_number(t, allow_point, &v)) {
        reader_report_error();
        v = 0;
        result = -1;
    }
    if (value) *value = v;
    if (integer) *integer = v >> 10;
    return result;
}

int read_number(int32_t* value, int32_t* integer) { return read_value(value, integer, true); }
int read_integer(int32_t* value, int32_t* integer) { return read_value(value, integer, false); }

// ---- Positions --------------------------------------------------------------------------

void save_reader_position(ReaderPosition* saved) {
    saved->read_pos = reader.read_pos;
    saved->read_end = reader.read_end;
    saved->line_number = reader.line_number;
    saved->condition_top = reader.condition_top;
    std::memcpy(saved->conditions, reader.conditions, sizeof saved->conditions);
}

void restore_reader_position(const ReaderPosition* saved) {
    reader.read_pos = saved->read_pos;
    reader.read_end = saved->read_end;
    reader.line_number = saved->line_number;
    reader.condition_top = saved->condition_top;
    std::memcpy(reader.conditions, saved->conditions, sizeof reader.conditions);
    error_context.script_line = reader.line_number;
}
