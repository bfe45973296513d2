// The window's exports: the "Export…" button beside the output file command and the
// output area's "Copy results as table".
#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

#include "export/export_document.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

class ExportTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
        w->main.SetTimeZonePosition(14);  // GMT-5:00
    }
    void RunMarsJupiter2026() {
        const char* texts[2][3] = {{"2026", "1", "1"}, {"2026", "12", "31"}};
        for (int i = 0; i < 2; ++i) {
            w->controls.txbYear(i)->setText(QString::fromUtf8(texts[i][0]));
            w->controls.txbMonth(i)->setText(QString::fromUtf8(texts[i][1]));
            w->controls.txbDay(i)->setText(QString::fromUtf8(texts[i][2]));
            w->main.MonthDayLostFocus(i);
        }
        w->controls.cmdStart()->click();
        w->main.Timer1Tick();
        w->dialogs.ClearRecords();
    }
    QPushButton* Export() const { return FindControl<QPushButton>(w->main, QStringLiteral("cmdExport")); }
    QAction* CopyAction() const { return FindControl<QAction>(w->main, QStringLiteral("actCopyResultsAsTable")); }
    static std::string ReadAll(const std::string& path) {
        QFile file(QString::fromStdString(path));
        if (!file.open(QIODevice::ReadOnly)) return "<unreadable>";
        return file.readAll().toStdString();
    }
    std::string Document(exporting::ExportFormat format) const {
        return exporting::ExportDocument(kovo::testing::Probe(w->main).LastRunRecords(), format, {.stampUtc = "x"}).value_or("<none>");
    }

    std::unique_ptr<StartedWindow> w;
};

TEST_F(ExportTest, OffWithoutResultsAndWhileARunHoldsTheWindow) {
    w->main.Timer1Tick();
    EXPECT_FALSE(Export()->isEnabled());
    EXPECT_TRUE(Export()->isHidden()) << "shown with the output file command only";
    EXPECT_FALSE(CopyAction()->isEnabled());
    EXPECT_EQ(Export()->text(), QStringLiteral("Export…"));

    RunMarsJupiter2026();
    EXPECT_TRUE(Export()->isEnabled());
    EXPECT_FALSE(Export()->isHidden());
    EXPECT_TRUE(CopyAction()->isEnabled());
    // Beside the output file command, on its line, overlapping none of the foot's buttons.
    EXPECT_EQ(Export()->y(), w->controls.cmdFile(0)->y());
    for (QWidget* other : std::initializer_list<QWidget*>{w->controls.cmdFile(0), w->controls.chkOpenOutputFile(),
                                                          w->controls.cmdClearOutput(), w->controls.cmdSaveState()})
        EXPECT_FALSE(Export()->geometry().intersects(other->geometry())) << other->objectName().toStdString();

    w->main.EnterBusyState(true);
    EXPECT_FALSE(Export()->isEnabled());
    EXPECT_FALSE(CopyAction()->isEnabled());
    w->main.LeaveBusyState();
    EXPECT_TRUE(Export()->isEnabled());
    w->main.EnterBusyState(false);
    w->main.Timer1Tick();
    EXPECT_TRUE(Export()->isHidden()) << "hidden with the output file command during a transit run";
    w->main.LeaveBusyState();

    // A refused run leaves nothing to export.
    w->controls.txbDay(1)->setText(QStringLiteral("2"));
    w->controls.txbMonth(1)->setText(QStringLiteral("1"));
    w->main.MonthDayLostFocus(1);
    w->controls.cmdStart()->click();
    EXPECT_FALSE(Export()->isEnabled());
    EXPECT_FALSE(CopyAction()->isEnabled());
}

TEST_F(ExportTest, TheFiltersChooseTheFormatAndNamesWithoutOneGetItsExtension) {
    RunMarsJupiter2026();
    const std::string bare = TempPath("results");
    w->dialogs.QueueFileName(bare);
    w->dialogs.QueueSelectedFilter("JSON files (*.json)");
    Export()->click();
    ASSERT_EQ(w->dialogs.FileRequests().size(), 1u);
    EXPECT_EQ(w->dialogs.FileRequests()[0].title, "Export results");
    EXPECT_EQ(w->dialogs.FileRequests()[0].filter, "CSV files (*.csv);;JSON files (*.json);;iCalendar files (*.ics)");
    EXPECT_EQ(ReadAll(bare + ".json"), Document(exporting::ExportFormat::Json));
    EXPECT_FALSE(QFile::exists(QString::fromStdString(bare)));
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].text, "Results exported to file " + bare + ".json");

    // A name that has an extension keeps it; without a reported filter the extension decides.
    const std::string named = TempPath("mars.ics");
    w->dialogs.QueueFileName(named);
    Export()->click();
    const std::string ics = ReadAll(named);
    EXPECT_EQ(ics.rfind("BEGIN:VCALENDAR\r\n", 0), 0u);
    EXPECT_NE(ics.find("SUMMARY:Mars opposition Jupiter (exact\\, geocentric)"), std::string::npos);

    const std::string csv = TempPath("table.txt");
    w->dialogs.QueueFileName(csv);
    w->dialogs.QueueSelectedFilter("CSV files (*.csv)");
    Export()->click();
    EXPECT_EQ(ReadAll(csv), Document(exporting::ExportFormat::Csv));
    EXPECT_NE(ReadAll(csv).find("2026-01-10T09:25-05:00"), std::string::npos) << "the window's zone";

    // Cancelling writes nothing and says nothing.
    w->dialogs.ClearRecords();
    Export()->click();
    EXPECT_TRUE(w->dialogs.Messages().empty());
}

TEST_F(ExportTest, AnUnwritablePathIsReportedAndLeavesNoFile) {
    RunMarsJupiter2026();
    const std::string path = TempPath("no such folder/out.csv");
    w->dialogs.QueueFileName(path);
    Export()->click();
    ASSERT_EQ(w->dialogs.Messages().size(), 1u);
    EXPECT_EQ(w->dialogs.Messages()[0].title, "Export");
    EXPECT_EQ(w->dialogs.Messages()[0].text.rfind("Error writing to file " + path + "\r\n", 0), 0u);
    EXPECT_EQ(w->dialogs.Messages()[0].icon, util::MessageIcon::Exclamation);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path)));
}

TEST_F(ExportTest, CopyResultsAsTablePutsTabSeparatedRowsOnTheClipboard) {
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    CopyAction()->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before")) << "nothing to copy yet";
    RunMarsJupiter2026();
    CopyAction()->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_EQ(text.toStdString(), Document(exporting::ExportFormat::TabSeparated));
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 8) << "the header and seven periods";
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("first\tsecond\tcentricity\taspect\t")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("Mars\tJupiter\tgeocentric\topposition\t\t2026-01-05\t")));
    EXPECT_EQ(lines[1].count(QLatin1Char('\t')), lines[0].count(QLatin1Char('\t')));
}

}  // namespace
}  // namespace kovo::testing
