#include "chart/chart_export.h"

#include <QBuffer>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <memory>

#include "chart/svg_labels.h"
#include "chart/timeline_painter.h"
#include "platform/runtime_folder.h"
#include "util/safe_file.h"
#include "util/text.h"

namespace kovo::chart {

QFont ChartFont() {
    QFont font = QGuiApplication::font();
    font.setStyleHint(QFont::SansSerif);
    // The family found, not a generic alias that SVG viewers would not know.
    font.setFamily(QFontInfo(font).family());
    // Pixels, not points: image, SVG and printer then lay the text out alike.
    font.setPixelSize(12);
    return font;
}

QImage RenderImage(const TimelineModel& model, const QSize& size, const ViewRange& view) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    const TimelineLayout layout = LayOutTimeline(model, QSizeF(size), view, ChartFont());
    PaintTimeline(painter, model, layout);
    return image;
}

QByteArray RenderSvg(const TimelineModel& model, const QSize& size, const ViewRange& view) {
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(QString::fromStdString(model.title));
    const bool cyclesAlone = model.lanes.empty() && !model.cycleLanes.empty();
    generator.setDescription(cyclesAlone ? QStringLiteral("Timeline chart of retrograde cycles and ingresses")
                                         : QStringLiteral("Timeline chart of aspect periods"));
    std::vector<ShapeLabel> labels;
    {
        QPainter painter(&generator);
        // The generator's own resolution would scale the fonts; lay out in image pixels.
        const TimelineLayout layout = LayOutTimeline(model, QSizeF(size), view, ChartFont());
        PaintTimeline(painter, model, layout, &labels);
    }
    return LabelSvgShapes(buffer.data(), labels);
}

ChartFormat FormatOfPath(const std::string& path) {
    const std::string lower = util::ToLower(path);
    auto endsWith = [&lower](const char* suffix) {
        const std::string s(suffix);
        return lower.size() > s.size() && lower.compare(lower.size() - s.size(), s.size(), s) == 0;
    };
    if (endsWith(".png")) return ChartFormat::Png;
    if (endsWith(".svg")) return ChartFormat::Svg;
    return ChartFormat::Unknown;
}

std::string WriteChartFile(const TimelineModel& model, const std::string& path, const QSize& size,
                           const ViewRange& view) {
    QByteArray bytes;
    switch (FormatOfPath(path)) {
        case ChartFormat::Svg:
            bytes = RenderSvg(model, size, view);
            break;
        case ChartFormat::Png: {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            if (!RenderImage(model, size, view).save(&buffer, "PNG")) return "cannot encode the chart as PNG";
            break;
        }
        case ChartFormat::Unknown:
            return "the chart file must end in .svg or .png: " + path;
    }
    return util::WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void EnsureGuiApplication() {
    if (QGuiApplication::instance() != nullptr) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::EnsureRuntimeFolder();
    static int argc = 1;
    static char name[] = "kovo";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt is left alone while the program ends.
    static QGuiApplication* const app = new QGuiApplication(argc, argv);
    static_cast<void>(app);
}

}  // namespace kovo::chart
