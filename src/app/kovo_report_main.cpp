// kovo-report: the program's runs from a shell, printing the output area's text, or
// drawing the chart of a run's periods (Qt Gui on the offscreen platform, no display).
#include <QSize>
#include <iostream>
#include <string>
#include <vector>

#include "chart/chart_export.h"
#include "chart/timeline_model.h"
#include "platform/standard_output.h"
#include "report/report_commands.h"

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

std::string DrawChart(const kovo::exporting::RunRecords& records, const kovo::report::ChartRequest& request) {
    kovo::chart::EnsureGuiApplication();
    const auto model = kovo::chart::TimelineOf(records, {.cycles = request.cycles, .moon = request.moon});
    if (!model) return "the run left no records";
    return kovo::chart::WriteChartFile(*model, request.path, QSize(request.width, request.height));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool errorsIsTerminal = isatty(fileno(stderr)) != 0;
    if (!kovo::platform::StandardOutputOpen()) {
        kovo::platform::ClosedOutputBuffer closed;
        std::ostream out(&closed);
        return kovo::report::RunReport(args, out, std::cerr, errorsIsTerminal, DrawChart);
    }
    return kovo::report::RunReport(args, std::cout, std::cerr, errorsIsTerminal, DrawChart);
}
