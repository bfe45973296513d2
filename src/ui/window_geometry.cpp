#include "ui/window_geometry.h"

#include <QScreen>
#include <QSplitter>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "ui/qt_text.h"
#include "ui/registry.h"

namespace kovo::ui {

void RestoreWindowSize(QWidget& window, const std::string& width, const std::string& height, QSize fallback,
                       bool centre) {
    QSize size(width.empty() ? fallback.width() : std::atoi(width.c_str()),
               height.empty() ? fallback.height() : std::atoi(height.c_str()));
    if (const QScreen* screen = window.screen()) {
        const QRect free = screen->availableGeometry();
        size = size.boundedTo(QSize(free.width() - 16, free.height() - 40));
        if (centre) window.move(free.topLeft() + QPoint(std::max(0, (free.width() - size.width()) / 2), 0));
    }
    window.resize(size.expandedTo(QSize(640, 480)));
}

bool RestoreSplitterSizes(QSplitter& splitter, const std::string& stored) {
    const QStringList parts = ToQ(stored).split(QLatin1Char(','));
    if (parts.size() != 2 || parts[0].toInt() <= 0 || parts[1].toInt() <= 0) return false;
    splitter.setSizes({parts[0].toInt(), parts[1].toInt()});
    return true;
}

void SaveWindowGeometry(const std::string& subKey, const QWidget& window, const QSplitter& splitter) {
    WriteRegistryText(subKey, "Width", std::to_string(window.width()));
    WriteRegistryText(subKey, "Height", std::to_string(window.height()));
    const QList<int> sizes = splitter.sizes();
    if (sizes.size() == 2)
        WriteRegistryText(subKey, "Splitter", std::to_string(sizes[0]) + "," + std::to_string(sizes[1]));
}

}  // namespace kovo::ui
