// The WALL, THING and ACTOR blocks (the definition object of a map object name, whose
// fields the world model then copies into every object of that name) and the REGION block.
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/defs_internal.h"
#include "script/front/world_script.h"

namespace {

// Which kinds may use a field or a flag.
enum : uint32_t { FOR_WALL = 1, FOR_THING = 2, FOR_ACTOR = 4, FOR_ALL = 7, FOR_THINGS = 6 };

struct ObjectBlock {
    MapObject* object;   // null: no current object
    MapObject scratch;   // the fields of a definition whose name could not be declared
    uint32_t kind_mask;  // FOR_WALL, FOR_THING or FOR_ACTOR
};
ObjectBlock block;

const FlagName object_flags[] = {
    {"TRANSPARENT", OBJ_TRANSPARENT, FOR_WALL}, {"PORTCULLIS", OBJ_PORTCULLIS, FOR_WALL},
    {"CURTAIN", OBJ_CURTAIN, FOR_WALL},         {"FENCE", OBJ_FENCE, FOR_WALL},
    {"GROUND", OBJ_GROUND, FOR_THINGS},         {"CANDELABER", OBJ_CANDELABER, FOR_THINGS},
    {"CAREFULLY", OBJ_CAREFULLY, FOR_ACTOR},    {"MASTER", OBJ_MASTER, FOR_ACTOR},
    {"INVISIBLE", OBJ_INVISIBLE, FOR_ALL},      {"FAR", OBJ_FAR, FOR_ALL},
    {"PASSABLE", OBJ_PASSABLE, FOR_ALL},        {"SEEN", OBJ_SEEN, FOR_ALL},
    {"BERKELEY", OBJ_BERKELEY, FOR_ALL},        {"FLAG1", 0x1000, FOR_ALL},
    {"FLAG2", 0x2000, FOR_ALL},                 {"FLAG3", 0x4000, FOR_ALL},
    {"FLAG4", 0x8000, FOR_ALL},                 {"FLAG5", 0x10000, FOR_ALL},
    {"FLAG6", 0x20000, FOR_ALL},                {"FLAG7", 0x40000, FOR_ALL},
    {"FLAG8", 0x80000, FOR_ALL},                {"SENSITIVE", OBJ_SENSITIVE, FOR_ALL},
    {"FRAGILE", OBJ_FRAGILE, FOR_ALL},          {"LIBER", OBJ_LIBER, FOR_ALL},
    {"SAVE", OBJ_SAVE, FOR_ALL},                {"IMMATERIAL", OBJ_IMMATERIAL, FOR_ALL},
    {"IMPASSABLE", OBJ_IMPASSABLE, FOR_ALL},
};

enum ObjectCode {
    O_DIST, O_SKILL, O_FEATURE, O_FLAGS, O_IF_NEAR, O_IF_FAR, O_IF_HIT, O_EACH_CYCLE, O_IF_ARRIVED, O_EACH_TICK,
    O_TEXTURE, O_ATTACH, O_OVERLAY, O_HEIGHT, O_ANGLE, O_MAP_COLOR, O_POSITION, O_OFFSET_X, O_OFFSET_Y, O_SPEED,
    O_VSPEED, O_ASPEED, O_WAYPOINT, O_TARGET_X, O_TARGET_Y, O_TARGET, O_WAY, O_NODE,
};

// Field rows: the code in the low 8 bits, the slot number (SKILL/FEATURE) in bits 8..11, the
// kinds that may use the field in bits 12..14.
constexpr int field_code(int code, uint32_t kinds, int slot = 0) { return code | slot << 8 | int(kinds) << 12; }

const KeywordRow object_rows[] = {
    {"DIST", field_code(O_DIST, FOR_ALL)},
    {"SKILL1", field_code(O_SKILL, FOR_ALL, 0)},       {"SKILL2", field_code(O_SKILL, FOR_ALL, 1)},
    {"SKILL3", field_code(O_SKILL, FOR_ALL, 2)},       {"SKILL4", field_code(O_SKILL, FOR_ALL, 3)},
    {"SKILL5", field_code(O_SKILL, FOR_ALL, 4)},       {"SKILL6", field_code(O_SKILL, FOR_ALL, 5)},
    {"SKILL7", field_code(O_SKILL, FOR_ALL, 6)},       {"SKILL8", field_code(O_SKILL, FOR_ALL, 7)},
    {"FEATURE1", field_code(O_FEATURE, FOR_ALL, 0)},   {"FEATURE2", field_code(O_FEATURE, FOR_ALL, 1)},
    {"FEATURE3", field_code(O_FEATURE, FOR_ALL, 2)},   {"FEATURE4", field_code(O_FEATURE, FOR_ALL, 3)},
    {"FEATURE5", field_code(O_FEATURE, FOR_ALL, 4)},   {"FEATURE6", field_code(O_FEATURE, FOR_ALL, 5)},
    {"FEATURE7", field_code(O_FEATURE, FOR_ALL, 6)},   {"FEATURE8", field_code(O_FEATURE, FOR_ALL, 7)},
    {"FLAGS", field_code(O_FLAGS, FOR_ALL)},           {"IF_NEAR", field_code(O_IF_NEAR, FOR_ALL)},
    {"IF_FAR", field_code(O_IF_FAR, FOR_ALL)},         {"IF_HIT", field_code(O_IF_HIT, FOR_ALL)},
    {"EACH_CYCLE", field_code(O_EACH_CYCLE, FOR_ALL)}, {"IF_ARRIVED", field_code(O_IF_ARRIVED, FOR_ALL)},
    {"EACH_TICK", field_code(O_EACH_TICK, FOR_ALL)},   {"TEXTURE", field_code(O_TEXTURE, FOR_ALL)},
    {"ATTACH", field_code(O_ATTACH, FOR_ALL)},         {"OVERLAY", field_code(O_OVERLAY, FOR_THINGS)},
    {"HEIGHT", field_code(O_HEIGHT, FOR_THINGS)},      {"THING_HGT", field_code(O_HEIGHT, FOR_THINGS)},
    {"ANGLE", field_code(O_ANGLE, FOR_THINGS)},        {"MAP_COLOR", field_code(O_MAP_COLOR, FOR_ALL)},
    {"POSITION", field_code(O_POSITION, FOR_WALL)},    {"OFFSET_X", field_code(O_OFFSET_X, FOR_WALL)},
    {"OFFSET_Y", field_code(O_OFFSET_Y, FOR_WALL)},    {"SPEED", field_code(O_SPEED, FOR_ACTOR)},
    {"VSPEED", field_code(O_VSPEED, FOR_ACTOR)},       {"ASPEED", field_code(O_ASPEED, FOR_ACTOR)},
    {"WAYPOINT", field_code(O_WAYPOINT, FOR_ACTOR)},   {"TARGET_X", field_code(O_TARGET_X, FOR_ACTOR)},
    {"TARGET_Y", field_code(O_TARGET_Y, FOR_ACTOR)},   {"TARGET", field_code(O_TARGET, FOR_ACTOR)},
    {"WAY", field_code(O_WAY, FOR_ACTOR)},             {"NODE", field_code(O_NODE, FOR_ACTOR)},
};
KeywordTable object_table = KEYWORD_TABLE(object_rows);

// The node number of this machine, or -1 when it is not networked.
int32_t own_node() { return settings.node >= 0 ? settings.node >> 10 : -1; }

// NODE n, or TARGET NODE0 ... NODE3: the actor stands for network node n.
int stand_for_node(MapObject* o, int32_t n) {
    if (n < 0 || n >= WORLD_NODES) {
        console_message("\r\n  NODE: a node number is 0 ... 3");
        return field_error("stand_for_node");
    }
    MapObject*& slot = world_script.node_actor[n];
    if (slot && slot != o) {
        console_message("\r\n  NODE: another actor stands for node %d already", n);
        return field_error("stand_for_node");
    }
    slot = o;
    o->node = n;
    o->flags |= OBJ_NODE;
    if (n == own_node()) {
        if (o->vertex1) {
            var_set(SLOT_PLAYER_X, o->vertex1->x);
            var_set(SLOT_PLAYER_Y, o->vertex1->y);
        }
        var_set(SLOT_PLAYER_ANGLE, o->angle);
        world_refs.player_region = o->region;
    }
    return 1;
}

int take_texture(Texture** texture) {
    void* t = nullptr;
    if (take_object(KIND_TEXTURE, &t) < 0) return -1;
    *texture = (Texture*)t;
    return 0;
}

int target_field(MapObject* o) {
    const char* word = peek_token();
    if (!word) return take_token(&word);
    static const char* const modes[] = {"FOLLOW", "REPEL", "HOLD"};
    for (int i = 0; i < 3; i++)
        if (same_keyword(word, modes[i])) {
            next_token();
            o->target = TARGET_FOLLOW + i;
            if (i == 2) o->flags |= OBJ_HOLD;
            return 1;
        }
    if ((word[0] == 'N' || word[0] == 'n') && std::strlen(word) == 5 && strncasecmp(word, "NODE", 4) == 0 &&
        word[4] >= '0' && word[4] <= '3') {
        next_token();
        return stand_for_node(o, word[4] - '0');
    }
    take_token(&word);
    NameEntry* e = lookup_name(word);
    if (e && e->object && (e->kind == KIND_WALL || e->kind == KIND_THING)) {
        o->target = TARGET_OBJECT;
        o->target_object = e->object;
        return 1;
    }
    if (e && e->object && e->kind == KIND_WAY) {
        o->target = TARGET_WAY;
        o->target_object = e->object;
        return 1;
    }
    console_message("\r\n  TARGET %s: no object, way or target mode of that name", word);
    return field_error("target_field");
}

int object_field_body(const char* keyword) {
    int row = find_keyword(object_table, keyword);
    if (row < 0 || !((uint32_t(row) >> 12) & block.kind_mask)) return field_error("object_field");
    MapObject* o = block.object;
    if (!o) return -3;
    int slot = (row >> 8) & 15;
    switch (row & 255) {
    case O_DIST: return take_number(&o->dist) < 0 ? -1 : 1;
    case O_SKILL: return take_number(&o->skill[slot]) < 0 ? -1 : 1;
    case O_FEATURE: {
        VarRef ref;
        int32_t* cell = nullptr;
        if (take_variable(&ref, &cell) < 0) return -1;
        o->feature[slot] = cell;
        o->feature_ref[slot] = ref;
        o->feature_marks |= 1u << slot;
        return 1;
    }
    case O_FLAGS: return take_flags(object_flags, int(sizeof object_flags / sizeof object_flags[0]), &o->flags,
                                    block.kind_mask) < 0
                             ? -1
                             : 1;
    case O_IF_NEAR: return take_action(&o->if_near) < 0 ? -1 : 1;
    case O_IF_FAR: return take_action(&o->if_far) < 0 ? -1 : 1;
    case O_IF_HIT: return take_action(&o->if_hit) < 0 ? -1 : 1;
    case O_EACH_CYCLE: return take_action(&o->each_cycle) < 0 ? -1 : 1;
    case O_IF_ARRIVED: return take_action(&o->if_arrived) < 0 ? -1 : 1;
    case O_EACH_TICK: return take_action(&o->each_tick) < 0 ? -1 : 1;
    case O_TEXTURE: return take_texture(&o->texture) < 0 ? -1 : 1;
    case O_ATTACH: {
        Texture* t = nullptr;
        if (take_texture(&t) < 0) return -1;
        if (!t->frames || t->frame_count <= 0) {
            console_message("\r\n  ATTACH %s: the texture has no frames", t->name ? t->name : "");
            return field_error("object_field");
        }
        o->attach = t;
        return 1;
    }
    case O_OVERLAY: {
        void* ov = nullptr;
        if (take_object(KIND_OVERLAY, &ov) < 0) return -1;
        o->overlay = (Overlay*)ov;
        return 1;
    }
    case O_HEIGHT: return take_number(&o->height) < 0 ? -1 : 1;
    case O_ANGLE: {
        int32_t a = 0;
        if (take_number(&a) < 0) return -1;
        if (a < 0 || a > 6433) {
            console_message("\r\n  ANGLE: an angle is 0 ... 6.283 (a full turn)");
            return field_error("object_field");
        }
        o->angle = int32_t((int64_t(o->angle) + a) % 6433);
        if (o->angle < 0) o->angle += 6433;
        return 1;
    }
    case O_MAP_COLOR: {
        int32_t c = 0;
        if (take_integer(&c) < 0) return -1;
        o->map_color = c;
        int32_t limit = block.kind_mask == FOR_WALL ? 1 : 255;
        if (c < 0 || c > limit) {
            console_message("\r\n  MAP_COLOR %d: the colour is 0 ... %d", c, limit);
            return field_error("object_field");  // reported, and still stored
        }
        return 1;
    }
    case O_POSITION: return take_number(&o->height) < 0 ? -1 : 1;
    case O_OFFSET_X:
    case O_OFFSET_Y: {
        int32_t v = 0;
        if (take_number(&v) < 0) return -1;
        bool x = (row & 255) == O_OFFSET_X;
        int32_t& offset = x ? o->offset_x : o->offset_y;
        offset = int32_t(uint32_t(offset) + uint32_t(v));
        (x ? o->base_offset_x : o->base_offset_y) = v;
        return 1;
    }
    case O_SPEED: return take_number(&o->speed) < 0 ? -1 : 1;
    case O_VSPEED: return take_number(&o->vspeed) < 0 ? -1 : 1;
    case O_ASPEED: return take_number(&o->aspeed) < 0 ? -1 : 1;
    case O_WAYPOINT: {
        int32_t w = 0;
        if (take_integer(&w) < 0) return -1;
        o->waypoint = w << 10;
        return 1;
    }
    case O_TARGET_X: return take_number(&o->target_x) < 0 ? -1 : 1;
    case O_TARGET_Y: return take_number(&o->target_y) < 0 ? -1 : 1;
    case O_TARGET: return target_field(o);
    case O_WAY: {
        const char* name = nullptr;
        if (take_token(&name) < 0) return -1;
        void* way = nullptr;
        int before = error_store.error_count;
        if (create_object(name, KIND_WAY, &way) < 0 || !way) {
            if (error_store.error_count == before) field_error("object_field");
            return -1;
        }
        o->target = TARGET_WAY;
        o->target_object = way;
        return 1;
    }
    default: {  // O_NODE
        int32_t n = 0;
        if (take_integer(&n) < 0) return -1;
        return stand_for_node(o, n);
    }
    }
}

int object_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(object_field_body(keyword), before);
}

