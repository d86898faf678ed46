// Key names and the SDL scancode pairs. Several names share a code; lookups by name take the
// first row, so the table order is part of the behaviour.
#include "platform/key_names.h"

#include <SDL3/SDL_scancode.h>
#include <strings.h>

const KeyName key_names[] = {
    {"BKSP", 14},   {"ENTER", 28},  {"ESC", 1},     {"ALT", 56},    {"CTRL", 29},   {"SPACE", 57},
    {"TAB", 15},    {"F1", 59},     {"F2", 60},     {"F3", 61},     {"F4", 62},     {"F5", 63},
    {"F6", 64},     {"F7", 65},     {"F8", 66},     {"F9", 67},     {"F10", 68},    {"F11", 87},
    {"F12", 88},    {"A", 30},      {"B", 48},      {"C", 46},      {"D", 32},      {"E", 18},
    {"F", 33},      {"G", 34},      {"H", 35},      {"I", 23},      {"J", 36},      {"K", 37},
    {"L", 38},      {"M", 50},      {"N", 49},      {"O", 24},      {"P", 25},      {"Q", 16},
    {"R", 19},      {"S", 31},      {"T", 20},      {"U", 22},      {"V", 47},      {"W", 17},
    {"X", 45},      {"Y", 21},      {"Z", 44},      {"CUU", 72},    {"CUD", 80},    {"CUR", 77},
    {"CUL", 75},    {"PGUP", 73},   {"PGDN", 81},   {"HOME", 71},   {"END", 79},    {"INS", 82},
    {"DEL", 83},    {"CAR", 52},    {"CAL", 51},    {"SZ", 12},     {"APO", 13},    {"UE", 26},
    {"PLUS", 27},   {"MINUS", 53},  {"EQUALS", 13}, {"PERIOD", 52}, {"COMMA", 51},  {"BRACKL", 26},
    {"BRACKR", 27}, {"SEMIC", 39},  {"BKSL", 43},   {"SLASH", 53},  {"1", 2},       {"2", 3},
    {"3", 4},       {"4", 5},       {"5", 6},       {"6", 7},       {"7", 8},       {"8", 9},
    {"9", 10},      {"0", 11},      {"PAUSE", 69},
};
const int key_name_count = int(sizeof key_names / sizeof key_names[0]);

int key_code_of_name(const char* name) {
    if (!name) return -1;
    for (const KeyName& k : key_names)
        if (strcasecmp(k.name, name) == 0) return k.code;
    return -1;
}

const char* key_name_of_code(int code) {
    if (code == 0) return "None";
    for (const KeyName& k : key_names)
        if (k.code == code) return k.name;
    return nullptr;
}

static const char* const mouse_names[] = {"MOUSE_LEFT", "MOUSE_RIGHT", "MOUSE_MIDDLE"};

int mouse_code_of_name(const char* name) {
    if (!name) return -1;
    for (int i = 0; i < 3; i++)
        if (strcasecmp(mouse_names[i], name) == 0) return MOUSE_LEFT + i;
    return -1;
}

const char* mouse_name_of_code(int code) {
    return code >= MOUSE_LEFT && code <= MOUSE_MIDDLE ? mouse_names[code - MOUSE_LEFT] : nullptr;
}

const ScancodePair scancode_pairs[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2}, {SDL_SCANCODE_2, 3}, {SDL_SCANCODE_3, 4}, {SDL_SCANCODE_4, 5}, {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7}, {SDL_SCANCODE_7, 8}, {SDL_SCANCODE_8, 9}, {SDL_SCANCODE_9, 10}, {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12}, {SDL_SCANCODE_EQUALS, 13}, {SDL_SCANCODE_BACKSPACE, 14}, {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16}, {SDL_SCANCODE_W, 17}, {SDL_SCANCODE_E, 18}, {SDL_SCANCODE_R, 19}, {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21}, {SDL_SCANCODE_U, 22}, {SDL_SCANCODE_I, 23}, {SDL_SCANCODE_O, 24}, {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26}, {SDL_SCANCODE_RIGHTBRACKET, 27}, {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29}, {SDL_SCANCODE_RCTRL, 29},
    {SDL_SCANCODE_A, 30}, {SDL_SCANCODE_S, 31}, {SDL_SCANCODE_D, 32}, {SDL_SCANCODE_F, 33}, {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35}, {SDL_SCANCODE_J, 36}, {SDL_SCANCODE_K, 37}, {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39}, {SDL_SCANCODE_APOSTROPHE, 40}, {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42}, {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_Z, 44}, {SDL_SCANCODE_X, 45}, {SDL_SCANCODE_C, 46}, {SDL_SCANCODE_V, 47}, {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49}, {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51}, {SDL_SCANCODE_PERIOD, 52}, {SDL_SCANCODE_SLASH, 53}, {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55}, {SDL_SCANCODE_LALT, 56}, {SDL_SCANCODE_RALT, 56},
    {SDL_SCANCODE_SPACE, 57}, {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59}, {SDL_SCANCODE_F2, 60}, {SDL_SCANCODE_F3, 61}, {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63}, {SDL_SCANCODE_F6, 64}, {SDL_SCANCODE_F7, 65}, {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67}, {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_KP_7, 71}, {SDL_SCANCODE_HOME, 71}, {SDL_SCANCODE_KP_8, 72}, {SDL_SCANCODE_UP, 72},
    {SDL_SCANCODE_KP_9, 73}, {SDL_SCANCODE_PAGEUP, 73}, {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75}, {SDL_SCANCODE_LEFT, 75}, {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77}, {SDL_SCANCODE_RIGHT, 77}, {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79}, {SDL_SCANCODE_END, 79}, {SDL_SCANCODE_KP_2, 80}, {SDL_SCANCODE_DOWN, 80},
    {SDL_SCANCODE_KP_3, 81}, {SDL_SCANCODE_PAGEDOWN, 81},
    {SDL_SCANCODE_KP_0, 82}, {SDL_SCANCODE_INSERT, 82}, {SDL_SCANCODE_KP_PERIOD, 83}, {SDL_SCANCODE_DELETE, 83},
    {SDL_SCANCODE_F11, 87}, {SDL_SCANCODE_F12, 88},
};
const int scancode_pair_count = int(sizeof scancode_pairs / sizeof scancode_pairs[0]);
