// The command line: every option form, clamping, the unknown-option text and the usage text.
#include "engine/options.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/settings.h"
#include "tests/common/console_capture.h"
#include "tests/common/usage_text.h"

namespace {

// Parses the arguments after a program name on top of the defaults.
std::string parse(std::vector<std::string> args) {
    reset_settings();
    std::vector<char*> argv;
    static char program[] = "dravo";
    argv.push_back(program);
    for (std::string& a : args) argv.push_back(a.data());
    CapturedConsole console;
    parse_command_line(int(argv.size()), argv.data());
    return console.text();
}

struct IntCase {
    std::vector<std::string> args;
    int Settings::*field;
    int expected;
};

class OptionValue : public testing::TestWithParam<IntCase> {};

TEST_P(OptionValue, SetsTheSetting) {
    const IntCase& c = GetParam();
    EXPECT_EQ(parse(c.args), "");
    EXPECT_EQ(settings.*c.field, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, OptionValue,
    testing::Values(
        IntCase{{"-WDLERR"}, &Settings::use_err, 1}, IntCase{{"-wdlerr"}, &Settings::use_err, 1},
        IntCase{{"-E", "7"}, &Settings::err_limit, 7}, IntCase{{"-E12"}, &Settings::err_limit, 12},
        IntCase{{"-NODE", "1"}, &Settings::node, 1024}, IntCase{{"-NODE3"}, &Settings::node, 3072},
        IntCase{{"-NODE", "4"}, &Settings::node, -1024}, IntCase{{"-NODE", "-1"}, &Settings::node, -1024},
        IntCase{{"-COM2"}, &Settings::transport, 8}, IntCase{{"-MODEM"}, &Settings::transport, 4},
        IntCase{{"-TCPIP"}, &Settings::transport, 2}, IntCase{{"-IPX"}, &Settings::transport, 1},
        IntCase{{"-NETPORT", "4000"}, &Settings::net_port, 4000},
        IntCase{{"-NETPORT65535"}, &Settings::net_port, 2300}, IntCase{{"-NETPORT0"}, &Settings::net_port, 2300},
        IntCase{{"-OM"}, &Settings::music_request, 128}, IntCase{{"-OS"}, &Settings::sound_request, 64},
        IntCase{{"-OCD"}, &Settings::cd_audio, 0}, IntCase{{"-NJ"}, &Settings::input_devices, 1},
        IntCase{{"-NM"}, &Settings::input_devices, 2}, IntCase{{"-OT"}, &Settings::timer, 0},
        IntCase{{"-OT"}, &Settings::music_request, 128}, IntCase{{"-OT"}, &Settings::sound_request, 64},
        IntCase{{"-OT"}, &Settings::cd_audio, 0}, IntCase{{"-R"}, &Settings::demo_record, 1},
        IntCase{{"-P"}, &Settings::demo_replay, 1}, IntCase{{"-WND"}, &Settings::display_flags, 2},
        IntCase{{"-3D_SIMEYE"}, &Settings::display_flags, 15}, IntCase{{"-GL"}, &Settings::opengl, 1},
        IntCase{{"-GL", "-SW"}, &Settings::opengl, 0}, IntCase{{"-MIEV"}, &Settings::modern_events, 1},
        IntCase{{"-NMIEV"}, &Settings::modern_events, 0}, IntCase{{"-V308"}, &Settings::v308, 1},
        IntCase{{"-V368Z"}, &Settings::compat368_height, 1}, IntCase{{"-V368Z"}, &Settings::compat368, 0},
        IntCase{{"-MAXFPS60"}, &Settings::max_fps, 60}, IntCase{{"-MAXFPS-5"}, &Settings::max_fps, 0},
        IntCase{{"-NOPROFILE"}, &Settings::profiles, 0}, IntCase{{"-NOPATCH"}, &Settings::patches, 0},
        IntCase{{"-NIWDL"}, &Settings::internal_wdl, 0},
        IntCase{{"-SIMHZ0"}, &Settings::sim_hz, 1}, IntCase{{"-SIMHZ0"}, &Settings::deterministic, 1},
        IntCase{{"-SIMHZ999"}, &Settings::sim_hz, 240}, IntCase{{"-SIMHZ60"}, &Settings::sim_hz, 60},
        IntCase{{"-TICK16"}, &Settings::deterministic, 1},
        IntCase{{"-DETERMINISTIC", "-NDETERMINISTIC"}, &Settings::deterministic, 0},
        IntCase{{"-NINTERP"}, &Settings::interp, 0}, IntCase{{"-SSAOR5000"}, &Settings::ssao_radius, 1000},
        IntCase{{"-SSAOS50"}, &Settings::ssao_strength, 50},
        IntCase{{"-FOV10"}, &Settings::fov_degrees, 23}, IntCase{{"-FOV=200"}, &Settings::fov_degrees, 143},
        IntCase{{"-FOV:100"}, &Settings::fov_override, 1}, IntCase{{"-FOV"}, &Settings::fov_override, 1},
        IntCase{{"-FOV"}, &Settings::fov_degrees, 90}, IntCase{{"-FOV", "-NFOV"}, &Settings::fov_override, 0},
        IntCase{{"-RESW:100"}, &Settings::res_w, 160}, IntCase{{"-RESH=20000"}, &Settings::res_h, 16384},
        IntCase{{"-SVOL=250"}, &Settings::sound_vol, 250}, IntCase{{"-MVOL500"}, &Settings::music_vol, 400},
        IntCase{{"-FVZS0"}, &Settings::vz_scale, 1}, IntCase{{"-MLX2000"}, &Settings::mouse_sens_x, 1000},
        IntCase{{"-ML"}, &Settings::mouse_look, 1}, IntCase{{"-JLAX40"}, &Settings::joy_axis_x, 31},
        IntCase{{"-JLDZ95"}, &Settings::joy_deadzone, 90}, IntCase{{"-JSAY7"}, &Settings::joy_strafe_axis_y, 7},
        IntCase{{"-NJBIND"}, &Settings::joybind_on, 0}, IntCase{{"-NVSYNC"}, &Settings::vsync, 0},
        IntCase{{"-FSEXCL"}, &Settings::fullscreen_exclusive, 1}, IntCase{{"-FSWIN"}, &Settings::fullscreen_window, 1},
        IntCase{{"-HERECHECK"}, &Settings::herecheck_steps, 32},
        IntCase{{"-HERECHECK=0"}, &Settings::herecheck_steps, 1},
        IntCase{{"-HERECHECK:64"}, &Settings::herecheck_steps, 64},
        IntCase{{"-FRAMES10"}, &Settings::frames, 10}, IntCase{{"-FRAMES=-4"}, &Settings::frames, 0},
        IntCase{{"-KPANEL=F12"}, &Settings::key_panel, 88}, IntCase{{"-KFWD=NONE"}, &Settings::key_forward, 0},
        IntCase{{"-KBACK:cuD"}, &Settings::key_backward, 80}, IntCase{{"-KLEFTq"}, &Settings::key_left, 16},
        IntCase{{"-KRIGHT=Apo"}, &Settings::key_right, 13}, IntCase{{"-INTERPTGT"}, &Settings::interp, 1}));

TEST(Options, DefaultsOfTheKeyOptionsAreTheClassicKeys) {
    parse({});
    EXPECT_EQ(settings.key_panel, 87);
    EXPECT_EQ(settings.key_forward, 17);
    EXPECT_EQ(settings.key_backward, 31);
    EXPECT_EQ(settings.key_left, 30);
    EXPECT_EQ(settings.key_right, 32);
    EXPECT_EQ(settings.max_fps, 500);
    EXPECT_EQ(settings.node, -1024);
}

struct UnknownCase {
    std::vector<std::string> args;
    std::string printed;
};

class UnknownOption : public testing::TestWithParam<UnknownCase> {};

TEST_P(UnknownOption, PrintsTheUnknownMessage) { EXPECT_EQ(parse(GetParam().args), GetParam().printed); }

INSTANTIATE_TEST_SUITE_P(
    Table, UnknownOption,
    testing::Values(UnknownCase{{"-MAXFPS"}, "\n option  -MAXFPS  unknown "},
                    UnknownCase{{"-KFWD="}, "\n option  -KFWD=  unknown "},
                    UnknownCase{{"-KFWD=BANANA"}, "\n option  -KFWD=BANANA  unknown "},
                    UnknownCase{{"-AD"}, "\n option  -AD  unknown "}, UnknownCase{{"-RO"}, "\n option  -RO  unknown "},
                    UnknownCase{{"-FUZZWALK"}, "\n option  -FUZZWALK  unknown "},
                    UnknownCase{{"-FUZZWALK="}, "\n option  -FUZZWALK=  unknown "},
                    UnknownCase{{"-SIMHZ"}, "\n option  -SIMHZ  unknown "},
                    UnknownCase{{"/X", "-Q"}, "\n option  /X  unknown \n option  -Q  unknown "}));

TEST(Options, GameNameWithoutDotNamesBothFilesAndKeepsItsCase) {
    parse({"game"});
    EXPECT_STREQ(settings.wdl_name, "game.WDL");
    EXPECT_STREQ(settings.wrs_name, "game.WRS");
    parse({"nosuchgame"});
    EXPECT_STREQ(settings.wdl_name, "nosuchga.WDL");
}

TEST(Options, GameNameWithDotIsUpperCasedAndNamesOneFile) {
    parse({"game.wrs"});
    EXPECT_STREQ(settings.wrs_name, "GAME.WRS");
    EXPECT_STREQ(settings.wdl_name, "GAME.WDL");  // found from the archive's name
    parse({"level.wdl"});
    EXPECT_STREQ(settings.wdl_name, "LEVEL.WDL");
    EXPECT_STREQ(settings.wrs_name, ".WRS");
}

TEST(Options, OnlyAnArchiveNamesTheScriptAfterIt) {
    parse({"-WRS", "WORLD.WRS"});
    EXPECT_STREQ(settings.wdl_name, "WORLD.WDL");
    parse({"-WRSABCDEFGHI.WR"});
    EXPECT_STREQ(settings.wdl_name, "ABCDEFGH.WDL");
    parse({"-WDL", "MINE.WDL", "-WRS", "WORLD.WRS"});
    EXPECT_STREQ(settings.wdl_name, "MINE.WDL");
}

TEST(Options, FileNamesThatDoNotFitAreRefusedNotCut) {
    EXPECT_EQ(parse({"-WRS", "/home/me/games/world.wrs"}), "\n option  -WRS  unknown ");
    EXPECT_STREQ(settings.wrs_name, ".WRS");
    EXPECT_STREQ(settings.wdl_name, ".WDL");
    EXPECT_EQ(parse({"-WMPABCDEFGHIJ.WMP"}), "\n option  -WMPABCDEFGHIJ.WMP  unknown ");
    EXPECT_STREQ(settings.map_override, "");
    EXPECT_EQ(parse({"averyverylongname.wrs"}), "\n option  AVERYVERYLONGNAME.WRS  unknown ");
    std::string dir(130, 'd');
    EXPECT_EQ(parse({"-DIR", dir}), "\n option  -DIR  unknown ");
    EXPECT_STREQ(settings.save_dir, "");
    std::string ip(70, '1');
    parse({"-NETIP", ip});
    EXPECT_STREQ(settings.peer_address, "255.255.255.255");
}

TEST(Options, ValueOptionsTakeTheNextArgument) {
    parse({"-DIR", "/home/me/saves", "-WMP", "LEVEL2.WMP", "-NETIP", "10.0.0.2", "-PLAYER", "Ann"});
    EXPECT_STREQ(settings.save_dir, "/home/me/saves");
    EXPECT_STREQ(settings.map_override, "LEVEL2.WMP");
    EXPECT_STREQ(settings.peer_address, "10.0.0.2");
    EXPECT_STREQ(settings.player_name, "Ann");
}

TEST(Options, NetworkOptionsWithoutValueEndTheParse) {
    parse({"-NETPORT", "-NETIP"});  // -NETPORT takes "-NETIP" as its value, which is no port
    EXPECT_EQ(settings.net_port, 2300);
    parse({"-WND", "-NETIP"});
    EXPECT_EQ(settings.display_flags & 1, 0);
}

TEST(Options, DataFileNameGetsItsExtension) {
    parse({"-WDF", "saves"});
    EXPECT_STREQ(settings.data_file, "saves.WDF");
    parse({"-WDFlongdatafile"});
    EXPECT_STREQ(settings.data_file, "longdata.WDF");
    parse({"-WDF", "X.DAT"});
    EXPECT_STREQ(settings.data_file, "X.DAT");
}

TEST(Options, FuzzWalkSeedIsUnsigned) {
    parse({"-FUZZWALK=4294967295"});
    EXPECT_EQ(settings.fuzzwalk_seed, 4294967295u);
    EXPECT_EQ(settings.fuzzwalk_on, 1);
}

TEST(Options, DefinesGoToTheReader) {
    static std::vector<std::pair<std::string, std::string>> seen;
    seen.clear();
    auto saved = command_line_define;
    command_line_define = [](const char* name, const char* value) { seen.emplace_back(name, value); };
    parse({"-D", "LEVEL,5", "-D", "CHEAT", "-D"});
    command_line_define = saved;
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair(std::string("LEVEL"), std::string("5")));
    EXPECT_EQ(seen[1], std::make_pair(std::string("CHEAT"), std::string("CHEAT")));
}

TEST(Options, ParseAnswersTheArgumentsConsumed) {
    reset_settings();
    char a0[] = "dravo", a1[] = "-DIR", a2[] = "x";
    char* argv[] = {a0, a1, a2};
    EXPECT_EQ(parse_command_line(3, argv), 3);
}

struct KeyCase {
    const char* text;
    bool ok;
    int code;
};

TEST(Options, KeyOptionText) {
    const KeyCase cases[] = {{"NONE", true, 0}, {"=none", true, 0}, {":W", true, 17},   {"=", false, -1},
                             {"", false, -1},   {"F11", true, 87},  {"EQUALS", true, 13}, {"=PERIOD", true, 52},
                             {"=9", true, 10},  {"MOUSE_LEFT", false, -1}, {"::W", false, -1}};
    for (const KeyCase& c : cases) {
        int code = -1;
        EXPECT_EQ(parse_key_option(c.text, &code), c.ok) << c.text;
        EXPECT_EQ(code, c.code) << c.text;
    }
}

TEST(Options, UsageTextIsExact) {
    CapturedConsole console;
    print_usage();
    EXPECT_EQ(console.text(), expected_usage_text);
}

}  // namespace
