// LEVEL, MAP and SCAN: releasing the current level, describing the new one (archive,
// script, map) and building it, and the request phase that runs them between steps.
#include "world/level_change.h"

#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/random.h"
#include "engine/settings.h"
#include "engine/stages.h"
#include "platform/video.h"
#include "resources/archive.h"
#include "resources/palette.h"
#include "script/exec/file_request.h"
#include "script/exec/interpreter.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"
#include "script/front/world_script.h"
#include "world/map_loader.h"
#include "world/templates.h"
#include "world/world.h"

namespace {

constexpr int RESULT_LEVEL = 2;
constexpr int RESULT_RELOADED = 1;
constexpr int RESULT_NO_PALETTE = -1;
constexpr int RESULT_MISSING = -3;
constexpr int RESULT_ERRORS = -5;

bool errors() { return error_store.error_count > 0; }

void copy_name(char* to, size_t size, const char* from) {
    if (!from) from = "";
    if (std::strlen(from) < size) std::snprintf(to, size, "%s", from);
}

// The words after "-d " are defined again and those after "-u " undefined, one a option.
void reapply_command_line(const char* line) {
    for (const char* p = line; *p; p++) {
        if (p[0] != '-' || !(p[1] == 'd' || p[1] == 'D' || p[1] == 'u' || p[1] == 'U') || p[2] != ' ') continue;
        bool defining = p[1] == 'd' || p[1] == 'D';
        const char* w = p + 3;
        while (*w == ' ') w++;
        char word[256];
        size_t n = 0;
        while (w[n] && w[n] != ' ' && n < sizeof word - 1) {
            word[n] = w[n];
            n++;
        }
        word[n] = 0;
        if (!n) continue;
        if (defining) {
            char* comma = std::strchr(word, ',');
            if (comma) *comma = 0;
            define(word, comma ? comma + 1 : word, TOKEN_WORD, DEFINE_COMMAND_LINE);
        } else {
            undefine(word);
        }
        p = w + n - 1;
    }
}

// The world's per-level state after its objects were released: nothing may point at them.
void forget_released_level() {
    reset_definitions();   // event slots, lists, node actors of the script
    reset_execution();     // context (MY, THERE), both queues, line input
    release_level_state();
    forget_current_palette();
    world.level_palette = nullptr;
    reset_map_loader();
}

// The script's definitions: the built-in text, then the file; the finish of the objects.
bool scan_definitions(const char* wdl) {
    install_definition_handlers();
    if (settings.internal_wdl) read_internal_wdl();
    if (!errors()) read_file(wdl);
    drop_defines(0);
    if (errors()) return false;
    finish_loaded_objects();
    return !errors();
}

// Steps shared by LEVEL and MAP once the description is complete.
int build_described_level() {
    world.level_palette = first_palette();
    prepare_level();
    if (errors()) return RESULT_ERRORS;
    if (stage_ops.create_screen && stage_ops.create_screen() < 0) return RESULT_ERRORS;
    engine_reseed(1);
    build_level();
    if (world_hooks.apply_screen_settings) world_hooks.apply_screen_settings();
    if (finish_level() != 0) return RESULT_NO_PALETTE;
    if (world_hooks.restart_view_and_sound) world_hooks.restart_view_and_sound();
    return RESULT_LEVEL;
}

bool exists(const char* name) { return name && *name && resource_exists(name) == 0; }

}  // namespace

int load_level(const char* wdl, const char* wrs, const char* map, uint32_t flags) {
    char kept_line[256] = "";
    ScriptString* line = (ScriptString*)world_refs.command_line;
    if (line && line->text) std::snprintf(kept_line, sizeof kept_line, "%s", line->text);
    reset_map_loader();
    loading_begin();
    loading_update("Loading the level");
    load_mode = (flags & RELEASE_LOCAL) ? 0u : uint32_t(LOAD_KEEP_LOCAL);

    // The new archive may hold the script; a level whose files are missing leaves the
    // current one playing, with its own archive.
    char previous_archive[sizeof archive.name];
    std::snprintf(previous_archive, sizeof previous_archive, "%s", archive.name);
    const char* archive_name = wrs && *wrs ? wrs : ".WRS";
    if (open_archive(archive_name) < 0) open_archive(".WRS");
    if (!exists(wdl) || (map && *map && !exists(map))) {
        if (previous_archive[0] && std::strcmp(previous_archive, archive.name) != 0) open_archive(previous_archive);
        load_mode = 0;
        return RESULT_MISSING;
    }

    copy_name(settings.wdl_name, sizeof settings.wdl_name, wdl);
    if (wrs && *wrs) copy_name(settings.wrs_name, sizeof settings.wrs_name, wrs);
    release_objects(flags | RELEASE_WORLD | RELEASE_RESOURCES);
    forget_released_level();
    reapply_command_line(kept_line);

    char map_name[13] = "";
    if (map && *map) {
        copy_name(map_name, sizeof map_name, map);
    } else {
        int found = read_mapfile_name(wdl, map_name);
        if (found < 0 || found == 255 || errors()) return RESULT_ERRORS;
        if (found != 1) map_name[0] = 0;
        if (map_name[0] && !exists(map_name)) return RESULT_ERRORS;
    }
    copy_name(settings.map_from_script, sizeof settings.map_from_script, map_name);

    if (create_predefined_synonyms() >= 0 && create_engine_variables() == 0) {
        line = (ScriptString*)world_refs.command_line;
        if (line) set_string_text(line, kept_line);
        if (load_map(map_name) == -2) error_store.error_count++;
    }
    if (errors()) return RESULT_ERRORS;

    load_mode |= LOAD_SCAN;
    bool scanned = scan_definitions(wdl);
    load_mode &= ~uint32_t(LOAD_SCAN);
    if (!scanned) return RESULT_ERRORS;
    if (map && *map) copy_name(settings.map_from_script, sizeof settings.map_from_script, map);
    int result = build_described_level();
    load_mode = 0;
    return result;
}

