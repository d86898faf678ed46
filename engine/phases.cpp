// The one place that connects the spine to the subsystems: each built subsystem's
// operation goes into its phase or stage entry here.
#include "engine/phases.h"

#include "engine/frame.h"
#include "engine/options.h"
#include "engine/settings.h"
#include "engine/stages.h"
#include "platform/events.h"
#include "platform/video.h"
#include "resources/archive.h"
#include "resources/palette.h"
#include "script/front/engine_vars.h"
#include "script/exec/interpreter.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"
#include "script/front/world_script.h"
#include "world/world.h"

// "-D name,value" defines a protected name for the script's preprocessor.
static void define_from_command_line(const char* name, const char* value) {
    define(name, value, TOKEN_WORD, DEFINE_COMMAND_LINE);
}

// The archive the WRS setting names; ".WRS" alone means none was given. A game without an
// archive reads its files from the disk.
static int open_game_archive(const char* wrs_name) {
    if (!wrs_name[0] || wrs_name[0] == '.') return 0;
    int entries = open_archive(wrs_name);
    return entries < 0 ? 0 : entries;
}

// Palette animation steps once per simulation step with PALANIM_DELAY as its period.
static void animate_palette(int32_t time_corr) { palette_animation_step(var_value(SLOT_PALANIM_DELAY), time_corr); }

void install_engine_operations() {
    catalogue_init();
    command_line_define = define_from_command_line;
    phase_ops.present = present_frame;
    phase_ops.eye_buffer = set_eye_buffer;
    stage_ops.pump_events = pump_events;
    stage_ops.open_archive = open_game_archive;
    stage_ops.close_archive = close_archive;
    phase_ops.palette_anim = animate_palette;
    install_definition_handlers();
    reset_definitions();
    install_exec_operations();
    stage_ops.create_screen = create_script_screen;
    install_world_operations();
}
