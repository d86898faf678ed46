// The frame tick and its time model. All times are tick units (1024 a tick, 16384 a second).
#include "engine/frame.h"

#include <cstring>

#include "engine/clock.h"
#include "engine/engine.h"
#include "engine/settings.h"
#include "script/front/engine_vars.h"
#include "script/front/input_cells.h"

const char* const phase_names[PHASE_COUNT] = {"input", "sched",   "flic",   "objects", "texsnd",
                                              "anim",  "player",  "views",  "glworld", "build3d",
                                              "panels", "uidraw", "present", "net"};

PhaseOps phase_ops;
FrameTiming frame_timing;
LiveInput live_input;
PlayerSnapshot player_snapshot;

void reset_frame_timing() {
    frame_timing = FrameTiming{};
    player_snapshot = PlayerSnapshot{};
}

void restart_frame_timer() { frame_timing.frame_timer_ms = clock_ms(); }

namespace {

constexpr int32_t far_apart = 0x40000;  // 256.0: a jump this large is not interpolated
constexpr int32_t two_pi = 6433;

template <typename F>
void call(F* fn) {
    if (fn) fn();
}

int32_t abs32(int64_t v) { return int32_t(v < 0 ? -v : v); }
bool far(int32_t a, int32_t b) { return abs32(int64_t(a) - b) > far_apart; }

int32_t lerp(int32_t saved, int32_t current, int32_t f) {
    return int32_t(saved + ((int64_t(current) - saved) * f >> 10));
}

int32_t wrap_angle(int32_t a) { return int32_t((int64_t(a) + 823424) % two_pi); }

// The short way round between two angles.
int32_t lerp_angle(int32_t saved, int32_t current, int32_t f) {
    int32_t s = wrap_angle(saved), c = wrap_angle(current);
    int32_t d = c - s;
    if (d > 3216) d -= two_pi;
    if (d < -3216) d += two_pi;
    return int32_t((int64_t(s) + (int64_t(d) * f >> 10) + 823424) % two_pi);
}

void save_player() {
    PlayerSnapshot& p = player_snapshot;
    p.valid = var_bound(SLOT_PLAYER_X);
    p.x = var_value(SLOT_PLAYER_X);
    p.y = var_value(SLOT_PLAYER_Y);
    p.z = var_value(SLOT_PLAYER_Z);
    p.angle = var_value(SLOT_PLAYER_ANGLE);
    p.tilt = var_value(SLOT_PLAYER_TILT);
}

struct TrueState {
    bool applied;
    int32_t x, y, z, angle, tilt;
};

void apply_interpolation(int32_t step, TrueState& truth) {
    truth.applied = false;
    if (!settings.deterministic || !settings.interp) return;
    int32_t f = int32_t(int64_t(frame_timing.step_accumulator) * 1024 / step);
    f = f < 0 ? 0 : f > 1024 ? 1024 : f;
    const PlayerSnapshot& p = player_snapshot;
    if (p.valid) {
        truth = {true, var_value(SLOT_PLAYER_X), var_value(SLOT_PLAYER_Y), var_value(SLOT_PLAYER_Z),
                 var_value(SLOT_PLAYER_ANGLE), var_value(SLOT_PLAYER_TILT)};
        if (far(truth.x, p.x) || far(truth.y, p.y) || far(truth.z, p.z)) {
            truth.applied = false;
        } else {
            var_set(SLOT_PLAYER_X, lerp(p.x, truth.x, f));
            var_set(SLOT_PLAYER_Y, lerp(p.y, truth.y, f));
            var_set(SLOT_PLAYER_Z, lerp(p.z, truth.z, f));
            var_set(SLOT_PLAYER_TILT, lerp(p.tilt, truth.tilt, f));
            var_set(SLOT_PLAYER_ANGLE, lerp_angle(p.angle, truth.angle, f));
        }
    }
    if (phase_ops.apply_objects) phase_ops.apply_objects(f);
}

void restore_interpolation(const TrueState& truth) {
    if (truth.applied) {
        var_set(SLOT_PLAYER_X, truth.x);
        var_set(SLOT_PLAYER_Y, truth.y);
        var_set(SLOT_PLAYER_Z, truth.z);
        var_set(SLOT_PLAYER_ANGLE, truth.angle);
        var_set(SLOT_PLAYER_TILT, truth.tilt);
    }
    if (settings.deterministic && settings.interp) call(phase_ops.restore_objects);
}

int32_t step_length() {
    if (settings.sim_hz <= 0) return 512;
    int32_t step = 16384 / settings.sim_hz;
    return step < 1 ? 1 : step;
}

int32_t hz() { return settings.sim_hz <= 0 ? 32 : settings.sim_hz; }

// Deterministic mode: input that arrives between steps is gathered for the next step.
void gather_input() {
    FrameTiming& t = frame_timing;
    t.mickey_x_acc += var_value(SLOT_MICKEY_X);
    t.mickey_y_acc += var_value(SLOT_MICKEY_Y);
    for (int k = 0; k < 128; k++) t.key_latch[k] |= live_input.key_pressed[k];
    if (live_input.any_key_event) t.any_key_latch = 1;
    t.flag_latch |= live_input.held_flags;
    if (input_cells.key_any) t.key_any_latch = input_cells.key_any;
}

// Only the first step of a frame sees the input that arrived since the previous frame.
void hand_latched_input() {
    FrameTiming& t = frame_timing;
    var_set(SLOT_MICKEY_X, t.mickey_x_acc);
    var_set(SLOT_MICKEY_Y, t.mickey_y_acc);
    t.mickey_x_acc = t.mickey_y_acc = 0;
    std::memcpy(live_input.key_pressed, t.key_latch, sizeof t.key_latch);
    std::memset(t.key_latch, 0, sizeof t.key_latch);
    live_input.any_key_event = t.any_key_latch;
    live_input.held_flags = t.flag_latch;
    input_cells.key_any = t.key_any_latch;
    t.any_key_latch = t.flag_latch = 0;
    t.key_any_latch = 0;
}

// Elapsed simulated time of this frame, in tick units.
int32_t deterministic_elapsed(int32_t step, int32_t limit) {
    FrameTiming& t = frame_timing;
    if (settings.demo_replay) return var_value(SLOT_TIME_CORR, step);
    uint64_t now = clock_ns();
    bool usable = now && t.clock_prev_ns && now > t.clock_prev_ns;
    int32_t elapsed;
    if (usable) {
        uint64_t scaled = (now - t.clock_prev_ns) * 16384u + t.clock_carry;
        uint64_t ticks = scaled / 1000000000u;
        t.clock_carry = scaled % 1000000000u;
        if (ticks > uint64_t(limit)) {
            elapsed = step;
            t.clock_carry = 0;
        } else {
            elapsed = int32_t(ticks);
        }
    } else {
        elapsed = settings.fuzzwalk_on ? step : var_value(SLOT_TIME_CORR, step);
    }
    if (now) t.clock_prev_ns = now;
    return elapsed;
}

int count_steps() {
    FrameTiming& t = frame_timing;
    if (!settings.deterministic) {
        t.frame_sim_ms = 0;
        t.flic_blocking = phase_ops.flic ? phase_ops.flic() : 0;
        return 1;
    }
    gather_input();
    int32_t step = step_length();
    int32_t limit = settings.sim_hz <= 0 ? 2560 : 5 * step;
    int32_t total = deterministic_elapsed(step, limit) + t.step_accumulator;
    int steps;
    if (total > limit) {
        steps = 5;
        t.step_accumulator = 0;
    } else {
        steps = total / step;
        t.step_accumulator = total % step;
    }
    if (steps > 0) {
        int32_t ms = steps * 1000 + t.ms_carry;
        t.frame_sim_ms = ms / hz();
        t.ms_carry = ms % hz();
    } else {
        t.frame_sim_ms = 0;
    }
    t.flic_blocking = phase_ops.flic ? phase_ops.flic() : 0;
    return steps;
}

// Serves the pending request; answers false when the frame must end at once.
bool serve_request() {
    FrameTiming& t = frame_timing;
    int32_t request = t.pending_request;
    int result = 0;
    if (request & REQUEST_EXIT) {
        result = 4;
    } else if (request && t.flic_blocking) {
        var_set(SLOT_RESULT, -1024);
        result = 3;
    } else if (request && phase_ops.serve_request) {
        result = phase_ops.serve_request(request);
    }
    t.request_result = result;
    if (result == 0) {
        t.pending_request = 0;
        return true;
    }
    bool load = request & REQUEST_LOAD;
    t.pending_request = 0;
    switch (result) {
    case 2:
        if (load && phase_ops.run_load_action) phase_ops.run_load_action();
        return false;
    case 3:
        if ((load || (request & REQUEST_RELOAD)) && phase_ops.run_load_action) phase_ops.run_load_action();
        return true;
    case 4:
    case -1:
    case -5:
    case -6:
        engine_state &= uint8_t(~ENGINE_RUNNING);
        return false;
    default:
        return true;
    }
}

// Returns false when the frame ends here (a request asked for it).
bool run_step(int32_t step) {
    call(phase_ops.step_start);
    if (settings.deterministic && settings.interp) {
        save_player();
        call(phase_ops.save_objects);
    } else {
        player_snapshot.valid = false;
        call(phase_ops.discard_objects);
    }
    if (settings.deterministic) {
        var_set(SLOT_TIME_CORR, step);
        var_set(SLOT_TIME_TOTAL, step * 64);
        var_add(SLOT_TOTAL_FRAMES, 1024);
        var_add(SLOT_TOTAL_TIME, step);
        var_add(SLOT_TICKS, step);
        var_set(SLOT_TIME_FAC, 1048576 / step);
        hand_latched_input();
    }
    call(phase_ops.sched);
    var_set(SLOT_TIME_ACTIONS, 0);
    bool blocked = frame_timing.flic_blocking != 0;
    if (!blocked) {
        var_set(SLOT_TIME_TARGETS, 0);
        call(phase_ops.objects);
        var_set(SLOT_TIME_OBJECTS, 0);
        if (settings.timer) call(phase_ops.texsnd);
    }
    if (phase_ops.palette_anim) phase_ops.palette_anim(var_value(SLOT_TIME_CORR, 1024));
    if (!serve_request()) return false;
    if (!blocked) {
        call(phase_ops.look);
        call(phase_ops.before_step);
        call(phase_ops.player);
        call(phase_ops.after_step);
    }
    return true;
}

void frame_time_variables() {
    if (settings.timer) {
        uint64_t elapsed = clock_ms() - frame_timing.frame_timer_ms;
        int64_t total = int64_t(elapsed) * 1024;
        if (total > 0x7FFFFFFF) total = 0x7FFFFFFF;
        var_set(SLOT_TIME_TOTAL, int32_t(total));
        int32_t corr = total >= 524352 ? 8192 : total > 3263 ? int32_t(total / 64) : 51;
        var_set(SLOT_TIME_CORR, corr);
    } else {
        var_set(SLOT_TIME_TOTAL, 0);
        var_set(SLOT_TIME_CORR, 1024);
    }
    if (!settings.deterministic) {
        int32_t corr = var_value(SLOT_TIME_CORR, 1024);
        var_add(SLOT_TOTAL_TIME, corr);
        var_add(SLOT_TICKS, corr);
        if (corr) var_set(SLOT_TIME_FAC, 1048576 / corr);
    }
}

// Stereoscopic mode draws the second eye into its own buffer while EYE_DIST is nonzero.
void choose_eye_buffer() {
    if (!(settings.display_flags & 4)) return;
    int32_t eye = var_value(SLOT_EYE_DIST);
    if (eye != 0 && !(settings.display_flags & 8)) {
        settings.display_flags |= 8;
        if (phase_ops.eye_buffer) phase_ops.eye_buffer(true);
    } else if (eye == 0 && (settings.display_flags & 8)) {
        settings.display_flags &= ~8;
        if (phase_ops.eye_buffer) phase_ops.eye_buffer(false);
    }
}

void draw_frame(int32_t step) {
    TrueState truth = {};
    apply_interpolation(step, truth);
    call(phase_ops.views);
    call(phase_ops.glworld);
    call(phase_ops.build3d);
    restore_interpolation(truth);
    call(phase_ops.panels);
    call(phase_ops.uidraw);
    call(phase_ops.present);
}

}  // namespace

int frame_tick() {
    choose_eye_buffer();
    call(phase_ops.demo_frame_start);
    if (settings.timer) restart_frame_timer();
    if (phase_ops.run_start_action) phase_ops.run_start_action();
    if (phase_ops.input) {
        int quit = phase_ops.input();
        if (quit) {
            engine_state &= uint8_t(~ENGINE_RUNNING);
            return quit;
        }
    }
    int steps = count_steps();
    frame_timing.steps_this_frame = steps;
    int32_t step = settings.deterministic ? step_length() : var_value(SLOT_TIME_CORR, 1024);
    for (int i = 0; i < steps; i++)
        if (!run_step(step)) return 0;
    if (!frame_timing.flic_blocking) draw_frame(settings.deterministic ? step_length() : 1);
    call(phase_ops.net);
    if (!settings.deterministic) var_add(SLOT_TOTAL_FRAMES, 1024);
    frame_time_variables();
    call(phase_ops.demo_frame_end);
    return 0;
}

void first_picture() {
    if (phase_ops.input) phase_ops.input();
    call(phase_ops.views);
}
