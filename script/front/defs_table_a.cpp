// Table A: the one-line definitions ending in ";" (bitmaps, sounds, music, overlays, strings,
// fonts, flics, models, the world's lists and event slots, the input sensitivities), and
// the object makers that the database rows use as well.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/bitmap.h"
#include "script/front/defs_internal.h"
#include "script/front/world_script.h"

// ---- Object makers ----------------------------------------------------------------------

static void copy_file_name(char* field, const char* file) { std::snprintf(field, 13, "%s", file ? file : ""); }

static bool resources_kept() { return (load_mode & LOAD_REDEFINE) != 0; }

// A rectangle of four script integers: a zero width or height asks for the whole picture;
// otherwise a negative number or a sum beyond the integer range is refused here, before
// any file is read.
static bool rectangle_acceptable(int32_t* x, int32_t* y, int32_t* width, int32_t* height) {
    if (*width == 0 || *height == 0) {
        *x = *y = *width = *height = 0;
        return true;
    }
    if (*x < 0 || *y < 0 || *width < 0 || *height < 0) return false;
    return int64_t(*x) + *width <= INT32_MAX && int64_t(*y) + *height <= INT32_MAX;
}

// create_object with every failure reported once: the object, or null.
static void* made_object(const char* name, int32_t kind, int* made) {
    void* object = nullptr;
    int before = error_store.error_count;
    int result = create_object(name, kind, &object);
    if (result < 0 || !object) {
        if (error_store.error_count == before) field_error("create_object");
        return nullptr;
    }
    if (made) *made = result;
    return object;
}

void* defined_object(const char* name, int32_t kind) {
    NameEntry* e = find_name_of_kind(name, kind);
    return e ? e->object : nullptr;
}

int define_bitmap(const char* name, const char* file, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!rectangle_acceptable(&x, &y, &width, &height)) {
        console_message("\r\n  BMAP %s: the rectangle %d,%d,%d,%d has a negative part or runs past any picture",
                        name ? name : "", x, y, width, height);
        return field_error("define_bitmap");
    }
    int made = 0;
    Bitmap* b = (Bitmap*)made_object(name, KIND_BMAP, &made);
    if (!b) return -1;
    if (made == 1 && resources_kept() && b->pixels) return 1;
    ColumnBitmap cut = {};
    if (!load_bitmap(file, x, y, width, height, &cut)) {
        // load_bitmap has reported; the bitmap keeps what it had.
        return -1;
    }
    std::free(b->pixels);
    b->pixels = cut.pixels;
    b->width = cut.width;
    b->height = cut.height;
    b->src_x = x;
    b->src_y = y;
    b->flags = (b->flags & ~uint32_t(BMAP_SQUARE)) | (cut.width == cut.height ? BMAP_SQUARE : 0u);
    copy_file_name(b->file, file);
    return 1;
}

int define_overlay_bitmap(const char* name, const char* file, int32_t x, int32_t y, int32_t width,
                          int32_t height) {
    if (!rectangle_acceptable(&x, &y, &width, &height)) {
        console_message("\r\n  OVLY %s: the rectangle %d,%d,%d,%d has a negative part or runs past any picture",
                        name ? name : "", x, y, width, height);
        return field_error("define_overlay_bitmap");
    }
    int made = 0;
    OverlayBitmap* o = (OverlayBitmap*)made_object(name, KIND_OVLY, &made);
    if (!o) return -1;
    if (made == 1 && resources_kept() && (o->sprite || o->pixels)) return 1;
    int before = error_store.error_count;
    if (definition_ops.make_overlay_bitmap(o, file, x, y, width, height) != 1) {
        if (error_store.error_count == before) field_error("make_overlay_bitmap");
        return -1;
    }
    copy_file_name(o->file, file);
    return 1;
}

// Whether a file name ends in one of the extensions (compared without case); with
// compat368 a name that contains one anywhere is accepted too.
static bool has_extension(const char* file, const char* const* extensions, int count) {
    size_t length = std::strlen(file);
    for (int i = 0; i < count; i++) {
        size_t n = std::strlen(extensions[i]);
        if (length >= n && same_keyword(file + length - n, extensions[i])) return true;
        if (settings.compat368) {
            for (size_t at = 0; at + n <= length; at++)
                if (strncasecmp(file + at, extensions[i], n) == 0) return true;
        }
    }
    return false;
}

