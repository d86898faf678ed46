// The action compiler: statement dispatch, the instruction list of the action being
// compiled, rules and conditions, blocks, labels and the statements with their own forms
// (SET, the comparisons, the table rows, the waits, the sounds, the file requests, EXIT).
#include "script/exec/compiler.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

#include "engine/errors.h"
#include "engine/settings.h"
#include "script/exec/compiler_internal.h"
#include "script/exec/exec_ops.h"
#include "script/exec/interpreter.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"

namespace {

// A file name copied into an instruction, with the string record that operands refer to.
struct InlineFile {
    ScriptString string;
    char text[FILE_NAME_MAX + 4];
};

struct Compiler {
    bool active;
    Action* action;
    Action sink;             // receives a body whose action could not be made
    Instruction** tail;      // the link the next instruction attaches to
    Instruction* last;       // the last instruction, null while there is none
    Label* labels;
    Instruction* blocks[MAX_OPEN_BLOCKS + 1];  // one more: the slot above a full stack
    int top;
    bool open_mark;
    bool rules;
    int statement_errors;    // error_count when the statement began
};
Compiler C;

bool same(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

int fail(const char* why) {
    reader_report_error(why);
    return 1;
}

// The rest of a statement whose compilation was abandoned is dropped.
int abandon(const char* why) {
    if (why) reader_report_error(why);
    while (next_token()) {
    }
    return 1;
}

// Tokens of the statement, the keyword included (file markers do not count).
int statement_token_count() {
    int n = 0;
    for (int i = 0; i < reader.token_count; i++)
        if (reader.tokens[i].kind != TOKEN_OPEN_FILE && reader.tokens[i].kind != TOKEN_CLOSE_FILE) n++;
    return n;
}

// The next token and whether it was a quoted string; null at the end of the statement.
const char* take(bool* quoted) {
    const char* t = next_token();
    *quoted = t && token_is_string();
    return t;
}

Instruction* append(size_t extra, int32_t opcode) {
    auto* ip = static_cast<Instruction*>(std::calloc(1, sizeof(Instruction) + extra));
    if (!ip) return nullptr;
    ip->opcode = opcode;
    *C.tail = ip;
    C.tail = &ip->next;
    C.last = ip;
    return ip;
}

void set_operand(Instruction* ip, int k, const Operand& o) {
    static const uint8_t synonym_bit[3] = {ADDR_OP1_SYNONYM, ADDR_OP2_SYNONYM, ADDR_OP3_SYNONYM};
    static const uint8_t object_bit[3] = {ADDR_OP1_OBJECT, ADDR_OP2_OBJECT, ADDR_OP3_OBJECT};
    static const uint8_t literal_bit[3] = {EXEC_LITERAL1, EXEC_LITERAL2, EXEC_LITERAL3};
    ip->addr_flags &= uint8_t(~(synonym_bit[k] | object_bit[k]));
    if (o.literal) {
        ip->cell[k] = o.value;
        ip->op[k] = {&ip->cell[k], 0, 0};
        ip->exec_marks |= literal_bit[k];
    } else {
        ip->op[k] = {o.base, o.offset_a, o.offset_b};
        ip->exec_marks &= uint8_t(~literal_bit[k]);
        if (o.mode == MODE_SYNONYM) ip->addr_flags |= synonym_bit[k];
        if (o.mode == MODE_SYNONYM_OBJECT) ip->addr_flags |= object_bit[k];
    }
    if (o.pointer) ip->width_flags |= uint8_t(1 << k);
    if (k == 0) {
        ip->owner = o.mode == MODE_DIRECT ? o.owner : nullptr;
        bool skill_value = o.skill && o.mode == MODE_DIRECT && o.base == &o.skill->value;
        if (skill_value) ip->link_flags |= LINK_CLAMP;
        if (skill_value && (o.skill->slot == SLOT_PLAYER_ANGLE || o.skill->slot == SLOT_PLAYER_TILT))
            ip->exec_marks |= EXEC_LOOK_OWNED;
    }
}

void set_literal(Instruction* ip, int k, int64_t value, bool pointer) {
    Operand o = {};
    o.literal = true;
    o.value = value;
    o.pointer = pointer;
    set_operand(ip, k, o);
}

// Removes blanks (the tokens of a rule may carry them inside strings).
int strip_blanks(char* text) {
    int w = 0;
    for (int r = 0; text[r]; r++) {
        char c = text[r];
        if (c == ' ' || c == '\n' || c == '\t' || c == '\f' || c == '\b' || c == '\r' || c == '\a') continue;
        text[w++] = c;
    }
    text[w] = 0;
    return w;
}

// ---- Rules and conditions -----------------------------------------------------------------

// Compiles an assignment text into an opcode-15 instruction with its destination.
int emit_rule(char* text) {
    strip_blanks(text);
    int size = compile_assignment(text);
    if (size <= 0) {
        append(0, OP_NOP);
        return 1;
    }
    Instruction* ip = append(size_t(size), OP_RULE);
    if (!ip) return -2;
    store_tree(instruction_area(ip), size_t(size));
    ip->aux.tree = expr_tree_at(instruction_area(ip));
    char destination[RULE_DESTINATION_MAX + 1] = "";
    const char* stop = std::strpbrk(text + 1, "=+-*|&^~%/");
    size_t length = stop ? size_t(stop - text) : 0;
    if (length > 0 && length <= RULE_DESTINATION_MAX) {
        std::memcpy(destination, text, length);
        destination[length] = 0;
        const Define* d = find_define(destination);
        const char* name = d && d->value ? d->value : destination;
        Operand o;
        // The expression has resolved (and reported) the same name already.
        if (resolve_operand(name, false, EXPECT_ANY, &o, false) && !o.literal) set_operand(ip, 0, o);
    }
    choose_fast_form(ip);
    return 1;
}

int compile_rule(const char* prefix) {
    static char text[RULE_TEXT_MAX + 1];
    int n = 0;
    if (prefix) n = std::snprintf(text, sizeof text, "%s", prefix);
    if (n >= int(sizeof text)) n = int(sizeof text) - 1;
    join_remaining_tokens(text + n, int(sizeof text) - n);
    return emit_rule(text);
}

void push_block(Instruction* ip) {
    if (!C.open_mark) reader_report_error("action compiler: a block statement must end with {");
    C.open_mark = false;
    if (C.top >= MAX_OPEN_BLOCKS) return;  // dropped: the block is never closed by a brace
    C.blocks[C.top++] = ip;
}

int compile_block_condition(int32_t opcode) {
    static char text[RULE_TEXT_MAX + 1];
    join_remaining_tokens(text, int(sizeof text));
    strip_blanks(text);
    int size = compile_condition(text);
    Instruction* ip = append(size > 0 ? size_t(size) : 0, opcode);
    if (!ip) return -2;
    ip->link_flags |= LINK_RESOLVE;
    if (size > 0) {
        store_tree(instruction_area(ip), size_t(size));
        ip->aux.tree = expr_tree_at(instruction_area(ip));
        choose_fast_form(ip);
    }
    push_block(ip);
    return 1;
}

int compile_else() {
    Instruction* ip = append(0, OP_ELSE);
    if (!ip) return -2;
    ip->link_flags |= LINK_RESOLVE;
    Instruction* closed = C.top <= MAX_OPEN_BLOCKS ? C.blocks[C.top] : nullptr;
    if (closed) {
        closed->target.jump = ip;
        C.blocks[C.top] = nullptr;
    } else {
        reader_report_error("action compiler: ELSE without a closed IF block");
    }
    // Pushed in every case, so that its braces still pair up.
    push_block(ip);
    return 1;
}

Instruction* innermost_while() {
    for (int i = C.top - 1; i >= 0; i--)
        if (C.blocks[i] && C.blocks[i]->opcode == OP_WHILE_OPEN) return C.blocks[i];
    return nullptr;
}

int compile_loop_jump(bool is_break) {
    Instruction* loop = innermost_while();
    Instruction* ip = append(0, loop ? (is_break ? OP_BREAK_OPEN : OP_JUMP) : OP_NOP);
    if (!ip) return -2;
    if (!loop) return fail(is_break ? "action compiler: BREAK outside a WHILE" : "action compiler: CONTINUE outside a WHILE");
    ip->target.jump = loop;
    if (is_break) ip->link_flags |= LINK_RESOLVE;
    return 1;
}

// ---- Labels -------------------------------------------------------------------------------

bool is_integer(const char* text) {
    const char* p = text;
    if (*p == '+' || *p == '-') p++;
    if (!*p) return false;
    for (; *p; p++)
        if (*p < '0' || *p > '9') return false;
    return true;
}

Label* find_label(const char* name) {
    for (Label* l = C.labels; l; l = l->next)
        if (!l->numeric && same(l->name, name)) return l;
    return nullptr;
}

Label* new_label(const char* name) {
    auto* l = static_cast<Label*>(std::calloc(1, sizeof(Label)));
    if (!l) return nullptr;
    std::snprintf(l->name, sizeof l->name, "%s", name);
    l->next = C.labels;
    C.labels = l;
    return l;
}

int define_label(const char* name) {
    if (std::strlen(name) > LABEL_NAME_MAX) return abandon("action compiler: label name longer than 30 characters");
    if (is_integer(name)) return abandon("action compiler: a label name must not be a number");
    Label* l = find_label(name);
    if (l && l->defined) return abandon("action compiler: label defined twice");
    if (!l) l = new_label(name);
    if (!l) return -2;
    l->defined = true;
    l->at_head = C.last == nullptr;
    l->after = C.last;
    return 1;
}

// A label reference: a named label (found or made) or a fresh numeric one.
Label* reference_label(const char* name) {
    if (is_integer(name)) {
        Label* l = new_label("");
        if (!l) return nullptr;
        l->numeric = true;
        l->count = int32_t(std::strtol(name, nullptr, 10));
        return l;
    }
    if (std::strlen(name) > LABEL_NAME_MAX) {
        reader_report_error("action compiler: label name longer than 30 characters");
        return nullptr;
    }
    Label* l = find_label(name);
    return l ? l : new_label(name);
}

int compile_skip() {
    bool quoted;
    const char* t = take(&quoted);
    Instruction* ip = append(0, OP_JUMP);
    if (!ip) return -2;
    if (!t) {
        ip->opcode = OP_NOP;
        return fail("action compiler: SKIP or GOTO without a target");
    }
    ip->label = reference_label(t);
    if (!ip->label) {
        ip->opcode = OP_NOP;
        return 1;
    }
    ip->link_flags |= LINK_RESOLVE;
    return 1;
}

// The optional label token of a conditional skip.
int optional_label(Instruction* ip) {
    bool quoted;
    const char* t = take(&quoted);
    ip->link_flags |= LINK_RESOLVE;
    if (!t) return 1;
    ip->label = reference_label(t);
    if (!ip->label) ip->opcode = OP_NOP;
    return 1;
}

// ---- Operands of statements -------------------------------------------------------------

int32_t expected_like(const Operand& o) {
    switch (o.value_kind) {
    case VALUE_NUMBER:
    case VALUE_FLAG:
    case VALUE_TARGET: return EXPECT_NUMBER;
    case VALUE_OBJECT_TEX:
    case VALUE_FLOOR_TEX:
    case VALUE_CEIL_TEX: return KIND_TEXTURE;
    default: return o.kind == KIND_NONE ? EXPECT_ANY : o.kind;
    }
}

// Reads and resolves operand k of an instruction. False when it could not be resolved:
// the instruction then becomes a no-operation.
bool operand(Instruction* ip, int k, const char* token, bool quoted, int32_t expected, Operand* out,
             bool report = true) {
    Operand o;
    if (!resolve_operand(token, quoted, expected, &o, report)) {
        ip->opcode = OP_NOP;
        return false;
    }
    set_operand(ip, k, o);
    if (out) *out = o;
    return true;
}

InlineFile* inline_file(Instruction* ip, int which) {
    return reinterpret_cast<InlineFile*>(instruction_area(ip)) + which;
}

// Puts a file name into the instruction's inline string record `which`, operand k.
bool inline_file_name(Instruction* ip, int k, int which, const char* name) {
    if (std::strlen(name) > FILE_NAME_MAX) {
        ip->opcode = OP_NOP;
        reader_report_error("action compiler: file name longer than 12 characters");
        return false;
    }
    InlineFile* f = inline_file(ip, which);
    std::snprintf(f->text, sizeof f->text, "%s", name);
    f->string.text = f->text;
    f->string.capacity = int32_t(sizeof f->text);
    set_literal(ip, k, int64_t(reinterpret_cast<intptr_t>(&f->string)), true);
    return true;
}

bool ends_with(const char* text, const char* tail) {
    size_t a = std::strlen(text), b = std::strlen(tail);
    return a >= b && strcasecmp(text + a - b, tail) == 0;
}

// A file-name operand: a quoted name, a STRING, or under the old versions a bare name.
bool file_operand(Instruction* ip, int k, int which, const char* keyword, const char* token, bool quoted) {
    if (quoted) return inline_file_name(ip, k, which, token);
    bool bare = false;
    if (settings.v308 && (ends_with(token, ".WDL") || ends_with(token, ".WRS") || ends_with(token, ".WMP") ||
                          !lookup_name(token)))
        bare = true;
    if (settings.compat368 && !std::strchr(token, '.') && !lookup_name(token)) {
        static const char* const v368[] = {"LOAD", "SAVE", "SAVE_INFO", "LOAD_INFO", "SCREENSHOT"};
        for (const char* kw : v368)
            if (same(kw, keyword)) bare = true;
    }
    if (bare) return inline_file_name(ip, k, which, token);
    return operand(ip, k, token, false, KIND_STRING, nullptr);
}

// ---- SET and SET_ALL ----------------------------------------------------------------------

int compile_set(bool all) {
    Instruction* ip = append(0, OP_COPY);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    Operand a;
    if (!operand(ip, 0, t, quoted, EXPECT_ANY, &a)) return abandon(nullptr);
    if (a.literal) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: a literal cannot be written");
    }
    int32_t expected = expected_like(a);
    bool text_member = a.is_member && a.owner_kind == KIND_TEXT && a.member;
    if (text_member && same(a.member, "INDEX")) ip->opcode = OP_TEXT_INDEX;
    if (text_member && same(a.member, "STRING")) ip->opcode = OP_TEXT_STRING;
    if (a.value_kind == VALUE_OBJECT_TEX || a.value_kind == VALUE_FLOOR_TEX || a.value_kind == VALUE_CEIL_TEX) {
        ip->opcode = OP_SET_TEXTURE;
        ip->aux.texture = a.value_kind == VALUE_OBJECT_TEX  ? set_texture_of_object
                          : a.value_kind == VALUE_FLOOR_TEX ? set_texture_of_floor
                                                            : set_texture_of_ceiling;
    }
    if (a.value_kind == VALUE_TARGET) expected = TYPE_TARGET;

    t = take(&quoted);
    Operand b;
    if (!operand(ip, 1, t, quoted, expected, &b)) return abandon(nullptr);
    if (a.value_kind == VALUE_TARGET) {
        bool object = b.value_kind == VALUE_POINTER &&
                      (b.kind == KIND_OBJECT || b.kind == KIND_WALL || b.kind == KIND_THING || b.kind == KIND_NONE);
        if (b.value_kind == VALUE_TARGET_CALL) {
            ip->opcode = OP_TARGET_CALL;
            ip->aux.ptr = reinterpret_cast<void*>(intptr_t(b.special));
        } else if (b.value_kind == VALUE_TARGET_VERTEX) {
            ip->opcode = OP_TARGET_SPECIAL;
        } else if (b.value_kind == VALUE_POINTER && b.kind == KIND_WAY) {
            ip->opcode = OP_TARGET_WAY;
        } else if (object && !(b.literal && b.value == 0)) {
            ip->opcode = OP_TARGET_OBJECT;
        } else if (b.value_kind == VALUE_TARGET || (b.literal && b.value == 0)) {
            ip->opcode = OP_COPY;
        } else {
            ip->opcode = OP_NOP;
            return abandon("action compiler: a movement target cannot be set from this");
        }
        if (ip->opcode == OP_COPY) ip->width_flags &= uint8_t(~WIDTH_OP2);
    }
    if (a.value_kind == VALUE_FLAG) {
        if (!b.literal || (b.value != 0 && b.value != 1024)) {
            ip->opcode = OP_NOP;
            return abandon("action compiler: a flag is set to 0 or 1");
        }
        ip->aux.word = a.mask;
        ip->opcode = b.value ? OP_SET_FLAGS : OP_CLEAR_FLAGS;
        if (a.owner_kind == KIND_OBJECT || a.owner_kind == KIND_WALL || a.owner_kind == KIND_THING)
            ip->exec_marks |= EXEC_OBJECT_FLAGS;
    }
    if (all) {
        bool object = a.owner_kind == KIND_OBJECT || a.owner_kind == KIND_WALL || a.owner_kind == KIND_THING;
        if (!a.is_member || (!object && a.owner_kind != KIND_REGION)) {
            ip->opcode = OP_NOP;
            return abandon("action compiler: SET_ALL needs a field of an object or a region");
        }
        ip->target.value = ip->opcode;
        ip->opcode = object ? OP_SET_ALL_OBJECTS : OP_SET_ALL_REGIONS;
        ip->member_a = a.offset_a;
        ip->member_b = a.offset_b;
        if (a.mode == MODE_SYNONYM_OBJECT) ip->exec_marks |= EXEC_SET_ALL_INDIRECT;
    }
    return 1;
}

// ---- Comparisons and skill limits ---------------------------------------------------------

int compile_comparison(const KeywordRow& row) {
    Instruction* ip = append(0, row.opcode);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    Operand a;
    if (!operand(ip, 0, t, quoted, EXPECT_ANY, &a)) return abandon(nullptr);
    t = take(&quoted);
    Operand b;
    if (a.value_kind == VALUE_FLAG) {
        if (!operand(ip, 1, t, quoted, EXPECT_NUMBER, &b)) return abandon(nullptr);
        if (!b.literal || (b.value != 0 && b.value != 1024)) {
            ip->opcode = OP_NOP;
            return abandon("action compiler: a flag compares with 0 or 1");
        }
        bool one = b.value == 1024;
        int32_t op = OP_NOP;
        switch (row.opcode) {
        case OP_JUMP_ABOVE: op = one ? OP_NOP : OP_JUMP_BITS_SET; break;
        case OP_JUMP_BELOW: op = one ? OP_JUMP_BITS_CLEAR : OP_NOP; break;
        case OP_JUMP_EQUAL: op = one ? OP_JUMP_BITS_SET : OP_JUMP_BITS_CLEAR; break;
        case OP_JUMP_NEQUAL: op = one ? OP_JUMP_BITS_CLEAR : OP_JUMP_BITS_SET; break;
        }
        if (op == OP_NOP) {
            ip->opcode = OP_NOP;
            return abandon("action compiler: this flag comparison can never hold");
        }
        ip->opcode = op;
        ip->aux.word = a.mask;
    } else {
        if (!operand(ip, 1, t, quoted, expected_like(a), &b)) return abandon(nullptr);
    }
    ip->link_flags &= uint8_t(~LINK_CLAMP);
    return optional_label(ip);
}

int compile_skill_limit(bool minimum) {
    Instruction* ip = append(0, minimum ? OP_JUMP_NOT_ABOVE : OP_JUMP_NOT_BELOW);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    Operand a;
    if (!operand(ip, 0, t, quoted, EXPECT_NUMBER, &a)) return abandon(nullptr);
    if (!a.skill || a.base != &a.skill->value) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: IF_MIN and IF_MAX need a skill");
    }
    Operand limit = {};
    limit.base = minimum ? &a.skill->minimum : &a.skill->maximum;
    set_operand(ip, 1, limit);
    ip->link_flags &= uint8_t(~LINK_CLAMP);
    return optional_label(ip);
}

