#include "transits/transit_runs.h"

#include <algorithm>
#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "calendar/time_zones.h"
#include "transits/transit_minima.h"
#include "util/text.h"

namespace kovo::transits {

namespace {

int FirstPlanet(const TransitInputs& in) { return in.firstListPos < 0 ? astro::kPluto : in.firstListPos + 1; }
int SecondPlanet(const TransitInputs& in) { return in.secondListPos + 2; }

util::Message Info(std::string text, std::string title, util::MessageIcon icon = util::MessageIcon::Information) {
    return {.text = std::move(text), .title = std::move(title), .icon = icon};
}

// Passes every message on and keeps the text of the last: the reason of a refusal.
class RefusalSink : public util::MessageSink {
public:
    explicit RefusalSink(util::MessageSink& target) : target_(target) {}
    util::Answer ShowMessage(const util::Message& message) override {
        last_ = message.text;
        return target_.ShowMessage(message);
    }
    TransitResult Refused() const {
        TransitResult result;
        result.outcome = util::RunOutcome::Refused;
        result.refusal = last_;
        return result;
    }
    const std::string& Last() const { return last_; }

private:
    util::MessageSink& target_;
    std::string last_;
};

TransitRunParams BaseParams(const TransitInputs& in, int first, int second) {
    TransitRunParams p;
    p.firstPlanet = first;
    p.secondPlanet = second;
    p.heliocentric = in.heliocentric;
    p.timezonePosition = in.timezonePosition;
    p.timezoneText = in.timezoneText;
    p.namedZone = in.namedZone;
    p.firstName = astro::PlanetName(FirstPlanet(in), in.heliocentric, false);
    p.secondName = astro::PlanetName(SecondPlanet(in), in.heliocentric, false);
    p.outputLimit = in.outputLimit;
    p.scanPath = in.scanPath;
    return p;
}

double DeviationAt(int first, int second, int aspect, double instant, bool helio, bool& noData) {
    const double a = astro::PlanetLongitude(first, instant, helio);
    const double b = astro::PlanetLongitude(second, instant, helio);
    noData = !HasPosition(a) || !HasPosition(b);
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(a, b, direction) - astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

bool PairRefused(util::MessageSink& sink, int& first, int& second, bool allTransitsMode, const std::string& caption) {
    if (allTransitsMode) {
        if (first == second) return true;
        if (second < first) std::swap(first, second);
        return false;
    }
    if (first == second) {
        sink.ShowMessage(Info("Transit of a planet to itself is not possible.", caption, util::MessageIcon::Exclamation));
        return true;
    }
    if (second < first) {
        sink.ShowMessage(Info("Second planet must be beyond first planet", caption));
        return true;
    }
    return false;
}

bool UsesPluto(int first, int second) { return first == astro::kPluto || second == astro::kPluto; }

// A pair with Pluto while its files are unusable: said once, with the reason.
bool PlutoRefused(const TransitInputs& in, util::MessageSink& sink, int first, int second, const std::string& caption) {
    if (!UsesPluto(first, second) || in.pluto.available) return false;
    sink.ShowMessage(Info(astro::PlutoUnavailableText(in.pluto), caption, util::MessageIcon::Exclamation));
    return true;
}

// Stopped when the user stopped it or the output area filled up, Refused when any pair
// was refused, else Completed when some pair recorded a transit and NotFound when none did.
util::RunOutcome AllTransitsOutcome(const std::vector<TransitResult>& pairs, bool stopped) {
    if (stopped) return util::RunOutcome::Stopped;
    auto any = [&pairs](auto test) { return std::any_of(pairs.begin(), pairs.end(), test); };
    if (any([](const TransitResult& r) { return r.outcome == util::RunOutcome::Refused; }))
        return util::RunOutcome::Refused;
    return any([](const TransitResult& r) { return r.Recorded(); }) ? util::RunOutcome::Completed
                                                                    : util::RunOutcome::NotFound;
}

}  // namespace

std::string PairCaption(const TransitInputs& inputs) {
    return astro::PlanetName(FirstPlanet(inputs), inputs.heliocentric, false) + " and " +
           astro::PlanetName(SecondPlanet(inputs), inputs.heliocentric, false);
}

namespace {

template <typename ZoneDaysOn>
std::int32_t BackOff(int first, int second, std::int32_t startDay, double innerOrb, bool helio, ZoneDaysOn zoneDaysOn) {
    bool noData = false;
    int backOffAspect = 0;
    for (int a = 1; a <= astro::kAspectCount && backOffAspect == 0; ++a)
        if (DeviationAt(first, second, a, startDay - 0.5 - zoneDaysOn(startDay), helio, noData) < innerOrb)
            backOffAspect = a;
    if (backOffAspect == 0) return startDay;
    for (std::int32_t d = startDay - 1;; --d) {
        const double deviation = DeviationAt(first, second, backOffAspect, d - 0.5 - zoneDaysOn(d), helio, noData);
        // Any missing position ends the walk, not only the "before the data" sentinel,
        // so that a failing ephemeris cannot keep it going for ever.
        if (noData) return d + 1;
        if (!(deviation < innerOrb)) return d;
    }
}

}  // namespace

std::int32_t BackOffStartDay(int first, int second, std::int32_t startDay, double innerOrb, bool helio,
                             int zoneMinutes) {
    const double zone = zoneMinutes / 1440.0;
    return BackOff(first, second, startDay, innerOrb, helio, [zone](std::int32_t) { return zone; });
}

std::int32_t BackOffStartDay(const TransitRunParams& p, std::int32_t startDay, double innerOrb) {
    return BackOff(p.firstPlanet, p.secondPlanet, startDay, innerOrb, p.heliocentric,
                   [&p](std::int32_t day) { return p.ZoneDaysAt(day); });
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

namespace {

// The two-planet run; in the all-transits run `kept` holds the kept body's longitudes.
TransitResult RunPair(RunContext& c, bool allTransitsMode, KeptBodyPositions* kept) {
    TransitInputs& in = c.inputs;
    RefusalSink sink(c.host);
    const std::string caption = PairCaption(in);
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckDateFieldsPresent(c.dates, which, caption, sink)) return sink.Refused();
    for (int which = 0; which < 2; ++which)
        if (!calendar::ValidateDate(c.dates, which, caption, sink)) return sink.Refused();
    if (c.dates.DayNumbers[1] - 3 < c.dates.DayNumbers[0]) {
        sink.ShowMessage(Info("The start date must be at least 3 days prior to the end date.", caption));
        return sink.Refused();
    }
    if (!calendar::CheckTimeZoneChosen(in.timezonePosition, caption, sink)) return sink.Refused();
    int first = FirstPlanet(in);
    int second = SecondPlanet(in);
    if (PairRefused(sink, first, second, allTransitsMode, caption)) {
        // In the all-transits run the kept planet meets itself once: nothing to find there.
        if (!allTransitsMode) return sink.Refused();
        TransitResult nothing;
        nothing.outcome = util::RunOutcome::NotFound;
        return nothing;
    }
    if (!allTransitsMode && !calendar::CheckOrbsDecreasing(in.orbPositions[0], in.orbPositions[1], in.orbPositions[2], sink))
        return sink.Refused();
    TransitRunParams p = BaseParams(in, first, second);
    SetOrbs(p, in.orbPositions[0] + 1, in.orbPositions[1] + 1, in.orbPositions[2] + 1);
    if (PlutoRefused(in, sink, first, second, caption)) return sink.Refused();
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckPlanetDataCoverage(c.dates, which, first, second, in.heliocentric, sink))
            return sink.Refused();
    c.flags.headerPrinted = false;
    c.host.PrepareRunWindow();
    const std::int32_t typedStart = c.dates.DayNumbers[0];
    c.dates.DayNumbers[0] = BackOffStartDay(p, typedStart, p.orbRadians[kInnerOrb]);
    p.startMovedBack = c.dates.DayNumbers[0] != typedStart;
    p.startDay = c.dates.DayNumbers[0];
    p.endDay = c.dates.DayNumbers[1];
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) p.aspects[a] = in.aspectChecked[a - 1];
    p.kind = allTransitsMode ? RunKind::AllTransits : RunKind::TwoPlanet;
    return RunTransitScan(p, c.flags, c.host, kept);
}

}  // namespace

