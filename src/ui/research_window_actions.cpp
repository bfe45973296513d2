// The research window's actions on a result: the table exported as CSV or JSON through
// the sweep's own writers, the plot saved as PNG or SVG, and a pair's rule run in the
// backtest window.
#include <QChartView>
#include <QFileInfo>

#include "astro/catalogue.h"
#include "calendar/calendar_services.h"
#include "chart/chart_export.h"
#include "export/sweep_export.h"
#include "ui/backtest_window.h"
#include "ui/output_file.h"
#include "ui/qt_text.h"
#include "ui/research_plot.h"
#include "ui/research_window.h"
#include "ui/save_path.h"
#include "ui/widget_picture.h"

namespace kovo::ui {

namespace {

const std::string kCsvFilter = "CSV files (*.csv)";
const std::string kJsonFilter = "JSON files (*.json)";
const std::string kPngFilter = "PNG images (*.png)";
const std::string kSvgFilter = "SVG drawings (*.svg)";

// The kind of file: the chosen filter, or without one the name's extension.
bool Chose(const std::string& filter, const std::string& wanted, const std::string& path, const char* extension) {
    return filter == wanted || (filter.empty() && QFileInfo(ToQ(path)).suffix().toLower() == QLatin1String(extension));
}

std::string IsoOrEmpty(const std::optional<std::int32_t>& day) {
    return day ? calendar::FormatDayNumberIso8601(*day) : std::string();
}

}  // namespace

bool ResearchWindow::ExportTable() {
    if (!result_) {
        Refuse("Run a sweep first.");
        return false;
    }
    std::string filter;
    const std::string path = AskSavePath(dialogs_, "Export the ranked table", kCsvFilter + ";;" + kJsonFilter, &filter);
    if (path.empty()) return false;
    const bool json = Chose(filter, kJsonFilter, path, "json");
    const std::string text = json ? exporting::SweepJson(*result_) : exporting::SweepCsv(*result_);
    if (const auto reason = WriteTextFile(path, text)) {
        Refuse("Cannot write " + path + ": " + *reason);
        return false;
    }
    ShowStatus(QStringLiteral("Wrote %1.").arg(ToQ(path)));
    return true;
}

bool ResearchWindow::SavePlot() {
    if (!result_) {
        Refuse("Run a sweep first.");
        return false;
    }
    std::string filter;
    const std::string path = AskSavePath(dialogs_, "Save the plot", kPngFilter + ";;" + kSvgFilter, &filter);
    if (path.empty()) return false;
    const chart::ChartFormat format = Chose(filter, kSvgFilter, path, "svg") ? chart::ChartFormat::Svg
                                                                              : chart::ChartFormat::Png;
    const std::optional<QByteArray> picture = WidgetPicture(*plot_->View(), format);
    if (!picture) {
        Refuse("Cannot draw the plot as an image.");
        return false;
    }
    if (const auto reason =
            WriteTextFile(path, std::string_view(picture->constData(), static_cast<std::size_t>(picture->size())))) {
        Refuse("Cannot write " + path + ": " + *reason);
        return false;
    }
    ShowStatus(QStringLiteral("Wrote %1.").arg(ToQ(path)));
    return true;
}

BacktestInputs ResearchWindow::BacktestInputsOf(const sweep::SweepResult& result, const sweep::SweepRow& row,
                                                const std::string& pricesPath) {
    const sweep::SweepRequest& q = result.request;
    BacktestInputs in;
    in.pricesPath = pricesPath;
    in.firstPlanet = astro::PlanetIndex(row.unit.pair.first);
    in.secondPlanet = astro::PlanetIndex(row.unit.pair.second);
    in.heliocentric = row.unit.pair.heliocentric;
    in.aspects = q.aspects;
    in.orbDegrees = q.orbDegrees;
    in.shortSide = row.side == backtest::Side::Short;
    in.from = IsoOrEmpty(q.fromDay);
    in.to = IsoOrEmpty(q.toDay);
    in.holdout = q.holdoutDay.has_value();
    in.holdoutFrom = IsoOrEmpty(q.holdoutDay);
    in.costBasisPoints = q.costBasisPoints;
    in.permutations = q.permutations;
    // The seed field stops at the backtest window's largest seed, so it fits.
    in.seed = static_cast<int>(q.seed);
    return in;
}

bool ResearchWindow::OpenInBacktest(int rule) {
    if (!result_ || rule < 0 || static_cast<std::size_t>(rule) >= result_->rows.size()) return false;
    const sweep::SweepRow& row = result_->rows[static_cast<std::size_t>(rule)];
    const QString label = ResearchPlot::RuleLabel(row);
    if (row.unit.kind != sweep::UnitKind::Pair) {
        const std::string command = row.unit.kind == sweep::UnitKind::Lunar
                                        ? "--moon"
                                        : "--cycles " + astro::PlanetName(astro::PlanetIndex(row.unit.pair.first), false, false);
        ShowStatus(label + QStringLiteral(": the backtest window shows a pair's aspects only; "
                                          "kovo-report backtest ") +
                   ToQ(command) + QStringLiteral(" backtests this rule."));
        return false;
    }
    // A backtest's first body ends at Neptune: Pluto comes first only beside the Moon.
    if (astro::PlanetIndex(row.unit.pair.first) >= astro::kPluto) {
        ShowStatus(label + QStringLiteral(": a backtest's first body is the Sun ... Neptune, so the backtest "
                                          "window cannot show Pluto with the Moon."));
        return false;
    }
    BacktestWindow* backtest = openBacktest_ ? openBacktest_() : nullptr;
    if (backtest == nullptr) return false;
    if (backtest->Running()) {
        ShowStatus(QStringLiteral("The backtest window is still running: let it end or cancel it, then try again."));
        return false;
    }
    backtest->RunWith(BacktestInputsOf(*result_, row, resultPrices_), row.ruleIndex);
    if (!backtest->Running()) return false;
    ShowStatus(QStringLiteral("Backtesting ") + label + QStringLiteral(" in the backtest window."));
    return true;
}

}  // namespace kovo::ui
