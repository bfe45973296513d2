#pragma once
// The searchable list of the tz database's zones behind the time-zone list's last entry.
#include <string>
#include <vector>

#include <QDialog>

class QLineEdit;
class QListWidget;

namespace kovo::ui {

class NamedZoneDialog : public QDialog {
    Q_OBJECT
public:
    NamedZoneDialog(QWidget* parent, const std::vector<std::string>& names, const std::string& start);

    // The zone chosen, or "" when none is.
    std::string Chosen() const;

    // Shows the dialog; the zone chosen, or "" when the user cancelled.
    static std::string Choose(QWidget* parent, const std::vector<std::string>& names, const std::string& start);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Filter(const QString& text);

    QLineEdit* search_;
    QListWidget* list_;
};

}  // namespace kovo::ui
