#include "ui/zone_list.h"

#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace kovo::ui {

ZoneList::ZoneList(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::currentIndexChanged, this, &ZoneList::ShowWholeInTooltip);
    // A named zone is set by renaming the last entry, which does not change the index.
    connect(model(), &QAbstractItemModel::dataChanged, this, &ZoneList::ShowWholeInTooltip);
}

int ZoneList::TextWidth() const {
    QStyleOptionComboBox option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this).width();
}

QString ZoneList::ShownText() const {
    const QString whole = currentText();
    const QFontMetrics metrics = fontMetrics();
    const int width = TextWidth();
    if (metrics.horizontalAdvance(whole) <= width) return whole;
    // The city is the zone's last part: keep as much of the region before it as fits,
    // then the city alone, and only when even that is too long cut the city's end.
    const QString city = whole.section(QLatin1Char('/'), -1);
    const QString left = metrics.elidedText(whole, Qt::ElideLeft, width);
    if (left.endsWith(QLatin1Char('/') + city)) return left;
    return metrics.elidedText(city, Qt::ElideRight, width);
}

void ZoneList::ShowWholeInTooltip() {
    // Only a text that does not fit needs one; the fixed entries keep theirs (none).
    setToolTip(ShownText() != currentText() ? currentText() : QString());
}

void ZoneList::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    ShowWholeInTooltip();
}

void ZoneList::paintEvent(QPaintEvent* /*event*/) {
    // QComboBox's own painting, with the shortened text.
    QStylePainter painter(this);
    painter.setPen(palette().color(QPalette::Text));
    QStyleOptionComboBox option;
    initStyleOption(&option);
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    option.currentText = ShownText();
    painter.drawControl(QStyle::CE_ComboBoxLabel, option);
}

}  // namespace kovo::ui
