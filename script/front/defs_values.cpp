// Value forms of the definitions parser: names of a kind, action names, strings, files,
// numbers, flag lists and variables, each taken from the statement's tokens; keyword
// tables; and the settling of handler answers so that every fault is counted once.
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "script/exec/expr.h"
#include "script/front/defs_internal.h"

// ---- Keywords ---------------------------------------------------------------------------

static inline unsigned char upper(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; }

static unsigned keyword_hash(const char* word) {
    unsigned h = 0;
    for (const unsigned char* p = (const unsigned char*)word; *p; p++) h = h * 31 + upper(*p);
    return h & 127;
}

bool same_keyword(const char* a, const char* b) {
    for (; *a && *b; a++, b++)
        if (upper((unsigned char)*a) != upper((unsigned char)*b)) return false;
    return *a == *b;
}

bool is_null_word(const char* word) { return word && same_keyword(word, "NULL"); }

static void build_index(KeywordTable& table) {
    for (int16_t& b : table.buckets) b = -1;
    // Inserted from the last row, so that each chain runs in row order.
    for (int i = table.count - 1; i >= 0; i--) {
        unsigned h = keyword_hash(table.rows[i].keyword);
        table.chain[i] = table.buckets[h];
        table.buckets[h] = int16_t(i);
    }
    table.built = true;
}

int find_keyword(KeywordTable& table, const char* word) {
    if (!word) return -1;
    if (!table.built) build_index(table);
    for (int i = table.buckets[keyword_hash(word)]; i >= 0; i = table.chain[i])
        if (same_keyword(table.rows[i].keyword, word)) return table.rows[i].code;
    return -1;
}

// ---- Answers ----------------------------------------------------------------------------

int settle_field(int answer, int errors_before) {
    if (answer == -1 && error_store.error_count > errors_before) error_store.report_armed = 0;
    return answer;
}

int settle_definition(int answer, int errors_before) {
    if (answer == -1 && error_store.error_count == errors_before) reader_report_error("definition");
    return answer;
}

int field_error(const char* where) {
    reader_report_error(where);
    return -1;
}

// ---- Tokens and numbers -------------------------------------------------------------------

int take_token(const char** token) {
    const char* t = nullptr;
    int result = require_token(&t);
    if (token) *token = t;
    if (result < 0 && !reader.expect_token) field_error("take_token");  // still one report
    return result;
}

int take_number(int32_t* value) { return read_number(value) < 0 ? -1 : 0; }

int take_integer(int32_t* whole) {
    int32_t fixed = 0, integer = 0;
    if (read_integer(&fixed, &integer) < 0) {
        if (whole) *whole = 0;
        return -1;
    }
    if (whole) *whole = integer;
    return 0;
}

int take_whole(int64_t* value) {
    if (value) *value = 0;
    const char* t = nullptr;
    if (take_token(&t) < 0) return -1;
    const char* p = t;
    while (*p == ' ' || *p == '\t') p++;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (*p < '0' || *p > '9') return field_error("take_whole");
    int64_t v = 0;
    for (; *p >= '0' && *p <= '9'; p++)
        if (v < (int64_t(1) << 50)) v = v * 10 + (*p - '0');
    if (*p) return field_error("take_whole");
    if (value) *value = negative ? -v : v;
    return 0;
}

int take_file(const char** name) { return take_token(name); }

bool tokens_remaining() { return peek_token() != nullptr; }

int tokens_after_keyword() {
    int n = 0;
    for (int i = reader.cursor; i < reader.token_count; i++)
        if (reader.tokens[i].kind != TOKEN_OPEN_FILE && reader.tokens[i].kind != TOKEN_CLOSE_FILE) n++;
    return n;
}

// ---- Names --------------------------------------------------------------------------------

int take_object(int32_t kind, void** object, bool allow_null) {
    if (object) *object = nullptr;
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    if (allow_null && is_null_word(name)) return 0;
    int before = error_store.error_count;
    NameEntry* e = find_name(name, kind);
    if (!e) {
        // A kind clash was reported by the lookup; a missing name is reported here.
        if (error_store.error_count == before) field_error("take_object");
        return -1;
    }
    if (object) *object = e->object;
    return 0;
}

int take_action(Action** action) {
    if (action) *action = nullptr;
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    if (is_null_word(name)) return 0;
    void* object = nullptr;
    int before = error_store.error_count;
    int result = create_object(name, KIND_ACTION, &object);
    if (result < 0 || !object) {
        if (error_store.error_count == before) field_error("take_action");
        return -1;
    }
    if (action) *action = (Action*)object;
    return 0;
}

ScriptString* new_literal_string(const char* text) {
    ScriptString* s = (ScriptString*)new_record(KIND_STRING);
    if (!s) return nullptr;
    if (set_string_text(s, text) != 0) return nullptr;  // stays in the list, freed with it
    return s;
}

int take_string(ScriptString** string) {
    if (string) *string = nullptr;
    const char* t = nullptr;
    if (take_token(&t) < 0) return -1;
    if (token_is_string()) {
        ScriptString* s = new_literal_string(t);
        if (!s) return field_error("take_string");
        if (string) *string = s;
        return 0;
    }
    if (is_null_word(t)) return 0;
    int before = error_store.error_count;
    NameEntry* e = find_name(t, KIND_STRING);
    if (!e) {
        if (error_store.error_count == before) field_error("take_string");
        return -1;
    }
    if (string) *string = (ScriptString*)e->object;
    return 0;
}

int take_variable(VarRef* ref, int32_t** direct_cell) {
    if (ref) *ref = VarRef{};
    if (direct_cell) *direct_cell = nullptr;
    const char* t = nullptr;
    if (take_token(&t) < 0) return -1;
    VarRef r = {};
    int before = error_store.error_count;
    if (!definition_ops.parse_variable(t, &r) || r.mode == VARREF_NONE || !r.base) {
        // A constant is no variable: that is reported here.
        if (error_store.error_count == before) {
            console_message("\r\n  %s is no variable (a skill or an object's member)", t);
            field_error("take_variable");
        }
        return -1;
    }
    if (ref) *ref = r;
    if (direct_cell && r.mode == VARREF_DIRECT && r.value_type != TYPE_FLAG) *direct_cell = (int32_t*)r.base;
    return 0;
}

int take_flags(const FlagName* names, int count, uint32_t* word, uint32_t kind_mask) {
    while (const char* t = next_token()) {
        const FlagName* found = nullptr;
        for (int i = 0; i < count && !found; i++)
            if (same_keyword(names[i].name, t) && (!names[i].kinds || !kind_mask || (names[i].kinds & kind_mask)))
                found = &names[i];
        if (!found) return field_error("take_flags");  // an unknown flag ends the list
        *word |= found->bits;
    }
    return 0;
}
