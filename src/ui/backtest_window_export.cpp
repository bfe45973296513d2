// The backtest window's exports: the statistics and event-study tables as CSV, the
// charts as PNG. Files are written through QSaveFile: complete or not at all.
#include <QBuffer>
#include <QChartView>
#include <QPixmap>
#include <QSaveFile>

#include "backtest/backtest_table.h"
#include "ui/backtest_charts.h"
#include "ui/backtest_window.h"
#include "ui/qt_text.h"
#include "util/safe_file.h"

namespace kovo::ui {

namespace {

// Writes bytes to path; the old file stays untouched when anything fails.
std::string WriteWhole(const std::string& path, const QByteArray& bytes) {
    // QSaveFile follows links itself, past the kernel's rule for links in shared folders.
    if (const std::string planted = util::CheckLinksOfPath(path); !planted.empty())
        return planted.substr(planted.rfind(": ") + 2);
    QSaveFile file(ToQ(path));
    if (!file.open(QIODevice::WriteOnly)) return FromQ(file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const std::string reason = FromQ(file.errorString());
        file.cancelWriting();
        return reason;
    }
    if (!file.commit()) return FromQ(file.errorString());
    return {};
}

}  // namespace

bool BacktestWindow::ExportTable() {
    if (!result_) {
        Refuse("Run a backtest first.");
        return false;
    }
    const std::string path = dialogs_.GetSaveFileName("Export the statistics table", "CSV files (*.csv)");
    if (path.empty()) return false;
    const std::string csv = backtest::BacktestCsv(*result_);
    if (const std::string reason = WriteWhole(path, QByteArray(csv.data(), static_cast<qsizetype>(csv.size())));
        !reason.empty()) {
        Refuse("Cannot write " + path + ": " + reason);
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
    if (const std::string reason = WriteWhole(path, png); !reason.empty()) {
        Refuse("Cannot write " + path + ": " + reason);
        return false;
    }
    return true;
}

bool BacktestWindow::SavePriceChart() { return SaveChart(charts_->PriceView(), "Save the price chart"); }

bool BacktestWindow::SaveEquityChart() { return SaveChart(charts_->EquityView(), "Save the equity chart"); }

}  // namespace kovo::ui
