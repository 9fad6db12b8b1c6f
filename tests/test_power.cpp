#include "platform/platform.h"
#include "platform/power.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

struct power_case {
    double x;
    int n;
    double rounded_once;  // x^n from exact rational arithmetic, rounded to nearest
};

// Each of these is one where glibc's pow is one ulp off the correctly rounded
// value, but the last three, where it is not.
const power_case POWER_CASES[] = {
    {0x1.a6010e6090075p+0, 2, 0x1.5bd3bdb3bc33fp+1},
    {-0x1.259b8af276dbap+5, 2, 0x1.50bd6a909118fp+10},
    {0x1.fb21581ccac1p+4, 3, 0x1.f1877dd17ff06p+14},
    {0x1.ce08383e0f6cep+112, 3, 0x1.78400255330c1p+338},
    {0x1.f74b992df8c6cp+4, 4, 0x1.de0f249d6bef4p+19},
    {0x1.ccec452bf0c67p+38, 4, 0x1.5048249e0d889p+155},
    {0x1.3333333333333p-1, 4, 0x1.096bb98c7e282p-3},
    {0x1.0000000000001p+0, 3, 0x1.0000000000003p+0},
    {-1.5, 3, -3.375},
};

TEST(Power, RoundsOnceFromExactProducts)
{
    for (const power_case &c : POWER_CASES)
        EXPECT_EQ(correctly_rounded_power(c.x, c.n), c.rounded_once) << std::hexfloat << c.x << " ^ " << c.n;
}

TEST(Power, StaysWithinOneUlpOfTheLibraryAndMostlyEqualsIt)
{
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> diameter(0.01, 3.0);
    int differing = 0, samples = 0;
    for (int i = 0; i < 200000; ++i) {
        const double x = diameter(random);
        for (int n = 2; n <= 4; ++n, ++samples) {
            const double ours = correctly_rounded_power(x, n), library = std::pow(x, n);
            if (ours == library) continue;
            ++differing;
            EXPECT_EQ(std::nextafter(library, ours), ours) << std::hexfloat << x << " ^ " << n;
        }
    }
    EXPECT_LT(differing, samples / 500) << "more than one power in 500 unlike the library's";
}

TEST(Power, OutsideTheNormalRangeFallsBackOnTheLibrary)
{
    const double inf = std::numeric_limits<double>::infinity();
    for (double x : {0.0, -0.0, 1e-300, 1e300, -1e250, inf, -inf, 0x1p-1074})
        for (int n = 2; n <= 4; ++n) EXPECT_EQ(correctly_rounded_power(x, n), std::pow(x, n)) << x << " ^ " << n;
    EXPECT_TRUE(std::isnan(correctly_rounded_power(std::nan(""), 3)));
}

TEST(Power, CallsTheLibrarysPowEvenForSquares)
{
    if (WINDOWS_BUILD) GTEST_SKIP() << "Windows computes powers rounded once instead";
    // A compiler may turn pow(x, 2) into x * x, which differs here.
    const double x = 0x1.a6010e6090075p+0;
    volatile int two = 2;
    EXPECT_EQ(whole_power(x, 2), std::pow(x, two));
    EXPECT_NE(whole_power(x, 2), x * x);
}

}  // namespace
