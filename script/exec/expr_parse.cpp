// The expression parser: recursive descent over twelve binding levels (level 12 is the
// unary level), building nodes into a process-wide growing buffer. Every operand is handed
// to the operand resolver once, here; the stored tree holds only addresses and constants.
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/errors.h"
#include "script/exec/expr.h"
#include "script/exec/expr_fast.h"

namespace {

struct OperatorSpec {
    const char* text;
    int level;
    int32_t node;
    int32_t compound;  // base op of a compound assignment, 0 for plain "=" and others
};

// Searched in this order; the first match wins, so the two-character operators come first.
const OperatorSpec operators[] = {
    {"||", 3, EXPR_OR, 0},      {"&&", 4, EXPR_AND, 0},     {"!=", 8, EXPR_NE, 0},
    {"==", 8, EXPR_EQ, 0},      {"<=", 9, EXPR_LE, 0},      {">=", 9, EXPR_GE, 0},
    {"+=", 2, EXPR_ASSIGN, EXPR_ADD},    {"-=", 2, EXPR_ASSIGN, EXPR_SUB},
    {"*=", 2, EXPR_ASSIGN, EXPR_MUL},    {"/=", 2, EXPR_ASSIGN, EXPR_DIV},
    {"&=", 2, EXPR_ASSIGN, EXPR_BITAND}, {"|=", 2, EXPR_ASSIGN, EXPR_BITOR},
    {"^=", 2, EXPR_ASSIGN, EXPR_BITXOR}, {"%=", 2, EXPR_ASSIGN, EXPR_MOD},
    {"=", 2, EXPR_ASSIGN, 0},   {"|", 5, EXPR_BITOR, 0},    {"^", 6, EXPR_BITXOR, 0},
    {"&", 7, EXPR_BITAND, 0},   {"<", 9, EXPR_LT, 0},       {">", 9, EXPR_GT, 0},
    {"+", 10, EXPR_ADD, 0},     {"-", 10, EXPR_SUB, 0},     {"*", 11, EXPR_MUL, 0},
    {"/", 11, EXPR_DIV, 0},     {"%", 11, EXPR_MOD, 0},
};

constexpr int unary_level = 12;
constexpr const char* operand_stops = "-*+/()<>=!~&|^%";
constexpr int node_growth = 128;
// Bounds that keep the parser's and the evaluator's recursion shallow on hostile text.
constexpr int max_nesting = 200;     // parentheses and unary operators inside each other
constexpr int max_depth = 1000;      // levels of the finished tree
constexpr int max_operand = 255;     // characters of one operand text

// The parse in progress, and afterwards the last parse that store_tree copies.
struct ParseState {
    ExprNode* nodes = nullptr;  // index 0 unused
    int32_t* depth = nullptr;   // tree depth below each node
    int32_t capacity = 0;
    int32_t count = 0;
    int32_t root = 0;
    bool valid = false;         // the buffer holds a finished, successful parse

