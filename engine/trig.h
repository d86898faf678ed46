// Fixed-point trigonometry on skill values (22.10 fixed point, 1.0 = 1024; angles in
// radians). With settings.deterministic on, every routine is computed in integer arithmetic
// (a CORDIC scheme on 16.16 values) so that a simulation gives the same bits on every
// machine; otherwise the C library's floating-point functions are used. fx_atan2 and
// fx_isqrt behave alike in both modes where stated below.
#pragma once

#include <cstdint>

int32_t fx_sin(int32_t a);
int32_t fx_cos(int32_t a);
// sin * 1024 / cos; a cosine of 0 gives 2147483647, or -2147483647 for a negative sine.
int32_t fx_tan(int32_t a);
int32_t fx_asin(int32_t a);
int32_t fx_acos(int32_t a);
int32_t fx_atan(int32_t a);
// Angle of the vector (x, y), in -PI .. PI; x = 0 gives 1608 for y > 0, 4824 for y < 0 and
// `fallback` for y = 0 (in both modes).
int32_t fx_atan2(int32_t x, int32_t y, int32_t fallback);
// floor(sqrt(u)) of an unsigned 32-bit number, in both modes.
int32_t fx_isqrt(uint32_t u);

// The 16.16 angle of the vector (x, y) by CORDIC vectoring (the integer core of fx_atan2);
// x and y must lie within -67108863 .. 67108863.
int32_t cordic_angle(int32_t x, int32_t y);

// A double result (already scaled by 1024) as an int32, truncated toward zero; NaN and
// values outside the int32 range give -2147483648.
int32_t fx_from_double(double scaled);
