// The predefined engine variables: their table, their creation and the slot table.
#include "script/front/engine_vars.h"

#include "engine/settings.h"
#include "script/front/catalogue.h"

Skill* engine_vars[SLOT_COUNT];

const EngineVarSpec engine_var_specs[SLOT_COUNT] = {
#define ENGINE_VAR(name, value, flags) {#name, value, flags},
#include "script/front/engine_var_list.h"
#undef ENGINE_VAR
};

static bool same_text(const char* a, const char* b) {
    for (;; a++, b++) {
        char x = *a >= 'a' && *a <= 'z' ? char(*a - 32) : *a;
        char y = *b >= 'a' && *b <= 'z' ? char(*b - 32) : *b;
        if (x != y) return false;
        if (!x) return true;
    }
}

int32_t engine_var_slot(const char* name) {
    if (!name) return -1;
    for (int32_t i = 0; i < SLOT_COUNT; i++)
        if (same_text(engine_var_specs[i].name, name)) return i;
    return -1;
}

int create_engine_variables() {
    int result = 0;
    for (int32_t slot = 0; slot < SLOT_COUNT; slot++) {
        const EngineVarSpec& wanted = engine_var_specs[slot];
        Skill* skill = find_skill(wanted.name);
        if (!skill) {
            int made = create_skill(wanted.name);
            NameEntry* e = catalogue.current_entry;
            if (made < 0 && !(e && e->kind == KIND_SKILL && e->object)) {
                if (result == 0) result = made == -2 ? -2 : -1;
                engine_vars[slot] = nullptr;
                continue;
            }
            skill = (Skill*)e->object;
        }
        bool keep = (load_mode & LOAD_KEEP_LOCAL) && (skill->flags & SKILL_LOCAL);
        if (!keep) {
            skill->value = wanted.value;
            skill->flags |= wanted.flags;
        }
        skill->slot = (int16_t)slot;
        engine_vars[slot] = skill;
    }
    var_set(SLOT_NODE, settings.node);
    return result;
}

void unbind_engine_variables() {
    for (Skill*& s : engine_vars) {
        if (s) s->slot = -1;
        s = nullptr;
    }
}
