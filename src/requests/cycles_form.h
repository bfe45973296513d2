#pragma once
// A body's retrograde cycles or sign ingresses, or the Moon's phases or the eclipses,
// over a range of civil days: the checks both fronts make before the search (with their
// texts), the search itself, and what it found, ready for the writers of cycle_export.h
// and lunar_export.h.
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "astro/body.h"
#include "calendar/report_zone.h"
#include "cycles/eclipses.h"
#include "cycles/ingresses.h"
#include "cycles/lunar_phases.h"
#include "cycles/retrograde_cycles.h"
#include "export/cycle_export.h"
#include "export/lunar_export.h"
#include "platform/ephemeris.h"

namespace kovo::requests {

// What is searched for. Phases and eclipses take no body, centricity or zodiac (they
// are the Moon's and the Sun's, geocentric, tropical).
enum class CycleKind { Stations, Ingresses, Phases, Eclipses };
constexpr bool IsLunar(CycleKind kind) { return kind == CycleKind::Phases || kind == CycleKind::Eclipses; }

// The searches cover the ephemeris files' years only.
inline constexpr int kCyclesFirstYear = 1600;
inline constexpr int kCyclesLastYear = 2199;

struct CyclesForm {
    CycleKind kind = CycleKind::Stations;
    astro::Body body = astro::Body::Mercury;  // Sun stands for the Earth heliocentrically
    bool heliocentric = false;
    // Ingresses only: stations are the same in every zodiac, and a front that offers a
    // choice for them should pass Tropical.
    platform::Zodiac zodiac = platform::Zodiac::Tropical;
    calendar::ReportZone zone;  // the zone of the civil days and of the times shown
    std::int32_t fromDay = 0;   // day numbers, inclusive
    std::int32_t toDay = 0;
};

// Why a run did not start or gave nothing to show. The texts are whole sentences that
// suit any front; the command line adds its option hints to some of them.
struct CyclesRefusal {
    enum class Reason { HeliocentricStations, SunStations, HeliocentricMoon, RangeReversed, OutsideEphemeris, EphemerisGap };
    Reason reason;
    std::string text;
};

struct CyclesFound {
    CycleKind kind = CycleKind::Stations;
    exporting::CycleRunInputs inputs;
    std::vector<cycles::RetrogradeCycle> cycles;  // with kind Stations
    std::vector<cycles::Ingress> ingresses;      // with kind Ingresses
    std::vector<cycles::LunarPhase> phases;      // with kind Phases
    std::vector<cycles::Eclipse> eclipses;       // with kind Eclipses

    exporting::LunarRunInputs LunarInputs() const { return {inputs.zone, inputs.fromDay, inputs.toDay}; }
    // "3 retrograde cycles of Mercury", "1 eclipse": what a status line says was found.
    std::string CountText() const;
};

// The checks in order (centricity, body, range), then the search. A range where the
// ephemeris gave no position somewhere is refused rather than found with holes: a list
// with gaps would look complete.
std::variant<CyclesFound, CyclesRefusal> RunCyclesForm(const CyclesForm& form);

// The found list as a table with the export's columns.
exporting::ExportTable CyclesFoundTable(const CyclesFound& found);

enum class CyclesFormat { Text, Csv, Json, ICalendar };
// The found list in one of the export formats. stampUtc is the iCalendar's DTSTAMP
// ("20261209T013000Z"); the other formats ignore it.
std::string CyclesFoundDocument(const CyclesFound& found, CyclesFormat format, const std::string& stampUtc);
// "stations", "ingresses", "phases" or "eclipses": the run's name in JSON and on the
// command line.
const char* CycleKindName(CycleKind kind);

}  // namespace kovo::requests
