#include "ui/output_file.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>

#include "ui/dialog_service.h"
#include "ui/qt_text.h"
#include "util/safe_file.h"

namespace kovo::ui {

std::optional<std::string> WriteTextFile(const std::string& path, const std::string& bytes) {
    // QSaveFile follows links itself, past the kernel's rule for links in shared folders.
    if (const std::string planted = util::CheckLinksOfPath(path); !planted.empty())
        return planted.substr(planted.rfind(": ") + 2);
    const QString qPath = ToQ(path);
    const QFileInfo info(qPath);
    // The swap-in would otherwise replace a file the user has made read-only.
    if (info.exists() && (!info.isFile() || !info.isWritable())) return std::string("Permission denied");
    QSaveFile file(qPath);
    if (!file.open(QIODevice::WriteOnly)) return FromQ(file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        std::string error = FromQ(file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) return FromQ(file.errorString());
    return std::nullopt;
}

bool OpenWithAssociatedProgram(const std::string& path, bool showError, DialogService& dialogs) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(ToQ(path)))) return true;
    if (showError) {
        dialogs.ShowMessage({.text = "Error opening file " + path + "." + "\r\n" + "Perhaps the file extension is incorrect.",
                             .title = "Error",
                             .icon = util::MessageIcon::Exclamation});
    }
    return false;
}

}  // namespace kovo::ui
