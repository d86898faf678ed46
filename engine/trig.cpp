// Fixed-point trigonometry: CORDIC rotation and vectoring on 16.16 values for the
// deterministic simulation, the C library otherwise.
#include "engine/trig.h"

#include <cmath>

#include "engine/settings.h"

namespace {

// 16.16 constants.
constexpr int64_t k_pi = 205887;
constexpr int64_t k_two_pi = 411775;
constexpr int32_t k_half_pi_bound = 102944;
constexpr int32_t k_three_quarter_pi = 154415;
constexpr int32_t k_quarter_pi = 51472;
constexpr int32_t k_start = 39797;  // 65536 / CORDIC gain / sqrt(2)

// atan(2^-i) in 16.16, index i = 1 .. 15 (index 0 unused).
constexpr int32_t k_atan[16] = {0, 30386, 16055, 8150, 4091, 2047, 1024, 512, 256, 128, 64, 32, 16, 8, 4, 2};

// 22.10 results of the arc functions.
constexpr int32_t k_half_pi_fx = 1608;
constexpr int32_t k_three_half_pi_fx = 4824;

// 16.16 back to 22.10, rounding half away from zero.
int32_t round_down6(int32_t v) { return v >= 0 ? (v + 32) >> 6 : -((32 - v) >> 6); }

// Brings a 16.16 angle into -205886 .. 205888. Angles inside that window (all that a 22.10
// input below 2^25 can give, after at most one turn) keep their value; the others get the
// representative that subtracting or adding whole turns one at a time would reach. The
// product a << 6 needs 64 bits for large inputs.
int32_t reduce_angle(int64_t z) {
    if (z >= -205886 && z <= k_pi) return int32_t(z);
    int64_t r = (z + 205886) % k_two_pi;
    if (r < 0) r += k_two_pi;
    return int32_t(r - 205886);
}

struct Rotated {
    int32_t x, y, z;
};

// CORDIC rotation of the start vector through the angle a (22.10), up to the last half step.
Rotated rotate(int32_t a) {
    int32_t z = reduce_angle(int64_t(a) * 64);
    int32_t x, y;
    int first = 1;
    if (z >= k_pi) {
        // The last sliver below a full half turn: start three steps in from a vector near -1.
        z -= 210918;
        x = -64671;
        y = -4974;
        first = 3;
    } else if (z > k_half_pi_bound) {
        z -= k_three_quarter_pi;
        x = -k_start;
        y = k_start;
    } else if (z < -k_half_pi_bound) {
        z += k_three_quarter_pi;
        x = -k_start;
        y = -k_start;
    } else if (z < 0) {
        z += k_quarter_pi;
        x = k_start;
        y = -k_start;
    } else {
        z -= k_quarter_pi;
        x = k_start;
        y = k_start;
    }
    // Each step turns toward z = 0: by +atan_i when z >= 0, by -atan_i when z < 0. The
    // direction is applied as a conditional negation, without a branch.
    for (int i = first; i <= 14; i++) {
        int32_t m = z >> 31;  // 0 or -1
        int32_t dx = y >> i, dy = x >> i;
        x -= (dx ^ m) - m;
        y += (dy ^ m) - m;
        z -= (k_atan[i] ^ m) - m;
    }
    return {x, y, z};
}

int32_t det_sin(int32_t a) {
    Rotated r = rotate(a);
    int32_t y = r.z >= 0 ? r.y + (r.x >> 15) : r.y - (r.x >> 15);
    return round_down6(y);
}

int32_t det_cos(int32_t a) {
    Rotated r = rotate(a);
    int32_t x = r.z >= 0 ? r.x - (r.y >> 15) : r.x + (r.y >> 15);
    return round_down6(x);
}

double to_real(int32_t v) { return double(v) / 1024.0; }

}  // namespace

int32_t fx_from_double(double scaled) {
    // The comparison is false for NaN as well.
    if (!(scaled > -2147483649.0 && scaled < 2147483648.0)) return INT32_MIN;
    return int32_t(scaled);
}

