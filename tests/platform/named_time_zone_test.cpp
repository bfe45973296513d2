// Named zones of the system's tz database: offsets and abbreviations on both sides of
// changes of daylight saving and of rule, and the reading of local clock times that the
// clocks skip or show twice. Expected values are the published rules of each zone.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "platform/named_time_zone.h"

using kovo::platform::NamedTimeZone;

namespace {

constexpr int kHour = 3600;

// The Julian Day of a calendar date and clock reading: of a UT instant, or, for a local
// reading, the local Julian date.
double Jd(int year, unsigned month, unsigned day, int hour = 0, int minute = 0, int second = 0) {
    using namespace std::chrono;
    const auto days = sys_days{std::chrono::year{year} / month / day}.time_since_epoch().count();
    return (static_cast<double>(days) * 86400.0 + hour * 3600.0 + minute * 60.0 + second) / 86400.0 + 2440587.5;
}

NamedTimeZone Zone(const char* name) {
    auto zone = NamedTimeZone::Find(name);
    if (!zone) ADD_FAILURE() << name << " is not in the tz database; is tzdata installed?";
    return zone.value_or(*NamedTimeZone::Find("Etc/GMT"));
}

struct Expected {
    double instantUt;
    int offsetSeconds;
    const char* abbreviation;
};

void ExpectReadings(const NamedTimeZone& zone, std::initializer_list<Expected> expected) {
    for (const Expected& e : expected) {
        const NamedTimeZone::Reading r = zone.AtInstant(e.instantUt);
        EXPECT_EQ(r.offsetSeconds, e.offsetSeconds) << zone.Name() << " at JD " << std::to_string(e.instantUt);
        EXPECT_EQ(r.abbreviation, e.abbreviation) << zone.Name() << " at JD " << std::to_string(e.instantUt);
    }
}

}  // namespace

TEST(NamedTimeZone, UsChangesOf2026TakeEffectAtTheirInstant) {
    const NamedTimeZone ny = Zone("America/New_York");
    EXPECT_EQ(ny.Name(), "America/New_York");
    // 8 March 02:00 EST (07:00 UT) to EDT; 1 November 02:00 EDT (06:00 UT) back to EST.
    ExpectReadings(ny, {{Jd(2026, 1, 15, 12), -5 * kHour, "EST"},
                        {Jd(2026, 3, 8, 6, 59, 59), -5 * kHour, "EST"},
                        {Jd(2026, 3, 8, 7), -4 * kHour, "EDT"},
                        {Jd(2026, 7, 4, 12), -4 * kHour, "EDT"},
                        {Jd(2026, 11, 1, 5, 59, 59), -4 * kHour, "EDT"},
                        {Jd(2026, 11, 1, 6), -5 * kHour, "EST"},
                        {Jd(2026, 12, 31, 23), -5 * kHour, "EST"}});
}

TEST(NamedTimeZone, EuChangesOf2026TakeEffectAtOneUt) {
    const NamedTimeZone berlin = Zone("Europe/Berlin");
    ExpectReadings(berlin, {{Jd(2026, 3, 29, 0, 59, 59), kHour, "CET"},
                            {Jd(2026, 3, 29, 1), 2 * kHour, "CEST"},
                            {Jd(2026, 10, 25, 0, 59, 59), 2 * kHour, "CEST"},
                            {Jd(2026, 10, 25, 1), kHour, "CET"}});
}

TEST(NamedTimeZone, KathmanduKeepsAQuarterHourOffset) {
    const NamedTimeZone kathmandu = Zone("Asia/Kathmandu");
    ExpectReadings(kathmandu, {{Jd(2026, 1, 1), 5 * kHour + 45 * 60, "+0545"},
                               {Jd(2026, 7, 1, 18, 14), 5 * kHour + 45 * 60, "+0545"},
                               // Before 1986 the zone was half an hour behind that.
                               {Jd(1985, 6, 1), 5 * kHour + 30 * 60, "+0530"}});
    EXPECT_EQ(kathmandu.OffsetAtLocal(Jd(2026, 7, 2, 0, 0)), 5 * kHour + 45 * 60);
}

