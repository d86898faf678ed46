// Decoding a node table into specialised routines, and the routines themselves. Every
// routine computes exactly what the node-table walk computes; the walk stays the reference
// (and the fallback for flags, references and assignments to flags).
#include "script/exec/expr_fast.h"

#include "engine/errors.h"

namespace {

enum SlotKind { CELL = 0, CONST = 1, NODE = 2 };

template <int K>
inline int32_t get(const FastNode* self, FastSlot s) {
    if constexpr (K == CELL) {
        return *s.cell;
    } else if constexpr (K == CONST) {
        return s.value;
    } else {
        const FastNode* c = self + s.delta;
        return c->fn(c);
    }
}

inline int32_t wrap_add(int32_t a, int32_t b) { return int32_t(uint32_t(a) + uint32_t(b)); }
inline int32_t wrap_sub(int32_t a, int32_t b) { return int32_t(uint32_t(a) - uint32_t(b)); }
inline int32_t truth(bool b) { return b ? 1024 : 0; }

struct Add {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return wrap_add(a, b); }
};
struct Sub {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return wrap_sub(a, b); }
};
struct Mul {
    static int32_t f(int32_t a, int32_t b, const FastNode* n) {
        int64_t p = int64_t(a) * b;
        if (p < 0 && p >= -(int64_t(1) << 32)) p += 1023;
        int32_t r = int32_t(p >> 10);
        if (r == 0 && n->aux && a != 0 && b != 0) r = (a < 0) == (b < 0) ? 1 : -1;
        return r;
    }
};
struct Div {
    static int32_t f(int32_t a, int32_t b, const FastNode*) {
        if (b == 0) {
            warn_division_by_zero();
            return 0;
        }
        return int32_t(int64_t(a) * 1024 / b);
    }
};
struct Mod {
    static int32_t f(int32_t a, int32_t b, const FastNode*) {
        if (b == 0) {
            warn_division_by_zero();
            return 0;
        }
        return int32_t(int64_t(uint32_t(a)) % int64_t(b));
    }
};
struct Lt {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a < b); }
};
struct Gt {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a > b); }
};
struct Le {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a <= b); }
};
struct Ge {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a >= b); }
};
struct Eq {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a == b); }
};
struct Ne {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a != b); }
};
struct And {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a != 0 && b != 0); }
};
struct Or {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return truth(a != 0 || b != 0); }
};
struct BitAnd {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return a & b; }
};
struct BitXor {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return a ^ b; }
};
struct BitOr {
    static int32_t f(int32_t a, int32_t b, const FastNode*) { return a | b; }
};

// Both operands in order, left first, then the operation.
template <class Op, int L, int R>
int32_t binary(const FastNode* n) {
    int32_t a = get<L>(n, n->l);
    int32_t b = get<R>(n, n->r);
    return Op::f(a, b, n);
}

template <int R>
int32_t negate(const FastNode* n) {
    return wrap_sub(0, get<R>(n, n->r));
}
template <int R>
int32_t complement(const FastNode* n) {
    return ~get<R>(n, n->r);
}
template <int R>
int32_t call(const FastNode* n) {
    return n->f(get<R>(n, n->r));
}

template <int L>
int32_t flag(const FastNode* n) {
    return truth((uint32_t(get<L>(n, n->l)) & uint32_t(n->aux)) != 0);
}

// The cell of a field: (object in the cell at ptr) + aux, or through the pointer at aux2.
inline int32_t* field_cell(const FastNode* n) {
    char* object = *static_cast<char**>(n->ptr);
    return object ? reinterpret_cast<int32_t*>(object + n->aux) : nullptr;
}
inline int32_t* field2_cell(const FastNode* n) {
    char* object = *static_cast<char**>(n->ptr);
    char* inner = object ? *reinterpret_cast<char**>(object + n->aux2) : nullptr;
    return inner ? reinterpret_cast<int32_t*>(inner + n->aux) : nullptr;
}

