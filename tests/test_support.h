#pragma once
// Start-up shared by the core tests: calendar tables, catalogue and Pluto files from
// the folder the test programs run in (the build's data folder).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "calendar/calendar_services.h"

namespace kovo::testing {

inline bool InitModelOnce() {
    static const bool plutoLoaded = [] {
        calendar::InitCalendarTables();
        astro::InitCatalogue();
        return astro::LoadPlutoFiles().ok;
    }();
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
