// The region moves of the instruction set: LIFT, TILT, ROTATE and SHIFT act on what stands
// in a region's stack (the walls whose right side is its stack base, the stack base's
// object list, then the actors in this region). Each vertex moves at most once per step and
// kind of move (the marks in its view distance word); every moved object is placed again.
#pragma once

#include <cstdint>

#include "script/front/records.h"

// LIFT: walls' vertices z += dz; things: HEIGHT += dz with GROUND, else their z += dz.
void lift_region(Region* region, int32_t dz);
// TILT: the same values multiplied by f (22.10, rounded to nearest).
void tilt_region(Region* region, int32_t f);
// ROTATE: every vertex turns by the angle about the region's GENIUS (nothing without one);
// the GENIUS turns too, and so does the player standing in a STICKY region.
void rotate_region(Region* region, int32_t angle);
// SHIFT: every vertex moves by (dx, dy).
void shift_region(Region* region, int32_t dx, int32_t dy);
