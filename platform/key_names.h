// The engine's key codes (PC keyboard scan codes, set 1 make codes, 1..127; 0 = no key) and
// their names, as the KEY_ variables, the configuration file and the key options use them.
#pragma once

enum { MOUSE_LEFT = 128, MOUSE_RIGHT = 129, MOUSE_MIDDLE = 130 };

struct KeyName {
    const char* name;
    int code;
};
extern const KeyName key_names[];
extern const int key_name_count;

int key_code_of_name(const char* name);    // first row that matches, case-free; -1 when none
const char* key_name_of_code(int code);    // "None" for 0; first row with the code; null when none
int mouse_code_of_name(const char* name);  // 128..130, or -1
const char* mouse_name_of_code(int code);  // null outside 128..130

// SDL scancode to key code pairs (95 of them), from which the presenter builds its table.
struct ScancodePair {
    int sdl_scancode;
    int code;
};
extern const ScancodePair scancode_pairs[];
extern const int scancode_pair_count;
