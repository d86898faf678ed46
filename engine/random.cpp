// The linear congruential generator behind engine_random.
#include "engine/random.h"

static uint32_t random_state = 1;

int engine_random() {
    random_state = random_state * 1103515245u + 12345u;
    return int((random_state >> 16) & 0x7FFF);
}

void engine_reseed(uint32_t value) { random_state = value; }
uint32_t engine_random_state() { return random_state; }
