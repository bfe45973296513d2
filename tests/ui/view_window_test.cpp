// The viewer: what it shows of a file, the help action and its failure messages.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

#include "astro/catalogue.h"
#include "ui/view_window.h"
#include "main_window_probe.h"
#include "ui_test_support.h"
#include "util/utf8.h"

namespace kovo::testing {
namespace {

using ui::frmView;

const std::string kHead = "NOTE: This file is too large to display entirely in this textbox.\r\n";
const std::string kTail = "\r\n\r\nNOTE: Entire contents of file have not been displayed.\r\n";

std::string Repeat(const std::string& unit, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += unit;
    return text;
}

TEST(ViewerText, FileOfCapacityMinusOneIsShownWhole) {
    const std::string text = Repeat("°", 65529);
    EXPECT_EQ(frmView::ViewerText(text), text);
}

TEST(ViewerText, FileAtCapacityIsCutBetweenTwoNotesToExactlyTheCapacity) {
    const std::string text = Repeat("x", 65530);
    const std::string shown = frmView::ViewerText(text);
    EXPECT_EQ(util::CharCount(shown), 65530u);
    EXPECT_EQ(shown.substr(0, kHead.size()), kHead);
    EXPECT_EQ(shown.substr(shown.size() - kTail.size()), kTail);
    EXPECT_NE(shown.find("WordPad or some other text editor.\r\n\r\nxxx"), std::string::npos);
}

TEST(ViewerText, CutCountsCharactersNotBytes) {
    const std::string shown = frmView::ViewerText(Repeat("°", 70000));
    EXPECT_EQ(util::CharCount(shown), 65530u);
    EXPECT_EQ(shown.substr(shown.size() - kTail.size()), kTail);
}

// A read that blocks would stop the whole test run; the alarm turns it into a failure.
class HangGuard {
public:
    HangGuard() {
        std::signal(SIGALRM, &HangGuard::OnAlarm);
        alarm(20);
    }
    ~HangGuard() { alarm(0); }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

private:
    static void OnAlarm(int) {
        static const char note[] = "the viewer's file read did not return\n";
        [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, note, sizeof note - 1);
        _exit(1);
    }
};

class ViewerTest : public UiTest {
protected:
    void WriteFile(const std::string& path, const std::string& bytes) {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    ScriptedDialogService dialogs_;
};

TEST_F(ViewerTest, MissingFileShowsWorkingFolderThenErrorAndStaysUnloaded) {
    frmView view(dialogs_);
    view.strFilename = TempPath("missing.txt");
    view.show();
    view.OnActivated();
    ASSERT_EQ(dialogs_.Messages().size(), 2u);
    EXPECT_EQ(dialogs_.Messages()[0].text, QDir::currentPath().toStdString());
    EXPECT_EQ(dialogs_.Messages()[0].title, "");
    EXPECT_EQ(dialogs_.Messages()[1].title, "Error reading file");
    EXPECT_EQ(dialogs_.Messages()[1].text.substr(0, 11), "Error 53.  ");
    EXPECT_GT(dialogs_.Messages()[1].text.size(), 11u);
    EXPECT_EQ(dialogs_.Messages()[1].icon, util::MessageIcon::Exclamation);
    EXPECT_FALSE(view.isVisible());
    EXPECT_FALSE(view.blnFileDisplayed);
}

TEST_F(ViewerTest, EmptyFileGetsItsOwnWarning) {
    const std::string path = TempPath("empty.txt");
    WriteFile(path, "");
    frmView view(dialogs_);
    view.strFilename = path;
    view.OnActivated();
    ASSERT_EQ(dialogs_.Messages().size(), 2u);
    EXPECT_NE(dialogs_.Messages()[1].text.find("is empty"), std::string::npos);
    EXPECT_EQ(dialogs_.Messages()[1].icon, util::MessageIcon::Exclamation);
    EXPECT_FALSE(view.blnFileDisplayed);
}

TEST_F(ViewerTest, PipeAndDeviceAreRefusedWithoutWaitingForThem) {
    const std::string fifo = TempPath("help-pipe.txt");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const HangGuard guard;
    for (const std::string& path : {fifo, std::string("/dev/zero")}) {
        dialogs_.ClearRecords();
        frmView view(dialogs_);
        view.strFilename = path;
        view.show();
        view.OnActivated();
        ASSERT_EQ(dialogs_.Messages().size(), 2u) << path;
        EXPECT_EQ(dialogs_.Messages()[0].text, QDir::currentPath().toStdString());
        EXPECT_EQ(dialogs_.Messages()[1].title, "Error reading file");
        EXPECT_EQ(dialogs_.Messages()[1].text, "Error 75.  Not a regular file");
        EXPECT_FALSE(view.isVisible());
        EXPECT_FALSE(view.blnFileDisplayed);
    }
}

TEST_F(ViewerTest, HugeFileIsShownCutWithoutReadingItWhole) {
    const std::string path = TempPath("huge.txt");
    WriteFile(path, "Help for the huge file\r\n");
    {
        // Sparse: takes no room on disk, but reading it all would need two terabytes.
        QFile file(QString::fromStdString(path));
        if (!file.resize(qint64{2} << 40)) GTEST_SKIP() << "no sparse file of that size here";
    }
    const HangGuard guard;
    frmView view(dialogs_);
    view.strFilename = path;
    view.OnActivated();
    ASSERT_TRUE(view.blnFileDisplayed);
    EXPECT_TRUE(dialogs_.Messages().empty());
    const std::string& shown = view.DisplayedText();
    EXPECT_EQ(util::CharCount(shown), frmView::kCapacity);
    EXPECT_EQ(shown.substr(0, kHead.size()), kHead);
    EXPECT_NE(shown.find("\r\n\r\nHelp for the huge file\r\n"), std::string::npos);
    EXPECT_EQ(shown.substr(shown.size() - kTail.size()), kTail);
}

TEST_F(ViewerTest, CopyTakesTheSelectionOrTheWholeText) {
    const std::string path = TempPath("two-lines.txt");
    WriteFile(path, "first line\r\nsecond line\r\n");
    frmView view(dialogs_);
    view.strFilename = path;
    view.show();
    view.OnActivated();
    ASSERT_TRUE(view.blnFileDisplayed);
    EXPECT_EQ(view.DisplayedText(), "first line\r\nsecond line\r\n");
    view.cmdCopyToClipboard->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "first line\nsecond line\n");
    QTextCursor cursor = view.txbText1->textCursor();
    cursor.setPosition(6);
    cursor.setPosition(15, QTextCursor::KeepAnchor);
    view.txbText1->setTextCursor(cursor);
    view.cmdCopyToClipboard->click();
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), "line\nseco");
    EXPECT_EQ(view.cmdCopyToClipboard->text().toStdString(), "Copy to clipboard");
}

