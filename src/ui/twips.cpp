#include "ui/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace kovo::ui {

namespace {

double LogicalDpi(const QWidget* widget, Axis axis) {
    if (widget != nullptr) return axis == Axis::X ? widget->logicalDpiX() : widget->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return 96.0;
    return axis == Axis::X ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
}

}  // namespace

int TwipsToPixels(int twips, const QWidget* widget, Axis axis) {
    return static_cast<int>(std::lround(twips * LogicalDpi(widget, axis) / kTwipsPerInch));
}

int PixelsToTwips(int pixels, const QWidget* widget, Axis axis) {
    const double dpi = LogicalDpi(widget, axis);
    if (dpi <= 0.0) return pixels * 15;
    return static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi));
}

}  // namespace kovo::ui
