// The one place that connects the spine to the subsystems: each built subsystem's
// operation goes into its phase or stage entry here.
#include "engine/phases.h"

#include "engine/frame.h"
#include "engine/stages.h"
#include "engine/options.h"
#include "platform/events.h"
#include "platform/video.h"
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

void install_engine_operations() {
    catalogue_init();
    command_line_define = define_from_command_line;
    phase_ops.present = present_frame;
    phase_ops.eye_buffer = set_eye_buffer;
    stage_ops.pump_events = pump_events;
    install_definition_handlers();
    reset_definitions();
    install_exec_operations();
    stage_ops.create_screen = create_script_screen;
    install_world_operations();
}
