#include "requests/point_transits_form.h"

#include <string>

#include "calendar/date_entry.h"
#include "requests/transit_form.h"

namespace kovo::requests {

namespace {

// Keeps the first message (the refusal, if any) and answers "Stop?" with Yes: the only
// one who can ask for a stop here is the window's Cancel.
class QuietHost final : public util::RunHost {
public:
    explicit QuietHost(util::CancelToken& cancel) : cancel_(cancel) {}
    util::Answer ShowMessage(const util::Message& message) override {
        if (first_.empty()) first_ = message.text;
        return message.buttons == util::MessageButtons::Ok ? util::Answer::Ok : util::Answer::Yes;
    }
    void Progress(double, std::int32_t) override {}
    util::ReportSink& Report() override { return report_; }
    util::CancelToken& Cancel() override { return cancel_; }
    std::string TakeReport() { return std::move(report_.text); }

private:
    struct TextSink final : util::ReportSink {
        void Append(std::string_view more) override { text.append(more); }
        std::size_t Length() const override { return text.size(); }
        std::string text;
    };
    util::CancelToken& cancel_;
    TextSink report_;
    std::string first_;
};

void SetDate(calendar::DateEntryModel& dates, int which, const calendar::IsoDate& date) {
    const auto i = static_cast<std::size_t>(which);
    dates.txbYear[i] = std::to_string(date.year);
    dates.txbMonth[i] = std::to_string(date.month);
    dates.txbDay[i] = std::to_string(date.day);
    calendar::RefreshDateLabel(dates, which);
}

}  // namespace

PointTransitsFound RunPointTransitsForm(const PointTransitsForm& form, util::CancelToken& cancel) {
    TransitForm in;
    in.firstListPos = astro::PlanetIndex(form.body) - 1;
    in.fixedSecond = form.point;
    in.aspectChecked = form.aspects;
    in.orbPositions = {form.orbDegrees[0] - 1, form.orbDegrees[1] - 1, form.orbDegrees[2] - 1, 0};
    in.heliocentric = form.heliocentric;
    in.timezonePosition = form.timezonePosition;
    in.timezoneText = calendar::TimeZoneText(form.timezonePosition, false);
    if (form.namedZone) {
        in.namedZone = form.namedZone;
        in.timezoneText = form.namedZone->Name();
    }
    in.pluto = form.pluto;
    in.outputLimit = std::nullopt;
    calendar::DateEntryModel dates;
    SetDate(dates, 0, form.from);
    SetDate(dates, 1, form.to);
    QuietHost host(cancel);
    PointTransitsFound found{.result = RunTwoPlanetForm(in, dates, host), .report = {}};
    found.report = host.TakeReport();
    return found;
}

}  // namespace kovo::requests
