// The world model: the runtime state of the one level beside the catalogue's records
// (vertices, regions, map objects and ways live in the catalogue's lists; see
// script/front/records.h), and the steps that turn a freshly read script and map into a
// playable level: the world reset, the preparation of loaded resources, the finish of the
// loaded objects, the build (stacks, region object lists, actor table, placement) and the
// finish that installs the palette.
//
// Region moves are in world/region_moves.h, texture assignment in world/textures.h,
// definitions and templates in world/templates.h, the level changes that scripts request in
// world/level_change.h and the map loader in world/map_loader.h.
#pragma once

#include <cstdint>

#include "script/front/records.h"

constexpr int MAX_ACTORS = 1023;         // actors the actor loop moves
constexpr int MAX_REGION_INSTANCES = 20000;
constexpr int32_t CLIP_DIST_LIMIT = 0x3FFFFFF;

// The already-moved marks of the region moves, in a vertex's view distance word. The
// renderer rewrites that word whenever the world changed; the world also clears the marks
// it set at the start of every simulation step.
enum VertexMoveMark : int32_t {
    MOVED_BY_ROTATE = 1 << 27,
    MOVED_BY_SHIFT = 1 << 28,
    MOVED_BY_LIFT = 1 << 29,
    MOVED_BY_TILT = 1 << 30,
    MOVED_MARKS = MOVED_BY_ROTATE | MOVED_BY_SHIFT | MOVED_BY_LIFT | MOVED_BY_TILT,
};

// Bits of MapObject::status that the world model owns (high bits: the low ones are the
// per-object event marks of the actor code).
enum ObjectStatusBit : uint32_t {
    OBJSTATUS_STACKS_DIFFER = 0x80000000u,  // wall: the two sides' BELOW chains differ
    OBJSTATUS_SKY = 0x40000000u,            // the texture is a sky
    OBJSTATUS_PLACEHOLDER = 0x20000000u,    // made by a definition block, not by the map
};
// Bits of Region::status that the world model owns.
enum RegionStatusBit : uint32_t {
    REGSTATUS_FLOOR_SKY = 0x80000000u,
    REGSTATUS_CEIL_SKY = 0x40000000u,
};

struct WorldState {
    MapObject* actors[MAX_ACTORS + 1];  // collected at build, ended by a null entry
    int32_t actor_count;
    int32_t changed;                    // the world changed: the renderer redraws
    int32_t fade;                       // palette fade state: 1024 full
    int32_t fade_counter;
    const Palette* level_palette;       // the palette bound for the level
    Region* last_player_region;         // recorded after a successful build
    bool closing;                       // the world is being closed

    // Vertices that the region moves marked during this step (so that the marks can be
    // cleared without walking every vertex).
    Vertex** marked;
    int32_t marked_count, marked_capacity;

    // Regions the map loader made (by number): their heights come from the map, not from
    // the definition.
    uint8_t* map_made;
    int32_t map_made_capacity;
};
extern WorldState world;

// Operations of subsystems that the world model calls but does not own. Each is filled by
// its subsystem when it is built into the engine; an empty entry falls back to what the
// world can do alone (documented per entry).
struct WorldHooks {
    // Placement of a thing or wall on its floor (keep: do not move down the stack).
    // Empty: a placement on flat floors and ceilings (no slopes).
    void (*place_object)(MapObject* object, int keep);
    // Texture animation: make the frame of the counter current for an object or region
    // floor/ceiling. Empty: the first side's frame of the counter's cycle is shown.
    void (*show_object_frame)(MapObject* object);
    void (*show_region_frame)(Region* region, bool ceiling);
    // A flic texture is rewound before it is assigned. Empty: nothing.
    void (*rewind_flic_texture)(Texture* texture);
    // The looping sound of a texture that is replaced is stopped. Empty: nothing.
    void (*stop_texture_sound)(Texture* texture, void* owner);
    // Image scaler: a copy of `source` scaled to width x height. Empty: nearest neighbour.
    Bitmap* (*scale_bitmap)(const Bitmap* source, int32_t width, int32_t height, const Palette* palette);
    // Display layers, key bindings and other per-world state of other subsystems cleared
    // by the world reset. Empty: nothing.
    void (*clear_display_layers)();
    void (*clear_key_bindings)();
    void (*reset_compiler)();
    // Level changes: the screen settings go to the platform; the view and the sound state
    // restart; the map-only change keeps the level-change set of the saved games.
    void (*apply_screen_settings)();
    void (*restart_view_and_sound)();
    void* (*snapshot_level_set)();
    void (*restore_level_set)(void* snapshot);
    // The rest of the pending requests (saved games, demos): their result.
    int (*serve_other_request)(int32_t request);
};
extern WorldHooks world_hooks;

// ---- The world's life ------------------------------------------------------------------

// Clears the level state before a world is described: the error store, the script's
// world-level results (event slots, lists, node actors), the action queues and context,
// display layers, key bindings; the loading screen becomes active.
void reset_world();
// Drops what is derived from the loaded resources (palette tables, scaled textures, action
// run states, view data) so that it is rebuilt for the new level.
void prepare_level();
// After the script: every region instance takes the fields of its definition (the first
// instance of its name); regions that the map did not make take their defined heights.
void finish_loaded_objects();
// Builds the level (only when a map was loaded): private BELOW regions, stacks, region
// object lists, the actor table, CURTAIN walls, the map extents, then placement.
void build_level();
// Applies the level palette (the first PALETTE definition): 0, or 1 (a script error) when
// there is none.
int finish_level();
// The world is closing: a load in progress must not start another.
void world_closing();

// The level's palette: the first PALETTE definition (the oldest in the catalogue's list).
const Palette* first_palette();
// The player's region and PLAYER_LAST_X/Y after a successful build.
void record_player_position();

// Clears the move marks set in this step (called at the start of every simulation step).
void clear_vertex_marks();
// Records that a region move marked a vertex.
void note_marked_vertex(Vertex* vertex);
// Marks a region as made by the map loader.
void note_map_region(const Region* region);
bool region_from_map(const Region* region);
// Forgets the level's runtime records (the catalogue frees the records themselves).
void release_level_state();

// The default placement (flat floors), also used by the tests.
void place_object_flat(MapObject* object, int keep);
// Calls the installed placement, or the default one.
void place_object_hooked(MapObject* object, int keep);

// Connects the world model to the engine's stages, phases and the interpreter's operations.
void install_world_operations();
