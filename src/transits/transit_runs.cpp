#include "transits/transit_runs.h"

#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "calendar/time_zones.h"
#include "util/text.h"

namespace kovo::transits {

namespace {

int FirstPlanet(const TransitInputs& in) { return in.firstListPos < 0 ? astro::kPluto : in.firstListPos + 1; }
int SecondPlanet(const TransitInputs& in) { return in.secondListPos + 2; }

util::Message Info(std::string text, std::string title, util::MessageIcon icon = util::MessageIcon::Information) {
    return {.text = std::move(text), .title = std::move(title), .icon = icon};
}

TransitRunParams BaseParams(const TransitInputs& in, int first, int second) {
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = in.heliocentric;
    p.timezonePosition = in.timezonePosition;
    p.timezoneText = in.timezoneText;
    p.firstName = astro::PlanetName(FirstPlanet(in), in.heliocentric, false);
    p.secondName = astro::PlanetName(SecondPlanet(in), in.heliocentric, false);
    p.outputLimit = in.outputLimit;
    return p;
}

double DeviationAt(int first, int second, int aspect, double instant, bool helio, bool& noData) {
    const double a = astro::PlanetLongitude(first, instant, helio);
    const double b = astro::PlanetLongitude(second, instant, helio);
    noData = a < 0 || b < 0;
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(a, b, direction) - astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

bool PairRefused(RunContext& c, int& first, int& second, bool allTransitsMode, const std::string& caption) {
    if (allTransitsMode) {
        if (first == second) {
            c.flags.allTransitsStopped = false;
            return true;
        }
        if (second < first) std::swap(first, second);
        return false;
    }
    if (first == second) {
        c.host.ShowMessage(Info("Transit of a planet to itself is not possible.", caption, util::MessageIcon::Exclamation));
        return true;
    }
    if (second < first) {
        c.host.ShowMessage(Info("Second planet must be beyond first planet", caption));
        return true;
    }
    return false;
}

bool UsesPluto(int first, int second) { return first == astro::kPluto || second == astro::kPluto; }

// A pair with Pluto while its files are unusable: said once, with the reason.
bool PlutoRefused(RunContext& c, int first, int second, const std::string& caption) {
    if (!UsesPluto(first, second) || c.inputs.pluto.available) return false;
    c.host.ShowMessage(Info(astro::PlutoUnavailableText(c.inputs.pluto), caption, util::MessageIcon::Exclamation));
    return true;
}

void WriteDateFields(calendar::DateEntryModel& dates, int index, std::int32_t day) {
    calendar::DateRecord r;
    r.calendar = calendar::kGregorian;
    r.dayNumber = day;
    calendar::DateFromDayNumber(r);
    const auto i = static_cast<std::size_t>(index);
    dates.txbYear[i] = std::to_string(r.year);
    dates.txbMonth[i] = std::to_string(r.month);
    dates.txbDay[i] = std::to_string(r.day);
    calendar::RefreshDateLabel(dates, index);
}

}  // namespace

std::string PairCaption(const TransitInputs& inputs) {
    return astro::PlanetName(FirstPlanet(inputs), inputs.heliocentric, false) + " and " +
           astro::PlanetName(SecondPlanet(inputs), inputs.heliocentric, false);
}

std::int32_t BackOffStartDay(int first, int second, std::int32_t startDay, double innerOrb, bool helio,
                             int zoneMinutes) {
    const double zone = zoneMinutes / 1440.0;
    bool noData = false;
    int backOffAspect = 0;
    for (int a = 1; a <= astro::kAspectCount && backOffAspect == 0; ++a)
        if (DeviationAt(first, second, a, startDay - 0.5 - zone, helio, noData) < innerOrb) backOffAspect = a;
    if (backOffAspect == 0) return startDay;
    for (std::int32_t d = startDay - 1;; --d) {
        const double deviation = DeviationAt(first, second, backOffAspect, d - 0.5 - zone, helio, noData);
        // Any missing position ends the walk, not only the "before the data" sentinel,
        // so that a failing ephemeris cannot keep it going for ever.
        if (noData) return d + 1;
        if (!(deviation < innerOrb)) return d;
    }
}

std::array<int, 3> DerivedSearchOrbs(int searchOrb) {
    const int middle = searchOrb * 2 / 3;
    return {searchOrb, middle, middle / 3};
}

std::string GeocentricAspectRefusal(int first, int second, int aspect) {
    const bool conjunctionOrSemisextile = aspect == 1 || aspect == 6;
    const bool withSextile = conjunctionOrSemisextile || aspect == 5;
    if (first == 1 && second == 2 && !conjunctionOrSemisextile)
        return "The only possible geocentric aspects between the Sun and Mercury\r\nare conjunction and semisextile.";
    if (first == 1 && second == 3 && !withSextile)
        return "The only possible geocentric aspects between the Sun and Venus\r\nare conjunction, sextile and semisextile.";
    if (first == 2 && second == 3 && !withSextile)
        return "The only possible geocentric aspects between Mercury and Venus\r\nare conjunction, sextile and semisextile.";
    return {};
}

ScanResult StartTwoPlanetRun(RunContext& c, bool allTransitsMode) {
    TransitInputs& in = c.inputs;
    const std::string caption = PairCaption(in);
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckDateFieldsPresent(c.dates, which, caption, c.host)) return {};
    for (int which = 0; which < 2; ++which)
        if (!calendar::ValidateDate(c.dates, which, caption, c.host)) return {};
    if (c.dates.DayNumbers[1] - 3 < c.dates.DayNumbers[0]) {
        c.host.ShowMessage(Info("The start date must be at least 3 days prior to the end date.", caption));
        return {};
    }
    if (!calendar::CheckTimeZoneChosen(in.timezonePosition, caption, c.host)) return {};
    int first = FirstPlanet(in);
    int second = SecondPlanet(in);
    if (PairRefused(c, first, second, allTransitsMode, caption)) {
        // In the all-transits run the kept planet meets itself once: nothing to find there.
        return {.outcome = allTransitsMode ? util::RunOutcome::NotFound : util::RunOutcome::Refused};
    }
    if (!allTransitsMode && !calendar::CheckOrbsDecreasing(in.orbPositions[0], in.orbPositions[1], in.orbPositions[2], c.host))
        return {};
    TransitRunParams p = BaseParams(in, first, second);
    SetOrbs(p, in.orbPositions[0] + 1, in.orbPositions[1] + 1, in.orbPositions[2] + 1);
    if (PlutoRefused(c, first, second, caption)) return {};
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckPlanetDataCoverage(c.dates, which, first, second, in.heliocentric, c.host)) return {};
    c.flags.allTransitsStopped = false;
    c.flags.headerPrinted = false;
    c.host.PrepareRunWindow();
    c.dates.DayNumbers[0] = BackOffStartDay(first, second, c.dates.DayNumbers[0], p.orbRadians[2], in.heliocentric,
                                            p.TimezoneMinutes());
    p.startDay = c.dates.DayNumbers[0];
    p.endDay = c.dates.DayNumbers[1];
    for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = in.aspectChecked[a - 1];
    p.kind = allTransitsMode ? RunKind::AllTransits : RunKind::TwoPlanet;
    return RunTransitScan(p, c.flags, c.host);
}

