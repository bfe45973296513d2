#pragma once
// Every message box, question and save-file dialog of the window passes through one
// DialogService, so that tests can answer them and nothing else opens a modal box.
#include <deque>
#include <string>
#include <vector>

#include "util/message.h"
#include "util/run_host.h"

class QWidget;

namespace kovo::ui {

class DialogService : public util::MessageSink {
public:
    // Returns the chosen path, or "" when the user cancelled or the dialog failed.
    // Existing files may be chosen without an overwrite question.
    virtual std::string GetSaveFileName(const std::string& title, const std::string& filter) = 0;
};

// The real boxes: QMessageBox and QFileDialog, owned by `parent` when one is set.
class QtDialogService final : public DialogService {
public:
    explicit QtDialogService(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    util::Answer ShowMessage(const util::Message& message) override;
    std::string GetSaveFileName(const std::string& title, const std::string& filter) override;

private:
    QWidget* parent_;
};

// The test double: answers and file names are queued in advance, messages recorded.
// Without a queued answer a question gets its default button, a plain message Ok.
class ScriptedDialogService final : public DialogService {
public:
    struct FileRequest {
        std::string title;
        std::string filter;
    };

    void QueueAnswer(util::Answer answer) { answers_.push_back(answer); }
    void QueueFileName(std::string path) { fileNames_.push_back(std::move(path)); }

    util::Answer ShowMessage(const util::Message& message) override;
    std::string GetSaveFileName(const std::string& title, const std::string& filter) override;

    const std::vector<util::Message>& Messages() const { return messages_; }
    const std::vector<FileRequest>& FileRequests() const { return fileRequests_; }
    void ClearRecords();

private:
    std::deque<util::Answer> answers_;
    std::deque<std::string> fileNames_;
    std::vector<util::Message> messages_;
    std::vector<FileRequest> fileRequests_;
};

}  // namespace kovo::ui
