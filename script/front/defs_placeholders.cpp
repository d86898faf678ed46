// The operations behind definition_ops: the action compiler and the world model's object
// definitions, and the stand-ins for the subsystems not yet built. Each stand-in does the
// part of the job that keeps a script readable and its objects usable (fonts and overlay
// bitmaps keep their source pixels without compiled sprites, a flic keeps its file after a
// header check, a row is not built into objects) and says nothing it cannot know. A
// subsystem replaces its entries in install_engine_operations.
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "platform/key_names.h"
#include "resources/archive.h"
#include "resources/bitmap.h"
#include "script/front/defs_internal.h"
#include "script/front/world_script.h"
#include "script/exec/compiler.h"
#include "world/templates.h"

namespace {

// ---- Sounds ---------------------------------------------------------------------------------

int define_sound_record(const char* name, const char* file, int is_music) {
    int before = error_store.error_count;
    void* object = nullptr;
    int made = create_object(name, KIND_SOUND, &object);
    if (made == -2) return -2;
    if (made < 0 || !object) {
        if (error_store.error_count == before) field_error("load_sound_definition");
        return -1;
    }
    Sound* s = (Sound*)object;
    if (made == 1 && s->file[0] && !(load_mode & LOAD_REDEFINE) && !settings.v308) {
        console_message("\r\n  SOUND %s is defined twice", name);
        return field_error("load_sound_definition");
    }
    std::strncpy(s->file, file, sizeof s->file - 1);
    s->file[sizeof s->file - 1] = 0;
    s->is_music = is_music;
    return 0;  // the record has no audio until the audio subsystem loads it
}

// ---- Fonts, overlay bitmaps, title pictures, the display list ----------------------------------

int cut_font(Font* font, const char* file, int32_t glyph_width, int32_t glyph_height) {
    if (glyph_width <= 0 || glyph_height <= 0) return field_error("make_font");
    ColumnBitmap picture = {};
    if (!load_bitmap(file, 0, 0, 0, 0, &picture)) return -1;
    int32_t columns = picture.width / glyph_width, rows = picture.height / glyph_height;
    if (picture.width % glyph_width || picture.height % glyph_height || int64_t(columns) * rows > 256) {
        console_message("\r\n  FONT %s: the picture %d x %d is no whole number of %d x %d glyphs (at most 256)",
                        font->name ? font->name : "", picture.width, picture.height, glyph_width, glyph_height);
        free_bitmap_pixels(&picture);
        return field_error("make_font");
    }
    std::free(font->source);
    font->source = picture.pixels;
    font->source_width = picture.width;
    font->source_height = picture.height;
    font->glyph_width = glyph_width;
    font->glyph_height = glyph_height;
    font->glyph_columns = columns;
    font->glyph_count = columns * rows;
    return 0;
}

int cut_overlay_bitmap(OverlayBitmap* o, const char* file, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (!file || !*file) return field_error("make_overlay_bitmap");
    ColumnBitmap picture = {};
    if (!load_bitmap(file, x, y, width, height, &picture)) return -1;
    std::free(o->pixels);
    o->pixels = picture.pixels;
    o->width = picture.width;
    o->height = picture.height;
    return 1;
}

// A blank picture of the title's size: characters of its longest line by its lines, in
// glyphs of the texture's font.
int blank_title_picture(Texture* t) {
    if (!t->font || !t->title || !t->frames) {
        console_message("\r\n  TEXTURE %s: a TITLE needs a FONT", t->name ? t->name : "");
        return field_error("make_title_picture");
    }
    int32_t lines = 1, longest = 0, current = 0;
    for (const char* p = t->title->text; p && *p; p++) {
        if (*p == '\n') {
            lines++;
            current = 0;
        } else if (++current > longest) {
            longest = current;
        }
    }
    if (longest == 0) longest = 1;
    int64_t width = int64_t(longest) * t->font->glyph_width, height = int64_t(lines) * t->font->glyph_height;
    if (width <= 0 || height <= 0 || width * height > (int64_t(1) << 24)) return field_error("make_title_picture");
    Bitmap* b = t->frames[0].bitmap;
    if (!b) b = (Bitmap*)new_record(KIND_BMAP);
    if (!b) return field_error("make_title_picture");
    uint8_t* pixels = (uint8_t*)std::calloc(size_t(width * height), 1);
    if (!pixels) return field_error("make_title_picture");
    std::free(b->pixels);
    b->pixels = pixels;
    b->width = int32_t(width);
    b->height = int32_t(height);
    t->frames[0].bitmap = b;
    return 0;
}

int32_t display_layer(const DisplayHead* h) {
    switch (h->kind) {
    case KIND_PANEL: return ((const Panel*)h)->layer;
    case KIND_TEXT: return ((const Text*)h)->layer;
    default: return ((const Overlay*)h)->layer;
    }
}

// Takes the entry out of the display list and puts it back after every entry of the same or
// a lower LAYER, so that the list runs from the lowest layer up.
void insert_by_layer(DisplayHead* head) {
    DisplayHead** link = &catalogue.display;
    while (*link && *link != head) link = &(*link)->next_display;  // a new record is the head
    if (*link) *link = head->next_display;
    int32_t layer = display_layer(head);
    link = &catalogue.display;
    while (*link && display_layer(*link) <= layer) link = &(*link)->next_display;
    head->next_display = *link;
    *link = head;
    head->listed = 1;
}

// ---- Flics and models ------------------------------------------------------------------------

inline int read_u16(const uint8_t* p) { return p[0] | p[1] << 8; }

Flic* check_flic(const char* file, Flic* flic) {
    if (!flic) return nullptr;
    int32_t size = 0;
    uint8_t* data = load_resource(file, &size);
    if (!data) {
        console_message("\r\ndravo: cannot read the flic \"%s\"", file);
        return nullptr;
    }
    int magic = size >= 128 ? read_u16(data + 4) : 0;
    if (magic != 0xAF11 && magic != 0xAF12) {
        console_message("\r\ndravo: \"%s\" is no FLI or FLC file", file);
        std::free(data);
        return nullptr;
    }
    std::free(flic->data);
    flic->data = data;
    flic->size = size;
    flic->frame_count = read_u16(data + 6);
    flic->width = read_u16(data + 8);
    flic->height = read_u16(data + 10);
    return flic;
}

Model* check_model(const char* file, Model* model) {
    if (!model || resource_exists(file) != 0) return nullptr;
    return model;  // the model loader fills `data`
}

int32_t model_frames(const Model*) { return 1; }  // one pose until models are read

// ---- Database rows -----------------------------------------------------------------------------

int row_without_objects(DataRow* row) {
    if (!row->template_name[0]) return 0;
    if (resource_exists(row->template_name) != 0) {
        console_message("\r\ndravo: cannot read the template \"%s\"", row->template_name);
        return -1;
    }
    return 0;  // the template is there; building its objects is the world model's
}

void database_read(Database*) {}

// ---- Event slots ----------------------------------------------------------------------------------

Action** world_event_slot(const char* keyword) {
    if (!keyword || std::strlen(keyword) < 4 || strncasecmp(keyword, "IF_", 3) != 0) return nullptr;
    const char* rest = keyword + 3;
    // The key names come first.
    int code = key_code_of_name(rest);
    if (code > 0 && code < WORLD_KEY_SLOTS) return &world_script.key[code];
    WorldScript& w = world_script;
    struct Named {
        const char* name;
        Action** slot;
    };
    const Named named[] = {
        {"START", &w.if_start}, {"LOAD", &w.if_load},     {"LEFT", &w.if_left},   {"MIDDLE", &w.if_middle},
        {"RIGHT", &w.if_right}, {"TAST", &w.if_anykey},   {"ANYKEY", &w.if_anykey}, {"JOY4", &w.if_joy4},
        {"KLICK", &w.if_klick}, {"MSTOP", &w.if_mstop},
    };
    for (const Named& n : named)
        if (same_keyword(n.name, rest)) return n.slot;
    return nullptr;
}

Action** world_event_list(const char* keyword) {
    if (same_keyword(keyword, "EACH_TICK")) return world_script.each_tick;
    if (same_keyword(keyword, "EACH_SEC")) return world_script.each_sec;
    return nullptr;
}

}  // namespace

DefinitionOps definition_ops = {
    begin_action,        compile_statement,      end_action,          parse_variable,
    world_event_slot,    world_event_list,       open_object_definition, close_object_definition,
    define_sound_record, cut_font,               cut_overlay_bitmap,  blank_title_picture,
    insert_by_layer,     check_flic,             check_model,         model_frames,
    row_without_objects, database_read,
};