// ---- Table rows ---------------------------------------------------------------------------

bool row_accepts(const KeywordRow& row, int n) {
    if (row.options & (ROW_COMPARISON | ROW_FORMULA | ROW_FILE_NAME)) return true;
    switch (row.arity) {
    case 0: return n <= 1;
    case 1: return n <= 2;
    case 2: return n <= 3;
    default: return true;
    }
}

int compile_formula(const KeywordRow& row) {
    static const struct {
        const char* keyword;
        const char* format;
    } formats[] = {
        {"ADD", "%s=%s+%s"},       {"SUB", "%s=%s-%s"},       {"ADDT", "%s=%s+%s*TIME_CORR"},
        {"SIN", "%s=sin(%s)"},     {"ASIN", "%s=asin(%s)"},   {"SQRT", "%s=sqrt(%s)"},
        {"SIGN", "%s=sign(%s)"},   {"ABS", "%s=abs(%s)"},     {"RANDOMIZE", "%s=random(%s)"},
    };
    char a[RULE_DESTINATION_MAX * 4 + 1] = "", b[RULE_TEXT_MAX / 2] = "";
    bool quoted;
    if (const char* t = take(&quoted)) std::snprintf(a, sizeof a, "%s", t);
    if (const char* t = take(&quoted)) std::snprintf(b, sizeof b, "%s", t);
    static char text[RULE_TEXT_MAX + 1];
    for (const auto& f : formats) {
        if (!same(f.keyword, row.keyword)) continue;
        // "a = a op b" names the destination twice, the functions once.
        if (std::strncmp(f.format, "%s=%s", 5) == 0)
            std::snprintf(text, sizeof text, f.format, a, a, b);
        else
            std::snprintf(text, sizeof text, f.format, a, b);
        return emit_rule(text);
    }
    return fail("action compiler: unknown formula");
}

