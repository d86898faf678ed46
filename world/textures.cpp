// Texture assignment and INFLATE.
#include "world/textures.h"

#include <cstdlib>
#include <cstring>

#include "world/world.h"

namespace {

// The animation state a slot of a wall, thing, actor, floor or ceiling keeps.
struct Slot {
    Texture** texture;
    int32_t* counter;     // CYCLE, FLOOR_CYCLE, CEIL_CYCLE
    uint32_t* flags;      // where the play mark goes
    uint32_t play_mark;   // PLAY, PLAY_F, PLAY_C
    uint32_t* status;     // where the sky mark goes
    uint32_t sky_mark;
    void* owner;
};

// The frame of the counter on the first side, when nothing else shows frames.
Bitmap* counter_frame(const Texture* t, int32_t counter) {
    if (!t || !t->frames || t->frame_count <= 0) return nullptr;
    int32_t cycles = t->cycles > 0 ? t->cycles : 1;
    int32_t c = (counter >> 10) - 1;
    if (c < 0) c = 0;
    if (c >= cycles) c = cycles - 1;
    if (c >= t->frame_count) c = t->frame_count - 1;
    return t->frames[c].bitmap;
}

// What every slot shares; answers whether the animation state was restarted.
bool assign(const Slot& s, Texture* texture, int32_t keep) {
    Texture* previous = *s.texture;
    if (texture && (texture->flags & TEX_FLIC) && world_hooks.rewind_flic_texture) world_hooks.rewind_flic_texture(texture);
    if (previous && (previous->flags & TEX_SLOOP) && world_hooks.stop_texture_sound)
        world_hooks.stop_texture_sound(previous, s.owner);
    *s.texture = texture;
    bool restarted = false;
    if (!keep && texture) {
        if (texture != previous || *s.counter == 0) *s.counter = 1024;
        if (!(texture->flags & TEX_ONESHOT)) *s.flags |= s.play_mark;
        restarted = true;
    }
    if (texture && (texture->flags & TEX_SKY)) *s.status |= s.sky_mark;
    else *s.status &= ~s.sky_mark;
    world.changed = 1;
    return restarted;
}

}  // namespace

void assign_wall_texture(MapObject* o, Texture* texture, int32_t keep) {
    if (!o) return;
    Slot s = {&o->texture, &o->cycle, &o->flags, OBJ_PLAY, &o->status, OBJSTATUS_SKY, o};
    if (!assign(s, texture, keep)) return;
    if (world_hooks.show_object_frame) world_hooks.show_object_frame(o);
    else o->bitmap = counter_frame(texture, o->cycle);
}

void assign_floor_texture(Region* r, Texture* texture, int32_t keep) {
    if (!r) return;
    Slot s = {&r->floor_tex, &r->floor_cycle, &r->flags, REGION_PLAY_F, &r->status, REGSTATUS_FLOOR_SKY, r};
    if (!assign(s, texture, keep)) return;
    if (world_hooks.show_region_frame) world_hooks.show_region_frame(r, false);
    else r->floor_bitmap = counter_frame(texture, r->floor_cycle);
}

void assign_ceiling_texture(Region* r, Texture* texture, int32_t keep) {
    if (!r) return;
    Slot s = {&r->ceil_tex, &r->ceil_cycle, &r->flags, REGION_PLAY_C, &r->status, REGSTATUS_CEIL_SKY, r};
    if (!assign(s, texture, keep)) return;
    if (world_hooks.show_region_frame) world_hooks.show_region_frame(r, true);
    else r->ceil_bitmap = counter_frame(texture, r->ceil_cycle);
}

// ---- INFLATE -------------------------------------------------------------------------------

void free_scaled_copy(Texture* t) {
    if (!t || !t->scaled) return;
    std::free(t->scaled->pixels);
    std::free(t->scaled);
    t->scaled = nullptr;
}

Bitmap* scale_bitmap_nearest(const Bitmap* source, int32_t width, int32_t height) {
    if (!source || !source->pixels || source->width <= 0 || source->height <= 0 || width <= 0 || height <= 0)
        return nullptr;
    if (int64_t(width) * height > (int64_t(1) << 26)) return nullptr;
    Bitmap* out = (Bitmap*)std::calloc(1, sizeof(Bitmap));
    if (!out) return nullptr;
    out->pixels = (uint8_t*)std::malloc(size_t(width) * size_t(height));
    if (!out->pixels) {
        std::free(out);
        return nullptr;
    }
    out->width = width;
    out->height = height;
    std::memcpy(out->file, source->file, sizeof out->file);
    // Column bitmaps: columns left to right, each from its bottom pixel up.
    for (int32_t x = 0; x < width; x++) {
        const uint8_t* column = source->pixels + size_t(int64_t(x) * source->width / width) * size_t(source->height);
        uint8_t* to = out->pixels + size_t(x) * size_t(height);
        for (int32_t y = 0; y < height; y++) to[y] = column[int64_t(y) * source->height / height];
    }
    return out;
}

void inflate_texture(Texture* t, int32_t n) {
    if (!t || !(t->state & TEXSTATE_SCALABLE)) return;
    const Bitmap* source = t->frames && t->frame_count > 0 ? t->frames[0].bitmap : nullptr;
    const Palette* palette = world.level_palette ? world.level_palette : first_palette();
    if (!source || !source->pixels || !palette) return;
    free_scaled_copy(t);
    if (n == 0 && (t->state & TEXSTATE_KEEP_SCALED)) return;
    t->scaled = world_hooks.scale_bitmap ? world_hooks.scale_bitmap(source, source->width, source->height, palette)
                                         : scale_bitmap_nearest(source, source->width, source->height);
    world.changed = 1;
}
