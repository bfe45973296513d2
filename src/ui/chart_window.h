#pragma once
// The chart window: the timeline of the last transit run's periods, with zoom, pan and
// a cursor, and commands to save it as PNG or SVG, print it and copy it as an image.
// File names come from the dialog service, so that tests can script them.
#include <QMainWindow>
#include <functional>
#include <optional>

#include "chart/chart_export.h"
#include "chart/timeline_model.h"
#include "ui/dialog_service.h"

class QCheckBox;
class QLabel;
class QPrinter;

namespace kovo::ui {

class ChartView;

class ChartWindow : public QMainWindow {
    Q_OBJECT

public:
    explicit ChartWindow(DialogService& dialogs, QWidget* parent = nullptr);

    // A run's chart gets its bodies' cycle lanes while "Retrograde cycles and ingresses"
    // is ticked (the box keeps its state from one chart to the next). A chart that comes
    // with cycle lanes or without a run (one body's cycles alone) is shown as it is.
    void ShowModel(chart::TimelineModel model);
    ChartView& View() { return *view_; }
    QCheckBox& CyclesBox() { return *chkCycles_; }
    QCheckBox& MoonBox() { return *chkMoon_; }

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
    void OnCyclesToggled(bool on);
    // The run's chart with the lanes the boxes ask for, each made the first time.
    void ShowLanes();

    WindowDialogs dialogs_;
    ChartView* view_;
    QLabel* status_ = nullptr;
    QCheckBox* chkCycles_ = nullptr;
    QCheckBox* chkMoon_ = nullptr;
    chart::TimelineModel runModel_;  // the chart without cycle lanes, while the boxes apply
    std::optional<std::vector<chart::CycleLane>> bodyLanes_;  // made the first time a box asks
    std::optional<chart::CycleLane> moonLane_;
    PrinterChooser choosePrinter_;
};

}  // namespace kovo::ui
