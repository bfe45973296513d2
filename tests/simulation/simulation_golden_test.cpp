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
    const auto path = std::filesystem::path(__FILE__).parent_path() / "golden" / name;
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

std::string RunOnRealFile(const std::array<bool, 7>& aspects) {
    IndexPrices prices;
    const std::optional<util::Message> problem = prices.Load(testing::SharedDataFolder() + "/DJIA_data.txt");
    EXPECT_FALSE(problem.has_value());
    const SimulationParams params{
        .firstPlanet = 1, .secondPlanet = 5, .aspectChecked = aspects, .orbDegrees = {10, 5, 2},
        .startDay = 2455636, .endDay = 2455835,  // 2011-03-15, 2011-09-30
        .includeDetails = true,
        .heading = "Heliocentric transits for Earth and Jupiter from March 15, 2011, to September 30, 2011",
        .numberFormat = NumberFormat{}};
    testing::FakeRunHost host;
    util::RunFlags flags;
    const SimulationRun run = ClickSimulateInvestment(params, prices, flags, host);
    EXPECT_EQ(run.outcome, SimulationOutcome::Finished);
    EXPECT_TRUE(host.messages.empty());
    return host.output;
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
    EXPECT_EQ(RunOnRealFile(testing::Aspects({1})), ReadGolden("earth_jupiter_2011_conjunction.txt"));
}

TEST_F(SimulationGoldenTest, EarthJupiterConjunctionAndOppositionMarchToSeptember2011) {
    EXPECT_EQ(RunOnRealFile(testing::Aspects({1, 2})), ReadGolden("earth_jupiter_2011_conjunction_opposition.txt"));
}

}  // namespace
}  // namespace kovo::simulation
