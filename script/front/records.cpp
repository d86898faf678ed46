// Records of every kind: making them with their defaults, linking them into their kind's
// list, unlinking and freeing them with what they own.
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "script/front/catalogue_internal.h"

WorldRefs world_refs;
ReleaseHooks release_hooks;

const char* kind_name(int32_t kind) {
    switch (kind) {
    case KIND_OBJECT: return "OBJECT";
    case KIND_WALL: return "WALL";
    case KIND_THING: return "THING";
    case KIND_REGION: return "REGION";
    case KIND_TEXTURE: return "TEXTURE";
    case KIND_TEXT: return "TEXT";
    case KIND_STRING: return "STRING";
    case KIND_ACTION: return "ACTION";
    case KIND_PALETTE: return "PALETTE";
    case KIND_FONT: return "FONT";
    case KIND_FLIC: return "FLIC";
    case KIND_SKILL: return "SKILL";
    case KIND_BMAP: return "BMAP";
    case KIND_WAY: return "WAY";
    case KIND_SOUND: return "SOUND";
    case KIND_OVERLAY: return "OVERLAY";
    case KIND_OVLY: return "OVLY";
    case KIND_PANEL: return "PANEL";
    case KIND_SYNONYM: return "SYNONYM";
    case KIND_DATABASE: return "DATABASE";
    case KIND_DATAVIEW: return "DATAVIEW";
    case KIND_MODEL: return "MODEL";
    case KIND_VIEW: return "VIEW";
    default: return "?";
    }
}

int32_t fixed_from_double(double value) {
    double scaled = std::trunc(value * 1024.0);
    if (!(scaled == scaled)) return 0;  // NaN
    if (scaled >= 2147483647.0) return 2147483647;
    if (scaled <= -2147483648.0) return INT32_MIN;
    return (int32_t)scaled;
}

int32_t fixed_from_text(const char* text, const char** end) {
    char* stop = nullptr;
    double value = std::strtod(text ? text : "", &stop);
    if (end) *end = stop;
    return fixed_from_double(value);
}

// ---------------------------------------------------------------------------------------
// Kind table: size of the record, its list head, its counter, where its name lies.

struct KindInfo {
    int32_t kind;
    size_t size;
    void** head;            // the list head (a pointer to the first record)
    int32_t* counter;
    size_t next_offset;     // offset of the record's list link
    ptrdiff_t name_offset;  // offset of the record's own name, -1 when it has none
};

#define KIND_ROW(code, type, list, count, link, name)                                     \
    {code, sizeof(type), (void**)&catalogue.list, &catalogue.count, offsetof(type, link), \
     name}

static const KindInfo kind_infos[] = {
    KIND_ROW(KIND_WALL, MapObject, objects, object_count, next, -1),
    KIND_ROW(KIND_THING, MapObject, objects, object_count, next, -1),
    KIND_ROW(KIND_REGION, Region, regions, region_count, next, -1),
    KIND_ROW(KIND_TEXTURE, Texture, textures, texture_count, next, offsetof(Texture, name)),
    KIND_ROW(KIND_TEXT, Text, display, display_count, head.next_display, offsetof(Text, head.name)),
    KIND_ROW(KIND_STRING, ScriptString, strings, string_count, next, offsetof(ScriptString, name)),
    KIND_ROW(KIND_ACTION, Action, actions, action_count, next, offsetof(Action, name)),
    KIND_ROW(KIND_PALETTE, Palette, palettes, palette_count, next, offsetof(Palette, name)),
    KIND_ROW(KIND_FONT, Font, fonts, font_count, next, offsetof(Font, name)),
    KIND_ROW(KIND_FLIC, Flic, flics, flic_count, next, offsetof(Flic, name)),
    KIND_ROW(KIND_SKILL, Skill, skills, skill_count, next, offsetof(Skill, name)),
    KIND_ROW(KIND_BMAP, Bitmap, bitmaps, bitmap_count, next, offsetof(Bitmap, name)),
    KIND_ROW(KIND_WAY, Way, ways, way_count, next, offsetof(Way, name)),
    KIND_ROW(KIND_SOUND, Sound, sounds, sound_count, next, offsetof(Sound, name)),
    KIND_ROW(KIND_OVERLAY, Overlay, display, display_count, head.next_display, offsetof(Overlay, head.name)),
    KIND_ROW(KIND_OVLY, OverlayBitmap, overlay_bitmaps, overlay_bitmap_count, next, offsetof(OverlayBitmap, name)),
    KIND_ROW(KIND_PANEL, Panel, display, display_count, head.next_display, offsetof(Panel, head.name)),
    KIND_ROW(KIND_SYNONYM, Synonym, synonyms, synonym_count, next, offsetof(Synonym, name)),
    KIND_ROW(KIND_DATABASE, Database, databases, database_count, next, offsetof(Database, name)),
    KIND_ROW(KIND_DATAVIEW, DataView, dataviews, dataview_count, next, offsetof(DataView, name)),
    KIND_ROW(KIND_MODEL, Model, models, model_count, next, offsetof(Model, name)),
    KIND_ROW(KIND_VIEW, View, views, view_count, next, offsetof(View, name)),
};
#undef KIND_ROW

