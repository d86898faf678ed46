// The map writer: one description, two forms.
#include "world/map_writer.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <map>
#include <strings.h>

#include "script/front/catalogue.h"
#include "world/map_loader.h"

static MapItem make_item(MapItemKind kind, const std::string& name) {
    MapItem item;
    item.kind = kind;
    item.name = name;
    return item;
}

int32_t MapDescription::vertex(double x, double y, double z, bool has_z) {
    int32_t n = 0;
    for (const MapItem& i : items) n += i.kind == ITEM_VERTEX || i.kind == ITEM_THING || i.kind == ITEM_ACTOR;
    MapItem item = make_item(ITEM_VERTEX, "");
    item.x = x;
    item.y = y;
    item.z = z;
    item.has_z = has_z || z != 0;
    items.push_back(item);
    return n;
}

int32_t MapDescription::region(const std::string& name, double floor, double ceiling) {
    int32_t n = 0;
    for (const MapItem& i : items) n += i.kind == ITEM_REGION;
    MapItem item = make_item(ITEM_REGION, name);
    item.floor = floor;
    item.ceiling = ceiling;
    items.push_back(item);
    return n;
}

void MapDescription::wall(const std::string& name, int32_t v1, int32_t v2, MapRegionRef left, MapRegionRef right,
                          double ox, double oy, int offsets) {
    MapItem item = make_item(ITEM_WALL, name);
    item.vertex1 = v1;
    item.vertex2 = v2;
    item.left = left;
    item.right = right;
    item.offset_x = ox;
    item.offset_y = oy;
    item.offsets = offsets ? offsets : (oy != 0 ? 2 : ox != 0 ? 1 : 0);
    items.push_back(item);
}

void MapDescription::thing(const std::string& name, double x, double y, double angle, MapRegionRef region, bool actor) {
    MapItem item = make_item(actor ? ITEM_ACTOR : ITEM_THING, name);
    item.x = x;
    item.y = y;
    item.angle = angle;
    item.left = region;
    items.push_back(item);
}

void MapDescription::player_start(double x, double y, double angle, MapRegionRef region) {
    MapItem item = make_item(ITEM_PLAYER_START, "");
    item.x = x;
    item.y = y;
    item.angle = angle;
    item.left = region;
    items.push_back(item);
}

void MapDescription::way(const std::string& name, std::vector<double> coords) {
    MapItem item = make_item(ITEM_WAY, name);
    item.coords = std::move(coords);
    items.push_back(item);
}

namespace {

std::string number(double v) {
    char text[64];
    std::snprintf(text, sizeof text, "%.10g", v);
    return text;
}

std::string reference(const MapRegionRef& r) { return r.by_name ? r.name : std::to_string(r.number); }

struct Bytes {
    std::vector<uint8_t>* out;
    void u8(uint8_t v) { out->push_back(v); }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; i++) out->push_back(uint8_t(v >> (8 * i)));
    }
    void f32(double v) {
        float f = float(v);
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        u32(bits);
    }
    void name(const std::string& s) {
        size_t n = s.size() > 29 ? 29 : s.size();
        u8(uint8_t(n));
        out->insert(out->end(), s.begin(), s.begin() + long(n));
    }
};

