// Script-visible members of each kind: one table per kind that says, for NAME.MEMBER, the
// member's type, its markers, where the cell lies in the record and, for flags, the bits.
// The action compiler resolves a member once at compile time through find_member; the
// interpreter then reads and writes the cell at the recorded offset without lookups.
//
// Cell address of a member of record r: p = (char*)r + offset; when MEMBER_INDIRECT is
// set, p = *(char**)p + indirect_offset (a null pointer there means "no cell": read 0).
// The cell is 64-bit (a pointer) when MEMBER_POINTER is set, else an int32 (a 22.10 number,
// a flag word for TYPE_FLAG, the target code for TYPE_TARGET).
#pragma once

#include <cstdint>

#include "script/front/kinds.h"

enum MemberMarker : uint8_t {
    MEMBER_READ_ONLY = 0x01,  // the "read-only" marker handed to the action compiler
    MEMBER_M2 = 0x02,         // the second marker
    MEMBER_POINTER = 0x04,    // 64-bit cell
    MEMBER_INDIRECT = 0x08,   // the cell lies in the record that `offset` points to
};

struct MemberSpec {
    const char* name;          // upper case
    int32_t type;              // a kind code (object reference) or a MemberType
    uint8_t markers;           // MemberMarker bits
    uint16_t offset;           // byte offset of the cell (or of the pointer) in the record
    uint16_t indirect_offset;  // with MEMBER_INDIRECT: offset in the pointed-to record
    uint32_t mask;             // TYPE_FLAG: the bit(s); all set and cleared together
};

struct MemberTable {
    const MemberSpec* members;
    int32_t count;
};

// The member table of a kind (KIND_OBJECT: every member of walls, things and actors, in
// the order common, things, walls). An empty table for kinds without members.
MemberTable member_table(int32_t kind);

// The first member of this kind with this name (compared without case), or null.
const MemberSpec* find_member(int32_t kind, const char* name);

// The cell of a member in a record; null when an indirect pointer is null.
void* member_cell(void* record, const MemberSpec* member);

// Reads a member as a script number: a number as stored; a flag as 1024 when any of its
// bits is set, else 0; a pointer member as 0 or 1024 (whether it is set).
int32_t member_read(void* record, const MemberSpec* member);
// Writes a number member or a flag (nonzero sets all its bits, 0 clears them). Pointer
// members are not written this way; returns false for them or when there is no cell.
bool member_write(void* record, const MemberSpec* member, int32_t value);

// Old member spellings of expressions: MY_X, MY_Y, MY_Z, MY_X1, MY_Y1, MY_Z1, MY_X2, MY_Y2
// and MY_Z2 (compared without case) are MY.X and so on. True and the dotted form in `out`
// for one of them; false (out untouched) for any other name.
bool old_member_spelling(const char* name, char out[8]);
