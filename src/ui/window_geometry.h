#pragma once
// A window's size and splitter as stored in the registry, restored the same way by every
// window that keeps them.
#include <QSize>
#include <string>

class QSplitter;
class QWidget;

namespace kovo::ui {

// The stored width and height ("" for none: `fallback`'s), kept within the free area of
// the window's screen (room left for its frame and title) and at least 640 x 480; with
// `centre`, the window is also placed at the top of that area, centred across.
void RestoreWindowSize(QWidget& window, const std::string& width, const std::string& height, QSize fallback,
                       bool centre);

// The stored "a,b" sizes of a two-part splitter; false (and nothing set) when there are
// none, so that the window picks its first-start sizes.
bool RestoreSplitterSizes(QSplitter& splitter, const std::string& stored);

// Stores the window's width and height and the splitter's "a,b" sizes under `subKey`
// ("Width", "Height", "Splitter"), where the two restores above read them.
void SaveWindowGeometry(const std::string& subKey, const QWidget& window, const QSplitter& splitter);

}  // namespace kovo::ui
