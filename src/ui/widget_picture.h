#pragma once
// A widget as it is shown (a Qt Charts view, a panel of them) drawn as a PNG image or an
// SVG drawing, for the windows' "Save chart" commands. The bytes are written by the
// caller (WriteTextFile: complete or not at all).
#include <QByteArray>
#include <optional>

#include "chart/chart_export.h"

class QWidget;

namespace kovo::ui {

// The picture, or nothing when it cannot be encoded (or `format` is Unknown).
std::optional<QByteArray> WidgetPicture(QWidget& widget, chart::ChartFormat format);

}  // namespace kovo::ui
