#pragma once
// Every message box, question and save-file dialog of the window passes through one
// DialogService, so that tests can answer them and nothing else opens a modal box.
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

    // The same dialog with several filters (";;" between them), also telling which
    // filter was selected; "" when the service cannot tell.
    struct SaveChoice {
        std::string path;
        std::string selectedFilter;
    };
    virtual SaveChoice GetSaveFileChoice(const std::string& title, const std::string& filters) {
        return {GetSaveFileName(title, filters), {}};
    }
    // Returns the chosen existing file, or "" when the user cancelled. None by default.
    virtual std::string GetOpenFileName(const std::string& /*title*/, const std::string& /*filter*/) { return {}; }
    // A zone of the tz database chosen from `names`, the list starting at `start`; ""
    // when the user cancelled. None by default.
    virtual std::string ChooseNamedZone(const std::vector<std::string>& /*names*/, const std::string& /*start*/) {
        return {};
    }

    // The window the boxes shown from now on belong to: they open over it, and the
    // window manager leaves the others where they are. nullptr: the service's own.
    void SetOwner(QWidget* owner) { owner_ = owner; }
    QWidget* Owner() const { return owner_; }

private:
    QWidget* owner_ = nullptr;
};

// A window's own view of the shared service: each box it opens belongs to that window,
// for the time the box is open.
class WindowDialogs final : public DialogService {
public:
    WindowDialogs(DialogService& shared, QWidget* window) : shared_(shared), window_(window) {}

    util::Answer ShowMessage(const util::Message& message) override;
    std::string GetSaveFileName(const std::string& title, const std::string& filter) override;
    SaveChoice GetSaveFileChoice(const std::string& title, const std::string& filters) override;
    std::string GetOpenFileName(const std::string& title, const std::string& filter) override;
    std::string ChooseNamedZone(const std::vector<std::string>& names, const std::string& start) override;

private:
    template <typename Ask>
    auto Owned(Ask ask);

    DialogService& shared_;
    QWidget* window_;
};

// The real boxes: QMessageBox and QFileDialog, owned by the owner when one is set,
// otherwise by `parent`.
class QtDialogService final : public DialogService {
public:
    explicit QtDialogService(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    util::Answer ShowMessage(const util::Message& message) override;
    std::string GetSaveFileName(const std::string& title, const std::string& filter) override;
    SaveChoice GetSaveFileChoice(const std::string& title, const std::string& filters) override;
    std::string GetOpenFileName(const std::string& title, const std::string& filter) override;
    std::string ChooseNamedZone(const std::vector<std::string>& names, const std::string& start) override;

private:
    QWidget* Parent() const { return Owner() != nullptr ? Owner() : parent_; }

    QWidget* parent_;
};

}  // namespace kovo::ui
