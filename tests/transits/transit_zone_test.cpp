// Transit runs in named time zones. The expected clock readings come from the fixed GMT
// report of the same run, turned into local time with each zone's published rules, so
// that no expectation is computed by the code under test.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>

#include "fake_run_host.h"
#include "test_support.h"
#include "transits/transit_minima.h"
#include "transits/transit_scan.h"

using namespace kovo;
using namespace kovo::transits;
using kovo::testing::Day;
using std::chrono::sys_days;

namespace {

const char* const kBodyNames[] = {"", "Sun", "Mercury", "Venus", "Mars", "Jupiter", "Saturn", "Uranus", "Neptune"};

// A zone as a run takes it: a name of the tz database, or a list position and its text.
struct ZoneChoice {
    std::string name;
    int position = 24;
    std::string text = "GMT";
};
ZoneChoice Named(std::string name) { return {.name = std::move(name)}; }
ZoneChoice Fixed(int position, std::string text) {
    return {.name = {}, .position = position, .text = std::move(text)};
}

std::string Scan(int first, int second, std::int32_t from, std::int32_t to, const ZoneChoice& zone) {
    kovo::testing::InitModelOnce();
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.firstName = kBodyNames[first];
    p.secondName = kBodyNames[second];
    p.startDay = from;
    p.endDay = to;
    p.zone = kovo::testing::ListZone(zone.position, zone.text);
    if (!zone.name.empty()) {
        const auto named = platform::NamedTimeZone::Find(zone.name);
        if (!named) ADD_FAILURE() << zone.name << " is not in the tz database";
        if (named) p.zone = calendar::ReportZone::Named(*named);
    }
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
    SetOrbs(p, 10, 5, 2);
    p.outputLimit.reset();
    kovo::testing::FakeRunHost host;
    RunTransitScan(p, host);
    return host.output;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

std::string Trim(const std::string& s) {
    const auto first = s.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// A report's exact minimum: its "Minimum at" cell ("2026-01-09*") and "Minimum" cell
// ("06:41 EST").
struct ExactCell {
    std::string date;
    std::string clock;
    bool operator==(const ExactCell&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ExactCell& c) { return out << c.date << " " << c.clock; }

std::vector<ExactCell> ExactCells(const std::string& text) {
    std::vector<ExactCell> cells;
    for (const std::string& line : Lines(text)) {
        std::vector<std::string> parts;
        std::stringstream in(line);
        for (std::string part; std::getline(in, part, '|');) parts.push_back(Trim(part));
        if (parts.size() == 5 && parts[2].find('*') != std::string::npos) cells.push_back({parts[2], parts[4]});
    }
    return cells;
}

// Seconds since 1970 of a date and UT clock reading.
std::int64_t UnixSeconds(int y, unsigned m, unsigned d, int hour = 0, int minute = 0) {
    const auto days = sys_days{std::chrono::year{y} / m / d}.time_since_epoch().count();
    return static_cast<std::int64_t>(days) * 86400 + hour * 3600 + minute * 60;
}

double JdOf(std::int64_t unixSeconds) { return static_cast<double>(unixSeconds) / 86400.0 + 2440587.5; }

// A zone's rules over the years a test looks at: from each instant on, an offset and
// abbreviation, until the next entry.
struct Period {
    std::int64_t from;
    int offsetMinutes;
    const char* abbreviation;
};
using Rules = std::vector<Period>;

const Period& PeriodAt(const Rules& rules, std::int64_t at) {
    const Period* found = &rules.front();
    for (const Period& p : rules)
        if (p.from <= at) found = &p;
    return *found;
}

// The GMT report's exact cell as the zone's wall clock shows it, and the period it falls in.
ExactCell Converted(const ExactCell& gmt, const Rules& rules, std::size_t* periodIndex = nullptr) {
    int y, m, d, hh, mm;
    EXPECT_EQ(std::sscanf(gmt.date.c_str(), "%d-%d-%d", &y, &m, &d), 3) << gmt;
    EXPECT_EQ(std::sscanf(gmt.clock.c_str(), "%d:%d GMT", &hh, &mm), 2) << gmt;
    const std::int64_t ut = UnixSeconds(y, m, d, hh, mm);
    const Period& period = PeriodAt(rules, ut);
    if (periodIndex != nullptr) *periodIndex = static_cast<std::size_t>(&period - rules.data());
    const std::int64_t local = ut + period.offsetMinutes * 60;
    const std::chrono::year_month_day date{sys_days{std::chrono::days{local / 86400}}};
    char dateText[16], clockText[48];
    std::snprintf(dateText, sizeof dateText, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    std::snprintf(clockText, sizeof clockText, "%02d:%02d %s", static_cast<int>(local % 86400 / 3600),
                  static_cast<int>(local % 3600 / 60), period.abbreviation);
    std::string mark = gmt.date.substr(10);  // "*" and, for a retrograde first body, "r"
    return {dateText + mark, clockText};
}

// Every exact cell of the zone's run against the GMT run's; returns how many exact
// minima fell into each period of the rules. The range holds local days, so the GMT run
// reaches a day further each way and its minima outside the local range drop out.
std::vector<int> ExpectWallClockTimes(int first, int second, std::int32_t from, std::int32_t to,
                                      const std::string& zone, const Rules& rules) {
    const std::string what = zone + " " + kBodyNames[first] + "-" + kBodyNames[second];
    const std::string firstDate = calendar::FormatDayNumberIso(from);
    const std::string lastDate = calendar::FormatDayNumberIso(to);
    std::vector<ExactCell> expected;
    std::vector<int> counts(rules.size(), 0);
    for (const ExactCell& gmt : ExactCells(Scan(first, second, from - 1, to + 1, Fixed(24, "GMT")))) {
        std::size_t period = 0;
        const ExactCell local = Converted(gmt, rules, &period);
        const std::string date = local.date.substr(0, 10);
        if (date < firstDate || date > lastDate) continue;
        expected.push_back(local);
        ++counts[period];
    }
    EXPECT_EQ(ExactCells(Scan(first, second, from, to, Named(zone))), expected) << what;
    return counts;
}

constexpr int kPairs[][2] = {{1, 4}, {1, 3}, {2, 3}, {1, 2}, {3, 4}, {2, 4}};

const Rules kNewYork2026 = {{UnixSeconds(2025, 11, 2, 6), -300, "EST"},
                            {UnixSeconds(2026, 3, 8, 7), -240, "EDT"},
                            {UnixSeconds(2026, 11, 1, 6), -300, "EST"}};

}  // namespace

TEST(TransitZone, ExactTimesReadTheNewYorkClockOnEachSideOfThe2026Changes) {
    // The README's Sun-Mars year: the fixed EST/CDT entry reads 04:33 in May, an hour
    // behind the clocks of New York.
    const std::string text = Scan(1, 4, Day(2026, 1, 1), Day(2026, 12, 31), Named("America/New_York"));
    const std::vector<ExactCell> cells = ExactCells(text);
    ASSERT_GE(cells.size(), 2u);
    EXPECT_EQ(cells[0], (ExactCell{"2026-01-09*", "06:41 EST"}));
    EXPECT_EQ(cells[1], (ExactCell{"2026-05-28*", "05:33 EDT"}));
    EXPECT_EQ(ExactCells(Scan(1, 4, Day(2026, 1, 1), Day(2026, 12, 31), Fixed(14, "EST/CDT")))[1],
              (ExactCell{"2026-05-28*", "04:33 EST/CDT"}));

    std::vector<int> seen(kNewYork2026.size(), 0);
    for (const auto& pair : kPairs) {
        const auto counts = ExpectWallClockTimes(pair[0], pair[1], Day(2026, 1, 1), Day(2026, 12, 31),
                                                 "America/New_York", kNewYork2026);
        for (std::size_t i = 0; i < seen.size(); ++i) seen[i] += counts[i];
    }
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_GE(seen[i], 2) << "period " << i << " barely tried";
}

TEST(TransitZone, ExactTimesReadTheBerlinClockOnEachSideOfThe2026Changes) {
    const Rules berlin = {{UnixSeconds(2025, 10, 26, 1), 60, "CET"},
                          {UnixSeconds(2026, 3, 29, 1), 120, "CEST"},
                          {UnixSeconds(2026, 10, 25, 1), 60, "CET"}};
    std::vector<int> seen(berlin.size(), 0);
    for (const auto& pair : kPairs) {
        const auto counts =
            ExpectWallClockTimes(pair[0], pair[1], Day(2026, 1, 1), Day(2026, 12, 31), "Europe/Berlin", berlin);
        for (std::size_t i = 0; i < seen.size(); ++i) seen[i] += counts[i];
    }
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_GE(seen[i], 2) << "period " << i << " barely tried";
}

TEST(TransitZone, KathmanduReadsAQuarterHourOffsetAndMovesTheDate) {
    const Rules kathmandu = {{UnixSeconds(1986, 1, 1), 345, "+0545"}};
    for (const auto& pair : kPairs)
        ExpectWallClockTimes(pair[0], pair[1], Day(2026, 1, 1), Day(2026, 12, 31), "Asia/Kathmandu", kathmandu);
    // 19:53 GMT on 14 September is 01:38 the next morning in Kathmandu.
    const auto cells = ExactCells(Scan(1, 4, Day(2026, 1, 1), Day(2026, 12, 31), Named("Asia/Kathmandu")));
    ASSERT_GE(cells.size(), 3u);
    EXPECT_EQ(cells[0], (ExactCell{"2026-01-09*", "17:26 +0545"}));
    EXPECT_EQ(cells[2], (ExactCell{"2026-09-15*", "01:38 +0545"}));
}

TEST(TransitZone, MoscowFollowsTheRuleChangesOf2011And2014) {
    const Rules moscow = {{UnixSeconds(2010, 10, 30, 23), 180, "MSK"},
                          {UnixSeconds(2011, 3, 26, 23), 240, "MSK"},
                          {UnixSeconds(2014, 10, 25, 22), 180, "MSK"}};
    std::vector<int> seen(moscow.size(), 0);
    for (const int year : {2011, 2014}) {
        for (const auto& pair : kPairs) {
            const auto counts =
                ExpectWallClockTimes(pair[0], pair[1], Day(year, 1, 1), Day(year, 12, 31), "Europe/Moscow", moscow);
            for (std::size_t i = 0; i < seen.size(); ++i) seen[i] += counts[i];
        }
    }
    // Winter 2011 at +3, the +4 years (summer and winter alike), and +3 again from late 2014.
    for (std::size_t i = 0; i < seen.size(); ++i) EXPECT_GE(seen[i], 2) << "period " << i << " barely tried";
}

// A named zone that keeps Greenwich time all year gives the fixed GMT entry's report;
// only the heading says whose times they are.
TEST(TransitZone, ANamedZoneWithoutOffsetGivesTheGmtReport) {
    for (const auto& pair : {std::array{4, 5}, std::array{1, 2}, std::array{2, 3}}) {
        const std::int32_t from = Day(2020, 1, 1);
        const std::int32_t to = Day(2029, 12, 31);
        const std::vector<std::string> fixed = Lines(Scan(pair[0], pair[1], from, to, Fixed(24, "GMT")));
        const std::vector<std::string> named = Lines(Scan(pair[0], pair[1], from, to, Named("Etc/GMT")));
        const std::vector<std::string> utc = Lines(Scan(pair[0], pair[1], from, to, Named("UTC")));
        ASSERT_GT(fixed.size(), 10u);
        ASSERT_EQ(named.size(), fixed.size());
        ASSERT_EQ(utc.size(), fixed.size());
        // The heading is line 1 (after the rule): the zone's name follows the dates.
        const std::string dates = "to December 31, 2029";
        const std::size_t cut = fixed[1].find(dates) + dates.size();
        ASSERT_NE(cut, std::string::npos + dates.size());
        EXPECT_EQ(named[1], fixed[1].substr(0, cut) + ", times in Etc/GMT" + fixed[1].substr(cut));
        EXPECT_EQ(utc[1], fixed[1].substr(0, cut) + ", times in UTC" + fixed[1].substr(cut));
        EXPECT_EQ(named[0], fixed[0]);
        for (std::size_t i = 2; i < fixed.size(); ++i) {
            EXPECT_EQ(named[i], fixed[i]) << "line " << i;
            // UTC names itself in the exact cells; nothing else differs.
            std::string expected = fixed[i];
            if (expected.size() > 4 && expected.compare(expected.size() - 4, 4, " GMT") == 0)
                expected.replace(expected.size() - 3, 3, "UTC");
            EXPECT_EQ(utc[i], expected) << "line " << i;
        }
    }
}

// The wall clock at instants in and next to the hour New York skips and the hour it repeats.
TEST(TransitZone, SkippedAndRepeatedHoursReadAsTheClocksShowThem) {
    TransitRunParams p;
    const auto newYork = platform::NamedTimeZone::Find("America/New_York");
    ASSERT_TRUE(newYork);
    p.zone = calendar::ReportZone::Named(*newYork);
    struct Case {
        std::int64_t ut;
        int day, hour, minute;
        const char* abbreviation;
    };
    const Case cases[] = {
        {UnixSeconds(2026, 3, 8, 6, 59), 8, 1, 59, "EST"},
        // 02:00-02:59 never shows on 8 March: 07:00 UT is 03:00 EDT, 07:30 UT 03:30 EDT.
        {UnixSeconds(2026, 3, 8, 7, 0), 8, 3, 0, "EDT"},
        {UnixSeconds(2026, 3, 8, 7, 30), 8, 3, 30, "EDT"},
        // 01:30 shows twice on 1 November, first in daylight time, then in standard time.
        {UnixSeconds(2026, 11, 1, 5, 30), 1, 1, 30, "EDT"},
        {UnixSeconds(2026, 11, 1, 5, 59), 1, 1, 59, "EDT"},
        {UnixSeconds(2026, 11, 1, 6, 0), 1, 1, 0, "EST"},
        {UnixSeconds(2026, 11, 1, 6, 30), 1, 1, 30, "EST"},
        {UnixSeconds(2026, 11, 1, 7, 0), 1, 2, 0, "EST"},
    };
    for (const Case& c : cases) {
        const double instant = JdOf(c.ut);
        const TransitRunParams::ZoneReading zone = p.ZoneAt(instant);
        const ExactClock clock = ExactClockAt(instant + zone.days);
        const int month = c.day == 8 ? 3 : 11;
        EXPECT_EQ(clock.day, Day(2026, month, c.day)) << c.ut;
        EXPECT_EQ(clock.hour, c.hour) << c.ut;
        EXPECT_EQ(clock.minute, c.minute) << c.ut;
        EXPECT_EQ(zone.text, c.abbreviation) << c.ut;
    }
    // A day's steps take the offset of the midnight that begins it, at any hour of the day.
    const double hour = 1.0 / 24;
    for (const double at : {0.0, 0.3, 0.999}) {
        EXPECT_DOUBLE_EQ(p.ZoneDaysAt(Day(2026, 3, 8) - 0.5 + at), -5 * hour) << at;
        EXPECT_DOUBLE_EQ(p.ZoneDaysAt(Day(2026, 3, 9) - 0.5 + at), -4 * hour) << at;
        EXPECT_DOUBLE_EQ(p.ZoneDaysAt(Day(2026, 11, 1) - 0.5 + at), -4 * hour) << at;
        EXPECT_DOUBLE_EQ(p.ZoneDaysAt(Day(2026, 11, 2) - 0.5 + at), -5 * hour) << at;
    }
    // A fixed entry keeps its offset and text whatever the date.
    TransitRunParams fixed;
    fixed.zone = kovo::testing::ListZone(14, "EST/CDT");
    EXPECT_DOUBLE_EQ(fixed.ZoneAt(JdOf(UnixSeconds(2026, 7, 1))).days, -5 * hour);
    EXPECT_EQ(fixed.ZoneAt(JdOf(UnixSeconds(2026, 7, 1))).text, "EST/CDT");
    EXPECT_DOUBLE_EQ(fixed.ZoneDaysAt(Day(2026, 7, 1)), -5 * hour);
    EXPECT_EQ(fixed.ZoneName(), "EST/CDT");
    EXPECT_EQ(p.ZoneName(), "America/New_York");
}

// Real exact minutes that fall on the changes of New York's clocks. Each GMT reading is
// checked first, so that the local one follows from the rules alone.
TEST(TransitZone, RealExactMinutesAtTheChangesOfTheClocks) {
    struct Case {
        int first, second, year;
        ExactCell gmt, local;
    };
    const Case cases[] = {
        // At the very minute the clocks skip from 02:00 to 03:00.
        {2, 6, 2018, {"2018-03-11*", "07:00 GMT"}, {"2018-03-11*", "03:00 EDT"}},
        // Three minutes later: with the day's midnight offset it would read 02:03, which the clocks skip.
        {4, 8, 2037, {"2037-03-08*", "07:03 GMT"}, {"2037-03-08*", "03:03 EDT"}},
        // Inside the repeated hour, its first showing (1987 rules: last Sunday of October)...
        {3, 6, 1987, {"1987-10-25*", "05:52 GMT"}, {"1987-10-25*", "01:52 EDT"}},
        // ...and at the very minute the clocks go back from 02:00 EDT to 01:00 EST.
        {1, 7, 2028, {"2028-11-05*", "06:00 GMT"}, {"2028-11-05*", "01:00 EST"}},
    };
    for (const Case& c : cases) {
        const std::string what = std::string(kBodyNames[c.first]) + "-" + kBodyNames[c.second];
        const auto gmt = ExactCells(Scan(c.first, c.second, Day(c.year, 1, 1), Day(c.year, 12, 31), Fixed(24, "GMT")));
        const auto local =
            ExactCells(Scan(c.first, c.second, Day(c.year, 1, 1), Day(c.year, 12, 31), Named("America/New_York")));
        ASSERT_EQ(gmt.size(), local.size()) << what;
        const auto at = std::find(gmt.begin(), gmt.end(), c.gmt);
        ASSERT_NE(at, gmt.end()) << what << " has no exact minimum at " << c.gmt;
        EXPECT_EQ(local[static_cast<std::size_t>(at - gmt.begin())], c.local) << what;
    }
}

// Orb entry and exit dates, like the days' steps, follow the offset of each local
// midnight: where a named zone's offset is the same all through a run, its rows are the
// fixed entry's with that offset.
TEST(TransitZone, OrbDatesFollowTheOffsetOfEachLocalMidnight) {
    struct Case {
        const char* zone;
        int position;
        const char* abbreviation;
        std::int32_t from, to;
    };
    const Case cases[] = {
        {"America/New_York", 14, "EST", Day(2026, 1, 1), Day(2026, 3, 6)},   // -5:00
        {"America/New_York", 16, "EDT", Day(2026, 3, 10), Day(2026, 10, 30)},  // -4:00
        {"Europe/Berlin", 28, "CEST", Day(2026, 3, 30), Day(2026, 10, 24)},    // +2:00
    };
    for (const Case& c : cases) {
        int differFromGmt = 0;
        for (const auto& pair : kPairs) {
            const std::string what = std::string(c.zone) + " " + kBodyNames[pair[0]] + "-" + kBodyNames[pair[1]];
            // The fixed entry labelled with the zone's abbreviation, so that whole lines compare.
            const auto fixed = Lines(Scan(pair[0], pair[1], c.from, c.to, Fixed(c.position, c.abbreviation)));
            const auto named = Lines(Scan(pair[0], pair[1], c.from, c.to, Named(c.zone)));
            const auto gmt = Lines(Scan(pair[0], pair[1], c.from, c.to, Fixed(24, "GMT")));
            ASSERT_EQ(named.size(), fixed.size()) << what;
            for (std::size_t i = 2; i < fixed.size(); ++i) EXPECT_EQ(named[i], fixed[i]) << what << " line " << i;
            // Rows whose dates move with the offset show that the comparison can tell.
            for (std::size_t i = 2; i < std::min(gmt.size(), named.size()); ++i)
                if (gmt[i].substr(0, 100) != named[i].substr(0, 100)) ++differFromGmt;
        }
        EXPECT_GT(differFromGmt, 0) << c.zone << ": no orb date depends on the offset";
    }
}