TransitResult StartTwoPlanetRun(RunContext& c, bool allTransitsMode) { return RunPair(c, allTransitsMode, nullptr); }

TransitResult StartAspectSearch(RunContext& c) {
    TransitInputs& in = c.inputs;
    RefusalSink sink(c.host);
    const int first = FirstPlanet(in);
    const int second = SecondPlanet(in);
    const int aspect = in.searchAspectPos + 1;
    if (!in.heliocentric) {
        const std::string refusal = GeocentricAspectRefusal(first, second, aspect);
        if (!refusal.empty()) {
            sink.ShowMessage(Info(refusal, "Search"));
            return sink.Refused();
        }
    }
    c.flags.headerPrinted = false;
    const std::string caption = PairCaption(in);
    for (int which = 0; which < 2; ++which)
        if (!calendar::ValidateDate(c.dates, which, caption, sink)) return sink.Refused();
    const int from = in.searchWhenPos == 1 ? 1 : 0;
    if (!calendar::CheckDateFieldsPresent(c.dates, from, caption, sink)) return sink.Refused();
    if (!calendar::CheckTimeZoneChosen(in.timezonePosition, "Search", sink)) return sink.Refused();
    if (first >= second) {
        sink.ShowMessage(Info("Second planet must be beyond first planet", "Search"));
        return sink.Refused();
    }
    TransitRunParams p = BaseParams(in, first, second);
    const int searchOrb = in.orbPositions[3] + 3;
    const auto orbs = DerivedSearchOrbs(searchOrb);
    SetOrbs(p, orbs[kOuterOrb], orbs[kMiddleOrb], orbs[kInnerOrb]);
    if (PlutoRefused(in, sink, first, second, "Search")) return sink.Refused();
    c.host.PrepareRunWindow();
    p.aspects[static_cast<std::size_t>(aspect)] = true;
    p.kind = RunKind::Search;
    p.startDay = c.dates.DayNumbers[static_cast<std::size_t>(from)];
    p.searchOrbText = std::to_string(searchOrb) + "°";
    p.searchAspectText = util::ToLower(astro::AspectName[static_cast<std::size_t>(aspect)]);
    TransitResult result = RunTransitScan(p, c.flags, c.host);
    if (!in.keepDates && result.Recorded()) {
        calendar::WriteDateFields(c.dates, 0, p.startDay);
        calendar::WriteDateFields(c.dates, 1, p.endDay);
    }
    return result;
}