TEST(NamedTimeZone, MoscowRuleChangesOf2011And2014) {
    const NamedTimeZone moscow = Zone("Europe/Moscow");
    // Summer time from 27 March 2011 02:00 local (26 March 23:00 UT) that never ended...
    ExpectReadings(moscow, {{Jd(2011, 1, 15), 3 * kHour, "MSK"},
                            {Jd(2011, 3, 26, 22, 59, 59), 3 * kHour, "MSK"},
                            {Jd(2011, 3, 26, 23), 4 * kHour, "MSK"},
                            {Jd(2011, 11, 15), 4 * kHour, "MSK"},
                            {Jd(2013, 1, 15), 4 * kHour, "MSK"},
                            // ...until 26 October 2014 02:00 local (25 October 22:00 UT), back to +3 for good.
                            {Jd(2014, 10, 25, 21, 59, 59), 4 * kHour, "MSK"},
                            {Jd(2014, 10, 25, 22), 3 * kHour, "MSK"},
                            {Jd(2015, 7, 1), 3 * kHour, "MSK"}});
    // 01:30 on 26 October 2014 was shown twice: first at +4.
    EXPECT_EQ(moscow.OffsetAtLocal(Jd(2014, 10, 26, 1, 30)), 4 * kHour);
    EXPECT_EQ(moscow.OffsetAtLocal(Jd(2014, 10, 26, 2, 0)), 3 * kHour);
}

TEST(NamedTimeZone, LocalReadingsThatAreSkippedOrRepeated) {
    const NamedTimeZone ny = Zone("America/New_York");
    // 02:00 to 02:59 on 8 March never show: such a reading takes the offset before the change.
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 3, 8, 1, 59, 59)), -5 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 3, 8, 2, 30)), -5 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 3, 8, 3, 0)), -4 * kHour);
    // 01:00 to 01:59 on 1 November show twice: the first, in daylight time.
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 11, 1, 0, 59)), -4 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 11, 1, 1, 30)), -4 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 11, 1, 2, 0)), -5 * kHour);
    // Local midnights, which date a run's days, on and after the change days.
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 3, 8)), -5 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 3, 9)), -4 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 11, 1)), -4 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(Jd(2026, 11, 2)), -5 * kHour);

    const NamedTimeZone berlin = Zone("Europe/Berlin");
    EXPECT_EQ(berlin.OffsetAtLocal(Jd(2026, 3, 29, 2, 30)), kHour);
    EXPECT_EQ(berlin.OffsetAtLocal(Jd(2026, 10, 25, 2, 30)), 2 * kHour);
}

TEST(NamedTimeZone, ReadingsFarFromTheRulesDoNotFail) {
    const NamedTimeZone ny = Zone("America/New_York");
    // Before standard time the zone kept the local mean time of New York, -4:56:02.
    EXPECT_EQ(ny.AtInstant(Jd(1850, 6, 1)).offsetSeconds, -(4 * kHour + 56 * 60 + 2));
    // The program's calendar reaches far beyond the database; the ends hold.
    EXPECT_EQ(ny.AtInstant(0.0).offsetSeconds, ny.AtInstant(Jd(1, 1, 1)).offsetSeconds);
    EXPECT_EQ(ny.AtInstant(1e8).offsetSeconds, ny.AtInstant(Jd(9999, 1, 15)).offsetSeconds);
    EXPECT_EQ(ny.AtInstant(Jd(9999, 1, 15)).offsetSeconds, -5 * kHour);
    EXPECT_EQ(ny.OffsetAtLocal(-1e7), ny.AtInstant(Jd(1, 1, 1)).offsetSeconds);
}

TEST(NamedTimeZone, UnknownNamesAreRefused) {
    for (const char* name : {"Nowhere/Else", "", "America/", "America/New_York ", "GMT-5:00", "../etc/passwd"})
        EXPECT_FALSE(NamedTimeZone::Find(name).has_value()) << "'" << name << "'";
    // A link answers under the name asked for, with its target's rules.
    const auto link = NamedTimeZone::Find("US/Eastern");
    ASSERT_TRUE(link.has_value());
    EXPECT_EQ(link->Name(), "US/Eastern");
    EXPECT_EQ(link->AtInstant(Jd(2026, 7, 1)).abbreviation, "EDT");
}

TEST(NamedTimeZone, NamesAreSortedAndEachCanBeFound) {
    const std::vector<std::string> names = kovo::platform::NamedTimeZoneNames();
    ASSERT_GT(names.size(), 300u);
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    for (const char* name : {"America/New_York", "Europe/Berlin", "Asia/Kathmandu", "Europe/Moscow", "UTC"})
        EXPECT_TRUE(std::binary_search(names.begin(), names.end(), name)) << name;
    // Every listed name opens: the list offers nothing that would then be refused.
    for (const std::string& name : names) EXPECT_TRUE(NamedTimeZone::Find(name).has_value()) << name;

    const std::string system = kovo::platform::SystemTimeZoneName();
    if (!system.empty()) {
        EXPECT_TRUE(NamedTimeZone::Find(system).has_value()) << system;
    }
}
