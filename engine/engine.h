// The spine of the runtime: the process entry, the engine entry with its start-up order,
// the main loop and the shutdown order.
#pragma once

#include <cstdint>

// Engine state flags.
enum : uint8_t {
    ENGINE_OPENED = 0x01,     // start-up settings complete, the world is about to be opened
    ENGINE_DESCRIBED = 0x02,  // WDL and map read without errors
    ENGINE_BUILT = 0x04,      // the level was built
    ENGINE_RUNNING = 0x08,    // the main loop runs
};
extern uint8_t engine_state;

// Why a start did not reach the main loop; decides the exit status.
enum StartFailure : int {
    START_OK = 0,
    START_USAGE = 1,      // the usage text was asked for: status 0
    START_MEMORY = 2,     // too little memory: status 1
    START_ERRORS = 3,     // error reports stopped a stage: status 1
};
extern int start_failure;

int program_main(int argc, char** argv);
int engine_main(int argc, char** argv);  // exit status: 0, or 1 when the start failed
int open_world(int argc, char** argv);   // 1 when the level is built and the loop may start
void close_world();

// The executable's path as given (at most 259 characters).
extern char executable_path[260];
// Frames run by the main loop since it started (the "-FRAMES" limit counts them).
extern int frames_run;
// Milliseconds that building the level waits before creating the screen (tests shorten it).
extern uint32_t build_wait_ms;
