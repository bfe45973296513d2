// KOVO: planetary aspect transits and a market-timing simulation, in one window.
#include <QApplication>
#include <QCommandLineParser>

#include "ui/dialog_service.h"
#include "ui/main_window.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Velkarn"));
    QApplication::setApplicationName(QStringLiteral("KOVO"));
    QApplication::setApplicationVersion(QStringLiteral(KOVO_VERSION));

    // --version and --help answer on the terminal and end the program before any window.
    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral("Planetary aspect transits and a market-timing simulation."));
    options.addHelpOption();
    options.addVersionOption();
    options.process(app);

    kovo::ui::QtDialogService dialogs;
    kovo::ui::frmMain window(dialogs);
    dialogs.SetParent(&window);
    window.StartUp();
    return QApplication::exec();
}
