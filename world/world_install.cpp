// Connects the world model to the engine: the start-up stages, the request phase, the
// per-step clearing of the move marks, the interpreter's world operations, the definitions'
// object blocks and the catalogue's release of the level.
#include "engine/frame.h"
#include "engine/stages.h"
#include "script/exec/exec_ops.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "world/level_change.h"
#include "world/map_loader.h"
#include "world/region_moves.h"
#include "world/templates.h"
#include "world/textures.h"
#include "world/world.h"

namespace {

void (*previous_release_level)() = nullptr;

// The catalogue is about to free the level's records: nothing of the world may point at
// them afterwards.
void release_level() {
    free_templates();
    release_level_state();
    if (previous_release_level) previous_release_level();
}

int finish_level_stage() { return finish_level(); }

}  // namespace

void install_world_operations() {
    stage_ops.reset_world = reset_world;
    stage_ops.load_map = load_map;
    stage_ops.finish_loaded_objects = finish_loaded_objects;
    stage_ops.prepare_level = prepare_level;
    stage_ops.build_level = build_level;
    stage_ops.finish_level = finish_level_stage;
    stage_ops.world_closing = world_closing;

    phase_ops.serve_request = serve_world_request;
    phase_ops.step_start = clear_vertex_marks;

    exec_ops.set_object_texture = assign_wall_texture;
    exec_ops.set_floor_texture = assign_floor_texture;
    exec_ops.set_ceil_texture = assign_ceiling_texture;
    exec_ops.shift_region = shift_region;
    exec_ops.lift_region = lift_region;
    exec_ops.tilt_region = tilt_region;
    exec_ops.rotate_region = rotate_region;
    exec_ops.inflate_texture = inflate_texture;


    if (release_hooks.release_level != release_level) {
        previous_release_level = release_hooks.release_level;
        release_hooks.release_level = release_level;
    }
}
