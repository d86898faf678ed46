// The frame tick: the phases of one frame in their fixed order, and the time model that
// decides how many simulation steps a frame runs (fixed steps of 1/sim_hz second in
// deterministic mode, one step of the measured frame time otherwise), with input latched
// between steps and the drawing interpolated between the last two steps.
#pragma once

#include <cstdint>

enum Phase : int {
    PHASE_INPUT, PHASE_SCHED, PHASE_FLIC, PHASE_OBJECTS, PHASE_TEXSND, PHASE_ANIM, PHASE_PLAYER,
    PHASE_VIEWS, PHASE_GLWORLD, PHASE_BUILD3D, PHASE_PANELS, PHASE_UIDRAW, PHASE_PRESENT, PHASE_NET,
    PHASE_COUNT
};
extern const char* const phase_names[PHASE_COUNT];

// Request word bits posted by instructions and served in the "anim" phase.
enum : int32_t {
    REQUEST_SAVE = 0x1, REQUEST_LOAD = 0x2, REQUEST_LEVEL = 0x4, REQUEST_MAP = 0x8,
    REQUEST_SAVE_INFO = 0x10, REQUEST_LOAD_INFO = 0x20, REQUEST_EXIT = 0x40, REQUEST_RELOAD = 0x80,
    REQUEST_SAVE_DEMO = 0x400, REQUEST_PLAY_DEMO = 0x800,
};

// The operations the frame tick calls. A phase whose subsystem does not fill its entry does
// nothing; every entry may be null.
struct PhaseOps {
    int (*input)();                 // phase "input": 0, or the quit code of a quit request
    void (*sched)();                // phase "sched": the scheduled actions
    int (*flic)();                  // phase "flic": nonzero while a full-screen FLIC owns the screen
    void (*objects)();              // phase "objects": the region pass and the world's objects
    void (*texsnd)();               // phase "texsnd": sound volumes
    void (*palette_anim)(int32_t time_corr);  // first half of phase "anim"
    int (*serve_request)(int32_t request);    // second half: the request's result
    void (*look)();                 // mouse look, joystick look, cursor lock
    void (*before_step)();          // the desync checker's hooks around the player phase
    void (*after_step)();
    void (*player)();               // phase "player"
    void (*views)();
    void (*glworld)();
    void (*build3d)();
    void (*panels)();
    void (*uidraw)();
    void (*present)();
    void (*net)();
    void (*demo_frame_start)();     // replay: read this frame's record; record: note the check value
    void (*demo_frame_end)();       // record: write this frame's record
    bool (*run_start_action)();     // runs a pending IF_START once; false when none is pending
    bool (*run_load_action)();      // runs IF_LOAD; false when none exists
    void (*eye_buffer)(bool on);
    // Interpolation of things and actors: save before a step, apply a fraction, restore.
    void (*save_objects)();
    void (*discard_objects)();
    void (*apply_objects)(int32_t fraction);
    void (*restore_objects)();
    void (*step_start)();           // the start of every simulation step (the world's move marks)
};
extern PhaseOps phase_ops;

struct FrameTiming {
    int32_t step_accumulator;   // tick units owed but not yet run as a step
    uint64_t clock_prev_ns;     // 0 = no previous deterministic frame
    uint64_t clock_carry;
    int32_t frame_sim_ms;
    int32_t ms_carry;
    int32_t mickey_x_acc, mickey_y_acc;
    uint8_t key_latch[128];
    uint8_t any_key_latch, flag_latch;
    int32_t key_any_latch;
    int32_t flic_blocking;
    int32_t request_result;
    uint64_t frame_timer_ms;    // when the frame timer was last restarted
    int32_t pending_request;    // the request word
    int32_t steps_this_frame;   // steps the last frame ran
};
extern FrameTiming frame_timing;

// Live input that the deterministic mode latches between steps (kept by the input code).
struct LiveInput {
    uint8_t key_pressed[128];   // the key went down since the last input phase
    uint8_t any_key_event;
    uint8_t held_flags;
};
extern LiveInput live_input;

int frame_tick();
void reset_frame_timing();
void restart_frame_timer();
// The first frame's picture at the end of building the level: the input phase and the views.
void first_picture();

// The player's pre-step state for interpolation.
struct PlayerSnapshot {
    bool valid;
    int32_t x, y, z, angle, tilt;
};
extern PlayerSnapshot player_snapshot;
