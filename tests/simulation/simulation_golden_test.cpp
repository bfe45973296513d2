// Whole simulation reports on the real index file, compared byte for byte with reports
// checked by hand: the orb crossings against heliocentric Earth-Jupiter separations
// computed directly from the ephemeris (10° entered on 2011-03-26 between 09:00 and
// 12:00 UT, left on 2011-04-17; 5° on 2011-04-01 and 2011-04-12; 2° on 2011-04-04 and
// 2011-04-08), the prices against the file (Saturday 2011-03-26 and Sunday 2011-04-17
// priced with the following Mondays, 12197.88 and 12201.59).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "fake_run_host.h"
#include "simulation/simulation.h"
#include "simulation_test_support.h"
#include "test_support.h"

namespace kovo::simulation {
namespace {

std::string ReadGolden(const std::string& name) {
    const auto path = std::filesystem::path(KOVO_TEST_SOURCE_DIR) / "simulation" / "golden" / name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

struct RealRun {
    SimulationRun run;
    std::string output;
};

RealRun RunOnRealFile(const std::array<bool, 7>& aspects) {
    IndexPrices prices;
    const std::optional<util::Message> problem = prices.Load(testing::SharedDataFolder() + "/DJIA_data.txt");
    EXPECT_FALSE(problem.has_value());
    const SimulationRequest params{
        .first = astro::Body::Sun, .second = astro::Body::Jupiter, .aspectChecked = aspects, .orbDegrees = {10, 5, 2},
        .startDay = 2455636, .endDay = 2455835,  // 2011-03-15, 2011-09-30
        .includeDetails = true,
        .firstName = "Earth", .secondName = "Jupiter",
        .numberFormat = NumberFormat{}};
    testing::FakeRunHost host;
    SimulationRun run = RunSimulation(params, prices, host);
    EXPECT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_TRUE(host.messages.empty());
    return {std::move(run), host.output};
}

class SimulationGoldenTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::InitModelOnce();
        KOVO_REQUIRE_INDEX_FILE(testing::SharedIndexFile());
    }
};

TEST_F(SimulationGoldenTest, EarthJupiterConjunctionMarchToSeptember2011) {
    // The conjunction falls on 2011-10-29, so the period sees no investment.
    const RealRun real = RunOnRealFile(testing::Aspects({1}));
    EXPECT_EQ(real.output, ReadGolden("earth_jupiter_2011_conjunction.txt"));
    EXPECT_TRUE(real.run.events.empty());
    EXPECT_EQ(SimulationReportText(real.run), real.output);
}

TEST_F(SimulationGoldenTest, EarthJupiterConjunctionAndOppositionMarchToSeptember2011) {
    EXPECT_EQ(RunOnRealFile(testing::Aspects({1, 2})).output,
              ReadGolden("earth_jupiter_2011_conjunction_opposition.txt"));
}

// The same run as records: the detail lines' days, numbers and amounts, with each gain
// worked out from the file's prices (a weekend day takes the next Monday's).
TEST_F(SimulationGoldenTest, EarthJupiterOppositionEventsAsData) {
    const SimulationRun run = RunOnRealFile(testing::Aspects({1, 2})).run;
    using enum SimulationEventKind;
    struct Expected {
        SimulationEventKind kind;
        std::int32_t day;
        int orb;
        double value;
        double amount;
    };
    const Expected expected[] = {
        {Investment, 2455647, 10, 12197.88, 100.0},  // Saturday 2011-03-26, Monday's price
        {Investment, 2455653, 5, 12376.72, 100.0},   // 2011-04-01
        {Investment, 2455656, 2, 12400.03, 100.0},   // 2011-04-04
        {Redemption, 2455660, 2, 12380.05, -0.16112864243071492},  // 2011-04-08
        {Redemption, 2455664, 5, 12263.58, -0.9141355706519936},   // 2011-04-12
        {Redemption, 2455669, 10, 12201.59, 0.03041512131617089},  // Sunday 2011-04-17, Monday's price
    };
    ASSERT_EQ(run.events.size(), std::size(expected));
    for (std::size_t i = 0; i < run.events.size(); ++i) {
        const SimulationEvent& event = run.events[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(event.kind, expected[i].kind);
        EXPECT_EQ(event.day, expected[i].day);
        EXPECT_EQ(event.aspect, 2);
        EXPECT_EQ(event.orbDegrees, expected[i].orb);
        EXPECT_EQ(event.number, 1);
        EXPECT_DOUBLE_EQ(event.indexValue, expected[i].value);
        EXPECT_NEAR(event.amount, expected[i].amount, 1e-9);
        // Each slot redeems once, so its total is that gain.
        EXPECT_EQ(event.runningTotal, event.kind == Redemption ? event.amount : 0.0);
    }

    // The summary as data: opposition slots by their rounded totals, best first, the
    // empty conjunction slots between them in the order of their sort keys.
    ASSERT_EQ(run.SimulationSlots.size(), 6u);
    const std::pair<int, int> order[] = {{2, 10}, {1, 5}, {1, 2}, {1, 10}, {2, 2}, {2, 5}};
    const double totals[] = {0.03, 0.0, 0.0, 0.0, -0.16, -0.91};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(run.SimulationSlots[i].Aspect, order[i].first) << i;
        EXPECT_EQ(run.SimulationSlots[i].OrbDegrees, order[i].second) << i;
        EXPECT_DOUBLE_EQ(run.SimulationSlots[i].RunningTotal, totals[i]) << i;
    }
    EXPECT_EQ(run.totals.TotalInvestments, 3);
    EXPECT_EQ(run.totals.AspectInvestments[2], 3);
    EXPECT_EQ(run.totals.AspectInvestments[1], 0);
    EXPECT_NEAR(run.totals.AspectGain[2], -0.16112864243071492 - 0.9141355706519936 + 0.03041512131617089, 1e-9);
    EXPECT_EQ(run.inputs.firstName, "Earth");
    EXPECT_EQ(run.inputs.endDay, 2455835);

    // Rendered from these records alone, the report is the hand-checked one.
    EXPECT_EQ(SimulationReportText(run), ReadGolden("earth_jupiter_2011_conjunction_opposition.txt"));
}

}  // namespace
}  // namespace kovo::simulation
