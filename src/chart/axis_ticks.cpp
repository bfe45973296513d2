#include "chart/axis_ticks.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "calendar/calendar_services.h"
#include "chart/local_time.h"

namespace kovo::chart {

namespace {

enum class Unit { Day, Month, Year };

struct Step {
    Unit unit;
    int count;
    double days;  // the step's least length
};

constexpr std::array<Step, 14> kSteps{{{Unit::Day, 1, 1},       {Unit::Day, 2, 2},       {Unit::Day, 7, 7},
                                       {Unit::Day, 14, 14},     {Unit::Month, 1, 28},
                                       {Unit::Month, 3, 89},    {Unit::Month, 6, 181},   {Unit::Year, 1, 365},
                                       {Unit::Year, 2, 730},    {Unit::Year, 5, 1826},   {Unit::Year, 10, 3652},
                                       {Unit::Year, 20, 7305},  {Unit::Year, 50, 18262}, {Unit::Year, 100, 36524}}};

calendar::DateRecord DateOf(std::int32_t day) {
    calendar::DateRecord r;
    r.calendar = calendar::kGregorian;
    r.dayNumber = day;
    calendar::DateFromDayNumber(r);
    return r;
}

std::int32_t DayOf(int year, int month, int dayOfMonth) {
    calendar::DateRecord r;
    r.calendar = calendar::kGregorian;
    r.year = year;
    r.month = month;
    r.day = dayOfMonth;
    return calendar::DayNumberFromDate(r);
}

std::string Label(std::int32_t day, Unit unit) {
    if (unit == Unit::Day) return calendar::FormatDayNumberIso(day);
    const calendar::DateRecord r = DateOf(day);
    if (unit == Unit::Year) return std::to_string(r.year);
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    return std::string(months[r.month - 1]) + " " + std::to_string(r.year);
}

// The first tick on or after `day` for the step.
std::int32_t FirstTick(std::int32_t day, const Step& step) {
    if (step.unit == Unit::Day) return day + ((step.count - day % step.count) % step.count);
    const calendar::DateRecord r = DateOf(day);
    if (step.unit == Unit::Month) {
        int month0 = r.year * 12 + r.month - 1;
        if (r.day > 1) ++month0;
        month0 += (step.count - month0 % step.count) % step.count;
        return DayOf(month0 / 12, month0 % 12 + 1, 1);
    }
    int year = r.year + ((r.month > 1 || r.day > 1) ? 1 : 0);
    year += ((step.count - year % step.count) % step.count + step.count) % step.count;
    return DayOf(year, 1, 1);
}

std::int32_t NextTick(std::int32_t day, const Step& step) {
    if (step.unit == Unit::Day) return day + step.count;
    const calendar::DateRecord r = DateOf(day);
    if (step.unit == Unit::Month) {
        const int month0 = r.year * 12 + r.month - 1 + step.count;
        return DayOf(month0 / 12, month0 % 12 + 1, 1);
    }
    return DayOf(r.year + step.count, 1, 1);
}

}  // namespace

std::vector<AxisTick> DateTicks(const transits::TransitRunParams& params, double startUt, double endUt,
                                double minSpacingDays) {
    std::vector<AxisTick> ticks;
    if (!(endUt > startUt)) return ticks;
    std::size_t chosen = kSteps.size() - 1;
    for (std::size_t i = 0; i < kSteps.size(); ++i)
        if (kSteps[i].days >= minSpacingDays) {
            chosen = i;
            break;
        }
    // A view narrower than the step would show no date at all: then finer steps, so
    // that at least two dates tell where the view lies.
    for (std::size_t i = chosen + 1; i-- > 0;) {
        const Step& step = kSteps[i];
        ticks.clear();
        for (std::int32_t day = FirstTick(LocalDayAt(params, startUt), step);; day = NextTick(day, step)) {
            const double ut = UtOfLocal(params, day - 0.5);
            if (ut > endUt) break;
            if (ut >= startUt) ticks.push_back({.ut = ut, .day = day, .label = Label(day, step.unit)});
        }
        if (ticks.size() >= 2) break;
    }
    return ticks;
}

}  // namespace kovo::chart
