// The fresh world every run of the map fuzz targets starts from: settings, catalogue,
// reader, error store, level state and map loader reset, the engine variables made again,
// and the console caught so that the reports cost nothing.
#pragma once

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/settings.h"
#include "script/front/catalogue.h"
#include "script/front/reader.h"
#include "world/map_loader.h"
#include "world/templates.h"
#include "world/world.h"

inline void prepare_fuzz_world() {
    static char console_buffer[4096];
    static ConsoleCapture capture;
    static bool prepared = false;
    if (!prepared) {
        prepared = true;
        capture = ConsoleCapture{console_buffer, int(sizeof console_buffer), 0, false};
        console_set_capture(&capture);
    }
    capture.length = 0;
    reset_settings();
    load_mode = 0;
    free_templates();
    catalogue_reset();
    reset_reader();
    clear_errors();
    error_store.report_armed = 1;
    release_level_state();
    reset_map_loader();
    create_engine_variables();
}
