// Monotonic clocks from the operating system, with the seam that tests drive.
#include "engine/clock.h"

#include <ctime>

static DrivenClock* driven = nullptr;

void clock_drive(DrivenClock* clock) { driven = clock; }

uint64_t clock_ns() {
    if (driven) return driven->ns;
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000u + uint64_t(ts.tv_nsec);
}

uint64_t clock_ms() { return clock_ns() / 1000000u; }

void clock_sleep_ms(uint32_t ms) {
    if (driven) {
        if (driven->sleep_advances) driven->ns += uint64_t(ms) * 1000000u;
        return;
    }
    timespec ts = {time_t(ms / 1000), long(ms % 1000) * 1000000L};
    while (nanosleep(&ts, &ts) != 0) {
    }
}
