// The text form of a map: WDL-like statements read with the script reader's scanner.
// Every statement is a keyword and its operands up to ";"; numbers are an optional sign,
// digits and optionally a point and digits (integer operands take no point). An error is
// reported at the map line, the statement is abandoned and the load ends at the next one.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "world/map_internal.h"
#include "world/map_loader.h"

namespace {

bool same_word(const char* a, const char* b) {
    for (; *a && *b; a++, b++) {
        unsigned char x = uint8_t(*a), y = uint8_t(*b);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return *a == *b;
}

struct Number {
    double value;   // as written
    int32_t fixed;  // x 1024, truncated toward zero, cut to the int32 range
};

// The number grammar of the reader: [+-]digits[.digits]; `integer` refuses the point.
bool parse(const char* s, bool integer, Number* out) {
    const char* p = s;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return false;
    int64_t whole = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (whole < (int64_t(1) << 40)) whole = whole * 10 + (*p - '0');
    int64_t frac = 0, scale = 1;
    if (*p == '.') {
        if (integer) return false;
        p++;
        if (*p < '0' || *p > '9') return false;
        for (; *p >= '0' && *p <= '9'; p++)
            if (scale < 1000000000) {
                frac = frac * 10 + (*p - '0');
                scale *= 10;
            }
    }
    if (*p) return false;
    int64_t v = whole * 1024 + frac * 1024 / scale;
    if (v > INT32_MAX) v = INT32_MAX;
    if (negative) v = -v;
    out->fixed = int32_t(v);
    out->value = std::strtod(s, nullptr);
    return true;
}

enum TakeResult { TAKEN = 0, MISSING = 1, FAILED = -1 };

// The next operand as a number. A missing optional operand is no error.
TakeResult take_number(Number* out, bool integer, bool optional = false) {
    out->value = 0;
    out->fixed = 0;
    reader.expect_token = !optional;
    const char* token = nullptr;
    int got = require_token(&token);
    reader.expect_token = true;
    if (got < 0) return optional ? MISSING : FAILED;  // a required one was reported
    if (!parse(token, integer, out)) {
        reader_report_error("load_map");
        return FAILED;
    }
    return TAKEN;
}

bool is_integer_text(const char* s) {
    if (*s == '+' || *s == '-') s++;
    if (*s < '0' || *s > '9') return false;
    while (*s >= '0' && *s <= '9') s++;
    return *s == 0;
}

int32_t add_offset(double offset, int32_t value) {
    int64_t v = int64_t(std::trunc(1024.0 * offset)) + value;
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return int32_t(v);
}

// A region operand: an instance number (plus the base when asked) or a name. Null with
// *abandon set ends the statement: silently for a number that names no instance, after a
// report for a missing operand or a refused name.
Region* take_region(bool with_base, bool* abandon) {
    *abandon = true;
    const char* token = nullptr;
    if (require_token(&token) < 0) return nullptr;
    if (is_integer_text(token)) {
        Number n;
        if (!parse(token, true, &n)) return nullptr;
        Region* r = map_region(int64_t(n.fixed >> 10) + (with_base ? map_loader.region_base : 0));
        *abandon = r == nullptr;
        return r;
    }
    Region* r = map_region_named(token);
    *abandon = r == nullptr;
    return r;
}

// The angle operand in degrees: 0 .. 360, else an error.
bool take_angle(int32_t* angle) {
    Number n;
    if (take_number(&n, false) != TAKEN) return false;
    if (!(n.value >= 0.0 && n.value <= 360.0)) {
        reader_report_error("load_map");
        return false;
    }
    *angle = angle_from_degrees(n.value);
    return true;
}

Vertex* take_vertex() {
    Number n;
    if (take_number(&n, true) != TAKEN) return nullptr;
    Vertex* v = map_vertex(int64_t(n.fixed >> 10) + map_loader.vertex_base);
    if (!v) reader_report_error("load_map");  // an unknown vertex number
    return v;
}

void skip_operands() { reader.cursor = reader.token_count; }

void vertex_statement() {
    Number x, y, z;
    if (take_number(&x, false) != TAKEN || take_number(&y, false) != TAKEN) return;
    if (take_number(&z, false, true) == FAILED) return;
    map_new_vertex(add_offset(map_loader.offset_x, x.fixed), add_offset(map_loader.offset_y, y.fixed), z.fixed);
}

void region_statement() {
    const char* name = nullptr;
    if (require_token(&name) < 0) return;
    // The name is kept while the heights are read: the token text stays until the next scan.
    Number floor, ceiling;
    if (take_number(&floor, false) != TAKEN || take_number(&ceiling, false) != TAKEN) return;
    map_new_region(name, floor.fixed, ceiling.fixed);
}

void wall_statement() {
    const char* name = nullptr;
    if (require_token(&name) < 0) return;
    MapObject* wall = map_new_wall(name);
    if (!wall) return;
    if (!(wall->vertex1 = take_vertex())) return;
    if (!(wall->vertex2 = take_vertex())) return;
    bool abandon = false;
    wall->region = take_region(true, &abandon);
    if (abandon) return;
    wall->right_region = take_region(true, &abandon);
    if (abandon) return;
    Number ox, oy;
    if (take_number(&ox, false, true) == FAILED) return;
    if (take_number(&oy, false, true) == FAILED) return;
    // The text form keeps only the whole part of the offsets.
    int32_t offset_x = fixed_from_double(std::trunc(ox.value));
    int32_t offset_y = fixed_from_double(std::trunc(oy.value));
    map_finish_wall(wall, offset_x, offset_y == INT32_MAX ? offset_y : offset_y + 1);
}

void thing_statement(bool actor) {
    const char* name = nullptr;
    if (require_token(&name) < 0) return;
    MapObject* thing = map_new_thing(name, actor);
    if (!thing) return;
    Number x, y;
    if (take_number(&x, false) != TAKEN || take_number(&y, false) != TAKEN) return;
    Vertex* v = map_new_vertex(add_offset(map_loader.offset_x, x.fixed), add_offset(map_loader.offset_y, y.fixed), 0);
    if (!v) return;
    thing->vertex1 = thing->vertex2 = v;
    if (!take_angle(&thing->angle)) return;
    bool abandon = false;
    thing->region = take_region(true, &abandon);
    if (abandon) return;
    thing->overlay = nullptr;
}

void player_start_statement() {
    // Network nodes 0 and 1 keep standing where their player actor stands.
    if (map_player_start_skipped(1)) {
        skip_operands();
        return;
    }
    Number x, y;
    if (take_number(&x, false) != TAKEN || take_number(&y, false) != TAKEN) return;
    int32_t angle = 0;
    if (!take_angle(&angle)) return;
    bool abandon = false;
    Region* region = take_region(false, &abandon);
    if (abandon) return;
    map_set_player_start(x.fixed, y.fixed, angle, region);
}

void way_statement() {
    const char* name = nullptr;
    if (require_token(&name) < 0) return;
    char kept[64];
    std::snprintf(kept, sizeof kept, "%s", name);
    int32_t values[max_statement_tokens];
    int32_t count = 0;
    while (peek_token() && count < max_statement_tokens) {
        Number n;
        if (take_number(&n, false) != TAKEN) return;
        values[count++] = way_coordinate(n.value);
    }
    // An odd number of coordinates leaves the way without points.
    int32_t pairs = count % 2 ? 0 : count / 2;
    int32_t* points = nullptr;
    if (pairs > 0) {
        points = (int32_t*)std::malloc(size_t(pairs) * 2 * sizeof(int32_t));
        if (!points) {
            map_state.out_of_memory = true;
            return;
        }
        std::memcpy(points, values, size_t(pairs) * 2 * sizeof(int32_t));
    }
    map_new_way(kept, points, pairs);
}

void debug_statement() { skip_operands(); }

struct Statement {
    const char* keyword;
    void (*handle)();
};

const Statement statements[] = {
    {"VERTEX", vertex_statement},
    {"REGION", region_statement},
    {"WALL", wall_statement},
    {"THING", [] { thing_statement(false); }},
    {"ACTOR", [] { thing_statement(true); }},
    {"PLAYER_START", player_start_statement},
    {"WAY", way_statement},
    {"DEBUG", debug_statement},
};

// What the scanner had before the map took it over; the reading around a database map
// goes on where it was.
struct SavedReader {
    Reader reader;
    ErrorContext context;
};

}  // namespace

int load_map_text(char* text, int32_t size, const char* name) {
    SavedReader* saved = (SavedReader*)std::malloc(sizeof(SavedReader));
    if (!saved) return -2;
    std::memcpy((void*)&saved->reader, (const void*)&reader, sizeof(Reader));
    saved->context = error_context;

    std::snprintf(reader.file_name, sizeof reader.file_name, "%s", name ? name : "");
    error_context.script_file = reader.file_name;
    map_state.errors_at_start = error_store.error_count;

    int result = 0;
    if (!map_index_begin()) {
        result = -2;
    } else if (text && size > 0 && begin_text(text, size) == 0) {
        reader.braces_inert = true;  // a map has no blocks: braces only end statements
        reader.raw_tokens = false;
        reader.condition_top = 0;
        reader.conditions[0] = 0;
        for (;;) {
            error_store.report_armed = 1;
            reader.expect_token = true;
            if (map_error_reported() || map_state.out_of_memory) break;
            if (scan_statement() < 0) break;
            const char* keyword = next_token();
            if (!keyword) continue;
            const Statement* found = nullptr;
            for (const Statement& s : statements)
                if (same_word(keyword, s.keyword)) found = &s;
            if (found) found->handle();
            else reader_report_error("load_map");  // an unknown keyword
        }
        if (map_error_reported() || map_state.out_of_memory) result = -2;
    }
    map_loader.map_end = catalogue.objects;
    map_index_end();

    std::memcpy((void*)&reader, (const void*)&saved->reader, sizeof(Reader));
    error_context = saved->context;
    std::free(saved);
    return result;
}
