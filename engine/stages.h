// The operations of other subsystems that the start-up and shutdown stages call. Each
// subsystem fills its entries when it is built into the engine; an empty entry is skipped,
// so the stage order, texts and error checks hold whatever has been built.
#pragma once

#include <cstdint>

struct StageOps {
    void (*reset_world)();            // world state; also empties the error store
    void (*clear_input)();
    void (*start_input)();            // input in game mode, before the main loop
    int (*pump_events)();             // nonzero when it handled at least one event
    void (*detect_devices)(bool* mouse, bool* joystick);
    int (*open_audio)(int sound_code, int music_code);  // negative: out of memory or disk space
    const char* (*sound_device_name)();  // null when no sound device opened
    const char* (*music_device_name)();  // null when no music device opened
    const char* (*music_failure_reason)();
    void (*stop_audio)();
    void (*close_audio)();
    int (*open_archive)(const char* wrs_name);  // number of resources
    void (*close_archive)();
    int (*load_map)(const char* map_name);      // -2 counts as one more error
    void (*start_network)();
    void (*finish_loaded_objects)();
    void (*prepare_level)();
    int (*create_screen)();           // 0, or negative when the screen cannot be made
    void (*build_level)();
    int (*finish_level)();            // nonzero marks the build as failed
    void (*world_closing)();          // tells the loader the world is closing
    void (*demo_first_record)();
    void (*release_data_file)();
    void (*close_joystick)();
};
extern StageOps stage_ops;
