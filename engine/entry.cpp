// The process entry and the engine entry: start-up, the main loop and the shutdown order.
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/engine.h"
#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/options.h"
#include "engine/phases.h"
#include "engine/settings.h"
#include "engine/stages.h"
#include "platform/video.h"

uint8_t engine_state;
int start_failure;
char executable_path[260];
int frames_run;

namespace {

const char* const about_text =
    "dravo " DRAVO_VERSION " - a runtime for MIRDAL 3 engine games\n"
    "Plays WDL worlds, maps and resource archives on desktop Linux.\n";

bool message_box(const char* title, const char* text) { return show_fatal_box(title, text); }

void main_loop() {
    frames_run = 0;
    while (engine_state & ENGINE_RUNNING) {
        if (stage_ops.pump_events && stage_ops.pump_events()) continue;
        frame_tick();
        frames_run++;
        // "-FRAMES n" ends an unattended run after n frames.
        if (settings.frames > 0 && frames_run >= settings.frames) engine_state &= uint8_t(~ENGINE_RUNNING);
    }
}

template <typename F>
void call(F* fn) {
    if (fn) fn();
}

}  // namespace

int engine_main(int argc, char** argv) {
    std::snprintf(executable_path, sizeof executable_path, "%s", argc > 0 ? argv[0] : "");
    error_context.message_box = message_box;
    install_engine_operations();
    parse_command_line(argc, argv);
    // A usage request needs no window: the text alone is printed.
    bool usage = argc < 2 || is_usage_request(argv[1]);
    if (!usage && !start_video()) fatal_stop("Cannot create the main window.");
    if (open_world(argc, argv)) {
        engine_state |= ENGINE_RUNNING;
        call(stage_ops.start_input);
        main_loop();
    }
    close_world();
    call(stage_ops.release_data_file);
    call(stage_ops.close_audio);
    call(stage_ops.close_archive);
    close_video();
    call(stage_ops.close_joystick);
    free_frame_buffers();
    // A start stopped by error reports or by too little memory is a failure, not a success.
    return start_failure == START_ERRORS || start_failure == START_MEMORY ? 1 : 0;
}

int program_main(int argc, char** argv) {
    bool console = false;
    for (int i = 1; i < argc; i++)
        if (strcasecmp(argv[i], "-CONSOLE") == 0) console = true;
    (void)console;  // read again by the launcher once it exists
    // A usage request prints the usage text alone.
    if (!(argc > 1 && is_usage_request(argv[1]))) console_text(about_text);
    // Without arguments a known game beside the program or the launcher would start; until
    // they exist the engine answers with its usage text.
    return engine_main(argc, argv);
}
