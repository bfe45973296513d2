// The backtest window's exports: the statistics and event-study tables as CSV or JSON,
// the charts as PNG. Files are written through WriteTextFile: complete or not at all.
#include <QChartView>
#include <QDir>
#include <QFileInfo>
#include <QTabWidget>

#include "export/backtest_export.h"
#include "ui/backtest_charts.h"
#include "ui/backtest_window.h"
#include "ui/output_file.h"
#include "ui/qt_text.h"
#include "ui/save_path.h"
#include "ui/widget_picture.h"

namespace kovo::ui {

namespace {

const std::string kCsvFilter = "CSV files (*.csv)";
const std::string kJsonFilter = "JSON files (*.json)";

}  // namespace

std::string EventsPathBeside(const std::string& csvPath) {
    const QFileInfo info(ToQ(csvPath));
    const QString name = info.completeBaseName() + QStringLiteral("-events.") +
                         (info.suffix().isEmpty() ? QStringLiteral("csv") : info.suffix());
    return FromQ(info.dir().filePath(name));
}

bool BacktestWindow::ExportTable() {
    if (!result_ || ResultsStale()) {
        Refuse(result_ ? "Inputs changed: run again to update the results." : "Run a backtest first.");
        return false;
    }
    std::string filter;
    const std::string path = AskSavePath(dialogs_, "Export the statistics table", kCsvFilter + ";;" + kJsonFilter, &filter);
    if (path.empty()) return false;
    const bool json = filter == kJsonFilter || (filter.empty() && QFileInfo(ToQ(path)).suffix().toLower() == QLatin1String("json"));
    const int chosen = SelectedStrategy();
    const backtest::StrategyResult* trades = chosen >= 0 ? &result_->strategies[static_cast<std::size_t>(chosen)] : nullptr;
    const std::string text = json ? exporting::BacktestJson(*result_, trades) : exporting::BacktestCsv(*result_);
    if (const auto reason = WriteTextFile(path, text)) {
        Refuse("Cannot write " + path + ": " + *reason);
        return false;
    }
    if (json) return true;
    // A CSV holds one table: the event study goes beside it, "name-events.csv".
    const std::string events = EventsPathBeside(path);
    if (const auto reason = WriteTextFile(events, exporting::EventStudyCsv(*result_))) {
        Refuse("Cannot write " + events + ": " + *reason);
        return false;
    }
    return true;
}

bool BacktestWindow::SaveChart(QWidget* view, const char* title) {
    if (!result_ || ResultsStale()) {
        Refuse(result_ ? "Inputs changed: run again to update the results." : "Run a backtest first.");
        return false;
    }
    const std::string path = AskSavePath(dialogs_, title, "PNG images (*.png)");
    if (path.empty()) return false;
    const std::optional<QByteArray> png = WidgetPicture(*view, chart::ChartFormat::Png);
    if (!png) {
        Refuse("Cannot draw the chart as a PNG image.");
        return false;
    }
    if (const auto reason = WriteTextFile(path, std::string_view(png->constData(), static_cast<std::size_t>(png->size())))) {
        Refuse("Cannot write " + path + ": " + *reason);
        return false;
    }
    return true;
}

bool BacktestWindow::SavePriceChart() { return SaveChart(charts_->PriceView(), "Save the price chart"); }

bool BacktestWindow::SaveEquityChart() { return SaveChart(charts_->EquityPanel(), "Save the equity chart"); }

bool BacktestWindow::SaveNullChart() { return SaveChart(charts_->NullView(), "Save the null distribution"); }

bool BacktestWindow::SaveShownChart() {
    switch (tabCharts->currentIndex()) {
        case 1: return SaveEquityChart();
        case 2: return SaveNullChart();
        default: return SavePriceChart();
    }
}

}  // namespace kovo::ui
