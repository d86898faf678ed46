// Operands of instructions resolved once, at compile time: numbers become literal cells,
// skills and input-state names their value cells, named objects literal pointers, synonyms
// their reference cells, and NAME.MEMBER either the member's cell of a named object or a
// synonym plus offsets that follow whatever object the synonym names when the instruction
// runs.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/errors.h"
#include "script/exec/compiler_internal.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/world_script.h"

namespace {

constexpr int part_max = 30;

bool fail(bool report, const char* why) {
    if (report) report_error(why);
    return false;
}

void set_value_kind(const MemberSpec* m, Operand* out) {
    out->markers = m->markers & (MEMBER_READ_ONLY | MEMBER_M2);
    out->pointer = (m->markers & MEMBER_POINTER) != 0;
    switch (m->type) {
    case TYPE_NUMBER: out->value_kind = VALUE_NUMBER; break;
    case TYPE_FLAG:
        out->value_kind = VALUE_FLAG;
        out->mask = m->mask;
        break;
    case TYPE_TARGET: out->value_kind = VALUE_TARGET; break;
    case TYPE_OBJECT_TEX: out->value_kind = VALUE_OBJECT_TEX; out->kind = KIND_TEXTURE; break;
    case TYPE_FLOOR_TEX: out->value_kind = VALUE_FLOOR_TEX; out->kind = KIND_TEXTURE; break;
    case TYPE_CEIL_TEX: out->value_kind = VALUE_CEIL_TEX; out->kind = KIND_TEXTURE; break;
    default:
        out->value_kind = VALUE_POINTER;
        out->kind = m->type;
        break;
    }
}

bool resolve_member(const char* object_name, const char* member_name, Operand* out, bool report) {
    NameEntry* entry = lookup_name(object_name);
    if (!entry || !entry->object) return fail(report, "action compiler: unknown object");
    entry = find_name(object_name, KIND_NONE);
    if (!entry) return false;
    out->is_member = true;
    if (entry->kind == KIND_SYNONYM) {
        auto* synonym = static_cast<Synonym*>(entry->object);
        const MemberSpec* m = find_member(synonym->type, member_name);
        if (!m) return fail(report, "action compiler: unknown member");
        out->member = m->name;
        out->owner_kind = synonym->type;
        out->base = synonym->ref ? static_cast<void*>(synonym->ref) : static_cast<void*>(&synonym->object);
        out->offset_a = m->offset;
        if (m->markers & MEMBER_INDIRECT) {
            out->mode = MODE_SYNONYM_OBJECT;
            out->offset_b = m->indirect_offset;
        } else {
            out->mode = MODE_SYNONYM;
        }
        set_value_kind(m, out);
        return true;
    }
    const MemberSpec* m = find_member(entry->kind, member_name);
    if (!m) return fail(report, "action compiler: unknown member");
    out->member = m->name;
    out->owner = entry->object;
    out->owner_kind = entry->kind;
    if (m->markers & MEMBER_INDIRECT) {
        // The pointer inside the record may change (a wall's vertex): follow it at run time.
        out->mode = MODE_SYNONYM_OBJECT;
        out->base = &entry->object;
        out->offset_a = m->offset;
        out->offset_b = m->indirect_offset;
    } else {
        out->mode = MODE_DIRECT;
        out->base = static_cast<char*>(entry->object) + m->offset;
        out->offset_a = m->offset;
    }
    if (entry->kind == KIND_SKILL) out->skill = static_cast<Skill*>(entry->object);
    set_value_kind(m, out);
    return true;
}

// EACH_TICK.n and EACH_SEC.n name the slots of the two lists.
bool resolve_list_slot(const char* list, const char* number, Operand* out) {
    Action** slots = definition_ops.event_list ? definition_ops.event_list(list) : nullptr;
    if (!slots) return false;
    char* end = nullptr;
    long n = std::strtol(number, &end, 10);
    if (!*number || *end || n < 1 || n > WORLD_LIST_SLOTS) return false;
    out->mode = MODE_DIRECT;
    out->base = &slots[n - 1];
    out->pointer = true;
    out->value_kind = VALUE_POINTER;
    out->kind = KIND_ACTION;
    return true;
}

bool is_old_spelling(const char* text) {
    static const char* const old[] = {"MY_X", "MY_Y", "MY_Z", "MY_X1", "MY_Y1", "MY_Z1", "MY_X2", "MY_Y2", "MY_Z2"};
    for (const char* o : old)
        if (strcasecmp(o, text) == 0) return true;
    return false;
}

struct TargetName {
    const char* name;
    uint8_t value_kind;
    int32_t value;
};
const TargetName target_names[] = {
    {"FOLLOW", VALUE_TARGET, TARGET_FOLLOW},   {"REPEL", VALUE_TARGET, TARGET_REPEL},
    {"HOLD", VALUE_TARGET, TARGET_HOLD},       {"BULLET", VALUE_TARGET, TARGET_BULLET},
    {"STRAIGHT", VALUE_TARGET, TARGET_BULLET}, {"MOVE", VALUE_TARGET, TARGET_MOVE},
    {"DROP", VALUE_TARGET_CALL, 1},            {"PLACE", VALUE_TARGET_CALL, 2},
    {"STICK", VALUE_TARGET_CALL, 3},           {"VERTEX", VALUE_TARGET_VERTEX, TARGET_VERTEX},
};

bool resolve_target_name(const char* token, Operand* out) {
    for (const TargetName& t : target_names) {
        if (strcasecmp(t.name, token) != 0) continue;
        out->literal = true;
        out->value_kind = t.value_kind;
        out->value = t.value_kind == VALUE_TARGET ? int64_t(t.value) : 0;
        out->special = t.value_kind == VALUE_TARGET_CALL ? t.value : 0;
        return true;
    }
    return false;
}

bool is_object_kind(int32_t kind) { return kind > 0 && kind < KIND_UNTYPED && kind != KIND_SKILL && kind != KIND_SYNONYM; }

bool resolve_name(const char* name, int32_t expected, Operand* out, bool report) {
    if (int32_t* cell = find_input_cell(name)) {
        out->mode = MODE_DIRECT;
        out->base = cell;
        out->value_kind = VALUE_NUMBER;
        return true;
    }
    if (check_name(name) != 0) return fail(report, "action compiler: invalid name");
    // An entry of the expected kind is taken first where a name has several (v308).
    int32_t saved = catalogue.preferred_kind;
    if (is_object_kind(expected)) catalogue.preferred_kind = expected;
    NameEntry* entry = lookup_name(name);
    if (entry && entry->object) entry = find_name(name, KIND_NONE);
    catalogue.preferred_kind = saved;
    if (!entry || !entry->object) {
        if (Action** slot = definition_ops.event_slot ? definition_ops.event_slot(name) : nullptr) {
            out->mode = MODE_DIRECT;
            out->base = slot;
            out->pointer = true;
            out->value_kind = VALUE_POINTER;
            out->kind = KIND_ACTION;
            return true;
        }
        if (expected == KIND_ACTION && (!entry || entry->kind == KIND_ACTION)) {
            // A forward reference: the action is made now and its body comes later.
            void* object = nullptr;
            if (create_object(name, KIND_ACTION, &object) < 0 || !object) return false;
            out->literal = true;
            out->value = int64_t(reinterpret_cast<intptr_t>(object));
            out->pointer = true;
            out->value_kind = VALUE_POINTER;
            out->kind = KIND_ACTION;
            return true;
        }
        return fail(report, "action compiler: unknown name");
    }
    switch (entry->kind) {
    case KIND_SKILL: {
        auto* skill = static_cast<Skill*>(entry->object);
        out->mode = MODE_DIRECT;
        out->base = &skill->value;
        out->skill = skill;
        out->value_kind = VALUE_NUMBER;
        if (skill->flags & SKILL_ENGINE) out->markers |= MEMBER_READ_ONLY;
        if (skill->flags & SKILL_M2) out->markers |= MEMBER_M2;
        return true;
    }
    case KIND_SYNONYM: {
        auto* synonym = static_cast<Synonym*>(entry->object);
        out->mode = MODE_DIRECT;
        out->base = synonym->ref ? static_cast<void*>(synonym->ref) : static_cast<void*>(&synonym->object);
        out->pointer = true;
        out->value_kind = VALUE_POINTER;
        out->kind = synonym->type == KIND_UNTYPED ? KIND_NONE : synonym->type;
        return true;
    }
    default:
        out->literal = true;
        out->value = int64_t(reinterpret_cast<intptr_t>(entry->object));
        out->pointer = true;
        out->value_kind = VALUE_POINTER;
        out->kind = entry->kind;
        return true;
    }
}

bool make_string_literal(const char* text, Operand* out) {
    auto* string = static_cast<ScriptString*>(new_record(KIND_STRING));
    if (!string || set_string_text(string, text) != 0) return false;
    out->literal = true;
    out->value = int64_t(reinterpret_cast<intptr_t>(string));
    out->pointer = true;
    out->value_kind = VALUE_POINTER;
    out->kind = KIND_STRING;
    out->string_literal = true;
    return true;
}

}  // namespace

