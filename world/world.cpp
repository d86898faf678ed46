// The world's runtime state and its life outside the build: the reset before a world is
// described, the preparation of loaded resources, the finish of the loaded objects after
// the script, the level palette, the move marks of the region moves and the default
// placement.
#include "world/world.h"

#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "platform/video.h"
#include "resources/palette.h"
#include "script/exec/instruction.h"
#include "script/exec/interpreter.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/engine_vars.h"
#include "world/map_loader.h"
#include "world/textures.h"

WorldState world;
WorldHooks world_hooks;

// ---- Reset and preparation ---------------------------------------------------------------

void release_level_state() {
    world.actor_count = 0;
    world.actors[0] = nullptr;
    world.marked_count = 0;
    world.last_player_region = nullptr;
    if (world.map_made) std::memset(world.map_made, 0, size_t(world.map_made_capacity));
}

void reset_world() {
    clear_errors();
    reset_definitions();  // event slots, lists, node actors and the parser's block state
    reset_execution();    // both queues, the context, line input
    if (world_hooks.reset_compiler) world_hooks.reset_compiler();
    if (world_hooks.clear_display_layers) world_hooks.clear_display_layers();
    if (world_hooks.clear_key_bindings) world_hooks.clear_key_bindings();
    release_level_state();
    world.changed = 1;
    world.closing = false;
    reset_map_loader();
    loading_begin();
}

static void free_extra_of(int32_t kind, void* record, void** extra) {
    if (!*extra) return;
    if (release_hooks.free_extra) release_hooks.free_extra(kind, record);
    *extra = nullptr;
}

void prepare_level() {
    // Only what is derived goes: the objects themselves were just described and are about
    // to be built.
    for (Palette* p = catalogue.palettes; p; p = p->next) free_extra_of(KIND_PALETTE, p, &p->extra);
    palette_animation_restart();
    for (Texture* t = catalogue.textures; t; t = t->next) {
        free_scaled_copy(t);
        free_extra_of(KIND_TEXTURE, t, &t->extra);
    }
    for (Action* a = catalogue.actions; a; a = a->next) {
        a->resume = a->first;
        a->run_flags = 0;
        a->wait_counter = 0;
        if (a->first) a->first->addr_flags &= uint8_t(~ADDR_WAITING);
    }
    for (DataView* d = catalogue.dataviews; d; d = d->next) free_extra_of(KIND_DATAVIEW, d, &d->extra);
    world.changed = 1;
}

// ---- Regions after the script --------------------------------------------------------------

// An instance takes what its definition gave; its own place in the level stays.
static void copy_definition(Region* to, const Region* from) {
    Region keep = *to;
    std::memcpy((void*)to, (const void*)from, sizeof(Region));
    to->number = keep.number;
    to->next = keep.next;
    to->identity = keep.identity;
    to->objects = keep.objects;
    to->right_walls = keep.right_walls;
    to->floor_hgt = keep.floor_hgt;
    to->ceil_hgt = keep.ceil_hgt;
    to->top = keep.top;
    to->stack_position = keep.stack_position;
    to->same_kind = keep.same_kind;
    to->instance_chain = keep.instance_chain;
    to->status = keep.status;
    to->floor_countdown = keep.floor_countdown;
    to->floor_time_factor = keep.floor_time_factor;
    to->ceil_countdown = keep.ceil_countdown;
    to->ceil_time_factor = keep.ceil_time_factor;
    to->floor_bitmap = keep.floor_bitmap;
    to->ceil_bitmap = keep.ceil_bitmap;
    to->extra = keep.extra;
}

static bool is_definition(const Region* r) {
    if (!r->identity) return false;
    NameEntry* e = find_name_of_kind(r->identity, KIND_REGION);
    return e && e->object == r;
}

void finish_loaded_objects() {
    for (Region* r = catalogue.regions; r; r = r->next) {
        // A region the map did not make stands where its definition puts it.
        if (!region_from_map(r)) {
            if (r->defined & REGION_DEF_FLOOR_HGT) r->floor_hgt = fixed_from_double(r->def_floor_hgt);
            if (r->defined & REGION_DEF_CEIL_HGT) r->ceil_hgt = fixed_from_double(r->def_ceil_hgt);
        }
        if (r->instance_chain && is_definition(r)) {
            int guard = MAX_REGION_INSTANCES + 1;
            for (Region* i = r->instance_chain; i && guard-- > 0; i = i->instance_chain) copy_definition(i, r);
        }
    }
    for (Region* r = catalogue.regions; r; r = r->next) {
        if (r->floor_tex) assign_floor_texture(r, r->floor_tex, 0);
        if (r->ceil_tex) assign_ceiling_texture(r, r->ceil_tex, 0);
    }
}

