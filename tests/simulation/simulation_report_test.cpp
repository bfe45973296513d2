// The simulation's texts: number formats, title block, event lines and summary, each from its records.
#include <gtest/gtest.h>

#include "fake_run_host.h"
#include "simulation/simulation_report.h"
#include "simulation/simulation_slot.h"
#include "test_support.h"

namespace kovo::simulation {
namespace {

using testing::FakeRunHost;

const NumberFormat kEnglish;

constexpr std::int32_t k2011Mar15 = 2455636;
constexpr std::int32_t k2011Apr02 = 2455654;
constexpr std::int32_t k2011May01 = 2455683;
constexpr std::int32_t k2011May20 = 2455702;
constexpr std::int32_t k2011Jun01 = 2455714;
constexpr std::int32_t k2011Sep30 = 2455835;

SimulationSlot Slot(int aspect, int orb, double total = 0.0, int count = 0) {
    SimulationSlot slot;
    slot.FirstPlanet = 1;
    slot.SecondPlanet = 5;
    slot.Aspect = aspect;
    slot.OrbDegrees = orb;
    slot.RunningTotal = total;
    slot.InvestmentCount = count;
    return slot;
}

class SimulationReportTest : public ::testing::Test {
protected:
    void SetUp() override { testing::InitModelOnce(); }
    FakeRunHost host;
};

TEST(FormatAmountTest, TwoDecimalsGroupsAndSign) {
    EXPECT_EQ(FormatAmount(0.0, kEnglish), "0.00");
    EXPECT_EQ(FormatAmount(0.5, kEnglish), "0.50");
    EXPECT_EQ(FormatAmount(2.5, kEnglish), "2.50");
    EXPECT_EQ(FormatAmount(999.999, kEnglish), "1,000.00");
    EXPECT_EQ(FormatAmount(1234567.891, kEnglish), "1,234,567.89");
    EXPECT_EQ(FormatAmount(-12.34, kEnglish), "-12.34");
    EXPECT_EQ(FormatAmount(-1234.5, kEnglish), "-1,234.50");
}

TEST(FormatAmountTest, SignOfValuesThatRoundToZero) {
    EXPECT_EQ(FormatAmount(-0.004, kEnglish), "-0.00");
    EXPECT_EQ(FormatAmount(-0.0, kEnglish), "0.00");
    EXPECT_EQ(FormatAmount(0.004, kEnglish), "0.00");
}

TEST(FormatAmountTest, RoundsTheExactBinaryValue) {
    EXPECT_EQ(FormatAmount(0.125, kEnglish), "0.12");  // an exact tie goes to even
    EXPECT_EQ(FormatAmount(0.375, kEnglish), "0.38");
    EXPECT_EQ(FormatAmount(2.675, kEnglish), "2.67");  // stored just below 2.675
    EXPECT_EQ(FormatAmount(1.005, kEnglish), "1.00");  // stored just below 1.005
    EXPECT_EQ(FormatAmount(0.135, kEnglish), "0.14");  // stored just above 0.135
}

TEST(FormatAmountTest, UsesTheInjectedSeparators) {
    const NumberFormat german{.decimalPoint = ",", .groupSeparator = "."};
    EXPECT_EQ(FormatAmount(1234567.891, german), "1.234.567,89");
    const NumberFormat swiss{.decimalPoint = ".", .groupSeparator = "\u2019"};
    EXPECT_EQ(FormatAmount(-12345.6, swiss), "-12\u2019345.60");
}

TEST(FormatOrbFieldTest, ThreeCharactersThenDegreeSign) {
    EXPECT_EQ(FormatOrbField(5), "  5°");
    EXPECT_EQ(FormatOrbField(10), " 10°");
    EXPECT_EQ(FormatOrbField(15), " 15°");
}

TEST_F(SimulationReportTest, TitleRuleHasTheTitlesLengthInCharacters) {
    WriteSimulationTitle(host.Report(), SimulationTitle{.firstName = "Earth", .secondName = "Jupiter",
                                               .startDay = k2011Mar15, .endDay = k2011Sep30});
    const std::string title =
        "Simulated investments for selected aspects for Earth and Jupiter from March 15, 2011, to September 30, 2011";
    EXPECT_EQ(title.size(), 107u);
    EXPECT_EQ(host.output, std::string(107, '-') + "\r\n" + title + "\r\n");

    // The rule counts characters, not bytes, and earlier text gets one line break.
    FakeRunHost accented;
    accented.output = "x";
    WriteSimulationTitle(accented.Report(), SimulationTitle{.firstName = "Vénus", .secondName = "Mars",
                                                   .startDay = k2011May01, .endDay = k2011Jun01});
    const std::string accentedTitle =
        "Simulated investments for selected aspects for Vénus and Mars from May 1, 2011, to June 1, 2011";
    EXPECT_EQ(accented.output, "x\r\n" + std::string(95, '-') + "\r\n" + accentedTitle + "\r\n");
}

TEST(SimulationTitleTest, BuiltFromTheNamesAndDaysAsGiven) {
    // Nothing is searched for in the words: names holding "for" stay whole, and an empty
    // name (a planet list without a selection) leaves its gap.
    SimulationTitle title{.firstName = "Comfort", .secondName = "for", .startDay = k2011Mar15, .endDay = k2011Sep30};
    EXPECT_EQ(SimulationTitleText(title),
              "Simulated investments for selected aspects for Comfort and for from March 15, 2011, to September 30, 2011");
    title.firstName.clear();
    EXPECT_EQ(SimulationTitleText(title),
              "Simulated investments for selected aspects for  and for from March 15, 2011, to September 30, 2011");
}

TEST(SimulationTitleTest, AGeocentricOptionAddsTheRetrogradeNoteExceptForTheSun) {
    SimulationTitle title{.firstName = "Mars", .secondName = "Jupiter", .startDay = k2011May01,
                          .endDay = k2011Jun01, .heliocentric = false};
    EXPECT_EQ(SimulationTitleText(title), "Simulated investments for selected aspects for Mars and Jupiter from "
                                          "May 1, 2011, to June 1, 2011 ('r' = Mars retrograde)");
    title.firstName = "Sun";
    EXPECT_EQ(SimulationTitleText(title),
              "Simulated investments for selected aspects for Sun and Jupiter from May 1, 2011, to June 1, 2011");
    title.heliocentric = true;
    title.firstName = "Mars";
    EXPECT_EQ(SimulationTitleText(title),
              "Simulated investments for selected aspects for Mars and Jupiter from May 1, 2011, to June 1, 2011");
}

TEST_F(SimulationReportTest, EventLines) {
    using enum SimulationEventKind;
    const SimulationEvent events[] = {
        {.kind = Investment, .day = k2011Apr02, .aspect = 1, .orbDegrees = 10, .number = 1, .amount = 100},
        {.kind = Investment, .day = k2011Apr02 + 1, .aspect = 7, .orbDegrees = 5, .number = 12, .amount = 100},
        {.kind = Redemption, .day = k2011May20, .aspect = 1, .orbDegrees = 10, .number = 1, .amount = 2.5,
         .runningTotal = 2.5},
        {.kind = Redemption, .day = k2011May20 + 1, .aspect = 2, .orbDegrees = 2, .number = 3, .amount = -0.004,
         .runningTotal = -1.2512},
        {.kind = Redemption, .day = k2011May20 + 2, .aspect = 2, .orbDegrees = 2, .number = 4, .amount = 0.0,
         .runningTotal = 1234.5},
        // A total of -0.004 rounds to 0.00 but is still a loss.
        {.kind = Redemption, .day = k2011May20 + 2, .aspect = 2, .orbDegrees = 2, .number = 5, .amount = 0.001,
         .runningTotal = -0.004},
        {.kind = Cancellation, .day = k2011May20 + 3, .aspect = 4, .orbDegrees = 15, .number = 2}};
    for (const SimulationEvent& event : events) WriteSimulationEvent(host.Report(), event, kEnglish);
    EXPECT_EQ(host.output,
              "Conjunction  10°, investment #1 on 2011-04-02 of $100\r\n"
              "Quincunx   5°, investment #12 on 2011-04-03 of $100\r\n"
              "Conjunction  10°, redemption #1 on 2011-05-20, gained $2.50, total gain is $2.50\r\n"
              "Opposition   2°, redemption #3 on 2011-05-21, lost $0.00, total loss is $1.25\r\n"
              "Opposition   2°, redemption #4 on 2011-05-22, gained $0.00, total gain is $1,234.50\r\n"
              "Opposition   2°, redemption #5 on 2011-05-22, gained $0.00, total loss is $0.00\r\n"
              "Trine  15°, investment #2 cancelled.\r\n");
}

TEST_F(SimulationReportTest, StoppedHasNoLineBreakAfterIt) {
    host.output = "a\r\n";
    WriteStopped(host.Report());
    EXPECT_EQ(host.output, "a\r\n\r\nStopped");
}

TEST_F(SimulationReportTest, SummaryWithoutRedemptions) {
    SimulationTotals totals;
    WriteSimulationSummary(host.Report(), {Slot(1, 10), Slot(1, 5)}, totals, kEnglish);
    EXPECT_EQ(host.output, "Total number of investments = 0\r\n\r\n");
    EXPECT_EQ(SimulationSummaryText({Slot(1, 10), Slot(1, 5)}, totals, kEnglish), host.output);
}

TEST_F(SimulationReportTest, SummaryListsEverySlotAndTheAspectsWithRedemptions) {
    SimulationTotals totals;
    totals.TotalInvestments = 12;
    totals.AspectInvestments[2] = 2;
    totals.AspectGain[2] = 2.5;
    totals.AspectInvestments[6] = 10;
    totals.AspectGain[6] = -1.254;
    const std::vector<SimulationSlot> slots = {Slot(2, 10, 2.5, 2), Slot(6, 5, 0.0, 0), Slot(6, 2, -1.25, 10)};
    WriteSimulationSummary(host.Report(), slots, totals, kEnglish);
    EXPECT_EQ(host.output,
              "\r\n"
              "Total number of investments = 12\r\n"
              "\r\n"
              "Ea opp Ju, 10°, ends with $2.50\r\n"
              "Ea ssx Ju,  5°, no investments\r\n"
              "Ea ssx Ju,  2°, ends with $-1.25\r\n"
              "\r\n"
              "Gain or loss by aspect for all orbs:\r\n"
              "Opposition    2  $2.50\r\n"
              "Semisextile   10  $-1.25\r\n");
    EXPECT_EQ(SimulationSummaryText(slots, totals, kEnglish), host.output);
}

}  // namespace
}  // namespace kovo::simulation
