// Texture assignment of the world model: putting a texture on a wall, thing or actor, or on
// a region's floor or ceiling, with what a change of texture restarts (the animation
// counter, the play mark, the current frame, the sky mark, a looping sound), and INFLATE,
// which makes a texture's scaled copy of its first frame.
#pragma once

#include <cstdint>

#include "script/front/records.h"

// Marks in Texture::state that INFLATE reads: the texture may be scaled (a title picture
// or a texture made for scaling), and a scaled copy freed by INFLATE 0 stays freed.
enum TextureStateBit : uint32_t {
    TEXSTATE_SCALABLE = 0x1,
    TEXSTATE_KEEP_SCALED = 0x2,
};

// keep = 0: the full assignment; keep != 0 leaves the animation state as it is.
void assign_wall_texture(MapObject* object, Texture* texture, int32_t keep);
void assign_floor_texture(Region* region, Texture* texture, int32_t keep);
void assign_ceiling_texture(Region* region, Texture* texture, int32_t keep);

// INFLATE texture, n.
void inflate_texture(Texture* texture, int32_t n);
// Frees the texture's scaled copy (its pixels too).
void free_scaled_copy(Texture* texture);
// The nearest-neighbour scaler that INFLATE falls back on: a new bitmap (in no list).
Bitmap* scale_bitmap_nearest(const Bitmap* source, int32_t width, int32_t height);
