// The decoded form of a stored expression tree, for speed. Beside the node table, a stored
// tree carries one FastNode per node: a routine specialised for the node's operation and for
// the shape of its children (a variable cell, a constant, or another node), with the cell
// addresses and constants copied in, so that evaluating "x=c+i*2" is three small calls and
// no decisions. Operations without a routine of their own walk the node table instead.
// Child links are relative (in nodes), so an area copied byte for byte stays valid.
#pragma once

#include <cstdint>

#include "script/exec/expr.h"

struct FastNode;
using FastFn = int32_t (*)(const FastNode* self);

union FastSlot {
    const int32_t* cell;  // a variable
    int32_t value;        // a constant
    int32_t delta;        // another node: self + delta
};

struct FastNode {
    FastFn fn;
    FastSlot l, r;
    int32_t aux;   // multiplication: minimum-unit rule; fields: offset B; walk: node index
    int32_t aux2;  // fields: offset A; walk: node count
    union {
        void* ptr;        // variable or synonym cell of a leaf or an assignment target
        ExprFunction f;   // function call
    };
};
static_assert(sizeof(FastNode) == 40, "decoded nodes are 40-byte records");
static_assert(expr_tree_bytes(0) == sizeof(ExprTree) + sizeof(ExprNode) + sizeof(FastNode) + 7,
              "the stored size counts the decoded nodes");

// Bytes of the decoded part for a tree of `count` nodes.
constexpr size_t expr_fast_bytes(int32_t count) { return size_t(count + 1) * sizeof(FastNode); }

// Fills fast[0..count] for nodes[0..count] (fast must follow nodes directly in memory).
void expr_build_fast(const ExprNode* nodes, int32_t count, FastNode* fast);
// Walks node i of a node table (the evaluator for trees without decoded nodes).
int32_t expr_walk_node(const ExprNode* nodes, int32_t count, int32_t i);
