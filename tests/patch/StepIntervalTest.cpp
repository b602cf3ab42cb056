// tmrStep's interval for each random fraction: 1000 + floor(r * 2000),
// exactly. In the Windows build the table runs with the x87 set to 24-bit
// precision, as a DLL injected into the process may leave it, where a float
// multiply would round some products up to the next whole number.

#include "patch/StepInterval.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

struct IntervalCase {
    float fraction;
    std::uint32_t interval;
};

#if defined(__i386__)
// The x87's precision control (bits 8 and 9 of its control word) at 00: 24
// bits; set for the test and put back after it.
class StepIntervalTest : public testing::TestWithParam<IntervalCase> {
protected:
    void SetUp() override {
        __asm__ volatile("fnstcw %0" : "=m"(saved_));
        const std::uint16_t single = saved_ & ~std::uint16_t{0x300};
        __asm__ volatile("fldcw %0" : : "m"(single));
        std::uint16_t now = 0;
        __asm__ volatile("fnstcw %0" : "=m"(now));
        ASSERT_EQ(now & 0x300, 0) << "the x87 is not at 24-bit precision";
    }
    void TearDown() override { __asm__ volatile("fldcw %0" : : "m"(saved_)); }

private:
    std::uint16_t saved_ = 0;
};
#else
class StepIntervalTest : public testing::TestWithParam<IntervalCase> {};
#endif

TEST_P(StepIntervalTest, IsAWholeNumberFrom1000To2999) {
    EXPECT_EQ(patch::StepIntervalFor(GetParam().fraction), GetParam().interval)
        << "fraction " << GetParam().fraction;
}

const float kLargestBelowOne = std::nextafter(1.0f, 0.0f);

INSTANTIATE_TEST_SUITE_P(
    Fractions, StepIntervalTest,
    testing::Values(IntervalCase{0.0f, 1000}, IntervalCase{0.0005f, 1001}, IntervalCase{0.5f, 2000},
                    IntervalCase{kLargestBelowOne, 2999},
                    // In single precision 0.501 * 2000 rounds up to 1002; exactly it is 1001.99997.
                    IntervalCase{0.501f, 2001},
                    // 427819 / 2^24 * 2000 is 50.9999990, which 24 bits round up to 51.
                    IntervalCase{427819.0f / 16777216.0f, 1050},
                    // 2^-41: exponent 86, a shift of exactly 64, more than a 64-bit value takes.
                    IntervalCase{std::ldexp(1.0f, -41), 1000},
                    // What a broken generator might give never stretches the interval.
                    IntervalCase{1.0f, 1000}, IntervalCase{-0.25f, 1000},
                    IntervalCase{std::numeric_limits<float>::quiet_NaN(), 1000}));

// The window's fractions: the top 24 bits of a state, from 0 to the largest
// float below 1, never 1 itself, whatever the seed.
TEST(FractionGeneratorTest, FractionOfAStateIsItsTop24Bits) {
    const struct {
        std::uint32_t state;
        float fraction;
    } cases[] = {
        {0x00000001, 0.0f},
        {0x000000FF, 0.0f},
        {0x00000100, std::ldexp(1.0f, -24)},
        {0x80000000, 0.5f},
        {0xFFFFFFFF, kLargestBelowOne},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(patch::FractionGenerator::FractionOf(c.state), c.fraction)
            << "state 0x" << std::hex << c.state;
    }
}

TEST(FractionGeneratorTest, EverySeedGivesFractionsBelowOneThatMove) {
    for (const std::uint32_t seed : {0u, 1u, 0x80000000u, 0xFFFFFFFFu}) {
        patch::FractionGenerator generator(seed);
        float largest = 0.0f;
        for (int i = 0; i < 100000; ++i) {
            const float fraction = generator.Next();
            ASSERT_GE(fraction, 0.0f) << "seed " << seed << ", draw " << i;
            ASSERT_LT(fraction, 1.0f) << "seed " << seed << ", draw " << i;
            largest = std::max(largest, fraction);
        }
        EXPECT_GT(largest, 0.99f) << "seed " << seed << " never left the bottom of the range";
    }
}

}  // namespace