int define_sound(const char* name, const char* file, int is_music) {
    static const char* const sound_ext[] = {".WAV", ".VOC", ".WEX"};
    static const char* const music_ext[] = {".MID", ".CMF"};
    bool fits = is_music ? has_extension(file, music_ext, 2) : has_extension(file, sound_ext, 3);
    if (!fits) {
        console_message(is_music ? "\r\n  MUSIC %s: a music file ends in .MID or .CMF"
                                 : "\r\n  SOUND %s: a sound file ends in .WAV, .VOC or .WEX",
                        name ? name : "");
        return field_error("define_sound");
    }
    if (resources_kept()) {
        Sound* s = (Sound*)defined_object(name, KIND_SOUND);
        if (s && (s->audio || s->file[0])) return 1;
    }
    int before = error_store.error_count;
    int result = definition_ops.load_sound_definition(name, file, is_music);
    if (result == 0) return 1;
    if (error_store.error_count == before) field_error("load_sound_definition");
    return -1;
}

int define_flic(const char* name, const char* file) {
    static const char* const flic_ext[] = {".FLI", ".FLC", ".WEX"};
    size_t length = std::strlen(file);
    bool fits = false;
    for (const char* ext : flic_ext)
        if (length >= 4 && same_keyword(file + length - 4, ext)) fits = true;
    if (!fits) {
        console_message("\r\n  FLIC %s: a flic file ends in .FLI, .FLC or .WEX", name ? name : "");
        return field_error("define_flic");
    }
    int made = 0;
    Flic* f = (Flic*)made_object(name, KIND_FLIC, &made);
    if (!f) return -1;
    if (made == 1 && resources_kept() && f->data) return 1;
    int before = error_store.error_count;
    if (!definition_ops.load_flic(file, f)) {
        if (error_store.error_count == before) field_error("load_flic");
        return -1;
    }
    copy_file_name(f->file, file);
    return 1;
}

int define_string(const char* name, const char* text) {
    ScriptString* s = (ScriptString*)made_object(name, KIND_STRING, nullptr);
    if (!s) return -1;
    if (set_string_text(s, is_null_word(text) ? "" : text) != 0) return field_error("define_string");
    return 1;
}

// ---- Statements -------------------------------------------------------------------------

