// The binary form of a map: a 40-byte header (a zero word, then 36 bytes for an optional
// hook) and tagged little-endian records to the end of the file. Nothing in the file is
// trusted: every count, index and float is checked before it is used, and the first
// malformed record ends the load with an error that names the record.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "world/map_internal.h"
#include "world/map_loader.h"

bool (*binary_map_header_hook)(const uint8_t* bytes, int32_t count) = nullptr;

namespace {

enum RecordType : uint32_t {
    RECORD_VERTEX = 1, RECORD_REGION = 2, RECORD_WALL = 3, RECORD_THING = 4, RECORD_ACTOR = 5,
    RECORD_PLAYER_START = 6, RECORD_WAY = 7,
};

constexpr int32_t HEADER_SIZE = 40;
constexpr int MAX_NAME_LENGTH = 29;
// Payload bytes after the name of each record type (way: before its points).
constexpr int32_t payload_size[8] = {0, 12, 8, 24, 16, 16, 16, 4};

struct Cursor {
    const uint8_t* data;
    int64_t size;
    int64_t pos;
    const char* file;
    int32_t record;        // 1-based record number, for reports
    int64_t record_start;  // its byte offset
    uint32_t type;
    char text[160];        // the statement text of a report
    bool failed;
};

uint32_t u32_at(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

float f32_at(const uint8_t* p) {
    uint32_t bits = u32_at(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// One error that names the file and the record (its number stands where a text map has
// its line).
void fail(Cursor& c, const char* what) {
    if (c.failed) return;
    c.failed = true;
    std::snprintf(c.text, sizeof c.text, "record %d (type %u) at byte %lld: %s", c.record, c.type,
                  (long long)c.record_start, what);
    error_context.script_file = c.file;
    error_context.script_line = c.record;
    error_context.script_statement = c.text;
    report_error("load_map");
}

bool have(const Cursor& c, int64_t bytes) { return bytes >= 0 && c.size - c.pos >= bytes; }

// A float that must become a fixed-point map value: finite and within the int32 range once
// multiplied by 1024 (after `add`, the map offset).
bool fixed_value(Cursor& c, float f, double add, int32_t* out) {
    double v = (double(f) + add) * 1024.0;
    if (!std::isfinite(f) || !std::isfinite(v) || v >= 2147483648.0 || v <= -2147483649.0) {
        fail(c, "a coordinate is not a number or out of range");
        return false;
    }
    *out = int32_t(std::trunc(v));
    return true;
}

bool degrees_value(Cursor& c, float f, int32_t* out) {
    if (!(f >= 0.0f && f <= 360.0f)) {
        fail(c, "an angle is not within 0 .. 360 degrees");
        return false;
    }
    *out = angle_from_degrees(double(f));
    return true;
}

Vertex* vertex_number(Cursor& c, uint32_t number) {
    Vertex* v = map_vertex(int64_t(number) + map_loader.vertex_base);
    if (!v) fail(c, "an unknown vertex number");
    return v;
}

Region* region_number(Cursor& c, uint32_t number, bool with_base) {
    Region* r = map_region(int64_t(number) + (with_base ? map_loader.region_base : 0));
    if (!r) fail(c, "an unknown region number");
    return r;
}

// A record the catalogue could not make: its own report names the cause (an invalid name,
// a kind clash); memory is answered with -2 by the caller.
bool made(Cursor& c, const void* record) {
    if (record) return true;
    if (!map_state.out_of_memory && !map_error_reported()) fail(c, "the record cannot be made");
    c.failed = true;
    return false;
}

// Sets the report context before the catalogue is asked to make a record, so that its own
// reports (an invalid name, a kind clash) name this record too.
void set_context(Cursor& c, const char* name) {
    std::snprintf(c.text, sizeof c.text, "record %d (type %u) at byte %lld: %s", c.record, c.type,
                  (long long)c.record_start, name ? name : "");
    error_context.script_file = c.file;
    error_context.script_line = c.record;
    error_context.script_statement = c.text;
}

// Reads one record at c.pos; false ends the walk. *player_starts counts type 6.
bool read_record(Cursor& c, int32_t* player_starts) {
    c.record_start = c.pos;
    c.type = u32_at(c.data + c.pos);
    c.pos += 4;
    set_context(c, "");
    if (c.type < RECORD_VERTEX || c.type > RECORD_WAY) {
        fail(c, "an unknown record type");
        return false;
    }
    char name[MAX_NAME_LENGTH + 1] = "";
    bool named = c.type != RECORD_VERTEX && c.type != RECORD_PLAYER_START;
    if (named) {
        if (!have(c, 1)) {
            fail(c, "the record runs past the end of the file");
            return false;
        }
        int length = c.data[c.pos++];
        if (length > MAX_NAME_LENGTH) {
            fail(c, "a name longer than 29 bytes");
            return false;
        }
        if (!have(c, length)) {
            fail(c, "the record runs past the end of the file");
            return false;
        }
        int n = 0;
        while (n < length && c.data[c.pos + n]) {
            name[n] = char(c.data[c.pos + n]);
            n++;
        }
        name[n] = 0;
        c.pos += length;
    }
    if (!have(c, payload_size[c.type])) {
        fail(c, "the record runs past the end of the file");
        return false;
    }
    const uint8_t* p = c.data + c.pos;
    c.pos += payload_size[c.type];
    set_context(c, name);

    switch (c.type) {
    case RECORD_VERTEX: {
        int32_t x, y, z;
        if (!fixed_value(c, f32_at(p), map_loader.offset_x, &x) || !fixed_value(c, f32_at(p + 4), map_loader.offset_y, &y) ||
            !fixed_value(c, f32_at(p + 8), 0.0, &z))
            return false;
        return made(c, map_new_vertex(x, y, z));
    }
    case RECORD_REGION: {
        int32_t floor, ceiling;
        if (!fixed_value(c, f32_at(p), 0.0, &floor) || !fixed_value(c, f32_at(p + 4), 0.0, &ceiling)) return false;
        return made(c, map_new_region(name, floor, ceiling));
    }
    case RECORD_WALL: {
        // The end vertex comes first.
        Vertex* end = vertex_number(c, u32_at(p));
        Vertex* start = end ? vertex_number(c, u32_at(p + 4)) : nullptr;
        Region* left = start ? region_number(c, u32_at(p + 8), true) : nullptr;
        Region* right = left ? region_number(c, u32_at(p + 12), true) : nullptr;
        float ox = f32_at(p + 16), oy = f32_at(p + 20);
        int32_t offset_x = 0, offset_y = 0;
        if (!right || !fixed_value(c, ox, 0.0, &offset_x) || !fixed_value(c, oy, 0.0, &offset_y)) return false;
        MapObject* wall = map_new_wall(name);
        if (!made(c, wall)) return false;
        wall->vertex1 = start;
        wall->vertex2 = end;
        wall->region = left;
        wall->right_region = right;
        // The binary form keeps the fraction of the offsets.
        map_finish_wall(wall, offset_x, offset_y == INT32_MAX ? offset_y : offset_y + 1);
        return true;
    }
    case RECORD_THING:
    case RECORD_ACTOR: {
        int32_t x, y, angle;
        if (!fixed_value(c, f32_at(p), map_loader.offset_x, &x) || !fixed_value(c, f32_at(p + 4), map_loader.offset_y, &y) ||
            !degrees_value(c, f32_at(p + 8), &angle))
            return false;
        Region* region = region_number(c, u32_at(p + 12), true);
        if (!region) return false;
        MapObject* thing = map_new_thing(name, c.type == RECORD_ACTOR);
        if (!made(c, thing)) return false;
        Vertex* v = map_new_vertex(x, y, 0);
        if (!made(c, v)) return false;
        thing->vertex1 = thing->vertex2 = v;
        thing->angle = angle;
        thing->region = region;
        thing->overlay = nullptr;
        return true;
    }
    case RECORD_PLAYER_START: {
        (*player_starts)++;
        if (map_player_start_skipped(3)) return true;
        int32_t x, y, angle;
        if (!fixed_value(c, f32_at(p), 0.0, &x) || !fixed_value(c, f32_at(p + 4), 0.0, &y) ||
            !degrees_value(c, f32_at(p + 8), &angle))
            return false;
        Region* region = region_number(c, u32_at(p + 12), false);
        if (!region) return false;
        map_set_player_start(x, y, angle, region);
        return true;
    }
    case RECORD_WAY: {
        uint32_t count = u32_at(p);
        // The count is checked against what the file holds before anything is multiplied.
        if (uint64_t(count) > uint64_t(c.size - c.pos) / 8) {
            fail(c, "the way's point count runs past the end of the file");
            return false;
        }
        int32_t* points = nullptr;
        if (count > 0) {
            points = (int32_t*)std::malloc(size_t(count) * 2 * sizeof(int32_t));
            if (!points) {
                map_state.out_of_memory = true;
                c.failed = true;
                return false;
            }
        }
        for (uint32_t i = 0; i < count * 2; i++) {
            float f = f32_at(c.data + c.pos + int64_t(i) * 4);
            if (!fixed_value(c, f, 0.0, &points[i])) {
                std::free(points);
                return false;
            }
        }
        c.pos += int64_t(count) * 8;
        return made(c, map_new_way(name, points, int32_t(count)));
    }
    default: return false;
    }
}

}  // namespace

int load_map_binary(const uint8_t* data, int32_t size, const char* name) {
    ErrorContext saved = error_context;
    Cursor c = {};
    c.data = data;
    c.size = data ? size : 0;
    c.file = name ? name : "";
    map_state.errors_at_start = error_store.error_count;
    int32_t player_starts = 0;
    int result = 0;

    if (!map_index_begin()) {
        result = -2;
    } else if (c.size < HEADER_SIZE) {
        fail(c, "the header is shorter than 40 bytes");
    } else if (u32_at(data) != 0) {
        fail(c, "the header does not begin with a zero word");
    } else if (binary_map_header_hook && !binary_map_header_hook(data + 4, HEADER_SIZE - 4)) {
        fail(c, "the header was refused");
    } else {
        c.pos = HEADER_SIZE;
        while (c.size - c.pos >= 4) {
            c.record++;
            if (!read_record(c, &player_starts)) break;
        }
    }
    if (!c.failed && !map_state.out_of_memory && player_starts == 0 && result == 0) {
        c.record = 0;
        c.type = 0;
        c.record_start = c.pos;
        fail(c, "the map has no player start");
    }
    if (c.failed || map_state.out_of_memory || map_error_reported()) result = -2;
    map_loader.map_end = catalogue.objects;
    map_index_end();
    error_context = saved;
    return result;
}
