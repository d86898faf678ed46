// The map writer: one description, two forms.
#include "world/map_writer.h"

#include <cstdio>
#include <cstring>
#include <map>
#include <strings.h>

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
