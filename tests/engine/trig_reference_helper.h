// A second, deliberately plain implementation of the deterministic trigonometry, written
// from the algorithm's description with none of the engine's shortcuts: turns are removed
// one at a time (in big safe strides first), every CORDIC step is written with an explicit
// rotation direction, and rounding uses division. The sweeps compare the engine against it.
#pragma once

#include <cstdint>

namespace trig_ref {

int32_t sin(int32_t a);
int32_t cos(int32_t a);
int32_t tan(int32_t a);
int32_t angle(int32_t x, int32_t y);             // 16.16 vectoring result
int32_t atan2(int32_t x, int32_t y, int32_t fallback);
int32_t asin(int32_t a);
uint32_t isqrt(uint32_t u);

}  // namespace trig_ref