    const char* text = nullptr;
    int pos = 0;
    int balance = 0;
    int nesting = 0;
    int assignments = 0;
    int32_t assign_target = 0;
    bool failed = false;
};
ParseState P;

ExprOperandResolver resolver = expr_catalogue_operand;

void fail(const char* why) {
    if (!P.failed) report_error(why);
    P.failed = true;
}

int32_t depth_of(int32_t i) { return i > 0 && i <= P.count ? P.depth[i] : 0; }

int32_t add_node(int32_t op, int32_t val, int32_t left, int32_t right, void* ptr, bool left_child, bool right_child) {
    if (P.failed) return 0;
    if (P.count + 1 >= P.capacity) {
        int32_t capacity = P.capacity + node_growth;
        auto* nodes = static_cast<ExprNode*>(std::realloc(P.nodes, sizeof(ExprNode) * size_t(capacity)));
        if (nodes) P.nodes = nodes;
        auto* depth = nodes ? static_cast<int32_t*>(std::realloc(P.depth, sizeof(int32_t) * size_t(capacity))) : nullptr;
        if (depth) P.depth = depth;
        if (!nodes || !depth) {
            fail("expression: out of memory");
            return 0;
        }
        P.capacity = capacity;
    }
    int32_t i = ++P.count;
    ExprNode& n = P.nodes[i];
    n.op = op;
    n.val = val;
    n.left = left;
    n.right = right;
    n.ptr = ptr;
    int32_t d = 0;
    if (left_child && depth_of(left) > d) d = depth_of(left);
    if (right_child && depth_of(right) > d) d = depth_of(right);
    P.depth[i] = d + 1;
    if (d + 1 > max_depth) fail("expression: too deeply nested");
    return i;
}

int32_t add_binary(int32_t op, int32_t left, int32_t right) { return add_node(op, 0, left, right, nullptr, true, true); }
int32_t add_unary(int32_t op, int32_t right) { return add_node(op, 0, 0, right, nullptr, false, true); }

const OperatorSpec* operator_at(int pos) {
    const char* s = P.text + pos;
    for (const OperatorSpec& op : operators) {
        size_t n = std::strlen(op.text);
        if (std::strncmp(s, op.text, n) == 0) return &op;
    }
    return nullptr;
}

bool is_target(int32_t i) {
    if (i <= 0 || i > P.count) return false;
    const ExprNode& n = P.nodes[i];
    if (n.op == EXPR_FLAG) return is_target(n.left);
    return n.op == EXPR_VAR || n.op == EXPR_FIELD || n.op == EXPR_FIELD2;
}

int32_t parse_level(int level);

// The node of a resolved operand: a literal (marked), a cell, a flag over its word, or a
// reference read as its identity.
int32_t operand_node(const ExprOperand& o) {
    if (o.kind == EXPR_OPERAND_LITERAL) {
        int32_t c = add_node(EXPR_CONST, o.value, 0, 0, nullptr, false, false);
        return add_node(EXPR_LITERAL, 0, c, 0, nullptr, true, false);
    }
    if (!o.base) {
        fail("expression: operand without a cell");
        return 0;
    }
    int32_t cell = 0;
    switch (o.kind) {
    case EXPR_OPERAND_DIRECT:
        cell = add_node(EXPR_VAR, o.role, 0, 0, o.base, false, false);
        break;
    case EXPR_OPERAND_SYNONYM:
        cell = add_node(EXPR_FIELD, o.role, o.offset_a, 0, o.base, false, false);
        break;
    case EXPR_OPERAND_SYNONYM_OBJECT:
        cell = add_node(EXPR_FIELD2, o.role, o.offset_b, o.offset_a, o.base, false, false);
        break;
    default:
        fail("expression: unknown operand mode");
        return 0;
    }
    if (o.pointer) return add_node(EXPR_REFERENCE, 0, cell, 0, nullptr, true, false);
    if (o.mask) return add_node(EXPR_FLAG, int32_t(o.mask), cell, 0, nullptr, true, false);
    return cell;
}

int32_t parse_primary() {
    int start = P.pos;
    while (P.text[P.pos] && !std::strchr(operand_stops, P.text[P.pos])) P.pos++;
    int length = P.pos - start;
    if (length > max_operand) {
        fail("expression: operand text too long");
        return 0;
    }
    char name[max_operand + 1];
    std::memcpy(name, P.text + start, size_t(length));
    name[length] = 0;

    if (P.text[P.pos] == '(') {
        if (++P.nesting > max_nesting) {
            fail("expression: too deeply nested");
            return 0;
        }
        P.pos++;
        P.balance += 10;
        ExprFunction fn = nullptr;
        if (length > 0) {
            fn = find_expr_function(name);
            if (!fn) {
                fail("expression: unknown function");
                return 0;
            }
        }
        int32_t inner = parse_level(1);
        if (P.text[P.pos] == ')') {
            P.pos++;
            P.balance -= 10;
        }
        P.nesting--;
        if (P.failed) return 0;
        if (!fn) return inner;
        int32_t call = add_node(EXPR_CALL, 0, 0, inner, nullptr, false, true);
        if (call) P.nodes[call].fn = fn;
        return call;
    }

    if (length == 0) {
        fail("expression: operand missing");
        return 0;
    }
    ExprOperand o = {};
    if (!resolver(name, &o)) {
        P.failed = true;  // the resolver has reported it
        return 0;
    }
    return operand_node(o);
}

int32_t parse_unary() {
    char c = P.text[P.pos];
    bool negate = c == '-';
    bool complement = c == '~' || (c == '!' && P.text[P.pos + 1] != '=');
    if (!negate && !complement) return parse_primary();
    if (++P.nesting > max_nesting) {
        fail("expression: too deeply nested");
        return 0;
    }
    P.pos++;
    int32_t inner = parse_unary();
    P.nesting--;
    if (P.failed) return 0;
    return add_unary(negate ? EXPR_NEG : EXPR_NOT, inner);
}

int32_t parse_assignment(const OperatorSpec& op, int32_t target) {
    int32_t value = parse_level(1);
    if (P.failed) return 0;
    if (++P.assignments > 1) {
        fail("expression: more than one assignment");
        return 0;
    }
    if (!is_target(target)) {
        fail("expression: assignment to something that is no variable");
        return 0;
    }
    if (op.compound) value = add_binary(op.compound, target, value);
    P.assign_target = target;
    return add_binary(EXPR_ASSIGN, target, value);
}

int32_t parse_level(int level) {
    if (P.failed) return 0;
    if (level >= unary_level) return parse_unary();
    if (level <= 1) return parse_level(2);
    int32_t left = parse_level(level + 1);
    while (!P.failed) {
        const OperatorSpec* op = operator_at(P.pos);
        if (!op || op->level != level) break;
        P.pos += int(std::strlen(op->text));
        if (op->node == EXPR_ASSIGN) {
            left = parse_assignment(*op, left);
        } else {
            int32_t right = parse_level(level + 1);
            left = add_binary(op->node, left, right);
        }
    }
    return P.failed ? 0 : left;
}

// The node a variable or field node stands for, looking through a literal marker.
const ExprNode* plain_operand(int32_t i) {
    if (i <= 0 || i > P.count) return nullptr;
    const ExprNode* n = &P.nodes[i];
    if (n->op == EXPR_LITERAL) return plain_operand(n->left);
    return n;
}

bool is_role(int32_t i, int32_t role) {
    const ExprNode* n = plain_operand(i);
    return n && n->op == EXPR_VAR && n->val == role;
}

// The minimum-unit rule of products with TIME_CORR, decided once per tree: a rule that
// assigns to MOVE_MODE keeps its products exact.
void mark_products() {
    bool move_mode = P.assign_target && is_role(P.assign_target, EXPR_ROLE_MOVE_MODE);
    for (int32_t i = 1; i <= P.count; i++) {
        ExprNode& n = P.nodes[i];
        if (n.op != EXPR_MUL) continue;
        n.val = !move_mode && (is_role(n.right, EXPR_ROLE_TIME_CORR) || is_role(n.left, EXPR_ROLE_TIME_CORR));
    }
    // The role marks have done their work; variable nodes carry no value.
    for (int32_t i = 1; i <= P.count; i++)
        if (P.nodes[i].op == EXPR_VAR || P.nodes[i].op == EXPR_FIELD || P.nodes[i].op == EXPR_FIELD2)
            P.nodes[i].val = 0;
}

int parse_text(const char* text) {
    P.valid = false;
    P.count = 0;
    P.root = 0;
    P.text = text ? text : "";
    P.pos = 0;
    P.balance = 0;
    P.nesting = 0;
    P.assignments = 0;
    P.assign_target = 0;
    P.failed = false;
    int errors_before = error_store.error_count;

    int32_t root = parse_level(1);
    if (!P.failed && P.text[P.pos] != 0) fail("expression: text left over");
    if (!P.failed && P.balance != 0) fail("expression: unbalanced parentheses");
    if (!P.failed && root == 0) fail("expression: empty");
    if (P.failed || error_store.error_count != errors_before) {
        // The node buffer goes back; a later parse grows it again.
        std::free(P.nodes);
        std::free(P.depth);
        P.nodes = nullptr;
        P.depth = nullptr;
        P.capacity = 0;
        P.count = 0;
        return -1;
    }
    mark_products();
    P.root = root;
    P.valid = true;
    return int(expr_tree_bytes(P.count));
}

}  // namespace

