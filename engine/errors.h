// Error reports and the fatal stop. Faults in game data never stop the engine at once: the
// code that finds one calls report_error() and goes on with a safe value; every start-up
// stage ends with check_errors_and_stop(), which lists the reports and stops the engine
// when any exist. Only a failure of the video system stops at once, through fatal_stop().
#pragma once

#include <cstdint>

struct ErrorReport {
    const char* raised_at;  // the engine function that raised the report; null prints "(unknown)"
    int32_t line;           // script line, when a script was being read
    int32_t instruction;    // 1-based position of the current instruction in its action, 0 = not found
    int32_t opcode;         // operation code of that instruction
    char action_name[40];   // running action, "(unnamed)" without name; empty when none ran
    char file_name[32];     // script file being read; empty when none
    char line_text[80];     // current statement from its first non-blank character
};

// What the reporter reads of the running action: the interpreter fills it on request.
struct ActionReportInfo {
    const void* action;     // identity of the running action
    const char* name;       // null or empty for an unnamed action
    int32_t instruction;    // 1-based, 0 when the current instruction was not found
    int32_t opcode;
};

// Context that other subsystems keep current so that a report can say where it happened.
struct ErrorContext {
    const char* script_file = nullptr;       // file being read by the script reader, or null
    int32_t script_line = 0;                 // its current line
    const char* script_statement = nullptr;  // the current statement text
    // Answers true and fills `info` while an action runs (set by the interpreter).
    bool (*running_action)(ActionReportInfo* info) = nullptr;
    // Releases every loaded object and resource (set by the object catalogue).
    void (*release_everything)() = nullptr;
    // Shows a simple message box; false when none can be shown (set by the presenter).
    bool (*message_box)(const char* title, const char* text) = nullptr;
};
extern ErrorContext error_context;

struct ErrorStore {
    ErrorReport first_reports[8];
    ErrorReport last_report;
    int stored_count;        // reports since the last reset; keeps counting past 9
    int error_count;         // total errors of the run (other subsystems test and add to it)
    int report_armed;        // 0: the next report is swallowed and re-arms
    int last_reported_line;  // line of the last "WDL error near line" message
    int box_shown;
    int box_suppressed;
    int listed_count;        // error_count when a check last listed the reports
    const void* div_zero_log[32];  // actions already warned of a division by zero
    int div_zero_count;
};
extern ErrorStore error_store;

// Records one error with the context found at this moment. `where` names the reporting
// place; by default the function that calls it.
void report_error(const char* where = __builtin_FUNCTION());

int format_error_reports(char* buffer, int size);
void print_error_reports();
// 1 when errors exist (after printing, the message box and the release of everything), else 0.
int check_errors_and_stop(const char* message);
[[noreturn]] void fatal_stop(const char* message);
// Called by the expression evaluator when a division by zero yields 0. `function` names
// another operation that was mended the same way (a logarithm of a negative number); null
// means a division.
void warn_division_by_zero(const char* function = nullptr);
// Forgets the actions already warned of (when actions are freed their addresses may return).
void forget_division_warnings();
void reset_error_store();
// Empties the store and the counts entirely (world reset).
void clear_errors();