int compile_row(int first_row) {
    int n = statement_token_count();
    int r = first_row;
    while (!row_accepts(keyword_rows[r], n)) {
        if (r + 1 >= keyword_row_count || !same(keyword_rows[r + 1].keyword, keyword_rows[first_row].keyword))
            return abandon("action compiler: too many operands");
        r++;
    }
    const KeywordRow& row = keyword_rows[r];
    if (row.options & ROW_COMPARISON) return compile_comparison(row);
    if (row.options & ROW_FORMULA) return compile_formula(row);

    bool handler = (row.options & ROW_HANDLER) != 0;
    bool file = (row.options & ROW_FILE_NAME) != 0;
    Instruction* ip = append(file ? sizeof(InlineFile) : 0, handler ? OP_CALL0 : row.opcode);
    if (!ip) return -2;
    if (file) ip->aux.word = uint64_t(row.mode);
    int present = 0;
    for (int k = 0; k < 3 && row.kinds[k] != EXPECT_NONE; k++) {
        bool quoted = false;
        const char* t = take(&quoted);
        if (!t) t = row.defaults[k];
        if (!t) break;
        bool ok = file && k == 0 ? file_operand(ip, 0, 0, row.keyword, t, quoted)
                                 : operand(ip, k, t, quoted, row.kinds[k], nullptr);
        if (!ok) return abandon(nullptr);
        present++;
    }
    bool writes = (row.options & ROW_WRITES) != 0;
    if (writes && present > 0 && (ip->exec_marks & EXEC_LITERAL1)) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: a literal cannot be written");
    }
    // Only a written operand 1 is clamped (INPORT writes its operand 1 too).
    if (!writes && row.opcode != OP_INPORT) ip->link_flags &= uint8_t(~LINK_CLAMP);
    if (handler) {
        ip->aux.routine = row.routine;
        if (present == 0) ip->opcode = OP_CALL0;
        else if (present == 1) ip->opcode = writes ? OP_CALL0_RESULT : OP_CALL1;
        else ip->opcode = writes ? OP_CALL1_RESULT : OP_CALL2;
    }
    return 1;
}

