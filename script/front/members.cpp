// The member tables of every kind, in table order (first match wins), and the cell access
// the interpreter and the world use.
#include <cstddef>
#include <cstring>

#include "script/front/catalogue.h"

#define NUM(n, T, f) {n, TYPE_NUMBER, 0, (uint16_t)offsetof(T, f), 0, 0}
#define NUM_RO(n, T, f) {n, TYPE_NUMBER, MEMBER_READ_ONLY, (uint16_t)offsetof(T, f), 0, 0}
#define NUM_M2(n, T, f) {n, TYPE_NUMBER, MEMBER_M2, (uint16_t)offsetof(T, f), 0, 0}
#define PTR(n, k, T, f) {n, k, MEMBER_POINTER, (uint16_t)offsetof(T, f), 0, 0}
#define PTR_RO(n, k, T, f) {n, k, MEMBER_POINTER | MEMBER_READ_ONLY, (uint16_t)offsetof(T, f), 0, 0}
#define PTR_M2(n, k, T, f) {n, k, MEMBER_POINTER | MEMBER_M2, (uint16_t)offsetof(T, f), 0, 0}
#define FLAG(n, T, f, bits) {n, TYPE_FLAG, 0, (uint16_t)offsetof(T, f), 0, bits}
#define FLAG_RO(n, T, f, bits) {n, TYPE_FLAG, MEMBER_READ_ONLY, (uint16_t)offsetof(T, f), 0, bits}
#define FLAG_M2(n, T, f, bits) {n, TYPE_FLAG, MEMBER_M2, (uint16_t)offsetof(T, f), 0, bits}
#define VIA(n, T, f, V, g) {n, TYPE_NUMBER, MEMBER_INDIRECT, (uint16_t)offsetof(T, f), (uint16_t)offsetof(V, g), 0}

#define SKILLS(T)                                                                         \
    NUM("SKILL1", T, skill[0]), NUM("SKILL2", T, skill[1]), NUM("SKILL3", T, skill[2]),   \
        NUM("SKILL4", T, skill[3]), NUM("SKILL5", T, skill[4]), NUM("SKILL6", T, skill[5]), \
        NUM("SKILL7", T, skill[6]), NUM("SKILL8", T, skill[7])
#define FEATURES(T)                                                                            \
    PTR("FEATURE1", TYPE_FEATURE, T, feature[0]), PTR("FEATURE2", TYPE_FEATURE, T, feature[1]), \
        PTR("FEATURE3", TYPE_FEATURE, T, feature[2]),                                          \
        PTR("FEATURE4", TYPE_FEATURE, T, feature[3]),                                          \
        PTR("FEATURE5", TYPE_FEATURE, T, feature[4]),                                          \
        PTR("FEATURE6", TYPE_FEATURE, T, feature[5]),                                          \
        PTR("FEATURE7", TYPE_FEATURE, T, feature[6]), PTR("FEATURE8", TYPE_FEATURE, T, feature[7])
#define FLAGS1_8(T, f)                                                                         \
    FLAG("FLAG1", T, f, 0x1000), FLAG("FLAG2", T, f, 0x2000), FLAG("FLAG3", T, f, 0x4000),     \
        FLAG("FLAG4", T, f, 0x8000), FLAG("FLAG5", T, f, 0x10000), FLAG("FLAG6", T, f, 0x20000), \
        FLAG("FLAG7", T, f, 0x40000), FLAG("FLAG8", T, f, 0x80000)

