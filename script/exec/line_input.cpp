// Line input for INKEY: one string at a time is edited from the keyboard queue while its
// action waits in the queue of pending runs. Return ends the input, escape and the cursor
// keys up and down end it and bring the old text back.
#include <cstdlib>
#include <cstring>

#include "script/exec/exec_ops.h"
#include "script/exec/interpreter_internal.h"
#include "script/front/engine_vars.h"

namespace {

constexpr int32_t saved_text_max = 7999;

struct LineInput {
    bool active;
    ScriptString* string;
    char* saved;        // the text before the input, for a cancel (null when too long)
    int32_t cursor;     // -1: fresh input
    int32_t lines;
    bool editing;
    bool changed;
};
LineInput line;

void restore_saved(ScriptString* s) {
    if (line.saved && s->text && s->capacity > 0) {
        std::strncpy(s->text, line.saved, size_t(s->capacity) - 1);
        s->text[s->capacity - 1] = 0;
    }
}

int32_t length_of(const ScriptString* s) { return int32_t(std::strlen(s->text)); }

// The last position the cursor may take: capacity - 3, never below 0.
int32_t cursor_limit(const ScriptString* s) { return s->capacity - 3 > 0 ? s->capacity - 3 : 0; }
// The longest text the editor makes: capacity - 2 characters.
int32_t text_limit(const ScriptString* s) { return s->capacity - 2 > 0 ? s->capacity - 2 : 0; }

// Spaces up to the cursor, so that the cursor never stands beyond the end of the text.
void pad_to_cursor(ScriptString* s) {
    int32_t n = length_of(s);
    while (n < line.cursor && n < text_limit(s)) s->text[n++] = ' ';
    s->text[n] = 0;
}

void delete_at_cursor(ScriptString* s) {
    int32_t n = length_of(s);
    if (line.cursor < s->capacity - 3) {
        if (line.cursor < n) std::memmove(s->text + line.cursor, s->text + line.cursor + 1, size_t(n - line.cursor));
    } else if (line.cursor < n) {
        s->text[line.cursor] = ' ';
    }
}

void insert_at_cursor(ScriptString* s, char c) {
    int32_t limit = text_limit(s);
    if (line.cursor >= limit) return;  // no room (a string of capacity below 3)
    pad_to_cursor(s);
    int32_t n = length_of(s);
    int32_t end = n < limit ? n : limit - 1;  // the last character may be lost
    for (int32_t i = end; i > line.cursor; i--) s->text[i] = s->text[i - 1];
    s->text[line.cursor] = c;
    int32_t new_length = n + 1 < limit ? n + 1 : limit;
    s->text[new_length] = 0;
    line.cursor = line.cursor + 1 < cursor_limit(s) ? line.cursor + 1 : cursor_limit(s);
}

void finish(ScriptString* s) {
    var_set(SLOT_STR_LEN, length_of(s) * 1024);
    line.cursor = -1;
    end_line_input();
}

}  // namespace

bool line_input_active() { return line.active; }

bool start_line_input(ScriptString* string) {
    std::free(line.saved);
    line = LineInput{};
    line.active = true;
    line.string = string;
    line.cursor = -1;
    if (string->text && string->capacity <= saved_text_max) {
        line.saved = static_cast<char*>(std::malloc(size_t(string->capacity) + 1));
        if (line.saved) std::strcpy(line.saved, string->text);
    }
    if (exec_ops.start_text_input) exec_ops.start_text_input();
    return true;
}

bool feed_line_input(ScriptString* s) {
    if (!s || !s->text || s->capacity <= 0) {
        end_line_input();
        return true;
    }
    line.editing = true;
    if (line.cursor < 0) line.cursor = 0;
    if (line.cursor > cursor_limit(s)) line.cursor = cursor_limit(s);
    while (exec_ops.next_key) {
        int key = exec_ops.next_key();
        if (key < 0) break;
        line.changed = true;
        if ((key & 0xFF) == 0) {
            int scan = (key >> 8) & 0xFF;
            switch (scan) {
            case 72: case 73: case 80: case 81:
                var_set(SLOT_RESULT, scan * 1024);
                restore_saved(s);
                finish(s);
                return true;
            case 75:
                line.cursor = line.cursor > 0 ? line.cursor - 1 : 0;
                break;
            case 77:
                line.cursor = line.cursor + 1 < cursor_limit(s) ? line.cursor + 1 : cursor_limit(s);
                pad_to_cursor(s);
                break;
            case 83:
                delete_at_cursor(s);
                break;
            default:
                break;
            }
            continue;
        }
        char c = char(key & 0xFF);
        switch (c) {
        case 8:
            if (line.cursor >= 1) {
                line.cursor--;
                delete_at_cursor(s);
            }
            break;
        case 13: {
            var_set(SLOT_RESULT, 0);
            line.lines = 1;
            int32_t n = length_of(s);
            while (n > 0 && s->text[n - 1] == ' ') s->text[--n] = 0;
            for (const char* p = s->text; *p; p++)
                if (*p == '\n') line.lines++;
            finish(s);
            return true;
        }
        case 27:
            var_set(SLOT_RESULT, -1024);
            restore_saved(s);
            finish(s);
            return true;
        default:
            insert_at_cursor(s, c);
            break;
        }
    }
    return false;
}

void end_line_input() {
    bool was = line.active;
    std::free(line.saved);
    line = LineInput{};
    if (was && exec_ops.stop_text_input) exec_ops.stop_text_input();
}

void reset_line_input() {
    std::free(line.saved);
    line = LineInput{};
}
