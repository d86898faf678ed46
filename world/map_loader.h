// The map loader: reads a level map (.WMP text statements, or a binary file of tagged
// records when the name ends in ".bin") into the records of the world model: vertices,
// region instances chained by name, walls, things, actors, ways and the player's start.
// Both forms produce the same records. Faults are script errors reported at the map line
// (text) or record (binary); a load ends at the statement or record after the first error.
#pragma once

#include <cstdint>

#include "script/front/records.h"

struct MapLoader {
    double offset_x, offset_y;  // added to every vertex and thing position (database maps)
    int32_t vertex_base;        // added to every vertex number a wall names
    int32_t region_base;        // added to every region number of walls and things
    int32_t map_loaded;         // 0 when no map was named, else 1
    bool database_mode;         // database objects are loaded: player starts are skipped
    MapObject* map_end;         // the last map object the map made
};
extern MapLoader map_loader;

// The optional hook that receives the 36 header bytes after the leading zero word of a
// binary map; false stops the load. None is installed by default.
extern bool (*binary_map_header_hook)(const uint8_t* bytes, int32_t count);

// 0 success (also for an empty name or one that starts with a blank: no map), -1 when the
// file cannot be read (reported as an error naming the file), -2 when the map has an error
// or memory runs out.
int load_map(const char* name);
// The two forms from memory (tests, fuzzers, the database maps). `name` is what error
// reports call the file. The text must hold size + 1 writable bytes.
int load_map_text(char* text, int32_t size, const char* name);
int load_map_binary(const uint8_t* data, int32_t size, const char* name);

// Back to the level map: no offsets, no bases, no database mode, no map loaded.
void reset_map_loader();
// Sets the bases for a database map so that its numbers name its own records: the highest
// vertex and region numbers + 1 (the count of each, since numbers run from 0 without gaps).
void set_database_bases();

// LENGTH of a wall between two vertices: trunc(sqrt(S / 1024) x 1024) with
// S = (dx*dx >> 10) + (dy*dy >> 10), all in 64 bits; cut to the int32 range.
int32_t wall_length(const Vertex* a, const Vertex* b);
// Degrees (0..360) as fixed-point radians: value x 6.28318531 / 360 x 1024, truncated.
int32_t angle_from_degrees(double degrees);
// A way point coordinate: trunc(trunc(v x 1000) / 1000 x 1024) with the intermediate as a
// 32-bit float.
int32_t way_coordinate(double value);