// Members of every map object (walls, things, actors), then the object flag word.
#define OBJECT_COMMON                                                                       \
    PTR("TEXTURE", TYPE_OBJECT_TEX, MapObject, texture),                                    \
        PTR("ATTACH", KIND_TEXTURE, MapObject, attach), NUM("DIST", MapObject, dist),       \
        SKILLS(MapObject), FEATURES(MapObject), NUM("CYCLE", MapObject, cycle),             \
        NUM_RO("DISTANCE", MapObject, distance),                                            \
        PTR("IF_NEAR", KIND_ACTION, MapObject, if_near),                                    \
        PTR("IF_FAR", KIND_ACTION, MapObject, if_far),                                      \
        PTR("IF_HIT", KIND_ACTION, MapObject, if_hit),                                      \
        PTR("EACH_CYCLE", KIND_ACTION, MapObject, each_cycle),                              \
        PTR("EACH_TICK", KIND_ACTION, MapObject, each_tick),                                \
        PTR("IF_ARRIVED", KIND_ACTION, MapObject, if_arrived),                              \
        NUM_RO("SIZE_X", MapObject, size_x), NUM("TARGET_X", MapObject, target_x),          \
        NUM("TARGET_Y", MapObject, target_y), NUM("REL_ANGLE", MapObject, target_x),        \
        NUM("REL_DIST", MapObject, target_y), FLAG_RO("THING", MapObject, flags, OBJ_THING), \
        FLAG("PLAY", MapObject, flags, 0x2), FLAG_M2("ONESHOT", MapObject, flags, 0x2),     \
        FLAG("CAREFULLY", MapObject, flags, 0x8), FLAG_RO("ACTOR", MapObject, flags, 0x20), \
        FLAG("INVISIBLE", MapObject, flags, 0x40), FLAG("PASSABLE", MapObject, flags, 0x100), \
        FLAG("SEEN", MapObject, flags, 0x200), FLAG_RO("VISIBLE", MapObject, flags, 0x400), \
        FLAG("BERKELEY", MapObject, flags, 0x800), FLAGS1_8(MapObject, flags),              \
        FLAG("SENSITIVE", MapObject, flags, 0x100000),                                      \
        FLAG("FRAGILE", MapObject, flags, 0x200000), FLAG("LIBER", MapObject, flags, 0x400000), \
        FLAG("IMMATERIAL", MapObject, flags, 0x8000000),                                    \
        FLAG("IMPASSABLE", MapObject, flags, 0x20000000), NUM("AMBIENT", MapObject, ambient)

#define OBJECT_THING                                                                      \
    PTR("REGION", KIND_REGION, MapObject, region),                                        \
        {"TARGET", TYPE_TARGET, 0, (uint16_t)offsetof(MapObject, target), 0, 0},          \
        NUM("WAYPOINT", MapObject, waypoint), PTR("OVERLAY", KIND_OVERLAY, MapObject, overlay), \
        NUM("SPEED", MapObject, speed), NUM("VSPEED", MapObject, vspeed),                 \
        NUM("ANGLE", MapObject, angle), NUM_RO("SIZE_Y", MapObject, size_y),              \
        NUM("RESULT", MapObject, result), NUM("HEIGHT", MapObject, height),               \
        NUM("FLOOR_HGT", MapObject, floor_hgt), FLAG("GROUND", MapObject, flags, 0x10),   \
        FLAG("MOVED", MapObject, flags, 0x2000000), VIA("X", MapObject, vertex1, Vertex, x), \
        VIA("Y", MapObject, vertex1, Vertex, y), VIA("Z", MapObject, vertex1, Vertex, z)

#define OBJECT_WALL                                                                        \
    NUM("OFFSET_X", MapObject, offset_x), NUM("OFFSET_Y", MapObject, offset_y),            \
        NUM("POSITION", MapObject, height), NUM_RO("LENGTH", MapObject, angle),            \
        PTR_RO("RIGHT", KIND_REGION, MapObject, right_region),                             \
        PTR_RO("LEFT", KIND_REGION, MapObject, region),                                    \
        FLAG("TRANSPARENT", MapObject, flags, 0x4), FLAG("PORTCULLIS", MapObject, flags, 0x10), \
        FLAG_RO("FENCE", MapObject, flags, 0x4000000),                                     \
        VIA("X1", MapObject, vertex1, Vertex, x), VIA("Y1", MapObject, vertex1, Vertex, y), \
        VIA("Z1", MapObject, vertex1, Vertex, z), VIA("X2", MapObject, vertex2, Vertex, x), \
        VIA("Y2", MapObject, vertex2, Vertex, y), VIA("Z2", MapObject, vertex2, Vertex, z)

static const MemberSpec wall_members[] = {OBJECT_COMMON, OBJECT_WALL};
static const MemberSpec thing_members[] = {OBJECT_COMMON, OBJECT_THING};
static const MemberSpec object_members[] = {OBJECT_COMMON, OBJECT_THING, OBJECT_WALL};

