// The input-state cells and the names that stand for them.
#include "script/front/input_cells.h"

#include "platform/key_names.h"

InputCells input_cells;
int (*input_key_code)(const char* key_name) = key_code_of_name;

static bool same_text(const char* a, const char* b) {
    for (;; a++, b++) {
        char x = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
        char y = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
        if (x != y) return false;
        if (!x) return true;
    }
}

static bool has_key_prefix(const char* name) {
    static const char prefix[] = "KEY_";
    for (int i = 0; i < 4; i++) {
        char c = name[i] >= 'a' && name[i] <= 'z' ? char(name[i] - 32) : name[i];
        if (c != prefix[i]) return false;
    }
    return true;
}

int32_t* find_input_cell(const char* name) {
    if (!name) return nullptr;
    if (same_text(name, "MOUSE_LEFT")) return &input_cells.mouse_left;
    if (same_text(name, "MOUSE_MIDDLE")) return &input_cells.mouse_middle;
    if (same_text(name, "MOUSE_RIGHT")) return &input_cells.mouse_right;
    if (same_text(name, "KEY_JOY4")) return &input_cells.key_joy4;
    if (same_text(name, "KEY_ANY")) return &input_cells.key_any;
    if (!has_key_prefix(name) || !input_key_code) return nullptr;
    int code = input_key_code(name + 4);
    if (code < 0 || code >= 256) return nullptr;
    return &input_cells.key[code];
}
