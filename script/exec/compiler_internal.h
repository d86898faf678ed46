// Inside the action compiler: the operand resolver, the keyword table, the handler
// routines the table names, and the fast forms of expressions.
#pragma once

#include <cstdint>

#include "script/exec/instruction.h"

// Expected kinds of an operand besides the catalogue kinds and member types.
enum ExpectKind : int32_t {
    EXPECT_NONE = 0,       // the row has no such operand
    EXPECT_ANY = -1,       // any kind (SET's destination, comparisons)
    EXPECT_LABEL = -2,     // a label name (comparisons' third operand)
    EXPECT_NUMBER = TYPE_NUMBER,
};

// What a value read through the operand is.
enum ValueKind : uint8_t {
    VALUE_NUMBER = 0,      // a 22.10 number (literal, skill, number member, input cell)
    VALUE_FLAG,            // bits of a flag word (`mask`)
    VALUE_TARGET,          // a movement target code
    VALUE_OBJECT_TEX,      // the texture slot of a map object
    VALUE_FLOOR_TEX,       // a region's floor texture
    VALUE_CEIL_TEX,        // a region's ceiling texture
    VALUE_POINTER,         // an object reference of `kind`
    VALUE_TARGET_CALL,     // DROP, PLACE or STICK given to a TARGET (`special` 1..3)
    VALUE_TARGET_VERTEX,   // VERTEX given to a TARGET
};

enum OperandMode : uint8_t { MODE_DIRECT = 0, MODE_SYNONYM = 1, MODE_SYNONYM_OBJECT = 2 };

struct Operand {
    bool literal;          // the value goes into a literal cell of the instruction
    int64_t value;         // literal value (number or pointer)
    uint8_t mode;          // OperandMode for cells
    void* base;
    int32_t offset_a;
    int32_t offset_b;
    int32_t kind;          // object kind of a pointer value (KIND_NONE: any); 0 for numbers
    uint8_t value_kind;    // ValueKind
    bool pointer;          // the cell holds 64 bits
    uint32_t mask;         // VALUE_FLAG
    uint8_t markers;       // MEMBER_READ_ONLY, MEMBER_M2
    Skill* skill;          // a skill's value cell: the skill (post-write clamp)
    void* owner;           // a member of a named object: the record
    int32_t owner_kind;    // a member: the kind of the object (or the synonym's type)
    const char* member;    // the member name, when the operand is a member
    bool is_member;
    bool string_literal;   // a quoted token made into a new STRING
    int32_t special;       // VALUE_TARGET_CALL: 1 DROP, 2 PLACE, 3 STICK
};

// Resolves one operand token with the kind expected there. `quoted` says whether the
// token was a string. With `report` false an unknown name is not reported. False when the
// token cannot be resolved (reported unless `report` is false) or does not fit the kind.
bool resolve_operand(const char* token, bool quoted, int32_t expected, Operand* out, bool report = true);
// Whether a resolved operand can stand where `expected` is asked for (reports nothing).
bool operand_fits(const Operand& operand, int32_t expected);
// A pointer kind (64-bit values) as SET copies them.
bool is_pointer_kind(int32_t kind);
// The numeric value of a text that is a number throughout (an optional sign, strtod
// syntax), as a skill value; false for anything else.
bool literal_number(const char* text, int32_t* value);

// ---- Keyword table ----------------------------------------------------------------------

enum RowOption : uint32_t {
    ROW_WRITES = 0x008,
    ROW_FORMULA = 0x010,
    ROW_NO_EFFECT = 0x020,
    ROW_HANDLER = 0x040,
    ROW_FILE_NAME = 0x080,
    ROW_COMPARISON = 0x100,
};

struct KeywordRow {
    const char* keyword;
    int32_t opcode;            // for rows that are not handler rows
    HandlerRoutine routine;    // handler rows
    int32_t arity;             // operands the row has (for the choice of overloads)
    int32_t kinds[3];          // ExpectKind or a catalogue kind, per operand
    uint32_t options;          // RowOption
    int32_t mode;              // file request mode
    const char* defaults[3];   // texts of missing operands, or null
};

extern const KeywordRow keyword_rows[];
extern const int keyword_row_count;

// ---- Handler routines (the interpreter's side of the handler rows) ------------------------

int64_t handler_find(int64_t, int64_t, int64_t);
int64_t handler_set_string(int64_t, int64_t, int64_t);
int64_t handler_add_string(int64_t, int64_t, int64_t);
int64_t handler_to_string(int64_t, int64_t, int64_t);
int64_t handler_set_info(int64_t, int64_t, int64_t);
int64_t handler_stop_demo(int64_t, int64_t, int64_t);
int64_t handler_push(int64_t, int64_t, int64_t);
int64_t handler_stop_sound(int64_t, int64_t, int64_t);
int64_t handler_stop_flic(int64_t, int64_t, int64_t);
int64_t handler_play_flic(int64_t, int64_t, int64_t);
int64_t handler_printfile(int64_t, int64_t, int64_t);
int64_t handler_print_string(int64_t, int64_t, int64_t);
int64_t handler_print_value(int64_t, int64_t, int64_t);
int64_t handler_play_cd(int64_t, int64_t, int64_t);
int64_t handler_beep(int64_t, int64_t, int64_t);
int64_t handler_next_my(int64_t, int64_t, int64_t);
int64_t handler_next_there(int64_t, int64_t, int64_t);
int64_t handler_next_my_there(int64_t, int64_t, int64_t);
int64_t handler_gfx_clear(int64_t, int64_t, int64_t);
int64_t handler_gfx_map(int64_t, int64_t, int64_t);
int64_t handler_gfx_print(int64_t, int64_t, int64_t);
int64_t handler_gfx_lineto(int64_t, int64_t, int64_t);
int64_t handler_fade_pal(int64_t, int64_t, int64_t);
int64_t handler_inflate(int64_t, int64_t, int64_t);
int64_t handler_explode(int64_t, int64_t, int64_t);
int64_t handler_shoot(int64_t, int64_t, int64_t);
int64_t handler_shoot_at(int64_t, int64_t, int64_t);
int64_t handler_locate(int64_t, int64_t, int64_t);
int64_t handler_locate_object(int64_t, int64_t, int64_t);
int64_t handler_place(int64_t, int64_t, int64_t);
int64_t handler_drop(int64_t, int64_t, int64_t);
int64_t handler_shake(int64_t, int64_t, int64_t);
int64_t handler_lift(int64_t, int64_t, int64_t);
int64_t handler_tilt(int64_t, int64_t, int64_t);
int64_t handler_rotate(int64_t, int64_t, int64_t);
int64_t handler_build(int64_t, int64_t, int64_t);
int64_t handler_unbuild(int64_t, int64_t, int64_t);
int64_t handler_set_skill(int64_t, int64_t, int64_t);

// The world routines that SET of a texture slot compiles into (opcode 2).
void set_texture_of_object(void* owner, Texture* texture, int32_t mode);
void set_texture_of_floor(void* owner, Texture* texture, int32_t mode);
void set_texture_of_ceiling(void* owner, Texture* texture, int32_t mode);

// ---- Fast forms ---------------------------------------------------------------------------

// Picks a fast form for a compiled condition (OP_IF) or rule (OP_RULE) whose tree lies in
// the instruction; leaves FAST_NONE when the tree has another shape.
void choose_fast_form(Instruction* ip);

// ---- Link pass ----------------------------------------------------------------------------

// Resolves the jump targets of an action's list; reports undefined labels.
void link_action(Action* action);
