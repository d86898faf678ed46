// The option table and its parser. Options are tested in table order, which matters for the
// prefix forms ("-WDLERR" before "-WDL", "-DIR" before "-D"). A file name that does not fit
// its field is refused rather than cut into the name of another file.
#include "engine/options.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/settings.h"
#include "platform/key_names.h"

void (*command_line_define)(const char* name, const char* value) = nullptr;

namespace {

enum Form {
    EXACT,      // the whole argument is the option
    VALUE,      // the rest of the argument, or else the next argument
    ATTACHED,   // the rest of the argument, which must not be empty
    ATTACHED_SEP,  // as ATTACHED, after one optional ":" or "="
    STARTS,     // any argument that begins with the option; nothing needs to follow
};

struct Parse {
    int argc;
    char** argv;
    int index;     // the argument being parsed
    bool stop;     // parsing ends here
};

// What a row does with its value. `field` and the numbers parameterise the common actions.
enum Action { SET, CLAMP, CUSTOM };

struct Option;
using Handler = bool (*)(const Option& row, const char* value, Parse& p);

struct Option {
    const char* name;
    Form form;
    Action action;
    int Settings::*field;
    int value;  // SET: the value stored; CLAMP: the low end
    int high;   // CLAMP: the high end
    Handler handler;
};

void unknown(const char* arg) { console_message("\n option  %s  unknown ", arg); }

// Optional blanks, an optional sign, then the leading digits; no digits gives 0. Values
// beyond 32 bits saturate, which the clamps then bring into range.
int read_decimal(const char* text, bool* had_digits = nullptr) {
    while (*text == ' ' || *text == '\t') text++;
    bool negative = false;
    if (*text == '+' || *text == '-') negative = *text++ == '-';
    int64_t v = 0;
    bool digits = false;
    for (; *text >= '0' && *text <= '9'; text++) {
        digits = true;
        if (v < INT64_C(1) << 40) v = v * 10 + (*text - '0');
    }
    if (had_digits) *had_digits = digits;
    if (negative) v = -v;
    if (v > INT_MAX) return INT_MAX;
    if (v < INT_MIN) return INT_MIN;
    return int(v);
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

// Copies a file name into its field only when it fits.
bool store_name(char* field, size_t size, const char* value) {
    size_t n = std::strlen(value);
    if (n >= size) return false;
    std::memcpy(field, value, n + 1);
    return true;
}

#define FIELD(f) &Settings::f

bool opt_wdl(const Option&, const char* v, Parse&) { return store_name(settings.wdl_name, sizeof settings.wdl_name, v); }
bool opt_wmp(const Option&, const char* v, Parse&) {
    return store_name(settings.map_override, sizeof settings.map_override, v);
}
bool opt_wrs(const Option&, const char* v, Parse&) { return store_name(settings.wrs_name, sizeof settings.wrs_name, v); }
bool opt_dir(const Option&, const char* v, Parse&) { return store_name(settings.save_dir, sizeof settings.save_dir, v); }
bool opt_err_limit(const Option&, const char* v, Parse&) {
    settings.err_limit = read_decimal(v);
    return true;
}

// Four player slots exist; any other node number means "not networked".
bool opt_node(const Option&, const char* v, Parse&) {
    int n = read_decimal(v);
    settings.node = n >= 0 && n <= 3 ? n * 1024 : -1024;
    return true;
}
bool opt_com(const Option&, const char* v, Parse&) {
    settings.com_port = read_decimal(v);
    settings.transport = 8;
    return true;
}
bool opt_player(const Option&, const char* v, Parse&) {
    size_t n = std::strlen(v);
    if (n > sizeof settings.player_name - 1) n = sizeof settings.player_name - 1;
    std::memcpy(settings.player_name, v, n);
    settings.player_name[n] = 0;
    return true;
}
bool opt_netport(const Option&, const char* v, Parse&) {
    int port = read_decimal(v);
    if (port >= 1 && port <= 65534) settings.net_port = port;
    return true;
}
bool opt_netip(const Option&, const char* v, Parse&) {
    if (!*v) return true;
    return store_name(settings.peer_address, sizeof settings.peer_address, v);
}
bool opt_no_timed(const Option&, const char*, Parse&) {
    settings.music_request = 128;
    settings.cd_audio = 0;
    settings.timer = 0;
    settings.sound_request = 64;
    return true;
}
bool opt_no_joy(const Option&, const char*, Parse&) {
    settings.input_devices &= ~2;
    return true;
}
bool opt_no_mouse(const Option&, const char*, Parse&) {
    settings.input_devices &= ~1;
    return true;
}
bool opt_define(const Option&, const char*, Parse& p) {
    if (p.index + 1 >= p.argc) return true;  // nothing to define: ignored
    const char* arg = p.argv[++p.index];
    char name[256];
    const char* comma = std::strchr(arg, ',');
    size_t n = comma ? size_t(comma - arg) : std::strlen(arg);
    if (n >= sizeof name) n = sizeof name - 1;
    std::memcpy(name, arg, n);
    name[n] = 0;
    if (command_line_define) command_line_define(name, comma ? comma + 1 : name);
    return true;
}
bool opt_windowed(const Option&, const char*, Parse&) {
    settings.display_flags &= ~1;
    return true;
}
bool opt_simeye(const Option&, const char*, Parse&) {
    settings.display_flags |= 4 | 8;
    return true;
}
bool opt_data_file(const Option&, const char* v, Parse&) {
    if (std::strchr(v, '.')) return store_name(settings.data_file, sizeof settings.data_file, v);
    char name[13];
    size_t n = std::strlen(v);
    if (n > 8) n = 8;
    std::memcpy(name, v, n);
    std::strcpy(name + n, ".WDF");
    return store_name(settings.data_file, sizeof settings.data_file, name);
}
bool opt_max_fps(const Option&, const char* v, Parse&) {
    int n = read_decimal(v);
    settings.max_fps = n < 0 ? 0 : n;
    return true;
}
bool opt_frames(const Option&, const char* v, Parse&) {
    int n = read_decimal(v);
    settings.frames = n < 0 ? 0 : n;
    return true;
}
bool opt_sim_hz(const Option&, const char* v, Parse&) {
    settings.sim_hz = clamp(read_decimal(v), 1, 240);
    settings.deterministic = 1;
    return true;
}
bool opt_fov(const Option&, const char* v, Parse&) {
    settings.fov_degrees = clamp(read_decimal(v), 23, 143);
    settings.fov_override = 1;
    return true;
}
bool opt_herecheck(const Option&, const char* v, Parse&) {
    bool digits;
    int n = read_decimal(v, &digits);
    settings.herecheck_steps = digits ? (n < 1 ? 1 : n) : 32;
    return true;
}
bool opt_fuzzwalk(const Option&, const char* v, Parse&) {
    while (*v == ' ' || *v == '\t') v++;
    if (*v < '0' || *v > '9') return false;  // a seed is required
    uint64_t seed = 0;
    for (; *v >= '0' && *v <= '9'; v++) seed = (seed * 10 + uint64_t(*v - '0')) & 0xFFFFFFFFu;
    settings.fuzzwalk_seed = uint32_t(seed);
    settings.fuzzwalk_on = 1;
    return true;
}
bool opt_key(const Option& row, const char* v, Parse&) {
    int code;
    if (!parse_key_option(v, &code)) return false;
    settings.*row.field = code;
    return true;
}

// The table, in the order the options are tested.
const Option options[] = {
    // Files, scripts and errors.
    {"-WDLERR", EXACT, SET, FIELD(use_err), 1, 0, nullptr},
    {"-CONSOLE", EXACT, SET, FIELD(console), 1, 0, nullptr},
    {"-WDL", VALUE, CUSTOM, nullptr, 0, 0, opt_wdl},
    {"-E", VALUE, CUSTOM, nullptr, 0, 0, opt_err_limit},
    {"-WMP", VALUE, CUSTOM, nullptr, 0, 0, opt_wmp},
    {"-WRS", VALUE, CUSTOM, nullptr, 0, 0, opt_wrs},
    {"-DIR", VALUE, CUSTOM, nullptr, 0, 0, opt_dir},
    // Network and demo.
    {"-NODE", VALUE, CUSTOM, nullptr, 0, 0, opt_node},
    {"-COM", VALUE, CUSTOM, nullptr, 0, 0, opt_com},
    {"-PLAYER", VALUE, CUSTOM, nullptr, 0, 0, opt_player},
    {"-MODEM", STARTS, SET, FIELD(transport), 4, 0, nullptr},
    {"-TCP", STARTS, SET, FIELD(transport), 2, 0, nullptr},
    {"-IPX", STARTS, SET, FIELD(transport), 1, 0, nullptr},
    {"-NETPORT", VALUE, CUSTOM, nullptr, 0, 0, opt_netport},
    {"-NETIP", VALUE, CUSTOM, nullptr, 0, 0, opt_netip},
    // Devices.
    {"-OM", EXACT, SET, FIELD(music_request), 128, 0, nullptr},
    {"-OS", EXACT, SET, FIELD(sound_request), 64, 0, nullptr},
    {"-OCD", EXACT, SET, FIELD(cd_audio), 0, 0, nullptr},
    {"-NJ", EXACT, CUSTOM, nullptr, 0, 0, opt_no_joy},
    {"-NM", EXACT, CUSTOM, nullptr, 0, 0, opt_no_mouse},
    {"-OT", EXACT, CUSTOM, nullptr, 0, 0, opt_no_timed},
    {"-R", EXACT, SET, FIELD(demo_record), 1, 0, nullptr},
    {"-P", EXACT, SET, FIELD(demo_replay), 1, 0, nullptr},
    {"-D", EXACT, CUSTOM, nullptr, 0, 0, opt_define},
    {"-WND", EXACT, CUSTOM, nullptr, 0, 0, opt_windowed},
    {"-3D_SIMEYE", EXACT, CUSTOM, nullptr, 0, 0, opt_simeye},
    {"-WDF", VALUE, CUSTOM, nullptr, 0, 0, opt_data_file},
    // Presentation, rendering and compatibility switches.
    {"-GL", EXACT, SET, FIELD(opengl), 1, 0, nullptr},
    {"-SW", EXACT, SET, FIELD(opengl), 0, 0, nullptr},
    {"-FCD", EXACT, SET, FIELD(fixed_cycle), 1, 0, nullptr},
    {"-NFCD", EXACT, SET, FIELD(fixed_cycle), 0, 0, nullptr},
    {"-MI", EXACT, SET, FIELD(modern_input), 1, 0, nullptr},
    {"-NMI", EXACT, SET, FIELD(modern_input), 0, 0, nullptr},
    {"-MIEV", EXACT, SET, FIELD(modern_events), 1, 0, nullptr},
    {"-NMIEV", EXACT, SET, FIELD(modern_events), 0, 0, nullptr},
    {"-WS", EXACT, SET, FIELD(widescreen), 1, 0, nullptr},
    {"-NWS", EXACT, SET, FIELD(widescreen), 0, 0, nullptr},
    {"-SHUD", EXACT, SET, FIELD(stretch_hud), 1, 0, nullptr},
    {"-NSHUD", EXACT, SET, FIELD(stretch_hud), 0, 0, nullptr},
    {"-V356", EXACT, SET, FIELD(compat356), 1, 0, nullptr},
    {"-NV356", EXACT, SET, FIELD(compat356), 0, 0, nullptr},
    {"-V308", EXACT, SET, FIELD(v308), 1, 0, nullptr},
    {"-NV308", EXACT, SET, FIELD(v308), 0, 0, nullptr},
    {"-V368", EXACT, SET, FIELD(compat368), 1, 0, nullptr},
    {"-NV368", EXACT, SET, FIELD(compat368), 0, 0, nullptr},
    {"-V368Z", EXACT, SET, FIELD(compat368_height), 1, 0, nullptr},
    {"-NV368Z", EXACT, SET, FIELD(compat368_height), 0, 0, nullptr},
    {"-MAXFPS", ATTACHED, CUSTOM, nullptr, 0, 0, opt_max_fps},
    {"-NOPROFILE", EXACT, SET, FIELD(profiles), 0, 0, nullptr},
    {"-PROFILE", EXACT, SET, FIELD(profiles), 1, 0, nullptr},
    {"-NOPATCH", EXACT, SET, FIELD(patches), 0, 0, nullptr},
    {"-PATCH", EXACT, SET, FIELD(patches), 1, 0, nullptr},
    {"-NIWDL", EXACT, SET, FIELD(internal_wdl), 0, 0, nullptr},
    {"-IWDL", EXACT, SET, FIELD(internal_wdl), 1, 0, nullptr},
    {"-SIMHZ", ATTACHED, CUSTOM, nullptr, 0, 0, opt_sim_hz},
    {"-DETERMINISTIC", EXACT, SET, FIELD(deterministic), 1, 0, nullptr},
    {"-TICK16", EXACT, SET, FIELD(deterministic), 1, 0, nullptr},
    {"-NDETERMINISTIC", EXACT, SET, FIELD(deterministic), 0, 0, nullptr},
    {"-NTICK16", EXACT, SET, FIELD(deterministic), 0, 0, nullptr},
    {"-MIPMAPS", EXACT, SET, FIELD(mipmaps), 1, 0, nullptr},
    {"-NMIPMAPS", EXACT, SET, FIELD(mipmaps), 0, 0, nullptr},
    {"-SMOOTHFOG", EXACT, SET, FIELD(smooth_fog), 1, 0, nullptr},
    {"-NSMOOTHFOG", EXACT, SET, FIELD(smooth_fog), 0, 0, nullptr},
    {"-INTERPTGT", EXACT, SET, nullptr, 0, 0, nullptr},
    {"-NINTERPTGT", EXACT, SET, nullptr, 0, 0, nullptr},
    {"-INTERP", EXACT, SET, FIELD(interp), 1, 0, nullptr},
    {"-NINTERP", EXACT, SET, FIELD(interp), 0, 0, nullptr},
    {"-OGGCD", EXACT, SET, FIELD(oggcd), 1, 0, nullptr},
    {"-NOGGCD", EXACT, SET, FIELD(oggcd), 0, 0, nullptr},
    {"-SSAO", EXACT, SET, FIELD(ssao), 1, 0, nullptr},
    {"-NSSAO", EXACT, SET, FIELD(ssao), 0, 0, nullptr},
    {"-SSAOR", ATTACHED, CLAMP, FIELD(ssao_radius), 1, 1000, nullptr},
    {"-SSAOS", ATTACHED, CLAMP, FIELD(ssao_strength), 0, 100, nullptr},
    {"-REBIND", EXACT, SET, FIELD(rebind_on), 1, 0, nullptr},
    {"-NREBIND", EXACT, SET, FIELD(rebind_on), 0, 0, nullptr},
    {"-NFOV", EXACT, SET, FIELD(fov_override), 0, 0, nullptr},
    {"-FOV", EXACT, SET, FIELD(fov_override), 1, 0, nullptr},
    {"-FOV", ATTACHED_SEP, CUSTOM, nullptr, 0, 0, opt_fov},
    {"-RESW", ATTACHED_SEP, CLAMP, FIELD(res_w), 160, 16384, nullptr},
    {"-RESH", ATTACHED_SEP, CLAMP, FIELD(res_h), 160, 16384, nullptr},
    {"-SVOL", ATTACHED_SEP, CLAMP, FIELD(sound_vol), 0, 400, nullptr},
    {"-MVOL", ATTACHED_SEP, CLAMP, FIELD(music_vol), 0, 400, nullptr},
    {"-FVZ", EXACT, SET, FIELD(fix_vz), 1, 0, nullptr},
    {"-NFVZ", EXACT, SET, FIELD(fix_vz), 0, 0, nullptr},
    {"-FWALL", EXACT, SET, FIELD(fix_wall), 1, 0, nullptr},
    {"-NFWALL", EXACT, SET, FIELD(fix_wall), 0, 0, nullptr},
    {"-FVZS", ATTACHED, CLAMP, FIELD(vz_scale), 1, 1000, nullptr},
    {"-CURLOCK", EXACT, SET, FIELD(cursor_lock), 1, 0, nullptr},
    {"-NCURLOCK", EXACT, SET, FIELD(cursor_lock), 0, 0, nullptr},
    {"-ML", EXACT, SET, FIELD(mouse_look), 1, 0, nullptr},
    {"-NML", EXACT, SET, FIELD(mouse_look), 0, 0, nullptr},
    {"-MLX", ATTACHED, CLAMP, FIELD(mouse_sens_x), 1, 1000, nullptr},
    {"-MLY", ATTACHED, CLAMP, FIELD(mouse_sens_y), 1, 1000, nullptr},
    {"-JL", EXACT, SET, FIELD(joy_look), 1, 0, nullptr},
    {"-NJL", EXACT, SET, FIELD(joy_look), 0, 0, nullptr},
    {"-JLINV", EXACT, SET, FIELD(joy_invert), 1, 0, nullptr},
    {"-NJLINV", EXACT, SET, FIELD(joy_invert), 0, 0, nullptr},
    {"-JLAX", ATTACHED, CLAMP, FIELD(joy_axis_x), 0, 31, nullptr},
    {"-JLAY", ATTACHED, CLAMP, FIELD(joy_axis_y), 0, 31, nullptr},
    {"-JLDZ", ATTACHED, CLAMP, FIELD(joy_deadzone), 0, 90, nullptr},
    {"-JLX", ATTACHED, CLAMP, FIELD(joy_sens_x), 1, 1000, nullptr},
    {"-JLY", ATTACHED, CLAMP, FIELD(joy_sens_y), 1, 1000, nullptr},
    {"-JSTRAFE", EXACT, SET, FIELD(joy_strafe), 1, 0, nullptr},
    {"-NJSTRAFE", EXACT, SET, FIELD(joy_strafe), 0, 0, nullptr},
    {"-JSAX", ATTACHED, CLAMP, FIELD(joy_strafe_axis_x), 0, 31, nullptr},
    {"-JSAY", ATTACHED, CLAMP, FIELD(joy_strafe_axis_y), 0, 31, nullptr},
    {"-JBIND", EXACT, SET, FIELD(joybind_on), 1, 0, nullptr},
    {"-NJBIND", EXACT, SET, FIELD(joybind_on), 0, 0, nullptr},
    {"-FPS", EXACT, SET, FIELD(show_fps), 1, 0, nullptr},
    {"-NFPS", EXACT, SET, FIELD(show_fps), 0, 0, nullptr},
    {"-VSYNC", EXACT, SET, FIELD(vsync), 1, 0, nullptr},
    {"-NVSYNC", EXACT, SET, FIELD(vsync), 0, 0, nullptr},
    {"-FSEXCL", EXACT, SET, FIELD(fullscreen_exclusive), 1, 0, nullptr},
    {"-NFSEXCL", EXACT, SET, FIELD(fullscreen_exclusive), 0, 0, nullptr},
    {"-FSWIN", EXACT, SET, FIELD(fullscreen_window), 1, 0, nullptr},
    {"-NFSWIN", EXACT, SET, FIELD(fullscreen_window), 0, 0, nullptr},
    {"-HERECHECK", EXACT, CUSTOM, nullptr, 0, 0, opt_herecheck},
    {"-HERECHECK", ATTACHED_SEP, CUSTOM, nullptr, 0, 0, opt_herecheck},
    {"-FUZZWALK", ATTACHED_SEP, CUSTOM, nullptr, 0, 0, opt_fuzzwalk},
    {"-FRAMES", ATTACHED_SEP, CUSTOM, nullptr, 0, 0, opt_frames},
    {"-KPANEL", ATTACHED, CUSTOM, FIELD(key_panel), 0, 0, opt_key},
    {"-KFWD", ATTACHED, CUSTOM, FIELD(key_forward), 0, 0, opt_key},
    {"-KBACK", ATTACHED, CUSTOM, FIELD(key_backward), 0, 0, opt_key},
    {"-KLEFT", ATTACHED, CUSTOM, FIELD(key_left), 0, 0, opt_key},
    {"-KRIGHT", ATTACHED, CUSTOM, FIELD(key_right), 0, 0, opt_key},
};

bool starts_with(const char* arg, const char* name, size_t n) { return strncasecmp(arg, name, n) == 0; }

// Answers true when the row claims the argument (its value, if any, in `value`).
bool matches(const Option& row, Parse& p, const char** value) {
    const char* arg = p.argv[p.index];
    size_t n = std::strlen(row.name);
    switch (row.form) {
    case EXACT:
        *value = "";
        return strcasecmp(arg, row.name) == 0;
    case STARTS:
        *value = arg + (std::strlen(arg) < n ? std::strlen(arg) : n);
        return starts_with(arg, row.name, n);
    case VALUE:
        if (!starts_with(arg, row.name, n)) return false;
        if (arg[n]) {
            *value = arg + n;
        } else if (p.index + 1 < p.argc) {
            *value = p.argv[++p.index];
        } else {
            *value = "";
            // The network options end the parse when their value is missing.
            if (row.handler == opt_netport || row.handler == opt_netip) p.stop = true;
        }
        return true;
    case ATTACHED:
    case ATTACHED_SEP:
        if (!starts_with(arg, row.name, n) || !arg[n]) return false;
        *value = arg + n;
        if (row.form == ATTACHED_SEP && (**value == ':' || **value == '=')) ++*value;
        return true;
    }
    return false;
}

// A game name: with a dot it names the WDL or (with ".WRS") the archive; without, both.
void game_name(char* arg) {
    if (std::strchr(arg, '.')) {
        for (char* c = arg; *c; c++)
            if (*c >= 'a' && *c <= 'z') *c = char(*c - 'a' + 'A');
        bool ok = std::strstr(arg, ".WRS") ? store_name(settings.wrs_name, sizeof settings.wrs_name, arg)
                                           : store_name(settings.wdl_name, sizeof settings.wdl_name, arg);
        if (!ok) unknown(arg);
        return;
    }
    size_t n = std::strlen(arg);
    if (n > 8) n = 8;
    std::memcpy(settings.wdl_name, arg, n);
    std::strcpy(settings.wdl_name + n, ".WDL");
    std::memcpy(settings.wrs_name, arg, n);
    std::strcpy(settings.wrs_name + n, ".WRS");
}

// No WDL name but an archive: the archive's base name names the script.
void wdl_from_wrs() {
    if (std::strcmp(settings.wdl_name, ".WDL") != 0) return;
    if (!settings.wrs_name[0] || settings.wrs_name[0] == '.') return;
    const char* dot = std::strrchr(settings.wrs_name, '.');
    size_t n = dot ? size_t(dot - settings.wrs_name) : std::strlen(settings.wrs_name);
    if (n > 8) n = 8;
    std::memcpy(settings.wdl_name, settings.wrs_name, n);
    std::strcpy(settings.wdl_name + n, ".WDL");
}

}  // namespace

bool parse_key_option(const char* text, int* out) {
    if (!text) return false;
    if (*text == ':' || *text == '=') text++;
    if (!*text) return false;
    if (strcasecmp(text, "NONE") == 0) {
        *out = 0;
        return true;
    }
    int code = key_code_of_name(text);
    if (code < 0) return false;
    *out = code;
    return true;
}

int parse_command_line(int argc, char** argv) {
    std::strcpy(settings.wdl_name, ".WDL");
    std::strcpy(settings.wrs_name, ".WRS");
    settings.map_from_script[0] = 0;
    settings.save_dir[0] = 0;
    Parse p = {argc, argv, 1, false};
    for (; p.index < argc && !p.stop; p.index++) {
        char* arg = argv[p.index];
        if (arg[0] != '-' && arg[0] != '?' && arg[0] != '/') {
            game_name(arg);
            continue;
        }
        if (is_usage_request(arg)) continue;  // answered by the world opening with the usage text
        bool claimed = false;
        for (const Option& row : options) {
            const char* value;
            if (!matches(row, p, &value)) continue;
            claimed = true;
            bool ok = true;
            if (row.action == SET && row.field) settings.*row.field = row.value;
            else if (row.action == CLAMP) settings.*row.field = clamp(read_decimal(value), row.value, row.high);
            else if (row.action == CUSTOM) ok = row.handler(row, value, p);
            if (!ok) unknown(arg);
            break;
        }
        if (!claimed) unknown(arg);
    }
    wdl_from_wrs();
    return p.index;
}

bool is_usage_request(const char* arg) {
    return strcasecmp(arg, "?") == 0 || strcasecmp(arg, "-?") == 0 || strcasecmp(arg, "/?") == 0;
}

void print_usage() {
    console_message("\nUse: TARV name[.WDL] [options]");
    console_message("\n -WDL <WDL file>  -WMP <WMP file>");
    console_message("   -WRS <WRS file>");
    console_message("%s",
                    " -DIR path  Path for saving         -D name[,val]  Define name\n"
                    " -NODE n    Node # (0..1)           -COM n         Com port # (1..4)\n"
                    " -R    Demo Record Mode             -P    Demo Replay Mode\n"
                    " -NJ   Disable joystick             -NM   Disable mouse\n"
                    " -OS   Disable sound                -OM   Disable music\n"
                    " -OCD  Disable CD audio             -OT   Disable sound,music,CD,timer\n"
                    " -AD   Use Adlib/OPL2 (default)     -RO   Use Wavetable/MPU401 for music\n"
                    " -- windows runtime module ---------------------------------------------\n"
                    " -WND  Start in window mode         -3D_SIMEYE SimulEye Shutter glasses\n"
                    " -IPX  IPX network mode             -MODEM     2-player via modem\n"
                    " -TCP  TCP/IP network mode");
    console_message("\n -?    Help");
}
