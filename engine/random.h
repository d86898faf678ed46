// The engine's random generator: a 32-bit linear congruential generator, reseeded at fixed
// points (start-up, world opening, level building, demo replay) so that demos and network
// peers draw the same sequence.
#pragma once

#include <cstdint>

int engine_random();                 // 0..32767
void engine_reseed(uint32_t value);  // the fixed points reseed with 1
uint32_t engine_random_state();
