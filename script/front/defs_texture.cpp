// The TEXTURE block. A texture holds SIDES x CYCLES frames; the frame of side s and cycle c
// is entry s * CYCLES + c of its frame table, the order in which the animation and the frame
// choice read it. The script lists BMAPS side by side within each cycle, so the i-th name is
// side i % SIDES of cycle i / SIDES. Every per-cycle or per-side list (DELAY, SCYCLES,
// MIRROR, OFFSET_X, OFFSET_Y) writes only entries that exist.
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/defs_internal.h"

namespace {

constexpr int32_t MAX_CYCLES = 1023;
constexpr int64_t MAX_DELAY = 536870911;
constexpr uint32_t SPECIAL_TEXTURE = TEX_FLIC | TEX_MODEL | TEX_TITLE;

struct TextureBlock {
    Texture* texture;   // null: no current object
    bool bmaps_here;    // BMAPS was given in this block
};
TextureBlock block;

const FlagName texture_flags[] = {
    {"ONESHOT", TEX_ONESHOT, 0},       {"CONDENSED", TEX_CONDENSED, 0}, {"SKY", TEX_SKY, 0},
    {"SVIS", TEX_SVIS, 0},             {"SLOOP", TEX_SLOOP, 0},         {"FLOOR", TEX_FLOOR, 0},
    {"GHOST", TEX_GHOST, 0},           {"SAVE", TEX_SAVE, 0},           {"DIAPHANOUS", TEX_DIAPHANOUS, 0},
    {"WALKING", TEX_WALKING, 0},       {"NARROW", TEX_NARROW, 0},       {"NO_CLIP", TEX_NO_CLIP, 0},
    {"BEHIND", TEX_BEHIND, 0},         {"SHADOW", TEX_SHADOW, 0},       {"REFLECT", TEX_REFLECT, 0},
    {"ROPE", TEX_ROPE, 0},             {"LIGHTMAP", TEX_LIGHTMAP, 0},   {"CLIP", TEX_CLIP, 0},
    {"STANDBY", TEX_STANDBY, 0},       {"WIRE", TEX_WIRE, 0},           {"CLUSTER", TEX_CLUSTER, 0},
};

enum TextureCode {
    X_SCALE_XY, X_SCALE_X, X_SCALE_Y, X_SCALE, X_SIDES, X_CYCLES, X_BMAPS, X_DELAY, X_RANDOM, X_SOUND, X_SCYCLE,
    X_SCYCLES, X_MIRROR, X_SDIST, X_SVDIST, X_SVOL, X_AMBIENT, X_ALBEDO, X_RADIANCE, X_POS_X, X_POS_Y, X_FAR_DIST,
    X_FAR_COLOR, X_MAP_COLOR, X_OFFSET_X, X_OFFSET_Y, X_FONT, X_TOUCH, X_TITLE, X_IF_TOUCH, X_IF_RELEASE,
    X_IF_KLICK, X_ATTACH, X_FLIC, X_MODEL, X_FLAGS, X_FRAME,
};
const KeywordRow texture_rows[] = {
    {"SCALE_XY", X_SCALE_XY}, {"SCALE_X", X_SCALE_X},     {"SCALE_Y", X_SCALE_Y},     {"SCALE", X_SCALE},
    {"SIDES", X_SIDES},       {"FRAME", X_FRAME},         {"CYCLES", X_CYCLES},       {"BMAPS", X_BMAPS},
    {"BMAP", X_BMAPS},        {"DELAY", X_DELAY},         {"RANDOM", X_RANDOM},       {"SOUND", X_SOUND},
    {"SCYCLE", X_SCYCLE},     {"SCYCLES", X_SCYCLES},     {"MIRROR", X_MIRROR},       {"SDIST", X_SDIST},
    {"SVDIST", X_SVDIST},     {"SVOL", X_SVOL},           {"AMBIENT", X_AMBIENT},     {"ALBEDO", X_ALBEDO},
    {"RADIANCE", X_RADIANCE}, {"POS_X", X_POS_X},         {"POS_Y", X_POS_Y},         {"FAR_DIST", X_FAR_DIST},
    {"FAR_COLOR", X_FAR_COLOR}, {"MAP_COLOR", X_MAP_COLOR}, {"OFFSET_X", X_OFFSET_X}, {"OFFSET_Y", X_OFFSET_Y},
    {"FONT", X_FONT},         {"TOUCH", X_TOUCH},         {"TITLE", X_TITLE},         {"IF_TOUCH", X_IF_TOUCH},
    {"IF_RELEASE", X_IF_RELEASE}, {"IF_KLICK", X_IF_KLICK}, {"ATTACH", X_ATTACH},     {"FLIC", X_FLIC},
    {"MODEL", X_MODEL},       {"FLAGS", X_FLAGS},
};
KeywordTable texture_table = KEYWORD_TABLE(texture_rows);

int32_t at_least_1(int32_t v) { return v < 1 ? 1 : v; }

const char* texture_name(const Texture* t) { return t->name ? t->name : ""; }

// The entry of the i-th frame in script order (side within cycle).
int32_t entry_of_listed(const Texture* t, int32_t i) {
    int32_t sides = at_least_1(t->sides), cycles = at_least_1(t->cycles);
    return (i % sides) * cycles + i / sides;
}

// A list of whole numbers up to the end of the statement, at most `limit` of them.
int take_whole_list(int64_t* values, int limit, int* count, const char* what) {
    *count = 0;
    while (tokens_remaining()) {
        if (*count == limit) {
            console_message("\r\n  %s: more values than the texture has %s", what,
                            std::strcmp(what, "MIRROR") == 0 ? "sides" : "cycles");
            return field_error("texture_field");
        }
        if (take_whole(&values[*count]) < 0) return -1;
        (*count)++;
    }
    return 0;
}

int needs_frames(const Texture* t, const char* what) {
    if (t->frames && t->frame_count > 0) return 0;
    console_message("\r\n  TEXTURE %s: %s needs the frames (BMAPS) first", texture_name(t), what);
    return field_error("texture_field");
}

// Writes a delay into the frames of cycle c, on every side whose entry exists.
void set_cycle_delay(Texture* t, int32_t c, uint32_t delay) {
    int32_t sides = at_least_1(t->sides), cycles = at_least_1(t->cycles);
    for (int32_t s = 0; s < sides; s++) {
        int64_t e = int64_t(s) * cycles + c;
        if (e >= t->frame_count) break;
        TextureFrame& f = t->frames[e];
        f.delay = (f.delay & ~FRAME_DELAY_MASK) | (delay & FRAME_DELAY_MASK);
    }
}

// BMAPS: exactly SIDES x CYCLES bitmap names (or NULL), into a new frame table.
int bmaps_field(Texture* t) {
    if (t->flags & SPECIAL_TEXTURE) {
        console_message("\r\n  TEXTURE %s: BMAPS is not for flic, model or title textures", texture_name(t));
        return field_error("texture_field");
    }
    if (block.bmaps_here || (t->frames && !(load_mode & LOAD_REDEFINE))) {
        console_message("\r\n  TEXTURE %s: BMAPS is given only once", texture_name(t));
        return field_error("texture_field");
    }
    int32_t sides = at_least_1(t->sides), cycles = at_least_1(t->cycles);
    int64_t expected = int64_t(sides) * cycles;
    Bitmap* listed[max_statement_tokens];
    int n = 0;
    while (tokens_remaining()) {
        if (n >= max_statement_tokens) return field_error("texture_field");
        void* b = nullptr;
        if (take_object(KIND_BMAP, &b, true) < 0) return -1;
        listed[n++] = (Bitmap*)b;
    }
    if (n != expected) {
        console_message("\r\n  TEXTURE %s: BMAPS lists %d bitmaps, %d sides x %d cycles need %lld", texture_name(t),
                        n, sides, cycles, (long long)expected);
        return field_error("texture_field");
    }
    TextureFrame* frames = (TextureFrame*)std::calloc(size_t(expected), sizeof(TextureFrame));
    if (!frames) return field_error("texture_field");
    std::free(t->frames);
    t->frames = frames;
    t->frame_count = int32_t(expected);
    t->sides = sides;
    t->cycles = cycles;
    for (int i = 0; i < n; i++) frames[entry_of_listed(t, i)].bitmap = listed[i];
    // DELAY values kept from before the frames existed.
    for (int32_t c = 0; c < t->pending_delay_count && c < cycles; c++)
        set_cycle_delay(t, c, uint32_t(t->pending_delays[c]));
    std::free(t->pending_delays);
    t->pending_delays = nullptr;
    t->pending_delay_count = 0;
    block.bmaps_here = true;
    return 1;
}

int delay_field(Texture* t) {
    int64_t values[MAX_CYCLES + 1];
    bool have_frames = t->frames && t->frame_count > 0;
    int limit = have_frames ? at_least_1(t->cycles) : MAX_CYCLES + 1;
    if (limit > MAX_CYCLES + 1) limit = MAX_CYCLES + 1;
    int n = 0;
    if (take_whole_list(values, limit, &n, "DELAY") < 0) return -1;
    for (int i = 0; i < n; i++)
        if (values[i] < 1 || values[i] > MAX_DELAY) {
            console_message("\r\n  TEXTURE %s: a DELAY is 1 ... %lld ticks", texture_name(t), (long long)MAX_DELAY);
            return field_error("texture_field");
        }
    if (!have_frames) {
        if (!settings.compat356) return needs_frames(t, "DELAY");
        int32_t* kept = (int32_t*)std::malloc(sizeof(int32_t) * size_t(n > 0 ? n : 1));
        if (!kept) return field_error("texture_field");
        for (int i = 0; i < n; i++) kept[i] = int32_t(values[i]);
        std::free(t->pending_delays);
        t->pending_delays = kept;
        t->pending_delay_count = n;
        return 1;
    }
    for (int c = 0; c < n; c++) set_cycle_delay(t, c, uint32_t(values[c]));
    return 1;
}

// SCYCLES (bit 31 of entry c for cycle c) and MIRROR (bit 30 of entry s for side s).
int mark_field(Texture* t, bool mirror) {
    const char* what = mirror ? "MIRROR" : "SCYCLES";
    if (needs_frames(t, what) < 0) return -1;
    int64_t values[MAX_CYCLES + 1];
    int32_t per = mirror ? at_least_1(t->sides) : at_least_1(t->cycles);
    int limit = per < MAX_CYCLES + 1 ? per : MAX_CYCLES + 1;
    int n = 0;
    if (take_whole_list(values, limit, &n, what) < 0) return -1;
    uint32_t bit = mirror ? FRAME_MIRROR : FRAME_SOUND;
    for (int i = 0; i < n && i < t->frame_count; i++) {
        if (values[i] > 0) t->frames[i].delay |= bit;
        else t->frames[i].delay &= ~bit;
    }
    return 1;
}

// OFFSET_X, OFFSET_Y: one number per frame (in the order of BMAPS), or one for all.
int offset_field(Texture* t, bool x) {
    if (needs_frames(t, x ? "OFFSET_X" : "OFFSET_Y") < 0) return -1;
    int32_t values[max_statement_tokens];
    int n = 0;
    while (tokens_remaining()) {
        if (n >= t->frame_count || n >= max_statement_tokens) {
            console_message("\r\n  TEXTURE %s: more offsets than the texture has frames", texture_name(t));
            return field_error("texture_field");
        }
        if (take_number(&values[n]) < 0) return -1;
        n++;
    }
    for (int32_t i = 0; i < t->frame_count; i++) {
        int32_t v;
        if (n == 1) v = values[0];
        else if (i < n) v = values[i];
        else break;
        TextureFrame& f = t->frames[n == 1 ? i : entry_of_listed(t, i)];
        (x ? f.offset_x : f.offset_y) = v;
    }
    return 1;
}

// FLIC, MODEL and TITLE make a texture of one frame.
int one_frame(Texture* t, uint32_t kind_flag, const char* what) {
    if (block.bmaps_here) {
        console_message("\r\n  TEXTURE %s: %s and BMAPS do not go together", texture_name(t), what);
        return field_error("texture_field");
    }
    TextureFrame* frame = (TextureFrame*)std::calloc(1, sizeof(TextureFrame));
    if (!frame) return field_error("texture_field");
    std::free(t->frames);
    t->frames = frame;
    t->frame_count = 1;
    t->sides = 1;
    t->flags = (t->flags & ~SPECIAL_TEXTURE) | kind_flag;
    return 1;
}

// SIDES, FRAME and CYCLES. Once BMAPS has made the frame table its counts are fixed: SIDES
// may be repeated with the same number under compat368 only, CYCLES with the same number.
int count_field(Texture* t, bool sides_field, int32_t low, int32_t high, const char* what) {
    int32_t v = 0;
    if (take_integer(&v) < 0) return -1;
    if (v < low || v > high) {
        console_message("\r\n  TEXTURE %s: %s is %d ... %d", texture_name(t), what, low, high);
        return field_error("texture_field");
    }
    if (t->frames && !(t->flags & SPECIAL_TEXTURE)) {
        int32_t current = sides_field ? t->sides : t->cycles;
        if (at_least_1(v) != at_least_1(current) || (sides_field && !settings.compat368)) {
            console_message("\r\n  TEXTURE %s: %s cannot change after BMAPS", texture_name(t), what);
            return field_error("texture_field");
        }
    }
    (sides_field ? t->sides : t->cycles) = v;
    if (v > 1) t->flags |= TEX_ANIMATED;
    return 1;
}

int texture_field_body(const char* keyword) {
    int code = find_keyword(texture_table, keyword);
    if (code < 0) return field_error("texture_field");
    Texture* t = block.texture;
    if (!t) return -3;
    switch (code) {
    case X_SCALE_XY: return take_number(&t->scale_x) < 0 || take_number(&t->scale_y) < 0 ? -1 : 1;
    case X_SCALE_X: return take_number(&t->scale_x) < 0 ? -1 : 1;
    case X_SCALE_Y: return take_number(&t->scale_y) < 0 ? -1 : 1;
    case X_SCALE: {
        int32_t v = 0;
        if (take_number(&v) < 0) return -1;
        t->scale_x = t->scale_y = v;
        return 1;
    }
    case X_SIDES:
    case X_FRAME:
        if (t->flags & SPECIAL_TEXTURE) {
            console_message("\r\n  TEXTURE %s: %s is not for flic, model or title textures", texture_name(t), keyword);
            return field_error("texture_field");
        }
        return count_field(t, true, code == X_FRAME ? 1 : 0, 0x7FFFFFFF >> 10, keyword);
    case X_CYCLES: return count_field(t, false, 0, MAX_CYCLES, "CYCLES");
    case X_BMAPS: return bmaps_field(t);
    case X_DELAY: return delay_field(t);
    case X_RANDOM: {
        int32_t v = 0;
        if (take_number(&v) < 0) return -1;
        if (v < 0) {
            console_message("\r\n  TEXTURE %s: RANDOM is not negative", texture_name(t));
            return field_error("texture_field");
        }
        t->random = v;
        return 1;
    }
    case X_SOUND: {
        // Without a sound device the name is read and dropped.
        if (settings.sound_request == 64) {
            const char* name = nullptr;
            return take_token(&name) < 0 ? -1 : 1;
        }
        void* s = nullptr;
        if (take_object(KIND_SOUND, &s) < 0) return -1;
        t->sound = (Sound*)s;
        t->flags |= TEX_SOUNDING;
        return 1;
    }
    case X_SCYCLE: {
        int32_t v = 0;
        if (take_integer(&v) < 0) return -1;
        if (load_mode & LOAD_REDEFINE) return 1;  // a reload keeps the running cycle
        if (v < 1 || v > at_least_1(t->cycles)) {
            console_message("\r\n  TEXTURE %s: SCYCLE is 1 ... %d", texture_name(t), at_least_1(t->cycles));
            return field_error("texture_field");
        }
        t->scycle = v;
        return 1;
    }
    case X_SCYCLES: return mark_field(t, false);
    case X_MIRROR: return mark_field(t, true);
    case X_SDIST: return take_number(&t->sdist) < 0 ? -1 : 1;
    case X_SVDIST: return take_number(&t->svdist) < 0 ? -1 : 1;
    case X_SVOL: return take_number(&t->svol) < 0 ? -1 : 1;
    case X_AMBIENT: return take_number(&t->ambient) < 0 ? -1 : 1;
    case X_ALBEDO: return take_number(&t->albedo) < 0 ? -1 : 1;
    case X_RADIANCE: return take_number(&t->radiance) < 0 ? -1 : 1;
    case X_POS_X: return take_number(&t->pos_x) < 0 ? -1 : 1;
    case X_POS_Y: return take_number(&t->pos_y) < 0 ? -1 : 1;
    case X_FAR_DIST: return take_number(&t->far_dist) < 0 ? -1 : 1;
    case X_FAR_COLOR: return take_number(&t->far_color) < 0 ? -1 : 1;
    case X_MAP_COLOR: return take_number(&t->map_color) < 0 ? -1 : 1;
    case X_OFFSET_X: return offset_field(t, true);
    case X_OFFSET_Y: return offset_field(t, false);
    case X_FONT: {
        void* f = nullptr;
        if (take_object(KIND_FONT, &f) < 0) return -1;
        t->font = (Font*)f;
        return 1;
    }
    case X_TOUCH: return take_string(&t->touch) < 0 ? -1 : 1;
    case X_TITLE: {
        if (take_string(&t->title) < 0) return -1;
        if (one_frame(t, TEX_TITLE, "TITLE") < 0) return -1;
        t->cycles = 1;
        return 1;
    }
    case X_IF_TOUCH: return take_action(&t->if_touch) < 0 ? -1 : 1;
    case X_IF_RELEASE: return take_action(&t->if_release) < 0 ? -1 : 1;
    case X_IF_KLICK: return take_action(&t->if_klick) < 0 ? -1 : 1;
    case X_ATTACH: {
        void* a = nullptr;
        if (take_object(KIND_TEXTURE, &a) < 0) return -1;
        t->attach = (Texture*)a;
        return 1;
    }
    case X_FLIC: {
        void* f = nullptr;
        if (take_object(KIND_FLIC, &f) < 0) return -1;
        if (one_frame(t, TEX_FLIC, "FLIC") < 0) return -1;
        t->flic = (Flic*)f;
        t->cycles = at_least_1(t->flic->frame_count);
        if (t->cycles > 1) t->flags |= TEX_ANIMATED;
        return 1;
    }
    case X_MODEL: {
        void* m = nullptr;
        if (take_object(KIND_MODEL, &m) < 0) return -1;
        if (one_frame(t, TEX_MODEL, "MODEL") < 0) return -1;
        t->model = (Model*)m;
        if (t->cycles < 2) t->cycles = at_least_1(definition_ops.model_cycles(t->model));
        if (t->cycles > 1) t->flags |= TEX_ANIMATED;
        return 1;
    }
    default:  // X_FLAGS
        return take_flags(texture_flags, int(sizeof texture_flags / sizeof texture_flags[0]), &t->flags) < 0 ? -1
                                                                                                             : 1;
    }
}

int texture_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(texture_field_body(keyword), before);
}

void texture_end() {
    Texture* t = block.texture;
    block.texture = nullptr;
    if (!t) return;
    t->sides = at_least_1(t->sides);
    t->cycles = at_least_1(t->cycles);
    if (!t->frames || t->frame_count <= 0) {
        console_message("\r\n  TEXTURE %s: a texture needs frames (BMAPS, FLIC, MODEL or TITLE)", texture_name(t));
        field_error("texture_end");
        return;
    }
    if (t->flags & TEX_TITLE) {
        int before = error_store.error_count;
        if (definition_ops.make_title_picture(t) != 0 && error_store.error_count == before)
            field_error("make_title_picture");
    }
}

}  // namespace

int open_texture(const char*) {
    block = TextureBlock{};
    enter_block(STATE_TEXTURE, texture_field, texture_end);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* object = nullptr;
    int before = error_store.error_count;
    if (create_object(name, KIND_TEXTURE, &object) < 0 || !object) {
        if (error_store.error_count == before) field_error("open_texture");
        return -1;
    }
    block.texture = (Texture*)object;
    return 1;
}

void reset_texture_block() { block = TextureBlock{}; }