ScanResult StartAspectSearch(RunContext& c) {
    TransitInputs& in = c.inputs;
    const int first = FirstPlanet(in);
    const int second = SecondPlanet(in);
    const int aspect = in.searchAspectPos + 1;
    if (!in.heliocentric) {
        const std::string refusal = GeocentricAspectRefusal(first, second, aspect);
        if (!refusal.empty()) {
            c.host.ShowMessage(Info(refusal, "Search"));
            return {};
        }
    }
    c.flags.headerPrinted = false;
    const std::string caption = PairCaption(in);
    for (int which = 0; which < 2; ++which)
        if (!calendar::ValidateDate(c.dates, which, caption, c.host)) return {};
    const int from = in.searchWhenPos == 1 ? 1 : 0;
    if (!calendar::CheckDateFieldsPresent(c.dates, from, caption, c.host)) return {};
    if (!calendar::CheckTimeZoneChosen(in.timezonePosition, "Search", c.host)) return {};
    if (first >= second) {
        c.host.ShowMessage(Info("Second planet must be beyond first planet", "Search"));
        return {};
    }
    TransitRunParams p = BaseParams(in, first, second);
    const int searchOrb = in.orbPositions[3] + 3;
    const auto orbs = DerivedSearchOrbs(searchOrb);
    SetOrbs(p, orbs[0], orbs[1], orbs[2]);
    if (PlutoRefused(c, first, second, "Search")) return {};
    c.host.PrepareRunWindow();
    p.aspects[static_cast<std::size_t>(aspect)] = true;
    p.kind = RunKind::Search;
    p.startDay = c.dates.DayNumbers[static_cast<std::size_t>(from)];
    p.searchOrbText = std::to_string(searchOrb) + "°";
    p.searchAspectText = util::ToLower(astro::AspectName[static_cast<std::size_t>(aspect)]);
    const ScanResult result = RunTransitScan(p, c.flags, c.host);
    if (!in.keepDates && result.recorded) {
        WriteDateFields(c.dates, 0, p.startDay);
        WriteDateFields(c.dates, 1, p.endDay);
    }
    return result;
}

util::RunOutcome StartAllTransitsRun(RunContext& c, int index) {
    TransitInputs& in = c.inputs;
    const int savedFirst = in.firstListPos;
    const int savedSecond = in.secondListPos;
    const bool keptPluto = index == 0 ? FirstPlanet(in) == astro::kPluto : SecondPlanet(in) == astro::kPluto;
    // Every pair would be refused for the same reason: say it once.
    if (keptPluto && PlutoRefused(c, astro::kPluto, astro::kPluto, PairCaption(in))) return util::RunOutcome::Refused;
    const bool savedAppend = c.host.AppendChecked();
    if (savedAppend) {
        if (c.host.OutputLength() > 0) c.host.AppendOutput("\r\n");
    } else {
        c.host.ClearOutput();
    }
    c.host.SetAppendChecked(true);
    c.flags.allTransitsStopped = false;
    bool anyRefused = false;
    bool anyRecorded = false;
    constexpr int kListEntries = 8;
    int& position = index == 0 ? in.secondListPos : in.firstListPos;
    auto runPair = [&] {
        const ScanResult pair = StartTwoPlanetRun(c, true);
        anyRefused = anyRefused || pair.outcome == util::RunOutcome::Refused;
        anyRecorded = anyRecorded || pair.recorded;
    };
    for (int p = 0; p < kListEntries && !c.flags.allTransitsStopped; ++p) {
        position = p;
        runPair();
    }
    if (index == 1 && !c.flags.allTransitsStopped) {
        in.firstListPos = -1;  // no selection: Pluto
        runPair();
    }
    const bool stopped = c.flags.allTransitsStopped;
    in.firstListPos = savedFirst;
    in.secondListPos = savedSecond;
    c.host.SetAppendChecked(savedAppend);
    FinishRun(c.host);
    if (!stopped) c.host.ShowDonePopUp();
    if (stopped) return util::RunOutcome::Stopped;
    if (anyRefused) return util::RunOutcome::Refused;
    return anyRecorded ? util::RunOutcome::Completed : util::RunOutcome::NotFound;
}

}  // namespace kovo::transits
