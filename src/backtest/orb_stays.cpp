#include "backtest/orb_stays.h"

namespace kovo::backtest {

namespace {

using transits::OrbSpan;
using transits::TransitPeriod;

// A stay from its span, the missing dates filled from the wider stay around it.
OrbStay StayFrom(const OrbSpan& span, const OrbStay& wider, int aspect, int level) {
    OrbStay stay{.aspect = aspect, .level = level, .entryDay = std::nullopt, .exitDay = std::nullopt};
    stay.entryDay = transits::OrbDay(span.entry);
    if (!stay.entryDay) stay.entryDay = wider.entryDay;
    stay.exitDay = transits::OrbDay(span.exit);
    if (!stay.exitDay) stay.exitDay = wider.exitDay;
    return stay;
}

void AddPeriodStays(const TransitPeriod& period, std::vector<OrbStay>& stays) {
    const OrbStay outer = StayFrom(period.outer, OrbStay{}, period.aspect, transits::kOuterOrb);
    stays.push_back(outer);
    std::vector<OrbStay> middles;
    std::vector<OrbStay> inners;
    std::optional<OrbStay> middleSoFar;  // the middle stay on the latest line so far
    for (const transits::TransitPass& pass : period.passes) {
        if (pass.middle.Reached()) {
            middleSoFar = StayFrom(pass.middle, outer, period.aspect, transits::kMiddleOrb);
            middles.push_back(*middleSoFar);
        }
        if (pass.inner.Reached())
            inners.push_back(StayFrom(pass.inner, middleSoFar.value_or(outer), period.aspect, transits::kInnerOrb));
    }
    stays.insert(stays.end(), middles.begin(), middles.end());
    stays.insert(stays.end(), inners.begin(), inners.end());
}

}  // namespace

std::vector<OrbStay> OrbStaysOf(const transits::TransitResult& result) {
    std::vector<OrbStay> stays;
    for (const TransitPeriod& period : result.periods) AddPeriodStays(period, stays);
    return stays;
}

std::vector<ExactEvent> ExactEventsOf(const transits::TransitResult& result) {
    std::vector<ExactEvent> events;
    for (const TransitPeriod& period : result.periods)
        for (const transits::TransitPass& pass : period.passes)
            if (pass.minimum && pass.minimum->exact)
                events.push_back({.aspect = period.aspect, .instantUt = pass.minimum->instantUt, .day = pass.minimum->day});
    return events;
}

}  // namespace kovo::backtest
