// The backtest window's exports: the statistics and event-study tables as CSV, the
// charts as PNG. Files are written through WriteTextFile: complete or not at all.
#include <QBuffer>
#include <QChartView>
#include <QPixmap>

#include "export/backtest_export.h"
#include "ui/backtest_charts.h"
#include "ui/backtest_window.h"
#include "ui/output_file.h"
#include "ui/qt_text.h"

namespace kovo::ui {

bool BacktestWindow::ExportTable() {
    if (!result_) {
        Refuse("Run a backtest first.");
        return false;
    }
    const std::string path = dialogs_.GetSaveFileName("Export the statistics table", "CSV files (*.csv)");
    if (path.empty()) return false;
    const std::string csv = exporting::BacktestCsv(*result_);
    if (const auto reason = WriteTextFile(path, csv)) {
        Refuse("Cannot write " + path + ": " + *reason);
        return false;
    }
    return true;
}

bool BacktestWindow::SaveChart(QWidget* view, const char* title) {
    if (!result_) {
        Refuse("Run a backtest first.");
        return false;
    }
    const std::string path = dialogs_.GetSaveFileName(title, "PNG images (*.png)");
    if (path.empty()) return false;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!view->grab().save(&buffer, "PNG")) {
        Refuse("Cannot draw the chart as a PNG image.");
        return false;
    }
    if (const auto reason = WriteTextFile(path, std::string_view(png.constData(), static_cast<std::size_t>(png.size())))) {
        Refuse("Cannot write " + path + ": " + *reason);
        return false;
    }
    return true;
}

bool BacktestWindow::SavePriceChart() { return SaveChart(charts_->PriceView(), "Save the price chart"); }

bool BacktestWindow::SaveEquityChart() { return SaveChart(charts_->EquityView(), "Save the equity chart"); }

}  // namespace kovo::ui
