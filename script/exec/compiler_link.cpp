// The link pass, run when an action's closing brace is read: one walk over the list in
// order that turns label references, block records and loop exits into jump targets.
#include <vector>

#include "engine/errors.h"
#include "script/exec/compiler_internal.h"
#include "script/front/reader.h"

namespace {

int32_t inverted(int32_t opcode) {
    switch (opcode) {
    case OP_JUMP_ABOVE: return OP_JUMP_NOT_ABOVE;
    case OP_JUMP_NOT_ABOVE: return OP_JUMP_ABOVE;
    case OP_JUMP_BELOW: return OP_JUMP_NOT_BELOW;
    case OP_JUMP_NOT_BELOW: return OP_JUMP_BELOW;
    case OP_JUMP_EQUAL: return OP_JUMP_NEQUAL;
    case OP_JUMP_NEQUAL: return OP_JUMP_EQUAL;
    case OP_JUMP_BITS_SET: return OP_JUMP_BITS_CLEAR;
    case OP_JUMP_BITS_CLEAR: return OP_JUMP_BITS_SET;
    default: return opcode;
    }
}

Instruction* at(const std::vector<Instruction*>& list, int64_t i) {
    return i >= 0 && i < int64_t(list.size()) ? list[size_t(i)] : nullptr;
}

// The interpreter's direct way for a linked instruction, where it has one. A rule runs
// directly only when its tree writes operand 1 itself and no look input owns it.
uint8_t dispatch_of(const Instruction* ip) {
    switch (ip->opcode) {
    case OP_JUMP:
    case OP_ELSE:
        return DISPATCH_JUMP;
    case OP_IF:
        switch (ip->fast) {
        case FAST_LT: return DISPATCH_IF_LT;
        case FAST_GT: return DISPATCH_IF_GT;
        case FAST_LE: return DISPATCH_IF_LE;
        case FAST_GE: return DISPATCH_IF_GE;
        case FAST_EQ: return DISPATCH_IF_EQ;
        case FAST_NE: return DISPATCH_IF_NE;
        default: return DISPATCH_BY_OPCODE;
        }
    case OP_RULE: {
        bool direct = !(ip->addr_flags & (ADDR_OP1_SYNONYM | ADDR_OP1_OBJECT)) && ip->op[0].base == ip->fast_dest;
        if (!direct || (ip->exec_marks & EXEC_LOOK_OWNED)) return DISPATCH_BY_OPCODE;
        if (ip->fast == FAST_ADD) return DISPATCH_RULE_ADD;
        if (ip->fast == FAST_SUM_PRODUCT) return DISPATCH_RULE_SUM_PRODUCT;
        return DISPATCH_BY_OPCODE;
    }
    default:
        return DISPATCH_BY_OPCODE;
    }
}

}  // namespace

void link_action(Action* action) {
    std::vector<Instruction*> list;
    for (Instruction* ip = action->first; ip; ip = ip->next) list.push_back(ip);
    for (size_t i = 0; i < list.size(); i++) {
        Instruction* ip = list[i];
        if (!(ip->link_flags & LINK_RESOLVE)) continue;
        int32_t op = ip->opcode;
        if ((op >= OP_JUMP_ABOVE && op <= OP_JUMP_BITS_CLEAR) || op == OP_JUMP) {
            Label* label = ip->label;
            if (!label) {
                // No label: the next instruction runs only when the condition holds.
                ip->target.jump = at(list, int64_t(i) + 2);
                ip->opcode = inverted(op);
            } else if (label->numeric) {
                int64_t n = label->count;
                if (n >= 0) ip->target.jump = at(list, int64_t(i) + 1 + n);
                else ip->target.jump = int64_t(i) + n >= 0 ? list[size_t(int64_t(i) + n)] : list[0];
            } else if (!label->defined) {
                reader_report_error("action compiler: undefined label");
                ip->target.jump = nullptr;
            } else {
                ip->target.jump = label->at_head ? action->first : label->after->next;
            }
        } else if (op == OP_IF || op == OP_ELSE) {
            // The block's record is its last instruction: continue after it.
            Instruction* recorded = ip->target.jump;
            ip->target.jump = recorded ? recorded->next : nullptr;
        } else if (op == OP_BREAK_OPEN) {
            Instruction* loop = ip->target.jump;
            if (loop && loop->opcode == OP_IF) {
                ip->opcode = OP_JUMP;
                ip->target.jump = loop->target.jump;
            } else {
                ip->target.jump = nullptr;  // its WHILE was never closed: the BREAK does nothing
            }
        }
    }
    for (Instruction* ip : list) ip->dispatch = dispatch_of(ip);
}
