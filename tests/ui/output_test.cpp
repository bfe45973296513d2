// Writing the output area to a file.
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QPushButton>

#include "ui/output_file.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

std::string ReadAll(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
    return file.readAll().toStdString();
}

void WriteRaw(const std::string& path, const std::string& bytes) {
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

class OutputFileTest : public UiTest {};

TEST_F(OutputFileTest, BlankOutputIsNothingToWriteAndIsTrimmed) {
    auto w = Start();
    w->main.AppendOutput("   ");
    w->main.WriteOutputToFile();
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    const util::Message& m = w->dialogs.Messages()[0];
    EXPECT_EQ(m.text, "Nothing to write.");
    EXPECT_EQ(m.title, "Write output to file");
    EXPECT_EQ(m.icon, util::MessageIcon::Exclamation);
    EXPECT_TRUE(w->dialogs.FileRequests().empty());
    EXPECT_EQ(w->main.OutputLength(), 0u);
}

TEST_F(OutputFileTest, WritesTrimmedTextWithOneMoreLineBreakReplacingAnOldFile) {
    auto w = Start();
    const std::string path = TempPath("report.txt");
    WriteRaw(path, "an older and much longer report that must disappear entirely");
    w->main.AppendOutput("  Mars and Jupiter\r\n10°  ");
    w->dialogs.QueueFileName(path);
    w->main.WriteOutputToFile();

    ASSERT_EQ(w->dialogs.FileRequests().size(), 1u);
    EXPECT_EQ(w->dialogs.FileRequests()[0].title, "Specify output file");
    EXPECT_EQ(w->dialogs.FileRequests()[0].filter, "Text files (*.txt)");
    EXPECT_EQ(kovo::testing::Probe(w->main).OutputText(), "Mars and Jupiter\r\n10°");
    EXPECT_EQ(ReadAll(path), "Mars and Jupiter\r\n10°\r\n");
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Output written to file " + path);
    EXPECT_EQ(w->dialogs.Messages()[0].title, "Done");
    EXPECT_EQ(w->dialogs.Messages()[0].icon, util::MessageIcon::Information);
}

TEST_F(OutputFileTest, UnwritablePathIsReportedWithTheSystemsReason) {
    auto w = Start();
    const std::string path = TempPath("no-such-folder/report.txt");
    w->main.AppendOutput("Mars");
    w->dialogs.QueueFileName(path);
    w->main.WriteOutputToFile();
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    const util::Message& m = w->dialogs.Messages()[0];
    const std::string lead = "Error writing to file " + path + "\r\n";
    ASSERT_EQ(m.text.substr(0, lead.size()), lead);
    EXPECT_GT(m.text.size(), lead.size()) << "the reason is missing";
    EXPECT_EQ(m.title, "Write output to file");
    EXPECT_EQ(m.icon, util::MessageIcon::Exclamation);
}

TEST_F(OutputFileTest, CancelledDialogWritesNothingAndSaysNothing) {
    auto w = Start();
    w->main.AppendOutput("Mars");
    w->main.WriteOutputToFile();
    EXPECT_EQ(w->dialogs.FileRequests().size(), 1u);
    EXPECT_TRUE(w->dialogs.Messages().empty());
}

TEST_F(OutputFileTest, AFolderInPlaceOfTheFileIsRefusedAndKept) {
    const std::string folder = TempPath("a-folder");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    const std::optional<std::string> error = ui::WriteTextFile(folder, "text");
    ASSERT_TRUE(error.has_value());
    EXPECT_FALSE(error->empty());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
}

TEST_F(OutputFileTest, AReadOnlyFileStaysAsItWasEvenForRoot) {
    // The window's files go through the one safe writer, which keeps read-only files.
    const std::string path = TempPath("kept.txt");
    QFile file(QString::fromStdString(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_EQ(ui::WriteTextFile(path, "new"), "the file is read-only");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "old");
    EXPECT_EQ(ui::FailureReason("cannot write a: b.txt: Permission denied"), "Permission denied");
    EXPECT_EQ(ui::FailureReason("cannot encode the chart as PNG"), "cannot encode the chart as PNG");
}

}  // namespace
}  // namespace kovo::testing
