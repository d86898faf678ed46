// The error store: the first eight reports, the last one, and the counts; the listing, the
// check that ends a start-up stage, the division-by-zero warning and the fatal stop.
#include "engine/errors.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/memory.h"
#include "engine/settings.h"

ErrorContext error_context;
ErrorStore error_store = {{}, {}, 0, 0, 1, -1, 0, 0, 0, {}, 0};

static const char* const box_title = "MIRDAL Vessa";

// Copies text into a fixed field, cut to fit, always terminated.
static void copy_field(char* field, int size, const char* text) {
    std::snprintf(field, size_t(size), "%s", text ? text : "");
}

// The statement text as a report keeps it: from its first visible character, tabs shown as
// spaces, ending at the first NUL, LF or CR.
static void copy_line_text(char* field, int size, const char* text) {
    int n = 0;
    if (text) {
        while (*text == ' ' || *text == '\t') text++;
        for (; *text && *text != '\n' && *text != '\r' && n < size - 1; text++)
            field[n++] = *text == '\t' ? ' ' : *text;
    }
    field[n] = 0;
}

static const char* skip_blank_lines(const char* text) {
    while (text && (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r')) text++;
    return text ? text : "";
}

void report_error(const char* where) {
    ErrorStore& s = error_store;
    const ErrorContext& c = error_context;
    if (settings.use_err && c.script_line != s.last_reported_line) {
        char text[80];
        copy_line_text(text, sizeof text, skip_blank_lines(c.script_statement));
        console_message("\r\nWDL error near line %d: %s", c.script_line, text);
        s.last_reported_line = c.script_line;
    }
    if (s.report_armed == 0) {
        s.report_armed = 1;
        return;
    }
    ErrorReport& r = s.stored_count < 8 ? s.first_reports[s.stored_count] : s.last_report;
    std::memset(&r, 0, sizeof r);
    r.raised_at = where;
    ActionReportInfo info = {};
    if (c.running_action && c.running_action(&info)) {
        copy_field(r.action_name, sizeof r.action_name, info.name && *info.name ? info.name : "(unnamed)");
        r.instruction = info.instruction;
        r.opcode = info.instruction > 0 ? info.opcode : 0;
    } else if (c.script_file) {
        copy_field(r.file_name, sizeof r.file_name, c.script_file);
        r.line = c.script_line;
        copy_line_text(r.line_text, sizeof r.line_text, c.script_statement);
    }
    s.stored_count++;
    s.error_count++;
}

// Appends printf-style text to a buffer that stays terminated and never overflows.
struct Appender {
    char* buf;
    int size;
    int len;
    void add(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        if (len >= size - 1) return;
        va_list args;
        va_start(args, format);
        int n = std::vsnprintf(buf + len, size_t(size - len), format, args);
        va_end(args);
        if (n > 0) len = len + n < size - 1 ? len + n : size - 1;
    }
};

static void format_record(Appender& out, int number, const ErrorReport& r) {
    if (r.action_name[0] && r.instruction < 1)
        out.add("\n  #%d in action %s", number, r.action_name);
    else if (r.action_name[0])
        out.add("\n  #%d in action %s, instruction %d (opcode 0x%02X)", number, r.action_name, r.instruction,
                unsigned(r.opcode));
    else if (r.file_name[0])
        out.add("\n  #%d %s line %d: %s", number, r.file_name, r.line, r.line_text);
    else
        out.add("\n  #%d outside any script action", number);
    out.add("\n      (raised in %s)", r.raised_at ? r.raised_at : "(unknown)");
}

int format_error_reports(char* buffer, int size) {
    if (size <= 0) return 0;
    Appender out = {buffer, size, 0};
    buffer[0] = 0;
    const ErrorStore& s = error_store;
    if (s.stored_count == 0) return 0;
    out.add("\n Error reports, oldest first:");
    int first = s.stored_count < 8 ? s.stored_count : 8;
    for (int i = 0; i < first; i++) format_record(out, i + 1, s.first_reports[i]);
    if (s.stored_count > 8) {
        if (s.stored_count != 9) out.add("\n  ... %d more, then the last:", s.stored_count - 9);
        format_record(out, s.stored_count, s.last_report);
    }
    return out.len;
}

void print_error_reports() {
    char text[4096];
    int n = format_error_reports(text, sizeof text);
    if (n > 0) console_text(text);
}

static bool show_box(const char* text) {
    return error_context.message_box && error_context.message_box(box_title, text);
}

int check_errors_and_stop(const char* message) {
    ErrorStore& s = error_store;
    if (s.error_count == 0) return 0;
    char listing[4096];
    format_error_reports(listing, sizeof listing);
    console_message("%s", message);
    console_text(listing);
    long long free_bytes = free_memory_bytes();
    if (free_bytes < 0x80000) console_message("\n - out of memory or disk space!");
    console_message("\n%d Errors - %d KB free - engine shutdown", s.error_count, int(free_bytes / 1024));
    s.listed_count = s.error_count;
    if (!s.box_shown && !s.box_suppressed) {
        s.box_shown = 1;
        char box[4096];
        Appender out = {box, sizeof box, 0};
        box[0] = 0;
        const char* m = message;
        while (*m == '\n' || *m == '\r') m++;
        out.add("%s\n%s", m, listing);
        out.add("\n\n%d error%s - the engine has stopped.", s.error_count, s.error_count == 1 ? "" : "s");
        show_box(box);
    }
    if (error_context.release_everything) error_context.release_everything();
    return 1;
}

void warn_division_by_zero(const char* function) {
    ErrorStore& s = error_store;
    ActionReportInfo info = {};
    bool in_action = error_context.running_action && error_context.running_action(&info);
    const void* action = in_action ? info.action : nullptr;
    bool known = false;
    for (int i = 0; i < s.div_zero_count; i++)
        if (s.div_zero_log[i] == action) known = true;
    if (known) return;
    if (s.div_zero_count < 32) s.div_zero_log[s.div_zero_count++] = action;
    const char* what = in_action ? "action " : "an expression outside any action";
    const char* name = in_action && info.name ? info.name : "";
    if (function)
        console_message("\nWDL: %s of a negative number in %s%s -- the result is 0, where the original would "
                        "have stopped", function, what, name);
    else
        console_message("\nWDL: division by zero in %s%s -- the result is 0, where the original would have crashed",
                        what, name);
}

void forget_division_warnings() { error_store.div_zero_count = 0; }

void reset_error_store() { error_store.stored_count = 0; }

void clear_errors() {
    error_store.stored_count = 0;
    error_store.error_count = 0;
    error_store.listed_count = 0;
    error_store.last_reported_line = -1;
}

void fatal_stop(const char* message) {
    std::fprintf(stderr, "dravo: fatal: %s\n", message);
    show_box(message);
    std::exit(1);
}
