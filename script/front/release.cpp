// Releasing catalogue objects by category, and the catalogue's start and reset.
#include <cstdlib>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "script/front/catalogue_internal.h"
#include "script/front/reader.h"

uint32_t load_mode;

// Whether a skill goes with these categories.
static bool skill_released(const Skill* s, uint32_t categories) {
    bool global = s->flags & SKILL_GLOBAL;
    bool local = s->flags & SKILL_LOCAL;
    bool player = s->flags & SKILL_PLAYER;
    if (!(categories & RELEASE_SKILLS))
        return (global && (categories & RELEASE_GLOBAL)) || (local && (categories & RELEASE_LOCAL));
    if (categories & RELEASE_LOCAL) {
        if (!global) return true;
        return (categories & RELEASE_GLOBAL) || local || player;
    }
    if (global) return categories & RELEASE_GLOBAL;
    if (local) return false;
    return true;  // untyped and PLAYER skills
}

static void release_skills(uint32_t categories) {
    Skill** link = &catalogue.skills;
    while (*link) {
        Skill* s = *link;
        if (skill_released(s, categories)) {
            *link = s->next;
            remove_names_of_object(s->name, s);
            free_record(KIND_SKILL, s);
        } else {
            link = &s->next;
        }
    }
    if (!catalogue.skills) catalogue.skill_count = 0;
}

static bool is_resource_kind(int32_t kind) {
    return kind == KIND_FONT || kind == KIND_FLIC || kind == KIND_BMAP || kind == KIND_SOUND ||
           kind == KIND_OVLY;
}

static bool resources_kept() { return (load_mode & LOAD_REDEFINE) != 0; }

static bool name_released(const NameEntry* e, uint32_t categories) {
    if (is_resource_kind(e->kind)) return (categories & RELEASE_RESOURCES) && !resources_kept();
    if (e->kind == KIND_SKILL || e->kind == KIND_STRING) return false;
    return categories & RELEASE_WORLD;
}

// A string entry goes with its record; string records are all freed with the world.
static bool string_name(const NameEntry* e, uint32_t) { return e->kind == KIND_STRING; }

static void release_world() {
    if (release_hooks.relink_rows) release_hooks.relink_rows();
    if (release_hooks.release_level) release_hooks.release_level();
    free_kind_list(KIND_WALL);  // walls, things and actors share one list
    free_vertices();
    free_kind_list(KIND_WAY);
    free_kind_list(KIND_REGION);
    free_kind_list(KIND_ACTION);
    free_kind_list(KIND_PANEL);  // the display list: panels, texts, overlays
    free_kind_list(KIND_PALETTE);
    free_kind_list(KIND_STRING);
    remove_names_where(string_name, 0);
    free_kind_list(KIND_TEXTURE);
    free_kind_list(KIND_SYNONYM);
    free_kind_list(KIND_VIEW);
    free_kind_list(KIND_DATAVIEW);
    free_kind_list(KIND_DATABASE);
    free_kind_list(KIND_MODEL);
    std::memset(&world_refs, 0, sizeof world_refs);
    drop_defines(0);
    if (catalogue.pending_message) {
        console_message("\n%s", catalogue.pending_message);
        std::free(catalogue.pending_message);
        catalogue.pending_message = nullptr;
    }
}

static void release_resources() {
    if (resources_kept()) return;
    free_kind_list(KIND_SOUND);
    free_kind_list(KIND_BMAP);
    free_kind_list(KIND_OVLY);
    free_kind_list(KIND_FONT);
    free_kind_list(KIND_FLIC);
    if (release_hooks.release_bitmap_cache) release_hooks.release_bitmap_cache();
}

void release_objects(uint32_t categories) {
    if (release_hooks.stop_sounds) release_hooks.stop_sounds();
    if (release_hooks.stop_flic) release_hooks.stop_flic();
    if (release_hooks.cancel_pending_runs) release_hooks.cancel_pending_runs();
    if (categories & RELEASE_WORLD) release_world();
    if (categories & RELEASE_RESOURCES) release_resources();
    release_skills(categories);
    remove_names_where(name_released, categories);
    if (categories & RELEASE_ALL) {
        drop_defines(1);
        if (release_hooks.stop_demo) release_hooks.stop_demo();
        if (release_hooks.close_network) release_hooks.close_network();
        if (release_hooks.close_archive) release_hooks.close_archive();
    }
}

void release_everything() { release_objects(RELEASE_EVERYTHING); }

void catalogue_init() { error_context.release_everything = release_everything; }

void catalogue_reset() {
    release_everything();
    // What release_everything leaves by design (names of kept resources, skills that a
    // category keeps) cannot remain across a reset: drop it all.
    uint32_t mode = load_mode;
    load_mode = 0;
    release_objects(RELEASE_EVERYTHING);
    load_mode = mode;
    unbind_engine_variables();
    remove_names_where([](const NameEntry*, uint32_t) { return true; }, 0);
    std::memset(&catalogue, 0, sizeof catalogue);
    catalogue_init();
}
