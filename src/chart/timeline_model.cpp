#include "chart/timeline_model.h"

#include <algorithm>
#include <variant>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "chart/cycle_timeline.h"
#include "chart/local_time.h"
#include "transits/transit_report.h"

namespace kovo::chart {

namespace {

using transits::OrbDate;
using transits::OrbSpan;
using transits::TransitRunParams;

constexpr double kSearchMarginDays = 30;

double DayStartUt(const TransitRunParams& params, std::int32_t day) { return UtOfLocal(params, day - 0.5); }
double DayEndUt(const TransitRunParams& params, std::int32_t day) { return UtOfLocal(params, day + 0.5); }

// A span from an orb's dates; a missing date comes from the wider span around it.
TimeSpan SpanWithin(const OrbSpan& span, const TimeSpan& wider, const TransitRunParams& params) {
    const auto entry = transits::OrbDay(span.entry);
    const auto exit = transits::OrbDay(span.exit);
    TimeSpan out;
    out.startUt = entry ? DayStartUt(params, *entry) : wider.startUt;
    out.cutAtStart = !entry && wider.cutAtStart;
    out.endUt = exit ? DayEndUt(params, *exit) : wider.endUt;
    out.cutAtEnd = !exit && wider.cutAtEnd;
    return out;
}

// The wider span a narrower one lies in: the last of `candidates` that begins by `at`.
const TimeSpan& Container(const std::vector<TimeSpan>& candidates, const TimeSpan& fallback, double at) {
    const TimeSpan* found = &fallback;
    for (const TimeSpan& c : candidates)
        if (c.startUt <= at && at <= c.endUt) found = &c;
    return *found;
}

bool Marked(const OrbSpan& span) {
    return (span.entry && span.entry->retrograde) || (span.exit && span.exit->retrograde);
}

bool HasRetrogradeMark(const transits::TransitPeriod& period) {
    if (Marked(period.outer)) return true;
    return std::any_of(period.passes.begin(), period.passes.end(), [](const transits::TransitPass& pass) {
        return Marked(pass.middle) || Marked(pass.inner) || (pass.minimum && pass.minimum->retrograde);
    });
}

std::string OrbsText(const std::array<int, 3>& orbs) {
    return "Orbs " + std::to_string(orbs[0]) + "\u00b0, " + std::to_string(orbs[1]) + "\u00b0, " +
           std::to_string(orbs[2]) + "\u00b0";
}

std::string PairLabel(const TransitRunParams& params) { return params.firstName + "\u2013" + params.secondName; }

std::string RetrogradeBody(const TransitRunParams& params) {
    // The same rule as the report's "'r' = ... retrograde" note.
    if (params.heliocentric || params.AllTransitsMode() || params.firstName == "Sun") return {};
    return params.firstName;
}

std::string OutcomeNote(util::RunOutcome outcome) {
    return outcome == util::RunOutcome::Stopped ? " \u00b7 stopped before the end" : "";
}

std::string LaneLabel(const TransitRunParams& params, int aspect, bool withPairLabel) {
    const std::string& name = astro::AspectName[static_cast<std::size_t>(aspect)];
    return withPairLabel ? PairLabel(params) + " " + name : name;
}

void AddLanes(TimelineModel& model, int pair, bool withPairLabel) {
    const TransitRunParams& params = model.pairs[static_cast<std::size_t>(pair)];
    for (int a = 1; a <= astro::kAspectCount; ++a)
        if (params.aspects[static_cast<std::size_t>(a)])
            model.lanes.push_back(
                {.pair = pair, .aspect = a, .label = LaneLabel(params, a, withPairLabel), .periods = {}});
}

Lane& LaneFor(TimelineModel& model, int pair, int aspect, bool withPairLabel) {
    for (Lane& lane : model.lanes)
        if (lane.pair == pair && lane.aspect == aspect) return lane;
    // Not selected yet recorded (a hand-off into a neighbour): give it a lane of its own.
    const TransitRunParams& params = model.pairs[static_cast<std::size_t>(pair)];
    model.lanes.push_back(
        {.pair = pair, .aspect = aspect, .label = LaneLabel(params, aspect, withPairLabel), .periods = {}});
    return model.lanes.back();
}

// Adds a scanned pair's lanes and periods; returns the end of its last period.
double AddPair(TimelineModel& model, const transits::TransitResult& result, bool withPairLabel) {
    const int pair = static_cast<int>(model.pairs.size());
    model.pairs.push_back(result.inputs);
    const TransitRunParams& params = result.inputs;
    AddLanes(model, pair, withPairLabel);
    const double start = DayStartUt(params, params.startDay);
    const double end = DayEndUt(params, params.endDay);
    double latest = start;
    for (std::size_t i = 0; i < result.periods.size(); ++i) {
        ChartPeriod period = BuildChartPeriod(result.periods[i], params, start, end);
        period.pair = pair;
        period.period = static_cast<int>(i);
        latest = std::max(latest, period.levels[transits::kOuterOrb].front().endUt);
        LaneFor(model, pair, period.aspect, withPairLabel).periods.push_back(std::move(period));
    }
    model.rangeStartUt = model.pairs.size() == 1 ? start : std::min(model.rangeStartUt, start);
    model.rangeEndUt = model.pairs.size() == 1 ? end : std::max(model.rangeEndUt, end);
    model.rangeEndUt = std::max(model.rangeEndUt, latest);
    return latest;
}

void SetEmptyRange(TimelineModel& model) {
    // A refused run has no range: show the current century's first year rather than nothing.
    model.rangeStartUt = 2451544.5;
    model.rangeEndUt = model.rangeStartUt + 366;
}

}  // namespace

std::string KeptBodyName(const std::vector<TransitRunParams>& pairs) {
    if (pairs.empty()) return {};
    const TransitRunParams& first = pairs.front();
    const bool sameFirst = std::all_of(pairs.begin(), pairs.end(),
                                       [&first](const TransitRunParams& p) { return p.firstName == first.firstName; });
    return sameFirst && pairs.size() > 1 ? first.firstName : first.secondName;
}

bool TimelineModel::HasPeriods() const { return PeriodCount() > 0; }

std::size_t TimelineModel::PeriodCount() const {
    std::size_t count = 0;
    for (const Lane& lane : lanes) count += lane.periods.size();
    return count;
}

const TransitRunParams& TimelineModel::Params(int pair) const {
    if (pair < 0 || static_cast<std::size_t>(pair) >= pairs.size()) return pairs.empty() ? zoneRules : pairs.front();
    return pairs[static_cast<std::size_t>(pair)];
}

ChartPeriod BuildChartPeriod(const transits::TransitPeriod& period, const TransitRunParams& params,
                             double rangeStartUt, double rangeEndUt) {
    ChartPeriod out;
    out.aspect = period.aspect;
    const TimeSpan range{.startUt = rangeStartUt, .endUt = rangeEndUt, .cutAtStart = true, .cutAtEnd = true};
    const TimeSpan outer = SpanWithin(period.outer, range, params);
    out.levels[transits::kOuterOrb].push_back(outer);
    for (int level = transits::kMiddleOrb; level <= transits::kInnerOrb; ++level) {
        const auto& wider = out.levels[static_cast<std::size_t>(level - 1)];
        auto& spans = out.levels[static_cast<std::size_t>(level)];
        for (const transits::TransitPass& pass : period.passes) {
            const OrbSpan& span = level == transits::kMiddleOrb ? pass.middle : pass.inner;
            if (!span.Reached()) continue;
            // The known date places the span inside its wider one.
            const auto entry = transits::OrbDay(span.entry);
            const double known = entry ? DayStartUt(params, *entry) : DayEndUt(params, *transits::OrbDay(span.exit)) - 1e-6;
            spans.push_back(SpanWithin(span, Container(wider, outer, known), params));
        }
    }
    for (const transits::TransitPass& pass : period.passes)
        if (pass.minimum && pass.minimum->exact)
            out.exact.push_back({.instantUt = pass.minimum->instantUt,
                                 .deviation = pass.minimum->deviation,
                                 .when = FormatExactMinute(params, pass.minimum->instantUt)});
    out.retrograde = HasRetrogradeMark(period);
    return out;
}

TimelineModel BuildTimeline(const transits::TransitResult& result) {
    TimelineModel model;
    if (result.outcome == util::RunOutcome::Refused) {
        model.emptyText = result.refusal.empty() ? "The run was refused" : result.refusal;
        SetEmptyRange(model);
        return model;
    }
    const TransitRunParams& params = result.inputs;
    model.title = transits::BuildHeading(params);
    model.orbDegrees = params.orbDegrees;
    model.retrogradeBody = RetrogradeBody(params);
    const double latest = AddPair(model, result, false);
    if (params.SearchMode() && result.Recorded())
        model.rangeEndUt = std::min(model.rangeEndUt,
                                    latest + std::max(kSearchMarginDays, (latest - model.rangeStartUt) * 0.2));
    model.subtitle = OrbsText(params.orbDegrees) + " \u00b7 local times in " +
                     ZoneTitle(params, model.rangeStartUt, model.rangeEndUt) + OutcomeNote(result.outcome);
    if (!result.Recorded()) model.emptyText = "Not found";
    return model;
}

TimelineModel BuildTimeline(const transits::AllTransitsResult& result) {
    TimelineModel model;
    for (const transits::TransitResult& pair : result.pairs)
        if (pair.outcome != util::RunOutcome::Refused) AddPair(model, pair, true);
    if (model.pairs.empty()) {
        model.emptyText = result.refusal.empty() ? "The run was refused" : result.refusal;
        SetEmptyRange(model);
        return model;
    }
    const TransitRunParams& first = model.pairs.front();
    const std::string kept = KeptBodyName(model.pairs);
    model.title = std::string(first.heliocentric ? "Heliocentric" : "Geocentric") + " transits of " + kept +
                  " and the other planets from " + calendar::FormatDayNumberLong(first.startDay) + ", to " +
                  calendar::FormatDayNumberLong(first.endDay);
    model.orbDegrees = first.orbDegrees;
    model.subtitle = OrbsText(first.orbDegrees) + " \u00b7 local times in " +
                     ZoneTitle(first, model.rangeStartUt, model.rangeEndUt) + OutcomeNote(result.outcome);
    if (!model.HasPeriods()) model.emptyText = "Not found";
    return model;
}

std::optional<TimelineModel> TimelineOf(const exporting::RunRecords& records, const TimelineOptions& options) {
    std::optional<TimelineModel> model;
    if (const auto* one = std::get_if<transits::TransitResult>(&records)) model = BuildTimeline(*one);
    if (const auto* all = std::get_if<transits::AllTransitsResult>(&records)) model = BuildTimeline(*all);
    if (model && options.cycles) AddCycleLanes(*model);
    if (model && options.moon) AddLunarLane(*model);
    return model;
}

bool HasScannedTransits(const exporting::RunRecords& records) {
    const auto scanned = [](const transits::TransitResult& r) { return r.outcome != util::RunOutcome::Refused; };
    if (const auto* one = std::get_if<transits::TransitResult>(&records)) return scanned(*one);
    if (const auto* all = std::get_if<transits::AllTransitsResult>(&records))
        return std::any_of(all->pairs.begin(), all->pairs.end(), scanned);
    return false;
}

}  // namespace kovo::chart
