#pragma once
// The timeline chart as a picture: an image, an SVG document, or a file of either kind
// written all or nothing. Needs a QGuiApplication (EnsureGuiApplication makes one on
// the offscreen platform for programs without a window).
#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QSize>
#include <string>

#include "chart/timeline_layout.h"
#include "chart/timeline_model.h"

namespace kovo::chart {

// The chart's text font: the application's sans-serif font, 12 pixels high.
QFont ChartFont();

QImage RenderImage(const TimelineModel& model, const QSize& size, const ViewRange& view = {});

// An SVG document (Qt SVG's generator) whose shapes carry the ids and classes of the
// painter's labels: "period-0-3-outer", "exact-0-3-0", "tick-2026-03-01", "plot".
QByteArray RenderSvg(const TimelineModel& model, const QSize& size, const ViewRange& view = {});

// Writes the chart (of `view`, the whole range by default) to `path`, as SVG when it
// ends in ".svg" and PNG when it ends in ".png" (either case), through
// util::WriteFileAtomically: kovo-report's and the chart window's one way to save a
// chart. Returns "" when written, else a one-line reason ("cannot write PATH: ..."); on
// failure an older file at `path` stays as it was.
std::string WriteChartFile(const TimelineModel& model, const std::string& path, const QSize& size,
                           const ViewRange& view = {});

enum class ChartFormat { Unknown, Png, Svg };
ChartFormat FormatOfPath(const std::string& path);

// A QGuiApplication for a program that has none, on the offscreen platform unless
// QT_QPA_PLATFORM names another, with a private runtime folder when the environment
// names none. It lives until the program ends.
void EnsureGuiApplication();

}  // namespace kovo::chart