int find_row(const char* keyword) {
    for (int i = 0; i < keyword_row_count; i++)
        if (same(keyword_rows[i].keyword, keyword)) return i;
    return -1;
}

// ---- Statements with their own forms ------------------------------------------------------

int compile_wait(int32_t opcode) {
    Instruction* ip = append(0, opcode);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    Operand o;
    if (!t) {
        ip->opcode = OP_NOP;
        return fail("action compiler: WAIT without a count");
    }
    if (!operand(ip, 1, t, quoted, EXPECT_NUMBER, &o)) return abandon(nullptr);
    if (o.literal && o.value < 0) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: a negative wait");
    }
    ip->target.value = o.literal ? o.value : (o.mode == MODE_DIRECT && o.base ? *static_cast<int32_t*>(o.base) : 0);
    return 1;
}

bool sound_known_quietly(bool music) {
    bool (*open)() = music ? exec_ops.music_device_open : exec_ops.sound_device_open;
    return !(open && open());
}

int compile_play_sound() {
    Instruction* ip = append(0, OP_PLAY_SOUND);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    if (!operand(ip, 0, t, quoted, KIND_SOUND, nullptr, !sound_known_quietly(false))) return abandon(nullptr);
    t = take(&quoted);
    if (!t) return 1;
    if (!operand(ip, 1, t, quoted, EXPECT_NUMBER, nullptr)) return abandon(nullptr);
    t = take(&quoted);
    if (!t) t = "0";
    Operand c;
    if (!operand(ip, 2, t, quoted, EXPECT_ANY, &c)) return abandon(nullptr);
    bool object = c.value_kind == VALUE_POINTER &&
                  (c.kind == KIND_OBJECT || c.kind == KIND_WALL || c.kind == KIND_THING);
    if (object) ip->addr_flags |= ADDR_SOUND_AT_OBJECT;
    else if (c.value_kind != VALUE_NUMBER || c.pointer) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: PLAY_SOUND's third operand is a number or an object");
    }
    return 1;
}

