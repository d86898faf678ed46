// Definition objects of WALL, THING and ACTOR blocks and the templates made from them.
#include "world/templates.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "world/textures.h"
#include "world/world.h"

TemplateState templates;

namespace {

constexpr int32_t TWO_PI = 6433;

int32_t wrap_angle(int64_t a) {
    int64_t r = a % TWO_PI;
    return int32_t(r < 0 ? r + TWO_PI : r);
}

// The members a template carries: the object's block from its flag word up to the words
// placement computes, and the references the definition sets.
constexpr size_t block_start = offsetof(MapObject, flags);
constexpr size_t block_end = offsetof(MapObject, floor_hgt);

void copy_members(MapObject* to, const MapObject* from) {
    std::memcpy((char*)to + block_start, (const char*)from + block_start, block_end - block_start);
    to->ambient = from->ambient;
    std::memcpy(to->feature, from->feature, sizeof to->feature);
    std::memcpy(to->feature_ref, from->feature_ref, sizeof to->feature_ref);
    to->texture = from->texture;
    to->attach = from->attach;
    to->if_near = from->if_near;
    to->if_far = from->if_far;
    to->each_cycle = from->each_cycle;
    to->if_hit = from->if_hit;
    to->each_tick = from->each_tick;
    to->if_arrived = from->if_arrived;
    to->target_object = from->target_object;
}

// The defaults of a new map object in the member fields.
void restore_defaults(MapObject* o) {
    MapObject blank = {};
    blank.size_x = MAPOBJ_DEFAULT_SIZE;
    blank.size_y = MAPOBJ_DEFAULT_SIZE;
    blank.distance = MAPOBJ_DEFAULT_DISTANCE;
    o->size_x = blank.size_x;
    o->size_y = blank.size_y;
    o->angle = 0;
    o->target_x = o->target_y = 0;
    copy_members(o, &blank);
    o->way_step = -1;
}

bool same_name(const char* a, const char* b) { return a && b && (a == b || strcasecmp(a, b) == 0); }

Region* first_region() {
    Region* first = nullptr;
    for (Region* r = catalogue.regions; r; r = r->next) first = r;
    return first;
}

MapObject* make_placeholder(NameEntry* e, int32_t kind, bool actor) {
    MapObject* o = (MapObject*)new_record(kind);
    if (!o) return nullptr;
    Vertex* v1 = new_vertex(0, 0, 0);
    Vertex* v2 = kind == KIND_WALL ? new_vertex(0, 0, 0) : v1;
    if (!v1 || !v2) return nullptr;  // the record stays in the list and goes with the world
    o->identity = e->name;
    o->vertex1 = v1;
    o->vertex2 = v2;
    o->region = o->right_region = first_region();
    o->overlay = nullptr;
    o->flags = kind == KIND_WALL ? 0u : actor ? uint32_t(OBJ_THING | OBJ_ACTOR) : uint32_t(OBJ_THING);
    o->status |= OBJSTATUS_PLACEHOLDER;
    e->object = o;
    return o;
}

MapObject* use_scratch() {
    std::memset((void*)&templates.scratch, 0, sizeof templates.scratch);
    restore_defaults(&templates.scratch);
    templates.open_object = &templates.scratch;
    return &templates.scratch;
}

void note_open(MapObject* o, bool placeholder) {
    templates.open_object = o;
    templates.open_placeholder = placeholder;
    templates.open_angle = o->angle;
    templates.open_offset_x = o->offset_x;
    templates.open_offset_y = o->offset_y;
}

ObjectTemplate* new_template(const char* name) {
    ObjectTemplate* t = (ObjectTemplate*)std::calloc(1, sizeof(ObjectTemplate));
    if (!t) return nullptr;
    size_t n = std::strlen(name);
    t->name = (char*)std::malloc(n + 1);
    if (!t->name) {
        std::free(t);
        return nullptr;
    }
    std::memcpy(t->name, name, n + 1);
    t->next = templates.list;
    templates.list = t;
    return t;
}

}  // namespace

ObjectTemplate* find_template(const char* name) {
    for (ObjectTemplate* t = templates.list; t; t = t->next)
        if (same_name(t->name, name)) return t;
    return nullptr;
}

void free_templates() {
    while (templates.list) {
        ObjectTemplate* next = templates.list->next;
        std::free(templates.list->name);
        std::free(templates.list);
        templates.list = next;
    }
    templates.open_object = nullptr;
}

