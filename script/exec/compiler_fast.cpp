// Fast forms: the shapes of conditions and rules that loops use most, recognised once when
// the action is compiled, so that the interpreter runs them without walking the tree. A
// form is only chosen where its result is the tree's by construction: the operands are
// plain cells or constants, and no product is subject to the minimum-unit rule.
#include "script/exec/compiler_internal.h"

namespace {

struct Leaves {
    const ExprNode* nodes;
    int32_t count;
};

const ExprNode* node(const Leaves& t, int32_t i) { return i >= 1 && i <= t.count ? &t.nodes[i] : nullptr; }

// A leaf: a variable cell, or a constant (through its literal marker), copied into the
// instruction. Null for any other node.
const int32_t* leaf(Instruction* ip, const Leaves& t, int32_t i, int* constants) {
    const ExprNode* n = node(t, i);
    if (!n) return nullptr;
    if (n->op == EXPR_VAR) return static_cast<const int32_t*>(n->ptr);
    if (n->op == EXPR_LITERAL) n = node(t, n->left);
    if (!n || n->op != EXPR_CONST || *constants >= 3) return nullptr;
    ip->fast_const[*constants] = n->val;
    return &ip->fast_const[(*constants)++];
}

uint8_t comparison_form(int32_t op) {
    switch (op) {
    case EXPR_LT: return FAST_LT;
    case EXPR_GT: return FAST_GT;
    case EXPR_LE: return FAST_LE;
    case EXPR_GE: return FAST_GE;
    case EXPR_EQ: return FAST_EQ;
    case EXPR_NE: return FAST_NE;
    default: return FAST_NONE;
    }
}

void condition_form(Instruction* ip, const Leaves& t, int32_t root) {
    const ExprNode* r = node(t, root);
    uint8_t form = r ? comparison_form(r->op) : uint8_t(FAST_NONE);
    if (form == FAST_NONE) return;
    int constants = 0;
    const int32_t* a = leaf(ip, t, r->left, &constants);
    const int32_t* b = leaf(ip, t, r->right, &constants);
    if (!a || !b) return;
    ip->fast_a = a;
    ip->fast_b = b;
    ip->fast = form;
}

void rule_form(Instruction* ip, const Leaves& t, int32_t root) {
    const ExprNode* r = node(t, root);
    if (!r || r->op != EXPR_ASSIGN) return;
    const ExprNode* target = node(t, r->left);
    const ExprNode* value = node(t, r->right);
    if (!target || target->op != EXPR_VAR || !value) return;
    auto* dest = static_cast<int32_t*>(target->ptr);
    int constants = 0;
    if (value->op == EXPR_ADD || value->op == EXPR_SUB) {
        const int32_t* a = leaf(ip, t, value->left, &constants);
        if (!a) return;
        const ExprNode* right = node(t, value->right);
        if (value->op == EXPR_ADD && right && right->op == EXPR_MUL && right->val == 0) {
            // a + b * c
            const int32_t* b = leaf(ip, t, right->left, &constants);
            const int32_t* c = leaf(ip, t, right->right, &constants);
            if (!b || !c) return;
            ip->fast_dest = dest;
            ip->fast_a = a;
            ip->fast_b = b;
            ip->fast_c = c;
            ip->fast = FAST_SUM_PRODUCT;
            return;
        }
        int before = constants;
        const int32_t* b = leaf(ip, t, value->right, &constants);
        if (!b) return;
        if (value->op == EXPR_SUB) {
            // a - k is a + (-k) in 32-bit wrap-around arithmetic; only for a constant k.
            if (constants == before) return;
            ip->fast_const[before] = int32_t(0u - uint32_t(ip->fast_const[before]));
        }
        ip->fast_dest = dest;
        ip->fast_a = a;
        ip->fast_b = b;
        ip->fast = FAST_ADD;
    }
}

}  // namespace

void choose_fast_form(Instruction* ip) {
    ip->fast = FAST_NONE;
    const ExprTree* tree = ip->aux.tree;
    if (!tree || tree->magic != EXPR_MAGIC || tree->count <= 0) return;
    Leaves t = {expr_nodes(tree), tree->count};
    if (ip->opcode == OP_IF || ip->opcode == OP_WHILE_OPEN) condition_form(ip, t, tree->root);
    else if (ip->opcode == OP_RULE) rule_form(ip, t, tree->root);
}
