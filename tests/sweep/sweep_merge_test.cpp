// Sweeps split by their pairs, written as JSON, read back and merged: the outputs of one
// sweep over all the pairs, or a refusal that names the files.
#include <gtest/gtest.h>

#include "export/sweep_export.h"
#include "sweep/sweep_merge.h"
#include "sweep_support.h"

namespace kovo::sweep {
namespace {

using backtest::Side;

// A part as sweep-merge sees it: written as JSON and read back.
SweepResult ThroughJson(const SweepResult& result) {
    auto read = exporting::ReadSweepJson(exporting::SweepJson(result));
    if (auto* why = std::get_if<std::string>(&read)) ADD_FAILURE() << *why;
    return std::holds_alternative<SweepResult>(read) ? std::get<SweepResult>(read) : SweepResult{};
}

std::string Refusal(std::variant<SweepResult, std::string> merged) {
    return std::holds_alternative<std::string>(merged) ? std::get<std::string>(merged) : "";
}

class SweepMerge : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::InitModelOnce(); }

    // The two years' sweep of `pairs` with cycles, both sides and a hold-out.
    static SweepResult Sweep(const std::string& pairs, std::uint64_t seed = 1) {
        static const backtest::PriceSeries series = testing::WeekdayWalk(2020, 2021, 17);
        SweepRequest request = testing::SweepOf(pairs, 40);
        request.sides = {Side::Long, Side::Short};
        request.events = {.aspects = true, .stations = true, .ingresses = true, .phases = true};
        request.holdoutDay = testing::Day(2021, 1, 4);
        request.seed = seed;
        request.jobs = 2;
        SweepResult result = RunSweep(request, series, {});
        EXPECT_EQ(result.outcome, util::RunOutcome::Completed) << result.refusal;
        return result;
    }
};

TEST_F(SweepMerge, GeoAndHelioPartsGiveTheOutputsOfOneSweepOverAllPairs) {
    const SweepResult all = Sweep("all");
    ASSERT_EQ(all.units.size(), 72u + 9u + 1u);
    const auto merged = MergeSweeps({ThroughJson(Sweep("geo")), ThroughJson(Sweep("helio"))}, {"geo.json", "helio.json"});
    ASSERT_EQ(Refusal(merged), "");
    const SweepResult& result = std::get<SweepResult>(merged);
    EXPECT_TRUE(testing::SameText(exporting::SweepText(result), exporting::SweepText(all)));
    EXPECT_TRUE(testing::SameText(exporting::SweepCsv(result), exporting::SweepCsv(all)));
    EXPECT_TRUE(testing::SameText(exporting::SweepJson(result), exporting::SweepJson(all)));
}

TEST_F(SweepMerge, PartsOfSeveralPairListsMergeInTheOrderOfTheirLists) {
    // Each part has cycles of bodies the other lacks: the merge orders the units as one
    // run over both lists does, pairs first.
    const SweepResult one = Sweep("Mars-Jupiter,Sun-Moon,Earth-Venus/helio,Mercury-Saturn");
    const auto merged = MergeSweeps({ThroughJson(Sweep("Mars-Jupiter,Sun-Moon")), ThroughJson(Sweep("Earth-Venus/helio")),
                                     ThroughJson(Sweep("Mercury-Saturn"))},
                                    {"a.json", "b.json", "c.json"});
    ASSERT_EQ(Refusal(merged), "");
    EXPECT_TRUE(testing::SameText(exporting::SweepJson(std::get<SweepResult>(merged)), exporting::SweepJson(one)));
    EXPECT_TRUE(testing::SameText(exporting::SweepText(std::get<SweepResult>(merged)), exporting::SweepText(one)));
}

TEST_F(SweepMerge, PartsOfOtherSettingsOrWithAPairTwiceAreRefusedByName) {
    const SweepResult mars = ThroughJson(Sweep("Mars-Jupiter,Saturn-Uranus/helio"));
    std::string why = Refusal(MergeSweeps({mars, ThroughJson(Sweep("Sun-Venus", 2))}, {"mars.json", "venus.json"}));
    EXPECT_EQ(why, "venus.json is a sweep of other settings than mars.json (they differ in their seed); only sweeps of the same "
                   "prices and settings merge.");
    why = Refusal(MergeSweeps({mars, ThroughJson(Sweep("Sun-Venus")), ThroughJson(Sweep("Venus-Mars,Jupiter-Mars"))},
                              {"mars.json", "venus.json", "again.json"}));
    EXPECT_EQ(why, "again.json and mars.json both hold Mars-Jupiter geo; each pair belongs to one part only.");
    // The same bodies heliocentrically are another pair.
    EXPECT_EQ(Refusal(MergeSweeps({mars, ThroughJson(Sweep("Mars-Jupiter/helio"))}, {"a", "b"})), "");
    SweepResult shorter = mars;
    shorter.lastDay -= 1;
    EXPECT_NE(Refusal(MergeSweeps({mars, shorter}, {"a", "b"})).find("they differ in their range of closes"), std::string::npos);
    EXPECT_EQ(Refusal(MergeSweeps({}, {})), "There is no sweep to merge.");
}

}  // namespace
}  // namespace kovo::sweep
