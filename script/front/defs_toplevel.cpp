// The top-level statements, offered after table A: search paths, INCLUDE, MAPFILE, the
// renderer's settings, ways, the video mode, BIND and the save folder.
#include <cstdio>
#include <cstring>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "resources/file_lookup.h"
#include "script/front/defs_internal.h"
#include "script/front/world_script.h"

namespace {

int path_statement() {
    const char* dir = nullptr;
    if (take_file(&dir) < 0) return -1;
    return add_search_dir(dir) ? 1 : -1;
}

int include_statement() {
    const char* name = nullptr;
    if (take_file(&name) < 0) return -1;
    char file[64];
    // The token lives in the text being read; a name that does not fit is refused rather than
    // cut into the name of another file.
    if (std::strlen(name) >= sizeof file) return field_error("include_statement");
    std::snprintf(file, sizeof file, "%s", name);
    int result = read_file(file);
    if (result == -2) return -2;
    return result < 0 ? -1 : 1;
}

int mapfile_statement() {
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    if (std::strlen(name) > 12) {
        console_message("\r\n  MAPFILE: a map name has at most 12 characters");
        return field_error("mapfile_statement");
    }
    std::snprintf(world_script.map_name, sizeof world_script.map_name, "%s", name);
    return 1;
}

int integer_setting(int32_t* cell) {
    int32_t v = 0;
    if (take_integer(&v) < 0) return -1;
    *cell = v;
    return 1;
}

int number_setting(int32_t* cell) {
    int32_t v = 0;
    if (take_number(&v) < 0) return -1;
    *cell = v;
    return 1;
}

int way_statement() {
    const char* name = nullptr;
    if (take_token(&name) < 0) return -1;
    void* way = nullptr;
    int before = error_store.error_count;
    if (create_object(name, KIND_WAY, &way) < 0 || !way) {
        if (error_store.error_count == before) field_error("way_statement");
        return -1;
    }
    return 1;
}

int video_statement() {
    const char* mode = nullptr;
    if (take_token(&mode) < 0) return -1;
    int32_t width = 0, height = 0, number = 0;
    // A mode that is not in the table keeps the previous screen.
    if (video_mode_of_name(mode, &width, &height, &number)) {
        world_script.screen_width = width;
        world_script.screen_height = height;
        world_script.video_mode = number;
    }
    return 1;
}

int bind_statement() {
    const char* file = nullptr;
    return take_file(&file) < 0 ? -1 : 1;  // accepted; the name is dropped
}

int savedir_statement() {
    const char* dir = nullptr;
    if (take_file(&dir) < 0) return -1;
    if (settings.save_dir[0]) return 1;  // "-DIR" wins
    if (std::strlen(dir) > 126) {
        console_message("\r\n  SAVEDIR: a save folder has at most 126 characters");
        return field_error("savedir_statement");
    }
    std::snprintf(world_script.save_dir, sizeof world_script.save_dir, "%s", dir);
    return 1;
}

enum TopCode { T_PATH, T_INCLUDE, T_MAPFILE, T_RAROD, T_DITHER, T_CLIP_DIST, T_LIGHT_ANGLE, T_WAY, T_VIDEO, T_BIND, T_SAVEDIR };

const KeywordRow top_rows[] = {
    {"PATH", T_PATH},       {"BMAP_PATH", T_PATH},        {"SOUND_PATH", T_PATH},   {"MUSIC_PATH", T_PATH},
    {"INCLUDE", T_INCLUDE}, {"MAPFILE", T_MAPFILE},       {"RAROD", T_RAROD},       {"DITHER", T_DITHER},
    {"CLIP_DIST", T_CLIP_DIST}, {"LIGHT_ANGLE", T_LIGHT_ANGLE}, {"WAY", T_WAY},     {"VIDEO", T_VIDEO},
    {"BIND", T_BIND},       {"SAVEDIR", T_SAVEDIR},
};
KeywordTable top_table = KEYWORD_TABLE(top_rows);

int top_statement(const char* keyword) {
    WorldScript& w = world_script;
    int code = find_keyword(top_table, keyword);
    // Every form takes one value: a statement holding more has run into the next one.
    if (code < 0 || tokens_after_keyword() > 1) return 0;
    switch (code) {
    case T_PATH: return path_statement();
    case T_INCLUDE: return include_statement();
    case T_MAPFILE: return mapfile_statement();
    case T_RAROD: return integer_setting(&w.rarod);
    case T_DITHER: return integer_setting(&w.dither);
    case T_CLIP_DIST: return number_setting(&w.clip_dist);
    case T_LIGHT_ANGLE: return number_setting(&w.light_angle);
    case T_WAY: return way_statement();
    case T_VIDEO: return video_statement();
    case T_BIND: return bind_statement();
    case T_SAVEDIR: return savedir_statement();
    default: return 0;
    }
}

}  // namespace

int top_level_statement(const char* keyword) {
    int before = error_store.error_count;
    return settle_definition(top_statement(keyword), before);
}

void screen_size(int32_t* width, int32_t* height) {
    *width = world_script.screen_width;
    *height = world_script.screen_height;
}
