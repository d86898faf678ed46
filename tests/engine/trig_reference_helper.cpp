#include "tests/engine/trig_reference_helper.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace trig_ref {
namespace {

const int64_t turn = 411775;
const int64_t table[] = {0, 30386, 16055, 8150, 4091, 2047, 1024, 512, 256, 128, 64, 32, 16, 8, 4, 2};

// Arithmetic shift right written as floor division.
int64_t sar(int64_t v, int n) {
    int64_t d = int64_t(1) << n;
    return v >= 0 ? v / d : -((-v + d - 1) / d);
}

int64_t back_to_fx(int64_t v) {
    if (v >= 0) return (v + 32) / 64;
    return -((32 - v) / 64);
}

// One turn at a time, as the description says; a stride of n turns is taken only where all
// the single steps it replaces would have been taken too (none of them could stop).
int64_t reduce(int64_t z) {
    for (int64_t n = int64_t(1) << 26; n >= 1; n /= 2)
        while (z - n * turn > 205888) z -= n * turn;
    while (z > 205887 && z != 205888) z -= turn;
    for (int64_t n = int64_t(1) << 26; n >= 1; n /= 2)
        while (z + n * turn < -205886) z += n * turn;
    while (z < -205886) z += turn;
    return z;
}

struct Vec {
    int64_t x, y, z;
};

Vec rotation(int32_t a) {
    int64_t z = reduce(int64_t(a) * 64);
    struct Start {
        int64_t low, high;  // z range, inclusive
        int64_t shift_z, x, y;
        int first;
    };
    const Start starts[] = {
        {205887, 205888, -210918, -64671, -4974, 3},
        {102945, 205886, -154415, -39797, 39797, 1},
        {-205886, -102945, 154415, -39797, -39797, 1},
        {-102944, -1, 51472, 39797, -39797, 1},
        {0, 102944, -51472, 39797, 39797, 1},
    };
    Vec v = {0, 0, 0};
    int first = 1;
    for (const Start& s : starts) {
        if (z >= s.low && z <= s.high) {
            v = {s.x, s.y, z + s.shift_z};
            first = s.first;
        }
    }
    for (int i = first; i <= 14; i++) {
        int64_t sigma = v.z < 0 ? -1 : 1;
        Vec n = {v.x - sigma * sar(v.y, i), v.y + sigma * sar(v.x, i), v.z - sigma * table[i]};
        v = n;
    }
    return v;
}

}  // namespace

int32_t sin(int32_t a) {
    Vec v = rotation(a);
    int64_t sigma = v.z < 0 ? -1 : 1;
    return int32_t(back_to_fx(v.y + sigma * sar(v.x, 15)));
}

int32_t cos(int32_t a) {
    Vec v = rotation(a);
    int64_t sigma = v.z < 0 ? -1 : 1;
    return int32_t(back_to_fx(v.x - sigma * sar(v.y, 15)));
}

int32_t tan(int32_t a) {
    int64_t s = sin(a), c = cos(a);
    if (c == 0) return s < 0 ? -2147483647 : 2147483647;
    return int32_t(s * 1024 / c);
}

int32_t angle(int32_t xi, int32_t yi) {
    int64_t x = xi, y = yi;
    int64_t m = std::max(x < 0 ? -x : x, y < 0 ? -y : y);
    if (m != 0) {
        while (m < 16384) {
            m *= 2;
            x *= 2;
            y *= 2;
        }
        while (m > 32768) {
            m = sar(m, 1);
            x = sar(x, 1);
            y = sar(y, 1);
        }
    }
    if (x < 0) {
        int64_t d = angle(int32_t(-x), int32_t(-y));
        return int32_t(y < 0 ? d - 205887 : d + 205887);
    }
    // The 45 degree turn and the fourteen steps, each toward y = 0.
    int64_t sigma = y <= 0 ? 1 : -1;  // +1 turns counterclockwise
    int64_t z = -sigma * 51472;
    int64_t nx = x - sigma * y, ny = y + sigma * x;
    x = nx;
    y = ny;
    for (int i = 1; i <= 14; i++) {
        sigma = y <= 0 ? 1 : -1;
        nx = x - sigma * sar(y, i);
        ny = y + sigma * sar(x, i);
        z -= sigma * table[i];
        x = nx;
        y = ny;
    }
    return int32_t(y <= 0 ? z - 2 : z + 2);
}

int32_t atan2(int32_t x, int32_t y, int32_t fallback) {
    if (x == 0) return y > 0 ? 1608 : y < 0 ? 4824 : fallback;
    int64_t lx = x, ly = y;
    while (std::llabs(lx) > 67108863 || std::llabs(ly) > 67108863) {
        lx /= 2;
        ly /= 2;
    }
    return int32_t(back_to_fx(angle(int32_t(lx), int32_t(ly))));
}

int32_t asin(int32_t a) {
    if (a >= 1024) return 1608;
    if (a <= -1024) return -1608;
    return atan2(int32_t(isqrt(uint32_t(1048576 - a * a))), a, 0);
}

uint32_t isqrt(uint32_t u) {
    uint64_t r = uint64_t(std::sqrt(double(u)));
    while (r * r > u) r--;
    while ((r + 1) * (r + 1) <= u) r++;
    return uint32_t(r);
}

}  // namespace trig_ref
