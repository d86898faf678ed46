// Kind codes of catalogue objects and the type codes of script-visible members.
// The kind stored with every name is also the type code of a member that refers to an
// object of that kind; the member-only type codes (feature, number, flag bit, target and
// the three texture slots) never name an object.
#pragma once

#include <cstdint>

enum Kind : int32_t {
    KIND_NONE = 0,       // "any kind" in lookups
    KIND_OBJECT = 1,     // any map object (wall, thing or actor), e.g. MY
    KIND_WALL = 2,
    KIND_THING = 3,      // thing or actor
    KIND_REGION = 4,
    KIND_TEXTURE = 5,
    KIND_TEXT = 6,
    KIND_STRING = 7,
    KIND_ACTION = 8,
    KIND_PALETTE = 9,
    KIND_FONT = 10,
    KIND_FLIC = 11,
    KIND_SKILL = 12,
    KIND_BMAP = 13,
    KIND_WAY = 14,
    KIND_SOUND = 15,     // sound or music
    KIND_OVERLAY = 16,
    KIND_OVLY = 17,      // overlay bitmap
    KIND_PANEL = 18,
    KIND_SYNONYM = 19,
    KIND_DATABASE = 21,
    KIND_DATAVIEW = 22,
    KIND_MODEL = 24,
    KIND_VIEW = 33,
    KIND_UNTYPED = 34,   // a synonym's type until TYPE sets it
};

// Member type codes besides the kind codes.
enum MemberType : int32_t {
    TYPE_FEATURE = 23,     // a variable reference kept in a skill slot's feature cell
    TYPE_NUMBER = 25,      // a 22.10 number
    TYPE_FLAG = 26,        // bit(s) of a flag word; reads 1.0 when any bit is set
    TYPE_TARGET = 27,      // the movement target of a thing or actor
    TYPE_FLOOR_TEX = 30,   // a region's floor texture (changed through the world's routine)
    TYPE_CEIL_TEX = 31,    // a region's ceiling texture
    TYPE_OBJECT_TEX = 32,  // the texture of a map object
};

// True for the kinds whose references are pointers (64-bit cells): every object kind.
inline bool kind_is_pointer(int32_t type) {
    return (type >= KIND_OBJECT && type <= KIND_SYNONYM && type != KIND_SKILL) ||
           type == KIND_DATABASE || type == KIND_DATAVIEW || type == KIND_MODEL ||
           type == KIND_VIEW || type == TYPE_FEATURE || type == TYPE_FLOOR_TEX ||
           type == TYPE_CEIL_TEX || type == TYPE_OBJECT_TEX;
}

// The kind's name as scripts write it ("WALL", "SKILL", ...), "?" for an unknown code.
const char* kind_name(int32_t kind);
