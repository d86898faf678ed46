// The engine's clocks: a monotonic nanosecond clock for the deterministic simulation and a
// millisecond clock for the frame timer and waits. Both sit behind a seam that tests drive,
// so that the time model can be tested exactly.
#pragma once

#include <cstdint>

uint64_t clock_ns();   // monotonic nanoseconds; 0 means "no reading"
uint64_t clock_ms();   // monotonic milliseconds
void clock_sleep_ms(uint32_t ms);  // sleeps (a driven clock just advances)

// A driven clock for tests: while set, clock_ns/clock_ms answer these values and sleeping
// advances them instead of waiting.
struct DrivenClock {
    uint64_t ns;
    bool sleep_advances;  // clock_sleep_ms moves ns forward by the time asked
};
void clock_drive(DrivenClock* clock);  // null returns to the real clocks
