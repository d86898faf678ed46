// The scheduler: the two queues of pending runs (one filling while the other is passed
// over), the script tick of every simulation step with the key, mouse, EACH_SEC and
// EACH_TICK actions, IF_START and IF_LOAD, and the world's reset of all of it.
#include <cstdio>
#include <cstring>
#include <strings.h>

#include "engine/console.h"
#include "engine/errors.h"
#include "engine/frame.h"
#include "engine/random.h"
#include "script/exec/compiler.h"
#include "script/exec/exec_ops.h"
#include "script/exec/file_request.h"
#include "script/exec/interpreter_internal.h"
#include "script/front/catalogue.h"
#include "script/front/definitions.h"
#include "script/front/reader.h"
#include "script/front/world_script.h"


namespace {

struct Queue {
    PendingRun slots[QUEUE_SLOTS];
    int tail;
};

struct Scheduler {
    Queue queues[2];
    Queue* filling = &queues[0];
    Queue* processing = nullptr;  // the queue being passed over, while a pass runs
    int processing_index = 0;     // the slot the pass stands at
    int processing_end = 0;
    int32_t seconds;              // the seconds accumulator (tick units)
};
Scheduler S;

void free_slot(PendingRun& e) {
    if (e.action && e.suspender && e.suspender->opcode == OP_INKEY) end_line_input();
    e = PendingRun{};
}

void overflow_message(Queue& q, const PendingRun& e) {
    int mine = 0, total = 0, same_object = 0;
    for (const PendingRun& p : q.slots) {
        if (!p.action) continue;
        total++;
        if (p.action == e.action) mine++;
        if (p.my == e.my) same_object++;
    }
    auto* object = static_cast<const MapObject*>(e.my);
    console_message("action %s %d times (%d total, %d by %s %d) - scheduler overflow\n",
                    e.action->name ? e.action->name : "(unnamed)", mine, total, same_object,
                    object && object->identity ? object->identity : "NULL", object ? object->number : 0);
}

// Appends to the filling queue by the slot rule: the tail while it is below the last slot,
// then the first free slot, and at last slot 498 over whatever it held.
void enqueue(const PendingRun& e) {
    Queue& q = *S.filling;
    if (q.tail < QUEUE_SLOTS - 1) {
        q.slots[q.tail++] = e;
        if (q.tail < QUEUE_SLOTS) q.slots[q.tail] = PendingRun{};
        return;
    }
    if (!q.slots[0].action) {
        q.slots[0] = e;
        return;
    }
    for (int i = 1; i < QUEUE_SLOTS - 1; i++) {
        if (!q.slots[i].action) {
            q.slots[i] = e;
            return;
        }
    }
    if (q.slots[QUEUE_SLOTS - 1].action) {
        overflow_message(q, e);
        free_slot(q.slots[QUEUE_SLOTS - 1]);
    }
    q.slots[QUEUE_SLOTS - 1] = e;
}

int queue_end(const Queue& q) { return q.tail >= QUEUE_SLOTS - 1 ? QUEUE_SLOTS : q.tail; }

// Frees the entries of both queues (the rest of a pass in progress included) that match.
template <typename Match>
void cancel_where(Match match) {
    Queue& f = *S.filling;
    for (int i = 0; i < QUEUE_SLOTS; i++)
        if (f.slots[i].action && match(f.slots[i])) free_slot(f.slots[i]);
    if (S.processing)
        for (int i = S.processing_index + 1; i < S.processing_end; i++)
            if (S.processing->slots[i].action && match(S.processing->slots[i])) free_slot(S.processing->slots[i]);
}

void resume(const PendingRun& e) {
    e.action->resume = e.resume_at;
    world_refs.my = e.my;
    world_refs.there = e.there;
    run_action(e.action);
    world_refs.my = nullptr;
    world_refs.there = nullptr;
}

void run_event(Action* action) {
    if (action) run_action(action);
}

// An action's code goes away with the world: no slot or run may still point at it.
void release_action(Action* action) {
    free_instructions(action);
    for (Action*& a : world_script.key)
        if (a == action) a = nullptr;
    Action** singles[] = {&world_script.if_start, &world_script.if_load,  &world_script.if_left,
                          &world_script.if_middle, &world_script.if_right, &world_script.if_anykey,
                          &world_script.if_joy4,   &world_script.if_klick, &world_script.if_mstop};
    for (Action** a : singles)
        if (*a == action) *a = nullptr;
    for (Action*& a : world_script.each_sec)
        if (a == action) a = nullptr;
    for (Action*& a : world_script.each_tick)
        if (a == action) a = nullptr;
    if (exec.last_called == action) exec.last_called = nullptr;
}

}  // namespace

int schedule_run(Action* action, Instruction* suspender, Instruction* resume_at, int64_t amount, void* my,
                 void* there) {
    if (!action) return -1;
    enqueue(PendingRun{action, suspender, resume_at, amount, my, there});
    return 0;
}

void schedule_restart(Action* action) {
    if (action) schedule_run(action, action->resume, action->resume, 0, nullptr, nullptr);
}