static const MemberSpec region_members[] = {
    PTR("BELOW", KIND_REGION, Region, below),
    PTR("TOP", KIND_REGION, Region, top),
    PTR("CEIL_TEX", TYPE_CEIL_TEX, Region, ceil_tex),
    PTR("FLOOR_TEX", TYPE_FLOOR_TEX, Region, floor_tex),
    PTR_M2("TEXTURE1", KIND_TEXTURE, Region, texture[0]),
    PTR_M2("TEXTURE2", KIND_TEXTURE, Region, texture[1]),
    PTR_M2("TEXTURE3", KIND_TEXTURE, Region, texture[2]),
    PTR_M2("TEXTURE4", KIND_TEXTURE, Region, texture[3]),
    NUM("CEIL_HGT", Region, ceil_hgt),
    NUM("FLOOR_HGT", Region, floor_hgt),
    NUM("CEIL_CYCLE", Region, ceil_cycle),
    NUM("FLOOR_CYCLE", Region, floor_cycle),
    NUM("CEIL_OFFS_X", Region, ceil_offs_x),
    NUM("CEIL_OFFS_Y", Region, ceil_offs_y),
    NUM("FLOOR_OFFS_X", Region, floor_offs_x),
    NUM("FLOOR_OFFS_Y", Region, floor_offs_y),
    NUM("AMBIENT", Region, ambient),
    PTR("GENIUS", KIND_OBJECT, Region, genius),
    NUM("CLIP_DIST", Region, clip_dist),
    NUM("FLOOR_ANGLE", Region, floor_angle),
    NUM("CEIL_ANGLE", Region, ceil_angle),
    SKILLS(Region),
    FEATURES(Region),
    PTR("IF_ENTER", KIND_ACTION, Region, if_enter),
    PTR("IF_LEAVE", KIND_ACTION, Region, if_leave),
    PTR("IF_DIVE", KIND_ACTION, Region, if_dive),
    PTR("IF_ARISE", KIND_ACTION, Region, if_arise),
    PTR("EACH_TICK", KIND_ACTION, Region, each_tick),
    PTR("EACH_CYCLE", KIND_ACTION, Region, each_cycle),
    PTR_M2("DO", KIND_ACTION, Region, do_action),
    NUM_M2("FOOT_HGT", Region, foot_hgt),
    PTR_M2("EACH_CYCLE_C", KIND_ACTION, Region, each_cycle),
    PTR_M2("EACH_CYCLE_F", KIND_ACTION, Region, if_arise),
    FLAG("PLAY", Region, flags, 0x8000002),
    FLAG_M2("PLAY_C", Region, flags, 0x8000000),
    FLAG_M2("PLAY_F", Region, flags, 0x2),
    FLAG_M2("ONESHOT", Region, flags, 0x8000002),
    FLAG("BASE", Region, flags, 0x10),
    FLAG_RO("HERE", Region, flags, 0x100),
    FLAG("SEEN", Region, flags, 0x200),
    FLAG_RO("VISIBLE", Region, flags, 0x400),
    FLAGS1_8(Region, flags),
};

static const MemberSpec texture_members[] = {
    NUM("AMBIENT", Texture, ambient),
    NUM("ALBEDO", Texture, albedo),
    NUM("SCALE_X", Texture, scale_x),
    NUM("SCALE_Y", Texture, scale_y),
    PTR("FONT", KIND_FONT, Texture, font),
    PTR("IF_TOUCH", KIND_ACTION, Texture, if_touch),
    PTR("IF_RELEASE", KIND_ACTION, Texture, if_release),
    PTR("IF_KLICK", KIND_ACTION, Texture, if_klick),
    PTR("TOUCH", KIND_STRING, Texture, touch),
    PTR("TITLE", KIND_STRING, Texture, title),
    PTR("ATTACH", KIND_TEXTURE, Texture, attach),
    NUM("POS_X", Texture, pos_x),
    NUM("POS_Y", Texture, pos_y),
    PTR("SOUND", KIND_SOUND, Texture, sound),
    NUM("SVOL", Texture, svol),
    NUM("SDIST", Texture, sdist),
    NUM("SVDIST", Texture, svdist),
};

static const MemberSpec text_members[] = {
    NUM("POS_X", Text, pos_x),
    NUM("POS_Y", Text, pos_y),
    PTR("STRING", KIND_STRING, Text, string),
    PTR("FONT", KIND_FONT, Text, font),
    NUM("INDEX", Text, index),
    NUM("SIZE_Y", Text, size_y),
    NUM("OFFSET_Y", Text, offset_y),
    NUM("LINES", Text, lines),
    NUM_RO("SCALE_X", Text, scale_x),
    NUM_RO("SCALE_Y", Text, scale_y),
    FLAG("VISIBLE", Text, flags, DISPLAY_VISIBLE),
    NUM_RO("LAYER", Text, layer),
    NUM("VIEWPOS", Text, viewpos),
};