namespace {

// BMAP and OVLY: name, file [, x, y, width, height].
int bitmap_statement(const char* keyword) {
    const char* name = nullptr;
    const char* file = nullptr;
    if (take_token(&name) < 0 || take_file(&file) < 0) return -1;
    int32_t x = 0, y = 0, width = 0, height = 0;
    if (tokens_remaining() &&
        (take_integer(&x) < 0 || take_integer(&y) < 0 || take_integer(&width) < 0 || take_integer(&height) < 0))
        return -1;
    if (same_keyword(keyword, "OVLY")) return define_overlay_bitmap(name, file, x, y, width, height);
    return define_bitmap(name, file, x, y, width, height);
}

int sound_statement(const char* keyword) {
    const char* name = nullptr;
    const char* file = nullptr;
    if (take_token(&name) < 0 || take_file(&file) < 0) return -1;
    return define_sound(name, file, same_keyword(keyword, "MUSIC") ? 1 : 0);
}

int midi_pitch_statement(const char*) {
    int32_t pitch = 0;
    return take_integer(&pitch) < 0 ? -1 : 1;  // accepted and dropped
}

int bank_statement(const char*) {
    const char* t = nullptr;
    return take_token(&t) < 0 ? -1 : 1;  // accepted and dropped
}

// Up to 16 names of a kind (or NULL) into a world list, from its first slot.
int list_statement(int32_t kind, void** slots) {
    int n = 0;
    while (tokens_remaining()) {
        if (n == WORLD_LIST_SLOTS) {
            console_message("\r\n  a list holds at most %d entries", WORLD_LIST_SLOTS);
            return field_error("list_statement");
        }
        void* object = nullptr;
        if (kind == KIND_ACTION) {
            Action* a = nullptr;
            if (take_action(&a) < 0) return -1;
            object = a;
        } else if (take_object(kind, &object, true) < 0) {
            return -1;
        }
        slots[n++] = object;
    }
    return 1;
}

int layers_statement(const char*) { return list_statement(KIND_OVERLAY, (void**)world_script.layers); }
int panels_statement(const char*) { return list_statement(KIND_PANEL, (void**)world_script.panels); }
int messages_statement(const char*) { return list_statement(KIND_TEXT, (void**)world_script.messages); }
int each_list_statement(const char* keyword) {
    Action** slots = definition_ops.event_list(keyword);
    return slots ? list_statement(KIND_ACTION, (void**)slots) : field_error("each_list_statement");
}

int msprite_statement(const char*) {
    void* o = nullptr;
    if (take_object(KIND_OVERLAY, &o) < 0) return -1;
    world_refs.msprite = o;
    return 1;
}

int backdrop_statement(const char*) {
    void* t = nullptr;
    if (take_object(KIND_TEXTURE, &t) < 0) return -1;
    world_refs.backdrop = t;
    return 1;
}

int display_panel_statement(const char*) {
    void* p = nullptr;
    if (take_object(KIND_PANEL, &p) < 0) return -1;
    world_script.panels[0] = (Panel*)p;
    return 1;
}

int string_statement(const char*) {
    const char* name = nullptr;
    const char* text = nullptr;
    if (take_token(&name) < 0 || take_token(&text) < 0) return -1;
    return define_string(name, text);
}

int font_statement(const char*) {
    const char* name = nullptr;
    const char* file = nullptr;
    int32_t width = 0, height = 0;
    if (take_token(&name) < 0 || take_file(&file) < 0 || take_integer(&width) < 0 || take_integer(&height) < 0)
        return -1;
    // The font loader divides the picture by the glyph size.
    if (width <= 0 || height <= 0) {
        console_message("\r\n  FONT %s: a glyph is at least 1 x 1 pixels, not %d x %d", name, width, height);
        return field_error("font_statement");
    }
    int made = 0;
    Font* f = (Font*)made_object(name, KIND_FONT, &made);
    if (!f) return -1;
    if (made == 1 && resources_kept() && (f->source || f->glyph_count)) return 1;
    int before = error_store.error_count;
    if (definition_ops.make_font(f, file, width, height) != 0) {
        if (error_store.error_count == before) field_error("make_font");
        return -1;
    }
    copy_file_name(f->file, file);
    return 1;
}

int aspect_statement(const char*) {
    int32_t v = 0;
    if (take_number(&v) < 0) return -1;
    var_set(SLOT_ASPECT, v);
    return 1;
}

int sense_statement(const char* keyword) {
    int32_t v = 0;
    if (take_number(&v) < 0) return -1;
    WorldScript& w = world_script;
    if (same_keyword(keyword, "KEY_SENSE")) {
        w.key_sense = v;
        w.key_sense_given = 1;
        var_set(SLOT_KEY_SENSE, v);
    } else if (same_keyword(keyword, "MOUSE_SENSE")) {
        w.mouse_sense = v;
        w.mouse_sense_given = 1;
        var_set(SLOT_MOUSE_SENSE, v);
    } else {
        w.joy_sense = v;
        w.joy_sense_given = 1;
        var_set(SLOT_JOY_SENSE, v);
    }
    return 1;
}

const FlagName player_flags[] = {
    {"FLAG1", 0x1000, 0},  {"FLAG2", 0x2000, 0},  {"FLAG3", 0x4000, 0},  {"FLAG4", 0x8000, 0},
    {"FLAG5", 0x10000, 0}, {"FLAG6", 0x20000, 0}, {"FLAG7", 0x40000, 0}, {"FLAG8", 0x80000, 0},
    {"CLIPPED", PLAYER_CLIPPED, 0},
};

int flags_statement(const char*) {
    return take_flags(player_flags, int(sizeof player_flags / sizeof player_flags[0]), &world_script.player_flags) <
                   0
               ? -1
               : 1;
}

int flic_statement(const char*) {
    const char* name = nullptr;
    const char* file = nullptr;
    if (take_token(&name) < 0 || take_file(&file) < 0) return -1;
    return define_flic(name, file);
}

int model_statement(const char*) {
    const char* name = nullptr;
    const char* file = nullptr;
    if (take_token(&name) < 0 || take_file(&file) < 0) return -1;
    Model* m = (Model*)made_object(name, KIND_MODEL, nullptr);
    if (!m) return -1;
    int before = error_store.error_count;
    if (!definition_ops.load_model(file, m)) {
        console_message("\r\n  MODEL %s: the model file %s cannot be loaded", name, file);
        if (error_store.error_count == before) field_error("load_model");
        return -1;
    }
    copy_file_name(m->file, file);
    return 1;
}

int event_statement(Action** slot) {
    Action* a = nullptr;
    if (take_action(&a) < 0) return -1;
    *slot = a;
    return 1;
}

enum LineCode {
    L_BMAP, L_SOUND, L_MIDI_PITCH, L_BANK, L_LAYERS, L_MSPRITE, L_BACKDROP, L_DISPLAY_PANEL, L_PANELS, L_STRING,
    L_FONT, L_EACH, L_ASPECT, L_SENSE, L_FLAGS, L_FLIC, L_MODEL, L_MESSAGES,
};

const KeywordRow line_rows[] = {
    {"BMAP", L_BMAP},           {"SOUND", L_SOUND},         {"MUSIC", L_SOUND},
    {"MIDI_PITCH", L_MIDI_PITCH}, {"DRUMBANK", L_BANK},     {"IBANK", L_BANK},
    {"WBANK", L_BANK},          {"LAYERS", L_LAYERS},       {"OVLY", L_BMAP},
    {"MSPRITE", L_MSPRITE},     {"BACKDROP", L_BACKDROP},   {"DISPLAY_PANEL", L_DISPLAY_PANEL},
    {"PANELS", L_PANELS},       {"STRING", L_STRING},       {"FONT", L_FONT},
    {"EACH_SEC", L_EACH},       {"EACH_TICK", L_EACH},      {"ASPECT", L_ASPECT},
    {"KEY_SENSE", L_SENSE},     {"MOUSE_SENSE", L_SENSE},   {"JOY_SENSE", L_SENSE},
    {"FLAGS", L_FLAGS},         {"FLIC", L_FLIC},           {"MODEL", L_MODEL},
    {"MESSAGES", L_MESSAGES},   {"TEXTS", L_MESSAGES},
};
KeywordTable line_table = KEYWORD_TABLE(line_rows);

// The most tokens each form takes after its keyword; -1: a list of any length.
int form_tokens(int code) {
    switch (code) {
    case L_BMAP: return 6;
    case L_SOUND: case L_FLIC: case L_MODEL: case L_STRING: return 2;
    case L_FONT: return 4;
    case L_LAYERS: case L_PANELS: case L_EACH: case L_MESSAGES: case L_FLAGS: return -1;
    default: return 1;
    }
}

int line_statement(const char* keyword) {
    // IF_ and a key name, or one of the other event slots.
    if ((keyword[0] == 'I' || keyword[0] == 'i') && (keyword[1] == 'F' || keyword[1] == 'f') && keyword[2] == '_') {
        Action** slot = definition_ops.event_slot(keyword);
        return slot && tokens_after_keyword() <= 1 ? event_statement(slot) : 0;
    }
    int code = find_keyword(line_table, keyword);
    if (code < 0) return 0;
    int most = form_tokens(code);
    if (most >= 0 && tokens_after_keyword() > most) return 0;
    switch (code) {
    case L_BMAP: return bitmap_statement(keyword);
    case L_SOUND: return sound_statement(keyword);
    case L_MIDI_PITCH: return midi_pitch_statement(keyword);
    case L_BANK: return bank_statement(keyword);
    case L_LAYERS: return layers_statement(keyword);
    case L_MSPRITE: return msprite_statement(keyword);
    case L_BACKDROP: return backdrop_statement(keyword);
    case L_DISPLAY_PANEL: return display_panel_statement(keyword);
    case L_PANELS: return panels_statement(keyword);
    case L_STRING: return string_statement(keyword);
    case L_FONT: return font_statement(keyword);
    case L_EACH: return each_list_statement(keyword);
    case L_ASPECT: return aspect_statement(keyword);
    case L_SENSE: return sense_statement(keyword);
    case L_FLAGS: return flags_statement(keyword);
    case L_FLIC: return flic_statement(keyword);
    case L_MODEL: return model_statement(keyword);
    case L_MESSAGES: return messages_statement(keyword);
    default: return 0;
    }
}

}  // namespace

int line_definition(const char* keyword) {
    int before = error_store.error_count;
    return settle_definition(line_statement(keyword), before);
}