void run_pending() {
    Queue* processing = S.filling;
    S.filling = processing == &S.queues[0] ? &S.queues[1] : &S.queues[0];
    S.filling->tail = 0;
    S.filling->slots[0] = PendingRun{};
    exec.per_tick_run = false;
    S.processing = processing;
    S.processing_end = queue_end(*processing);
    int live = 0;
    for (int i = 0; i < S.processing_end; i++)
        if (processing->slots[i].action) live++;
    var_set(SLOT_WAIT_ACTIONS, live * 1024);
    for (int i = 0; i < S.processing_end; i++) {
        S.processing_index = i;
        PendingRun e = processing->slots[i];
        processing->slots[i] = PendingRun{};
        if (!e.action) continue;  // free, or cancelled during this pass
        bool go;
        if (e.suspender && e.suspender->opcode == OP_INKEY) {
            go = feed_line_input(reinterpret_cast<ScriptString*>(intptr_t(e.amount)));
        } else if (e.amount <= 1023) {
            go = true;
        } else {
            bool ticks = e.suspender && e.suspender->opcode == OP_WAIT_TICKS;
            e.amount -= ticks ? var_value(SLOT_TIME_CORR, 1024) : 1024;
            go = false;
        }
        if (go) resume(e);
        else enqueue(e);
    }
    processing->tail = 0;
    S.processing = nullptr;
    S.processing_index = S.processing_end = 0;
}

void script_tick() {
    int32_t move_mode;
    bool moving = var_get(SLOT_MOVE_MODE, &move_mode) && move_mode >= -511;
    if (moving) run_pending();
    int32_t mouse_moving;
    if (var_get(SLOT_MOUSE_MOVING, &mouse_moving) && mouse_moving == 0) run_event(world_script.if_mstop);
    for (int k = 0; k < WORLD_KEY_SLOTS; k++) {
        if (!live_input.key_pressed[k]) continue;
        live_input.key_pressed[k] = 0;
        run_event(world_script.key[k]);
    }
    if (live_input.any_key_event) {
        run_event(world_script.if_anykey);
        live_input.any_key_event = 0;
    }
    uint8_t mouse = exec_ops.mouse_action_bits ? exec_ops.mouse_action_bits() : 0;
    if (mouse & 1) run_event(world_script.if_left);
    if (mouse & 4) run_event(world_script.if_middle);
    if (mouse & 2) run_event(world_script.if_right);
    if (mouse & 8) run_event(world_script.if_joy4);
    if (moving) {
        int32_t time_corr;
        if (var_get(SLOT_TIME_CORR, &time_corr)) S.seconds += time_corr;
        if (S.seconds >= 16384) {
            S.seconds = 0;
            var_add(SLOT_SECS, 1024);
            for (Action* a : world_script.each_sec) run_event(a);
        }
        exec.per_tick_run = true;
        for (Action* a : world_script.each_tick) run_event(a);
        exec.per_tick_run = false;
    }
    if (var_bound(SLOT_RANDOM)) var_set(SLOT_RANDOM, int32_t(int64_t(engine_random()) * 1024 / 32768));
}

void cancel_runs(Action* action, void* my, void* there) {
    if (my) cancel_where([my](const PendingRun& e) { return e.my == my; });
    else if (there) cancel_where([there](const PendingRun& e) { return e.there == there; });
    else if (action) cancel_where([action](const PendingRun& e) { return e.action == action; });
}

void cancel_action_runs(Action* action) {
    if (action) cancel_where([action](const PendingRun& e) { return e.action == action; });
}

int pending_run_count() {
    int n = 0;
    for (const Queue& q : S.queues)
        for (const PendingRun& e : q.slots)
            if (e.action) n++;
    return n;
}

// IF_START runs once: its slot is taken when it runs (a loaded game clears it too).
bool run_start_action() {
    Action* start = world_script.if_start;
    if (!start) return false;
    world_script.if_start = nullptr;
    run_action(start);
    return true;
}

bool run_load_action() {
    if (!world_script.if_load) return false;
    run_action(world_script.if_load);
    return true;
}

void reset_execution() {
    for (Queue& q : S.queues) {
        for (PendingRun& e : q.slots) e = PendingRun{};
        q.tail = 0;
    }
    S.filling = &S.queues[0];
    S.processing = nullptr;
    S.processing_index = S.processing_end = 0;
    S.seconds = 0;
    reset_line_input();
    exec.halted = false;
    exec.per_tick_run = false;
    exec.last_called = nullptr;
    file_request = FileRequest{};
}

void exec_init() {
    error_context.running_action = exec_running_action;
    release_hooks.free_instructions = release_action;
    release_hooks.cancel_pending_runs = reset_execution;
    action_body_hooks.open_block = mark_block_open;
    action_body_hooks.close_block = close_block;
}

void install_exec_operations() {
    exec_init();
    phase_ops.sched = script_tick;
    phase_ops.run_start_action = run_start_action;
    phase_ops.run_load_action = run_load_action;
}