int compile_play_soundfile(const char* keyword) {
    Instruction* ip = append(sizeof(InlineFile), OP_PLAY_SOUNDFILE);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    if (!t) {
        ip->opcode = OP_NOP;
        return fail("action compiler: PLAY_SOUNDFILE without a file");
    }
    if (!file_operand(ip, 0, 0, keyword, t, quoted)) return abandon(nullptr);
    t = take(&quoted);
    if (!t) return 1;
    if (!operand(ip, 1, t, quoted, EXPECT_NUMBER, nullptr)) return abandon(nullptr);
    t = take(&quoted);
    if (!operand(ip, 2, t ? t : "0", quoted, EXPECT_NUMBER, nullptr)) return abandon(nullptr);
    return 1;
}

int compile_play_song(bool once) {
    bool quoted;
    const char* t = take(&quoted);
    Instruction* ip = append(0, OP_PLAY_SONG);
    if (!ip) return -2;
    if (t && !quoted && same(t, "OFF")) {
        ip->opcode = OP_NOP;
        return abandon(nullptr);
    }
    if (!operand(ip, 0, t, quoted, KIND_SOUND, nullptr, !sound_known_quietly(true))) return abandon(nullptr);
    if (once) ip->aux.word = 1024;
    t = take(&quoted);
    if (t && !operand(ip, 1, t, quoted, EXPECT_NUMBER, nullptr)) return abandon(nullptr);
    return 1;
}

