// The compiled form of an action: a singly linked list of Instruction records, one heap
// record per statement, with every operand resolved at compile time to a cell address (or
// to a synonym plus offsets, for the few operands that follow an object chosen at run
// time). The interpreter walks the list without lookups.
//
// Operand addressing, chosen at compile time and recorded in addr_flags:
//   direct                      the cell at `base` (a variable, a skill's value, a field
//                               of a named object, or a literal cell of the instruction)
//   through a synonym           (pointer held in the cell at `base`) + offset_a
//   through synonym and object  (pointer at offset_a of that object) + offset_b
// A null pointer on the way makes the operand refer to the interpreter's scratch zero cell.
#pragma once

#include <cstdint>

#include "script/exec/expr.h"
#include "script/exec/opcodes.h"
#include "script/front/records.h"

struct Label;

// Handler routines of the keyword table get the operands' values: a literal cell or a
// pointer operand as its 64-bit value, any other operand as its sign-extended 32 bits.
using HandlerRoutine = int64_t (*)(int64_t a, int64_t b, int64_t c);
// A world routine that puts a texture into a slot of its owner (wall or object texture,
// region floor or ceiling).
using TextureRoutine = void (*)(void* owner, Texture* texture, int32_t mode);

struct OperandRef {
    void* base;        // the cell (direct) or the cell holding the synonym's object
    int32_t offset_a;
    int32_t offset_b;
};

enum AddrFlag : uint8_t {
    ADDR_OP1_SYNONYM = 0x01,
    ADDR_OP2_SYNONYM = 0x02,
    ADDR_OP1_OBJECT = 0x04,      // through a synonym and an object pointer
    ADDR_OP2_OBJECT = 0x08,
    ADDR_OP3_OBJECT = 0x10,
    ADDR_OP3_SYNONYM = 0x20,
    ADDR_WAITING = 0x40,         // on an action's first instruction: an in-place wait runs
    ADDR_SOUND_AT_OBJECT = 0x80, // PLAY_SOUND: operand 3 is the object the sound plays at
    ADDR_MODES = 0x3F,
};

enum LinkFlag : uint8_t {
    LINK_RESOLVE = 0x04,  // the target is resolved by the link pass
    LINK_CLAMP = 0x08,    // after writing operand 1, clamp the skill into its MIN..MAX
};

enum WidthFlag : uint8_t {
    WIDTH_OP1 = 0x01,  // operand 1 holds a 64-bit value (a pointer)
    WIDTH_OP2 = 0x02,
    WIDTH_OP3 = 0x04,
};

// Marks the compiler leaves for the interpreter (not part of the fixed encoding).
enum ExecMark : uint8_t {
    EXEC_LOOK_OWNED = 0x01,   // operand 1 is PLAYER_ANGLE or PLAYER_TILT
    EXEC_LITERAL1 = 0x02,     // operand k is a literal cell of the instruction
    EXEC_LITERAL2 = 0x04,
    EXEC_LITERAL3 = 0x08,
    EXEC_SET_ALL_INDIRECT = 0x10,  // SET_ALL: the field lies behind a pointer of the record
    EXEC_OBJECT_FLAGS = 0x20,      // a flag instruction on a map object's flag word
};

// Shapes of a compiled expression that the interpreter runs without walking the tree; the
// compiler only picks one where the result is the tree's result by construction.
enum FastForm : uint8_t {
    FAST_NONE = 0,
    FAST_LT, FAST_GT, FAST_LE, FAST_GE, FAST_EQ, FAST_NE,  // IF/WHILE: *fast_a CMP *fast_b
    FAST_ADD,          // RULE: *fast_dest = *fast_a + *fast_b
    FAST_SUM_PRODUCT,  // RULE: *fast_dest = *fast_a + *fast_b * *fast_c (no minimum-unit rule)
};

// How the interpreter's loop runs an instruction: the fast forms of linked instructions
// directly, everything else (and any instruction of an action whose body was cut short)
// by its opcode.
enum Dispatch : uint8_t {
    DISPATCH_BY_OPCODE = 0,
    DISPATCH_RULE_ADD,
    DISPATCH_RULE_SUM_PRODUCT,
    DISPATCH_IF_LT, DISPATCH_IF_GT, DISPATCH_IF_LE, DISPATCH_IF_GE, DISPATCH_IF_EQ, DISPATCH_IF_NE,
    DISPATCH_JUMP,
};

struct Instruction {
    Instruction* next;       // the following instruction, null at the end
    int32_t opcode;          // Opcode
    uint8_t addr_flags;      // AddrFlag
    uint8_t link_flags;      // LinkFlag
    uint8_t width_flags;     // WidthFlag
    uint8_t exec_marks;      // ExecMark
    union {
        Instruction* jump;   // jump target (null until the link pass resolves a label)
        int64_t value;       // wait counter, database field index, SET_ALL's kept opcode
        const char* text;    // EXIT: the text of the exit message
    } target;
    union {
        void* ptr;
        uint64_t word;       // flag mask, file request mode, play-once value
        const ExprTree* tree;
        HandlerRoutine routine;
        TextureRoutine texture;
    } aux;
    OperandRef op[3];
    int64_t cell[3];         // literal cells of the operands
    void* owner;             // operand 1 in direct mode: the record its cell belongs to
    int32_t member_a, member_b;  // SET_ALL: the field's offsets inside the owner
    Label* label;            // the label a jump names, for the link pass only (never read
                             // when running: an action whose body was cut short keeps null
                             // targets, which end the run)
    uint8_t fast;            // FastForm
    uint8_t dispatch;        // Dispatch: how the interpreter runs it (set by the link pass)
    int32_t fast_const[3];   // constants the fast form reads
    int32_t* fast_dest;
    const int32_t* fast_a;
    const int32_t* fast_b;
    const int32_t* fast_c;
    // The inline area (an expression tree, a copied file name and its string record)
    // follows the record in the same allocation.
};

inline unsigned char* instruction_area(Instruction* ip) { return reinterpret_cast<unsigned char*>(ip + 1); }

// A label of the action being compiled. A numeric label counts instructions instead.
struct Label {
    char name[32];
    bool numeric;
    int32_t count;          // numeric: the instruction count
    bool defined;
    bool at_head;           // stands before every instruction
    Instruction* after;     // the instruction it follows
    Label* next;
};