void object_end() {
    MapObject* o = block.object;
    block.object = nullptr;
    if (!o || o == &block.scratch) return;
    definition_ops.close_object_definition(o);
}

}  // namespace

int open_map_object(const char* keyword) {
    bool wall = same_keyword(keyword, "WALL");
    bool actor = same_keyword(keyword, "ACTOR");
    block.kind_mask = wall ? FOR_WALL : actor ? FOR_ACTOR : FOR_THING;
    block.object = nullptr;
    enter_block(wall ? STATE_WALL : actor ? STATE_ACTOR : STATE_THING, object_field, object_end);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;

    MapObject* o = nullptr;
    int before = error_store.error_count;
    int result = definition_ops.open_object_definition(name, wall ? KIND_WALL : KIND_THING, actor, &o);
    if (result < 0 || !o) {
        if (error_store.error_count == before) field_error("open_object_definition");
        // The fields still have somewhere to go; the record is thrown away.
        std::memset(&block.scratch, 0, sizeof block.scratch);
        block.object = &block.scratch;
        return -1;
    }
    // A WALL block needs a wall, a THING block a thing, an ACTOR block an actor.
    bool fits = wall ? (o->flags & (OBJ_THING | OBJ_ACTOR)) == 0
                     : actor ? (o->flags & OBJ_ACTOR) != 0 : (o->flags & OBJ_THING) != 0;
    if (!fits) {
        console_message("\r\n  %s %s: the name belongs to %s", keyword, name,
                        (o->flags & OBJ_ACTOR) ? "an actor" : (o->flags & OBJ_THING) ? "a thing" : "a wall");
        field_error("open_map_object");
        std::memset(&block.scratch, 0, sizeof block.scratch);
        block.object = &block.scratch;
        return -1;
    }
    block.object = o;
    return 1;
}

