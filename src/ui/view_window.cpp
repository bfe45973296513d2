#include "ui/view_window.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

#include "ui/qt_text.h"
#include "ui/twips.h"
#include "util/utf8.h"

namespace kovo::ui {

namespace {

const std::string kFirstNote = std::string("NOTE: This file is too large to display entirely in this textbox.") +
                               "\r\n" + "To view the entire contents of the file load it into NotePad," + "\r\n" +
                               "WordPad or some other text editor." + "\r\n" + "\r\n";
const std::string kLastNote =
    std::string("\r\n") + "\r\n" + "NOTE: Entire contents of file have not been displayed." + "\r\n";

// Error numbers in the style of the program's other file messages.
constexpr int kFileNotFound = 53;
constexpr int kInputPastEnd = 62;
constexpr int kPathAccessError = 75;
constexpr int kDeviceError = 57;

// The field shows 65530 characters at most, four bytes each at worst; reading further
// would change nothing on screen, and a file that never ends would never be done.
constexpr qint64 kMostBytesRead = 4 * 1024 * 1024;
static_assert(kMostBytesRead > 4 * static_cast<qint64>(frmView::kCapacity));

}  // namespace

frmView::frmView(DialogService& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window),
      txbText1(new QPlainTextEdit(this)),
      cmdCopyToClipboard(new QPushButton(QStringLiteral("Copy to clipboard"), this)),
      cmdClose(new QPushButton(QStringLiteral("Close"), this)),
      dialogs_(dialogs) {
    setObjectName(QStringLiteral("frmView"));
    setWindowTitle(QStringLiteral("Viewing"));
    txbText1->setObjectName(QStringLiteral("txbText1"));
    txbText1->setReadOnly(true);
    txbText1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Plain text files line up their columns with blanks.
    QFont font(QStringLiteral("Courier New"), 9);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    txbText1->setFont(font);
    txbText1->viewport()->installEventFilter(this);
    cmdCopyToClipboard->setObjectName(QStringLiteral("cmdCopyToClipboard"));
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    setMinimumSize(TwipsToPixels(kMinWidth, this, Axis::X), TwipsToPixels(kMinHeight, this, Axis::Y));
    connect(cmdCopyToClipboard, &QPushButton::clicked, this, &frmView::OnCopyClicked);
    connect(cmdClose, &QPushButton::clicked, this, &frmView::OnCloseClicked);
}

std::string frmView::ViewerText(const std::string& fileText) {
    if (util::CharCount(fileText) < kCapacity) return fileText;
    const std::size_t part = kCapacity - util::CharCount(kFirstNote) - util::CharCount(kLastNote);
    return kFirstNote + util::LeftChars(fileText, part) + kLastNote;
}

void frmView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) OnActivated();
}

void frmView::OnActivated() {
    if (blnFileDisplayed || loading_) return;
    loading_ = true;
    LoadFile();
    loading_ = false;
}

void frmView::LoadFile() {
    cmdClose->setText(QStringLiteral("Close"));
    SetDisplayedText({});
    SetCopyCaption(false);
    cmdCopyToClipboard->setVisible(!blnCopyToClipboardInvisible);
    cmdCopyToClipboard->setEnabled(!blnCopyToClipboardInvisible);
    txbText1->setReadOnly(true);
    ApplyResizeRules();
    std::string text;
    if (!ReadFile(text)) {
        // This attempt is over; the next activation after a new show tries again.
        hide();
        return;
    }
    SetDisplayedText(ViewerText(text));
    txbText1->moveCursor(QTextCursor::Start);
    txbText1->update();
    blnFileDisplayed = true;
}

