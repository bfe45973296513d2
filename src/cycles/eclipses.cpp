#include "cycles/eclipses.h"

#include <algorithm>
#include <cmath>

namespace kovo::cycles {

namespace {

constexpr std::int32_t kSunCode = 3;  // the library layer's geocentric Sun

// One kind's eclipses; each search starts just after the last one found.
void Collect(bool solar, double fromUt, double toUt, std::vector<Eclipse>& out, bool& failed) {
    double after = fromUt - 1.0 / 1440.0;  // one whose rounded minute is fromUt itself counts
    while (true) {
        const platform::EclipseFound found = solar ? platform::NextSolarEclipse(after) : platform::NextLunarEclipse(after);
        if (!std::isfinite(found.greatestUt)) {
            failed = true;
            return;
        }
        const double minute = std::round(found.greatestUt * 1440.0) / 1440.0;
        if (minute >= toUt) return;
        const platform::ZodiacPosition body = platform::ZodiacLongitude(solar ? kSunCode : platform::kMoonCode,
                                                                        found.greatestUt, false, platform::Zodiac::Tropical);
        if (body.longitude < 0) failed = true;
        if (minute >= fromUt)
            out.push_back({.solar = solar, .type = found.type, .greatestUt = minute, .longitude = std::max(0.0, body.longitude)});
        // Eclipses of one kind are weeks apart at the least; a day on is safely past this one.
        after = found.greatestUt + 1.0;
    }
}

}  // namespace

const char* EclipseKindName(const Eclipse& eclipse) { return eclipse.solar ? "solar" : "lunar"; }

const char* EclipseTypeName(platform::EclipseType type) {
    switch (type) {
        case platform::EclipseType::Total: return "total";
        case platform::EclipseType::Annular: return "annular";
        case platform::EclipseType::Hybrid: return "hybrid";
        case platform::EclipseType::Partial: return "partial";
        case platform::EclipseType::Penumbral: return "penumbral";
    }
    return "";
}

std::vector<Eclipse> FindEclipses(double fromUt, double toUt, bool* missing) {
    std::vector<Eclipse> eclipses;
    bool failed = false;
    if (toUt > fromUt && std::isfinite(fromUt) && std::isfinite(toUt)) {
        Collect(true, fromUt, toUt, eclipses, failed);
        Collect(false, fromUt, toUt, eclipses, failed);
        std::stable_sort(eclipses.begin(), eclipses.end(),
                         [](const Eclipse& a, const Eclipse& b) { return a.greatestUt < b.greatestUt; });
    }
    if (missing) *missing = failed;
    return eclipses;
}

}  // namespace kovo::cycles
