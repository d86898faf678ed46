// The world-level results of a script: what its top-level statements and one-line
// definitions set outside any catalogue object. The scheduler runs the event slots
// (IF_START, IF_LOAD, the key, mouse and joystick actions, EACH_TICK, EACH_SEC), the 2D
// layer draws the PANELS, MESSAGES and LAYERS lists, the player code reads the flag word, and
// the level build and the renderer read the screen size, the video mode and the settings of
// RAROD, DITHER, CLIP_DIST and LIGHT_ANGLE. The sky texture and the mouse pointer live in
// the cells of the synonyms BACKDROP and MSPRITE (world_refs).
//
// Cleared at every world opening (reset_world_script) and rewritten by the reading.
#pragma once

#include <cstdint>

#include "script/front/records.h"

constexpr int WORLD_LIST_SLOTS = 16;   // EACH_TICK, EACH_SEC, MESSAGES, LAYERS, PANELS
constexpr int WORLD_KEY_SLOTS = 128;   // IF_<key>, by key code (PC scan code)
constexpr int WORLD_NODES = 4;         // network nodes an actor can stand for
constexpr int32_t DEFAULT_CLIP_DIST = 1000 * 1024;

// The player's flag word (FLAGS at top level).
enum PlayerFlag : uint32_t {
    PLAYER_FLAG1 = 0x1000,  // FLAG1 ... FLAG8: 0x1000 ... 0x80000
    PLAYER_CLIPPED = 0x800000,
};

struct WorldScript {
    // Event slots.
    Action* if_start;              // run once in the first frame; cleared by a load
    Action* if_load;               // after a game was loaded
    Action* key[WORLD_KEY_SLOTS];  // IF_<key name>
    Action* if_left;
    Action* if_middle;
    Action* if_right;
    Action* if_anykey;             // IF_ANYKEY and IF_TAST
    Action* if_joy4;
    Action* if_klick;              // the global click into the view
    Action* if_mstop;
    Action* each_sec[WORLD_LIST_SLOTS];
    Action* each_tick[WORLD_LIST_SLOTS];

    // Lists of the 2D layer.
    Text* messages[WORLD_LIST_SLOTS];   // MESSAGES, TEXTS
    Overlay* layers[WORLD_LIST_SLOTS];  // LAYERS
    Panel* panels[WORLD_LIST_SLOTS];    // PANELS; slot 0 also DISPLAY_PANEL

    uint32_t player_flags;              // PlayerFlag bits

    // Start-up input sensitivities (22.10); *_given tells whether the script set one.
    int32_t key_sense, mouse_sense, joy_sense;
    uint8_t key_sense_given, mouse_sense_given, joy_sense_given;

    // Screen: 0 x 0 and mode 0 until a VIDEO statement names a mode.
    int32_t screen_width, screen_height;
    int32_t video_mode;

    char map_name[13];      // MAPFILE of the full reading; empty when none
    char save_dir[128];     // SAVEDIR (at most 126 characters); empty when none

    int32_t rarod;          // RAROD: resource memory setting, 0 when not given
    int32_t dither;         // DITHER
    int32_t clip_dist;      // CLIP_DIST (22.10), DEFAULT_CLIP_DIST until set
    int32_t light_angle;    // LIGHT_ANGLE (22.10)
    int32_t auto_range;     // 1 once a palette asked for AUTORANGE

    // Actors standing for the network nodes (ACTOR ... NODE n).
    MapObject* node_actor[WORLD_NODES];
};
extern WorldScript world_script;

// Empties every slot and list and restores the defaults.
void reset_world_script();

// The folder for saved games: "-DIR" when given, else the script's SAVEDIR, else "".
const char* save_directory();

// The VIDEO modes: the size of a mode name ("S640x480", compared without case) and its
// mode number; false for a name that is no mode.
bool video_mode_of_name(const char* name, int32_t* width, int32_t* height, int32_t* mode);

// The screen of the script's VIDEO mode, for the start-up's "create screen" stage: 0, or -1
// when the frame cannot be made. Nothing to do (0) when the script named no mode.
int create_script_screen();
