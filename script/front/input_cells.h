// Input-state names: KEY_<key name>, MOUSE_LEFT, MOUSE_MIDDLE, MOUSE_RIGHT, KEY_JOY4 and
// KEY_ANY name cells that the input code keeps up to date every frame (1.0 = 1024 while
// held or pressed since the last frame). The action compiler takes them as number operands
// before it asks the catalogue; a KEY_ name whose key is unknown is looked up like any name.
#pragma once

#include <cstdint>

struct InputCells {
    int32_t key[256];       // by key code (scan code of the input code's key table)
    int32_t mouse_left;
    int32_t mouse_middle;
    int32_t mouse_right;
    int32_t key_joy4;
    int32_t key_any;
};
extern InputCells input_cells;

// The key code of a key name (compared without case, without the "KEY_" prefix), or -1
// when the name is no key: the engine's key table, which an input code may replace.
extern int (*input_key_code)(const char* key_name);

// The cell an input-state name stands for, or null when the name is none.
int32_t* find_input_cell(const char* name);
