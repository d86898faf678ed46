// The defaults of every engine setting.
#include "engine/settings.h"

#include <cstring>

static Settings default_settings() {
    Settings s;
    std::memset(&s, 0, sizeof s);
    std::strcpy(s.wdl_name, ".WDL");
    std::strcpy(s.wrs_name, ".WRS");
    std::strcpy(s.data_file, "DRAVO.WDF");
    std::strcpy(s.peer_address, "255.255.255.255");
    s.node = -1024;
    s.net_port = 2300;
    s.sound_request = 32;
    s.music_request = 4;
    s.cd_audio = 1;
    s.timer = 1;
    s.input_devices = 3;
    s.display_flags = 3;
    s.modern_events = 1;
    s.max_fps = 500;
    s.profiles = 1;
    s.patches = 1;
    s.internal_wdl = 1;
    s.interp = 1;
    s.ssao_radius = 2;
    s.ssao_strength = 90;
    s.fov_degrees = 90;
    s.res_w = 1024;
    s.res_h = 768;
    s.sound_vol = 100;
    s.music_vol = 100;
    s.vz_scale = 400;
    s.mouse_sens_x = 100;
    s.mouse_sens_y = 100;
    s.joy_axis_x = 3;
    s.joy_axis_y = 4;
    s.joy_deadzone = 8;
    s.joy_sens_x = 100;
    s.joy_sens_y = 100;
    s.joy_strafe_axis_y = 1;
    s.joybind_on = 1;
    s.vsync = 1;
    s.key_panel = 87;
    s.key_forward = 17;
    s.key_backward = 31;
    s.key_left = 30;
    s.key_right = 32;
    return s;
}

Settings settings = default_settings();

void reset_settings() { settings = default_settings(); }