int32_t cordic_angle(int32_t x, int32_t y) {
    // Magnitudes in 64 bits, so that even -2^31 has one.
    int64_t ax = x < 0 ? -int64_t(x) : x, ay = y < 0 ? -int64_t(y) : y;
    int64_t m = ax > ay ? ax : ay;
    if (m != 0) {
        while (m < 16384) {
            m *= 2;
            x *= 2;
            y *= 2;
        }
        while (m > 32768) {
            m >>= 1;
            x >>= 1;
            y >>= 1;
        }
    }
    if (x < 0) {
        int32_t d = cordic_angle(-x, -y);
        return y < 0 ? d - int32_t(k_pi) : d + int32_t(k_pi);
    }
    int32_t z;
    if (y <= 0) {
        int32_t nx = x - y, ny = x + y;
        x = nx;
        y = ny;
        z = -k_quarter_pi;
    } else {
        int32_t nx = x + y, ny = y - x;
        x = nx;
        y = ny;
        z = k_quarter_pi;
    }
    // Each step turns toward y = 0 (counterclockwise while y <= 0), without a branch.
    for (int i = 1; i <= 14; i++) {
        int32_t m = -int32_t(y > 0);  // 0 or -1
        int32_t dy = x >> i, dx = y >> i;
        y += (dy ^ m) - m;
        x -= (dx ^ m) - m;
        z -= (k_atan[i] ^ m) - m;
    }
    return y <= 0 ? z - 2 : z + 2;
}

int32_t fx_sin(int32_t a) {
    if (settings.deterministic) return det_sin(a);
    return fx_from_double(std::sin(to_real(a)) * 1024.0);
}

int32_t fx_cos(int32_t a) {
    if (settings.deterministic) return det_cos(a);
    return fx_from_double(std::cos(to_real(a)) * 1024.0);
}

int32_t fx_tan(int32_t a) {
    if (!settings.deterministic) return fx_from_double(std::tan(to_real(a)) * 1024.0);
    int32_t s = det_sin(a), c = det_cos(a);
    if (c == 0) return s < 0 ? -2147483647 : 2147483647;
    return int32_t(int64_t(s) * 1024 / c);
}

int32_t fx_atan2(int32_t x, int32_t y, int32_t fallback) {
    if (x == 0) {
        if (y > 0) return k_half_pi_fx;
        if (y < 0) return k_three_half_pi_fx;
        return fallback;
    }
    if (!settings.deterministic) return int32_t(std::lrint(std::atan2(to_real(y), to_real(x)) * 1024.0));
    const int32_t limit = 67108863;
    while (x < -limit || x > limit || y < -limit || y > limit) {
        x /= 2;
        y /= 2;
    }
    return round_down6(cordic_angle(x, y));
}

int32_t fx_asin(int32_t a) {
    if (!settings.deterministic) return fx_from_double(std::asin(to_real(a)) * 1024.0);
    if (a >= 1024) return k_half_pi_fx;
    if (a <= -1024) return -k_half_pi_fx;
    return fx_atan2(fx_isqrt(uint32_t(1048576 - a * a)), a, 0);
}

int32_t fx_acos(int32_t a) {
    if (!settings.deterministic) return fx_from_double(std::acos(to_real(a)) * 1024.0);
    return k_half_pi_fx - fx_asin(a);
}

int32_t fx_atan(int32_t a) {
    if (!settings.deterministic) return fx_from_double(std::atan(to_real(a)) * 1024.0);
    return fx_atan2(1024, a, 0);
}

int32_t fx_isqrt(uint32_t u) {
    uint32_t root = 0;
    uint32_t bit = 1u << 30;  // the highest power of four in 32 bits
    while (bit > u) bit >>= 2;
    while (bit != 0) {
        if (u >= root + bit) {
            u -= root + bit;
            root = (root >> 1) + bit;
        } else {
            root >>= 1;
        }
        bit >>= 2;
    }
    return int32_t(root);
}
