// Expressions of RULE statements, RULES blocks, the conditions of IF and WHILE and the
// formula instructions: a parser that turns the (blank-free) text into a tree of nodes
// whose operands are resolved once, at parse time, to cell addresses, and an evaluator that
// walks the tree in 22.10 fixed point with 64-bit products. Division and remainder by zero
// and the logarithm of a negative number give 0 with a once-per-action warning.
//
// Use: compile_condition(text) or compile_assignment(text) parses into a process-wide node
// buffer and answers the byte size the tree needs (or -1 after a script error report);
// store_tree(area, capacity) copies that last parse into the instruction's inline area;
// expr_tree_at(area) is the tree there, for evaluate().
#pragma once

#include <cstddef>
#include <cstdint>

enum ExprOp : int32_t {
    EXPR_ADD = 1,         // left + right (32-bit wrap-around)
    EXPR_SUB = 2,         // left - right
    EXPR_NOT = 3,         // ~right (also "!")
    EXPR_NEG = 4,         // -right
    EXPR_DIV = 5,         // (left * 1024) / right
    EXPR_MUL = 7,         // (left * right) >> 10; val = 1 when the minimum-unit rule applies
    EXPR_CALL = 8,        // fn(right)
    EXPR_CONST = 9,       // val
    EXPR_VAR = 10,        // the int32 at ptr
    EXPR_FIELD = 11,      // the int32 at (object pointer in the cell at ptr) + left
    EXPR_FIELD2 = 12,     // the int32 at (pointer at offset right of that object) + left
    EXPR_LITERAL = 13,    // marks a literal: its value is that of the left child
    EXPR_LT = 14,
    EXPR_GT = 15,
    EXPR_LE = 16,
    EXPR_GE = 17,
    EXPR_EQ = 18,
    EXPR_NE = 19,
    EXPR_AND = 20,        // && (both sides are always evaluated)
    EXPR_OR = 21,         // ||
    EXPR_BITAND = 22,
    EXPR_BITXOR = 23,
    EXPR_BITOR = 24,
    EXPR_MOD = 25,        // unsigned left % sign-extended right
    EXPR_ASSIGN = 26,     // left = target, right = value
    EXPR_FLAG = 27,       // (word of the left child & val) != 0 -> 1024
    // Not a number but a reference (a synonym alone, a member naming an object): the
    // identity (expr_reference_value) of the pointer in the cell that the left child
    // addresses. Never a target.
    EXPR_REFERENCE = 28,
};

// A reference as a 32-bit number: 0 for null, else a nonzero value that differs between
// objects (the two halves of the address folded), so that references can be tested and
// compared with each other and with named objects.
inline int32_t expr_reference_value(const void* p) {
    if (!p) return 0;
    uint64_t a = reinterpret_cast<uintptr_t>(p);
    uint32_t v = uint32_t(a) ^ uint32_t(a >> 32);
    return int32_t(v ? v : 1);
}

using ExprFunction = int32_t (*)(int32_t);

struct ExprNode {
    int32_t op;     // ExprOp
    int32_t val;    // constant value, flag mask, or the multiplication's rule mark
    int32_t left;   // child index, or field offset B for field nodes
    int32_t right;  // child index, or offset A for EXPR_FIELD2
    union {
        void* ptr;        // variable address, or the cell holding a synonym's object
        ExprFunction fn;  // EXPR_CALL
    };
};
static_assert(sizeof(ExprNode) == 24, "nodes are 24-byte records");

constexpr uint32_t EXPR_MAGIC = 0x45585052;  // "RPXE"

// Header of a stored tree; `count` nodes follow it, numbered from 1 (node 0 is unused).
// A tree stored by store_tree also carries, after its nodes, their decoded form (see
// script/exec/expr_fast.h), which the evaluator uses instead of walking the nodes.
struct ExprTree {
    uint32_t magic;  // EXPR_MAGIC, else the tree evaluates to 0
    int32_t root;
    int32_t count;
    int32_t flags;   // EXPR_TREE_DECODED
};
constexpr int32_t EXPR_TREE_DECODED = 0x1;
static_assert(sizeof(ExprTree) == 16, "the header keeps the nodes 8-byte aligned");

inline const ExprNode* expr_nodes(const ExprTree* tree) { return reinterpret_cast<const ExprNode*>(tree + 1); }
inline ExprNode* expr_nodes(ExprTree* tree) { return reinterpret_cast<ExprNode*>(tree + 1); }

