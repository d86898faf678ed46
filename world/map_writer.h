// Writes a map in both forms from one description: the text form (.WMP statements) and the
// binary form (header and tagged records). The tools, the tests and the benchmark make
// their maps with it, so that every map exists as two twins that must load alike.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A region operand: an instance number, or a name (the catalogue's region of that name).
struct MapRegionRef {
    bool by_name = false;
    int32_t number = 0;
    std::string name;
    static MapRegionRef of(int32_t n) { return MapRegionRef{false, n, {}}; }
    static MapRegionRef of(const std::string& s) { return MapRegionRef{true, 0, s}; }
};

enum MapItemKind { ITEM_VERTEX, ITEM_REGION, ITEM_WALL, ITEM_THING, ITEM_ACTOR, ITEM_PLAYER_START, ITEM_WAY };

// One statement (text) or record (binary), in map order.
struct MapItem {
    MapItemKind kind = ITEM_VERTEX;
    std::string name;           // region, wall, thing, actor, way
    double x = 0, y = 0, z = 0; // vertex; thing, actor, player start: x, y
    bool has_z = false;
    double floor = 0, ceiling = 0;
    int32_t vertex1 = 0, vertex2 = 0;  // wall: start and end vertex numbers
    MapRegionRef left, right;   // wall sides; thing, actor, player start: `left`
    double offset_x = 0, offset_y = 0;
    int offsets = 0;            // how many offsets the text form writes (0, 1, 2)
    double angle = 0;           // degrees
    std::vector<double> coords; // way: x1, y1, x2, y2, ...
};

struct MapDescription {
    std::vector<MapItem> items;

    int32_t vertex(double x, double y, double z = 0, bool has_z = false);
    int32_t region(const std::string& name, double floor, double ceiling);
    void wall(const std::string& name, int32_t v1, int32_t v2, MapRegionRef left, MapRegionRef right, double ox = 0,
              double oy = 0, int offsets = 0);
    void thing(const std::string& name, double x, double y, double angle, MapRegionRef region, bool actor = false);
    void player_start(double x, double y, double angle, MapRegionRef region);
    void way(const std::string& name, std::vector<double> coords);
};

std::string write_map_text(const MapDescription& map);
// Region names are resolved to the numbers of their first instance; false (and an empty
// result) when a name refers to no earlier REGION, which only the text form can express.
bool write_map_binary(const MapDescription& map, std::vector<uint8_t>* out);

// The level that is loaded now (before it is built) as a description that writes it again
// with the same numbers. False with the reason when a record cannot be expressed (a thing
// or wall left without its region by a faulty map, a thing sharing a vertex).
bool describe_loaded_level(MapDescription* out, std::string* problem);
// Every record of the loaded level, one line each, in numbering order (vertices, regions,
// map objects with their members, ways, the player's start): two loads of one level give
// the same text.
std::string level_signature();
