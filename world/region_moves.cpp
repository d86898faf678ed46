// LIFT, TILT, ROTATE and SHIFT over a region's stack.
#include "world/region_moves.h"

#include <cmath>

#include "engine/settings.h"
#include "engine/trig.h"
#include "script/front/catalogue.h"
#include "world/world.h"

namespace {

enum MoveKind { MOVE_LIFT, MOVE_TILT, MOVE_ROTATE, MOVE_SHIFT };

struct Move {
    MoveKind kind;
    int32_t mark;       // the vertex mark of this kind of move
    int32_t a, b;       // dz, f, or dx and dy
    int64_t sin29, cos29;
    int32_t cx, cy;     // ROTATE: the centre
};

constexpr int32_t TWO_PI = 6433;

int32_t wrap_angle(int64_t a) {
    int64_t r = a % TWO_PI;
    return int32_t(r < 0 ? r + TWO_PI : r);
}

int32_t saturate(int64_t v) { return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : int32_t(v); }

// (v x f) >> 10, rounded by the half bit.
int32_t times(int32_t v, int32_t f) {
    int64_t p = int64_t(v) * f;
    return saturate((p >> 10) + ((p >> 9) & 1));
}

void rotate_point(const Move& m, int32_t* x, int32_t* y) {
    int64_t dx = int64_t(*x) - m.cx, dy = int64_t(*y) - m.cy;
    *x = saturate(m.cx + ((dx * m.cos29 - dy * m.sin29) >> 29));
    *y = saturate(m.cy + ((dx * m.sin29 + dy * m.cos29) >> 29));
}

// Moves a vertex unless this kind of move moved it already in this step.
bool move_vertex(const Move& m, Vertex* v) {
    if (!v || (v->view_distance & m.mark)) return false;
    v->view_distance |= m.mark;
    note_marked_vertex(v);
    switch (m.kind) {
    case MOVE_LIFT: v->z = saturate(int64_t(v->z) + m.a); break;
    case MOVE_TILT: v->z = times(v->z, m.a); break;
    case MOVE_ROTATE: rotate_point(m, &v->x, &v->y); break;
    case MOVE_SHIFT:
        v->x = saturate(int64_t(v->x) + m.a);
        v->y = saturate(int64_t(v->y) + m.b);
        break;
    }
    return true;
}

void move_object(const Move& m, MapObject* o) {
    bool moved = false;
    if (!(o->flags & OBJ_THING)) {
        moved = move_vertex(m, o->vertex1);
        moved = move_vertex(m, o->vertex2) || moved;
    } else if ((m.kind == MOVE_LIFT || m.kind == MOVE_TILT) && (o->flags & OBJ_GROUND)) {
        o->height = m.kind == MOVE_LIFT ? saturate(int64_t(o->height) + m.a) : times(o->height, m.a);
        moved = true;
    } else {
        moved = move_vertex(m, o->vertex1);
    }
    if (!moved) return;
    if (o->flags & OBJ_VISIBLE) world.changed = 1;
    place_object_hooked(o, 1);
}

void move_region(const Move& m, Region* region) {
    Region* base = region->top ? region->top : region;
    int guard = 0;
    for (MapObject* o = base->right_walls; o && guard++ < (1 << 24); o = o->right_next) move_object(m, o);
    for (MapObject* o = base->objects; o && guard++ < (1 << 24); o = o->region_next) move_object(m, o);
    for (int i = 0; i < world.actor_count && world.actors[i]; i++)
        if (world.actors[i]->region == region) move_object(m, world.actors[i]);
}

}  // namespace

void lift_region(Region* region, int32_t dz) {
    if (!region) return;
    move_region(Move{MOVE_LIFT, MOVED_BY_LIFT, dz, 0, 0, 0, 0, 0}, region);
}

void tilt_region(Region* region, int32_t f) {
    if (!region) return;
    move_region(Move{MOVE_TILT, MOVED_BY_TILT, f, 0, 0, 0, 0, 0}, region);
}

void shift_region(Region* region, int32_t dx, int32_t dy) {
    if (!region) return;
    move_region(Move{MOVE_SHIFT, MOVED_BY_SHIFT, dx, dy, 0, 0, 0, 0}, region);
}

void rotate_region(Region* region, int32_t angle) {
    if (!region || !region->genius || !region->genius->vertex1) return;
    MapObject* genius = region->genius;
    Move m = {MOVE_ROTATE, MOVED_BY_ROTATE, angle, 0, 0, 0, genius->vertex1->x, genius->vertex1->y};
    // Sine and cosine in 2^29 fixed point; the deterministic mode takes the integer ones.
    if (settings.deterministic) {
        m.sin29 = int64_t(fx_sin(angle)) << 19;
        m.cos29 = int64_t(fx_cos(angle)) << 19;
    } else {
        m.sin29 = std::llround(std::sin(angle / 1024.0) * 536870912.0);
        m.cos29 = std::llround(std::cos(angle / 1024.0) * 536870912.0);
    }
    move_region(m, region);
    genius->angle = wrap_angle(int64_t(genius->angle) + angle);
    if (world_refs.player_region == region && (region->flags & REGION_STICKY)) {
        int32_t x = var_value(SLOT_PLAYER_X), y = var_value(SLOT_PLAYER_Y);
        rotate_point(m, &x, &y);
        var_set(SLOT_PLAYER_X, x);
        var_set(SLOT_PLAYER_Y, y);
        var_set(SLOT_PLAYER_ANGLE, wrap_angle(int64_t(var_value(SLOT_PLAYER_ANGLE)) + angle));
    }
    world.changed = 1;
}
