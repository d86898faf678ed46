// Deterministic (integer CORDIC) trigonometry: the documented values, and dense sweeps
// against an independent reference implementation.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/settings.h"
#include "engine/trig.h"
#include "tests/engine/trig_reference_helper.h"

namespace {

class TrigDeterministic : public ::testing::Test {
protected:
    void SetUp() override {
        reset_settings();
        settings.deterministic = 1;
    }
    void TearDown() override { reset_settings(); }
};

struct Case {
    const char* what;
    int32_t (*fn)(int32_t);
    int32_t input;
    int32_t expected;
};

TEST_F(TrigDeterministic, DocumentedValues) {
    const Case cases[] = {
        {"sin 0", fx_sin, 0, 0},
        {"sin half pi", fx_sin, 1608, 1024},
        {"cos 0", fx_cos, 0, 1024},
        {"sin 6433 (just under two pi)", fx_sin, 6433, -1},
        {"sin quarter pi", fx_sin, 804, 724},
        {"cos quarter pi", fx_cos, 804, 724},
        {"cos half pi", fx_cos, 1608, 1},
        {"tan half pi", fx_tan, 1608, 1048576},
        {"asin above one", fx_asin, 2000, 1608},
        {"asin one", fx_asin, 1024, 1608},
        {"asin minus one", fx_asin, -1024, -1608},
        {"asin far below", fx_asin, -5000, -1608},
        {"acos one", fx_acos, 1024, 0},
        {"acos minus one", fx_acos, -1024, 3216},
        {"asin 0", fx_asin, 0, 0},
        {"atan 0", fx_atan, 0, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(c.fn(c.input), c.expected) << c.what;
}

TEST_F(TrigDeterministic, TangentOfAZeroCosine) {
    // Find angles whose integer cosine is exactly 0 near +-pi/2 and check the saturated tangent.
    int found_positive = 0, found_negative = 0;
    for (int32_t a = -8000; a <= 8000; a++) {
        if (fx_cos(a) != 0) continue;
        int32_t s = fx_sin(a);
        EXPECT_EQ(fx_tan(a), s < 0 ? -2147483647 : 2147483647) << a;
        (s < 0 ? found_negative : found_positive)++;
    }
    EXPECT_GT(found_positive + found_negative, 0);
}

TEST_F(TrigDeterministic, Atan2AxisCases) {
    EXPECT_EQ(fx_atan2(0, 5, 77), 1608);
    EXPECT_EQ(fx_atan2(0, -5, 77), 4824);  // not -1608
    EXPECT_EQ(fx_atan2(0, 0, 77), 77);
    EXPECT_EQ(fx_atan2(1024, 0, 77), 0);
    EXPECT_NEAR(fx_atan2(-1024, 0, 77), 3217, 1);
    EXPECT_NEAR(fx_atan2(1024, 1024, 0), 804, 1);
    EXPECT_NEAR(fx_atan2(-1024, -1024, 0), -2412, 1);
}

TEST_F(TrigDeterministic, IntegerSquareRoot) {
    EXPECT_EQ(fx_isqrt(0), 0);
    EXPECT_EQ(fx_isqrt(1), 1);
    EXPECT_EQ(fx_isqrt(3), 1);
    EXPECT_EQ(fx_isqrt(4), 2);
    EXPECT_EQ(fx_isqrt(1048575), 1023);
    EXPECT_EQ(fx_isqrt(1048576), 1024);
    EXPECT_EQ(fx_isqrt(4294967295u), 65535);
    for (uint32_t n = 0; n < 65536; n++) {
        ASSERT_EQ(fx_isqrt(n * n), int32_t(n));
        if (n > 0) {
            ASSERT_EQ(fx_isqrt(n * n - 1), int32_t(n - 1));
        }
    }
    for (uint32_t u = 0; u < (1u << 20); u++) ASSERT_EQ(uint32_t(fx_isqrt(u)), trig_ref::isqrt(u)) << u;
    for (uint64_t u = 0; u <= 0xFFFFFFFFull; u += 65521)
        ASSERT_EQ(uint32_t(fx_isqrt(uint32_t(u))), trig_ref::isqrt(uint32_t(u))) << u;
}

// The inputs of the sweeps: every value over several turns each way, then a stride over the
// whole 32-bit range (large angles, whose 16.16 form needs more than 32 bits).
const std::vector<int32_t>& sweep_inputs() {
    static std::vector<int32_t> inputs = [] {
        std::vector<int32_t> v;
        for (int32_t a = -70000; a <= 70000; a++) v.push_back(a);
        for (int64_t a = INT32_MIN; a <= INT32_MAX; a += 40009) v.push_back(int32_t(a));
        for (int32_t a : {INT32_MIN, INT32_MIN + 1, INT32_MAX, INT32_MAX - 1, (1 << 25) - 1, 1 << 25, -(1 << 25)})
            v.push_back(a);
        return v;
    }();
    return inputs;
}

struct SweepTable {
    std::vector<int32_t> sin, cos, tan;
};

// The reference values, computed once for all three sweeps.
const SweepTable& reference_table() {
    static SweepTable table = [] {
        SweepTable t;
        for (int32_t a : sweep_inputs()) {
            t.sin.push_back(trig_ref::sin(a));
            t.cos.push_back(trig_ref::cos(a));
            t.tan.push_back(trig_ref::tan(a));
        }
        return t;
    }();
    return table;
}

TEST_F(TrigDeterministic, SineSweepMatchesReference) {
    const auto& in = sweep_inputs();
    const auto& ref = reference_table();
    for (size_t i = 0; i < in.size(); i++) ASSERT_EQ(fx_sin(in[i]), ref.sin[i]) << "a=" << in[i];
}

TEST_F(TrigDeterministic, CosineSweepMatchesReference) {
    const auto& in = sweep_inputs();
    const auto& ref = reference_table();
    for (size_t i = 0; i < in.size(); i++) ASSERT_EQ(fx_cos(in[i]), ref.cos[i]) << "a=" << in[i];
}

TEST_F(TrigDeterministic, TangentSweepMatchesReference) {
    const auto& in = sweep_inputs();
    const auto& ref = reference_table();
    for (size_t i = 0; i < in.size(); i++) ASSERT_EQ(fx_tan(in[i]), ref.tan[i]) << "a=" << in[i];
}

TEST_F(TrigDeterministic, SineStaysCloseToTheTrueValue) {
    // Not bit-exactness but sanity: the integer scheme is within a few units of sin().
    for (int32_t a = -7000; a <= 7000; a += 3) {
        EXPECT_NEAR(fx_sin(a), std::sin(a / 1024.0) * 1024.0, 3.0) << a;
        EXPECT_NEAR(fx_cos(a), std::cos(a / 1024.0) * 1024.0, 3.0) << a;
    }
}

TEST_F(TrigDeterministic, LargeAnglesRepeatEveryTurn) {
    // 6433 raw units is not exactly a turn, but 64 * 6433 - 411775 = -63 units of 16.16 is
    // small: angles far out must still give values of a reduced angle, not garbage.
    for (int32_t a : {33554432, 100000000, 2147483647, -2147483647 - 1, -100000000}) {
        EXPECT_LE(fx_sin(a), 1024) << a;
        EXPECT_GE(fx_sin(a), -1024) << a;
        EXPECT_LE(fx_cos(a), 1024) << a;
        EXPECT_GE(fx_cos(a), -1024) << a;
    }
}

TEST_F(TrigDeterministic, Atan2SweepMatchesReference) {
    for (int32_t y = -70000; y <= 70000; y += 211)
        for (int32_t x = -70000; x <= 70000; x += 197)
            ASSERT_EQ(fx_atan2(x, y, -9), trig_ref::atan2(x, y, -9)) << "x=" << x << " y=" << y;
    // Small vectors (scaled up) and huge ones (halved down).
    for (int32_t y = -40; y <= 40; y++)
        for (int32_t x = -40; x <= 40; x++)
            ASSERT_EQ(fx_atan2(x, y, -9), trig_ref::atan2(x, y, -9)) << "x=" << x << " y=" << y;
    const int32_t big[] = {INT32_MIN, INT32_MIN + 1, -1000000007, -67108864, -67108863, -65537, 65537,
                           67108863,  67108864,      999999937,   INT32_MAX};
    for (int32_t y : big)
        for (int32_t x : big) ASSERT_EQ(fx_atan2(x, y, 0), trig_ref::atan2(x, y, 0)) << "x=" << x << " y=" << y;
    for (int32_t y = -8; y <= 8; y++)
        for (int32_t x : big) {
            ASSERT_EQ(fx_atan2(x, y, 0), trig_ref::atan2(x, y, 0)) << "x=" << x << " y=" << y;
            ASSERT_EQ(fx_atan2(y, x, 0), trig_ref::atan2(y, x, 0)) << "x=" << y << " y=" << x;
        }
}

TEST_F(TrigDeterministic, VectoringAngleMatchesReference) {
    for (int32_t y = -33000; y <= 33000; y += 61)
        for (int32_t x = -33000; x <= 33000; x += 67)
            ASSERT_EQ(cordic_angle(x, y), trig_ref::angle(x, y)) << "x=" << x << " y=" << y;
}

TEST_F(TrigDeterministic, ArcSineArcCosineArcTangentSweep) {
    for (int32_t a = -1100; a <= 1100; a++) {
        ASSERT_EQ(fx_asin(a), trig_ref::asin(a)) << a;
        ASSERT_EQ(fx_acos(a), 1608 - trig_ref::asin(a)) << a;
    }
    for (int32_t a = -300000; a <= 300000; a += 7) ASSERT_EQ(fx_atan(a), trig_ref::atan2(1024, a, 0)) << a;
    for (int32_t a : {INT32_MIN, INT32_MAX}) EXPECT_EQ(fx_atan(a), trig_ref::atan2(1024, a, 0)) << a;
}

TEST_F(TrigDeterministic, ArcFunctionsAreClose) {
    for (int32_t a = -1023; a <= 1023; a += 5) EXPECT_NEAR(fx_asin(a), std::asin(a / 1024.0) * 1024.0, 4.0) << a;
    for (int32_t a = -20000; a <= 20000; a += 13) EXPECT_NEAR(fx_atan(a), std::atan(a / 1024.0) * 1024.0, 3.0) << a;
}

}  // namespace
