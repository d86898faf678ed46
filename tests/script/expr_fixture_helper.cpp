#include <cstddef>
#include <strings.h>

#include "tests/script/expr_fixture.h"

PlainVars plain;

namespace {

struct PlainName {
    const char* name;
    int32_t* cell;
    int32_t role;
};

const PlainName plain_names[] = {
    {"a", &plain.a, EXPR_ROLE_PLAIN},
    {"b", &plain.b, EXPR_ROLE_PLAIN},
    {"c", &plain.c, EXPR_ROLE_PLAIN},
    {"i", &plain.i, EXPR_ROLE_PLAIN},
    {"x", &plain.x, EXPR_ROLE_PLAIN},
    {"y", &plain.y, EXPR_ROLE_PLAIN},
    {"z", &plain.z, EXPR_ROLE_PLAIN},
    {"TIME_CORR", &plain.time_corr, EXPR_ROLE_TIME_CORR},
    {"MOVE_MODE", &plain.move_mode, EXPR_ROLE_MOVE_MODE},
};

}  // namespace

bool plain_resolver(const char* text, ExprOperand* out) {
    *out = ExprOperand{};
    if (expr_parse_number(text, &out->value)) {
        out->kind = EXPR_OPERAND_LITERAL;
        return true;
    }
    for (const PlainName& n : plain_names) {
        if (strcasecmp(n.name, text) == 0) {
            out->kind = EXPR_OPERAND_DIRECT;
            out->base = n.cell;
            out->role = n.role;
            return true;
        }
    }
    if (strcasecmp(text, "F.VISIBLE") == 0 || strcasecmp(text, "F.FLAG1") == 0) {
        out->kind = EXPR_OPERAND_DIRECT;
        out->base = &plain.flags;
        out->mask = text[2] == 'V' || text[2] == 'v' ? 0x400 : 0x1000;
        return true;
    }
    if (strcasecmp(text, "P.SKILL1") == 0) {
        out->kind = EXPR_OPERAND_SYNONYM;
        out->base = &plain.object;
        out->offset_a = int32_t(offsetof(MapObject, skill));
        return true;
    }
    report_error("plain_resolver");
    return false;
}