struct Folded {
    bool operator()(const std::string& a, const std::string& b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

}  // namespace

std::string write_map_text(const MapDescription& map) {
    std::string t;
    for (const MapItem& i : map.items) {
        switch (i.kind) {
        case ITEM_VERTEX:
            t += "VERTEX " + number(i.x) + " " + number(i.y) + (i.has_z ? " " + number(i.z) : "") + ";\n";
            break;
        case ITEM_REGION: t += "REGION " + i.name + " " + number(i.floor) + " " + number(i.ceiling) + ";\n"; break;
        case ITEM_WALL:
            t += "WALL " + i.name + " " + std::to_string(i.vertex1) + " " + std::to_string(i.vertex2) + " " +
                 reference(i.left) + " " + reference(i.right);
            if (i.offsets >= 1) t += " " + number(i.offset_x);
            if (i.offsets >= 2) t += " " + number(i.offset_y);
            t += ";\n";
            break;
        case ITEM_THING:
        case ITEM_ACTOR:
            t += std::string(i.kind == ITEM_ACTOR ? "ACTOR " : "THING ") + i.name + " " + number(i.x) + " " +
                 number(i.y) + " " + number(i.angle) + " " + reference(i.left) + ";\n";
            break;
        case ITEM_PLAYER_START:
            t += "PLAYER_START " + number(i.x) + " " + number(i.y) + " " + number(i.angle) + " " + reference(i.left) +
                 ";\n";
            break;
        case ITEM_WAY:
            t += "WAY " + i.name;
            for (double c : i.coords) t += " " + number(c);
            t += ";\n";
            break;
        }
    }
    return t;
}

bool write_map_binary(const MapDescription& map, std::vector<uint8_t>* out) {
    out->clear();
    out->resize(40, 0);
    Bytes b{out};
    std::map<std::string, int32_t, Folded> first_instance;
    int32_t regions = 0;
    auto number_of = [&](const MapRegionRef& r, int32_t* n) {
        if (!r.by_name) {
            *n = r.number;
            return true;
        }
        auto found = first_instance.find(r.name);
        if (found == first_instance.end()) return false;
        *n = found->second;
        return true;
    };
    for (const MapItem& i : map.items) {
        int32_t left = 0, right = 0;
        switch (i.kind) {
        case ITEM_VERTEX:
            b.u32(1);
            b.f32(i.x);
            b.f32(i.y);
            b.f32(i.z);
            break;
        case ITEM_REGION:
            b.u32(2);
            b.name(i.name);
            b.f32(i.floor);
            b.f32(i.ceiling);
            first_instance.emplace(i.name, regions++);
            break;
        case ITEM_WALL:
            if (!number_of(i.left, &left) || !number_of(i.right, &right)) {
                out->clear();
                return false;
            }
            b.u32(3);
            b.name(i.name);
            b.u32(uint32_t(i.vertex2));  // the end vertex comes first
            b.u32(uint32_t(i.vertex1));
            b.u32(uint32_t(left));
            b.u32(uint32_t(right));
            b.f32(i.offsets >= 1 ? i.offset_x : 0);
            b.f32(i.offsets >= 2 ? i.offset_y : 0);
            break;
        case ITEM_THING:
        case ITEM_ACTOR:
            if (!number_of(i.left, &left)) {
                out->clear();
                return false;
            }
            b.u32(i.kind == ITEM_ACTOR ? 5 : 4);
            b.name(i.name);
            b.f32(i.x);
            b.f32(i.y);
            b.f32(i.angle);
            b.u32(uint32_t(left));
            break;
        case ITEM_PLAYER_START:
            if (!number_of(i.left, &left)) {
                out->clear();
                return false;
            }
            b.u32(6);
            b.f32(i.x);
            b.f32(i.y);
            b.f32(i.angle);
            b.u32(uint32_t(left));
            break;
        case ITEM_WAY:
            b.u32(7);
            b.name(i.name);
            b.u32(uint32_t(i.coords.size() / 2));
            for (size_t k = 0; k + 1 < i.coords.size(); k += 2) {
                b.f32(i.coords[k]);
                b.f32(i.coords[k + 1]);
            }
            break;
        }
    }
    return true;
}

// ---- The loaded level ------------------------------------------------------------------

namespace {

template <typename T>
std::vector<T*> by_number(T* list, int32_t count) {
    std::vector<T*> v(size_t(count > 0 ? count : 0), nullptr);
    for (T* r = list; r; r = r->next)
        if (r->number >= 0 && r->number < count) v[size_t(r->number)] = r;
    return v;
}

double units(int32_t raw) { return raw / 1024.0; }

// Degrees whose conversion gives back exactly this fixed-point angle.
double degrees(int32_t angle) { return (angle + 0.5) * 360.0 / (6.28318531 * 1024.0); }

// A way coordinate that the text form's thousandths rule turns back into `raw`.
double way_value(int32_t raw) {
    double best = raw / 1024.0;
    double d = std::floor(raw * 1000.0 / 1024.0);
    for (double k = d - 2; k <= d + 3; k++)
        if (way_coordinate(k / 1000.0) == raw) return k / 1000.0;
    return best;
}

}  // namespace

bool describe_loaded_level(MapDescription* out, std::string* problem) {
    out->items.clear();
    std::vector<Region*> regions = by_number(catalogue.regions, catalogue.region_count);
    std::vector<Vertex*> vertices = by_number(catalogue.vertices, catalogue.vertex_count);
    std::vector<MapObject*> objects = by_number(catalogue.objects, catalogue.object_count + 1);
    std::vector<Way*> ways = by_number(catalogue.ways, catalogue.way_count + 1);
    auto fail = [&](const std::string& why) {
        if (problem) *problem = why;
        out->items.clear();
        return false;
    };
    for (Region* r : regions) {
        if (!r) return fail("the region numbers have gaps");
        out->region(r->identity ? r->identity : "", units(r->floor_hgt), units(r->ceil_hgt));
    }
    std::vector<uint8_t> position(vertices.size(), 0);
    for (MapObject* o : objects)
        if (o && (o->flags & OBJ_THING) && o->vertex1 && o->vertex1->number >= 0 &&
            size_t(o->vertex1->number) < position.size())
            position[size_t(o->vertex1->number)] = 1;
    size_t next_vertex = 0;
    auto plain_vertices_below = [&](size_t limit) {
        for (; next_vertex < limit && next_vertex < vertices.size(); next_vertex++) {
            if (position[next_vertex]) return false;  // a thing's position must come with its thing
            Vertex* v = vertices[next_vertex];
            if (!v) return false;
            out->vertex(units(v->x), units(v->y), units(v->z), v->z != 0);
        }
        return true;
    };
    for (size_t n = 1; n < objects.size(); n++) {
        MapObject* o = objects[n];
        if (!o) return fail("the object numbers have gaps");
        const char* name = o->identity ? o->identity : "";
        if (o->flags & OBJ_THING) {
            if (!o->vertex1 || !o->region) return fail(std::string("thing ") + name + " has no position or region");
            size_t at = size_t(o->vertex1->number);
            if (!plain_vertices_below(at) || next_vertex != at) return fail(std::string("thing ") + name + " shares a vertex");
            next_vertex++;
            out->thing(name, units(o->vertex1->x), units(o->vertex1->y), degrees(o->angle),
                       MapRegionRef::of(o->region->number), (o->flags & OBJ_ACTOR) != 0);
        } else {
            if (!o->vertex1 || !o->vertex2 || !o->region || !o->right_region)
                return fail(std::string("wall ") + name + " lacks a vertex or a region");
            size_t top = size_t(std::max(o->vertex1->number, o->vertex2->number)) + 1;
            if (!plain_vertices_below(top) && next_vertex < top) return fail(std::string("wall ") + name + " uses a thing's vertex");
            out->wall(name, o->vertex1->number, o->vertex2->number, MapRegionRef::of(o->region->number),
                      MapRegionRef::of(o->right_region->number), units(o->offset_x), units(o->offset_y - 1), 2);
        }
    }
    if (!plain_vertices_below(vertices.size())) return fail("a thing's vertex has no thing");
    for (size_t n = 1; n < ways.size(); n++) {
        Way* w = ways[n];
        if (!w) continue;
        std::vector<double> coords;
        for (int32_t i = 0; i < w->point_count * 2; i++) coords.push_back(way_value(w->points[i]));
        out->way(w->name ? w->name : "", coords);
    }
    Region* start = (Region*)world_refs.player_region;
    if (start)
        out->player_start(units(var_value(SLOT_PLAYER_X)), units(var_value(SLOT_PLAYER_Y)),
                          degrees(var_value(SLOT_PLAYER_ANGLE)), MapRegionRef::of(start->number));
    return true;
}

std::string level_signature() {
    std::string out;
    char line[512];
    auto words = [](const void* record, size_t from, size_t to) {
        std::string s;
        for (size_t at = from; at + 4 <= to; at += 4) {
            int32_t w;
            std::memcpy(&w, (const char*)record + at, 4);
            s += " " + std::to_string(w);
        }
        return s;
    };
    auto number = [](const auto* p) { return p ? int(p->number) : -1; };
    for (Vertex* v : by_number(catalogue.vertices, catalogue.vertex_count)) {
        if (!v) continue;
        std::snprintf(line, sizeof line, "vertex %d: %d %d %d\n", v->number, v->x, v->y, v->z);
        out += line;
    }
    for (Region* r : by_number(catalogue.regions, catalogue.region_count)) {
        if (!r) continue;
        std::snprintf(line, sizeof line, "region %d %s: chain %d below %d", r->number, r->identity ? r->identity : "-",
                      number(r->instance_chain), number(r->below));
        out += line + words(r, offsetof(Region, floor_hgt), offsetof(Region, foot_hgt)) + "\n";
    }
    for (MapObject* o : by_number(catalogue.objects, catalogue.object_count + 1)) {
        if (!o) continue;
        std::snprintf(line, sizeof line, "object %d %s: v %d %d regions %d %d", o->number,
                      o->identity ? o->identity : "-", number(o->vertex1), number(o->vertex2), number(o->region),
                      number(o->right_region));
        out += line + words(o, offsetof(MapObject, size_x), offsetof(MapObject, floor_hgt)) + "\n";
    }
    for (Way* w : by_number(catalogue.ways, catalogue.way_count + 1)) {
        if (!w) continue;
        out += "way " + std::to_string(w->number) + " " + (w->name ? w->name : "-") + ":";
        for (int32_t i = 0; i < w->point_count * 2; i++) out += " " + std::to_string(w->points[i]);
        out += "\n";
    }
    std::snprintf(line, sizeof line, "player %d %d %d region %d\n", var_value(SLOT_PLAYER_X), var_value(SLOT_PLAYER_Y),
                  var_value(SLOT_PLAYER_ANGLE), number((const Region*)world_refs.player_region));
    return out + line;
}
