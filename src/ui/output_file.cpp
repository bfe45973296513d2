#include "ui/output_file.h"

#include <QDesktopServices>
#include <QUrl>

#include "ui/dialog_service.h"
#include "ui/qt_text.h"
#include "util/safe_file.h"

namespace kovo::ui {

std::optional<std::string> WriteTextFile(const std::string& path, std::string_view bytes) {
    const std::string failure = util::WriteFileAtomically(path, bytes);
    if (failure.empty()) return std::nullopt;
    return FailureReason(failure);
}

std::string FailureReason(const std::string& message) {
    const std::size_t colon = message.rfind(": ");
    return colon == std::string::npos ? message : message.substr(colon + 2);
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
