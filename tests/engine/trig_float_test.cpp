// Floating-point trigonometry (deterministic mode off): the library functions, truncated,
// with NaN and out-of-range results defined as -2147483648.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "engine/settings.h"
#include "engine/trig.h"

namespace {

class TrigFloat : public ::testing::Test {
protected:
    void SetUp() override {
        reset_settings();
        settings.deterministic = 0;
    }
    void TearDown() override { reset_settings(); }
};

struct Case {
    const char* what;
    int32_t (*fn)(int32_t);
    int32_t input;
    int32_t expected;
};

TEST_F(TrigFloat, LibraryValuesTruncated) {
    const Case cases[] = {
        {"sin 0", fx_sin, 0, 0},
        {"sin half pi", fx_sin, 1608, 1023},      // sin(1.5703125) * 1024 = 1023.9999
        {"cos 0", fx_cos, 0, 1024},
        {"cos half pi", fx_cos, 1608, 0},         // 0.4954 truncated
        {"sin -1.0", fx_sin, -1024, -861},        // -861.66 truncated toward zero
        {"tan quarter", fx_tan, 804, 1023},       // 1023.66
        {"asin 0.5", fx_asin, 512, 536},          // 536.17
        {"acos 0.5", fx_acos, 512, 1072},         // 1072.33
        {"atan 0.5", fx_atan, 512, 474},          // 474.77 truncated
        {"atan 1", fx_atan, 1024, 804},
    };
    for (const Case& c : cases) EXPECT_EQ(c.fn(c.input), c.expected) << c.what;
}

TEST_F(TrigFloat, NaNResultsConvertToMinimum) {
    EXPECT_EQ(fx_asin(2000), INT32_MIN);  // asin(1.95) is NaN
    EXPECT_EQ(fx_acos(-1025), INT32_MIN);
    EXPECT_EQ(fx_asin(1024), 1608);
}

TEST_F(TrigFloat, ConversionOfDoubles) {
    EXPECT_EQ(fx_from_double(std::nan("")), INT32_MIN);
    EXPECT_EQ(fx_from_double(HUGE_VAL), INT32_MIN);
    EXPECT_EQ(fx_from_double(-HUGE_VAL), INT32_MIN);
    EXPECT_EQ(fx_from_double(2147483648.0), INT32_MIN);
    EXPECT_EQ(fx_from_double(2147483647.9), 2147483647);
    EXPECT_EQ(fx_from_double(-2147483648.9), INT32_MIN);
    EXPECT_EQ(fx_from_double(-2147483649.0), INT32_MIN);
    EXPECT_EQ(fx_from_double(-7.9), -7);
    EXPECT_EQ(fx_from_double(7.9), 7);
}

TEST_F(TrigFloat, Atan2RoundsToNearest) {
    EXPECT_EQ(fx_atan2(1024, 512, 0), 475);  // 474.77 rounded, where atan truncates to 474
    EXPECT_EQ(fx_atan2(0, -5, 0), 4824);     // the axis rule holds in both modes
    EXPECT_EQ(fx_atan2(0, 5, 0), 1608);
    EXPECT_EQ(fx_atan2(0, 0, 42), 42);
    EXPECT_EQ(fx_atan2(-1024, 0, 0), 3217);  // 3216.99 rounded
    EXPECT_EQ(fx_atan2(-1024, -1, 0), -3216);
}

TEST_F(TrigFloat, SquareRootIsIntegerInBothModes) {
    EXPECT_EQ(fx_isqrt(1048575), 1023);
    EXPECT_EQ(fx_isqrt(4294967295u), 65535);
}

TEST_F(TrigFloat, ExtremeInputsStayDefined) {
    // Every 32-bit input gives a defined value; the tangent may be huge and saturates.
    for (int64_t a = INT32_MIN; a <= INT32_MAX; a += 1048573) {
        int32_t t = fx_tan(int32_t(a));
        double exact = std::tan(double(a) / 1024.0) * 1024.0;
        if (exact > -2147483648.0 && exact < 2147483648.0)
            EXPECT_EQ(t, int32_t(exact)) << a;
        else
            EXPECT_EQ(t, INT32_MIN) << a;
    }
}

}  // namespace
