#pragma once
// frmView: shows a text file read-only, loaded when the window becomes active.
#include <QWidget>
#include <string>

#include "ui/dialog_service.h"

class QPlainTextEdit;
class QPushButton;

namespace kovo::ui {

class frmView : public QWidget {
    Q_OBJECT

public:
    // Characters the text field holds at most.
    static constexpr std::size_t kCapacity = 65530;
    static constexpr int kCopyWidth = 3270;          // twips
    static constexpr int kCopySelectedWidth = 4425;  // twips
    static constexpr int kMinWidth = 8000;           // twips
    static constexpr int kMinHeight = 2000;          // twips

    explicit frmView(DialogService& dialogs, QWidget* parent = nullptr);

    // Set by the caller before showing the window.
    std::string strFilename;
    bool blnCopyToClipboardInvisible = false;
    // True once the file is in the text field; cleared by a close through the frame.
    bool blnFileDisplayed = false;

    QPlainTextEdit* txbText1;
    QPushButton* cmdCopyToClipboard;
    QPushButton* cmdClose;

    // What the text field holds, with CR LF line ends as read or added.
    const std::string& DisplayedText() const { return displayedText_; }
    // How many times the file has been read (tests: no re-read of a loaded file).
    int FileReads() const { return fileReads_; }

    // The activation action: loads the file unless it is already displayed.
    void OnActivated();

    // The text the field receives for a file's text: unchanged up to 65529 characters,
    // otherwise cut between two notes to exactly 65530 characters.
    static std::string ViewerText(const std::string& fileText);

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void LoadFile();
    bool ReadFile(std::string& text);
    void ApplyResizeRules();
    void SetCopyCaption(bool selection);
    void OnCopyClicked();
    void OnCloseClicked();
    void SetDisplayedText(std::string text);

    DialogService& dialogs_;
    std::string displayedText_;
    int fileReads_ = 0;
    // The failure messages of a load can let the viewer become active again; that must
    // not start a second read of the same file.
    bool loading_ = false;
};

}  // namespace kovo::ui
