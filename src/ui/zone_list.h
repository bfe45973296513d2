#pragma once
// The time-zone list: a list box that shows a named zone too long for it with its start
// left out ("…na/Buenos_Aires", or the city alone), so that the city stays readable, and
// names the whole zone in its tooltip. The entries' texts themselves stay whole.
#include <QComboBox>

namespace kovo::ui {

class ZoneList : public QComboBox {
    Q_OBJECT

public:
    explicit ZoneList(QWidget* parent = nullptr);

    // The current entry as the closed list shows it: whole when it fits, else shortened
    // from the left while the city stays whole, else the city, cut at its end to fit.
    QString ShownText() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ShowWholeInTooltip();
    int TextWidth() const;
};

}  // namespace kovo::ui