// ---- Palette and finish --------------------------------------------------------------------

const Palette* first_palette() {
    const Palette* first = nullptr;
    for (const Palette* p = catalogue.palettes; p; p = p->next) first = p;
    return first;
}

void record_player_position() {
    world.last_player_region = (Region*)world_refs.player_region;
    var_set(SLOT_PLAYER_LAST_X, var_value(SLOT_PLAYER_X));
    var_set(SLOT_PLAYER_LAST_Y, var_value(SLOT_PLAYER_Y));
}

int finish_level() {
    const Palette* palette = world.level_palette ? world.level_palette : first_palette();
    if (!palette) {
        console_message("\r\ndravo: the level has no PALETTE");
        report_error("finish_level");
        return 1;
    }
    world.level_palette = palette;
    apply_palette(palette, PALETTE_BLEND);
    world.fade = 1024;
    world.fade_counter = 0;
    record_player_position();
    return 0;
}

void world_closing() { world.closing = true; }

// ---- Move marks --------------------------------------------------------------------------

void note_marked_vertex(Vertex* vertex) {
    if (world.marked_count == world.marked_capacity) {
        int32_t grown = world.marked_capacity ? world.marked_capacity * 2 : 256;
        Vertex** bigger = (Vertex**)std::realloc(world.marked, size_t(grown) * sizeof(Vertex*));
        if (!bigger) {
            // Without room the mark stays until the renderer rewrites the word.
            return;
        }
        world.marked = bigger;
        world.marked_capacity = grown;
    }
    world.marked[world.marked_count++] = vertex;
}

void clear_vertex_marks() {
    for (int32_t i = 0; i < world.marked_count; i++) world.marked[i]->view_distance &= ~int32_t(MOVED_MARKS);
    world.marked_count = 0;
}

void note_map_region(const Region* region) {
    if (!region || region->number < 0) return;
    if (region->number >= world.map_made_capacity) {
        int32_t grown = world.map_made_capacity ? world.map_made_capacity : 1024;
        while (grown <= region->number) grown *= 2;
        uint8_t* bigger = (uint8_t*)std::realloc(world.map_made, size_t(grown));
        if (!bigger) return;
        std::memset(bigger + world.map_made_capacity, 0, size_t(grown - world.map_made_capacity));
        world.map_made = bigger;
        world.map_made_capacity = grown;
    }
    world.map_made[region->number] = 1;
}

bool region_from_map(const Region* region) {
    return region && region->number >= 0 && region->number < world.map_made_capacity &&
           world.map_made[region->number];
}

// ---- Placement on flat floors --------------------------------------------------------------

// Whether the BELOW chains on the two sides of a wall differ in depth, or a pair of
// regions at the same depth does not overlap in height.
static bool stacks_differ(const Region* a, const Region* b) {
    for (int guard = 0; guard <= MAX_REGION_INSTANCES; guard++) {
        if (!a || !b) return a != b;
        if (!(a->floor_hgt < b->ceil_hgt && b->floor_hgt < a->ceil_hgt)) return true;
        a = a->below;
        b = b->below;
    }
    return false;
}

void place_object_flat(MapObject* o, int keep) {
    if (!o) return;
    if (o->flags & OBJ_THING) {
        o->flags |= OBJ_SAVE;
        Region* r = o->region;
        if (!r) return;
        Vertex* v = o->vertex1;
        if (o->flags & OBJ_GROUND) {
            if (v) v->z = 0;
            if (!keep) {
                int guard = MAX_REGION_INSTANCES;
                while (r->below && r->below->ceil_hgt > o->height && guard-- > 0) r = r->below;
                o->region = r;
            }
        } else if (v) {
            v->z = (o->flags & OBJ_CANDELABER) ? r->ceil_hgt - o->size_y : r->floor_hgt;
        }
        o->floor_hgt = r->floor_hgt;
        return;
    }
    if (keep) return;
    o->flags |= OBJ_SAVE;
    if (stacks_differ(o->region, o->right_region)) o->status |= OBJSTATUS_STACKS_DIFFER;
    else o->status &= ~OBJSTATUS_STACKS_DIFFER;
    if (o->angle > 0 && o->vertex1 && o->vertex2)
        o->wall_slope = int32_t((int64_t(o->vertex2->z) - o->vertex1->z) * 1024 / o->angle);
}

void place_object_hooked(MapObject* object, int keep) {
    if (world_hooks.place_object) world_hooks.place_object(object, keep);
    else place_object_flat(object, keep);
}