static const KindInfo* kind_info(int32_t kind) {
    for (const KindInfo& k : kind_infos)
        if (k.kind == kind) return &k;
    return nullptr;
}

static void** link_of(const KindInfo* k, void* record) { return (void**)((char*)record + k->next_offset); }

const char* record_name(int32_t kind, const void* record) {
    const KindInfo* k = kind_info(kind);
    if (!k || !record || k->name_offset < 0) return nullptr;
    return *(const char* const*)((const char*)record + k->name_offset);
}

// Gives a record its own copy of its name. 0, or -2 out of memory.
static int set_record_name(int32_t kind, void* record, const char* name) {
    const KindInfo* k = kind_info(kind);
    if (!k || k->name_offset < 0 || !name) return 0;
    const char** slot = (const char**)((char*)record + k->name_offset);
    size_t length = std::strlen(name);
    char* copy = (char*)std::malloc(length + 1);
    if (!copy) return -2;
    std::memcpy(copy, name, length + 1);
    std::free((void*)*slot);
    *slot = copy;
    return 0;
}

static void set_defaults(int32_t kind, void* record, int32_t number) {
    switch (kind) {
    case KIND_WALL:
    case KIND_THING: {
        MapObject* o = (MapObject*)record;
        o->number = number + 1;
        o->size_x = MAPOBJ_DEFAULT_SIZE;
        o->size_y = MAPOBJ_DEFAULT_SIZE;
        o->distance = MAPOBJ_DEFAULT_DISTANCE;
        o->way_step = -1;
        o->node = -1;
        o->flags = kind == KIND_THING ? (uint32_t)OBJ_THING : 0u;
        break;
    }
    case KIND_REGION: ((Region*)record)->number = number; break;
    case KIND_SKILL: {
        Skill* s = (Skill*)record;
        s->minimum = SKILL_DEFAULT_MIN;
        s->maximum = SKILL_DEFAULT_MAX;
        s->slot = -1;
        s->number = number;
        break;
    }
    case KIND_SYNONYM: {
        Synonym* s = (Synonym*)record;
        s->type = KIND_UNTYPED;
        s->ref = &s->object;
        s->number = number;
        break;
    }
    case KIND_TEXT:
    case KIND_OVERLAY:
    case KIND_PANEL: {
        DisplayHead* h = (DisplayHead*)record;
        h->kind = kind;
        h->number = number;
        h->listed = 1;
        break;
    }
    case KIND_WAY: ((Way*)record)->number = number + 1; break;
    case KIND_DATABASE: {
        Database* d = (Database*)record;
        d->number = number + 1;
        d->separator = ',';
        break;
    }
    case KIND_MODEL: {
        Model* m = (Model*)record;
        m->number = m->next ? m->next->number + 1 : 1;
        break;
    }
    case KIND_TEXTURE: ((Texture*)record)->number = number; break;
    case KIND_STRING: ((ScriptString*)record)->number = number; break;
    case KIND_ACTION: ((Action*)record)->number = number; break;
    case KIND_PALETTE: ((Palette*)record)->number = number; break;
    case KIND_FONT: ((Font*)record)->number = number; break;
    case KIND_FLIC: ((Flic*)record)->number = number; break;
    case KIND_BMAP: ((Bitmap*)record)->number = number; break;
    case KIND_OVLY: ((OverlayBitmap*)record)->number = number; break;
    case KIND_DATAVIEW: ((DataView*)record)->number = number; break;
    case KIND_VIEW: ((View*)record)->number = number; break;
    default: break;
    }
}

void* new_record(int32_t kind) {
    const KindInfo* k = kind_info(kind);
    if (!k) return nullptr;
    void* record = std::calloc(1, k->size);
    if (!record) return nullptr;
    if (kind == KIND_STRING) {
        ScriptString* s = (ScriptString*)record;
        s->text = (char*)std::calloc(1, 1);
        if (!s->text) {
            std::free(record);
            return nullptr;
        }
        s->capacity = 1;
    }
    *link_of(k, record) = *k->head;
    *k->head = record;
    set_defaults(kind, record, (*k->counter)++);
    return record;
}

