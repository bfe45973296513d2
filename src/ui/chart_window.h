#pragma once
// The chart window: the timeline of the last transit run's periods, with zoom, pan and
// a cursor, and commands to save it as PNG or SVG, print it and copy it as an image.
// File names come from the dialog service, so that tests can script them.
#include <QMainWindow>
#include <functional>

#include "chart/chart_export.h"
#include "chart/timeline_model.h"
#include "ui/dialog_service.h"

class QLabel;
class QPrinter;

namespace kovo::ui {

class ChartView;

class ChartWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit ChartWindow(DialogService& dialogs, QWidget* parent = nullptr);

    void ShowModel(chart::TimelineModel model);
    ChartView& View() { return *view_; }

    // The commands; each reports a failure through the dialog service. The saves return
    // whether a file was written.
    bool SaveAsPng();
    bool SaveAsSvg();
    void Print();
    void CopyImage();

    // Asks the user for the printer's settings; QPrintDialog unless a test replaces it.
    using PrinterChooser = std::function<bool(QPrinter& printer)>;
    void SetPrinterChooser(PrinterChooser chooser) { choosePrinter_ = std::move(chooser); }

private:
    void CreateActions();
    void CreateStatusLine();
    bool SaveAs(const char* title, const char* filter, chart::ChartFormat format);

    WindowDialogs dialogs_;
    ChartView* view_;
    QLabel* status_ = nullptr;
    PrinterChooser choosePrinter_;
};

}  // namespace kovo::ui
