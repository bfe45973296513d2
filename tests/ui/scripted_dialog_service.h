#pragma once
// The window tests' dialog service: answers and file names are queued in advance and
// every message is recorded, so that no test ever opens a modal box.
#include <deque>
#include <string>
#include <vector>

#include "ui/dialog_service.h"

namespace kovo::testing {

// Without a queued answer a question gets its default button, a plain message Ok.
class ScriptedDialogService final : public ui::DialogService {
public:
    struct FileRequest {
        std::string title;
        std::string filter;
    };

    void QueueAnswer(util::Answer answer) { answers_.push_back(answer); }
    void QueueFileName(std::string path) { fileNames_.push_back(std::move(path)); }
    // The filter reported with the next file name of GetSaveFileChoice ("" by default).
    void QueueSelectedFilter(std::string filter) { selectedFilters_.push_back(std::move(filter)); }

    util::Answer ShowMessage(const util::Message& message) override;
    std::string GetSaveFileName(const std::string& title, const std::string& filter) override;
    SaveChoice GetSaveFileChoice(const std::string& title, const std::string& filters) override;
    // Open-file requests take from the same queue of file names.
    std::string GetOpenFileName(const std::string& title, const std::string& filter) override {
        return GetSaveFileName(title, filter);
    }

    // The zone the next "Named zone…" choice returns ("" cancels, as without one).
    void QueueZone(std::string zone) { zones_.push_back(std::move(zone)); }
    std::string ChooseNamedZone(const std::vector<std::string>& names, const std::string& start) override {
        owners_.push_back(Owner());
        zoneRequests_.push_back({names.size(), start});
        if (zones_.empty()) return {};
        std::string zone = std::move(zones_.front());
        zones_.pop_front();
        return zone;
    }
    struct ZoneRequest {
        std::size_t names = 0;
        std::string start;
    };
    const std::vector<ZoneRequest>& ZoneRequests() const { return zoneRequests_; }

    const std::vector<util::Message>& Messages() const { return messages_; }
    // The owner (see DialogService::Owner) of every message and file request, in order.
    const std::vector<const QWidget*>& Owners() const { return owners_; }
    const std::vector<FileRequest>& FileRequests() const { return fileRequests_; }
    void ClearRecords();

private:
    std::deque<util::Answer> answers_;
    std::deque<std::string> fileNames_;
    std::deque<std::string> selectedFilters_;
    std::vector<util::Message> messages_;
    std::vector<FileRequest> fileRequests_;
    std::deque<std::string> zones_;
    std::vector<ZoneRequest> zoneRequests_;
    std::vector<const QWidget*> owners_;
};

}  // namespace kovo::testing
