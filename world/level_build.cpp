// Building the level: BELOW chains are made safe (cycles cut, shared lower regions
// unshared), regions are stacked, objects are linked into the lists of their stack bases,
// actors collected, walls between equal sides marked as curtains, the map extents taken
// and every object placed. Runs after the definitions, and again whenever the level's
// structure changes (a world reload, a data view build).
#include <cstring>
#include <string>
#include <strings.h>
#include <unordered_map>
#include <vector>

#include "engine/console.h"
#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "script/front/reader_io.h"
#include "world/map_loader.h"
#include "world/world.h"

namespace {

std::vector<Region*> regions_in_order() {
    std::vector<Region*> list;
    list.reserve(size_t(catalogue.region_count > 0 ? catalogue.region_count : 0));
    for (Region* r = catalogue.regions; r; r = r->next) list.push_back(r);
    return list;
}

size_t slot_of(const Region* r) { return r->number >= 0 ? size_t(r->number) : 0; }

template <typename T>
void grow_to(std::vector<T>& v, size_t index) {
    if (index >= v.size()) v.resize(index + 1 + v.size() / 2);
}

// A BELOW chain that comes back to a region it passed is cut at the region whose BELOW
// closes the loop: an endless stack would hang every walk down it.
void cut_below_cycles(const std::vector<Region*>& list) {
    std::vector<int32_t> walk_of;
    int32_t walk = 0;
    for (Region* start : list) {
        walk++;
        Region* previous = nullptr;
        for (Region* x = start; x; x = x->below) {
            grow_to(walk_of, slot_of(x));
            int32_t seen = walk_of[slot_of(x)];
            if (seen == walk) {
                console_message("\r\ndravo: region %s (#%d) closes a loop of BELOW regions; the loop is cut there",
                                previous->identity ? previous->identity : "(unnamed)", previous->number);
                report_error("build_level");
                previous->below = nullptr;
                break;
            }
            if (seen != 0) break;  // walked before: no loop from there on
            walk_of[slot_of(x)] = walk;
            previous = x;
        }
    }
}

// A private copy of a lower region for a second region that names the same one.
Region* private_copy(const Region* shared) {
    if (catalogue.region_count >= MAX_REGION_INSTANCES) return nullptr;
    Region* copy = (Region*)new_record(KIND_REGION);
    if (!copy) return nullptr;
    int32_t number = copy->number;
    Region* next = copy->next;
    std::memcpy((void*)copy, (const void*)shared, sizeof(Region));
    copy->number = number;
    copy->next = next;
    copy->extra = nullptr;  // subsystem data belongs to the original
    return copy;
}

// Two regions naming the same BELOW region: the later one gets a private copy of the
// whole stack below it, so that changing one stack never changes the other.
void unshare_below(const std::vector<Region*>& list) {
    std::vector<Region*> claimer;
    for (Region* r : list) {
        if (!r->below) continue;
        grow_to(claimer, slot_of(r->below));
        if (!claimer[slot_of(r->below)]) claimer[slot_of(r->below)] = r;
    }
    bool refused = false;
    for (Region* r : list) {
        Region* x = r;
        while (x->below) {
            grow_to(claimer, slot_of(x->below));
            Region*& owner = claimer[slot_of(x->below)];
            if (!owner) owner = x;
            if (owner == x) {
                x = x->below;
                continue;
            }
            Region* copy = private_copy(x->below);
            if (!copy) {
                if (!refused) {
                    console_message("\r\ndravo: no room for a private copy of region %s below %s",
                                    x->below->identity ? x->below->identity : "(unnamed)",
                                    x->identity ? x->identity : "(unnamed)");
                    report_error("build_level");
                    refused = true;
                }
                break;
            }
            grow_to(claimer, slot_of(copy));
            claimer[slot_of(copy)] = x;
            x->below = copy;
            x = copy;
        }
    }
}

std::string folded(const char* name) {
    std::string s(name);
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = char(c - 32);
    return s;
}

bool same_identity(const char* a, const char* b) { return a && b && (a == b || strcasecmp(a, b) == 0); }

void link_regions(const std::vector<Region*>& list) {
    std::unordered_map<std::string, Region*> later;
    later.reserve(list.size());
    for (size_t i = list.size(); i-- > 0;) {
        Region* r = list[i];
        r->top = nullptr;
        r->stack_position = 0;
        r->objects = nullptr;
        r->right_walls = nullptr;
        r->same_kind = nullptr;
        if (!r->identity) continue;
        Region*& next = later[folded(r->identity)];
        r->same_kind = next;
        next = r;
    }
    refresh_loading_screen();
}

void stack_regions(const std::vector<Region*>& list) {
    std::vector<uint8_t> below_another;
    for (Region* r : list) {
        r->top = r;
        if (r->clip_dist > CLIP_DIST_LIMIT) r->clip_dist = CLIP_DIST_LIMIT;
        if (!r->below) continue;
        grow_to(below_another, slot_of(r->below));
        below_another[slot_of(r->below)] = 1;
    }
    for (Region* base : list) {
        if (!base->below) continue;
        if (slot_of(base) < below_another.size() && below_another[slot_of(base)]) continue;
        base->stack_position = 1;
        int32_t position = 2;
        for (Region* x = base->below; x && position <= MAX_REGION_INSTANCES + 1; x = x->below) {
            x->top = base;
            x->stack_position = position++;
        }
    }
}

struct Extents {
    bool any;
    int32_t min_x, min_y, max_x, max_y;
    void add(const Vertex* v) {
        if (!v) return;
        if (!any) {
            min_x = max_x = v->x;
            min_y = max_y = v->y;
            any = true;
            return;
        }
        if (v->x < min_x) min_x = v->x;
        if (v->x > max_x) max_x = v->x;
        if (v->y < min_y) min_y = v->y;
        if (v->y > max_y) max_y = v->y;
    }
};

bool is_curtain(const MapObject* wall, const Region* left, const Region* right) {
    return same_identity(left->identity, right->identity) && left->ceil_hgt == right->ceil_hgt &&
           left->floor_hgt == right->floor_hgt && !(wall->flags & OBJ_FENCE) &&
           (left == right || !(left->flags & REGION_SAVE));
}

void link_objects() {
    world.actor_count = 0;
    Extents extents = {};
    for (MapObject* o = catalogue.objects; o; o = o->next) {
        if (o->flags & OBJ_ACTOR) {
            if (world.actor_count < MAX_ACTORS) world.actors[world.actor_count++] = o;
        } else if (o->flags & OBJ_THING) {
            if (o->region) {
                Region* base = o->region->top ? o->region->top : o->region;
                o->region_next = base->objects;
                base->objects = o;
            }
        } else {
            Region* left = o->region ? (o->region->top ? o->region->top : o->region) : nullptr;
            Region* right = o->right_region ? (o->right_region->top ? o->right_region->top : o->right_region) : nullptr;
            o->region = left;
            o->right_region = right;
            if (left) {
                o->region_next = left->objects;
                left->objects = o;
            }
            if (right) {
                o->right_next = right->right_walls;
                right->right_walls = o;
            }
            if (left && right && is_curtain(o, left, right)) o->flags |= OBJ_CURTAIN;
        }
        if (!(o->flags & OBJ_INVISIBLE)) {
            extents.add(o->vertex1);
            if (!(o->flags & OBJ_THING)) extents.add(o->vertex2);
        }
    }
    world.actors[world.actor_count] = nullptr;
    if (extents.any) {
        var_set(SLOT_MAP_MINX, extents.min_x);
        var_set(SLOT_MAP_MINY, extents.min_y);
        var_set(SLOT_MAP_MAXX, extents.max_x);
        var_set(SLOT_MAP_MAXY, extents.max_y);
    }
}

}  // namespace

void build_level() {
    if (!map_loader.map_loaded) return;
    cut_below_cycles(regions_in_order());
    unshare_below(regions_in_order());
    std::vector<Region*> list = regions_in_order();
    link_regions(list);
    stack_regions(list);
    link_objects();
    for (MapObject* o = catalogue.objects; o; o = o->next) place_object_hooked(o, 0);
    world.changed = 1;
}
