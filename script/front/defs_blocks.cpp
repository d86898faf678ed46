// Table B, the block definitions, in their offering order; the installation of all handler
// tables; and the small blocks: SKILL, SYNONYM, PALETTE, ACTION and RULES, WINDOW.
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "resources/palette.h"
#include "script/front/defs_internal.h"
#include "script/front/world_script.h"

// ---- SKILL --------------------------------------------------------------------------------

namespace {

Skill* skill_target;   // the skill the fields go to; null: no current object
Skill scratch_skill;   // receives the fields of a definition that must not change the skill

enum SkillCode { S_VAL, S_MIN, S_MAX, S_TYPE };
const KeywordRow skill_rows[] = {{"VAL", S_VAL}, {"DEFAULT", S_VAL}, {"MIN", S_MIN}, {"MAX", S_MAX}, {"TYPE", S_TYPE}};
KeywordTable skill_table = KEYWORD_TABLE(skill_rows);

int skill_field_body(const char* keyword) {
    Skill* s = skill_target;
    int code = find_keyword(skill_table, keyword);
    if (code < 0) return field_error("skill_field");
    if (!s) return -3;
    switch (code) {
    case S_VAL: return take_number(&s->value) < 0 ? -1 : 1;
    case S_MIN: return take_number(&s->minimum) < 0 ? -1 : 1;
    case S_MAX: return take_number(&s->maximum) < 0 ? -1 : 1;
    default: {
        const char* type = nullptr;
        if (take_token(&type) < 0) return -1;
        if (same_keyword(type, "PLAYER")) s->flags |= SKILL_PLAYER;
        else if (same_keyword(type, "LOCAL")) s->flags |= SKILL_LOCAL;
        else if (same_keyword(type, "GLOBAL")) s->flags |= SKILL_GLOBAL;
        else return field_error("skill_field");
        return 1;
    }
    }
}

int skill_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(skill_field_body(keyword), before);
}

}  // namespace

int open_skill(const char*) {
    skill_target = nullptr;
    enter_block(STATE_SKILL, skill_field, nullptr);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    // A GLOBAL skill keeps its value over a reload, and so does a LOCAL one while local
    // skills are kept: the definition's fields are read and dropped.
    Skill* existing = find_skill(name);
    if (existing && ((existing->flags & SKILL_GLOBAL) ||
                     ((existing->flags & SKILL_LOCAL) && (load_mode & LOAD_KEEP_LOCAL)))) {
        scratch_skill = Skill{};
        scratch_skill.slot = -1;
        skill_target = &scratch_skill;
        return 1;
    }
    int before = error_store.error_count;
    int result = create_skill(name);
    NameEntry* e = catalogue.current_entry;
    if (result == -2 || !e || e->kind != KIND_SKILL || !e->object) {
        if (error_store.error_count == before) field_error("open_skill");
        return -1;
    }
    skill_target = (Skill*)e->object;
    return 1;
}

// ---- SYNONYM ------------------------------------------------------------------------------

namespace {

Synonym* synonym_target;

struct SynonymType {
    const char* name;
    int32_t kind;
};
const SynonymType synonym_types[] = {
    {"WALL", KIND_WALL},       {"THING", KIND_THING}, {"ACTOR", KIND_THING},   {"REGION", KIND_REGION},
    {"ACTION", KIND_ACTION},   {"OVERLAY", KIND_OVERLAY}, {"TEXT", KIND_TEXT}, {"PANEL", KIND_PANEL},
    {"TEXTURE", KIND_TEXTURE}, {"STRING", KIND_STRING},
};

int synonym_field_body(const char* keyword) {
    Synonym* s = synonym_target;
    bool is_type = same_keyword(keyword, "TYPE");
    if (!is_type && !same_keyword(keyword, "DEFAULT")) return field_error("synonym_field");
    if (!s) return -3;
    if (is_type) {
        const char* type = nullptr;
        if (take_token(&type) < 0) return -1;
        for (const SynonymType& t : synonym_types)
            if (same_keyword(t.name, type)) {
                s->type = t.kind;
                return 1;
            }
        return field_error("synonym_field");
    }
    if (s->type == KIND_UNTYPED) {
        console_message("\r\n  SYNONYM %s: DEFAULT needs the TYPE first", s->name ? s->name : "");
        return field_error("synonym_field");
    }
    void* object = nullptr;
    if (s->type == KIND_ACTION) {
        Action* a = nullptr;
        if (take_action(&a) < 0) return -1;
        object = a;
    } else if (take_object(s->type, &object, true) < 0) {
        return -1;
    }
    if (s->ref) *s->ref = object;
    else s->object = object;
    return 1;
}

int synonym_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(synonym_field_body(keyword), before);
}

}  // namespace

int open_synonym(const char*) {
    synonym_target = nullptr;
    enter_block(STATE_SYNONYM, synonym_field, nullptr);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* object = nullptr;
    int before = error_store.error_count;
    if (create_object(name, KIND_SYNONYM, &object) < 0 || !object) {
        if (error_store.error_count == before) field_error("open_synonym");
        return -1;
    }
    synonym_target = (Synonym*)object;
    return 1;
}

// ---- PALETTE ------------------------------------------------------------------------------

