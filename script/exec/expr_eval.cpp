// Evaluation of expression trees: a recursive walk over the node array in 22.10 fixed
// point. Operands were resolved to cell addresses when the tree was parsed, so a variable
// is one load and a member two or three; only the synonym and object-pointer hops remain.
#include "engine/errors.h"
#include "script/exec/expr.h"
#include "script/exec/expr_fast.h"

namespace {

// The int32 cell that a variable or field node addresses, or null where a pointer on the
// way is null (such operands read 0 and are never written).
inline int32_t* node_cell(const ExprNode& n) {
    switch (n.op) {
    case EXPR_VAR:
        return static_cast<int32_t*>(n.ptr);
    case EXPR_FIELD: {
        char* object = n.ptr ? *static_cast<char**>(n.ptr) : nullptr;
        return object ? reinterpret_cast<int32_t*>(object + n.left) : nullptr;
    }
    case EXPR_FIELD2: {
        char* object = n.ptr ? *static_cast<char**>(n.ptr) : nullptr;
        char* inner = object ? *reinterpret_cast<char**>(object + n.right) : nullptr;
        return inner ? reinterpret_cast<int32_t*>(inner + n.left) : nullptr;
    }
    default:
        return nullptr;
    }
}

inline int32_t wrap_add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
inline int32_t wrap_sub(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }
inline int32_t truth(bool b) { return b ? 1024 : 0; }

struct Walker {
    const ExprNode* nodes;  // indexed from 1
    uint32_t count;

    int32_t eval(int32_t i) const;
    [[gnu::noinline]] int32_t rare(const ExprNode& n) const;

    // Children that are plain variables or constants are read here without a call.
    inline int32_t operand(int32_t i) const {
        if (uint32_t(i) - 1 >= count) return 0;
        const ExprNode& c = nodes[i];
        if (c.op == EXPR_VAR) return c.ptr ? *static_cast<const int32_t*>(c.ptr) : 0;
        if (c.op == EXPR_LITERAL) {
            int32_t k = c.left;
            if (uint32_t(k) - 1 < count && nodes[k].op == EXPR_CONST) return nodes[k].val;
        }
        if (c.op == EXPR_CONST) return c.val;
        return eval(i);
    }

    int32_t multiply(const ExprNode& n) const {
        int32_t a = operand(n.left);
        int32_t b = operand(n.right);
        int64_t p = int64_t(a) * b;
        if (p < 0 && p >= -(int64_t(1) << 32)) p += 1023;
        int32_t r = int32_t(p >> 10);
        // A product with TIME_CORR never vanishes: a tiny speed still moves by one unit.
        if (r == 0 && n.val && a != 0 && b != 0) r = (a < 0) == (b < 0) ? 1 : -1;
        return r;
    }

    [[gnu::noinline]] int32_t divide(const ExprNode& n) const {
        int32_t a = operand(n.left);
        int32_t b = operand(n.right);
        if (b == 0) {
            warn_division_by_zero();
            return 0;
        }
        return int32_t(int64_t(a) * 1024 / b);
    }

    [[gnu::noinline]] int32_t remainder(const ExprNode& n) const {
        int32_t a = operand(n.left);
        int32_t b = operand(n.right);
        if (b == 0) {
            warn_division_by_zero();
            return 0;
        }
        return int32_t(int64_t(uint32_t(a)) % int64_t(b));
    }

    [[gnu::noinline]] int32_t assign(const ExprNode& n) const {
        int32_t value = operand(n.right);
        uint32_t mask = 0;
        int32_t t = n.left;
        for (int guard = 0; guard < 4 && uint32_t(t) - 1 < count; guard++) {
            const ExprNode& target = nodes[t];
            if (target.op == EXPR_LITERAL) {
                t = target.left;
            } else if (target.op == EXPR_FLAG) {
                mask = uint32_t(target.val);
                t = target.left;
            } else {
                int32_t* cell = node_cell(target);
                if (!cell) return mask ? 0 : value;
                if (mask) {
                    uint32_t word = uint32_t(*cell);
                    word = value ? (word | mask) : (word & ~mask);
                    *cell = int32_t(word);
                    return int32_t(word);
                }
                *cell = value;
                return value;
            }
        }
        return value;
    }

