// The fast scan against the reference scan: the same records and the same report text,
// every exact minute of a century included.
#include <gtest/gtest.h>

#include <cmath>

#include "fake_run_host.h"
#include "test_support.h"
#include "requests/transit_form.h"
#include "transits/transit_runs.h"
#include "transits/transit_scan.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;

namespace {

struct Scanned {
    TransitResult result;
    std::string text;
};

Scanned Scan(int first, int second, bool helio, std::int32_t from, std::int32_t to, ScanPath path) {
    kovo::testing::InitModelOnce();
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = helio;
    p.startDay = from;
    p.endDay = to;
    p.zone = kovo::testing::ListZone(14, "GMT-5:00");  // GMT-5:00: minutes near local midnight move the date
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    SetOrbs(p, 10, 5, 2);
    p.outputLimit.reset();
    p.scanPath = path;
    kovo::testing::FakeRunHost host;
    Scanned s{RunTransitScan(p, host), {}};
    s.text = host.output;
    return s;
}

// Nutation moves both bodies alike, so the fast path's deviations agree to rounding and
// its minutes exactly.
void ExpectSameMinimum(const std::optional<TransitMinimum>& fast, const std::optional<TransitMinimum>& reference,
                       const std::string& where) {
    ASSERT_EQ(fast.has_value(), reference.has_value()) << where;
    if (!fast) return;
    EXPECT_EQ(fast->exact, reference->exact) << where;
    EXPECT_EQ(fast->instantUt, reference->instantUt) << where;
    EXPECT_EQ(fast->day, reference->day) << where;
    EXPECT_EQ(fast->retrograde, reference->retrograde) << where;
    EXPECT_NEAR(fast->deviation, reference->deviation, 1e-12) << where;
}

int CompareRecords(const TransitResult& fast, const TransitResult& reference, const std::string& pair) {
    int exact = 0;
    EXPECT_EQ(fast.outcome, reference.outcome) << pair;
    EXPECT_EQ(fast.periods.size(), reference.periods.size()) << pair;
    for (std::size_t i = 0; i < std::min(fast.periods.size(), reference.periods.size()); ++i) {
        const TransitPeriod& f = fast.periods[i];
        const TransitPeriod& r = reference.periods[i];
        const std::string where = pair + " period " + std::to_string(i);
        EXPECT_EQ(f.aspect, r.aspect) << where;
        EXPECT_EQ(f.outer, r.outer) << where;
        EXPECT_EQ(f.cutAtStart, r.cutAtStart) << where;
        EXPECT_EQ(f.cutAtEnd, r.cutAtEnd) << where;
        EXPECT_EQ(f.passes.size(), r.passes.size()) << where;
        for (std::size_t j = 0; j < std::min(f.passes.size(), r.passes.size()); ++j) {
            EXPECT_EQ(f.passes[j].middle, r.passes[j].middle) << where;
            EXPECT_EQ(f.passes[j].inner, r.passes[j].inner) << where;
            ExpectSameMinimum(f.passes[j].minimum, r.passes[j].minimum, where + " pass " + std::to_string(j));
            if (r.passes[j].minimum && r.passes[j].minimum->exact) ++exact;
        }
    }
    return exact;
}

}  // namespace

TEST(ScanPaths, CenturyOfExactMinutesMatchesTheMinuteWalk) {
    struct Pair {
        int first, second;
        bool helio;
        const char* name;
    };
    const Pair pairs[] = {{4, 5, false, "Mars-Jupiter"},
                          {2, 3, false, "Mercury-Venus"},
                          {5, 6, false, "Jupiter-Saturn"},
                          {5, 6, true, "Jupiter-Saturn heliocentric"}};
    const std::int32_t from = Day(1950, 1, 1);
    const std::int32_t to = Day(2049, 12, 31);
    for (const Pair& pair : pairs) {
        const Scanned fast = Scan(pair.first, pair.second, pair.helio, from, to, ScanPath::Fast);
        const Scanned reference = Scan(pair.first, pair.second, pair.helio, from, to, ScanPath::Reference);
        const int exact = CompareRecords(fast.result, reference.result, pair.name);
        EXPECT_EQ(fast.text, reference.text) << pair.name;
        EXPECT_GT(exact, 10) << pair.name;
    }
}

// The all-transits run shares the kept body's longitudes among its pairs; each pair's
// report stays what a run of that pair alone gives on the reference path.
TEST(ScanPaths, AllTransitsRunSharesTheKeptBodyWithoutChangingAReport) {
    kovo::testing::InitModelOnce();
    auto run = [](ScanPath path, int index) {
        requests::TransitForm inputs;
        inputs.firstListPos = 0;   // the Sun
        inputs.secondListPos = 2;  // Mars
        inputs.timezonePosition = 33;  // GMT+4:30
        inputs.timezoneText = "GMT+4:30";
        inputs.outputLimit.reset();
        inputs.scanPath = path;
        calendar::DateEntryModel dates;
        dates.txbYear = {"2024", "2027"};
        dates.txbMonth = {"2", "1"};
        dates.txbDay = {"29", "1"};
        calendar::RefreshDateLabel(dates, 0);
        calendar::RefreshDateLabel(dates, 1);
        kovo::testing::FakeRunHost host;
        const AllTransitsResult all = requests::RunAllTransitsForm(inputs, dates, index, host);
        return std::make_pair(all, host.output);
    };
    for (const int index : {0, 1}) {
        const auto [fast, fastText] = run(ScanPath::Fast, index);
        const auto [reference, referenceText] = run(ScanPath::Reference, index);
        EXPECT_EQ(fastText, referenceText) << "index " << index;
        ASSERT_EQ(fast.pairs.size(), reference.pairs.size());
        for (std::size_t i = 0; i < fast.pairs.size(); ++i)
            CompareRecords(fast.pairs[i], reference.pairs[i], "pair " + std::to_string(i));
    }
}