bool frmView::ReadFile(std::string& text) {
    ++fileReads_;
    QFile file(ToQ(strFilename));
    const QFileInfo info(file.fileName());
    int number = 0;
    std::string description;
    if (info.exists() && !info.isFile()) {
        // Opening a pipe waits for a writer and a device may never end: either would
        // hold the window, so only regular files are opened.
        number = kPathAccessError;
        description = "Not a regular file";
    } else if (!file.open(QIODevice::ReadOnly)) {
        number = !info.exists() ? kFileNotFound : kPathAccessError;
        description = FromQ(file.errorString());
    } else {
        const QByteArray bytes = file.read(kMostBytesRead);
        if (file.error() != QFileDevice::NoError) {
            number = kDeviceError;
            description = FromQ(file.errorString());
        } else if (bytes.isEmpty()) {
            number = kInputPastEnd;
        } else {
            text.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            return true;
        }
    }
    dialogs_.ShowMessage({.text = FromQ(QDir::currentPath()), .title = {}});
    if (number == kInputPastEnd) {
        dialogs_.ShowMessage({.text = "The file " + strFilename + " is empty.",
                              .title = "Empty file",
                              .icon = util::MessageIcon::Exclamation});
    } else {
        dialogs_.ShowMessage({.text = "Error " + std::to_string(number) + ".  " + description,
                              .title = "Error reading file",
                              .icon = util::MessageIcon::Exclamation});
    }
    return false;
}

void frmView::SetDisplayedText(std::string text) {
    displayedText_ = std::move(text);
    QString shown = ToQ(displayedText_);
    shown.remove(QLatin1Char('\r'));
    txbText1->setPlainText(shown);
}

void frmView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (!isMinimized()) ApplyResizeRules();
}

void frmView::ApplyResizeRules() {
    const int margin = TwipsToPixels(225, this, Axis::X);
    const int top = TwipsToPixels(120, this, Axis::Y);
    const int textWidth = std::max(0, width() - TwipsToPixels(450, this, Axis::X));
    const int textHeight = std::max(0, height() - TwipsToPixels(1200, this, Axis::Y));
    txbText1->setGeometry(margin, top, textWidth, textHeight);
    const int buttonTop = top + textHeight + TwipsToPixels(100, this, Axis::Y);
    const int buttonHeight = cmdClose->sizeHint().height();
    cmdCopyToClipboard->setGeometry(margin, buttonTop, cmdCopyToClipboard->width(), buttonHeight);
    const int closeWidth = std::max(cmdClose->sizeHint().width(), TwipsToPixels(1200, this, Axis::X));
    cmdClose->setGeometry(margin + textWidth - closeWidth, buttonTop, closeWidth, buttonHeight);
}

void frmView::SetCopyCaption(bool selection) {
    cmdCopyToClipboard->setText(selection ? QStringLiteral("Copy selected text to clipboard")
                                          : QStringLiteral("Copy to clipboard"));
    const int width = TwipsToPixels(selection ? kCopySelectedWidth : kCopyWidth, this, Axis::X);
    cmdCopyToClipboard->resize(std::max(width, cmdCopyToClipboard->sizeHint().width()),
                               cmdCopyToClipboard->height());
}

bool frmView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txbText1->viewport() && event->type() == QEvent::MouseButtonRelease &&
        cmdCopyToClipboard->isVisible() && cmdCopyToClipboard->isEnabled()) {
        SetCopyCaption(txbText1->textCursor().hasSelection());
    }
    return QWidget::eventFilter(watched, event);
}

void frmView::OnCopyClicked() {
    if (!txbText1->document()->isEmpty()) {
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->clear();
        const QTextCursor cursor = txbText1->textCursor();
        QString text = cursor.hasSelection() ? cursor.selectedText() : txbText1->toPlainText();
        // A selection marks its line breaks with the paragraph separator.
        text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
        clipboard->setText(text);
    }
    SetCopyCaption(false);
    cmdClose->setFocus();
}

void frmView::OnCloseClicked() { hide(); }

void frmView::closeEvent(QCloseEvent* event) {
    blnFileDisplayed = false;
    event->accept();
}

}  // namespace kovo::ui
