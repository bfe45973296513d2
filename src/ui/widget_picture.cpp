#include "ui/widget_picture.h"

#include <QBuffer>
#include <QPainter>
#include <QPixmap>
#include <QSvgGenerator>
#include <QWidget>

namespace kovo::ui {

std::optional<QByteArray> WidgetPicture(QWidget& widget, chart::ChartFormat format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    switch (format) {
        case chart::ChartFormat::Png:
            if (!widget.grab().save(&buffer, "PNG")) return std::nullopt;
            return bytes;
        case chart::ChartFormat::Svg: {
            QSvgGenerator generator;
            generator.setOutputDevice(&buffer);
            generator.setSize(widget.size());
            generator.setViewBox(widget.rect());
            generator.setTitle(widget.windowTitle());
            QPainter painter;
            if (!painter.begin(&generator)) return std::nullopt;
            // Drawn through the painter, so the chart's shapes and texts stay vectors.
            widget.render(&painter);
            painter.end();
            return bytes;
        }
        case chart::ChartFormat::Unknown:
            break;
    }
    return std::nullopt;
}

}  // namespace kovo::ui
