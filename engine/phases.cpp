// The one place that connects the spine to the subsystems: each built subsystem's
// operation goes into its phase or stage entry here.
#include "engine/phases.h"

#include "engine/frame.h"
#include "engine/stages.h"
#include "platform/events.h"
#include "platform/video.h"

void install_engine_operations() {
    phase_ops.present = present_frame;
    phase_ops.eye_buffer = set_eye_buffer;
    stage_ops.pump_events = pump_events;
}
