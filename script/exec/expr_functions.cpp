// The built-in functions of expressions. The trigonometric ones go through the engine's
// shared fixed-point routines (integer CORDIC in deterministic mode); the other real-valued
// ones compute in double precision on x / 1024 and truncate the result x 1024 to int32,
// NaN and out-of-range results becoming -2147483648.
#include <cmath>
#include <strings.h>

#include "engine/errors.h"
#include "engine/random.h"
#include "engine/trig.h"
#include "script/exec/expr.h"

namespace {

double real(int32_t x) { return double(x) / 1024.0; }

// A full turn is 6433 units: a negative angle gets whole multiples of 6433 x 1024 added
// until it is not negative, then an angle of 6434 or more is taken modulo 6433 (so 6433
// itself stays).
int32_t reduce_turns(int32_t x) {
    int64_t v = x;
    if (v < 0) {
        const int64_t step = int64_t(6433) * 1024;
        v += (-v + step - 1) / step * step;
    }
    if (v >= 6434) v %= 6433;
    return int32_t(v);
}

int32_t clamp_unit(int32_t x) { return x < -1024 ? -1024 : x > 1024 ? 1024 : x; }

int32_t f_random(int32_t x) {
    uint32_t r = uint32_t(engine_random());
    return int32_t((uint32_t(x) * r) >> 15);
}

int32_t f_sin(int32_t x) { return fx_sin(reduce_turns(x)); }
int32_t f_cos(int32_t x) { return fx_cos(reduce_turns(x)); }
int32_t f_tan(int32_t x) { return fx_tan(reduce_turns(x)); }
int32_t f_asin(int32_t x) { return fx_asin(clamp_unit(x)); }
int32_t f_acos(int32_t x) { return fx_acos(clamp_unit(x)); }
int32_t f_atan(int32_t x) { return fx_atan(x); }
int32_t f_sqrt(int32_t x) { return fx_from_double(std::sqrt(real(x)) * 1024.0); }
int32_t f_sign(int32_t x) { return x > 0 ? 1024 : x < 0 ? -1024 : 0; }
int32_t f_abs(int32_t x) { return x < 0 ? int32_t(0u - uint32_t(x)) : x; }  // -2^31 stays
int32_t f_int(int32_t x) { return x & ~1023; }
int32_t f_exp(int32_t x) { return fx_from_double(std::exp(real(x)) * 1024.0); }

// A negative argument yields 0 and a once-per-action warning naming the function.
int32_t logarithm(int32_t x, double (*fn)(double), const char* name) {
    if (x < 0) {
        warn_division_by_zero(name);
        return 0;
    }
    return fx_from_double(fn(real(x)) * 1024.0);
}
double ln(double v) { return std::log(v); }
double lg(double v) { return std::log10(v); }
double lb(double v) { return std::log2(v); }
int32_t f_log(int32_t x) { return logarithm(x, ln, "log"); }
int32_t f_log10(int32_t x) { return logarithm(x, lg, "log10"); }
int32_t f_log2(int32_t x) { return logarithm(x, lb, "log2"); }

struct FunctionSpec {
    const char* name;
    ExprFunction fn;
};

const FunctionSpec functions[] = {
    {"RANDOM", f_random}, {"SIN", f_sin},   {"cos", f_cos},     {"tan", f_tan},   {"ASIN", f_asin},
    {"acos", f_acos},     {"atan", f_atan}, {"SQRT", f_sqrt},   {"SIGN", f_sign}, {"ABS", f_abs},
    {"int", f_int},       {"exp", f_exp},   {"log", f_log},     {"log10", f_log10}, {"log2", f_log2},
};

}  // namespace

ExprFunction find_expr_function(const char* name) {
    if (!name) return nullptr;
    for (const FunctionSpec& f : functions)
        if (strcasecmp(f.name, name) == 0) return f.fn;
    return nullptr;
}