int load_map_only(const char* map) {
    if (!exists(map)) return RESULT_MISSING;
    loading_begin();
    loading_update("Loading the level");
    char map_name[13] = "";
    copy_name(map_name, sizeof map_name, map);
    copy_name(settings.map_from_script, sizeof settings.map_from_script, map_name);
    void* snapshot = world_hooks.snapshot_level_set ? world_hooks.snapshot_level_set() : nullptr;
    release_objects(RELEASE_WORLD);
    reset_world();
    forget_released_level();
    if (create_predefined_synonyms() >= 0) {
        if (load_map(map_name) == -2) error_store.error_count++;
    }
    if (errors()) return RESULT_ERRORS;
    // The resources of the level stay loaded: the script's definitions of them are read
    // again in place.
    load_mode = LOAD_REDEFINE | LOAD_KEEP_LOCAL;
    bool scanned = scan_definitions(settings.wdl_name);
    load_mode = 0;
    if (world_hooks.restore_level_set) world_hooks.restore_level_set(snapshot);
    if (!scanned) return RESULT_ERRORS;
    return build_described_level();
}

int reload_world(const char* wdl) {
    loading_begin();
    loading_update("Reloading the world");
    // The actions are compiled again: no pending run may resume inside an old body, and
    // the event slots are filled again by the reading.
    if (release_hooks.cancel_pending_runs) release_hooks.cancel_pending_runs();
    std::memset(world_script.key, 0, sizeof world_script.key);
    std::memset(world_script.each_sec, 0, sizeof world_script.each_sec);
    std::memset(world_script.each_tick, 0, sizeof world_script.each_tick);
    world_script.if_left = world_script.if_middle = world_script.if_right = nullptr;
    world_script.if_anykey = world_script.if_joy4 = world_script.if_klick = world_script.if_mstop = nullptr;
    load_mode = LOAD_REDEFINE;
    install_definition_handlers();
    if (settings.internal_wdl) read_internal_wdl();
    if (!errors()) read_file(wdl && *wdl ? wdl : settings.wdl_name);
    drop_defines(0);
    load_mode = 0;
    if (errors()) return RESULT_ERRORS;
    finish_loaded_objects();
    world.level_palette = first_palette();
    if (world.level_palette) apply_palette(world.level_palette, PALETTE_BLEND);
    if (errors()) return RESULT_ERRORS;
    build_level();
    return RESULT_RELOADED;
}

int serve_world_request(int32_t request) {
    if (world.closing) return 0;
    const char* name = file_request.name;
    if (request & REQUEST_LEVEL) {
        const char* wrs = file_request.second[0] ? file_request.second : settings.wrs_name;
        char wdl[sizeof file_request.name];
        char archive_copy[sizeof file_request.second];
        std::snprintf(wdl, sizeof wdl, "%s", name);
        std::snprintf(archive_copy, sizeof archive_copy, "%s", wrs);
        return load_level(wdl, archive_copy, nullptr, 0);
    }
    if (request & REQUEST_MAP) {
        char map[sizeof file_request.name];
        std::snprintf(map, sizeof map, "%s", name[0] ? name : settings.map_from_script);
        return load_map_only(map);
    }
    if (request & REQUEST_RELOAD) {
        char wdl[sizeof file_request.name];
        std::snprintf(wdl, sizeof wdl, "%s", name[0] ? name : settings.wdl_name);
        return reload_world(wdl);
    }
    return world_hooks.serve_other_request ? world_hooks.serve_other_request(request) : 0;
}
