#include "ui/save_path.h"

#include <QFileInfo>

#include "ui/dialog_service.h"
#include "ui/qt_text.h"

namespace kovo::ui {

std::string AskSavePath(DialogService& dialogs, const char* title, const std::string& filters,
                        std::string* selectedFilter) {
    DialogService::SaveChoice choice = dialogs.GetSaveFileChoice(title, filters);
    if (choice.path.empty()) return {};
    // Without a reported filter, the first one stands for the choice.
    const std::string& filter = choice.selectedFilter.empty() ? filters : choice.selectedFilter;
    const std::size_t star = filter.find("*.");
    const std::size_t end = filter.find_first_of(" );", star);
    if (QFileInfo(ToQ(choice.path)).suffix().isEmpty() && star != std::string::npos && end != std::string::npos)
        choice.path += filter.substr(star + 1, end - star - 1);
    if (selectedFilter != nullptr) *selectedFilter = choice.selectedFilter;
    return choice.path;
}

}  // namespace kovo::ui
