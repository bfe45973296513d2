#include "sweep/sweep_pairs.h"

#include <algorithm>
#include <optional>

#include "astro/catalogue.h"
#include "util/text.h"

namespace kovo::sweep {

namespace {

// A body by its name, any case; the Earth stands for the Sun, as in a heliocentric pair.
std::optional<int> BodyIndex(std::string name, bool& saidEarth) {
    name = util::ToLower(name);
    saidEarth = name == "earth";
    if (saidEarth) return astro::PlanetIndex(astro::Body::Sun);
    for (int index = 1; index <= astro::kMoon; ++index)
        if (util::ToLower(astro::TransitBodyName(index, false)) == name) return index;
    return std::nullopt;
}

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return std::string(text.substr(first, last - first + 1));
}

std::variant<SweepPair, std::string> ParseItem(const std::string& item) {
    std::string body = item;
    bool helio = false;
    if (const auto slash = item.find('/'); slash != std::string::npos) {
        const std::string mark = util::ToLower(Trim(std::string_view(item).substr(slash + 1)));
        if (mark != "helio" && mark != "geo") return "\"" + item + "\": a pair is marked /helio or /geo.";
        helio = mark == "helio";
        body = Trim(std::string_view(item).substr(0, slash));
    }
    const auto dash = body.find('-');
    if (dash == std::string::npos)
        return "\"" + item + "\": a pair is two bodies joined by \"-\", such as Mars-Jupiter.";
    bool earth1 = false;
    bool earth2 = false;
    const auto a = BodyIndex(Trim(std::string_view(body).substr(0, dash)), earth1);
    const auto b = BodyIndex(Trim(std::string_view(body).substr(dash + 1)), earth2);
    if (!a || !b) return "\"" + item + "\": the bodies are the Sun (the Earth), Mercury ... Pluto and the Moon.";
    if (*a == *b) return "\"" + item + "\": a pair is two different bodies.";
    if ((earth1 || earth2) && !helio) return "\"" + item + "\": the Earth is a body of heliocentric pairs (add /helio).";
    if ((*a == astro::kMoon || *b == astro::kMoon) && helio)
        return "\"" + item + "\": the Moon is seen from the Earth: heliocentrically there is no Moon.";
    return SweepPair{.first = astro::BodyOfIndex(std::min(*a, *b)),
                     .second = astro::BodyOfIndex(std::max(*a, *b)),
                     .heliocentric = helio};
}

}  // namespace

std::optional<astro::Body> BodyNamed(std::string_view name) {
    bool earth = false;
    const auto index = BodyIndex(std::string(name), earth);
    return index ? std::optional<astro::Body>(astro::BodyOfIndex(*index)) : std::nullopt;
}

std::vector<SweepPair> AllPairs(bool heliocentric) {
    std::vector<SweepPair> pairs;
    for (int first = 1; first <= astro::kPluto; ++first)
        for (int second = first + 1; second <= astro::kPluto; ++second)
            pairs.push_back({.first = astro::BodyOfIndex(first),
                             .second = astro::BodyOfIndex(second),
                             .heliocentric = heliocentric});
    return pairs;
}

std::variant<std::vector<SweepPair>, std::string> ParsePairs(std::string_view text) {
    const std::string all = util::ToLower(Trim(text));
    if (all == "geo") return AllPairs(false);
    if (all == "helio") return AllPairs(true);
    if (all == "all") {
        std::vector<SweepPair> pairs = AllPairs(false);
        for (const SweepPair& pair : AllPairs(true)) pairs.push_back(pair);
        return pairs;
    }
    std::vector<SweepPair> pairs;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string item = Trim(text.substr(start, comma - start));
        start = comma + 1;
        if (item.empty()) return std::string("A pair list holds an empty item; pairs are separated by single commas.");
        auto pair = ParseItem(item);
        if (auto* why = std::get_if<std::string>(&pair)) return *why;
        const SweepPair& parsed = std::get<SweepPair>(pair);
        if (std::find(pairs.begin(), pairs.end(), parsed) != pairs.end())
            return "\"" + item + "\": the pair " + PairListItem(parsed) + " is given twice.";
        pairs.push_back(parsed);
    }
    return pairs;
}

std::string PairLabel(const SweepPair& pair) {
    return astro::TransitBodyName(astro::PlanetIndex(pair.first), pair.heliocentric) + "-" +
           astro::TransitBodyName(astro::PlanetIndex(pair.second), pair.heliocentric);
}

std::string PairListItem(const SweepPair& pair) { return PairLabel(pair) + (pair.heliocentric ? "/helio" : ""); }

}  // namespace kovo::sweep