bool literal_number(const char* text, int32_t* value) {
    if (!text) return false;
    const char* p = text;
    if (*p == '+' || *p == '-') p++;
    if (!(std::isdigit(uint8_t(*p)) || (*p == '.' && std::isdigit(uint8_t(p[1]))))) return false;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text || *end != 0) return false;
    *value = fixed_from_double(v);
    return true;
}

bool is_pointer_kind(int32_t kind) {
    switch (kind) {
    case KIND_OBJECT: case KIND_WALL: case KIND_THING: case KIND_REGION: case KIND_TEXTURE: case KIND_TEXT:
    case KIND_STRING: case KIND_ACTION: case KIND_FONT: case KIND_WAY: case KIND_SOUND: case KIND_OVERLAY:
    case KIND_PANEL: case KIND_PALETTE: case KIND_FLIC: case KIND_BMAP: case KIND_OVLY: case KIND_DATABASE:
    case KIND_DATAVIEW: case KIND_MODEL: case KIND_VIEW: case TYPE_FEATURE:
        return true;
    default:
        return false;
    }
}

bool operand_fits(const Operand& o, int32_t expected) {
    if (expected == EXPECT_ANY || expected == EXPECT_NONE) return true;
    bool number = o.value_kind == VALUE_NUMBER || o.value_kind == VALUE_FLAG || o.value_kind == VALUE_TARGET;
    if (expected == EXPECT_NUMBER) return number && !o.pointer;
    if (expected == TYPE_TARGET)
        return o.value_kind == VALUE_TARGET || o.value_kind == VALUE_TARGET_CALL ||
               o.value_kind == VALUE_TARGET_VERTEX ||
               (o.value_kind == VALUE_POINTER &&
                (o.kind == KIND_NONE || o.kind == KIND_OBJECT || o.kind == KIND_WALL || o.kind == KIND_THING ||
                 o.kind == KIND_WAY));
    if (o.value_kind == VALUE_TARGET_CALL || o.value_kind == VALUE_TARGET_VERTEX) return false;
    if (!o.pointer && !(o.literal && o.value == 0 && o.kind == expected)) return false;
    if (o.kind == KIND_NONE || o.kind == expected) return true;  // an untyped synonym, or NULL
    bool object = o.kind == KIND_OBJECT || o.kind == KIND_WALL || o.kind == KIND_THING;
    if (expected == KIND_OBJECT) return object;
    if ((expected == KIND_WALL || expected == KIND_THING) && o.kind == KIND_OBJECT) return true;
    if (expected == TYPE_FEATURE) return true;
    return false;
}