namespace {

Palette* palette_target;

// The flag names bind to the palette module's bits, which its light table builder tests.
const FlagName palette_flags[] = {
    {"HARD", PALETTE_HARD, 0}, {"AUTORANGE", PALETTE_AUTORANGE, 0}, {"BLUR", PALETTE_BLUR, 0}};

enum PaletteCode { P_PALFILE, P_RANGE, P_CYCLE, P_FLAGS };
const KeywordRow palette_rows[] = {{"PALFILE", P_PALFILE}, {"RANGE", P_RANGE}, {"CYCLE", P_CYCLE}, {"FLAGS", P_FLAGS}};
KeywordTable palette_table = KEYWORD_TABLE(palette_rows);

int palette_field_body(const char* keyword) {
    Palette* p = palette_target;
    int code = find_keyword(palette_table, keyword);
    if (code < 0) return field_error("palette_field");
    if (!p) return -3;
    switch (code) {
    case P_PALFILE: {
        const char* file = nullptr;
        if (take_file(&file) < 0) return -1;
        return load_palette_file(p, file) ? 1 : -1;
    }
    case P_RANGE: {
        int32_t first = 0, count = 0;
        if (take_integer(&first) < 0 || take_integer(&count) < 0) return -1;
        if (p->range_count >= PALETTE_MAX_RANGES) {
            console_message("\r\n  PALETTE %s: at most %d ranges", p->name ? p->name : "", PALETTE_MAX_RANGES);
            return field_error("palette_field");
        }
        if (!palette_range_valid(first, count)) {
            console_message("\r\n  PALETTE %s: a range starts at 2 ... 254, has at least 2 colours and ends at 256",
                            p->name ? p->name : "");
            return field_error("palette_field");
        }
        p->ranges[p->range_count++] = PaletteRange{first, count};
        return 1;
    }
    case P_CYCLE: return take_number(&p->cycle) < 0 ? -1 : 1;
    default: {
        uint32_t flags = p->flags;
        if (take_flags(palette_flags, 3, &flags) < 0) return -1;
        p->flags = flags;
        if (flags & PALETTE_AUTORANGE) world_script.auto_range = 1;
        return 1;
    }
    }
}

int palette_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(palette_field_body(keyword), before);
}

}  // namespace

int open_palette(const char*) {
    palette_target = nullptr;
    enter_block(STATE_PALETTE, palette_field, nullptr);
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* object = nullptr;
    int before = error_store.error_count;
    if (create_object(name, KIND_PALETTE, &object) < 0 || !object) {
        if (error_store.error_count == before) field_error("open_palette");
        return -1;
    }
    palette_target = (Palette*)object;
    // A definition gives the palette its ranges anew (a reload reads the same block again).
    palette_target->range_count = 0;
    return 1;
}

// ---- ACTION, RULES -------------------------------------------------------------------------

namespace {

int action_field(const char* keyword) {
    int before = error_store.error_count;
    return settle_field(definition_ops.compile_statement(keyword), before);
}

void action_end() { definition_ops.end_action(); }

}  // namespace

int open_action(const char* keyword) {
    const char* name = nullptr;
    enter_block(STATE_ACTION, action_field, action_end);
    if (take_token(&name) < 0) name = "";
    // When the action cannot be made its body still goes to the compiler (into a sink).
    int result = definition_ops.begin_action(keyword, name);
    return result == -2 ? -2 : 1;
}

// ---- WINDOW ---------------------------------------------------------------------------------

namespace {

int ignored_field(const char*) {
    reader.cursor = reader.token_count;  // every statement of the block is dropped
    return 1;
}

}  // namespace

int open_window(const char*) {
    reader.cursor = reader.token_count;
    enter_block(STATE_TEXT, ignored_field, nullptr);
    return 1;
}

// ---- Table B and the installation -----------------------------------------------------------

namespace {

using OpenHandler = int (*)(const char*);
struct BlockRow {
    const char* keyword;
    OpenHandler open;
};
// The offering order.
const BlockRow block_rows[] = {
    {"SKILL", open_skill},         {"WALL", open_map_object},   {"ACTOR", open_map_object},
    {"THING", open_map_object},    {"REGION", open_region},     {"ACTION", open_action},
    {"RULES", open_action},        {"TEXTURE", open_texture},   {"PALETTE", open_palette},
    {"PANEL", open_panel},         {"OVERLAY", open_overlay},   {"TEXT", open_text},
    {"SYNONYM", open_synonym},     {"DATABASE", open_database}, {"DATAVIEW", open_database},
    {"VIEW", open_view},           {"WINDOW", open_window},
};
KeywordRow block_keywords[sizeof block_rows / sizeof block_rows[0]];
KeywordTable block_table;

int block_definition(const char* keyword) {
    if (!block_table.rows) {
        for (size_t i = 0; i < sizeof block_rows / sizeof block_rows[0]; i++)
            block_keywords[i] = KeywordRow{block_rows[i].keyword, int(i)};
        block_table = KEYWORD_TABLE(block_keywords);
    }
    int row = find_keyword(block_table, keyword);
    if (row < 0) return 0;
    int before = error_store.error_count;
    return settle_definition(block_rows[row].open(keyword), before);
}

}  // namespace

void install_definition_handlers() {
    clear_statement_handlers();
    add_statement_handler(TABLE_LINE_DEFINITIONS, nullptr, line_definition);
    add_statement_handler(TABLE_BLOCK_DEFINITIONS, nullptr, block_definition);
    add_statement_handler(TABLE_TOP_LEVEL, nullptr, top_level_statement);
}

void reset_basic_blocks() {
    skill_target = nullptr;
    synonym_target = nullptr;
    palette_target = nullptr;
}

void reset_definitions() {
    reset_basic_blocks();
    reset_object_blocks();
    reset_texture_block();
    reset_display_blocks();
    reset_database_blocks();
    reset_world_script();
}
