// KOVO: planetary aspect transits and a market-timing simulation, in one window.
#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstring>

#include "platform/runtime_folder.h"
#include "ui/dialog_service.h"
#include "ui/main_window.h"

namespace {

void DescribeOptions(QCommandLineParser& options) {
    options.setApplicationDescription(QStringLiteral("Planetary aspect transits and a market-timing simulation."));
    options.addHelpOption();
    options.addVersionOption();
}

// Whether the command line asks for the help or the version, which need no display.
bool AsksHelpOrVersion(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
            if (std::strcmp(argv[i], option) == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setOrganizationName(QStringLiteral("Velkarn"));
    QCoreApplication::setApplicationName(QStringLiteral("KOVO"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KOVO_VERSION));

    // --version and --help answer on the terminal and end the program before the window
    // system is opened: QApplication aborts when there is no display to open.
    if (AsksHelpOrVersion(argc, argv)) {
        QCoreApplication terminal(argc, argv);
        QCommandLineParser options;
        DescribeOptions(options);
        options.process(terminal);
    }

    kovo::platform::EnsureRuntimeFolder();
    QApplication app(argc, argv);
    QCommandLineParser options;
    DescribeOptions(options);
    options.process(app);

    kovo::ui::QtDialogService dialogs;
    kovo::ui::frmMain window(dialogs);
    dialogs.SetParent(&window);
    window.StartUp();
    return QApplication::exec();
}