int compile_level() {
    Instruction* ip = append(2 * sizeof(InlineFile), OP_FILE_REQUEST);
    if (!ip) return -2;
    ip->aux.word = FILE_LEVEL;
    bool quoted;
    const char* t = take(&quoted);
    if (!t) {
        ip->opcode = OP_NOP;
        return fail("action compiler: LEVEL without a file");
    }
    if (!file_operand(ip, 0, 0, "LEVEL", t, quoted)) return abandon(nullptr);
    t = take(&quoted);
    if (t && !file_operand(ip, 1, 1, "LEVEL", t, quoted)) return abandon(nullptr);
    return 1;
}

int compile_map() {
    Instruction* ip = append(sizeof(InlineFile), OP_FILE_REQUEST);
    if (!ip) return -2;
    ip->aux.word = FILE_MAP;
    bool quoted;
    const char* t = take(&quoted);
    if (t) return file_operand(ip, 0, 0, "MAP", t, quoted) ? 1 : abandon(nullptr);
    // Without a name the request names the current map.
    inline_file_name(ip, 0, 0, settings.map_from_script);
    return 1;
}

int compile_freeze() {
    Instruction* ip = append(0, OP_FREEZE);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    Operand a;
    if (!operand(ip, 0, t, quoted, KIND_BMAP, &a)) return abandon(nullptr);
    auto* bitmap = a.literal ? reinterpret_cast<Bitmap*>(intptr_t(a.value)) : nullptr;
    if (!bitmap) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: FREEZE needs a bitmap");
    }
    bitmap->flags |= BMAP_FROZEN;
    ip->target.value = int64_t(reinterpret_cast<intptr_t>(bitmap));
    t = take(&quoted);
    if (t && !operand(ip, 1, t, quoted, EXPECT_NUMBER, nullptr)) return abandon(nullptr);
    return 1;
}

