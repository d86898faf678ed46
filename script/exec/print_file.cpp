// The print file: PRINTFILE selects it (name, number and "TXT" by the save-file rule),
// PRINT_STRING and PRINT_VALUE write to it, opening "print0.TXT" when none is open. It is
// how a script reports values, so every write reaches the file at once.
#include "script/exec/print_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "script/exec/compiler_internal.h"
#include "script/exec/interpreter_internal.h"
#include "script/front/engine_vars.h"
#include "world/save_path.h"

namespace {

FILE* print_file;
bool exit_hook;

void close_at_exit() { close_print_file(); }

bool open_print_file(const char* name, int32_t number) {
    close_print_file();
    size_t length = name ? std::strlen(name) : 0;
    if (length == 0 || length > 12) {
        name = "print";
        number = 0;
    }
    char path[4096];
    if (make_save_path(name, number, true, "TXT", path, sizeof path) != 0) return false;
    int32_t append;
    bool appending = !var_get(SLOT_APPEND_MODE, &append) || append != 0;
    print_file = std::fopen(path, appending ? "ab+" : "w");
    if (print_file && !exit_hook) {
        exit_hook = true;
        std::atexit(close_at_exit);
    }
    return print_file != nullptr;
}

bool ensure_open() { return print_file || open_print_file("print", 0); }

void write_text(const char* text) {
    if (!ensure_open()) return;
    std::fputs(text, print_file);
    std::fflush(print_file);
}

}  // namespace

void close_print_file() {
    if (print_file) std::fclose(print_file);
    print_file = nullptr;
}

bool print_file_open() { return print_file != nullptr; }

int64_t handler_printfile(int64_t name, int64_t number, int64_t) {
    open_print_file(string_text(reinterpret_cast<ScriptString*>(intptr_t(name))), int32_t(number));
    return 0;
}

int64_t handler_print_string(int64_t string, int64_t, int64_t) {
    write_text(string_text(reinterpret_cast<ScriptString*>(intptr_t(string))));
    return 0;
}

int64_t handler_print_value(int64_t value, int64_t, int64_t) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", int32_t(value) / 1024.0);
    write_text(text);
    return 0;
}
