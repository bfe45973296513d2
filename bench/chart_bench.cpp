// A full repaint of the timeline chart of a 100-year Mars-Jupiter run into an offscreen
// image, the work the chart window does on every zoom, pan and cursor move; and the
// cycle lanes of that run, which the window computes when their box is ticked.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "chart/chart_export.h"
#include "chart/cycle_timeline.h"
#include "chart/timeline_layout.h"
#include "chart/timeline_painter.h"
#include "null_run_host.h"
#include "test_support.h"
#include "transits/transit_scan.h"

namespace {

const kovo::chart::TimelineModel& CenturyOfMarsJupiter() {
    static const kovo::chart::TimelineModel model = [] {
        kovo::testing::InitModelOnce();
        kovo::transits::TransitRunParams p;
        p.firstPlanet = 4;
        p.secondPlanet = 5;
        p.startDay = 2451545;           // 2000-01-01
        p.endDay = p.startDay + 36524;  // 100 years on
        for (std::size_t a = 1; a <= 7; ++a) p.aspects[a] = true;
        kovo::transits::SetOrbs(p, 10, 5, 2);
        p.firstName = "Mars";
        p.secondName = "Jupiter";
        p.outputLimit.reset();
        kovo::bench::NullRunHost host;
        return kovo::chart::BuildTimeline(kovo::transits::RunTransitScan(p, host));
    }();
    return model;
}

void Repaint(benchmark::State& state) {
    const auto& model = CenturyOfMarsJupiter();
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        const auto layout = kovo::chart::LayOutTimeline(model, QSizeF(image.size()), {}, kovo::chart::ChartFont());
        kovo::chart::PaintTimeline(painter, model, layout);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["periods"] = static_cast<double>(model.PeriodCount());
}

void AddCycleLanes(benchmark::State& state) {
    const auto& run = CenturyOfMarsJupiter();
    for (auto _ : state) {
        kovo::chart::TimelineModel model = run;
        kovo::chart::AddCycleLanes(model);
        benchmark::DoNotOptimize(model.cycleLanes.data());
    }
}

void RepaintWithCycles(benchmark::State& state) {
    kovo::chart::TimelineModel model = CenturyOfMarsJupiter();
    kovo::chart::AddCycleLanes(model);
    QImage image(1600, 900, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        const auto layout = kovo::chart::LayOutTimeline(model, QSizeF(image.size()), {}, kovo::chart::ChartFont());
        kovo::chart::PaintTimeline(painter, model, layout);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

}  // namespace

BENCHMARK(Repaint)->Unit(benchmark::kMillisecond);
BENCHMARK(AddCycleLanes)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(RepaintWithCycles)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    kovo::chart::EnsureGuiApplication();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
