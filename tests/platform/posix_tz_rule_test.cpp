// The footer rule of the zone files: the TZ strings the database uses, and the years after
// the files' last listed change (2037), checked against Python's zoneinfo where it is
// installed: at some 300 times of 2038, 2100 and 2199 in zones of both hemispheres, with
// changes at odd hours and negative daylight saving.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <sstream>
#include <string>

#include "platform/named_time_zone.h"
#include "platform/posix_tz_rule.h"
#include "support/scoped_env.h"

using kovo::platform::NamedTimeZone;
using kovo::platform::PosixTzRule;

namespace {

constexpr std::int64_t kHour = 3600;
constexpr double kUnixEpochJd = 2440587.5;

std::int64_t Seconds(int year, unsigned month, unsigned day, int hour = 0) {
    using namespace std::chrono;
    return sys_days{std::chrono::year{year} / month / day}.time_since_epoch().count() * 86400 + hour * kHour;
}

std::string RunCommand(const std::string& command) {
    std::string output;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, got);
    pclose(pipe);
    return output;
}

// "zone instant offset abbreviation" for UT instants and "zone local offset" (the first
// reading, fold 0) for local readings, every 29 h 17 min through the years asked for.
constexpr const char* kZoneinfoScript = R"PY(
import sys, datetime, zoneinfo
utc = datetime.timezone.utc
for name in sys.argv[2:]:
    z = zoneinfo.ZoneInfo(name)
    for year in sys.argv[1].split(','):
        t = datetime.datetime(int(year), 1, 1, tzinfo=utc)
        while t.year == int(year):
            s = int(t.timestamp())
            local = t.astimezone(z)
            print(name, 'U', s, int(local.utcoffset().total_seconds()), local.tzname())
            wall = t.replace(tzinfo=z)
            print(name, 'L', s, int(wall.utcoffset().total_seconds()), '-')
            t += datetime.timedelta(hours=29, minutes=17)
)PY";

}  // namespace

TEST(PosixTzRule, ReadsTheStringsTheDatabaseUses) {
    const auto ny = PosixTzRule::Parse("EST5EDT,M3.2.0,M11.1.0");
    ASSERT_TRUE(ny.has_value());
    EXPECT_EQ(ny->Standard().offsetSeconds, -5 * kHour);
    EXPECT_EQ(ny->Daylight()->offsetSeconds, -4 * kHour);
    EXPECT_EQ(ny->Daylight()->abbreviation, "EDT");
    // 2100: second Sunday of March is the 14th, first Sunday of November the 7th.
    const auto changes = ny->ChangesIn(2100);
    EXPECT_EQ(changes[0].atUt, Seconds(2100, 3, 14, 7));
    EXPECT_TRUE(changes[0].toDaylight);
    EXPECT_EQ(changes[1].atUt, Seconds(2100, 11, 7, 6));

    const auto kathmandu = PosixTzRule::Parse("<+0545>-5:45");
    ASSERT_TRUE(kathmandu.has_value());
    EXPECT_EQ(kathmandu->Standard().offsetSeconds, 5 * kHour + 45 * 60);
    EXPECT_EQ(kathmandu->Standard().abbreviation, "+0545");
    EXPECT_FALSE(kathmandu->Daylight().has_value());

    // Sydney: daylight saving over the new year, so the year's first change ends it.
    const auto sydney = PosixTzRule::Parse("AEST-10AEDT,M10.1.0,M4.1.0/3");
    ASSERT_TRUE(sydney.has_value());
    EXPECT_FALSE(sydney->ChangesIn(2038)[0].toDaylight);
    EXPECT_EQ(sydney->ChangesIn(2038)[0].atUt, Seconds(2038, 4, 3, 16));  // 03:00 AEDT

    // Jerusalem: the Friday before the last Sunday of March, written as Thursday 26:00.
    const auto jerusalem = PosixTzRule::Parse("IST-2IDT,M3.4.4/26,M10.5.0");
    ASSERT_TRUE(jerusalem.has_value());
    EXPECT_EQ(jerusalem->ChangesIn(2038)[0].atUt, Seconds(2038, 3, 26, 0));  // 02:00 IST
    // Nuuk: a change at -1:00 local, the evening before.
    const auto nuuk = PosixTzRule::Parse("<-02>2<-01>,M3.5.0/-1,M10.5.0/0");
    ASSERT_TRUE(nuuk.has_value());
    EXPECT_EQ(nuuk->ChangesIn(2038)[0].atUt, Seconds(2038, 3, 28, 1));
    // Julian days: J60 is 1 March in every year, 59 (counted from 0) is 29 February in leap years.
    EXPECT_EQ(PosixTzRule::Parse("XST0XDT,J60/0,J300/0")->ChangesIn(2040)[0].atUt, Seconds(2040, 3, 1));
    EXPECT_EQ(PosixTzRule::Parse("XST0XDT,59/0,300/0")->ChangesIn(2040)[0].atUt, Seconds(2040, 2, 29));
}