int compile_select(int32_t mode) {
    Instruction* ip = append(0, OP_SELECT);
    if (!ip) return -2;
    ip->aux.word = uint64_t(mode);
    bool quoted;
    const char* t = take(&quoted);
    Operand a;
    if (!operand(ip, 0, t, quoted, KIND_DATAVIEW, &a)) return abandon(nullptr);
    auto* view = a.literal ? reinterpret_cast<DataView*>(intptr_t(a.value)) : nullptr;
    const char* field = take(&quoted);
    const Database* db = view ? view->database : nullptr;
    int32_t index = -1;
    for (int32_t i = 0; db && field && i < db->column_count; i++)
        if (same(db->columns[i].name, field)) index = db->columns[i].index;
    if (index < 0) {
        ip->opcode = OP_NOP;
        return abandon("action compiler: the field is not in the view's database");
    }
    ip->target.value = index;
    t = take(&quoted);
    if (t && !operand(ip, 1, t, quoted, KIND_STRING, nullptr)) return abandon(nullptr);
    return 1;
}

int compile_exit() {
    Instruction* ip = append(0, OP_EXIT);
    if (!ip) return -2;
    bool quoted;
    const char* t = take(&quoted);
    if (!t) return 1;
    Operand o;
    if (!operand(ip, 0, t, quoted, KIND_STRING, &o)) return abandon(nullptr);
    auto* string = o.literal ? reinterpret_cast<ScriptString*>(intptr_t(o.value)) : nullptr;
    ip->target.text = string ? string->text : nullptr;
    return 1;
}

// The keywords of instructions other than rules (a RULES block admits none of them).
bool is_instruction_keyword(const char* k) {
    static const char* const own[] = {"SET", "SET_ALL", "IF_MIN", "IF_MAX", "SKIP", "GOTO", "WAIT", "WAIT_TICKS",
                                      "WAITT", "PLAY_SOUND", "PLAY_SOUNDFILE", "PLAY_SONG", "PLAY_SONG_ONCE",
                                      "LEVEL", "MAP", "FREEZE", "SELECT", "OR_SELECT", "AND_SELECT", "UNSELECT",
                                      "EXIT"};
    for (const char* o : own)
        if (same(o, k)) return true;
    return find_row(k) >= 0;
}

