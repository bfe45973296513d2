// The pair lists of --pairs and the units a request turns into.
#include <gtest/gtest.h>

#include <set>

#include "astro/catalogue.h"
#include "sweep/sweep_pairs.h"
#include "sweep/sweep_run.h"

namespace kovo::sweep {
namespace {

using astro::Body;

std::vector<SweepPair> Parsed(const std::string& text) {
    auto pairs = ParsePairs(text);
    if (auto* why = std::get_if<std::string>(&pairs)) ADD_FAILURE() << text << ": " << *why;
    return std::holds_alternative<std::string>(pairs) ? std::vector<SweepPair>{} : std::get<std::vector<SweepPair>>(pairs);
}

std::string Refusal(const std::string& text) {
    auto pairs = ParsePairs(text);
    return std::holds_alternative<std::string>(pairs) ? std::get<std::string>(pairs) : "";
}

TEST(SweepPairs, TheNamedListsHoldEveryPairOnceInEachCentricity) {
    const std::vector<SweepPair> geo = Parsed("geo");
    const std::vector<SweepPair> helio = Parsed(" HELIO ");
    const std::vector<SweepPair> all = Parsed("All");
    ASSERT_EQ(geo.size(), 36u);
    ASSERT_EQ(helio.size(), 36u);
    ASSERT_EQ(all.size(), 72u);
    std::set<std::tuple<int, int, bool>> distinct;
    for (const SweepPair& pair : all) {
        EXPECT_LT(astro::PlanetIndex(pair.first), astro::PlanetIndex(pair.second));
        EXPECT_LE(astro::PlanetIndex(pair.second), astro::kPluto);  // no Moon in the named lists
        distinct.insert({astro::PlanetIndex(pair.first), astro::PlanetIndex(pair.second), pair.heliocentric});
    }
    EXPECT_EQ(distinct.size(), 72u);
    EXPECT_EQ(std::vector<SweepPair>(all.begin(), all.begin() + 36), geo);
    EXPECT_EQ(std::vector<SweepPair>(all.begin() + 36, all.end()), helio);
    EXPECT_EQ(PairListItem(helio.front()), "Earth-Mercury/helio");
    EXPECT_EQ(PairListItem(geo.back()), "Neptune-Pluto");
}

TEST(SweepPairs, ListsNameBodiesInEitherOrderAndAnyCase) {
    const std::vector<SweepPair> expected{{.first = Body::Mars, .second = Body::Jupiter, .heliocentric = false},
                                          {.first = Body::Jupiter, .second = Body::Saturn, .heliocentric = true},
                                          {.first = Body::Sun, .second = Body::Moon, .heliocentric = false},
                                          {.first = Body::Sun, .second = Body::Venus, .heliocentric = true}};
    EXPECT_EQ(Parsed("Jupiter-Mars, saturn - JUPITER/helio ,Moon-Sun,Earth-Venus/helio"), expected);
    EXPECT_EQ(Parsed("Mars-Jupiter/geo,Jupiter-Saturn / HELIO,Sun-Moon,Venus-Sun/helio"), expected);
    // Every pair reads back from the way a list (and the sweep's JSON) names it.
    std::vector<SweepPair> every = Parsed("all");
    every.push_back({.first = Body::Sun, .second = Body::Moon, .heliocentric = false});
    every.push_back({.first = Body::Pluto, .second = Body::Moon, .heliocentric = false});
    for (const SweepPair& pair : every) EXPECT_EQ(Parsed(PairListItem(pair)), std::vector<SweepPair>{pair}) << PairListItem(pair);
}

TEST(SweepPairs, RefusesWhatNoRunCouldTest) {
    // The Moon only geocentrically, the Earth only heliocentrically.
    EXPECT_NE(Refusal("Sun-Moon/helio").find("heliocentrically there is no Moon"), std::string::npos);
    EXPECT_NE(Refusal("Earth-Moon").find("add /helio"), std::string::npos);
    EXPECT_NE(Refusal("Earth-Mars").find("add /helio"), std::string::npos);
    EXPECT_NE(Refusal("Mars-Earth/geo").find("add /helio"), std::string::npos);
    // The Earth is the Sun's place heliocentrically: both spellings are one pair.
    EXPECT_NE(Refusal("Earth-Mars/helio,Sun-Mars/helio").find("given twice"), std::string::npos);
    EXPECT_NE(Refusal("Sun-Earth/helio").find("two different bodies"), std::string::npos);
    EXPECT_NE(Refusal("Mars-Mars").find("two different bodies"), std::string::npos);
    EXPECT_NE(Refusal("Mars-Vulcan").find("the bodies are"), std::string::npos);
    EXPECT_NE(Refusal("Mars").find("two bodies joined by"), std::string::npos);
    EXPECT_NE(Refusal("Mars-Jupiter/hel").find("/helio or /geo"), std::string::npos);
    for (const char* empty : {"", " ", "Mars-Jupiter,", ",Mars-Jupiter", "Mars-Jupiter,,Sun-Mars", "Mars-Jupiter, ,Sun-Mars"})
        EXPECT_NE(Refusal(empty).find("empty item"), std::string::npos) << '"' << empty << '"';
    EXPECT_EQ(Refusal("Jupiter-Mars,Mars-Jupiter/geo"), "\"Mars-Jupiter/geo\": the pair Mars-Jupiter is given twice.");
    // The same bodies in both centricities are two pairs.
    EXPECT_EQ(Parsed("Mars-Jupiter,Mars-Jupiter/helio").size(), 2u);
}

TEST(SweepUnits, CyclesAreTestedOnceForEachBodyThatHasThem) {
    SweepRequest request;
    request.pairs = Parsed("Sun-Moon,Jupiter-Mars,Mars-Saturn/helio,Earth-Jupiter/helio");
    request.events = {.aspects = true, .stations = true, .ingresses = false, .phases = true};
    std::vector<std::string> names;
    for (const SweepUnit& unit : UnitsOf(request)) names.push_back(UnitName(unit) + " " + UnitCentricity(unit));
    // The Sun never stations and the Moon's cycles are its phases.
    EXPECT_EQ(names, (std::vector<std::string>{"Sun-Moon geo", "Mars-Jupiter geo", "Mars-Saturn helio", "Earth-Jupiter helio",
                                               "Mars cycles geo", "Jupiter cycles geo", "Saturn cycles geo",
                                               "Moon phases geo"}));
    request.events = {.aspects = false, .stations = false, .ingresses = true, .phases = false};
    names.clear();
    for (const SweepUnit& unit : UnitsOf(request)) names.push_back(UnitName(unit));
    EXPECT_EQ(names, (std::vector<std::string>{"Sun cycles", "Mars cycles", "Jupiter cycles", "Saturn cycles"}));
}

}  // namespace
}  // namespace kovo::sweep