    int32_t reference(const ExprNode& n) const {
        if (uint32_t(n.left) - 1 >= count) return 0;
        void** cell = reinterpret_cast<void**>(node_cell(nodes[n.left]));
        return cell ? expr_reference_value(*cell) : 0;
    }
};

// The operations that loops and rules use most are kept in this small function; the rest
// are out of line (see rare), so that the hot path saves few registers per level.
int32_t Walker::eval(int32_t i) const {
    if (uint32_t(i) - 1 >= count) return 0;
    const ExprNode& n = nodes[i];
    switch (n.op) {
    case EXPR_ADD: {
        int32_t a = operand(n.left);
        return wrap_add(a, operand(n.right));
    }
    case EXPR_SUB: {
        int32_t a = operand(n.left);
        return wrap_sub(a, operand(n.right));
    }
    case EXPR_MUL:
        return multiply(n);
    case EXPR_CONST:
        return n.val;
    case EXPR_VAR:
        return n.ptr ? *static_cast<const int32_t*>(n.ptr) : 0;
    case EXPR_LITERAL:
        return operand(n.left);
    case EXPR_LT: {
        int32_t a = operand(n.left);
        return truth(a < operand(n.right));
    }
    case EXPR_GT: {
        int32_t a = operand(n.left);
        return truth(a > operand(n.right));
    }
    case EXPR_LE: {
        int32_t a = operand(n.left);
        return truth(a <= operand(n.right));
    }
    case EXPR_GE: {
        int32_t a = operand(n.left);
        return truth(a >= operand(n.right));
    }
    case EXPR_EQ: {
        int32_t a = operand(n.left);
        return truth(a == operand(n.right));
    }
    case EXPR_NE: {
        int32_t a = operand(n.left);
        return truth(a != operand(n.right));
    }
    case EXPR_ASSIGN: {
        // A plain variable target is the common case: no walk through markers.
        int32_t t = n.left;
        if (uint32_t(t) - 1 < count && nodes[t].op == EXPR_VAR && nodes[t].ptr) {
            int32_t value = operand(n.right);
            *static_cast<int32_t*>(nodes[t].ptr) = value;
            return value;
        }
        return assign(n);
    }
    default:
        return rare(n);
    }
}

int32_t Walker::rare(const ExprNode& n) const {
    switch (n.op) {
    case EXPR_NOT:
        return ~operand(n.right);
    case EXPR_NEG:
        return wrap_sub(0, operand(n.right));
    case EXPR_DIV:
        return divide(n);
    case EXPR_CALL: {
        if (!n.fn) return 0;
        return n.fn(operand(n.right));
    }
    case EXPR_FIELD:
    case EXPR_FIELD2: {
        const int32_t* cell = node_cell(n);
        return cell ? *cell : 0;
    }
    case EXPR_AND: {
        int32_t a = operand(n.left);  // no short cut: the right side runs too
        int32_t b = operand(n.right);
        return truth(a != 0 && b != 0);
    }
    case EXPR_OR: {
        int32_t a = operand(n.left);
        int32_t b = operand(n.right);
        return truth(a != 0 || b != 0);
    }
    case EXPR_BITAND: {
        int32_t a = operand(n.left);
        return a & operand(n.right);
    }
    case EXPR_BITXOR: {
        int32_t a = operand(n.left);
        return a ^ operand(n.right);
    }
    case EXPR_BITOR: {
        int32_t a = operand(n.left);
        return a | operand(n.right);
    }
    case EXPR_MOD:
        return remainder(n);
    case EXPR_ASSIGN:
        return assign(n);
    case EXPR_FLAG:
        return truth((uint32_t(operand(n.left)) & uint32_t(n.val)) != 0);
    case EXPR_REFERENCE:
        return reference(n);
    default:
        return 0;
    }
}

}  // namespace

int32_t expr_walk_node(const ExprNode* nodes, int32_t count, int32_t i) {
    if (count <= 0) return 0;
    Walker w = {nodes, uint32_t(count)};
    return w.eval(i);
}

int32_t expr_eval_tree(const ExprTree* tree) {
    if (!tree || tree->magic != EXPR_MAGIC || tree->count <= 0) return 0;
    const ExprNode* nodes = expr_nodes(tree);
    if (tree->flags & EXPR_TREE_DECODED) {
        if (tree->root < 1 || tree->root > tree->count) return 0;
        const FastNode* root = reinterpret_cast<const FastNode*>(nodes + tree->count + 1) + tree->root;
        return root->fn(root);
    }
    Walker w = {nodes, uint32_t(tree->count)};
    return w.eval(tree->root);
}
