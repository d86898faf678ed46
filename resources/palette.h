// The palette machinery of the 8-bit renderer: applying a PALETTE object (a fade toward it,
// or a switch that makes it current and rebuilds the light and blend tables), stepping the
// palette animation, and loading a palette's colours from an image file. Colours are 768
// bytes of 6-bit red, green, blue; the presenter receives the display palette in that form.
#pragma once

#include <cstdint>

#include "script/front/records.h"

// FLAGS of a PALETTE definition. The definitions parser binds the script's flag names to
// these bits and the light table builder tests them, so both read them from here.
constexpr uint32_t PALETTE_HARD = 0x1;       // darken each range by its whole length
constexpr uint32_t PALETTE_AUTORANGE = 0x2;  // rows 0..15 by colour matching toward colour 1
constexpr uint32_t PALETTE_BLUR = 0x4;       // build the blend table (half-column mode)
static_assert(PALETTE_HARD == PAL_HARD && PALETTE_AUTORANGE == PAL_AUTORANGE && PALETTE_BLUR == PAL_BLUR);

// RANGE: at most 23 ranges per palette (a 24th is an error the parser reports); a range's
// first index lies in 2..254, its length is at least 2 and it ends at 256 at the latest.
constexpr int PALETTE_MAX_RANGES = 23;
static_assert(PALETTE_MAX_RANGES <= int(sizeof(Palette::ranges) / sizeof(PaletteRange)));
bool palette_range_valid(int32_t first, int32_t count);

constexpr int32_t PALETTE_FULL = 1024;       // amount of a switch
constexpr int32_t PALETTE_LIGHTS = 2048;     // ... that also rebuilds the light table
constexpr int32_t PALETTE_BLEND = 3072;      // ... and, with BLUR, the blend table

struct PaletteState {
    const Palette* current;       // the palette last switched to; null before the first
    uint8_t current_rgb[768];     // its colours, kept so that fades never read a freed record
    uint8_t display[768];         // the colours last handed to the presenter
    int32_t presented;            // how often colours went to the presenter
    bool blend_built;             // the blend table exists ...
    uint8_t blend_rgb[768];       // ... built from these colours
    int64_t animation_time;       // accumulated elapsed time of the palette animation
    int32_t animation_cycle;      // CYCLE of the animation palette shown last
};
extern PaletteState palette_state;

// Amount below 1024: the display palette fades from the current palette toward `palette`
// by amount / 1024 (a negative amount counts as 0); the current palette stays. 1024 or more:
// `palette` becomes current and its colours are shown; from 3072, with BLUR, the blend table
// is rebuilt (unless it was built from the same colours); from 2048 the light table is
// rebuilt (when it has been allocated) and the automap range lengths with it.
void apply_palette(const Palette* palette, int32_t amount);

// The fade arithmetic alone: out = (a * 1024 + (t - a) * amount) >> 10 per channel, with a
// and t taken modulo 64; amount clamped to 0..1024.
void fade_colours(const uint8_t* from, const uint8_t* to, int32_t amount, uint8_t* out);

// Once per frame with PALANIM_DELAY and TIME_CORR: when the accumulated time reaches the
// period, one period is taken off and the next animation palette is shown (current palette
// and light tables untouched). A period below 1 does nothing.
void palette_animation_step(int32_t period, int32_t elapsed);
// The same over an explicit palette list (the catalogue's list, newest first).
void palette_animation_step_in(const Palette* list, int32_t period, int32_t elapsed);
// Level start: empty accumulator, as if CYCLE 1.0 had been shown last.
void palette_animation_restart();
// Among the palettes of `list` (linked through `next`) with a nonzero CYCLE: the one with the
// smallest CYCLE above `last`, else the one with the smallest CYCLE of all; the first in the
// list wins on equal values. Null when no palette animates.
const Palette* next_animation_palette(const Palette* list, int32_t last);

// The current palette while it is still one of the catalogue's palettes, else null (the
// world's palettes were freed since it was applied). Drawers test its BLUR flag and ranges.
const Palette* current_palette();
// Forgets the current palette and the animation (the world's palettes are being freed).
void forget_current_palette();

// PALFILE: decodes the image file and copies its 256 colours into the palette. A file that
// fails to decode or carries no palette is an error (reported); answers false.
bool load_palette_file(Palette* palette, const char* file_name);