bool expr_parse_number(const char* text, int32_t* value) {
    if (!text || !(std::isdigit(uint8_t(text[0])) || text[0] == '.')) return false;
    char* end = nullptr;
    double v = std::strtod(text, &end);
    if (end == text || *end != 0) return false;
    // Times 1024, truncated toward zero; beyond the int32 range the nearest end.
    double scaled = std::trunc(v * 1024.0);
    if (!(scaled == scaled))
        *value = 0;
    else if (scaled >= 2147483647.0)
        *value = 2147483647;
    else if (scaled <= -2147483648.0)
        *value = INT32_MIN;
    else
        *value = int32_t(scaled);
    return true;
}

void expr_set_operand_resolver(ExprOperandResolver r) { resolver = r ? r : expr_catalogue_operand; }

int compile_condition(const char* text) { return parse_text(text); }

int compile_assignment(const char* text) {
    const char* t = text ? text : "";
    size_t length = 0;
    bool found = false;
    if (t[0]) {
        const char* stop = std::strpbrk(t + 1, "=+-*|&^~%/");
        if (stop) {
            found = true;
            length = size_t(stop - t);
        }
    }
    if (!found || length == 0 || length > 64) {
        P.valid = false;
        P.count = 0;
        report_error("expression: assignment without a destination");
        return -1;
    }
    return parse_text(t);
}

int32_t expr_last_count() { return P.valid ? P.count : 0; }

int store_tree(void* area, size_t capacity) {
    if (!P.valid || !area) return -1;
    if (capacity < expr_tree_bytes(P.count)) return -1;
    ExprTree* tree = expr_tree_at(area);
    tree->magic = EXPR_MAGIC;
    tree->root = P.root;
    tree->count = P.count;
    tree->flags = EXPR_TREE_DECODED;
    ExprNode* nodes = expr_nodes(tree);
    std::memset(&nodes[0], 0, sizeof(ExprNode));
    std::memcpy(&nodes[1], &P.nodes[1], sizeof(ExprNode) * size_t(P.count));
    expr_build_fast(nodes, P.count, reinterpret_cast<FastNode*>(nodes + P.count + 1));
    return 0;
}
