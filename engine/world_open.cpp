// Opening the world: the start-up settings, the description of the world (archive, map,
// script) and the building of the level, each stage ending with an error check; and the
// closing of the world at shutdown.
#include <cstdio>
#include <cstring>

#include "engine/clock.h"
#include "engine/console.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/memory.h"
#include "engine/options.h"
#include "engine/random.h"
#include "engine/settings.h"
#include "engine/stages.h"
#include "platform/video.h"
#include "script/front/catalogue.h"
#include "script/front/engine_vars.h"
#include "script/front/reader.h"

StageOps stage_ops;
uint32_t build_wait_ms = 3000;

namespace {

int64_t nexus_free_kb;  // free memory measured at the end of the description

template <typename F>
void call(F* fn) {
    if (fn) fn();
}

void release_world() { release_objects(0x12F); }

// Waits without spinning a core: short sleeps until the time has passed.
void wait_ms(uint32_t ms) {
    uint64_t start = clock_ms();
    while (clock_ms() - start < ms) {
        uint64_t left = ms - (clock_ms() - start);
        clock_sleep_ms(uint32_t(left < 20 ? left : 20));
    }
}

void start_up_settings(int argc, char** argv) {
    reset_settings();
    reset_reader();
    call(stage_ops.reset_world);
    call(stage_ops.clear_input);
    settings.sound_request = 32;
    settings.music_request = 4;
    engine_reseed(1);
    error_store.report_armed = 1;
    // The configuration file and the game profile are applied around this parse once they exist.
    parse_command_line(argc, argv);
}

// False when the audio device failed for want of memory.
bool open_audio_messages() {
    if (!settings.timer) {
        console_message("\nTest run without sound, music, CD audio & timer");
        return true;
    }
    int result = stage_ops.open_audio ? stage_ops.open_audio(settings.sound_request, settings.music_request) : 0;
    if (result < 0) {
        release_world();
        console_message("\nSound device malfunction - out of memory or disk space!");
        return false;
    }
    const char* sound = stage_ops.sound_device_name ? stage_ops.sound_device_name() : nullptr;
    const char* music = stage_ops.music_device_name ? stage_ops.music_device_name() : nullptr;
    if (sound) console_message("\n%s activated for polyphonic sound", sound);
    else if (settings.sound_request != 64) console_message("\nNo sound device found - sound shutdown");
    if (music) {
        console_message("\n%s activated for music", music);
    } else if (settings.music_request != 128) {
        console_message("\nNo music device found - music shutdown");
        const char* reason = stage_ops.music_failure_reason ? stage_ops.music_failure_reason() : nullptr;
        if (reason) console_message("\n%s", reason);
    }
    return true;
}

bool describe_world() {
    engine_reseed(1);
    if (settings.demo_record) console_message("\nRecord Mode active");
    if (settings.demo_replay) console_message("\nReplay Mode active");
    bool mouse = false, joystick = false;
    if (stage_ops.detect_devices) stage_ops.detect_devices(&mouse, &joystick);
    if (mouse) console_message("\nMouse found");
    if (joystick) console_message("\nJoystick found");
    if (!open_audio_messages()) return false;
    if (settings.display_flags & 4) console_message("\nStereoscopic mode activated");
    loading_begin();
    loading_update("Opening the world");

    int resources = stage_ops.open_archive ? stage_ops.open_archive(settings.wrs_name) : 0;
    int free_kb = int(free_memory_bytes() / 1024);
    if (resources < 3)
        console_message("\nWorld definition %s opened... %d KB virtual memory free\n", settings.wdl_name, free_kb);
    else
        console_message("\nRarod opened - %d resources found - %d KB virtual memory free\n", resources, free_kb);

    char map_name[13] = "";
    if (read_mapfile_name(settings.wdl_name, map_name) == 1)
        std::snprintf(settings.map_from_script, sizeof settings.map_from_script, "%s", map_name);
    if (check_errors_and_stop("\nVovorev failed - invalid WDL file")) return false;
    if (settings.map_override[0])
        std::snprintf(settings.map_from_script, sizeof settings.map_from_script, "%s", settings.map_override);

    if (create_predefined_synonyms() == 1 && create_engine_variables() == 0 && stage_ops.load_map) {
        if (stage_ops.load_map(settings.map_from_script) == -2) error_store.error_count++;
    }
    if (check_errors_and_stop("\nVovorev failed - invalid WMP file")) return false;
    if (settings.node >= 0) call(stage_ops.start_network);

    console_message("\r\nVovorev - scanning world description...");
    loading_update("Scanning world description");
    if (settings.internal_wdl) read_internal_wdl();
    if (error_store.error_count == 0) read_file(settings.wdl_name);
    drop_defines(0);
    if (check_errors_and_stop("\nVovorev failed - invalid database file")) return false;
    call(stage_ops.finish_loaded_objects);

    nexus_free_kb = free_memory_bytes() / 1024;
    if (nexus_free_kb <= 1024) {
        console_message("\nOut of memory or disk space - engine shutdown\n");
        release_world();
        start_failure = START_MEMORY;
        return false;
    }
    return true;
}

bool build_level_stage() {
    engine_reseed(1);
    console_message("\nInitializing nexus - %u KB virtual memory left\n", unsigned(nexus_free_kb));
    call(stage_ops.prepare_level);
    if (check_errors_and_stop("\nVovorev failed - invalid database file")) return false;
    if (error_store.error_count) {
        release_world();
        return false;
    }
    wait_ms(build_wait_ms);
    if (stage_ops.create_screen && stage_ops.create_screen() < 0) {
        console_message("\nRarod malfunction - out of memory or disk space!");
        release_world();
        return false;
    }
    loading_update("Building the level");
    call(stage_ops.build_level);
    free_memory_bytes();
    bool failed = stage_ops.finish_level && stage_ops.finish_level() != 0;
    if (settings.timer) restart_frame_timer();
    first_picture();
    call(stage_ops.demo_first_record);
    return !failed;
}

}  // namespace

int open_world(int argc, char** argv) {
    settings.display_flags = 3;
    start_up_settings(argc, argv);
    if (argc < 2 || is_usage_request(argv[1])) {
        print_usage();
        engine_state &= uint8_t(~ENGINE_OPENED);
        start_failure = START_USAGE;
        return 0;
    }
    if (free_memory_bytes() / 1024 < 4096) {
        console_message("\nInsufficient memory or disk space... Program shutdown\n");
        start_failure = START_MEMORY;
        return 0;
    }
    engine_state |= ENGINE_OPENED;
    start_failure = START_ERRORS;
    if (!describe_world()) {
        engine_state &= uint8_t(~ENGINE_DESCRIBED);
        return 0;
    }
    engine_state |= ENGINE_DESCRIBED;
    if (!build_level_stage()) {
        engine_state &= uint8_t(~ENGINE_BUILT);
        return 0;
    }
    engine_state |= ENGINE_BUILT;
    start_failure = START_OK;
    return 1;
}

void close_world() {
    call(stage_ops.world_closing);
    call(stage_ops.stop_audio);
    release_world();
    int result = frame_timing.request_result;
    if (result == -5 || result == -6) {
        console_message("%s", "");
        console_message("\nEngine abort - memory overrun or corrupt file at level %s\n\n", settings.wdl_name);
    } else {
        error_store.box_suppressed = 1;
    }
    // Reports that a start-up stage has listed already are not listed again as runtime errors.
    if (error_store.error_count > error_store.listed_count) check_errors_and_stop("\nRuntime errors\n");
}
