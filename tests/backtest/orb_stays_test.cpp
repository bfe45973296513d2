// The stays and exact aspects read from a transit run's records, built by hand here so
// that the cases the records encode by absence can be checked one by one.
#include <gtest/gtest.h>

#include "backtest/orb_stays.h"

namespace kovo::backtest {
namespace {

using transits::OrbDate;
using transits::OrbSpan;
using transits::TransitPass;
using transits::TransitPeriod;

OrbSpan Span(std::optional<std::int32_t> entry, std::optional<std::int32_t> exit) {
    OrbSpan span;
    if (entry) span.entry = OrbDate{.day = *entry, .retrograde = false};
    if (exit) span.exit = OrbDate{.day = *exit, .retrograde = false};
    return span;
}

transits::TransitMinimum Minimum(std::int32_t day, bool exact) {
    return {.instantUt = day + 0.25, .day = day, .deviation = 0, .exact = exact, .retrograde = false};
}

TEST(OrbStaysTest, OneStayPerOrbAndPassInOrderOfLevel) {
    // A retrograde loop: the middle orb held over three passes, the inner orb entered thrice.
    TransitPeriod loop{.aspect = 3, .outer = Span(100, 200), .passes = {}, .cutAtStart = false, .cutAtEnd = false};
    loop.passes.push_back({.middle = Span(110, 190), .inner = Span(120, 125), .minimum = Minimum(122, true)});
    loop.passes.push_back({.middle = {}, .inner = Span(140, 150), .minimum = Minimum(145, false)});
    loop.passes.push_back({.middle = {}, .inner = Span(170, 180), .minimum = Minimum(175, true)});
    transits::TransitResult result;
    result.periods.push_back(loop);

    const std::vector<OrbStay> stays = OrbStaysOf(result);
    const std::vector<OrbStay> expected{{.aspect = 3, .level = 0, .entryDay = 100, .exitDay = 200},
                                        {.aspect = 3, .level = 1, .entryDay = 110, .exitDay = 190},
                                        {.aspect = 3, .level = 2, .entryDay = 120, .exitDay = 125},
                                        {.aspect = 3, .level = 2, .entryDay = 140, .exitDay = 150},
                                        {.aspect = 3, .level = 2, .entryDay = 170, .exitDay = 180}};
    EXPECT_EQ(stays, expected);

    const std::vector<ExactEvent> exacts = ExactEventsOf(result);
    ASSERT_EQ(exacts.size(), 2u);  // the near miss of the second pass is no exact aspect
    EXPECT_EQ(exacts[0], (ExactEvent{.aspect = 3, .instantUt = 122.25, .day = 122}));
    EXPECT_EQ(exacts[1].day, 175);
}

TEST(OrbStaysTest, CutRunsLeaveTheirDatesAbsent) {
    TransitPeriod cut{.aspect = 1, .outer = Span(std::nullopt, 50), .passes = {}, .cutAtStart = true, .cutAtEnd = false};
    cut.passes.push_back({.middle = Span(std::nullopt, 40), .inner = Span(std::nullopt, 30), .minimum = std::nullopt});
    TransitPeriod open{.aspect = 2, .outer = Span(300, std::nullopt), .passes = {}, .cutAtStart = false, .cutAtEnd = true};
    open.passes.push_back({.middle = Span(310, std::nullopt), .inner = {}, .minimum = std::nullopt});
    transits::TransitResult result;
    result.periods = {cut, open};

    const std::vector<OrbStay> expected{{.aspect = 1, .level = 0, .entryDay = std::nullopt, .exitDay = 50},
                                        {.aspect = 1, .level = 1, .entryDay = std::nullopt, .exitDay = 40},
                                        {.aspect = 1, .level = 2, .entryDay = std::nullopt, .exitDay = 30},
                                        {.aspect = 2, .level = 0, .entryDay = 300, .exitDay = std::nullopt},
                                        {.aspect = 2, .level = 1, .entryDay = 310, .exitDay = std::nullopt}};
    EXPECT_EQ(OrbStaysOf(result), expected);
}

TEST(OrbStaysTest, DatesLostToAWiderOrbsStepComeFromTheStayAroundThem) {
    // The middle and inner orbs were left in the step that left the outer orb, and the
    // inner orb of the second pass was entered in the step that entered the middle one.
    TransitPeriod fast{.aspect = 5, .outer = Span(10, 60), .passes = {}, .cutAtStart = false, .cutAtEnd = false};
    fast.passes.push_back({.middle = Span(12, 20), .inner = Span(14, 18), .minimum = Minimum(16, true)});
    fast.passes.push_back({.middle = Span(30, std::nullopt), .inner = Span(std::nullopt, std::nullopt), .minimum = std::nullopt});
    fast.passes[1].inner.exit = OrbDate{.day = 40, .retrograde = false};
    transits::TransitResult result;
    result.periods.push_back(fast);

    const std::vector<OrbStay> stays = OrbStaysOf(result);
    ASSERT_EQ(stays.size(), 5u);
    EXPECT_EQ(stays[2], (OrbStay{.aspect = 5, .level = 1, .entryDay = 30, .exitDay = 60}));
    EXPECT_EQ(stays[4], (OrbStay{.aspect = 5, .level = 2, .entryDay = 30, .exitDay = 40}));
}

}  // namespace
}  // namespace kovo::backtest
