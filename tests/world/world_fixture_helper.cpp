// The world test fixture and the world description used to compare loads.
#include "world_fixture.h"

#include <cstddef>
#include <cstdio>
#include <cstring>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "world/map_loader.h"
#include "world/templates.h"
#include "world/world.h"

void WorldTest::SetUp() {
    reset_settings();
    load_mode = 0;
    catalogue_reset();
    reset_reader();
    clear_errors();
    error_store.report_armed = 1;
    free_templates();
    release_level_state();
    world = WorldState{};
    world_hooks = WorldHooks{};
    reset_map_loader();
    create_engine_variables();
}

void WorldTest::TearDown() {
    free_templates();
    load_mode = 0;
    catalogue_reset();
    reset_settings();
    clear_errors();
    reset_map_loader();
}

void WorldTest::fresh_world() {
    free_templates();
    catalogue_reset();
    clear_errors();
    error_store.report_armed = 1;
    release_level_state();
    reset_map_loader();
    create_engine_variables();
}

int WorldTest::errors() { return error_store.error_count; }

std::string WorldTest::reports() {
    char text[4096];
    format_error_reports(text, sizeof text);
    return text;
}

int WorldTest::load_text(const std::string& text, const char* name) {
    std::vector<char> copy(text.begin(), text.end());
    copy.push_back(0);
    copy.push_back(0);
    return load_map_text(copy.data(), int32_t(text.size()), name);
}

int WorldTest::load_binary(const std::vector<uint8_t>& bytes, const char* name) {
    return load_map_binary(bytes.data(), int32_t(bytes.size()), name);
}

int WorldTest::load_text(const MapDescription& map, const char* name) { return load_text(write_map_text(map), name); }

int WorldTest::load_binary(const MapDescription& map, const char* name) {
    std::vector<uint8_t> bytes;
    if (!write_map_binary(map, &bytes)) return -100;
    return load_binary(bytes, name);
}

static int number_of(const Region* r) { return r ? r->number : -1; }

// The 32-bit words of a record from one member to another, as text.
template <typename T>
static std::string words(const T* record, size_t from, size_t to) {
    std::string out;
    for (size_t at = from; at + 4 <= to; at += 4) {
        int32_t w;
        std::memcpy(&w, (const char*)record + at, 4);
        out += " " + std::to_string(w);
    }
    return out;
}
static int number_of(const Vertex* v) { return v ? v->number : -1; }

std::string describe_world() {
    std::string out;
    char line[512];
    std::vector<const Vertex*> vertices;
    for (const Vertex* v = catalogue.vertices; v; v = v->next) vertices.insert(vertices.begin(), v);
    for (const Vertex* v : vertices) {
        std::snprintf(line, sizeof line, "vertex %d: %d %d %d\n", v->number, v->x, v->y, v->z);
        out += line;
    }
    std::vector<const Region*> regions;
    for (const Region* r = catalogue.regions; r; r = r->next) regions.insert(regions.begin(), r);
    for (const Region* r : regions) {
        std::snprintf(line, sizeof line, "region %d %s: floor %d ceiling %d chain %d below %d\n", r->number,
                      r->identity ? r->identity : "-", r->floor_hgt, r->ceil_hgt, number_of(r->instance_chain),
                      number_of(r->below));
        out += line;
        out += "  members" + words(r, offsetof(Region, floor_hgt), offsetof(Region, foot_hgt)) + "\n";
    }
    std::vector<const MapObject*> objects;
    for (const MapObject* o = catalogue.objects; o; o = o->next) objects.insert(objects.begin(), o);
    for (const MapObject* o : objects) {
        std::snprintf(line, sizeof line,
                      "object %d %s: flags %x v %d %d regions %d %d angle %d offsets %d %d size %d %d overlay %p\n",
                      o->number, o->identity ? o->identity : "-", o->flags, number_of(o->vertex1),
                      number_of(o->vertex2), number_of(o->region), number_of(o->right_region), o->angle, o->offset_x,
                      o->offset_y, o->size_x, o->size_y, (void*)o->overlay);
        out += line;
        out += "  members" + words(o, offsetof(MapObject, size_x), offsetof(MapObject, floor_hgt)) + "\n";
    }
    std::vector<const Way*> ways;
    for (const Way* w = catalogue.ways; w; w = w->next) ways.insert(ways.begin(), w);
    for (const Way* w : ways) {
        std::snprintf(line, sizeof line, "way %d %s: %d points", w->number, w->name ? w->name : "-", w->point_count);
        out += line;
        for (int i = 0; i < w->point_count * 2; i++) out += " " + std::to_string(w->points[i]);
        out += "\n";
    }
    std::snprintf(line, sizeof line, "player %d %d %d region %d\n", var_value(SLOT_PLAYER_X), var_value(SLOT_PLAYER_Y),
                  var_value(SLOT_PLAYER_ANGLE), number_of((const Region*)world_refs.player_region));
    out += line;
    return out;
}

Region* region_number(int n) {
    for (Region* r = catalogue.regions; r; r = r->next)
        if (r->number == n) return r;
    return nullptr;
}

MapObject* object_number(int n) {
    for (MapObject* o = catalogue.objects; o; o = o->next)
        if (o->number == n) return o;
    return nullptr;
}

Vertex* vertex_number(int n) {
    for (Vertex* v = catalogue.vertices; v; v = v->next)
        if (v->number == n) return v;
    return nullptr;
}

Way* way_named(const char* name) {
    NameEntry* e = find_name_of_kind(name, KIND_WAY);
    return e ? (Way*)e->object : nullptr;
}