int open_object_definition(const char* name, int32_t kind, bool actor, MapObject** object) {
    if (object) *object = nullptr;
    templates.open_object = nullptr;
    int errors_before = error_store.error_count;
    int declared = declare_name(name, kind, nullptr);
    if (declared == -2) return -2;
    NameEntry* e = catalogue.current_entry;
    if (!e || e->kind != kind) {
        // Invalid name or another kind: the fields go nowhere.
        if (error_store.error_count == errors_before) reader_report_error("open_object_definition");
        if (object) *object = use_scratch();
        return -1;
    }
    MapObject* o = (MapObject*)e->object;
    if (o) {
        if (load_mode & LOAD_REDEFINE) {
            // A world reload defines the object again from its first definition.
            ObjectTemplate* t = find_template(e->name);
            bool placeholder = o->status & OBJSTATUS_PLACEHOLDER;
            restore_defaults(o);
            if (placeholder) {
                o->region = o->right_region = nullptr;
            }
            if (t) {
                o->angle = t->own_angle;
                o->offset_x = t->own_offset_x;
                o->offset_y = t->own_offset_y;
            }
            if (kind == KIND_THING) o->flags |= OBJ_THING | (actor ? uint32_t(OBJ_ACTOR) : 0u);
            note_open(o, placeholder);
        } else if (o->texture) {
            reader_report_error("open_object_definition");  // the name is defined twice
            if (object) *object = use_scratch();
            return -1;
        } else {
            note_open(o, (o->status & OBJSTATUS_PLACEHOLDER) != 0);
        }
    } else {
        o = make_placeholder(e, kind, actor);
        if (!o) return -2;
        note_open(o, true);
    }
    if (object) *object = o;
    return 0;
}

int close_object_definition(MapObject* o) {
    if (!o) o = templates.open_object;
    templates.open_object = nullptr;
    if (!o || o == &templates.scratch) return 0;  // a block that had no object is dropped
    if (!o->texture) {
        reader_report_error("close_object_definition");  // a definition without a texture
        return -1;
    }
    const char* name = o->identity;
    if (!name) return 0;
    ObjectTemplate* t = nullptr;
    if ((load_mode & LOAD_REDEFINE) && !templates.database_reading) t = find_template(name);
    bool fresh = t == nullptr;
    if (!t) t = new_template(name);
    if (!t) {
        report_error("close_object_definition");
        return -1;
    }
    if (!fresh) {
        t->replaced = true;
        t->replaced_angle = t->angle;
        t->replaced_offset_x = t->offset_x;
        t->replaced_offset_y = t->offset_y;
    } else {
        t->own_angle = templates.open_angle;
        t->own_offset_x = templates.open_offset_x;
        t->own_offset_y = templates.open_offset_y;
    }
    t->identity = name;
    t->region = o->region;
    t->right_region = o->right_region;
    t->overlay = o->overlay;
    t->row_local = templates.database_reading;
    t->block = *o;
    if (o->flags & OBJ_THING) {
        t->angle = wrap_angle(int64_t(o->angle) - t->own_angle);
        t->offset_x = t->offset_y = 0;
    } else {
        t->angle = 0;
        t->offset_x = int32_t(int64_t(o->offset_x) - t->own_offset_x);
        t->offset_y = int32_t(int64_t(o->offset_y) - t->own_offset_y);
        o->base_offset_x = t->offset_x;
        o->base_offset_y = t->offset_y;
    }
    // The placeholder of a name the map does not use stays out of sight; its template
    // carries only what the definition gave.
    if (templates.open_placeholder) o->flags |= OBJ_INVISIBLE;
    Texture* texture = o->texture;
    o->texture = nullptr;
    assign_wall_texture(o, texture, 0);
    for (MapObject* other = catalogue.objects; other && other != o; other = other->next)
        if (same_name(other->identity, name)) apply_template(other, t);
    return 0;
}

int apply_template(MapObject* o, const ObjectTemplate* t) {
    if (!o) return -1;
    if (!t) {
        report_error("apply_template");
        return -1;
    }
    int32_t own_angle = o->angle;
    int32_t own_offset_x = o->offset_x, own_offset_y = o->offset_y;
    uint32_t own_kind = o->flags & (OBJ_THING | OBJ_ACTOR);
    Texture* own_texture = o->texture;
    if (t->replaced && same_name(o->identity, t->name)) {
        // The object carries the template this one replaced: its own values are what the
        // map gave, without the old definition's amounts.
        if (own_kind & OBJ_THING) own_angle = wrap_angle(int64_t(own_angle) - t->replaced_angle);
        own_offset_x = int32_t(int64_t(own_offset_x) - t->replaced_offset_x);
        own_offset_y = int32_t(int64_t(own_offset_y) - t->replaced_offset_y);
    }
    restore_defaults(o);
    o->identity = t->identity;
    copy_members(o, &t->block);
    o->flags = (o->flags & ~uint32_t(OBJ_THING | OBJ_ACTOR)) | own_kind;
    if (own_kind & OBJ_THING) {
        o->angle = wrap_angle(int64_t(own_angle) + t->angle);
        if (t->overlay) o->overlay = t->overlay;
    } else {
        o->angle = own_angle;  // LENGTH
        o->offset_x = int32_t(int64_t(own_offset_x) + t->offset_x);
        o->offset_y = int32_t(int64_t(own_offset_y) + t->offset_y);
        o->base_offset_x = t->offset_x;
        o->base_offset_y = t->offset_y;
    }
    Texture* texture = o->texture;
    o->texture = own_texture;
    assign_wall_texture(o, texture, 0);
    return 0;
}
