// Inside the interpreter: operand access shared by the dispatch loop, the handler
// routines and the scheduler.
#pragma once

#include <cstdint>
#include <cstring>

#include "script/exec/instruction.h"
#include "script/exec/interpreter.h"

// The scratch cell that operands with a null pointer on the way refer to (reset to 0 each
// time it is chosen).
inline void* scratch_cell() {
    exec.scratch_zero = 0;
    return &exec.scratch_zero;
}

// The address of operand k of an instruction (never null).
inline void* operand_cell(const Instruction* ip, int k) {
    static constexpr uint8_t synonym_bit[3] = {ADDR_OP1_SYNONYM, ADDR_OP2_SYNONYM, ADDR_OP3_SYNONYM};
    static constexpr uint8_t object_bit[3] = {ADDR_OP1_OBJECT, ADDR_OP2_OBJECT, ADDR_OP3_OBJECT};
    const OperandRef& r = ip->op[k];
    uint8_t f = ip->addr_flags;
    if (__builtin_expect(!(f & (synonym_bit[k] | object_bit[k])), 1)) return r.base ? r.base : scratch_cell();
    char* object = r.base ? *static_cast<char**>(r.base) : nullptr;
    if (!object) return scratch_cell();
    if (f & synonym_bit[k]) return object + r.offset_a;
    char* inner;
    std::memcpy(&inner, object + r.offset_a, sizeof inner);
    return inner ? inner + r.offset_b : scratch_cell();
}

inline int32_t read32(const void* cell) {
    int32_t v;
    std::memcpy(&v, cell, sizeof v);
    return v;
}
inline void write32(void* cell, int32_t v) { std::memcpy(cell, &v, sizeof v); }
inline void* read_pointer(const void* cell) {
    void* p;
    std::memcpy(&p, cell, sizeof p);
    return p;
}

// Operand k as a pointer (its 64-bit cell).
inline void* operand_pointer(const Instruction* ip, int k) { return read_pointer(operand_cell(ip, k)); }
// Operand k as a number (its 32-bit cell).
inline int32_t operand_value(const Instruction* ip, int k) { return read32(operand_cell(ip, k)); }

// The record that operand 1's cell lies in: the named object, or the object its synonym
// names now; null when there is none.
inline void* operand1_owner(const Instruction* ip) {
    if (ip->addr_flags & (ADDR_OP1_SYNONYM | ADDR_OP1_OBJECT)) return ip->op[0].base ? read_pointer(ip->op[0].base) : nullptr;
    return ip->owner;
}

// Whether two records come from the same definition (their identities name it).
bool same_identity(const char* a, const char* b);

// The post-write clamp of a skill's value cell into its MIN..MAX.
void clamp_skill_cell(void* cell);

// The text of a STRING operand (pointer), or "" when there is none.
inline const char* string_text(const void* string) {
    const auto* s = static_cast<const ScriptString*>(string);
    return s && s->text ? s->text : "";
}

// Line input (INKEY): starts it for a string of the running action's suspension; feeds the
// keyboard queue to the editor, true when the input has ended.
bool start_line_input(ScriptString* string);
bool feed_line_input(ScriptString* string);
void end_line_input();
void reset_line_input();
