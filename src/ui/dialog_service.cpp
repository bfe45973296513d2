#include "ui/dialog_service.h"

#include <QFileDialog>
#include <QMessageBox>

#include "ui/named_zone_dialog.h"
#include "ui/qt_text.h"

namespace kovo::ui {

namespace {

QMessageBox::Icon ToQtIcon(util::MessageIcon icon) {
    switch (icon) {
        case util::MessageIcon::Information: return QMessageBox::Information;
        case util::MessageIcon::Exclamation: return QMessageBox::Warning;
        case util::MessageIcon::Question: return QMessageBox::Question;
        case util::MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQtButtons(util::MessageButtons buttons) {
    switch (buttons) {
        case util::MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
        case util::MessageButtons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case util::MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton ToQtButton(util::Answer answer) {
    switch (answer) {
        case util::Answer::Yes: return QMessageBox::Yes;
        case util::Answer::No: return QMessageBox::No;
        case util::Answer::Cancel: return QMessageBox::Cancel;
        case util::Answer::Ok: break;
    }
    return QMessageBox::Ok;
}

util::Answer FromQtButton(int button, util::MessageButtons buttons) {
    switch (button) {
        case QMessageBox::Yes: return util::Answer::Yes;
        case QMessageBox::No: return util::Answer::No;
        case QMessageBox::Cancel: return util::Answer::Cancel;
        default: break;
    }
    // Escape on a Yes/No box closes it without a button: read that as No.
    return buttons == util::MessageButtons::YesNo ? util::Answer::No : util::Answer::Ok;
}

}  // namespace

util::Answer QtDialogService::ShowMessage(const util::Message& message) {
    const std::string title = message.title.empty() ? util::kProgramTitle : message.title;
    // Message texts break lines with CR LF; the box wants bare line feeds.
    QString text = ToQ(message.text);
    text.remove(QLatin1Char('\r'));
    QMessageBox box(ToQtIcon(message.icon), ToQ(title), text,
                    ToQtButtons(message.buttons), Parent());
    if (message.buttons != util::MessageButtons::Ok) box.setDefaultButton(ToQtButton(message.defaultButton));
    if (message.buttons == util::MessageButtons::YesNoCancel) box.setEscapeButton(QMessageBox::Cancel);
    return FromQtButton(box.exec(), message.buttons);
}

std::string QtDialogService::GetSaveFileName(const std::string& title, const std::string& filter) {
    const QString path = QFileDialog::getSaveFileName(Parent(), ToQ(title), QString(), ToQ(filter), nullptr,
                                                      QFileDialog::DontConfirmOverwrite);
    return FromQ(path);
}

DialogService::SaveChoice QtDialogService::GetSaveFileChoice(const std::string& title, const std::string& filters) {
    QString selected;
    const QString path = QFileDialog::getSaveFileName(Parent(), ToQ(title), QString(), ToQ(filters), &selected,
                                                      QFileDialog::DontConfirmOverwrite);
    return {FromQ(path), FromQ(selected)};
}

std::string QtDialogService::ChooseNamedZone(const std::vector<std::string>& names, const std::string& start) {
    return NamedZoneDialog::Choose(Parent(), names, start);
}

std::string QtDialogService::GetOpenFileName(const std::string& title, const std::string& filter) {
    return FromQ(QFileDialog::getOpenFileName(Parent(), ToQ(title), QString(), ToQ(filter)));
}

template <typename Ask>
auto WindowDialogs::Owned(Ask ask) {
    // Boxes may nest (a message from inside a dialog); each restores the owner before it.
    QWidget* const before = shared_.Owner();
    shared_.SetOwner(window_);
    struct Restore {
        DialogService& service;
        QWidget* owner;
        ~Restore() { service.SetOwner(owner); }
    } restore{shared_, before};
    return ask();
}

util::Answer WindowDialogs::ShowMessage(const util::Message& message) {
    return Owned([&] { return shared_.ShowMessage(message); });
}

std::string WindowDialogs::GetSaveFileName(const std::string& title, const std::string& filter) {
    return Owned([&] { return shared_.GetSaveFileName(title, filter); });
}

DialogService::SaveChoice WindowDialogs::GetSaveFileChoice(const std::string& title, const std::string& filters) {
    return Owned([&] { return shared_.GetSaveFileChoice(title, filters); });
}

std::string WindowDialogs::GetOpenFileName(const std::string& title, const std::string& filter) {
    return Owned([&] { return shared_.GetOpenFileName(title, filter); });
}

std::string WindowDialogs::ChooseNamedZone(const std::vector<std::string>& names, const std::string& start) {
    return Owned([&] { return shared_.ChooseNamedZone(names, start); });
}

}  // namespace kovo::ui