int dispatch(const char* keyword) {
    if (same(keyword, "RULE")) return compile_rule(nullptr);
    if (same(keyword, "IF")) return compile_block_condition(OP_IF);
    if (same(keyword, "WHILE")) return compile_block_condition(OP_WHILE_OPEN);
    if (same(keyword, "ELSE")) return compile_else();
    if (same(keyword, "CONTINUE")) return compile_loop_jump(false);
    if (same(keyword, "BREAK")) return compile_loop_jump(true);
    if (C.rules) {
        if (is_instruction_keyword(keyword)) return abandon("action compiler: a RULES block holds only rules");
        return compile_rule(keyword);
    }
    if (same(keyword, "SET")) return compile_set(false);
    if (same(keyword, "SET_ALL")) return compile_set(true);
    int row = find_row(keyword);
    if (row >= 0) return compile_row(row);
    if (same(keyword, "IF_MIN")) return compile_skill_limit(true);
    if (same(keyword, "IF_MAX")) return compile_skill_limit(false);
    if (same(keyword, "SKIP") || same(keyword, "GOTO")) return compile_skip();
    if (same(keyword, "WAIT")) return compile_wait(OP_WAIT);
    if (same(keyword, "WAIT_TICKS") || same(keyword, "WAITT")) return compile_wait(OP_WAIT_TICKS);
    if (same(keyword, "PLAY_SOUND")) return compile_play_sound();
    if (same(keyword, "PLAY_SOUNDFILE")) return compile_play_soundfile(keyword);
    if (same(keyword, "PLAY_SONG")) return compile_play_song(false);
    if (same(keyword, "PLAY_SONG_ONCE")) return compile_play_song(true);
    if (same(keyword, "LEVEL")) return compile_level();
    if (same(keyword, "MAP")) return compile_map();
    if (same(keyword, "FREEZE")) return compile_freeze();
    if (same(keyword, "SELECT")) return compile_select(1);
    if (same(keyword, "OR_SELECT")) return compile_select(2);
    if (same(keyword, "AND_SELECT")) return compile_select(3);
    if (same(keyword, "UNSELECT")) return compile_select(4);
    if (same(keyword, "EXIT")) return compile_exit();
    return abandon("action compiler: unknown instruction");
}

void free_labels() {
    while (C.labels) {
        Label* next = C.labels->next;
        std::free(C.labels);
        C.labels = next;
    }
}

// Whoever compiles code must be able to free it again: compiling installs the execution
// hooks (the braces of a body, the release of instructions with their world, the error
// context of a running action).
void hooks() { exec_init(); }

}  // namespace

// ---------------------------------------------------------------------------------------

void free_instructions(Action* action) {
    if (!action) return;
    // An action freed while its body is being compiled takes the compilation with it.
    if (C.active && C.action == action) {
        C.active = false;
        C.action = nullptr;
        C.tail = nullptr;
        C.last = nullptr;
        free_labels();
    }
    cancel_action_runs(action);
    Instruction* ip = action->first;
    while (ip) {
        Instruction* next = ip->next;
        std::free(ip);
        ip = next;
    }
    action->first = action->resume = nullptr;
    action->run_flags = 0;
    action->wait_counter = 0;
}

int begin_action(const char* keyword, const char* name) {
    hooks();
    C.active = false;
    free_labels();
    C.top = 0;
    std::memset(C.blocks, 0, sizeof C.blocks);
    C.open_mark = false;
    C.rules = keyword && same(keyword, "RULES");
    void* object = nullptr;
    int made = name ? create_object(name, KIND_ACTION, &object) : -1;
    int result = 1;
    Action* action = static_cast<Action*>(object);
    if (made < 0 || !object) {
        action = &C.sink;
        result = -2;
    }
    free_instructions(action);
    C.action = action;
    C.active = true;
    C.tail = &C.action->first;
    C.last = nullptr;
    return result;
}

int compile_statement(const char* keyword) {
    if (!C.active || !keyword) return -1;
    hooks();
    int result;
    if (reader.is_label || token_before_colon())
        result = define_label(keyword);
    else
        result = dispatch(keyword);
    return result;
}

void mark_block_open() { C.open_mark = true; }

int close_block() {
    if (!C.active || C.top <= 0) return 0;
    Instruction* e = C.blocks[--C.top];
    if (e->opcode == OP_WHILE_OPEN) {
        e->opcode = OP_IF;
        Instruction* back = append(0, OP_JUMP);
        if (back) back->target.jump = e;
        e->target.jump = back;
        C.blocks[C.top] = nullptr;
    } else {
        e->target.jump = C.last;
        C.blocks[C.top] = e;
    }
    return 1;
}

void end_action() {
    if (!C.active) return;
    link_action(C.action);
    if (!C.action->first) reader_report_error("action compiler: an action without instructions");
    C.action->resume = C.action->first;
    free_labels();
    C.active = false;
    C.action = nullptr;
    C.top = 0;
    C.open_mark = false;
}

int32_t instruction_number(const Action* action, const Instruction* instruction) {
    if (!action || !instruction) return 0;
    int32_t n = 1;
    for (const Instruction* ip = action->first; ip; ip = ip->next, n++)
        if (ip == instruction) return n;
    return 0;
}

Action* compiling_action() { return C.active ? C.action : nullptr; }
bool compiling_rules() { return C.active && C.rules; }