int32_t leaf_var(const FastNode* n) { return *static_cast<const int32_t*>(n->ptr); }
int32_t leaf_const(const FastNode* n) { return n->aux; }
int32_t leaf_field(const FastNode* n) {
    const int32_t* cell = field_cell(n);
    return cell ? *cell : 0;
}
int32_t leaf_field2(const FastNode* n) {
    const int32_t* cell = field2_cell(n);
    return cell ? *cell : 0;
}

// Assignments to a variable or a field (the value first, then the target's address).
template <int R>
int32_t assign_var(const FastNode* n) {
    int32_t v = get<R>(n, n->r);
    *static_cast<int32_t*>(n->ptr) = v;
    return v;
}
template <int R>
int32_t assign_field(const FastNode* n) {
    int32_t v = get<R>(n, n->r);
    if (int32_t* cell = field_cell(n)) *cell = v;
    return v;
}
template <int R>
int32_t assign_field2(const FastNode* n) {
    int32_t v = get<R>(n, n->r);
    if (int32_t* cell = field2_cell(n)) *cell = v;
    return v;
}

// Anything else: the node-table walk from this node. The table lies just before the
// decoded nodes; aux is this node's index and aux2 the node count.
int32_t walk(const FastNode* n) {
    const FastNode* base = n - n->aux;
    const ExprNode* nodes = reinterpret_cast<const ExprNode*>(base) - (n->aux2 + 1);
    return expr_walk_node(nodes, n->aux2, n->aux);
}

template <template <int, int> class Make>
FastFn pick2(int l, int r) {
    static const FastFn table[3][3] = {
        {Make<CELL, CELL>::fn, Make<CELL, CONST>::fn, Make<CELL, NODE>::fn},
        {Make<CONST, CELL>::fn, Make<CONST, CONST>::fn, Make<CONST, NODE>::fn},
        {Make<NODE, CELL>::fn, Make<NODE, CONST>::fn, Make<NODE, NODE>::fn},
    };
    return table[l][r];
}

template <class Op>
struct BinaryOf {
    template <int L, int R>
    struct M {
        static constexpr FastFn fn = binary<Op, L, R>;
    };
};

template <class Op>
FastFn binary_fn(int l, int r) {
    return pick2<BinaryOf<Op>::template M>(l, r);
}

// One routine per shape of the single child.
template <FastFn C, FastFn K, FastFn N>
FastFn pick1(int r) {
    return r == CELL ? C : r == CONST ? K : N;
}

struct Decoder {
    const ExprNode* nodes;
    int32_t count;
    FastNode* fast;

    bool valid(int32_t i) const { return i >= 1 && i <= count; }

    // The slot through which a parent reads child i: a cell, a constant or a node.
    int slot(int32_t self, int32_t i, FastSlot* s) const {
        for (int guard = 0; guard < 8 && valid(i) && nodes[i].op == EXPR_LITERAL; guard++) i = nodes[i].left;
        if (!valid(i)) {
            s->value = 0;  // an index outside the table reads 0
            return CONST;
        }
        if (nodes[i].op == EXPR_CONST) {
            s->value = nodes[i].val;
            return CONST;
        }
        if (nodes[i].op == EXPR_VAR && !nodes[i].ptr) {
            s->value = 0;
            return CONST;
        }
        if (nodes[i].op == EXPR_VAR) {
            s->cell = static_cast<const int32_t*>(nodes[i].ptr);
            return CELL;
        }
        s->delta = i - self;
        return NODE;
    }

