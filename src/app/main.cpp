// KOVO: planetary aspect transits and a market-timing simulation, in one window.
#include <QApplication>

#include "ui/dialog_service.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velkarn"));
    QApplication::setApplicationName(QStringLiteral("KOVO"));

    kovo::ui::QtDialogService dialogs;
    kovo::ui::frmMain window(dialogs);
    dialogs.SetParent(&window);
    window.StartUp();
    return QApplication::exec();
}