// Bytes of inline area that a stored tree of `count` nodes needs: the header, the nodes
// (node 0 included), their decoded form (40 bytes each) and alignment slack.
constexpr size_t expr_tree_bytes(int32_t count) {
    return sizeof(ExprTree) + size_t(count + 1) * (sizeof(ExprNode) + 40) + 7;
}

// ---------------------------------------------------------------------------------------
// Operands: the parser hands every name or number it meets to the operand resolver.

enum ExprOperandKind : int32_t {
    EXPR_OPERAND_LITERAL = 0,         // value
    EXPR_OPERAND_DIRECT = 1,          // int32 cell at base
    EXPR_OPERAND_SYNONYM = 2,         // cell at (*(char**)base) + offset_a
    EXPR_OPERAND_SYNONYM_OBJECT = 3,  // cell at (*(char**)((*(char**)base) + offset_a)) + offset_b
};

enum ExprOperandRole : int32_t {
    EXPR_ROLE_PLAIN = 0,
    EXPR_ROLE_TIME_CORR = 1,  // the engine variable TIME_CORR (minimum-unit rule)
    EXPR_ROLE_MOVE_MODE = 2,  // the engine variable MOVE_MODE (a rule assigning it has no such rule)
};

struct ExprOperand {
    int32_t kind;      // ExprOperandKind
    int32_t value;     // literal value
    void* base;
    int32_t offset_a;
    int32_t offset_b;
    uint32_t mask;     // nonzero: a flag member; the cell is its flag word
    bool pointer;      // the cell is a pointer (an object reference), read as its identity
    int32_t role;      // ExprOperandRole
};

// Resolves the text of one operand (a number, a name, NAME.MEMBER; at most a few hundred
// characters, no operator characters). False after reporting the error itself.
using ExprOperandResolver = bool (*)(const char* text, ExprOperand* out);

// The resolver in use; the default one resolves through the object catalogue
// (expr_catalogue_operand). Passing null restores the default.
void expr_set_operand_resolver(ExprOperandResolver resolver);
// The catalogue's resolution: numbers, input-state names, skills and engine variables,
// object and synonym members (MY.X, THERE.FLOOR_HGT, a named object's member, the old
// spellings MY_X ...), flags, and references (tested as set or not).
bool expr_catalogue_operand(const char* text, ExprOperand* out);
// A numeric literal text (strtod syntax, starting with a digit or "."), converted to 22.10
// by multiplying by 1024 and truncating; false when the text is no number throughout.
bool expr_parse_number(const char* text, int32_t* value);

// ---------------------------------------------------------------------------------------
// Built-in functions

// The routine of a built-in function ("SIN", "sqrt", ...; case is ignored), or null.
ExprFunction find_expr_function(const char* name);

// ---------------------------------------------------------------------------------------
// Compiling

// Parses a condition (any expression). The byte size the tree needs (> 0), or -1 after a
// script error report; the parse stays available to store_tree until the next one.
int compile_condition(const char* text);
// Parses an assignment: the text must begin with a destination (the characters before
// the first of "=+-*|&^~%/" after the first character, 1..64 characters).
int compile_assignment(const char* text);
// Nodes of the last successful parse (0 after a failed one).
int32_t expr_last_count();
// Writes the last parse into an area of `capacity` bytes (at least the size the compile
// answered, expr_tree_bytes(count)). 0, or -1 when there is no parse or the area is too
// small. The tree holds absolute cell addresses but no pointers into the area itself.
int store_tree(void* area, size_t capacity);
// The tree stored in an area (the area's first 8-byte aligned address).
inline ExprTree* expr_tree_at(void* area) {
    return reinterpret_cast<ExprTree*>((reinterpret_cast<uintptr_t>(area) + 7) & ~uintptr_t(7));
}
inline const ExprTree* expr_tree_at(const void* area) {
    return reinterpret_cast<const ExprTree*>((reinterpret_cast<uintptr_t>(area) + 7) & ~uintptr_t(7));
}

// ---------------------------------------------------------------------------------------
// Evaluating

int32_t expr_eval_tree(const ExprTree* tree);
// The value of a tree (0 for null or a tree without the magic); assignments inside store.
inline int32_t evaluate(const ExprTree* tree) { return expr_eval_tree(tree); }
