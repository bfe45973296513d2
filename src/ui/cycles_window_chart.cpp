// The cycles window's "Chart": the shown list in the chart window, which the window
// keeps for its next charts.
#include <QApplication>

#include "chart/cycle_timeline.h"
#include "chart/timeline_model.h"
#include "export/cycle_export.h"
#include "ui/chart_window.h"
#include "ui/cycles_window.h"

namespace kovo::ui {

bool CyclesWindow::ChartClicked() {
    if (Running()) return false;
    std::optional<chart::TimelineModel> model;
    if (found_) {
        const exporting::CycleRunInputs& in = found_->inputs;
        // The list's civil days, from the first local midnight to the last.
        const double fromUt = in.fromDay - 0.5 - in.zone.At(in.fromDay - 0.5).days;
        const double toUt = in.toDay + 0.5 - in.zone.At(in.toDay + 0.5).days;
        if (requests::IsLunar(found_->kind)) {
            model = chart::BuildLunarTimeline(fromUt, toUt, in.zone, "Moon");
        } else {
            const std::string what = found_->kind == requests::CycleKind::Stations ? " retrograde cycles" : " ingresses";
            model = chart::BuildCycleTimeline({.body = in.body, .heliocentric = in.heliocentric, .zodiac = in.zodiac},
                                              fromUt, toUt, in.zone, exporting::BodyName(in) + what);
        }
    } else if (pointFound_) {
        model = chart::TimelineOf(exporting::RunRecords{pointFound_->result});
    }
    if (!model) {
        ShowStatus(QStringLiteral("Run first: there is no list to draw."), true);
        return false;
    }
    if (chartWindow_ == nullptr) {
        chartWindow_ = new ChartWindow(dialogs_, this);
        chartWindow_->setWindowFlag(Qt::Window);
        chartWindow_->setAttribute(Qt::WA_QuitOnClose, false);
    }
    chartWindow_->ShowModel(std::move(*model));
    chartWindow_->show();
    chartWindow_->raise();
    chartWindow_->activateWindow();
    return true;
}

}  // namespace kovo::ui
