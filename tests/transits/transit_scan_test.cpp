#include <gtest/gtest.h>

#include <cstdio>

#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_scan.h"

using namespace kovo;
using namespace kovo::transits;

namespace {

std::int32_t Day(int y, int m, int d) {
    calendar::DateRecord r;
    r.year = y;
    r.month = m;
    r.day = d;
    r.calendar = calendar::kGregorian;
    return calendar::DayNumberFromDate(r);
}

TransitRunParams Params(int first, int second, std::int32_t start, std::int32_t end, bool helio = false) {
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.startDay = start;
    p.endDay = end;
    p.heliocentric = helio;
    for (int a = 1; a <= 7; ++a) p.aspects[static_cast<std::size_t>(a)] = true;
    SetOrbs(p, 10, 5, 2);
    p.firstName = astro::PlanetName(first, helio, false);
    p.secondName = astro::PlanetName(second, helio, false);
    return p;
}

class TransitScanTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { kovo::testing::InitModelOnce(); }
    kovo::testing::FakeRunHost host;
    util::RunFlags flags;
};

}  // namespace

TEST_F(TransitScanTest, PrintsMarsJupiter2026) {
    auto p = Params(4, 5, Day(2026, 1, 1), Day(2026, 12, 31));
    RunTransitScan(p, flags, host);
    std::printf("%s\n", host.output.c_str());
}