TEST_F(ViewerTest, HelpTwiceReadsOnceAndAgainAfterAFrameClose) {
    auto w = Start();
    frmView& view = kovo::testing::Probe(w->main).Viewer();
    w->controls.cmdHelp()->click();
    Settle();
    view.OnActivated();  // in case the platform did not activate the window
    ASSERT_TRUE(view.blnFileDisplayed);
    EXPECT_EQ(view.strFilename, astro::DataFolder() + "KOVO_help.txt");
    EXPECT_EQ(view.windowTitle().toStdString(), "Help");
    EXPECT_TRUE(view.cmdCopyToClipboard->isHidden());
    EXPECT_NE(view.DisplayedText().find("DJIA_data.txt"), std::string::npos);
    EXPECT_EQ(view.FileReads(), 1);

    view.cmdClose->click();
    EXPECT_FALSE(view.isVisible());
    w->controls.cmdHelp()->click();
    Settle();
    view.OnActivated();
    EXPECT_TRUE(view.isVisible());
    EXPECT_EQ(view.FileReads(), 1);

    view.close();
    EXPECT_FALSE(view.blnFileDisplayed);
    w->controls.cmdHelp()->click();
    Settle();
    view.OnActivated();
    EXPECT_EQ(view.FileReads(), 2);
    EXPECT_TRUE(w->dialogs.Messages().empty());
}

}  // namespace
}  // namespace kovo::testing
