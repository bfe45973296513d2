// The cycle lanes from the ephemeris: Mercury's 2024 cycles with their stations at the
// published minutes, phases in order and clipped open at the range's edges, the bodies
// a run's chart gets lanes for, and the chart of one body's cycles alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chart/cycle_layout.h"
#include "chart/cycle_timeline.h"
#include "chart/chart_export.h"
#include "chart/local_time.h"
#include "chart/timeline_layout.h"
#include "chart_test_support.h"

namespace kovo::chart {
namespace {

using testing::Day;

constexpr double kMinute = 1.0 / 1440;

double GmtMidnight(int y, int m, int d) { return Day(y, m, d) - 0.5; }

transits::TransitRunParams PairParams(int first, int second, bool helio, int zonePosition = 24, const char* zone = "GMT") {
    kovo::testing::InitModelOnce();
    transits::TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.firstName = astro::PlanetName(first, helio, false);
    p.secondName = astro::PlanetName(second, helio, false);
    p.zone = kovo::testing::ListZone(zonePosition, zone);
    return p;
}

TimelineModel RunChart(std::vector<transits::TransitRunParams> pairs, double fromUt, double toUt) {
    TimelineModel model;
    model.pairs = std::move(pairs);
    model.rangeStartUt = fromUt;
    model.rangeEndUt = toUt;
    AddCycleLanes(model);
    return model;
}

std::vector<const CycleTick*> Stations(const CycleLane& lane) {
    std::vector<const CycleTick*> found;
    for (const CycleTick& t : lane.ticks)
        if (t.mark != CycleMark::Ingress) found.push_back(&t);
    return found;
}

// Each cycle's phases touch end to start in the order pre-shadow, retrograde, post-shadow.
void ExpectPhasesInOrder(const CycleLane& lane) {
    for (std::size_t i = 1; i < lane.spans.size(); ++i) {
        const CycleSpan& a = lane.spans[i - 1];
        const CycleSpan& b = lane.spans[i];
        EXPECT_LT(a.startUt, a.endUt);
        if (a.cycle != b.cycle) {
            EXPECT_LT(a.endUt, b.startUt);
            continue;
        }
        EXPECT_LT(static_cast<int>(a.phase), static_cast<int>(b.phase));
        EXPECT_DOUBLE_EQ(a.endUt, b.startUt);
    }
}

TEST(CycleLanes, MercuryFromFebruary2024HasThreeWholeCyclesAtThePublishedStations) {
    const auto zone = PairParams(2, 3, false);
    const CycleLane lane = BuildCycleLane({.body = astro::Body::Mercury}, GmtMidnight(2024, 2, 1),
                                          GmtMidnight(2025, 1, 1), zone);
    EXPECT_TRUE(lane.stations);
    EXPECT_FALSE(lane.incomplete);
    EXPECT_EQ(lane.label, "Mercury retrograde, signs");
    EXPECT_EQ(lane.cycleCount, 3);
    ASSERT_EQ(lane.spans.size(), 9u);
    ExpectPhasesInOrder(lane);
    // Stations of 2024 in UT, as almanacs list them.
    const double published[6] = {GmtMidnight(2024, 4, 1) + (22 * 60 + 14) * kMinute,
                                 GmtMidnight(2024, 4, 25) + (12 * 60 + 54) * kMinute,
                                 GmtMidnight(2024, 8, 5) + (4 * 60 + 56) * kMinute,
                                 GmtMidnight(2024, 8, 28) + (21 * 60 + 14) * kMinute,
                                 GmtMidnight(2024, 11, 26) + (2 * 60 + 42) * kMinute,
                                 GmtMidnight(2024, 12, 15) + (20 * 60 + 56) * kMinute};
    const auto stations = Stations(lane);
    ASSERT_EQ(stations.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_NEAR(stations[i]->instantUt, published[i], 5 * kMinute) << i;
        EXPECT_EQ(stations[i]->mark, i % 2 == 0 ? CycleMark::StationRetrograde : CycleMark::StationDirect);
        // The retrograde span runs from one station to the next.
        EXPECT_DOUBLE_EQ(lane.spans[3 * (i / 2) + 1].startUt, stations[i - i % 2]->instantUt);
    }
    // The December cycle's post-shadow lasts into January: open at the range's end only.
    EXPECT_TRUE(lane.spans.back().cutAtEnd);
    EXPECT_DOUBLE_EQ(lane.spans.back().endUt, GmtMidnight(2025, 1, 1));
    EXPECT_EQ(std::count_if(lane.spans.begin(), lane.spans.end(), [](const CycleSpan& s) { return s.cutAtStart || s.cutAtEnd; }), 1);
}

TEST(CycleLanes, ACycleTheRangeCutsKeepsOnlyItsPartInsideAndIsOpenThere) {
    // Mercury turned direct on 2 January 2024 (UT): from 1 January the range begins inside
    // its retrograde span.
    const auto zone = PairParams(2, 3, false);
    const CycleLane lane = BuildCycleLane({.body = astro::Body::Mercury}, GmtMidnight(2024, 1, 1),
                                          GmtMidnight(2025, 1, 1), zone);
    EXPECT_EQ(lane.cycleCount, 4);
    ASSERT_GE(lane.spans.size(), 2u);
    EXPECT_EQ(lane.spans[0].phase, CyclePhase::Retrograde);
    EXPECT_TRUE(lane.spans[0].cutAtStart);
    EXPECT_FALSE(lane.spans[0].cutAtEnd);
    EXPECT_DOUBLE_EQ(lane.spans[0].startUt, GmtMidnight(2024, 1, 1));
    EXPECT_EQ(lane.spans[1].phase, CyclePhase::PostShadow);
    EXPECT_FALSE(lane.spans[1].cutAtStart);
    ExpectPhasesInOrder(lane);
    const auto stations = Stations(lane);
    ASSERT_EQ(stations.size(), 7u);
    EXPECT_EQ(stations.front()->mark, CycleMark::StationDirect);
    EXPECT_NEAR(stations.front()->instantUt, GmtMidnight(2024, 1, 2) + (3 * 60 + 8) * kMinute, 5 * kMinute);
}

TEST(CycleLanes, IngressesFollowTheSignsAndReentriesFallInRetrogradeSpans) {
    const auto zone = PairParams(2, 3, false);
    const CycleLane lane = BuildCycleLane({.body = astro::Body::Mercury}, GmtMidnight(2024, 1, 1),
                                          GmtMidnight(2025, 1, 1), zone);
    std::vector<const CycleTick*> ingresses;
    for (const CycleTick& t : lane.ticks)
        if (t.mark == CycleMark::Ingress) ingresses.push_back(&t);
    ASSERT_GE(ingresses.size(), 12u);
    for (std::size_t i = 1; i < ingresses.size(); ++i) {
        const int step = (ingresses[i]->sign - ingresses[i - 1]->sign + 12) % 12;
        EXPECT_EQ(step, ingresses[i]->retrograde ? 11 : 1) << i;
        EXPECT_LE(ingresses[i - 1]->instantUt, ingresses[i]->instantUt);
    }
    for (const CycleTick* t : ingresses) {
        if (!t->retrograde) continue;
        const bool inRetrogradeSpan = std::any_of(lane.spans.begin(), lane.spans.end(), [t](const CycleSpan& s) {
            return s.phase == CyclePhase::Retrograde && s.startUt <= t->instantUt && t->instantUt <= s.endUt;
        });
        EXPECT_TRUE(inRetrogradeSpan) << t->when;
    }
}

TEST(CycleLanes, TimesReadInTheRunsZone) {
    const auto zone = PairParams(2, 3, false, 34, "GMT+5:00");
    const CycleLane lane = BuildCycleLane({.body = astro::Body::Mercury}, GmtMidnight(2024, 3, 1),
                                          GmtMidnight(2024, 5, 1), zone);
    const auto stations = Stations(lane);
    ASSERT_EQ(stations.size(), 2u);
    // 22:14 UT on 1 April is 03:14 on 2 April five hours east.
    EXPECT_EQ(stations[0]->when.substr(0, 14), "2024-04-02 03:");
    EXPECT_EQ(stations[0]->when, FormatExactMinute(zone, stations[0]->instantUt));
    const std::string tip = CycleTickToolTip(lane, *stations[0]);
    EXPECT_EQ(tip.substr(0, tip.find('\n')), "Mercury stations retrograde");
    EXPECT_NE(tip.find(stations[0]->when), std::string::npos);
    EXPECT_NE(tip.find("\u00b0"), std::string::npos);
    EXPECT_NE(tip.find(" Aries"), std::string::npos) << tip;  // 27° Aries
}

TEST(CycleLanes, ARunGetsALaneForEachBodyThatCanStationAndHeliocentricRunsIngressesOnly) {
    const double from = GmtMidnight(2024, 1, 1);
    const double to = GmtMidnight(2024, 7, 1);
    TimelineModel geo = RunChart({PairParams(1, 4, false)}, from, to);  // the Sun never stations
    ASSERT_EQ(geo.cycleLanes.size(), 1u);
    EXPECT_EQ(geo.cycleLanes[0].body, "Mars");
    // The heading's order, also when the names of a pair were swapped for it.
    auto swapped = PairParams(2, 3, false);
    std::swap(swapped.firstName, swapped.secondName);
    TimelineModel both = RunChart({swapped}, from, to);
    ASSERT_EQ(both.cycleLanes.size(), 2u);
    EXPECT_EQ(both.cycleLanes[0].body, "Venus");
    EXPECT_EQ(both.cycleLanes[1].body, "Mercury");

    TimelineModel helio = RunChart({PairParams(1, 2, true)}, from, to);  // Earth and Mercury
    ASSERT_EQ(helio.cycleLanes.size(), 1u);
    const CycleLane& mercury = helio.cycleLanes[0];
    EXPECT_FALSE(mercury.stations);
    EXPECT_EQ(mercury.label, "Mercury signs");
    EXPECT_TRUE(mercury.spans.empty());
    EXPECT_TRUE(Stations(mercury).empty());
    EXPECT_GE(mercury.ticks.size(), 8u);  // round the Sun in 88 days: two laps in half a year
    EXPECT_TRUE(std::none_of(mercury.ticks.begin(), mercury.ticks.end(), [](const CycleTick& t) { return t.retrograde; }));

    // All transits: the body kept in every pair.
    auto mj = PairParams(4, 5, false);
    auto ms = PairParams(4, 6, false);
    mj.kind = ms.kind = transits::RunKind::AllTransits;
    TimelineModel all = RunChart({mj, ms}, from, to);
    ASSERT_EQ(all.cycleLanes.size(), 1u);
    EXPECT_EQ(all.cycleLanes[0].body, "Mars");
    // A refused run's chart has no pair and so no lane.
    EXPECT_TRUE(RunChart({}, from, to).cycleLanes.empty());
}

TEST(CycleLanes, TheLanesComeOnlyWhenAskedFor) {
    const transits::TransitResult r = testing::ScanPair(2, 4, Day(2024, 1, 1), Day(2024, 3, 31));
    const exporting::RunRecords records = r;
    const auto plain = TimelineOf(records);
    const auto withCycles = TimelineOf(records, {.cycles = true});
    ASSERT_TRUE(plain && withCycles);
    EXPECT_TRUE(plain->cycleLanes.empty());
    ASSERT_EQ(withCycles->cycleLanes.size(), 2u);
    EXPECT_EQ(withCycles->lanes.size(), plain->lanes.size());
    EXPECT_EQ(withCycles->cycleLanes[0].body, "Mercury");
    // Over the chart's own range: local midnight of the first day to the end of the last.
    const CycleLane expected =
        BuildCycleLane({.body = astro::Body::Mercury}, plain->rangeStartUt, plain->rangeEndUt, r.inputs);
    EXPECT_EQ(withCycles->cycleLanes[0].ticks.size(), expected.ticks.size());
    EXPECT_EQ(withCycles->cycleLanes[0].spans.size(), expected.spans.size());
    // The cursor names the phase it lies in: Mercury is retrograde on 1 January 2024.
    EXPECT_NE(CursorStatus(*withCycles, GmtMidnight(2024, 1, 1) + 0.5).find("Mercury: retrograde"), std::string::npos);
    EXPECT_EQ(CursorStatus(*plain, GmtMidnight(2024, 1, 1) + 0.5).find("Mercury:"), std::string::npos);
}

TEST(CycleTimeline, OneBodysCyclesAloneInItsZone) {
    const double from = GmtMidnight(2024, 1, 1);
    const double to = GmtMidnight(2025, 1, 1);
    const calendar::ReportZone zone = kovo::testing::ListZone(34, "GMT+5:00");
    const TimelineModel model = BuildCycleTimeline({.body = astro::Body::Mars}, from, to, zone, "Mars 2024");
    EXPECT_EQ(model.title, "Mars 2024");
    EXPECT_TRUE(model.lanes.empty() && model.pairs.empty());
    ASSERT_EQ(model.cycleLanes.size(), 1u);
    EXPECT_EQ(model.emptyText, "");
    EXPECT_EQ(model.Params(0).ZoneName(), "GMT+5:00");
    EXPECT_NE(model.subtitle.find("Retrograde cycles and ingresses"), std::string::npos);
    // Mars turned retrograde on 6 December 2024: the cycle runs on past the range.
    const CycleLane& mars = model.cycleLanes[0];
    ASSERT_FALSE(mars.spans.empty());
    EXPECT_TRUE(mars.spans.back().cutAtEnd);
    EXPECT_EQ(mars.spans.back().phase, CyclePhase::Retrograde);

    const TimelineModel helio = BuildCycleTimeline({.body = astro::Body::Mars, .heliocentric = true}, from, to, zone, "");
    EXPECT_TRUE(helio.cycleLanes[0].spans.empty());
    EXPECT_NE(helio.subtitle.find("Ingresses"), std::string::npos);
    const TimelineModel empty = BuildCycleTimeline({.body = astro::Body::Mars}, to, from, zone, "");
    EXPECT_TRUE(empty.cycleLanes.empty());
    EXPECT_EQ(empty.emptyText, "The range is empty");
    EXPECT_GT(empty.rangeEndUt, empty.rangeStartUt);
    const TimelineModel notFinite = BuildCycleTimeline({.body = astro::Body::Mars}, from, NAN, zone, "");
    EXPECT_EQ(notFinite.emptyText, "The range is empty");
}

}  // namespace
}  // namespace kovo::chart