static const MemberSpec overlay_members[] = {
    NUM("POS_X", Overlay, pos_x),
    NUM("POS_Y", Overlay, pos_y),
    NUM("SIDE", Overlay, side),
    NUM_RO("SCALE_X", Overlay, size_x),
    NUM_RO("SCALE_Y", Overlay, size_y),
    NUM_RO("SIZE_X", Overlay, size_x),
    NUM_RO("SIZE_Y", Overlay, size_y),
    NUM_RO("LAYER", Overlay, layer),
    FLAG("VISIBLE", Overlay, flags, DISPLAY_VISIBLE),
};

static const MemberSpec panel_members[] = {
    NUM("POS_X", Panel, pos_x),
    NUM("POS_Y", Panel, pos_y),
    FLAG("VISIBLE", Panel, flags, DISPLAY_VISIBLE),
    NUM_RO("LAYER", Panel, layer),
    PTR("IF_KLICK", KIND_ACTION, Panel, if_klick),
};

static const MemberSpec view_members[] = {
    FLAG("VISIBLE", View, flags, DISPLAY_VISIBLE),
    PTR("GENIUS", KIND_OBJECT, View, genius),
    NUM("POS_X", View, pos_x),
    NUM("POS_Y", View, pos_y),
    NUM("SIZE_X", View, size_x),
    NUM("SIZE_Y", View, size_y),
    NUM_RO("LAYER", View, layer),
};

static const MemberSpec skill_members[] = {
    NUM("MIN", Skill, minimum),
    NUM("MAX", Skill, maximum),
    NUM("VAL", Skill, value),
};

#define TABLE(t) MemberTable{t, (int32_t)(sizeof t / sizeof t[0])}

MemberTable member_table(int32_t kind) {
    switch (kind) {
    case KIND_OBJECT: return TABLE(object_members);
    case KIND_WALL: return TABLE(wall_members);
    case KIND_THING: return TABLE(thing_members);
    case KIND_REGION: return TABLE(region_members);
    case KIND_TEXTURE: return TABLE(texture_members);
    case KIND_TEXT: return TABLE(text_members);
    case KIND_OVERLAY: return TABLE(overlay_members);
    case KIND_PANEL: return TABLE(panel_members);
    case KIND_VIEW: return TABLE(view_members);
    case KIND_SKILL: return TABLE(skill_members);
    default: return MemberTable{nullptr, 0};
    }
}

static bool same_text(const char* a, const char* b) {
    for (;; a++, b++) {
        char x = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
        char y = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
        if (x != y) return false;
        if (!x) return true;
    }
}

const MemberSpec* find_member(int32_t kind, const char* name) {
    if (!name) return nullptr;
    MemberTable t = member_table(kind);
    for (int32_t i = 0; i < t.count; i++)
        if (same_text(t.members[i].name, name)) return &t.members[i];
    return nullptr;
}

void* member_cell(void* record, const MemberSpec* member) {
    if (!record || !member) return nullptr;
    char* p = (char*)record + member->offset;
    if (member->markers & MEMBER_INDIRECT) {
        char* target;
        std::memcpy(&target, p, sizeof target);
        if (!target) return nullptr;
        p = target + member->indirect_offset;
    }
    return p;
}

int32_t member_read(void* record, const MemberSpec* member) {
    void* cell = member_cell(record, member);
    if (!cell) return 0;
    if (member->markers & MEMBER_POINTER) {
        void* value;
        std::memcpy(&value, cell, sizeof value);
        return value ? 1024 : 0;
    }
    int32_t value;
    std::memcpy(&value, cell, sizeof value);
    if (member->type == TYPE_FLAG) return ((uint32_t)value & member->mask) ? 1024 : 0;
    return value;
}

bool member_write(void* record, const MemberSpec* member, int32_t value) {
    if (!member || (member->markers & MEMBER_POINTER)) return false;
    void* cell = member_cell(record, member);
    if (!cell) return false;
    if (member->type == TYPE_FLAG) {
        uint32_t word;
        std::memcpy(&word, cell, sizeof word);
        word = value ? (word | member->mask) : (word & ~member->mask);
        std::memcpy(cell, &word, sizeof word);
        return true;
    }
    std::memcpy(cell, &value, sizeof value);
    return true;
}

bool old_member_spelling(const char* name, char out[8]) {
    if (!name) return false;
    static const char* const spellings[] = {"MY_X", "MY_Y", "MY_Z", "MY_X1", "MY_Y1",
                                            "MY_Z1", "MY_X2", "MY_Y2", "MY_Z2"};
    for (const char* spelling : spellings) {
        if (!same_text(spelling, name)) continue;
        std::strcpy(out, spelling);
        out[2] = '.';
        return true;
    }
    return false;
}
