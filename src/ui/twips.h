#pragma once
// Screen lengths are given in twips: 1440 per logical inch. This is the one place
// that turns them into pixels, with the logical DPI of the widget's screen.
class QWidget;

namespace kovo::ui {

inline constexpr int kTwipsPerInch = 1440;

// Horizontal or vertical, since a screen may report different DPIs for the two axes.
enum class Axis { X, Y };

// Pixels for a length in twips (rounded to nearest); widget may be null (primary screen).
int TwipsToPixels(int twips, const QWidget* widget, Axis axis = Axis::Y);
// Twips for a length in pixels.
int PixelsToTwips(int pixels, const QWidget* widget, Axis axis = Axis::Y);

}  // namespace kovo::ui
