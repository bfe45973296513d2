#pragma once
// Start-up shared by the core tests: the Pluto files from the folder the test programs
// run in (the build's data folder).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "calendar/calendar_services.h"
#include "calendar/report_zone.h"

namespace kovo::testing {

// A fixed zone of the window's list: position p is (p - 24) * 30 minutes east.
inline calendar::ReportZone ListZone(int position, std::string label = "GMT") {
    return calendar::ReportZone::Fixed((position - 24) * 30, std::move(label));
}

inline bool InitModelOnce() {
    static const bool plutoLoaded = astro::LoadPlutoFiles().ok;
    return plutoLoaded;
}

// The folder of real sample data beside the repository, or "" when it is absent.
inline std::string SharedDataFolder() {
    const char* env = std::getenv("KOVO_SHARED_DATA");
    if (env != nullptr) return env;
#ifdef KOVO_TEST_SOURCE_DIR
    return std::string(KOVO_TEST_SOURCE_DIR) + "/../../shared/data";
#else
    return {};
#endif
}

// Whether the tests run in CI, where missing sample data is a failure, not a skip.
inline bool InCi() {
    const char* ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0' && std::string(ci) != "0" && std::string(ci) != "false";
}

// The real index history beside the repository, or "" when it is absent.
inline std::string SharedIndexFile() {
    const std::string folder = SharedDataFolder();
    if (folder.empty()) return {};
    const std::string path = folder + "/DJIA_data.txt";
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return {};
    std::fclose(f);
    return path;
}

// The day number of a Gregorian date.
inline std::int32_t Day(int year, int month, int day) {
    calendar::DateRecord r;
    r.year = year;
    r.month = month;
    r.day = day;
    r.calendar = calendar::kGregorian;
    return calendar::DayNumberFromDate(r);
}

inline double Degrees(double radians) { return radians / astro::FullCircle * 360.0; }
inline double Radians(double degrees) { return degrees / 360.0 * astro::FullCircle; }

}  // namespace kovo::testing

// Skips a test that needs the real index history when it is absent, but fails it in CI,
// where a missing file would otherwise let the test pass unnoticed.
#define KOVO_REQUIRE_INDEX_FILE(path)                                                             \
    if ((path).empty()) {                                                                         \
        if (::kovo::testing::InCi()) FAIL() << "CI is set but the real index history is missing"; \
        GTEST_SKIP() << "no index history beside the repository";                                 \
    }