Vertex* new_vertex(int32_t x, int32_t y, int32_t z) {
    Vertex* v = (Vertex*)std::calloc(1, sizeof(Vertex));
    if (!v) return nullptr;
    v->number = catalogue.vertex_count++;
    v->x = x;
    v->y = y;
    v->z = z;
    v->next = catalogue.vertices;
    catalogue.vertices = v;
    return v;
}

void unlink_record(int32_t kind, void* record) {
    const KindInfo* k = kind_info(kind);
    if (!k || !record) return;
    void** link = k->head;
    while (*link && *link != record) link = link_of(k, *link);
    if (*link) *link = *link_of(k, record);
}

static void free_panel_elements(Panel* p) {
    for (PanelElement*& list : p->elements) {
        while (list) {
            PanelElement* next = list->next;
            std::free(list);
            list = next;
        }
    }
}

void free_record(int32_t kind, void* record) {
    if (!record) return;
    if (release_hooks.free_extra) {
        bool has_extra = false;
        switch (kind) {
        case KIND_SOUND: has_extra = ((Sound*)record)->audio != nullptr; break;
        case KIND_MODEL: has_extra = ((Model*)record)->data != nullptr; break;
        case KIND_BMAP: has_extra = ((Bitmap*)record)->extra != nullptr; break;
        case KIND_OVLY: has_extra = ((OverlayBitmap*)record)->extra != nullptr; break;
        case KIND_PALETTE: has_extra = ((Palette*)record)->extra != nullptr; break;
        case KIND_FONT: has_extra = ((Font*)record)->extra != nullptr; break;
        case KIND_FLIC: has_extra = ((Flic*)record)->extra != nullptr; break;
        case KIND_TEXTURE: has_extra = ((Texture*)record)->extra != nullptr; break;
        case KIND_WALL:
        case KIND_THING: has_extra = ((MapObject*)record)->extra != nullptr; break;
        case KIND_REGION: has_extra = ((Region*)record)->extra != nullptr; break;
        case KIND_OVERLAY: has_extra = ((Overlay*)record)->extra != nullptr; break;
        case KIND_TEXT: has_extra = ((Text*)record)->extra != nullptr; break;
        case KIND_PANEL: has_extra = ((Panel*)record)->extra != nullptr; break;
        case KIND_VIEW: has_extra = ((View*)record)->extra != nullptr; break;
        case KIND_DATABASE: has_extra = ((Database*)record)->extra != nullptr; break;
        case KIND_DATAVIEW: has_extra = ((DataView*)record)->extra != nullptr; break;
        default: break;
        }
        if (has_extra) release_hooks.free_extra(kind, record);
    }
    switch (kind) {
    case KIND_SKILL: {
        Skill* s = (Skill*)record;
        if (s->slot >= 0 && s->slot < SLOT_COUNT && engine_vars[s->slot] == s) engine_vars[s->slot] = nullptr;
        break;
    }
    case KIND_STRING: std::free(((ScriptString*)record)->text); break;
    case KIND_ACTION:
        if (release_hooks.free_instructions) release_hooks.free_instructions((Action*)record);
        break;
    case KIND_BMAP: std::free(((Bitmap*)record)->pixels); break;
    case KIND_OVLY:
        std::free(((OverlayBitmap*)record)->sprite);
        std::free(((OverlayBitmap*)record)->pixels);
        break;
    case KIND_FONT: {
        Font* f = (Font*)record;
        for (uint8_t*& g : f->glyphs) std::free(g);
        std::free(f->source);
        break;
    }
    case KIND_FLIC: std::free(((Flic*)record)->data); break;
    case KIND_TEXTURE: {
        Texture* t = (Texture*)record;
        std::free(t->frames);
        std::free(t->pending_delays);
        if (t->scaled) {
            std::free(t->scaled->pixels);
            std::free(t->scaled);
        }
        break;
    }
    case KIND_WAY: std::free(((Way*)record)->points); break;
    case KIND_OVERLAY: std::free(((Overlay*)record)->frames); break;
    case KIND_TEXT: std::free(((Text*)record)->strings); break;
    case KIND_PANEL: free_panel_elements((Panel*)record); break;
    case KIND_DATABASE: {
        Database* d = (Database*)record;
        while (d->rows) {
            DataRow* next = d->rows->next;
            std::free(d->rows->values);
            std::free(d->rows);
            d->rows = next;
        }
        std::free(d->columns);
        std::free(d->vertex_copy);
        break;
    }
    case KIND_DATAVIEW: std::free(((DataView*)record)->selection); break;
    default: break;
    }
    const KindInfo* k = kind_info(kind);
    if (k && k->name_offset >= 0) std::free(*(void**)((char*)record + k->name_offset));
    std::free(record);
}

