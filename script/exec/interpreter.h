// The action interpreter and scheduler: runs compiled actions with their context (the
// current action, MY and THERE), bounds nesting and the length of a run, suspends actions
// on WAIT, WAIT_TICKS and INKEY into the queue of pending runs, and runs the per-step
// script tick (the queue, the key and mouse actions, EACH_SEC and EACH_TICK).
//
// MY and THERE are the predefined synonyms whose cells are world_refs.my and
// world_refs.there: the interpreter sets those cells.
#pragma once

#include <cstdint>

#include "engine/errors.h"
#include "script/exec/instruction.h"
#include "script/front/records.h"

constexpr int MAX_RUN_DEPTH = 256;
constexpr int64_t RUN_INSTRUCTION_BUDGET = 16000000;  // instructions one run may execute
// The budget each outermost run starts with (RUN_INSTRUCTION_BUDGET; the fuzzer lowers it).
extern int64_t run_instruction_budget;
constexpr int QUEUE_SLOTS = 499;

struct ExecContext {
    Action* current_action;
    int32_t run_depth;
    bool runaway_reported;         // the nesting message was printed (never cleared)
    bool per_tick_run;             // EACH_TICK or an object's per-tick action runs: in-place waits
    Action* report_action;         // for error reports
    Instruction* report_instruction;
    Action* last_called;           // the action most recently started by CALL
    int64_t scratch_zero;          // the cell that operands with a null pointer refer to
    int64_t budget;                // instructions left to the outermost run in progress
    bool budget_reported;          // the budget report of this outermost run was made
    bool halted;                   // EXIT ran: no further action runs until the world resets
};
extern ExecContext exec;

// Runs an action from its resume position (which goes back to its first instruction): 0,
// or 1 when the run ended with EXIT. A null action returns 0.
int run_action(Action* action);
// Runs an action for an object (MY = the object, THERE = its region) or, without one, for
// a region (THERE = the region); the context comes back afterwards. The world's entry for
// event actions.
int run_action_as(void* object, Region* region, Action* action);
// As run_action_as, for the world's per-tick object actions: waits there happen in place.
int run_action_per_tick(void* object, Region* region, Action* action);

// A pending run (one queue slot). `action` null marks a free slot.
struct PendingRun {
    Action* action;
    Instruction* suspender;   // WAIT, WAIT_TICKS or INKEY instruction; null for a delayed run
    Instruction* resume_at;
    int64_t amount;           // wait left in tick units; for INKEY the STRING being edited
    void* my;
    void* there;
};

// Appends a pending run. 0, or -1 for a null action.
int schedule_run(Action* action, Instruction* suspender, Instruction* resume_at, int64_t amount, void* my,
                 void* there);
// Continues an action at its current resume position in the next pass.
void schedule_restart(Action* action);
// One pass over the queue.
void run_pending();
// The script tick of one simulation step.
void script_tick();
// EXCLUSIVE: frees the pending runs of MY's object, else of THERE's region, else of the action.
void cancel_runs(Action* action, void* my, void* there);
// Frees every pending run of an action (its code is going away).
void cancel_action_runs(Action* action);
// Live pending runs (both queues).
int pending_run_count();

// NEXT_MY, NEXT_THERE, NEXT_MY_THERE: the new object or region, also put into the context.
MapObject* next_my();
Region* next_there();
MapObject* next_my_there();

// Runs IF_START once when it is pending (its slot is emptied; false when none is); runs
// IF_LOAD (false when there is none). The event slots are the world script's.
bool run_start_action();
bool run_load_action();

// The world's reset: queues, context, the seconds accumulator, line input, EXIT's halt.
void reset_execution();
// What error reports name: the running action and instruction.
bool exec_running_action(ActionReportInfo* info);
// Installs the interpreter into the reader hooks, the catalogue's release and the error
// context. Safe to repeat.
void exec_init();
// exec_init, and the compiler into the definitions (action bodies, variables) and the
// scheduler into the frame tick (the "sched" phase, IF_START and IF_LOAD).
void install_exec_operations();

// Line input (INKEY): whether one is active.
bool line_input_active();
