// Level and world changes that scripts request (LEVEL, MAP, SCAN) and that loading a game
// of another level needs, and the request phase that serves them between simulation steps.
// Results: 2 level loaded, 1 world reloaded, -1 no palette, -3 a named file is missing
// (the current level goes on), -5 script errors.
#pragma once

#include <cstdint>

// LEVEL: a new script (and archive, and map; null map: the script's MAPFILE). `flags` are
// release categories added to 0x108 (the level's objects and resources).
int load_level(const char* wdl, const char* wrs, const char* map, uint32_t flags);
// MAP: a new map under the current script; the level-change set of the saved games stays.
int load_map_only(const char* map);
// SCAN: the definitions of the script are read again into the existing objects.
int reload_world(const char* wdl);

// The request phase: serves the level bits of the request word (0x4 LEVEL, 0x8 MAP, 0x80
// SCAN) with the names of the pending file request; other requests go to the saved-game
// and demo code. Answers the request's result for the frame loop.
int serve_world_request(int32_t request);
