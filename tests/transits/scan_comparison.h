#pragma once
// One pair scanned on two paths, and every difference between the two results: the scan
// tests and bench_scan_validation share it.
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "fake_run_host.h"
#include "calendar/report_zone.h"
#include "transits/transit_params.h"
#include "transits/transit_scan.h"

namespace kovo::testing {

// All seven aspects at orbs 10/5/2 over one span, in the given zone, without an output limit.
inline transits::TransitRunParams PairParams(int first, int second, bool helio, std::int32_t from, std::int32_t to,
                                             calendar::ReportZone zone) {
    transits::TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.startDay = from;
    p.endDay = to;
    p.zone = std::move(zone);
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    transits::SetOrbs(p, 10, 5, 2);
    p.outputLimit.reset();
    return p;
}

struct ScanRun {
    transits::TransitResult result;
    std::string text;
};

inline ScanRun RunScan(transits::TransitRunParams p, transits::ScanPath path) {
    p.scanPath = path;
    FakeRunHost host;
    ScanRun run{transits::RunTransitScan(p, host), {}};
    run.text = std::move(host.output);
    return run;
}

struct ScanComparison {
    std::size_t periods = 0;
    std::size_t lines = 0;
    std::size_t exact = 0;
    std::vector<std::string> differences;
};

// `bitwise`: deviations must have the same bits (both paths take separations in one
// frame); otherwise they may differ by rounding. Instants are always compared bit for bit.
inline ScanComparison CompareScans(const ScanRun& a, const ScanRun& b, bool bitwise) {
    ScanComparison c;
    const auto differ = [&](bool same, const std::string& what) {
        if (!same) c.differences.push_back(what);
    };
    const auto sameDouble = [](double x, double y) { return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y); };
    differ(a.result.outcome == b.result.outcome, "outcome");
    differ(a.text == b.text, "report text");
    differ(a.result.periods.size() == b.result.periods.size(), "number of periods");
    for (std::size_t i = 0; i < std::min(a.result.periods.size(), b.result.periods.size()); ++i) {
        const transits::TransitPeriod& x = a.result.periods[i];
        const transits::TransitPeriod& y = b.result.periods[i];
        const std::string where = "period " + std::to_string(i) + " ";
        ++c.periods;
        differ(x.aspect == y.aspect && x.outer == y.outer && x.cutAtStart == y.cutAtStart && x.cutAtEnd == y.cutAtEnd,
               where + "aspect, outer orb or cuts");
        differ(x.passes.size() == y.passes.size(), where + "number of lines");
        for (std::size_t j = 0; j < std::min(x.passes.size(), y.passes.size()); ++j) {
            const transits::TransitPass& p = x.passes[j];
            const transits::TransitPass& q = y.passes[j];
            const std::string line = where + "line " + std::to_string(j) + " ";
            ++c.lines;
            differ(p.middle == q.middle && p.inner == q.inner, line + "middle or inner orb");
            differ(p.minimum.has_value() == q.minimum.has_value(), line + "minimum present");
            if (!p.minimum || !q.minimum) continue;
            const transits::TransitMinimum& m = *p.minimum;
            const transits::TransitMinimum& n = *q.minimum;
            if (m.exact) ++c.exact;
            differ(sameDouble(m.instantUt, n.instantUt), line + "instant");
            differ(m.day == n.day && m.exact == n.exact && m.retrograde == n.retrograde, line + "day, exact or mark");
            differ(bitwise ? sameDouble(m.deviation, n.deviation) : std::fabs(m.deviation - n.deviation) <= 1e-12,
                   line + "deviation");
            differ(m.utMinute.has_value() == n.utMinute.has_value() &&
                       (!m.utMinute || sameDouble(*m.utMinute, *n.utMinute)),
                   line + "UT minute");
        }
    }
    return c;
}

}  // namespace kovo::testing