    FastFn binary(int32_t i, FastNode& f) const {
        const ExprNode& n = nodes[i];
        int l = slot(i, n.left, &f.l);
        int r = slot(i, n.right, &f.r);
        switch (n.op) {
        case EXPR_ADD: return binary_fn<Add>(l, r);
        case EXPR_SUB: return binary_fn<Sub>(l, r);
        case EXPR_MUL: f.aux = n.val; return binary_fn<Mul>(l, r);
        case EXPR_DIV: return binary_fn<Div>(l, r);
        case EXPR_MOD: return binary_fn<Mod>(l, r);
        case EXPR_LT: return binary_fn<Lt>(l, r);
        case EXPR_GT: return binary_fn<Gt>(l, r);
        case EXPR_LE: return binary_fn<Le>(l, r);
        case EXPR_GE: return binary_fn<Ge>(l, r);
        case EXPR_EQ: return binary_fn<Eq>(l, r);
        case EXPR_NE: return binary_fn<Ne>(l, r);
        case EXPR_AND: return binary_fn<And>(l, r);
        case EXPR_OR: return binary_fn<Or>(l, r);
        case EXPR_BITAND: return binary_fn<BitAnd>(l, r);
        case EXPR_BITXOR: return binary_fn<BitXor>(l, r);
        case EXPR_BITOR: return binary_fn<BitOr>(l, r);
        default: return nullptr;
        }
    }

    // An assignment whose target is a variable or a field; others walk the table.
    FastFn assignment(int32_t i, FastNode& f) const {
        const ExprNode& n = nodes[i];
        if (!valid(n.left)) return nullptr;
        const ExprNode& t = nodes[n.left];
        int r = slot(i, n.right, &f.r);
        f.ptr = t.ptr;
        switch (t.op) {
        case EXPR_VAR:
            return pick1<assign_var<CELL>, assign_var<CONST>, assign_var<NODE>>(r);
        case EXPR_FIELD:
            if (!t.ptr) return nullptr;
            f.aux = t.left;
            return pick1<assign_field<CELL>, assign_field<CONST>, assign_field<NODE>>(r);
        case EXPR_FIELD2:
            if (!t.ptr) return nullptr;
            f.aux = t.left;
            f.aux2 = t.right;
            return pick1<assign_field2<CELL>, assign_field2<CONST>, assign_field2<NODE>>(r);
        default:
            return nullptr;
        }
    }

    FastFn decode(int32_t i, FastNode& f) const {
        const ExprNode& n = nodes[i];
        switch (n.op) {
        case EXPR_CONST:
            f.aux = n.val;
            return leaf_const;
        case EXPR_VAR:
            if (!n.ptr) return nullptr;
            f.ptr = n.ptr;
            return leaf_var;
        case EXPR_FIELD:
            if (!n.ptr) return nullptr;
            f.ptr = n.ptr;
            f.aux = n.left;
            return leaf_field;
        case EXPR_FIELD2:
            if (!n.ptr) return nullptr;
            f.ptr = n.ptr;
            f.aux = n.left;
            f.aux2 = n.right;
            return leaf_field2;
        case EXPR_NEG:
            return pick1<negate<CELL>, negate<CONST>, negate<NODE>>(slot(i, n.right, &f.r));
        case EXPR_NOT:
            return pick1<complement<CELL>, complement<CONST>, complement<NODE>>(slot(i, n.right, &f.r));
        case EXPR_CALL:
            if (!n.fn) return nullptr;
            f.f = n.fn;
            return pick1<call<CELL>, call<CONST>, call<NODE>>(slot(i, n.right, &f.r));
        case EXPR_FLAG:
            f.aux = n.val;
            return pick1<flag<CELL>, flag<CONST>, flag<NODE>>(slot(i, n.left, &f.l));
        case EXPR_ASSIGN:
            return assignment(i, f);
        default:
            return binary(i, f);
        }
    }
};

}  // namespace

void expr_build_fast(const ExprNode* nodes, int32_t count, FastNode* fast) {
    Decoder d = {nodes, count, fast};
    for (int32_t i = 0; i <= count; i++) {
        FastNode& f = fast[i];
        f = FastNode{};
        FastFn fn = i == 0 ? nullptr : d.decode(i, f);
        if (!fn) {
            f = FastNode{};
            f.aux = i;
            f.aux2 = count;
            fn = walk;
        }
        f.fn = fn;
    }
}
