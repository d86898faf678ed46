// Operations of other subsystems that instructions call: the world model, movement,
// actors, saved games, databases, palettes, the renderer, the FLIC player, the map
// display, input and audio. Each subsystem fills its entries when it is built into the
// engine; an empty entry is skipped (the instruction then has only the effect it has on
// the script's own state), so actions run whatever has been built.
#pragma once

#include <cstdint>

#include "script/front/records.h"

struct ExecOps {
    // World model: textures, regions.
    void (*set_object_texture)(MapObject* object, Texture* texture, int32_t mode);
    void (*set_floor_texture)(Region* region, Texture* texture, int32_t mode);
    void (*set_ceil_texture)(Region* region, Texture* texture, int32_t mode);
    void (*shift_region)(Region* region, int32_t dx, int32_t dy);
    void (*lift_region)(Region* region, int32_t amount);
    void (*tilt_region)(Region* region, int32_t amount);
    void (*rotate_region)(Region* region, int32_t amount);
    void (*inflate_texture)(Texture* texture, int32_t factor);

    // Movement: placing and locating.
    void (*place_object)(MapObject* object);   // re-place on its floor
    void (*locate_player)();
    void (*locate_object)(MapObject* object);
    void (*drop_object)(MapObject* object);    // in front of the player
    void (*shake_object)(MapObject* object);

    // Actors and things.
    int32_t (*push)(int32_t amount);
    void (*shoot)(MapObject* at);              // null: from the player's view
    void (*explode)(MapObject* object);
    int32_t (*find_way)(Way* way, MapObject* object);
    void (*target_drop)(MapObject* object);    // SET of a TARGET to DROP, PLACE, STICK
    void (*target_place)(MapObject* object);
    void (*target_stick)(MapObject* object);

    // Saved games, carried out at once (the others stay pending for the frame loop).
    int (*save_game)(const char* name, int32_t number);
    int (*save_info)(const char* name, int32_t number);
    int (*load_info)(const char* name, int32_t number);

    // Databases and data views.
    void (*select_rows)(int32_t mode, DataView* view, int32_t field, const char* text);
    int32_t (*place_selection)(DataView* view, MapObject* object, int32_t number);
    void (*build_view)(DataView* view);
    void (*unbuild_view)(DataView* view);

    // Palettes, renderer, FLIC player, map display.
    void (*fade_palette)(Palette* palette, int32_t speed);
    void (*freeze_frame)(const uint8_t* pixels, int32_t width, int32_t height, int32_t count);
    void (*play_flic)(Flic* flic);
    void (*stop_flic)();
    void (*play_flic_file)(const char* name);
    void (*to_map)(int32_t* x, int32_t* y);

    // Input: line input and the keyboard queue, whose entries are characters (low byte
    // nonzero) or extended keys (scan code << 8, low byte 0); and the mouse buttons for the
    // scheduler's mouse actions (bit 0 left, 1 right, 2 middle, 3 joystick button 4: a
    // click this frame or held).
    void (*start_text_input)();
    void (*stop_text_input)();
    int (*next_key)();                // -1 when the queue is empty
    uint8_t (*mouse_action_bits)();

    // Audio. Without a device open, unknown sound names are not reported.
    bool (*sound_device_open)();
    bool (*music_device_open)();
    void (*play_sound)(Sound* sound, int32_t volume, int32_t balance, MapObject* at);
    void (*play_sound_file)(const char* name, int32_t volume, int32_t balance);
    void (*play_song)(Sound* music, int32_t volume, bool once);
    void (*stop_sounds)();
    int32_t (*play_cd)(int32_t track, int32_t mode);  // the current track

    // Demos.
    void (*stop_demo)();
};
extern ExecOps exec_ops;
