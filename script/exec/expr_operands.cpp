// Operands of expressions resolved through the object catalogue, once, when the expression
// is parsed: a number becomes a literal; a skill or engine variable its value cell; an
// input-state name its cell; NAME.MEMBER the member's cell of a named object, or, for a
// synonym (MY, THERE, ...), an offset from whatever object the synonym refers to when the
// expression runs. References (objects, synonyms alone, pointer members) are read as a
// 32-bit identity so that they can be tested and compared.
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "script/exec/expr.h"
#include "script/front/catalogue.h"

namespace {

constexpr int part_max = 30;  // characters of the object and of the member name

void set_member_value_kind(const MemberSpec* m, ExprOperand* out) {
    if (m->type == TYPE_FLAG) out->mask = m->mask;
    if (m->markers & MEMBER_POINTER) out->pointer = true;
}

int32_t role_of(const Skill* skill) {
    if (skill->slot == SLOT_TIME_CORR) return EXPR_ROLE_TIME_CORR;
    if (skill->slot == SLOT_MOVE_MODE) return EXPR_ROLE_MOVE_MODE;
    return EXPR_ROLE_PLAIN;
}

bool fail(const char* why) {
    report_error(why);
    return false;
}

// OBJECT.MEMBER
bool resolve_member(const char* object_name, const char* member_name, ExprOperand* out) {
    NameEntry* entry = find_name(object_name, KIND_NONE);
    if (!entry) return fail("expression: unknown object");
    if (entry->kind == KIND_SYNONYM) {
        auto* synonym = static_cast<Synonym*>(entry->object);
        const MemberSpec* m = find_member(synonym->type, member_name);
        if (!m) return fail("expression: unknown member");
        out->base = synonym->ref ? static_cast<void*>(synonym->ref) : static_cast<void*>(&synonym->object);
        out->offset_a = m->offset;
        if (m->markers & MEMBER_INDIRECT) {
            out->kind = EXPR_OPERAND_SYNONYM_OBJECT;
            out->offset_b = m->indirect_offset;
        } else {
            out->kind = EXPR_OPERAND_SYNONYM;
        }
        set_member_value_kind(m, out);
        return true;
    }
    const MemberSpec* m = find_member(entry->kind, member_name);
    if (!m) return fail("expression: unknown member");
    if (m->markers & MEMBER_INDIRECT) {
        // The pointer inside the record may change (a wall's vertex): follow it at run time,
        // starting from the name entry's object cell.
        out->kind = EXPR_OPERAND_SYNONYM_OBJECT;
        out->base = &entry->object;
        out->offset_a = m->offset;
        out->offset_b = m->indirect_offset;
    } else {
        out->kind = EXPR_OPERAND_DIRECT;
        out->base = static_cast<char*>(entry->object) + m->offset;
    }
    set_member_value_kind(m, out);
    return true;
}

bool resolve_name(const char* name, ExprOperand* out) {
    if (int32_t* cell = find_input_cell(name)) {
        out->kind = EXPR_OPERAND_DIRECT;
        out->base = cell;
        return true;
    }
    if (check_name(name) != 0) return fail("expression: invalid name");
    NameEntry* entry = find_name(name, KIND_NONE);
    if (!entry) return fail("expression: unknown name");
    switch (entry->kind) {
    case KIND_SKILL: {
        auto* skill = static_cast<Skill*>(entry->object);
        out->kind = EXPR_OPERAND_DIRECT;
        out->base = &skill->value;
        out->role = role_of(skill);
        return true;
    }
    case KIND_SYNONYM: {
        auto* synonym = static_cast<Synonym*>(entry->object);
        out->kind = EXPR_OPERAND_DIRECT;
        out->base = synonym->ref ? static_cast<void*>(synonym->ref) : static_cast<void*>(&synonym->object);
        out->pointer = true;
        return true;
    }
    default:
        // Any other object stands for itself: a constant reference.
        out->kind = EXPR_OPERAND_LITERAL;
        out->value = expr_reference_value(entry->object);
        return true;
    }
}

}  // namespace


bool expr_catalogue_operand(const char* text, ExprOperand* out) {
    *out = ExprOperand{};
    if (expr_parse_number(text, &out->value)) {
        out->kind = EXPR_OPERAND_LITERAL;
        return true;
    }
    char name[2 * part_max + 2];
    size_t length = std::strlen(text);
    const char* dot = std::strchr(text, '.');
    char dotted[8];
    if (!dot && old_member_spelling(text, dotted)) return resolve_member("MY", dotted + 3, out);
    if (!dot) return resolve_name(text, out);
    size_t object_length = size_t(dot - text), member_length = length - object_length - 1;
    if (object_length == 0 || object_length > part_max || member_length == 0 || member_length > part_max ||
        std::strchr(dot + 1, '.'))
        return fail("expression: invalid member reference");
    std::memcpy(name, text, object_length);
    name[object_length] = 0;
    char* member = name + object_length + 1;
    std::memcpy(member, dot + 1, member_length + 1);
    if (check_name(name) != 0 || check_name(member) != 0) return fail("expression: invalid member reference");
    return resolve_member(name, member, out);
}
