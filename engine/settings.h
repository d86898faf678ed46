// Engine settings: process-wide values with the defaults of the option table, reset by
// reset_settings() and written only during start-up (configuration, the two command-line
// parses, the game profile) and by the debug panel. Every other subsystem only reads them.
#pragma once

#include <cstdint>

struct Settings {
    // Files. Each field is written only through a bounded copy: a value that does not fit is refused.
    char wdl_name[13];       // ".WDL" = none given
    char wrs_name[13];       // ".WRS" = none given
    char map_override[13];   // "-WMP"; empty = the script's MAPFILE
    char data_file[13];      // "-WDF", default "DRAVO.WDF"
    char save_dir[128];      // "-DIR"
    char peer_address[64];   // "-NETIP"
    char player_name[32];    // "-PLAYER"
    char map_from_script[13];  // the map named by the script's MAPFILE statement

    // Scripts and errors.
    int use_err;             // "-WDLERR": explain WDL errors by line
    int console;             // "-CONSOLE" (read by the process entry)
    int err_limit;           // "-E": kept, no limit applied

    // Network and demo.
    int node;                // "-NODE" value x 1024 into NODE; -1024 = not networked
    int com_port;            // "-COM" (stored)
    int transport;           // 8 serial, 4 modem, 2 TCP, 1 IPX, 0 none
    int net_port;            // "-NETPORT", default 2300
    int demo_record;         // "-R"
    int demo_replay;         // "-P"

    // Devices.
    int sound_request;       // 32 (on) or 64 (off, "-OS")
    int music_request;       // 4 (on) or 128 (off, "-OM")
    int cd_audio;            // 1, cleared by "-OCD" and "-OT"
    int timer;               // 1, cleared by "-OT"
    int input_devices;       // bit 0 mouse, bit 1 joystick
    int display_flags;       // bit 0 fullscreen, bit 2 stereoscopic, bit 3 eye buffer in use

    // Presentation, rendering and compatibility switches.
    int opengl;
    int fixed_cycle;
    int modern_input;
    int modern_events;
    int widescreen;
    int stretch_hud;
    int compat356;
    int v308;
    int compat368;
    int compat368_height;
    int max_fps;
    int profiles;
    int patches;
    int internal_wdl;
    int sim_hz;              // 1..240; 0 acts as 32
    int deterministic;
    int mipmaps;
    int smooth_fog;
    int interp;
    int oggcd;
    int ssao;
    int ssao_radius;
    int ssao_strength;
    int rebind_on;
    int fov_override;
    int fov_degrees;
    int res_w;
    int res_h;
    int sound_vol;
    int music_vol;
    int fix_vz;
    int fix_wall;
    int vz_scale;
    int cursor_lock;
    int mouse_look;
    int mouse_sens_x;
    int mouse_sens_y;
    int joy_look;
    int joy_invert;
    int joy_axis_x;
    int joy_axis_y;
    int joy_deadzone;
    int joy_sens_x;
    int joy_sens_y;
    int joy_strafe;
    int joy_strafe_axis_x;
    int joy_strafe_axis_y;
    int joybind_on;
    int show_fps;
    int vsync;
    int fullscreen_exclusive;
    int fullscreen_window;
    int herecheck_steps;     // 0 = off
    uint32_t fuzzwalk_seed;  // 0 = off
    int fuzzwalk_on;
    int frames;              // "-FRAMES": end the main loop after this many frames, 0 = no limit
    int key_panel;
    int key_forward;
    int key_backward;
    int key_left;
    int key_right;
};

extern Settings settings;

void reset_settings();
