#include "scripted_dialog_service.h"

namespace kovo::testing {

util::Answer ScriptedDialogService::ShowMessage(const util::Message& message) {
    messages_.push_back(message);
    owners_.push_back(Owner());
    if (message.buttons == util::MessageButtons::Ok) return util::Answer::Ok;
    if (answers_.empty()) return message.defaultButton;
    const util::Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
}

std::string ScriptedDialogService::GetSaveFileName(const std::string& title, const std::string& filter) {
    fileRequests_.push_back({title, filter});
    owners_.push_back(Owner());
    if (fileNames_.empty()) return {};
    std::string path = std::move(fileNames_.front());
    fileNames_.pop_front();
    return path;
}

ui::DialogService::SaveChoice ScriptedDialogService::GetSaveFileChoice(const std::string& title,
                                                                      const std::string& filters) {
    SaveChoice choice{GetSaveFileName(title, filters), {}};
    if (!selectedFilters_.empty()) {
        choice.selectedFilter = std::move(selectedFilters_.front());
        selectedFilters_.pop_front();
    }
    return choice;
}

void ScriptedDialogService::ClearRecords() {
    messages_.clear();
    fileRequests_.clear();
    owners_.clear();
}

}  // namespace kovo::testing