AllTransitsResult StartAllTransitsRun(RunContext& c, int index) {
    TransitInputs& in = c.inputs;
    const int savedFirst = in.firstListPos;
    const int savedSecond = in.secondListPos;
    const bool keptPluto = index == 0 ? FirstPlanet(in) == astro::kPluto : SecondPlanet(in) == astro::kPluto;
    // Every pair would be refused for the same reason: say it once.
    AllTransitsResult all;
    RefusalSink sink(c.host);
    if (keptPluto && PlutoRefused(in, sink, astro::kPluto, astro::kPluto, PairCaption(in))) {
        all.refusal = sink.Last();
        return all;
    }
    const bool savedAppend = c.host.AppendChecked();
    if (savedAppend) {
        if (c.host.OutputLength() > 0) c.host.AppendOutput("\r\n");
    } else {
        c.host.ClearOutput();
    }
    c.host.SetAppendChecked(true);
    bool stopped = false;
    // One centricity and one zone for every pair: the kept body's longitudes serve them all.
    KeptBodyPositions kept(index == 0 ? FirstPlanet(in) : SecondPlanet(in));
    auto runPair = [&] {
        const bool itself = FirstPlanet(in) == SecondPlanet(in);
        TransitResult pair = RunPair(c, true, &kept);
        // A full output area ends the whole run after this pair, as a stop does.
        stopped = pair.outcome == util::RunOutcome::Stopped || pair.outputFull;
        if (!(itself && pair.outcome == util::RunOutcome::NotFound)) all.pairs.push_back(std::move(pair));
    };
    constexpr int kListEntries = 8;
    int& position = index == 0 ? in.secondListPos : in.firstListPos;
    for (int p = 0; p < kListEntries && !stopped; ++p) {
        position = p;
        runPair();
    }
    if (index == 1 && !stopped) {
        in.firstListPos = -1;  // no selection: Pluto
        runPair();
    }
    in.firstListPos = savedFirst;
    in.secondListPos = savedSecond;
    c.host.SetAppendChecked(savedAppend);
    FinishRun(c.host);
    if (!stopped) c.host.ShowDonePopUp();
    all.outcome = AllTransitsOutcome(all.pairs, stopped);
    return all;
}

}  // namespace kovo::transits
