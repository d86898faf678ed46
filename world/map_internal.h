// What the two map forms share: the number indexes of vertices and regions during a load,
// and the making of each record with the rules both forms follow. Not for other modules.
#pragma once

#include <cstdint>

#include "script/front/records.h"

struct MapLoadState {
    Vertex** vertices;        // by number, during one load
    int32_t vertex_count, vertex_capacity;
    Region** regions;         // by number
    int32_t region_count, region_capacity;
    bool out_of_memory;
    int32_t errors_at_start;  // the error count when the load began
};
extern MapLoadState map_state;

// Index of the vertices and regions that exist now; false when memory ran out.
bool map_index_begin();
void map_index_end();

// Null for a number that names nothing.
Vertex* map_vertex(int64_t number);
Region* map_region(int64_t number);

// Each returns null after a reported error or when memory ran out (map_state.out_of_memory).
Vertex* map_new_vertex(int32_t x, int32_t y, int32_t z);
// A REGION statement or record: a new instance, chained to the catalogue's region of the
// name when there is one, else the catalogue's region of the name.
Region* map_new_region(const char* name, int32_t floor_hgt, int32_t ceil_hgt);
// A region named in a reference: the catalogue's region of the name, or a new instance.
Region* map_region_named(const char* name);
MapObject* map_new_wall(const char* name);
MapObject* map_new_thing(const char* name, bool actor);
// Fills a wall's derived fields once its vertices are known.
void map_finish_wall(MapObject* wall, int32_t offset_x, int32_t offset_y);
// The new way of a name; its points (count pairs, taken over: malloc'd, may be null).
Way* map_new_way(const char* name, int32_t* points, int32_t count);
// Whether the player start of a map is skipped: database maps, or a node (up to
// `highest_node`) that has a player actor.
bool map_player_start_skipped(int highest_node);
void map_set_player_start(int32_t x, int32_t y, int32_t angle, Region* region);
// Advances the loading screen.
void map_progress();
// Whether any error was reported since the load began.
bool map_error_reported();
