// frmMain as the runs' host: the output area, messages, yielding, the run window and
// the "Done" pop-up; and the output file, clear and help commands.
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "astro/catalogue.h"
#include "ui/main_window.h"
#include "ui/output_file.h"
#include "ui/pop_up.h"
#include "ui/qt_text.h"
#include "ui/twips.h"
#include "ui/view_window.h"
#include "util/text.h"
#include "util/utf8.h"

namespace kovo::ui {

namespace {

// The area shows bare line feeds; the canonical text keeps CR LF.
QString Shown(std::string_view text) {
    QString shown = ToQ(text);
    shown.remove(QLatin1Char('\r'));
    return shown;
}

}  // namespace

util::Answer frmMain::ShowMessage(const util::Message& message) {
    // Once the program is ending no more boxes appear: a run that is still winding
    // down gets Yes to its "Stop?" question.
    if (programEnded_) return message.buttons == util::MessageButtons::YesNo ? util::Answer::Yes : message.defaultButton;
    return dialogs_.ShowMessage(message);
}

void frmMain::AppendOutput(std::string_view text) {
    const bool wasEmpty = outputText_.empty();
    outputText_ += text;
    outputChars_ += util::CharCount(text);
    QTextCursor cursor(txbOutput->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(Shown(text));
    if (wasEmpty && !outputText_.empty()) emit resultStateChanged();
}

void frmMain::ClearOutput() {
    const bool hadOutput = !outputText_.empty();
    outputText_.clear();
    outputChars_ = 0;
    txbOutput->clear();
    if (hadOutput) emit resultStateChanged();
}

void frmMain::MoveCaretToEnd() {
    txbOutput->moveCursor(QTextCursor::End);
    txbOutput->ensureCursorVisible();
    txbOutput->update();
}

void frmMain::Yield() { QCoreApplication::processEvents(); }

void frmMain::Progress(double, std::int32_t) { Yield(); }

void frmMain::OutputSink::Append(std::string_view text) {
    window.AppendOutput(text);
    window.MoveCaretToEnd();
}

void frmMain::PrepareRunWindow() {
    if (windowState() != Qt::WindowNoState) return;
    move(frameGeometry().x(), Px(RunTop));
    resize(width(), Px(RunHeight));
}

// At the top of the notice label, 800 twips right of its left edge.
void frmMain::ShowDonePopUp() {
    const QPoint spot = lblNotice->mapTo(this, QPoint(0, 0));
    popUp_->PopUpInForm(this, QStringLiteral("Done"), 1200, 300, 2000, PixelsToTwips(spot.y(), this, Axis::Y),
                        PixelsToTwips(spot.x(), this, Axis::X) + 800);
}

bool frmMain::AppendChecked() const { return chkAppendToOutput->isChecked(); }
void frmMain::SetAppendChecked(bool checked) { chkAppendToOutput->setChecked(checked); }
void frmMain::SetAppendVisible(bool visible) { chkAppendToOutput->setVisible(visible); }
void frmMain::RestoreCompactHeight() { resize(width(), CompactHeightPx()); }

void frmMain::ClearOutputCommand() {
    ClearOutput();
    for (QWidget* w : std::initializer_list<QWidget*>{chkAppendToOutput, cmdFile[0], chkOpenOutputFile, cmdClearOutput})
        w->hide();
    RestoreCompactHeight();
}

void frmMain::WriteOutputToFile() {
    const std::string caption = FromQ(cmdFile[0]->text());
    const std::string trimmed = util::TrimBlanks(outputText_);
    if (trimmed.size() != outputText_.size()) {
        ClearOutput();
        AppendOutput(trimmed);
    }
    if (trimmed.empty()) {
        ShowMessage({.text = "Nothing to write.", .title = caption, .icon = util::MessageIcon::Exclamation});
        return;
    }
    const std::string path = dialogs_.GetSaveFileName("Specify output file", "Text files (*.txt)");
    if (path.empty()) return;
    outputPath_ = path;
    if (std::optional<std::string> error = WriteTextFile(path, outputText_ + "\r\n")) {
        ShowMessage({.text = "Error writing to file " + path + "\r\n" + *error,
                     .title = caption,
                     .icon = util::MessageIcon::Exclamation});
        return;
    }
    if (chkOpenOutputFile->isChecked()) {
        OpenWithAssociatedProgram(path, true, dialogs_);
        return;
    }
    ShowMessage({.text = "Output written to file " + path, .title = "Done", .icon = util::MessageIcon::Information});
}

void frmMain::HelpAction() {
    if (viewer_->isMinimized()) viewer_->showNormal();
    if (viewer_->windowState() == Qt::WindowNoState) {
        const QRect frame = frameGeometry();
        viewer_->move(frame.x() + PxX(100), frame.y() + Px(380));
        viewer_->resize(width() - PxX(200), height() - Px(480));
    }
    viewer_->strFilename = astro::DataFolder() + "KOVO_help.txt";
    viewer_->setWindowTitle(QStringLiteral("Help"));
    viewer_->blnCopyToClipboardInvisible = true;
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

}  // namespace kovo::ui
