// Making the records of a map: vertices, region instances chained by name, walls, things,
// actors, ways and the player's start, with the number indexes that walls and things
// refer through. Both map forms come here, so they cannot drift apart.
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/reader_io.h"
#include "script/front/world_script.h"
#include "world/map_internal.h"
#include "world/map_loader.h"
#include "world/world.h"

MapLoadState map_state;

namespace {

// Grows a pointer array to hold at least `need` entries. False when memory ran out.
template <typename T>
bool reserve(T**& array, int32_t& capacity, int64_t need) {
    if (need <= capacity) return true;
    int64_t grown = capacity ? int64_t(capacity) * 2 : 1024;
    while (grown < need) grown *= 2;
    if (grown > 0x7FFFFFFF / int64_t(sizeof(T*))) return false;
    T** bigger = (T**)std::realloc(array, size_t(grown) * sizeof(T*));
    if (!bigger) return false;
    std::memset(bigger + capacity, 0, size_t(grown - capacity) * sizeof(T*));
    array = bigger;
    capacity = int32_t(grown);
    return true;
}

bool index_vertex(Vertex* v) {
    if (v->number < 0) return true;
    if (!reserve(map_state.vertices, map_state.vertex_capacity, int64_t(v->number) + 1)) return false;
    map_state.vertices[v->number] = v;
    if (v->number >= map_state.vertex_count) map_state.vertex_count = v->number + 1;
    return true;
}

bool index_region(Region* r) {
    if (r->number < 0) return true;
    if (!reserve(map_state.regions, map_state.region_capacity, int64_t(r->number) + 1)) return false;
    map_state.regions[r->number] = r;
    if (r->number >= map_state.region_count) map_state.region_count = r->number + 1;
    return true;
}

void out_of_memory() { map_state.out_of_memory = true; }

// The name a record is made under: the catalogue refuses what it cannot name.
bool too_many_regions() {
    if (catalogue.region_count < MAX_REGION_INSTANCES) return false;
    report_error("map_new_region");
    return true;
}

}  // namespace

bool map_index_begin() {
    map_state.vertex_count = 0;
    map_state.region_count = 0;
    map_state.out_of_memory = false;
    if (!reserve(map_state.vertices, map_state.vertex_capacity, catalogue.vertex_count) ||
        !reserve(map_state.regions, map_state.region_capacity, catalogue.region_count))
        return false;
    if (map_state.vertex_capacity) std::memset(map_state.vertices, 0, size_t(map_state.vertex_capacity) * sizeof(Vertex*));
    if (map_state.region_capacity) std::memset(map_state.regions, 0, size_t(map_state.region_capacity) * sizeof(Region*));
    for (Vertex* v = catalogue.vertices; v; v = v->next)
        if (!index_vertex(v)) return false;
    for (Region* r = catalogue.regions; r; r = r->next)
        if (!index_region(r)) return false;
    return true;
}

void map_index_end() {
    std::free(map_state.vertices);
    std::free(map_state.regions);
    map_state.vertices = nullptr;
    map_state.regions = nullptr;
    map_state.vertex_capacity = map_state.region_capacity = 0;
    map_state.vertex_count = map_state.region_count = 0;
}

Vertex* map_vertex(int64_t number) {
    if (number < 0 || number >= map_state.vertex_count) return nullptr;
    return map_state.vertices[number];
}

Region* map_region(int64_t number) {
    if (number < 0 || number >= map_state.region_count) return nullptr;
    return map_state.regions[number];
}

Vertex* map_new_vertex(int32_t x, int32_t y, int32_t z) {
    Vertex* v = new_vertex(x, y, z);
    if (!v || !index_vertex(v)) {
        out_of_memory();
        return nullptr;
    }
    return v;
}

Region* map_new_region(const char* name, int32_t floor_hgt, int32_t ceil_hgt) {
    if (too_many_regions()) return nullptr;
    void* object = nullptr;
    int made = create_object(name, KIND_REGION, &object);
    if (made == -2) {
        out_of_memory();
        return nullptr;
    }
    if (made < 0 || !object) return nullptr;  // invalid name or another kind: reported
    Region* region = (Region*)object;
    if (made == 1) {
        // The name has its region already (a definition or an earlier instance): a new
        // instance joins that region's chain, right after its head.
        Region* head = region;
        region = (Region*)new_record(KIND_REGION);
        if (!region) {
            out_of_memory();
            return nullptr;
        }
        region->identity = head->identity ? head->identity : catalogue.current_entry->name;
        region->instance_chain = head->instance_chain;
        head->instance_chain = region;
    }
    region->floor_hgt = floor_hgt;
    region->ceil_hgt = ceil_hgt;
    note_map_region(region);
    if (!index_region(region)) {
        out_of_memory();
        return nullptr;
    }
    return region;
}

