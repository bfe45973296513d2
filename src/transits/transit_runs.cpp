#include "transits/transit_runs.h"

#include <algorithm>
#include <cmath>

#include "astro/catalogue.h"
#include "astro/geometry.h"
#include "astro/positions.h"
#include "transits/pair_positions.h"
#include "transits/transit_minima.h"
#include "util/text.h"

namespace kovo::transits {

namespace {

double DeviationOf(double a, double b, int aspect, bool& noData) {
    noData = !HasPosition(a) || !HasPosition(b);
    std::int16_t direction = 0;
    return std::fabs(astro::AngularSeparation(a, b, direction) - astro::AspectAngle[static_cast<std::size_t>(aspect)]);
}

double DeviationAt(int first, int second, int aspect, double instant, bool helio, bool& noData) {
    return DeviationOf(astro::PlanetLongitude(first, instant, helio), astro::PlanetLongitude(second, instant, helio),
                       aspect, noData);
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

TransitRunParams ParamsOf(astro::Body first, astro::Body second, bool heliocentric, const calendar::ReportZone& zone,
                          std::optional<std::size_t> outputLimit, ScanPath scanPath) {
    TransitRunParams p;
    p.firstPlanet = astro::PlanetIndex(first);
    p.secondPlanet = astro::PlanetIndex(second);
    p.heliocentric = heliocentric;
    p.zone = zone;
    p.firstName = astro::TransitBodyName(p.firstPlanet, heliocentric);
    p.secondName = astro::TransitBodyName(p.secondPlanet, heliocentric);
    p.outputLimit = outputLimit;
    p.scanPath = scanPath;
    return p;
}

TransitResult RunPair(const TransitRequest& r, RunKind kind, KeptBodyPositions* kept, util::RunHost& host,
                      bool namesReversed = false) {
    TransitRunParams p = ParamsOf(r.first, r.second, r.heliocentric, r.zone, r.outputLimit, r.scanPath);
    if (r.fixedSecond) {
        p.secondPlanet = kFixedPoint;
        p.fixedSecondRadians = r.fixedSecond->degrees / 360.0 * astro::FullCircle;
        p.secondName = r.fixedSecond->name;
    }
    if (namesReversed) std::swap(p.firstName, p.secondName);
    SetOrbs(p, r.orbDegrees[kOuterOrb], r.orbDegrees[kMiddleOrb], r.orbDegrees[kInnerOrb]);
    p.startDay = BackOffStartDay(p, r.firstDay, p.orbRadians[kInnerOrb]);
    p.startMovedBack = p.startDay != r.firstDay;
    p.endDay = r.lastDay;
    p.aspects = r.aspects;
    p.aspects[0] = false;
    p.kind = kind;
    return RunTransitScan(std::move(p), host, kept);
}

TransitResult RefusedPass(const util::Refusal& refusal, util::MessageSink& sink) {
    sink.ShowMessage(refusal.message);
    TransitResult result;
    result.outcome = util::RunOutcome::Refused;
    result.refusal = refusal.message.text;
    return result;
}

}  // namespace

std::string PairName(astro::Body first, astro::Body second, bool heliocentric) {
    return astro::TransitBodyName(astro::PlanetIndex(first), heliocentric) + " and " +
           astro::TransitBodyName(astro::PlanetIndex(second), heliocentric);
}

namespace {

// deviationAt(aspect, instant, noData) gives the pair's deviation from an aspect at a UT instant.
template <typename DeviationAtFn, typename ZoneDaysOn>
std::int32_t BackOff(const DeviationAtFn& deviationAt, std::int32_t startDay, double innerOrb, ZoneDaysOn zoneDaysOn) {
    bool noData = false;
    int backOffAspect = 0;
    for (int a = 1; a <= astro::kAspectCount && backOffAspect == 0; ++a)
        if (deviationAt(a, startDay - 0.5 - zoneDaysOn(startDay), noData) < innerOrb) backOffAspect = a;
    if (backOffAspect == 0) return startDay;
    for (std::int32_t d = startDay - 1;; --d) {
        const double deviation = deviationAt(backOffAspect, d - 0.5 - zoneDaysOn(d), noData);
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
    const auto deviationAt = [&](int aspect, double instant, bool& noData) {
        return DeviationAt(first, second, aspect, instant, helio, noData);
    };
    return BackOff(deviationAt, startDay, innerOrb, [zone](std::int32_t) { return zone; });
}

std::int32_t BackOffStartDay(const TransitRunParams& p, std::int32_t startDay, double innerOrb) {
    const PairPositions positions(p, nullptr);
    const auto deviationAt = [&](int aspect, double instant, bool& noData) {
        if (!p.ToFixedPoint()) return DeviationAt(p.firstPlanet, p.secondPlanet, aspect, instant, p.heliocentric, noData);
        const auto longitudes = positions.At(instant);
        return DeviationOf(longitudes[0], longitudes[1], aspect, noData);
    };
    return BackOff(deviationAt, startDay, innerOrb, [&p](std::int32_t day) { return p.ZoneDaysAt(day); });
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

TransitResult RunTwoPlanet(const TransitRequest& request, util::RunHost& host) {
    return RunPair(request, RunKind::TwoPlanet, nullptr, host);
}

TransitResult RunSearch(const SearchRequest& r, util::RunHost& host) {
    TransitRunParams p = ParamsOf(r.first, r.second, r.heliocentric, r.zone, r.outputLimit, r.scanPath);
    const auto orbs = DerivedSearchOrbs(r.orbDegrees);
    SetOrbs(p, orbs[kOuterOrb], orbs[kMiddleOrb], orbs[kInnerOrb]);
    p.aspects[static_cast<std::size_t>(r.aspect)] = true;
    p.kind = RunKind::Search;
    p.startDay = r.fromDay;
    p.searchOrbText = std::to_string(r.orbDegrees) + "°";
    p.searchAspectText = util::ToLower(astro::AspectName[static_cast<std::size_t>(r.aspect)]);
    return RunTransitScan(std::move(p), host);
}

AllTransitsResult RunAllTransits(const AllTransitsRequest& request, util::RunHost& host) {
    AllTransitsResult all;
    bool stopped = false;
    // One centricity and one zone for every pair: the kept body's longitudes serve them all.
    KeptBodyPositions kept(astro::PlanetIndex(request.kept));
    for (const AllTransitsPass& pass : request.passes) {
        if (stopped) break;
        if (pass.refusal) {
            all.pairs.push_back(RefusedPass(*pass.refusal, host));
        } else if (pass.request) {
            const bool keptIsFirstOfPair = pass.request->first == request.kept;
            TransitResult pair = RunPair(*pass.request, RunKind::AllTransits, &kept, host,
                                         keptIsFirstOfPair != request.keptFirst);
            // A full output area ends the whole run after this pair, as a stop does.
            stopped = pair.outcome == util::RunOutcome::Stopped || pair.outputFull;
            all.pairs.push_back(std::move(pair));
        }
    }
    all.outcome = AllTransitsOutcome(all.pairs, stopped);
    return all;
}

}  // namespace kovo::transits
