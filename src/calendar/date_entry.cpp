#include "calendar/date_entry.h"

#include <cstddef>

#include "astro/catalogue.h"
#include "astro/pluto.h"
#include "astro/positions.h"
#include "util/text.h"

namespace kovo::calendar {

namespace {

std::size_t Slot(int index) { return static_cast<std::size_t>(index); }

void Show(util::MessageSink& sink, std::string text, std::string title, util::MessageIcon icon) {
    util::Message message;
    message.text = std::move(text);
    message.title = std::move(title);
    message.icon = icon;
    sink.ShowMessage(message);
}

void FillRecord(DateRecord& record, const DateEntryModel& model, int index) {
    record.year = FieldValue(model.txbYear[Slot(index)]);
    record.month = FieldValue(model.txbMonth[Slot(index)]);
    record.day = FieldValue(model.txbDay[Slot(index)]);
}

// Only called for a record the calendar found valid, so the month indexes the table.
std::string DateInWords(const DateRecord& record) {
    return MonthName[static_cast<std::size_t>(record.month)] + " " + std::to_string(record.day) + ", " +
           std::to_string(record.year) + " CE";
}

const char* StartOrEnd(int index) { return index == 0 ? "start" : "end"; }

}  // namespace

std::int32_t FieldValue(std::string_view text) { return util::ClampedWholeNumber(text); }

void YearLostFocus(DateEntryModel& model, int index, util::MessageSink& sink) {
    std::string& year = model.txbYear[Slot(index)];
    year = util::StripLeadingChars(year, "0");
    if (!year.empty() && year.front() == '-') {
        Show(sink, "Year number must be positive.", "Invalid year", util::MessageIcon::Information);
        return;
    }
    RefreshDateLabel(model, index);
}

void WriteDateFields(DateEntryModel& model, int index, std::int32_t day) {
    DateRecord r;
    r.calendar = kGregorian;
    r.dayNumber = day;
    DateFromDayNumber(r);
    const auto i = static_cast<std::size_t>(index);
    model.txbYear[i] = std::to_string(r.year);
    model.txbMonth[i] = std::to_string(r.month);
    model.txbDay[i] = std::to_string(r.day);
    RefreshDateLabel(model, index);
}

void RefreshDateLabel(DateEntryModel& model, int index) {
    const std::size_t i = Slot(index);
    for (std::string* field : {&model.txbYear[i], &model.txbMonth[i], &model.txbDay[i]})
        *field = util::CleanIntegerText(*field, false, false);
    if (model.txbYear[i].empty() || model.txbMonth[i].empty() || model.txbDay[i].empty()) {
        model.lblDate[i].clear();
        return;
    }
    FillRecord(model.record, model, index);
    model.DayNumbers[i] = DayNumberFromDate(model.record);
    if (model.record.valid == 0) {
        model.lblDate[i] = "invalid date";
        return;
    }
    model.lblDate[i] = DateInWords(model.record);
    RefreshPeriodCaption(model);
}

void RefreshPeriodCaption(DateEntryModel& model) {
    std::string dates[2];
    for (int index = 0; index < 2; ++index) {
        FillRecord(model.record, model, index);
        dates[index] = FormatDateNumeric(model.record, "-", "");
    }
    model.lblConstructTransitTables =
        "Construct transit tables for the period " + dates[0] + " to " + dates[1] + " for:";
}

bool CheckDateFieldsPresent(DateEntryModel& model, int which, const std::string& runCaption,
                            util::MessageSink& sink) {
    const std::size_t i = Slot(which);
    const std::pair<std::string*, const char*> fields[] = {
        {&model.txbYear[i], "year"}, {&model.txbMonth[i], "month"}, {&model.txbDay[i], "day"}};
    for (const auto& [field, word] : fields) {
        *field = util::CleanIntegerText(*field, false, false);
        if (field->empty()) {
            Show(sink, std::string("Please specify ") + StartOrEnd(which) + " " + word + ".", runCaption,
                 util::MessageIcon::None);
            return false;
        }
    }
    return true;
}

bool ValidateDate(DateEntryModel& model, int index, const std::string& runCaption, util::MessageSink& sink) {
    const std::size_t i = Slot(index);
    model.lblDate[i].clear();
    DateRecord record;
    record.calendar = kGregorian;
    FillRecord(record, model, index);
    model.DayNumbers[i] = DayNumberFromDate(record);
    if (record.valid == 0) {
        model.lblDate[i] = "invalid date";
        Show(sink, std::string("The ") + StartOrEnd(index) + " date is invalid.", "Invalid input",
             util::MessageIcon::Information);
        return false;
    }
    model.lblDate[i] = DateInWords(record);
    return CheckDateLimits(model, index, runCaption, sink);
}

bool CheckDateLimits(const DateEntryModel& model, int index, const std::string& runCaption,
                     util::MessageSink& sink) {
    const std::int32_t day = model.DayNumbers[Slot(index)];
    if (day < kFirstAllowedDay) {
        Show(sink, std::string(index == 0 ? "Start" : "End") + " date is too early", runCaption,
             util::MessageIcon::Information);
        return false;
    }
    if (day > kLastAllowedDay) {
        // The same text for either date.
        Show(sink, "End date is too late", runCaption, util::MessageIcon::Information);
        return false;
    }
    return true;
}

bool CheckPlanetDataCoverage(const DateEntryModel& model, int index, int firstPlanet, int secondPlanet,
                             bool heliocentric, util::MessageSink& sink) {
    const double instant = model.DayNumbers[Slot(index)] - 0.5;
    const int planets[2] = {firstPlanet, secondPlanet};
    const double longitudes[2] = {astro::PlanetLongitude(firstPlanet, instant, heliocentric),
                                  astro::PlanetLongitude(secondPlanet, instant, heliocentric)};
    const std::string what = index == 0 ? "Start date" : "End date";
    // Every "too early" is told before any "too late".
    for (const auto& [sentinel, phrase] : {std::pair{astro::kBeforeData, " is too early for "},
                                           std::pair{astro::kAfterData, " is too late for "}}) {
        for (int k = 0; k < 2; ++k) {
            if (longitudes[k] != sentinel) continue;
            Show(sink, what + phrase + astro::TransitBodyName(planets[k], heliocentric) + ".",
                 util::kProgramTitle, util::MessageIcon::None);
            return false;
        }
    }
    return true;
}

bool CheckOrbsDecreasing(int outerPos, int middlePos, int innerPos, util::MessageSink& sink) {
    if (middlePos >= outerPos || innerPos >= middlePos) {
        Show(sink, "Orbs must be strictly decreasing.", "Orb values", util::MessageIcon::Information);
        return false;
    }
    return true;
}

}  // namespace kovo::calendar