Region* map_region_named(const char* name) {
    NameEntry* e = find_name_of_kind(name, KIND_REGION);
    if (e && e->object) return (Region*)e->object;
    if (too_many_regions()) return nullptr;
    void* object = nullptr;
    int made = create_object(name, KIND_REGION, &object);
    if (made == -2) {
        out_of_memory();
        return nullptr;
    }
    if (made < 0 || !object) return nullptr;
    if (!index_region((Region*)object)) {
        out_of_memory();
        return nullptr;
    }
    return (Region*)object;
}

static MapObject* new_object(const char* name, int32_t kind) {
    int errors = error_store.error_count;
    MapObject* o = new_map_object(name, kind);
    if (!o && error_store.error_count == errors) {
        // new_map_object reports the names it refuses; a silent refusal is a name that
        // check_name turned down before it got that far, or memory.
        if (check_name(name) != 0) report_error("map_new_object");
        else out_of_memory();
    }
    return o;
}

MapObject* map_new_wall(const char* name) {
    MapObject* o = new_object(name, KIND_WALL);
    if (o) o->flags &= ~uint32_t(OBJ_THING | OBJ_ACTOR);
    map_progress();
    return o;
}

MapObject* map_new_thing(const char* name, bool actor) {
    MapObject* o = new_object(name, KIND_THING);
    if (o) o->flags |= OBJ_THING | (actor ? uint32_t(OBJ_ACTOR) : 0u);
    map_progress();
    return o;
}

void map_finish_wall(MapObject* wall, int32_t offset_x, int32_t offset_y) {
    wall->offset_x = offset_x;
    wall->offset_y = offset_y;
    wall->angle = wall_length(wall->vertex1, wall->vertex2);
}

Way* map_new_way(const char* name, int32_t* points, int32_t count) {
    void* object = nullptr;
    int made = create_object(name, KIND_WAY, &object);
    if (made == -2) out_of_memory();
    if (made < 0 || !object) {
        std::free(points);
        return nullptr;
    }
    Way* way = (Way*)object;
    // A second WAY of the same name gives its points to the one way of that name.
    std::free(way->points);
    way->points = points;
    way->point_count = points ? count : 0;
    map_progress();
    return way;
}

bool map_player_start_skipped(int highest_node) {
    if (map_loader.database_mode) return true;
    int32_t node = settings.node;
    int32_t value = 0;
    if (var_get(SLOT_NODE, &value)) node = value;
    if (node < 0) return false;
    int n = node >> 10;
    return n >= 0 && n <= highest_node && n < 4 && world_script.node_actor[n] != nullptr;
}

void map_set_player_start(int32_t x, int32_t y, int32_t angle, Region* region) {
    var_set(SLOT_PLAYER_X, x);
    var_set(SLOT_PLAYER_Y, y);
    var_set(SLOT_PLAYER_ANGLE, angle);
    world_refs.player_region = region;
}

void map_progress() { refresh_loading_screen(); }

bool map_error_reported() { return error_store.error_count > map_state.errors_at_start; }

// ---- Values shared by both forms ---------------------------------------------------------

int32_t wall_length(const Vertex* a, const Vertex* b) {
    if (!a || !b) return 0;
    int64_t dx = int64_t(b->x) - a->x;
    int64_t dy = int64_t(b->y) - a->y;
    // The squares of two int32 differences fit in 64 bits; their shifted sum as well.
    int64_t s = ((dx * dx) >> 10) + ((dy * dy) >> 10);
    double length = std::trunc(std::sqrt(double(s) / 1024.0) * 1024.0);
    if (length >= 2147483647.0) return 2147483647;
    return int32_t(length);
}

int32_t angle_from_degrees(double degrees) {
    double v = std::trunc(degrees * 6.28318531 / 360.0 * 1024.0);
    if (!(v == v)) return 0;
    return int32_t(v);
}

int32_t way_coordinate(double value) {
    double thousandths = std::trunc(value * 1000.0);
    float kept = float(thousandths / 1000.0);
    double v = std::trunc(double(kept) * 1024.0);
    if (!(v == v)) return 0;
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return INT32_MIN;
    return int32_t(v);
}
