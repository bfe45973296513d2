// frmMain date fields: they mirror the core's DateEntryModel, whose routines clean the
// fields, set the labels, the day numbers and the period caption.
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/main_window.h"
#include "ui/qt_text.h"

namespace kovo::ui {

void frmMain::ConnectDateFields() {
    for (std::size_t i = 0; i < 2; ++i) {
        for (QLineEdit* field : {txbYear[i], txbMonth[i], txbDay[i]}) field->installEventFilter(this);
    }
}

calendar::DateEntryModel& frmMain::ReadDateFields() {
    for (std::size_t i = 0; i < 2; ++i) {
        dates_.txbYear[i] = FromQ(txbYear[i]->text());
        dates_.txbMonth[i] = FromQ(txbMonth[i]->text());
        dates_.txbDay[i] = FromQ(txbDay[i]->text());
    }
    return dates_;
}

void frmMain::ShowDateFields() {
    for (std::size_t i = 0; i < 2; ++i) {
        // Only changed texts are set, so that a field being edited keeps its cursor.
        auto show = [](QLineEdit* field, const std::string& text) {
            const QString q = ToQ(text);
            if (field->text() != q) field->setText(q);
        };
        show(txbYear[i], dates_.txbYear[i]);
        show(txbMonth[i], dates_.txbMonth[i]);
        show(txbDay[i], dates_.txbDay[i]);
        lblDate[i]->setText(ToQ(dates_.lblDate[i]));
        lblDate[i]->repaint();
    }
    lblConstructTransitTables->setText(ToQ(dates_.lblConstructTransitTables));
}

void frmMain::YearLostFocus(int index) {
    calendar::YearLostFocus(ReadDateFields(), index, *this);
    ShowDateFields();
}

void frmMain::MonthDayLostFocus(int index) {
    calendar::RefreshDateLabel(ReadDateFields(), index);
    ShowDateFields();
}

// Leaving a date field cleans it; Enter in one starts the two-planet run when allowed.
bool frmMain::HandleDateFieldEvent(QObject* watched, QEvent* event) {
    for (std::size_t i = 0; i < 2; ++i) {
        const bool year = watched == txbYear[i];
        if (!year && watched != txbMonth[i] && watched != txbDay[i]) continue;
        const int index = static_cast<int>(i);
        if (event->type() == QEvent::FocusOut) {
            // A message box or a list's pop-up taking the focus is not leaving the field.
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            const bool busy = runState_ != RunState::Idle;
            if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason || busy) return false;
            if (year) YearLostFocus(index);
            else MonthDayLostFocus(index);
        } else if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto* key = static_cast<QKeyEvent*>(event);
            const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
            if (!enter || key->isAutoRepeat()) return false;
            if (event->type() == QEvent::KeyPress) {
                enterPressedIn_ = watched;
                return false;
            }
            const bool pressedHere = enterPressedIn_ == watched;
            enterPressedIn_ = nullptr;
            if (pressedHere && cmdStart->isEnabled()) OnStartClicked();
        }
        return false;
    }
    return false;
}

}  // namespace kovo::ui