bool resolve_operand(const char* token, bool quoted, int32_t expected, Operand* out, bool report) {
    *out = Operand{};
    if (!token) return fail(report, "action compiler: missing operand");
    if (quoted) {
        if (expected != KIND_STRING && expected != EXPECT_ANY) return fail(report, "action compiler: unexpected text");
        if (!make_string_literal(token, out)) return fail(report, "action compiler: out of memory");
        return true;
    }
    int32_t number;
    if (literal_number(token, &number)) {
        out->literal = true;
        out->value = number;
        out->value_kind = VALUE_NUMBER;
        if (!operand_fits(*out, expected)) return fail(report, "action compiler: a number where an object belongs");
        return true;
    }
    if (strcasecmp(token, "NULL") == 0) {
        out->literal = true;
        out->value = 0;
        bool pointer = is_pointer_kind(expected) || expected == TYPE_FLOOR_TEX || expected == TYPE_CEIL_TEX ||
                       expected == TYPE_OBJECT_TEX || expected == EXPECT_ANY;
        out->pointer = pointer;
        out->value_kind = expected == TYPE_TARGET ? VALUE_TARGET : pointer ? VALUE_POINTER : VALUE_NUMBER;
        out->kind = expected == EXPECT_ANY || !pointer ? KIND_NONE : expected;
        if (expected == TYPE_FLOOR_TEX || expected == TYPE_CEIL_TEX || expected == TYPE_OBJECT_TEX)
            out->kind = KIND_TEXTURE;
        return true;
    }
    if (expected == TYPE_TARGET && resolve_target_name(token, out)) return true;

    size_t length = std::strlen(token);
    const char* dot = std::strchr(token, '.');
    bool ok;
    if (!dot && is_old_spelling(token)) {
        char name[8];
        std::memcpy(name, token, length + 1);
        name[2] = 0;
        ok = resolve_member(name, name + 3, out, report);
    } else if (!dot) {
        ok = resolve_name(token, expected, out, report);
    } else {
        size_t object_length = size_t(dot - token), member_length = length - object_length - 1;
        if (object_length == 0 || object_length > part_max || member_length == 0 || member_length > part_max ||
            std::strchr(dot + 1, '.'))
            return fail(report, "action compiler: invalid member reference");
        char name[2 * part_max + 2];
        std::memcpy(name, token, object_length);
        name[object_length] = 0;
        char* member = name + object_length + 1;
        std::memcpy(member, dot + 1, member_length + 1);
        if (resolve_list_slot(name, member, out)) {
            ok = true;
        } else {
            if (check_name(name) != 0 || check_name(member) != 0)
                return fail(report, "action compiler: invalid member reference");
            ok = resolve_member(name, member, out, report);
        }
    }
    if (!ok) return false;
    if (!operand_fits(*out, expected)) return fail(report, "action compiler: operand of the wrong kind");
    return true;
}

bool parse_variable(const char* token, VarRef* out) {
    *out = VarRef{};
    Operand o;
    int32_t number;
    if (!token || literal_number(token, &number)) return false;
    if (!resolve_operand(token, false, EXPECT_ANY, &o, true)) return false;
    if (o.literal) return false;
    out->base = o.base;
    out->offset_a = o.offset_a;
    out->offset_b = o.offset_b;
    out->mode = o.mode == MODE_DIRECT ? VARREF_DIRECT : o.mode == MODE_SYNONYM ? VARREF_SYNONYM : VARREF_SYNONYM_OBJECT;
    out->value_type = o.value_kind == VALUE_FLAG ? TYPE_FLAG : o.value_kind == VALUE_TARGET ? TYPE_TARGET : TYPE_NUMBER;
    out->markers = o.markers;
    out->mask = o.mask;
    return true;
}
