#include "ui/named_zone_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/qt_text.h"

namespace kovo::ui {

NamedZoneDialog::NamedZoneDialog(QWidget* parent, const std::vector<std::string>& names, const std::string& start)
    : QDialog(parent), search_(new QLineEdit(this)), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Named zone"));
    setObjectName(QStringLiteral("dlgNamedZone"));
    search_->setObjectName(QStringLiteral("txbZoneSearch"));
    search_->setPlaceholderText(QStringLiteral("Search, e.g. New_York or Europe/"));
    search_->setClearButtonEnabled(true);
    list_->setObjectName(QStringLiteral("lstZones"));
    for (const std::string& name : names) list_->addItem(ToQ(name));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* hint = new QLabel(QStringLiteral("Times follow the zone's daylight saving and its changes of rule."), this);
    hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(search_);
    layout->addWidget(list_, 1);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(420, 480);

    connect(search_, &QLineEdit::textChanged, this, &NamedZoneDialog::Filter);
    search_->installEventFilter(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    connect(list_, &QListWidget::currentItemChanged, this, [buttons](QListWidgetItem* current) {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(current != nullptr && !current->isHidden());
    });

    const auto found = list_->findItems(ToQ(start), Qt::MatchExactly);
    list_->setCurrentItem(found.isEmpty() ? nullptr : found.front());
    if (!found.isEmpty()) list_->scrollToItem(found.front(), QAbstractItemView::PositionAtCenter);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(list_->currentItem() != nullptr);
    search_->setFocus();
}

// The arrow and page keys in the search field move through the list, so that a zone can
// be searched for and picked without leaving the field; the list skips hidden zones.
bool NamedZoneDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == search_ && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                QCoreApplication::sendEvent(list_, event);
                return true;
            default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// Case does not matter, and a blank matches the underscore the database writes.
void NamedZoneDialog::Filter(const QString& text) {
    const QString wanted = text.trimmed().replace(QLatin1Char(' '), QLatin1Char('_'));
    QListWidgetItem* firstShown = nullptr;
    for (int i = 0; i < list_->count(); ++i) {
        QListWidgetItem* item = list_->item(i);
        const bool shown = wanted.isEmpty() || item->text().contains(wanted, Qt::CaseInsensitive);
        item->setHidden(!shown);
        if (shown && firstShown == nullptr) firstShown = item;
    }
    if (list_->currentItem() == nullptr || list_->currentItem()->isHidden()) list_->setCurrentItem(firstShown);
}

std::string NamedZoneDialog::Chosen() const {
    const QListWidgetItem* item = list_->currentItem();
    return item != nullptr && !item->isHidden() ? FromQ(item->text()) : std::string();
}

std::string NamedZoneDialog::Choose(QWidget* parent, const std::vector<std::string>& names, const std::string& start) {
    NamedZoneDialog dialog(parent, names, start);
    return dialog.exec() == QDialog::Accepted ? dialog.Chosen() : std::string();
}

}  // namespace kovo::ui
