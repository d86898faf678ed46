// The world-level results of a script and the table of VIDEO modes.
#include "script/front/world_script.h"

#include "resources/light_tables.h"

#include <cstring>
#include <strings.h>

#include "engine/settings.h"
#include "platform/video.h"

WorldScript world_script;

void reset_world_script() {
    std::memset(&world_script, 0, sizeof world_script);
    world_script.clip_dist = DEFAULT_CLIP_DIST;
}

const char* save_directory() {
    if (settings.save_dir[0]) return settings.save_dir;
    return world_script.save_dir;
}

namespace {

struct VideoMode {
    const char* name;
    int32_t width, height, mode;
};

const VideoMode video_modes[] = {
    {"320x200", 320, 200, 13}, {"X320x240", 320, 240, 1},   {"X320x400", 320, 400, 5},
    {"S640x480", 640, 480, 25}, {"S800x600", 800, 600, 259},
};

}  // namespace

bool video_mode_of_name(const char* name, int32_t* width, int32_t* height, int32_t* mode) {
    if (!name) return false;
    for (const VideoMode& m : video_modes) {
        if (strcasecmp(m.name, name) != 0) continue;
        if (width) *width = m.width;
        if (height) *height = m.height;
        if (mode) *mode = m.mode;
        return true;
    }
    return false;
}

int create_script_screen() {
    // The light table belongs to the screen: the level's palette fills it when the level is finished.
    if (!allocate_light_table()) return -1;
    // Without a VIDEO statement there is no mode to set: the view then has no size, which
    // the renderer reports.
    if (world_script.video_mode == 0) return 0;
    int width = 0, height = 0;
    if (!screen_mode_size(world_script.video_mode, &width, &height)) return 0;
    return set_screen_mode(world_script.video_mode, width, height) < 0 ? -1 : 0;
}