// Frees every record of a kind's list; entries naming them stay (the caller drops them).
void free_kind_list(int32_t kind) {
    const KindInfo* k = kind_info(kind);
    if (!k) return;
    while (*k->head) {
        void* record = *k->head;
        *k->head = *link_of(k, record);
        int32_t record_kind = kind;
        if (k->head == (void**)&catalogue.display) record_kind = ((DisplayHead*)record)->kind;
        free_record(record_kind, record);
    }
    *k->counter = 0;
}

void free_vertices() {
    while (catalogue.vertices) {
        Vertex* next = catalogue.vertices->next;
        std::free(catalogue.vertices);
        catalogue.vertices = next;
    }
    catalogue.vertex_count = 0;
}

int create_object(const char* name, int32_t kind, void** out) {
    if (out) *out = nullptr;
    if (!kind_info(kind)) {
        report_error("create_object");
        return -1;
    }
    int result = declare_name(name, kind, nullptr);
    if (result == -2) return -2;
    NameEntry* e = catalogue.current_entry;
    if (!e) return -1;  // invalid name or kind clash, reported
    if (e->object) {
        if (e->kind != kind) {
            report_error("create_object");
            catalogue.current_entry = nullptr;
            return -1;
        }
        if (out) *out = e->object;
        return 1;
    }
    if (e->kind != kind) {
        // A forward reference of another kind: the name is already promised elsewhere.
        report_error("create_object");
        catalogue.current_entry = nullptr;
        return -1;
    }
    void* record = new_record(kind);
    if (!record) return -2;
    if (set_record_name(kind, record, e->name) != 0) {
        unlink_record(kind, record);
        free_record(kind, record);
        return -2;
    }
    if (kind == KIND_WALL || kind == KIND_THING) ((MapObject*)record)->identity = e->name;
    if (kind == KIND_REGION) ((Region*)record)->identity = e->name;
    e->object = record;
    if (out) *out = record;
    return 0;
}

MapObject* new_map_object(const char* name, int32_t kind) {
    if (kind != KIND_WALL && kind != KIND_THING) return nullptr;
    int declared = declare_name(name, kind, nullptr);
    NameEntry* e = catalogue.current_entry;
    if (declared == -2 || !e) return nullptr;
    if (e->kind != kind) {
        report_error("new_map_object");
        catalogue.current_entry = nullptr;
        return nullptr;
    }
    MapObject* o = (MapObject*)new_record(kind);
    if (!o) return nullptr;
    if (!e->object) e->object = o;
    o->identity = e->name;
    return o;
}

int set_string_text(ScriptString* string, const char* text) {
    if (!string) return -1;
    size_t length = std::strlen(text ? text : "");
    if ((int64_t)length + 1 > (int64_t)string->capacity || !string->text) {
        if (length + 1 > 0x7FFFFFFF) return -2;
        char* grown = (char*)std::realloc(string->text, length + 1);
        if (!grown) return -2;
        string->text = grown;
        string->capacity = (int32_t)(length + 1);
    }
    std::memcpy(string->text, text ? text : "", length + 1);
    return 0;
}

// ---------------------------------------------------------------------------------------
// Skills

void reset_skill(Skill* skill) {
    skill->value = 0;
    skill->minimum = SKILL_DEFAULT_MIN;
    skill->maximum = SKILL_DEFAULT_MAX;
}

int create_skill(const char* name) {
    void* object = nullptr;
    int result = create_object(name, KIND_SKILL, &object);
    if (result < 0) return result;
    if (result == 0) return 0;
    if (load_mode & LOAD_REDEFINE) reset_skill((Skill*)object);
    return -1;
}

Skill* find_skill(const char* name) {
    NameEntry* e = find_name_of_kind(name, KIND_SKILL);
    return e ? (Skill*)e->object : nullptr;
}

// Removes one skill: out of the skill list, out of the name table, out of its slot.
void remove_skill(Skill* skill) {
    unlink_record(KIND_SKILL, skill);
    remove_names_of_object(skill->name, skill);
    free_record(KIND_SKILL, skill);
}
