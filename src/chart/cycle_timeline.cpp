#include "chart/cycle_timeline.h"

#include <algorithm>
#include <cmath>

#include "astro/catalogue.h"
#include "chart/local_time.h"
#include "cycles/eclipses.h"
#include "cycles/ingresses.h"
#include "cycles/lunar_phases.h"
#include "cycles/retrograde_cycles.h"

namespace kovo::chart {

namespace {

// Days searched beyond the range on either side, so that a cycle the range cuts is still
// found whole and can be clipped here: the longest (Pluto's, with both shadows) is
// shorter than this.
constexpr double kWholeCycleDays = 400;

void AddSpan(CycleLane& lane, double a, double b, CyclePhase phase, double fromUt, double toUt) {
    if (b < fromUt || a > toUt) return;
    lane.spans.push_back({.startUt = std::max(a, fromUt),
                          .endUt = std::min(b, toUt),
                          .phase = phase,
                          .cycle = lane.cycleCount,
                          .cutAtStart = a < fromUt,
                          .cutAtEnd = b > toUt});
}

void AddStation(CycleLane& lane, const cycles::CycleMoment& moment, CycleMark mark, double fromUt, double toUt,
                const transits::TransitRunParams& zone) {
    if (moment.instantUt < fromUt || moment.instantUt > toUt) return;
    lane.ticks.push_back({.instantUt = moment.instantUt,
                          .mark = mark,
                          .longitude = moment.longitude,
                          .when = FormatExactMinute(zone, moment.instantUt),
                          .type = {}});
}

void AddCycles(CycleLane& lane, const cycles::Track& track, double fromUt, double toUt,
               const transits::TransitRunParams& zone, bool& missing) {
    const auto found = cycles::FindRetrogradeCycles(track, fromUt - kWholeCycleDays, toUt + kWholeCycleDays, &missing);
    for (const cycles::RetrogradeCycle& c : found) {
        if (!c.stationRetrograde || !c.stationDirect) continue;
        const double sr = c.stationRetrograde->instantUt;
        const double sd = c.stationDirect->instantUt;
        const double first = c.preShadowStart ? c.preShadowStart->instantUt : sr;
        const double last = c.postShadowEnd ? c.postShadowEnd->instantUt : sd;
        if (last < fromUt || first > toUt) continue;
        // A shadow the search did not find within its reach is left out, not guessed.
        if (c.preShadowStart) AddSpan(lane, first, sr, CyclePhase::PreShadow, fromUt, toUt);
        AddSpan(lane, sr, sd, CyclePhase::Retrograde, fromUt, toUt);
        if (c.postShadowEnd) AddSpan(lane, sd, last, CyclePhase::PostShadow, fromUt, toUt);
        AddStation(lane, *c.stationRetrograde, CycleMark::StationRetrograde, fromUt, toUt, zone);
        AddStation(lane, *c.stationDirect, CycleMark::StationDirect, fromUt, toUt, zone);
        ++lane.cycleCount;
    }
}

// The run's bodies in the order its heading names them.
std::vector<int> RunPlanets(const TimelineModel& model) {
    const transits::TransitRunParams& p = model.pairs.front();
    const auto planetNamed = [&p](const std::string& name) {
        for (const int planet : {p.firstPlanet, p.secondPlanet})
            if (astro::PlanetName(planet, p.heliocentric, false) == name) return planet;
        return 0;
    };
    if (p.AllTransitsMode()) return {planetNamed(KeptBodyName(model.pairs))};
    return {planetNamed(p.firstName), planetNamed(p.secondName)};
}

// A chart of lanes alone over [fromUt, toUt]; a range that is empty or not finite gives
// one whose emptyText says so.
TimelineModel LaneChart(double fromUt, double toUt, const calendar::ReportZone& zone, bool heliocentric,
                        std::string title) {
    TimelineModel model;
    model.title = std::move(title);
    model.zoneRules.zone = zone;
    model.zoneRules.heliocentric = heliocentric;
    if (!std::isfinite(fromUt) || !std::isfinite(toUt) || !(toUt > fromUt)) {
        model.emptyText = "The range is empty";
        model.rangeStartUt = std::isfinite(fromUt) ? fromUt : 2451544.5;
        model.rangeEndUt = model.rangeStartUt + 1;
        return model;
    }
    model.rangeStartUt = fromUt;
    model.rangeEndUt = toUt;
    return model;
}

}  // namespace

const char* SignShortName(int sign) {
    static const char* const names[12] = {"Ari", "Tau", "Gem", "Can", "Leo", "Vir",
                                          "Lib", "Sco", "Sag", "Cap", "Aqu", "Pis"};
    return names[std::clamp(sign, 0, 11)];
}

const char* CycleTickLabel(const CycleTick& tick) {
    switch (tick.mark) {
        case CycleMark::Ingress: return SignShortName(tick.sign);
        case CycleMark::SolarEclipse: return "S ecl";
        case CycleMark::LunarEclipse: return "L ecl";
        default: return "";
    }
}

bool CrossesBand(CycleMark mark) {
    return mark == CycleMark::StationRetrograde || mark == CycleMark::StationDirect || mark == CycleMark::NewMoon ||
           mark == CycleMark::FullMoon;
}

CycleLane BuildLunarLane(double fromUt, double toUt, const transits::TransitRunParams& zone) {
    CycleLane lane;
    lane.lunar = true;
    lane.body = "Moon";
    bool missing = false;
    // A lunation is under 30 days: a month on either side finds the new moon before the
    // range and the full moon after it.
    const std::vector<cycles::LunarPhase> phases = cycles::FindLunarPhases(fromUt - 31, toUt + 31, &missing);
    static constexpr CycleMark kMarks[] = {CycleMark::NewMoon, CycleMark::FirstQuarter, CycleMark::FullMoon,
                                           CycleMark::LastQuarter};
    for (std::size_t i = 0; i < phases.size(); ++i) {
        const cycles::LunarPhase& p = phases[i];
        if (p.kind == cycles::PhaseKind::New) {
            for (std::size_t j = i + 1; j < phases.size(); ++j)
                if (phases[j].kind == cycles::PhaseKind::Full) {
                    AddSpan(lane, p.instantUt, phases[j].instantUt, CyclePhase::Waxing, fromUt, toUt);
                    if (p.instantUt <= toUt && phases[j].instantUt >= fromUt) ++lane.cycleCount;
                    break;
                }
        }
        if (p.instantUt < fromUt || p.instantUt > toUt) continue;
        lane.ticks.push_back({.instantUt = p.instantUt,
                              .mark = kMarks[static_cast<int>(p.kind)],
                              .longitude = p.moonLongitude,
                              .when = FormatExactMinute(zone, p.instantUt),
                              .type = {}});
    }
    bool eclipsesMissing = false;
    for (const cycles::Eclipse& e : cycles::FindEclipses(fromUt, toUt, &eclipsesMissing))
        lane.ticks.push_back({.instantUt = e.greatestUt,
                              .mark = e.solar ? CycleMark::SolarEclipse : CycleMark::LunarEclipse,
                              .longitude = e.longitude,
                              .when = FormatExactMinute(zone, e.greatestUt),
                              .type = cycles::EclipseTypeName(e.type)});
    std::stable_sort(lane.ticks.begin(), lane.ticks.end(),
                     [](const CycleTick& a, const CycleTick& b) { return a.instantUt < b.instantUt; });
    lane.incomplete = missing || eclipsesMissing;
    lane.label = std::string("Moon phases, eclipses") + (lane.incomplete ? " (ephemeris gaps)" : "");
    return lane;
}

void AddLunarLane(TimelineModel& model) {
    if (model.pairs.empty()) return;
    model.cycleLanes.push_back(BuildLunarLane(model.rangeStartUt, model.rangeEndUt, model.pairs.front()));
}

TimelineModel BuildLunarTimeline(double fromUt, double toUt, const calendar::ReportZone& zone, std::string title) {
    TimelineModel model = LaneChart(fromUt, toUt, zone, false, std::move(title));
    if (!model.emptyText.empty()) return model;
    model.cycleLanes.push_back(BuildLunarLane(fromUt, toUt, model.zoneRules));
    model.subtitle = "Lunar phases and eclipses \u00b7 local times in " + ZoneTitle(model.zoneRules, fromUt, toUt);
    return model;
}

CycleLane BuildCycleLane(const cycles::Track& track, double fromUt, double toUt,
                         const transits::TransitRunParams& zone) {
    CycleLane lane;
    lane.planet = astro::PlanetIndex(track.body);
    lane.body = track.body == astro::Body::Moon ? "Moon" : astro::PlanetName(lane.planet, track.heliocentric, false);
    lane.stations = !track.heliocentric && track.body != astro::Body::Sun;
    bool missing = false;
    if (lane.stations) AddCycles(lane, track, fromUt, toUt, zone, missing);
    for (const cycles::Ingress& in : cycles::FindIngresses(track, fromUt, toUt, &missing))
        lane.ticks.push_back({.instantUt = in.instantUt,
                              .mark = CycleMark::Ingress,
                              .longitude = in.sign * 30.0,
                              .sign = in.sign,
                              .retrograde = in.retrograde,
                              .when = FormatExactMinute(zone, in.instantUt),
                              .type = {}});
    std::stable_sort(lane.ticks.begin(), lane.ticks.end(),
                     [](const CycleTick& a, const CycleTick& b) { return a.instantUt < b.instantUt; });
    lane.incomplete = missing;
    lane.label = lane.body + (lane.stations ? " retrograde, signs" : " signs") + (missing ? " (ephemeris gaps)" : "");
    return lane;
}

void AddCycleLanes(TimelineModel& model) {
    if (model.pairs.empty()) return;
    const transits::TransitRunParams& params = model.pairs.front();
    for (const int planet : RunPlanets(model)) {
        if (planet < 2 || planet > 9) continue;  // the Sun and the Earth have no lane
        const cycles::Track track{.body = astro::BodyOfIndex(planet), .heliocentric = params.heliocentric};
        model.cycleLanes.push_back(BuildCycleLane(track, model.rangeStartUt, model.rangeEndUt, params));
    }
}

TimelineModel BuildCycleTimeline(const cycles::Track& track, double fromUt, double toUt,
                                 const calendar::ReportZone& zone, std::string title) {
    TimelineModel model = LaneChart(fromUt, toUt, zone, track.heliocentric, std::move(title));
    if (!model.emptyText.empty()) return model;
    model.cycleLanes.push_back(BuildCycleLane(track, fromUt, toUt, model.zoneRules));
    const CycleLane& lane = model.cycleLanes.back();
    const bool tropical = track.zodiac == platform::Zodiac::Tropical;
    model.subtitle = std::string(lane.stations ? "Retrograde cycles and ingresses" : "Ingresses") +
                     (tropical ? "" : ", sidereal zodiac") + " \u00b7 local times in " +
                     ZoneTitle(model.zoneRules, fromUt, toUt);
    if (lane.spans.empty() && lane.ticks.empty()) model.emptyText = "No station or ingress in this range";
    return model;
}

}  // namespace kovo::chart
