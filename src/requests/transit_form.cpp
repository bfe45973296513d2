#include "requests/transit_form.h"

#include <algorithm>

#include "astro/catalogue.h"
#include "calendar/time_zones.h"
#include "requests/capturing_sink.h"
#include "transits/transit_runs.h"

namespace kovo::requests {

namespace {

using util::InputField;

int FirstPlanet(const TransitForm& f) { return f.firstListPos < 0 ? astro::kPluto : f.firstListPos + 1; }
int SecondPlanet(const TransitForm& f) { return f.secondListPos + 2; }

util::Refusal Refuse(InputField field, std::string text, std::string title,
                     util::MessageIcon icon = util::MessageIcon::Information) {
    return {.field = field, .message = {.text = std::move(text), .title = std::move(title), .icon = icon}};
}

calendar::ReportZone ZoneOf(const TransitForm& f) {
    if (f.namedZone) return calendar::ReportZone::Named(*f.namedZone);
    return calendar::ReportZone::Fixed(calendar::TimeZoneOffsetMinutes(f.timezonePosition), f.timezoneText);
}

bool UsesPluto(int first, int second) { return first == astro::kPluto || second == astro::kPluto; }

// The Moon is seen from the Earth only; the main window's lists never offer it.
std::optional<util::Refusal> MoonRefusal(const TransitForm& f, int second, const std::string& title) {
    if (second != astro::kMoon || !f.heliocentric) return std::nullopt;
    return Refuse(InputField::Bodies, "The Moon is seen from the Earth: heliocentrically there is no Moon.", title,
                  util::MessageIcon::Exclamation);
}

std::optional<util::Refusal> PlutoRefusal(const TransitForm& f, int first, int second, const std::string& title) {
    if (!UsesPluto(first, second) || f.pluto.available) return std::nullopt;
    return Refuse(InputField::Bodies, astro::PlutoUnavailableText(f.pluto), title, util::MessageIcon::Exclamation);
}

// What both dates must pass: present, valid, within the limits, 3 days apart, and a zone.
std::optional<util::Refusal> DateAndZoneRefusal(TransitForm& f, calendar::DateEntryModel& dates,
                                                const std::string& caption) {
    CapturingSink sink;
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckDateFieldsPresent(dates, which, caption, sink))
            return sink.Refusal(which == 0 ? InputField::StartDate : InputField::EndDate);
    for (int which = 0; which < 2; ++which)
        if (!calendar::ValidateDate(dates, which, caption, sink))
            return sink.Refusal(which == 0 ? InputField::StartDate : InputField::EndDate);
    if (dates.DayNumbers[1] - 3 < dates.DayNumbers[0])
        return Refuse(InputField::EndDate, "The start date must be at least 3 days prior to the end date.", caption);
    if (!calendar::CheckTimeZoneChosen(f.timezonePosition, caption, sink)) return sink.Refusal(InputField::TimeZone);
    return std::nullopt;
}

// A pass of the all-transits run, or the two-planet run when allTransits is false: the
// checks of RunPair in their order. Neither request nor refusal: the body met itself.
transits::AllTransitsPass PassOf(TransitForm& f, calendar::DateEntryModel& dates, bool allTransits) {
    const std::string caption = PairCaption(f);
    if (auto refusal = DateAndZoneRefusal(f, dates, caption)) return {.refusal = std::move(refusal)};
    int first = FirstPlanet(f);
    // A fixed point passes the checks of the pair as the moving body with itself.
    const bool toPoint = f.fixedSecond.has_value() && !allTransits;
    int second = toPoint ? first : SecondPlanet(f);
    if (first == second && !toPoint) {
        if (allTransits) return {};
        return {.refusal = Refuse(InputField::Bodies, "Transit of a planet to itself is not possible.", caption,
                                  util::MessageIcon::Exclamation)};
    }
    if (second < first) {
        if (!allTransits) return {.refusal = Refuse(InputField::Bodies, "Second planet must be beyond first planet", caption)};
        std::swap(first, second);
    }
    CapturingSink sink;
    const auto& orbs = f.orbPositions;
    if (!allTransits && !calendar::CheckOrbsDecreasing(orbs[0], orbs[1], orbs[2], sink))
        return {.refusal = sink.Refusal(InputField::Orbs)};
    if (auto refusal = PlutoRefusal(f, first, second, caption)) return {.refusal = std::move(refusal)};
    if (auto refusal = MoonRefusal(f, second, caption)) return {.refusal = std::move(refusal)};
    for (int which = 0; which < 2; ++which)
        if (!calendar::CheckPlanetDataCoverage(dates, which, first, second, f.heliocentric, sink))
            return {.refusal = sink.Refusal(which == 0 ? InputField::StartDate : InputField::EndDate)};
    transits::TransitRequest r;
    r.first = astro::BodyOfIndex(first);
    r.second = astro::BodyOfIndex(second);
    if (toPoint) r.fixedSecond = f.fixedSecond;
    r.heliocentric = f.heliocentric;
    r.firstDay = dates.DayNumbers[0];
    r.lastDay = dates.DayNumbers[1];
    for (std::size_t a = 1; a <= astro::kAspectCount; ++a) r.aspects[a] = f.aspectChecked[a - 1];
    r.orbDegrees = {orbs[0] + 1, orbs[1] + 1, orbs[2] + 1};
    r.zone = ZoneOf(f);
    r.outputLimit = f.outputLimit;
    r.scanPath = f.scanPath;
    return {.request = std::move(r)};
}

}  // namespace

