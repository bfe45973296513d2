// A sweep's JSON read back: every figure to the bit, and damaged files refused with a
// message rather than a crash.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

#include "export/sweep_export.h"
#include "sweep/sweep_run.h"
#include "sweep/sweep_support.h"

namespace kovo::exporting {
namespace {

using sweep::Figure;
using sweep::SweepResult;

// A small real sweep with every kind of unit, a hold-out, a skipped pair and costs.
const SweepResult& Swept() {
    static const SweepResult result = [] {
        testing::InitModelOnce();
        sweep::SweepRequest request = testing::SweepOf("Mars-Jupiter,Earth-Saturn/helio,Sun-Moon,Mars-Pluto", 30);
        request.sides = {backtest::Side::Long, backtest::Side::Short};
        request.events = {.aspects = true, .stations = true, .ingresses = true, .phases = true};
        request.aspects = {true, false, true, true, false, true, true};
        request.orbDegrees = {12, 6, 1};
        request.holdoutDay = testing::Day(2022, 7, 1);
        request.seed = std::numeric_limits<std::uint64_t>::max();
        request.costBasisPoints = 2.5;
        request.daysAfter = 7;
        request.daysAround = 2;
        request.pluto = {.available = false, .reason = "no Pluto here"};
        return sweep::RunSweep(request, testing::WeekdayWalk(2022, 2022, 3), {});
    }();
    return result;
}

std::variant<SweepResult, std::string> Reread(const std::string& json) { return ReadSweepJson(json); }

std::uint64_t Bits(double value) { return std::bit_cast<std::uint64_t>(value); }

TEST(SweepJson, ReadsBackEveryFigureBitForBit) {
    SweepResult original = Swept();
    ASSERT_EQ(original.outcome, util::RunOutcome::Completed) << original.refusal;
    ASSERT_EQ(original.skipped.size(), 1u);
    // Figures no walk gives, which the shortest numbers must still carry.
    original.rows[0][Figure::Sharpe] = -0.0;
    original.rows[0][Figure::MeanPct] = std::numeric_limits<double>::denorm_min();
    original.rows[1][Figure::ProfitFactor] = std::numeric_limits<double>::max();
    original.rows[1][Figure::BestTradePct] = 1.0 / 3.0;
    const std::string json = SweepJson(original);
    auto read = Reread(json);
    ASSERT_TRUE(std::holds_alternative<SweepResult>(read)) << std::get<std::string>(read);
    const SweepResult& back = std::get<SweepResult>(read);

    ASSERT_EQ(back.rows.size(), original.rows.size());
    for (std::size_t i = 0; i < back.rows.size(); ++i) {
        const sweep::SweepRow& a = original.rows[i];
        const sweep::SweepRow& b = back.rows[i];
        EXPECT_TRUE(a.unit == b.unit && a.side == b.side && a.rule == b.rule && a.ruleIndex == b.ruleIndex &&
                    a.aspect == b.aspect && a.orbDegrees == b.orbDegrees)
            << "row " << i;
        for (std::size_t f = 0; f < sweep::kFigureCount; ++f) {
            ASSERT_EQ(a.figures[f].has_value(), b.figures[f].has_value()) << "row " << i << " " << sweep::FigureKey(Figure(f));
            if (a.figures[f]) {
                EXPECT_EQ(Bits(*a.figures[f]), Bits(*b.figures[f])) << "row " << i << " " << sweep::FigureKey(Figure(f));
            }
        }
    }
    const sweep::SweepRequest& q = original.request;
    const sweep::SweepRequest& r = back.request;
    EXPECT_EQ(r.pairs, q.pairs);
    EXPECT_EQ(r.aspects, q.aspects);
    EXPECT_EQ(r.orbDegrees, q.orbDegrees);
    EXPECT_EQ(r.sides, q.sides);
    EXPECT_EQ(r.events, q.events);
    EXPECT_EQ(r.holdoutDay, q.holdoutDay);
    EXPECT_EQ(r.seed, q.seed);
    EXPECT_EQ(Bits(r.costBasisPoints), Bits(q.costBasisPoints));
    EXPECT_EQ(std::tie(r.permutations, r.daysAfter, r.daysAround), std::tie(q.permutations, q.daysAfter, q.daysAround));
    EXPECT_EQ(back.units, original.units);
    EXPECT_EQ(back.skipped, original.skipped);
    EXPECT_EQ(std::tie(back.source, back.column, back.firstDay, back.lastDay, back.closes),
              std::tie(original.source, original.column, original.firstDay, original.lastDay, original.closes));
    EXPECT_TRUE(testing::SameText(SweepJson(back), json));
    EXPECT_TRUE(testing::SameText(SweepText(back), SweepText(original)));
    EXPECT_TRUE(testing::SameText(SweepCsv(back), SweepCsv(original)));
}

// `json` with the first `from` replaced by `to`.
std::string Damaged(const std::string& json, const std::string& from, const std::string& to) {
    const auto at = json.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? json : json.substr(0, at) + to + json.substr(at + from.size());
}

std::string Refusal(const std::string& text) {
    auto read = Reread(text);
    return std::holds_alternative<std::string>(read) ? std::get<std::string>(read) : "";
}

TEST(SweepJson, DamagedFilesGiveAMessage) {
    const std::string json = SweepJson(Swept());
    // Cut anywhere before its last brace, the file is refused.
    for (std::size_t length = 0; length + 2 < json.size(); length += length < 300 ? 1 : 997)
        EXPECT_NE(Refusal(json.substr(0, length)), "") << length;
    const std::string closes = "\"closes\":" + std::to_string(Swept().closes);
    const std::vector<std::pair<std::string, std::string>> cases{
        {Damaged(json, "\"kovoSweep\":1", "\"kovoSweep\":2"), "a sweep of a later version"},
        {Damaged(json, "\"kovoSweep\":1", "\"kovoSweep\":\"1\""), "not the JSON of a sweep"},
        {Damaged(json, "\"kovoSweep\":1,", ""), "not the JSON of a sweep"},
        {"[" + json.substr(0, json.size() - 1) + "]", "not the JSON of a sweep"},
        {Damaged(json, closes, "\"closes\":-1"), "\"closes\" is out of its range"},
        {Damaged(json, closes, "\"closes\":1e300"), "\"closes\" is out of its range"},
        {Damaged(json, closes, "\"closes\":2.5"), "\"closes\" is out of its range"},
        {Damaged(json, closes, "\"closes\":1e999"), "a number out of range"},
        {Damaged(json, closes, "\"closes\":null"), "\"closes\" is missing or not of its kind"},
        {Damaged(json, "\"permutations\":30", "\"permutations\":3e10"), "\"permutations\" is out of its range"},
        {Damaged(json, "\"seed\":\"18446744073709551615\"", "\"seed\":\"18446744073709551616\""), "\"seed\""},
        {Damaged(json, "\"seed\":\"18446744073709551615\"", "\"seed\":\"99999999999999999999\""), "\"seed\""},
        {Damaged(json, "\"seed\":\"18446744073709551615\"", "\"seed\":\"-1\""), "\"seed\""},
        {Damaged(json, "\"orbs\":[12,6,1]", "\"orbs\":[12,6]"), "three orbs"},
        {Damaged(json, "\"orbs\":[12,6,1]", "\"orbs\":[12,6,1e300]"), "an orb is a whole number of degrees, 1 to 15"},
        {Damaged(json, "\"orbs\":[12,6,1]", "\"orbs\":[12,6,1.5]"), "an orb is a whole number of degrees, 1 to 15"},
        {Damaged(json, "\"aspects\":[1,3,4,6,7]", "\"aspects\":[1,3,4,6,8]"), "an aspect is a number 1 to 7"},
        {Damaged(json, "\"events\":[\"aspects\"", "\"events\":[\"eclipses\""), "the events are"},
        {Damaged(json, "\"from\":\"2022-01-03\"", "\"from\":\"2022-02-30\""), "\"from\" is no date"},
        {Damaged(json, "\"sides\":[\"long\"", "\"sides\":[\"up\""), "a side is"},
        {Damaged(json, "\"kind\":\"pair\"", "\"kind\":\"star\""), "a unit is a pair, cycles or phases"},
        {Damaged(json, "\"first\":\"Mars\"", "\"first\":\"Vulcan\""), "\"Vulcan\" is no body"},
        {Damaged(json, "\"rows\":", "\"rows\":{},\"x\":"), "\"rows\" is missing or not of its kind"},
        {Damaged(json, "\"skipped\":[", "\"skipped\":[1,"), "\"skipped\" holds texts"},
        {Damaged(json, "\"ruleIndex\":", "\"ruleIndex\":1e9,\"x\":"), "row 1: \"ruleIndex\" is out of its range"},
        {Damaged(json, "\"trades\":", "\"trades\":\"many\",\"x\":"), "row 1: \"trades\" is not a number"},
        {Damaged(json, "\"aspect\":", "\"aspect\":99,\"x\":"), "row 1: \"aspect\" is out of its range"},
        {Damaged(json, "\"p\":", "\"p\":1,\"p\":"), "the member \"p\" is given twice"}};
    for (const auto& [text, message] : cases) EXPECT_NE(Refusal(text).find(message), std::string::npos) << message << ": " << Refusal(text);
}

}  // namespace
}  // namespace kovo::exporting
