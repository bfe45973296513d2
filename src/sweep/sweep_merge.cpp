#include "sweep/sweep_merge.h"

#include <algorithm>

namespace kovo::sweep {

namespace {

// What two parts must share to be one sweep; empty when they do.
std::string Difference(const SweepResult& a, const SweepResult& b) {
    const SweepRequest& x = a.request;
    const SweepRequest& y = b.request;
    if (a.source != b.source || a.column != b.column) return "prices";
    if (a.firstDay != b.firstDay || a.lastDay != b.lastDay || a.closes != b.closes) return "range of closes";
    if (x.aspects != y.aspects) return "aspects";
    if (x.orbDegrees != y.orbDegrees) return "orbs";
    if (x.sides != y.sides) return "direction";
    if (x.holdoutDay != y.holdoutDay) return "hold-out";
    if (x.permutations != y.permutations) return "permutations";
    if (x.seed != y.seed) return "seed";
    if (x.costBasisPoints != y.costBasisPoints) return "cost";
    if (!(x.events == y.events)) return "events";
    if (x.daysAfter != y.daysAfter || x.daysAround != y.daysAround) return "days held around events";
    return {};
}

}  // namespace

std::variant<SweepResult, std::string> MergeSweeps(std::vector<SweepResult> parts, const std::vector<std::string>& names) {
    if (parts.empty()) return std::string("There is no sweep to merge.");
    const auto name = [&](std::size_t i) { return i < names.size() ? names[i] : "part " + std::to_string(i + 1); };
    SweepResult merged = std::move(parts.front());
    std::vector<std::size_t> unitPart(merged.units.size(), 0);
    for (std::size_t i = 1; i < parts.size(); ++i) {
        SweepResult& part = parts[i];
        if (const std::string what = Difference(merged, part); !what.empty())
            return name(i) + " is a sweep of other settings than " + name(0) + " (they differ in their " + what +
                   "); only sweeps of the same prices and settings merge.";
        // A body's cycles and the Moon's phases do not depend on the pairs: parts that
        // both hold them hold the same rows, which are taken once.
        std::vector<SweepUnit> repeated;
        for (const SweepUnit& unit : part.units) {
            const auto found = std::find(merged.units.begin(), merged.units.end(), unit);
            if (found != merged.units.end() && unit.kind != UnitKind::Pair) {
                repeated.push_back(unit);
                continue;
            }
            if (found != merged.units.end())
                return name(i) + " and " + name(unitPart[static_cast<std::size_t>(found - merged.units.begin())]) +
                       " both hold " + UnitName(unit) + " " + UnitCentricity(unit) +
                       "; each pair belongs to one part only.";
            merged.units.push_back(unit);
            unitPart.push_back(i);
        }
        for (const SweepPair& pair : part.request.pairs) merged.request.pairs.push_back(pair);
        for (std::string& line : part.skipped)
            if (std::find(merged.skipped.begin(), merged.skipped.end(), line) == merged.skipped.end())
                merged.skipped.push_back(std::move(line));
        for (SweepRow& row : part.rows)
            if (std::find(repeated.begin(), repeated.end(), row.unit) == repeated.end()) merged.rows.push_back(std::move(row));
        std::move(part.periods.begin(), part.periods.end(), std::back_inserter(merged.periods));
    }
    // The units in the order one run over all the pairs gives them (pairs, then cycles,
    // then the Moon), not part by part, so that the JSON is that run's too.
    const std::vector<SweepUnit> order = UnitsOf(merged.request);
    const auto place = [&order](const SweepUnit& unit) { return std::find(order.begin(), order.end(), unit) - order.begin(); };
    std::stable_sort(merged.units.begin(), merged.units.end(),
                     [&place](const SweepUnit& a, const SweepUnit& b) { return place(a) < place(b); });
    merged.count = RankRows(merged.rows);
    return merged;
}

}  // namespace kovo::sweep
