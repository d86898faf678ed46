// The predefined engine variables: 237 skills created before the world description is
// read, each bound to an engine slot. The engine reads and writes a variable through its
// slot and skips a step whose variable does not exist, so every access goes through the
// helpers below, which do nothing for an unbound slot.
#pragma once

#include <cstdint>

#include "script/front/records.h"

enum EngineVarSlot : int32_t {
#define ENGINE_VAR(name, value, flags) SLOT_##name,
#include "script/front/engine_var_list.h"
#undef ENGINE_VAR
    SLOT_COUNT
};
static_assert(SLOT_COUNT == 237, "the engine has 237 predefined variables");

// The slot table: the skill bound to each slot, or null when the variable does not exist.
extern Skill* engine_vars[SLOT_COUNT];

struct EngineVarSpec {
    const char* name;
    int32_t value;   // default, 22.10
    uint8_t flags;   // SkillFlag bits ORed in at creation
};
extern const EngineVarSpec engine_var_specs[SLOT_COUNT];

inline int32_t* var_ptr(int32_t slot) {
    Skill* skill = (slot >= 0 && slot < SLOT_COUNT) ? engine_vars[slot] : nullptr;
    return skill ? &skill->value : nullptr;
}
inline bool var_bound(int32_t slot) { return var_ptr(slot) != nullptr; }
// False (and *out untouched) when the variable does not exist.
inline bool var_get(int32_t slot, int32_t* out) {
    int32_t* cell = var_ptr(slot);
    if (!cell) return false;
    *out = *cell;
    return true;
}
// The value, or `fallback` when the variable does not exist.
inline int32_t var_value(int32_t slot, int32_t fallback = 0) {
    int32_t* cell = var_ptr(slot);
    return cell ? *cell : fallback;
}
// Writes when bound; answers whether it was.
inline bool var_set(int32_t slot, int32_t value) {
    int32_t* cell = var_ptr(slot);
    if (!cell) return false;
    *cell = value;
    return true;
}
// Adds with 32-bit wrap-around when bound.
inline bool var_add(int32_t slot, int32_t delta) {
    int32_t* cell = var_ptr(slot);
    if (!cell) return false;
    *cell = (int32_t)((uint32_t)*cell + (uint32_t)delta);
    return true;
}

// The slot of a predefined variable's name (compared without case), or -1.
int32_t engine_var_slot(const char* name);

// Creates the 237 skills (unless the loading mode says they exist already), sets each to
// its default, ORs in its flags and binds its slot; a LOCAL skill is left as it is while
// the loading mode keeps local skills. Finally NODE receives the "-NODE" value.
// 0, or the negative result of the first creation that failed.
int create_engine_variables();
// Empties every slot (the skills themselves belong to the catalogue).
void unbind_engine_variables();