std::string PairCaption(const TransitForm& form) {
    return astro::TransitBodyName(FirstPlanet(form), form.heliocentric) + " and " +
           (form.fixedSecond ? form.fixedSecond->name : astro::TransitBodyName(SecondPlanet(form), form.heliocentric));
}

std::variant<transits::TransitRequest, util::Refusal> TwoPlanetRequest(TransitForm& form,
                                                                        calendar::DateEntryModel& dates) {
    transits::AllTransitsPass pass = PassOf(form, dates, false);
    if (pass.refusal) return std::move(*pass.refusal);
    return std::move(*pass.request);
}

std::variant<transits::SearchRequest, util::Refusal> SearchRequestOf(TransitForm& f, calendar::DateEntryModel& dates) {
    const int first = FirstPlanet(f);
    const int second = SecondPlanet(f);
    const int aspect = f.searchAspectPos + 1;
    if (!f.heliocentric) {
        std::string refusal = transits::GeocentricAspectRefusal(first, second, aspect);
        if (!refusal.empty()) return Refuse(InputField::Aspects, std::move(refusal), "Search");
    }
    const std::string caption = PairCaption(f);
    CapturingSink sink;
    for (int which = 0; which < 2; ++which)
        if (!calendar::ValidateDate(dates, which, caption, sink))
            return sink.Refusal(which == 0 ? InputField::StartDate : InputField::EndDate);
    const int from = f.searchWhenPos == 1 ? 1 : 0;
    if (!calendar::CheckDateFieldsPresent(dates, from, caption, sink))
        return sink.Refusal(from == 0 ? InputField::StartDate : InputField::EndDate);
    if (!calendar::CheckTimeZoneChosen(f.timezonePosition, "Search", sink)) return sink.Refusal(InputField::TimeZone);
    if (first >= second) return Refuse(InputField::Bodies, "Second planet must be beyond first planet", "Search");
    if (auto refusal = PlutoRefusal(f, first, second, "Search")) return std::move(*refusal);
    if (auto refusal = MoonRefusal(f, second, "Search")) return std::move(*refusal);
    transits::SearchRequest r;
    r.first = astro::BodyOfIndex(first);
    r.second = astro::BodyOfIndex(second);
    r.heliocentric = f.heliocentric;
    r.fromDay = dates.DayNumbers[static_cast<std::size_t>(from)];
    r.aspect = aspect;
    r.orbDegrees = f.orbPositions[3] + 3;
    r.zone = ZoneOf(f);
    r.outputLimit = f.outputLimit;
    r.scanPath = f.scanPath;
    return r;
}

std::variant<transits::AllTransitsRequest, util::Refusal> AllTransitsRequestOf(TransitForm& f,
                                                                                calendar::DateEntryModel& dates,
                                                                                int index) {
    const int keptPlanet = index == 0 ? FirstPlanet(f) : SecondPlanet(f);
    // Every pair would be refused for the same reason: say it once.
    if (keptPlanet == astro::kPluto)
        if (auto refusal = PlutoRefusal(f, astro::kPluto, astro::kPluto, PairCaption(f))) return std::move(*refusal);
    transits::AllTransitsRequest request;
    request.kept = astro::BodyOfIndex(keptPlanet);
    request.keptFirst = index == 0;
    TransitForm pass = f;
    int& position = index == 0 ? pass.secondListPos : pass.firstListPos;
    constexpr int kListEntries = 8;
    for (int p = 0; p < kListEntries; ++p) {
        position = p;
        request.passes.push_back(PassOf(pass, dates, true));
        // A zone the checks set to GMT stays so for the passes after and for the window.
        f.timezonePosition = pass.timezonePosition;
    }
    if (index == 1) {
        pass.firstListPos = -1;  // no selection: Pluto
        request.passes.push_back(PassOf(pass, dates, true));
    }
    return request;
}

transits::TransitResult RefusedRun(const util::Refusal& refusal) {
    transits::TransitResult result;
    result.outcome = util::RunOutcome::Refused;
    result.refusal = refusal.message.text;
    return result;
}

transits::TransitResult RunTwoPlanetForm(TransitForm& form, calendar::DateEntryModel& dates, util::RunHost& host) {
    auto request = TwoPlanetRequest(form, dates);
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        host.ShowMessage(refusal->message);
        return RefusedRun(*refusal);
    }
    return transits::RunTwoPlanet(std::get<transits::TransitRequest>(request), host);
}

transits::TransitResult RunSearchForm(TransitForm& form, calendar::DateEntryModel& dates, util::RunHost& host) {
    auto request = SearchRequestOf(form, dates);
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        host.ShowMessage(refusal->message);
        return RefusedRun(*refusal);
    }
    return transits::RunSearch(std::get<transits::SearchRequest>(request), host);
}

transits::AllTransitsResult RunAllTransitsForm(TransitForm& form, calendar::DateEntryModel& dates, int index,
                                               util::RunHost& host) {
    auto request = AllTransitsRequestOf(form, dates, index);
    if (const auto* refusal = std::get_if<util::Refusal>(&request)) {
        host.ShowMessage(refusal->message);
        transits::AllTransitsResult refused;
        refused.refusal = refusal->message.text;
        return refused;
    }
    return transits::RunAllTransits(std::get<transits::AllTransitsRequest>(request), host);
}

}  // namespace kovo::requests
