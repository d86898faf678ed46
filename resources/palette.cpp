// Applying palettes, fades and the palette animation.
#include "resources/palette.h"

#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "platform/video.h"
#include "resources/image.h"
#include "resources/light_tables.h"
#include "script/front/catalogue.h"
#include "script/front/engine_vars.h"

PaletteState palette_state;

bool palette_range_valid(int32_t first, int32_t count) {
    return first >= 2 && first <= 254 && count >= 2 && int64_t(first) + count <= 256;
}

// The presenter converts the display palette for the screen; a copy stays here for the
// saved game, the debug panel and the tests.
static void send_to_presenter(const uint8_t* rgb) {
    if (rgb != palette_state.display) std::memcpy(palette_state.display, rgb, 768);
    palette_state.presented++;
    set_palette(palette_state.display);
}

// The colours of COLOR_WALLS and COLOR_BORDER as whole numbers (0 for a removed variable).
static void automap_colours(int* walls, int* border) {
    *walls = var_value(SLOT_COLOR_WALLS) >> 10;
    *border = var_value(SLOT_COLOR_BORDER) >> 10;
}

void fade_colours(const uint8_t* from, const uint8_t* to, int32_t amount, uint8_t* out) {
    if (amount < 0) amount = 0;
    if (amount > PALETTE_FULL) amount = PALETTE_FULL;
    for (int i = 0; i < 768; i++) {
        int a = from[i] & 63, t = to[i] & 63;
        out[i] = uint8_t((a * 1024 + (t - a) * amount) >> 10);
    }
}

static void rebuild_light_table(const Palette* palette) {
    if (!light_tables.block) return;
    ColourRange ranges[24];
    int count = palette->range_count;
    if (count < 0) count = 0;
    if (count > 24) count = 24;
    for (int n = 0; n < count; n++) ranges[n] = {palette->ranges[n].first, palette->ranges[n].count};
    LightSource source = {palette->colors, ranges, count, (palette->flags & PALETTE_HARD) != 0,
                          (palette->flags & PALETTE_AUTORANGE) != 0};
    int walls, border;
    automap_colours(&walls, &border);
    build_light_table(source, light_tables.block, walls, border, &automap_range_lengths);
}

void apply_palette(const Palette* palette, int32_t amount) {
    if (!palette) return;
    if (amount < 0) amount = 0;
    PaletteState& s = palette_state;
    if (amount < PALETTE_FULL) {
        fade_colours(s.current_rgb, palette->colors, amount, s.display);
        send_to_presenter(s.display);
        return;
    }
    s.current = palette;
    std::memcpy(s.current_rgb, palette->colors, 768);
    send_to_presenter(palette->colors);
    if (amount >= PALETTE_BLEND && (palette->flags & PALETTE_BLUR) &&
        !(s.blend_built && std::memcmp(s.blend_rgb, palette->colors, 768) == 0)) {
        build_blend_table(palette->colors, blend_table);
        std::memcpy(s.blend_rgb, palette->colors, 768);
        s.blend_built = true;
    }
    if (amount >= PALETTE_LIGHTS) rebuild_light_table(palette);
}

const Palette* next_animation_palette(const Palette* list, int32_t last) {
    const Palette* above = nullptr;
    const Palette* lowest = nullptr;
    for (const Palette* p = list; p; p = p->next) {
        if (p->cycle == 0) continue;
        if (p->cycle > last && (!above || p->cycle < above->cycle)) above = p;
        if (!lowest || p->cycle < lowest->cycle) lowest = p;
    }
    return above ? above : lowest;
}

void palette_animation_step(int32_t period, int32_t elapsed) {
    palette_animation_step_in(catalogue.palettes, period, elapsed);
}

void palette_animation_step_in(const Palette* list, int32_t period, int32_t elapsed) {
    if (period < 1) return;
    PaletteState& s = palette_state;
    s.animation_time += elapsed;
    if (s.animation_time < period) return;
    s.animation_time -= period;
    const Palette* next = next_animation_palette(list, s.animation_cycle);
    if (!next) return;
    send_to_presenter(next->colors);
    s.animation_cycle = next->cycle;
}

void palette_animation_restart() {
    palette_state.animation_time = 0;
    palette_state.animation_cycle = PALETTE_FULL;
}

const Palette* current_palette() {
    for (const Palette* p = catalogue.palettes; p; p = p->next)
        if (p == palette_state.current) return p;
    return nullptr;
}

void forget_current_palette() {
    palette_state.current = nullptr;
    palette_state.animation_time = 0;
    palette_state.animation_cycle = 0;
}

bool load_palette_file(Palette* palette, const char* file_name) {
    uint8_t* image = decode_image_file(file_name);
    if (!image) return false;
    free_image(image);
    if (!image_palette.present) {
        console_message("dravo: palette %s: the image carries no palette\n", file_name);
        report_error("load_palette_file");
        return false;
    }
    std::memcpy(palette->colors, image_palette.rgb, 768);
    palette->loaded = 1;
    return true;
}
