// The circular-shift permutation test against a walk of the circle day by day, its
// bounds, its direction, and the cases without a test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "stats/circular_shift.h"
#include "stats/random_stream.h"

namespace kovo::stats {
namespace {

// A wandering series with no trend, the same every run.
std::vector<double> Wander(std::size_t n, std::uint64_t seed) {
    RandomStream stream(seed);
    std::vector<double> closes{100};
    while (closes.size() < n) closes.push_back(closes.back() * (0.99 + 0.02 * static_cast<double>(stream.Below(1001)) / 1000));
    return closes;
}

// The oracle: a hold shifted by k walked step by step around the circle of M steps.
double WalkedMean(const std::vector<double>& closes, const std::vector<Hold>& holds, std::size_t k, double sign) {
    const std::size_t m = closes.size() - 1;
    double total = 0;
    for (const Hold& hold : holds)
        for (std::size_t j = hold.entry; j < hold.exit; ++j) {
            const std::size_t i = (j + k) % m;
            total += std::log(closes[i + 1] / closes[i]);
        }
    return sign * total / static_cast<double>(holds.size());
}

TEST(CircularShiftTest, NullMatchesAWalkOfTheShiftedCalendar) {
    const std::vector<double> closes = Wander(60, 3);
    // The last hold runs to the last close, so most shifts push it round the end.
    const std::vector<Hold> holds{{.entry = 2, .exit = 9}, {.entry = 20, .exit = 21}, {.entry = 40, .exit = 59}};
    const LogReturnSums sums(closes);
    for (const Side side : {Side::Long, Side::Short}) {
        const auto test = CircularShiftTest(sums, holds, side, 500, 99);
        ASSERT_TRUE(test);
        const double sign = SignOf(side);
        EXPECT_NEAR(test->observed, WalkedMean(closes, holds, 0, sign), 1e-13);
        int atLeast = 0;
        for (std::size_t j = 0; j < test->shifts.size(); ++j) {
            const std::size_t k = test->shifts[j];
            ASSERT_GE(k, 1u);
            ASSERT_LE(k, 58u);
            EXPECT_NEAR(test->null[j], WalkedMean(closes, holds, k, sign), 1e-13);
            atLeast += WalkedMean(closes, holds, k, sign) >= test->observed ? 1 : 0;
        }
        EXPECT_EQ(test->atLeastObserved, atLeast);
        EXPECT_DOUBLE_EQ(test->pValue, (1.0 + atLeast) / 501.0);
    }
}

TEST(CircularShiftTest, GivenShiftsCountByHand) {
    // Steps: +10 %, -10 %, +22.2 %, -50 %. One hold over the first step.
    const LogReturnSums sums(std::vector<double>{100, 110, 99, 121, 60.5});
    const std::vector<Hold> holds{{.entry = 0, .exit = 1}};
    // Shifts 1..3 earn -10 %, +22.2 %, -50 %: only shift 2 beats +10 %.
    const auto test = CircularShiftTestWith(sums, holds, Side::Long, {1, 2, 3});
    ASSERT_TRUE(test);
    EXPECT_EQ(test->atLeastObserved, 1);
    EXPECT_DOUBLE_EQ(test->pValue, 2.0 / 4);
    // Short, the same shifts: -10 % and -50 % are better shorts than +10 %.
    const auto shortTest = CircularShiftTestWith(sums, holds, Side::Short, {1, 2, 3});
    EXPECT_EQ(shortTest->atLeastObserved, 2);
    EXPECT_NEAR(shortTest->observed, -std::log(1.1), 1e-15);
}

TEST(CircularShiftTest, PIsBoundedAndReproducible) {
    const std::vector<double> closes = Wander(400, 5);
    const LogReturnSums sums(closes);
    const std::vector<Hold> holds{{.entry = 10, .exit = 30}, {.entry = 100, .exit = 101}, {.entry = 300, .exit = 350}};
    const auto a = CircularShiftTest(sums, holds, Side::Long, 1000, 12345);
    const auto b = CircularShiftTest(sums, holds, Side::Long, 1000, 12345);
    const auto c = CircularShiftTest(sums, holds, Side::Long, 1000, 54321);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(a->shifts, b->shifts);
    EXPECT_EQ(a->null, b->null);
    EXPECT_EQ(a->pValue, b->pValue);
    EXPECT_NE(a->shifts, c->shifts);
    EXPECT_EQ(a->null.size(), 1000u);
    EXPECT_GE(a->pValue, 1.0 / 1001);
    EXPECT_LE(a->pValue, 1.0);
    // Shifts fall on every part of 1..M-1 and never on 0.
    EXPECT_EQ(*std::min_element(a->shifts.begin(), a->shifts.end()) < 20, true);
    EXPECT_EQ(*std::max_element(a->shifts.begin(), a->shifts.end()) > 380, true);
}

TEST(CircularShiftTest, PlantedEffectGetsTheLeastPOnItsSideOnly) {
    // Flat but for a rise of 1 % on each day the rule holds.
    std::vector<double> closes{100};
    std::vector<Hold> holds;
    for (std::size_t b = 5; b + 3 < 300; b += 37) holds.push_back({.entry = b, .exit = b + 3});
    for (std::size_t i = 1; i < 300; ++i) {
        const bool held = std::any_of(holds.begin(), holds.end(), [&](const Hold& h) { return i > h.entry && i <= h.exit; });
        closes.push_back(closes.back() * (held ? 1.01 : 1.0));
    }
    const LogReturnSums sums(closes);
    const auto longTest = CircularShiftTest(sums, holds, Side::Long, 2000, 1);
    const auto shortTest = CircularShiftTest(sums, holds, Side::Short, 2000, 1);
    // No shift lines all eight holds up with the rises again (the circle is 299 steps,
    // not a multiple of 37), so none reaches the rule's mean; as a short, every shift
    // does at least as well.
    EXPECT_EQ(longTest->atLeastObserved, 0);
    EXPECT_DOUBLE_EQ(longTest->pValue, 1.0 / 2001);
    EXPECT_EQ(shortTest->pValue, 1.0);
}

TEST(CircularShiftTest, TiesCountAgainstTheRule) {
    // A constant series: every shift earns exactly what the rule earns.
    const LogReturnSums flat(std::vector<double>(50, 20.0));
    const auto flatTest = CircularShiftTest(flat, {{.entry = 3, .exit = 7}}, Side::Long, 100, 2);
    EXPECT_EQ(flatTest->pValue, 1.0);
    // A hold over the whole series earns the whole series at any shift, whatever the
    // rounding of the circular sums.
    const std::vector<double> closes = Wander(300, 8);
    const LogReturnSums sums(closes);
    const auto whole = CircularShiftTest(sums, {{.entry = 0, .exit = 299}}, Side::Short, 300, 3);
    EXPECT_EQ(whole->pValue, 1.0);
}

TEST(CircularShiftTest, NoTestWithoutHoldsShiftsOrRoomToShift) {
    const LogReturnSums sums(Wander(30, 1));
    EXPECT_FALSE(CircularShiftTest(sums, {}, Side::Long, 100, 1));
    EXPECT_FALSE(CircularShiftTest(sums, {{.entry = 1, .exit = 2}}, Side::Long, 0, 1));
    // A hold that ends past the series, or ends before it starts.
    EXPECT_FALSE(CircularShiftTest(sums, {{.entry = 1, .exit = 30}}, Side::Long, 100, 1));
    EXPECT_FALSE(CircularShiftTest(sums, {{.entry = 5, .exit = 4}}, Side::Long, 100, 1));
    // Two closes: one step, and a shift of it moves nothing.
    const LogReturnSums two(std::vector<double>{100, 101});
    EXPECT_FALSE(CircularShiftTest(two, {{.entry = 0, .exit = 1}}, Side::Long, 100, 1));
    EXPECT_TRUE(DrawShifts(1, 100, 1).empty());
    // Three closes: the only shift that moves anything is 1.
    const auto shifts = DrawShifts(2, 50, 1);
    EXPECT_EQ(std::count(shifts.begin(), shifts.end(), 1u), 50);
}

}  // namespace
}  // namespace kovo::stats
