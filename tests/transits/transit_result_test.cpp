// The records of a run, read as data: Mars and Jupiter in 2026, the run of the golden
// report (geocentric, GMT, orbs 10°/5°/2°, every aspect).
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_minima.h"
#include "transits/transit_runs.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;

namespace {

struct Expected {
    int aspect;
    std::array<int, 3> start;  // outer, middle, inner entry: {month, day}, 0 when open
    std::array<int, 3> end;    // outer, middle, inner exit
    int minimum;               // month * 100 + day
    int hour, minute;
};

// Dates as month * 100 + day, all in 2026.
std::optional<std::int32_t> DayOf(int monthDay) {
    if (monthDay == 0) return std::nullopt;
    return Day(2026, monthDay / 100, monthDay % 100);
}

std::optional<std::int32_t> DayOf(const std::optional<OrbDate>& date) {
    if (!date) return std::nullopt;
    EXPECT_FALSE(date->retrograde);  // Mars turns retrograde only in 2027
    return date->day;
}

TransitResult MarsJupiter2026(kovo::testing::FakeRunHost& host) {
    kovo::testing::InitModelOnce();
    TransitRequest request;  // Mars and Jupiter, 10/5/2, GMT
    request.firstDay = Day(2026, 1, 1);
    request.lastDay = Day(2026, 12, 31);
    for (std::size_t a = 1; a <= 7; ++a) request.aspects[a] = true;
    return RunTwoPlanet(request, host);
}

std::string Golden() {
    std::ifstream in(std::string(KOVO_TEST_SOURCE_DIR) + "/transits/golden/mars_jupiter_2026_geo_gmt.txt",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

TEST(TransitResultRecords, MarsJupiter2026PeriodsMatchTheGoldenReport) {
    kovo::testing::FakeRunHost host;
    const TransitResult result = MarsJupiter2026(host);
    EXPECT_EQ(host.output, Golden());  // the text rendered from these records

    EXPECT_EQ(result.outcome, util::RunOutcome::Completed);
    EXPECT_TRUE(result.refusal.empty());
    EXPECT_FALSE(result.outputFull);
    EXPECT_EQ(result.inputs.firstPlanet, 4);
    EXPECT_EQ(result.inputs.secondPlanet, 5);
    EXPECT_FALSE(result.inputs.heliocentric);
    EXPECT_EQ(result.inputs.orbDegrees, (std::array<int, 3>{10, 5, 2}));
    EXPECT_EQ(result.inputs.startDay, Day(2026, 1, 1));
    EXPECT_EQ(result.inputs.endDay, Day(2026, 12, 31));
    EXPECT_EQ(result.inputs.zone.FixedMinutes(), 0);
    EXPECT_EQ(result.inputs.zone.Name(), "GMT");

    const std::vector<Expected> expected = {
        {2, {0, 105, 108}, {121, 116, 113}, 110, 14, 25},     {7, {201, 207, 211}, {225, 219, 215}, 213, 1, 15},
        {4, {309, 315, 319}, {404, 329, 324}, 322, 0, 1},     {3, {419, 427, 502}, {522, 513, 508}, 505, 2, 8},
        {5, {609, 618, 624}, {719, 708, 702}, 628, 4, 50},    {6, {809, 821, 828}, {926, 913, 906}, 901, 17, 20},
        {1, {1021, 1103, 1111}, {1217, 1130, 1122}, 1116, 6, 24}};
    ASSERT_EQ(result.periods.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Expected& e = expected[i];
        const TransitPeriod& p = result.periods[i];
        SCOPED_TRACE(astro::AspectName[static_cast<std::size_t>(e.aspect)]);
        EXPECT_EQ(p.aspect, e.aspect);
        EXPECT_EQ(p.cutAtStart, e.start[kOuterOrb] == 0);
        EXPECT_FALSE(p.cutAtEnd);
        ASSERT_EQ(p.passes.size(), 1u);
        const TransitPass& pass = p.passes[0];
        EXPECT_EQ(DayOf(p.outer.entry), DayOf(e.start[kOuterOrb]));
        EXPECT_EQ(DayOf(pass.middle.entry), DayOf(e.start[kMiddleOrb]));
        EXPECT_EQ(DayOf(pass.inner.entry), DayOf(e.start[kInnerOrb]));
        EXPECT_EQ(DayOf(p.outer.exit), DayOf(e.end[kOuterOrb]));
        EXPECT_EQ(DayOf(pass.middle.exit), DayOf(e.end[kMiddleOrb]));
        EXPECT_EQ(DayOf(pass.inner.exit), DayOf(e.end[kInnerOrb]));

        ASSERT_TRUE(pass.minimum.has_value());
        const TransitMinimum& m = *pass.minimum;
        EXPECT_TRUE(m.exact);
        EXPECT_EQ(p.ExactPasses(), 1);
        EXPECT_EQ(m.day, DayOf(e.minimum));
        const ExactClock clock = ExactClockAt(m.instantUt);
        EXPECT_EQ(clock.day, m.day);
        EXPECT_EQ(clock.hour * 60 + clock.minute, e.hour * 60 + e.minute);
        const double minute = Day(2026, e.minimum / 100, e.minimum % 100) - 0.5 + (e.hour * 60 + e.minute) / 1440.0;
        EXPECT_NEAR(m.instantUt, minute, 1e-8) << "a whole minute";
        EXPECT_GE(m.deviation, 0.0);
        EXPECT_LT(m.deviation / astro::FullCircle * 360 * 60, 1.0);  // within a minute of arc
        EXPECT_FALSE(m.retrograde);
    }
}