// ---- REGION -------------------------------------------------------------------------------

namespace {

Region* region_target;

const FlagName region_flags[] = {
    {"BASE", REGION_BASE, 0},
    {"STICKY", REGION_STICKY, 0},
    {"FLAG1", 0x1000, 0},
    {"FLAG2", 0x2000, 0},
    {"FLAG3", 0x4000, 0},
    {"FLAG4", 0x8000, 0},
    {"FLAG5", 0x10000, 0},
    {"FLAG6", 0x20000, 0},
    {"FLAG7", 0x40000, 0},
    {"FLAG8", 0x80000, 0},
    {"FLOOR_LIFTED", REGION_FLOOR_ASCEND, 0},
    {"FLOOR_ASCEND", REGION_FLOOR_ASCEND, 0},
    {"FLOOR_DESCEND", REGION_FLOOR_DESCEND, 0},
    {"CEIL_ASCEND", REGION_CEIL_ASCEND, 0},
    {"CEIL_LIFTED", REGION_CEIL_DESCEND, 0},
    {"CEIL_DESCEND", REGION_CEIL_DESCEND, 0},
    {"LIFTED", REGION_FLOOR_ASCEND | REGION_CEIL_ASCEND, 0},
    {"SAVE", REGION_SAVE, 0},
    {"SAVE_ALL", REGION_SAVE_ALL, 0},
};

enum RegionCode {
    R_CEIL_TEX, R_FLOOR_TEX, R_TEXTURE, R_GENIUS, R_SKILL, R_FEATURE, R_CEIL_HGT, R_FLOOR_HGT, R_FLOOR_ANGLE,
    R_CEIL_ANGLE, R_CLIP_DIST, R_CEIL_OFFS_X, R_CEIL_OFFS_Y, R_FLOOR_OFFS_X, R_FLOOR_OFFS_Y, R_AMBIENT, R_ABOVE,
    R_BELOW, R_IF_ENTER, R_IF_LEAVE, R_IF_DIVE, R_IF_ARISE, R_EACH_TICK, R_EACH_CYCLE, R_FLAGS,
};
constexpr int slot_code(int code, int slot) { return code | slot << 8; }

const KeywordRow region_rows[] = {
    {"CEIL_TEX", R_CEIL_TEX},         {"FLOOR_TEX", R_FLOOR_TEX},
    {"TEXTURE1", slot_code(R_TEXTURE, 0)}, {"TEXTURE2", slot_code(R_TEXTURE, 1)},
    {"TEXTURE3", slot_code(R_TEXTURE, 2)}, {"TEXTURE4", slot_code(R_TEXTURE, 3)},
    {"GENIUS", R_GENIUS},
    {"SKILL1", slot_code(R_SKILL, 0)},     {"SKILL2", slot_code(R_SKILL, 1)},
    {"SKILL3", slot_code(R_SKILL, 2)},     {"SKILL4", slot_code(R_SKILL, 3)},
    {"SKILL5", slot_code(R_SKILL, 4)},     {"SKILL6", slot_code(R_SKILL, 5)},
    {"SKILL7", slot_code(R_SKILL, 6)},     {"SKILL8", slot_code(R_SKILL, 7)},
    {"FEATURE1", slot_code(R_FEATURE, 0)}, {"FEATURE2", slot_code(R_FEATURE, 1)},
    {"FEATURE3", slot_code(R_FEATURE, 2)}, {"FEATURE4", slot_code(R_FEATURE, 3)},
    {"FEATURE5", slot_code(R_FEATURE, 4)}, {"FEATURE6", slot_code(R_FEATURE, 5)},
    {"FEATURE7", slot_code(R_FEATURE, 6)}, {"FEATURE8", slot_code(R_FEATURE, 7)},
    {"CEIL_HGT", R_CEIL_HGT},         {"FLOOR_HGT", R_FLOOR_HGT},
    {"FLOOR_ANGLE", R_FLOOR_ANGLE},   {"CEIL_ANGLE", R_CEIL_ANGLE},
    {"CLIP_DIST", R_CLIP_DIST},       {"CEIL_OFFS_X", R_CEIL_OFFS_X},
    {"CEIL_OFFS_Y", R_CEIL_OFFS_Y},   {"FLOOR_OFFS_X", R_FLOOR_OFFS_X},
    {"FLOOR_OFFS_Y", R_FLOOR_OFFS_Y}, {"AMBIENT", R_AMBIENT},
    {"ABOVE", R_ABOVE},               {"BELOW", R_BELOW},
    {"IF_ENTER", R_IF_ENTER},         {"IF_LEAVE", R_IF_LEAVE},
    {"IF_DIVE", R_IF_DIVE},           {"IF_ARISE", R_IF_ARISE},
    {"EACH_TICK", R_EACH_TICK},       {"EACH_CYCLE", R_EACH_CYCLE},
    {"FLAGS", R_FLAGS},
};
KeywordTable region_table = KEYWORD_TABLE(region_rows);

// A floor or ceiling texture must be a sky, or have a square first bitmap (v308 takes any).
bool plane_texture_fits(const Texture* t) {
    if ((t->flags & TEX_SKY) || settings.v308) return true;
    const Bitmap* b = (t->frames && t->frame_count > 0) ? t->frames[0].bitmap : nullptr;
    return b && b->width > 0 && b->width == b->height;
}

int plane_texture(Texture** slot, uint32_t mark, Region* r) {
    void* t = nullptr;
    if (take_object(KIND_TEXTURE, &t) < 0) return -1;
    Texture* texture = (Texture*)t;
    if (!plane_texture_fits(texture)) {
        console_message("\r\n  %s: a floor or ceiling texture is a SKY or has a square bitmap",
                        texture->name ? texture->name : "");
        return field_error("region_field");
    }
    *slot = texture;
    r->defined |= mark;
    return 1;
}

// A height kept as the decimal value of its text, and in fixed point beside it.
int height_field(double* decimal, int32_t* fixed) {
    const char* text = peek_token();
    if (take_number(fixed) < 0) return -1;
    *decimal = text ? std::strtod(text, nullptr) : 0.0;
    return 1;
}

int region_field_body(const char* keyword) {
    int row = find_keyword(region_table, keyword);
    if (row < 0) return field_error("region_field");
    Region* r = region_target;
    if (!r) return -3;
    int slot = (row >> 8) & 15;
    switch (row & 255) {
    case R_CEIL_TEX: return plane_texture(&r->ceil_tex, REGION_DEF_CEIL_TEX, r);
    case R_FLOOR_TEX: return plane_texture(&r->floor_tex, REGION_DEF_FLOOR_TEX, r);
    case R_TEXTURE: {
        void* t = nullptr;
        if (take_object(KIND_TEXTURE, &t) < 0) return -1;
        r->texture[slot] = (Texture*)t;
        return 1;
    }
    case R_GENIUS: {
        const char* name = nullptr;
        if (take_token(&name) < 0) return -1;
        NameEntry* e = lookup_name(name);
        if (e && e->object && (e->kind == KIND_WALL || e->kind == KIND_THING)) {
            r->genius = (MapObject*)e->object;
            return 1;
        }
        if (!e && r->genius) return 1;  // an unknown name keeps the genius set already
        console_message("\r\n  GENIUS %s: no wall, thing or actor of that name", name);
        return field_error("region_field");
    }
    case R_SKILL: return take_number(&r->skill[slot]) < 0 ? -1 : 1;
    case R_FEATURE: {
        VarRef ref;
        int32_t* cell = nullptr;
        if (take_variable(&ref, &cell) < 0) return -1;
        r->feature[slot] = cell;
        r->feature_ref[slot] = ref;
        r->feature_marks |= 1u << slot;
        return 1;
    }
    case R_CEIL_HGT:
        r->defined |= REGION_DEF_CEIL_HGT;
        return height_field(&r->def_ceil_hgt, &r->ceil_hgt);
    case R_FLOOR_HGT:
        r->defined |= REGION_DEF_FLOOR_HGT;
        return height_field(&r->def_floor_hgt, &r->floor_hgt);
    case R_FLOOR_ANGLE: r->defined |= REGION_DEF_ANGLES; return take_number(&r->floor_angle) < 0 ? -1 : 1;
    case R_CEIL_ANGLE: r->defined |= REGION_DEF_ANGLES; return take_number(&r->ceil_angle) < 0 ? -1 : 1;
    case R_CLIP_DIST: r->defined |= REGION_DEF_CLIP_DIST; return take_number(&r->clip_dist) < 0 ? -1 : 1;
    case R_CEIL_OFFS_X:
    case R_CEIL_OFFS_Y:
    case R_FLOOR_OFFS_X:
    case R_FLOOR_OFFS_Y: {
        int32_t v = 0;
        if (take_integer(&v) < 0) return -1;
        int code = row & 255;
        int32_t* cell = code == R_CEIL_OFFS_X ? &r->ceil_offs_x
                        : code == R_CEIL_OFFS_Y ? &r->ceil_offs_y
                        : code == R_FLOOR_OFFS_X ? &r->floor_offs_x : &r->floor_offs_y;
        *cell = v << 10;
        r->defined |= REGION_DEF_OFFSETS;
        return 1;
    }
    case R_AMBIENT: {
        if (take_number(&r->ambient) < 0) return -1;
        r->defined |= REGION_DEF_AMBIENT;
        if (r->ambient < 0) {
            console_message("\r\n  AMBIENT: a region's ambient light is not negative");
            return field_error("region_field");  // reported, and still stored
        }
        return 1;
    }
    case R_ABOVE:
    case R_BELOW: {
        void* other = nullptr;
        if (take_object(KIND_REGION, &other) < 0) return -1;
        ((row & 255) == R_ABOVE ? r->above : r->below) = (Region*)other;
        return 1;
    }
    case R_IF_ENTER: return take_action(&r->if_enter) < 0 ? -1 : 1;
    case R_IF_LEAVE: return take_action(&r->if_leave) < 0 ? -1 : 1;
    case R_IF_DIVE: return take_action(&r->if_dive) < 0 ? -1 : 1;
    case R_IF_ARISE: return take_action(&r->if_arise) < 0 ? -1 : 1;
    case R_EACH_TICK: return take_action(&r->each_tick) < 0 ? -1 : 1;
    case R_EACH_CYCLE: return take_action(&r->each_cycle) < 0 ? -1 : 1;
    default:
        r->defined |= REGION_DEF_FLAGS;
        return take_flags(region_flags, int(sizeof region_flags / sizeof region_flags[0]), &r->flags) < 0 ? -1 : 1;
    }
}

int region_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(region_field_body(keyword), before);
}

}  // namespace

int open_region(const char*) {
    region_target = nullptr;
    enter_block(STATE_REGION, region_field, nullptr);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* object = nullptr;
    int before = error_store.error_count;
    if (create_object(name, KIND_REGION, &object) < 0 || !object) {
        if (error_store.error_count == before) field_error("open_region");
        return -1;
    }
    region_target = (Region*)object;
    return 1;
}

void reset_object_blocks() {
    block.object = nullptr;
    region_target = nullptr;
}