TEST(PosixTzRule, RefusesWhatItCannotRead) {
    for (const char* text : {"", "EST", "E5", "<+05", "<+5>-5", "EST5EDT", "EST5EDT,M3.2.0", "EST5EDT,M13.2.0,M11.1.0",
                             "EST5EDT,M3.6.0,M11.1.0", "EST5EDT,M3.2.7,M11.1.0", "EST25", "EST5EDT,J0,J365",
                             "EST5EDT,M3.2.0/168,M11.1.0", "EST5EDT,M3.2.0,M11.1.0x"})
        EXPECT_FALSE(PosixTzRule::Parse(text).has_value()) << "'" << text << "'";
}

TEST(NamedTimeZone, DaylightSavingGoesOnAfter2037AsTheFootersSay) {
    const NamedTimeZone ny = *NamedTimeZone::Find("America/New_York");
    const auto at = [](std::int64_t seconds) { return kUnixEpochJd + static_cast<double>(seconds) / 86400.0; };
    EXPECT_EQ(ny.AtInstant(at(Seconds(2038, 7, 1))).abbreviation, "EDT");
    EXPECT_EQ(ny.AtInstant(at(Seconds(2199, 7, 1))).offsetSeconds, -4 * kHour);
    EXPECT_EQ(NamedTimeZone::Find("Europe/London")->AtInstant(at(Seconds(2100, 7, 1))).abbreviation, "BST");
    EXPECT_EQ(NamedTimeZone::Find("Australia/Sydney")->AtInstant(at(Seconds(2150, 7, 1))).abbreviation, "AEST");
    // Local readings: 02:30 on 14 March 2100 is skipped in New York, 01:30 on 7 November shown twice.
    EXPECT_EQ(ny.OffsetsAtLocal(at(Seconds(2100, 3, 14, 2) + 1800)).size(), 0u);
    EXPECT_EQ(ny.OffsetsAtLocal(at(Seconds(2100, 11, 7, 1) + 1800)), (std::vector<int>{-4 * kHour, -5 * kHour}));
}

TEST(NamedTimeZone, AgreesWithPythonZoneinfoIn2038And2100And2199) {
    const char* zones[] = {"America/New_York", "Europe/London", "Australia/Sydney", "Asia/Jerusalem",   "America/Nuuk",
                           "Europe/Dublin",    "America/Santiago", "Pacific/Chatham", "Africa/Casablanca"};
    std::string command = "PYTHONTZPATH='" + kovo::platform::TimeZoneDatabaseFolder() + "' python3 -c \"$KOVO_PY\" 2038,2100,2199";
    for (const char* zone : zones) command += std::string(" ") + zone;
    const kovo::testing::ScopedEnv script("KOVO_PY", kZoneinfoScript);
    const std::string output = RunCommand(command + " 2>/dev/null");
    if (output.empty()) GTEST_SKIP() << "python3 with zoneinfo is not installed";

    std::istringstream lines(output);
    std::string zone, kind, abbreviation;
    std::int64_t seconds = 0;
    int offset = 0, checked = 0, wrong = 0;
    std::map<std::string, NamedTimeZone> opened;
    while (lines >> zone >> kind >> seconds >> offset >> abbreviation) {
        if (!opened.count(zone)) opened.emplace(zone, *NamedTimeZone::Find(zone));
        const NamedTimeZone& named = opened.at(zone);
        const double jd = kUnixEpochJd + static_cast<double>(seconds) / 86400.0;
        ++checked;
        if (kind == "U") {
            const NamedTimeZone::Reading r = named.AtInstant(jd);
            if (r.offsetSeconds != offset || r.abbreviation != abbreviation) {
                if (++wrong <= 10)
                    ADD_FAILURE() << zone << " at " << seconds << ": " << r.offsetSeconds << " " << r.abbreviation
                                  << ", zoneinfo " << offset << " " << abbreviation;
            }
        } else if (named.OffsetAtLocal(jd) != offset && ++wrong <= 10) {
            ADD_FAILURE() << zone << " local " << seconds << ": " << named.OffsetAtLocal(jd) << ", zoneinfo " << offset;
        }
    }
    EXPECT_EQ(wrong, 0) << "of " << checked;
    EXPECT_GT(checked, 9 * 3 * 2 * 290);
}
