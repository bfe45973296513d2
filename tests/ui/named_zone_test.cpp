// The time-zone list's "Named zone…" entry: choosing a zone of the tz database, runs in
// it, and keeping it in the saved state beside the fixed entries.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/named_time_zone.h"
#include "ui/named_zone_dialog.h"
#include "ui/registry.h"
#include "support/scoped_env.h"
#include "ui/zone_list.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

constexpr int kNamed = 48;

class NamedZoneTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        w = Start();
    }
    QComboBox* Zones() const { return w->controls.cboTimezone(0); }
    // What a user's pick from the list does: select the entry, then activate it.
    void Pick(int position) const {
        Zones()->setCurrentIndex(position);
        emit Zones()->activated(position);
    }
    void RunSunMars2026() {
        w->controls.cboPlanet(0)->setCurrentIndex(0);  // the Sun
        w->controls.cboPlanet(1)->setCurrentIndex(2);  // Mars
        const char* texts[2][3] = {{"2026", "1", "1"}, {"2026", "12", "31"}};
        for (int i = 0; i < 2; ++i) {
            w->controls.txbYear(i)->setText(QString::fromUtf8(texts[i][0]));
            w->controls.txbMonth(i)->setText(QString::fromUtf8(texts[i][1]));
            w->controls.txbDay(i)->setText(QString::fromUtf8(texts[i][2]));
            w->main.MonthDayLostFocus(i);
        }
        w->controls.cmdStart()->click();
    }

    std::unique_ptr<StartedWindow> w;
};

TEST_F(NamedZoneTest, LastEntryOpensTheListAtTheSystemZoneAndKeepsTheChoice) {
    ASSERT_EQ(Zones()->count(), kNamed + 1) << "the 48 fixed entries stay as they are";
    EXPECT_EQ(Zones()->itemText(kNamed), QStringLiteral("Named zone…"));
    EXPECT_EQ(Zones()->itemText(24), QStringLiteral("GMT"));

    Pick(14);  // GMT-5:00
    w->dialogs.QueueZone("America/New_York");
    Pick(kNamed);
    ASSERT_EQ(w->dialogs.ZoneRequests().size(), 1u);
    EXPECT_GT(w->dialogs.ZoneRequests()[0].names, 300u);
    EXPECT_EQ(w->dialogs.ZoneRequests()[0].start, platform::SystemTimeZoneName());
    EXPECT_EQ(Zones()->currentIndex(), kNamed);
    EXPECT_EQ(Zones()->currentText(), QStringLiteral("America/New_York"));

    // Choosing again starts at the zone chosen; cancelling keeps it.
    Pick(kNamed);
    EXPECT_EQ(w->dialogs.ZoneRequests().back().start, "America/New_York");
    EXPECT_EQ(Zones()->currentIndex(), kNamed);

    // The North American abbreviations rebuild the fixed entries and leave the choice alone.
    w->controls.chkDisplayNATZabbr()->click();
    EXPECT_EQ(Zones()->currentIndex(), kNamed);
    EXPECT_EQ(Zones()->currentText(), QStringLiteral("America/New_York"));
}

// A zone longer than the list box shows its city, its start left out, and the whole name
// in the tooltip; the entry's own text stays whole for the runs.
TEST_F(NamedZoneTest, ALongZoneShowsItsCityAndItsWholeNameInTheTooltip) {
    w->main.show();
    Settle();
    const QString zone = QStringLiteral("America/Argentina/Buenos_Aires");
    w->dialogs.QueueZone(zone.toStdString());
    Pick(kNamed);
    ASSERT_EQ(Zones()->currentText(), zone);
    EXPECT_EQ(Zones()->toolTip(), zone);
    const auto* list = dynamic_cast<ui::ZoneList*>(Zones());
    ASSERT_NE(list, nullptr);
    const QString shown = list->ShownText();
    EXPECT_TRUE(shown.endsWith(QStringLiteral("Buenos_Aires"))) << shown.toStdString();
    EXPECT_LE(list->fontMetrics().horizontalAdvance(shown), list->width());
    // New York fits with some of its region.
    w->dialogs.QueueZone("America/New_York");
    Pick(kNamed);
    EXPECT_TRUE(list->ShownText().endsWith(QStringLiteral("/New_York"))) << list->ShownText().toStdString();
    EXPECT_EQ(Zones()->toolTip(), QStringLiteral("America/New_York"));

    Pick(24);  // GMT fits: shown whole, no tooltip
    EXPECT_EQ(list->ShownText(), QStringLiteral("GMT"));
    EXPECT_TRUE(Zones()->toolTip().isEmpty());
}

// In the search field, Down and Up move through the zones the search leaves shown.
TEST_F(NamedZoneTest, DownAndUpInTheSearchFieldMoveThroughTheList) {
    const std::vector<std::string> names{"America/New_York", "Europe/Berlin", "Europe/London", "Europe/Paris"};
    ui::NamedZoneDialog dialog(nullptr, names, "Europe/Berlin");
    auto* search = dialog.findChild<QLineEdit*>(QStringLiteral("txbZoneSearch"));
    ASSERT_NE(search, nullptr);
    QTest::keyClicks(search, QStringLiteral("europe"));
    EXPECT_EQ(dialog.Chosen(), "Europe/Berlin");
    QTest::keyClick(search, Qt::Key_Down);
    EXPECT_EQ(dialog.Chosen(), "Europe/London");
    QTest::keyClick(search, Qt::Key_Down);
    QTest::keyClick(search, Qt::Key_Down);  // stays on the last
    EXPECT_EQ(dialog.Chosen(), "Europe/Paris");
    QTest::keyClick(search, Qt::Key_Up);
    QTest::keyClick(search, Qt::Key_Up);
    QTest::keyClick(search, Qt::Key_Up);  // never onto the hidden New York
    EXPECT_EQ(dialog.Chosen(), "Europe/Berlin");
    EXPECT_EQ(search->text(), QStringLiteral("europe"));
}

TEST_F(NamedZoneTest, CancellingTheFirstChoiceGoesBackToTheFixedEntry) {
    Pick(33);  // GMT+4:30
    Pick(kNamed);  // nothing queued: cancelled
    EXPECT_EQ(Zones()->currentIndex(), 33);
    EXPECT_EQ(Zones()->itemText(kNamed), QStringLiteral("Named zone…"));
}

TEST_F(NamedZoneTest, RunsGiveEachExactTimeItsOwnOffsetAndAbbreviation) {
    w->dialogs.QueueZone("America/New_York");
    Pick(kNamed);
    RunSunMars2026();
    const std::string& out = kovo::testing::Probe(w->main).OutputText();
    EXPECT_NE(out.find(", times in America/New_York"), std::string::npos) << out;
    EXPECT_NE(out.find("06:41 EST"), std::string::npos) << "January: standard time";
    EXPECT_NE(out.find("05:33 EDT"), std::string::npos) << "May: daylight saving, an hour on the fixed entry";
    EXPECT_EQ(Zones()->currentIndex(), kNamed) << "a run leaves the choice in place";
}

TEST_F(NamedZoneTest, SavedStateKeepsTheZoneAndOlderStatesKeepTheirEntry) {
    w->dialogs.QueueZone("Asia/Kathmandu");
    Pick(kNamed);
    w->main.SaveState();
    EXPECT_EQ(QSettings(StateFile(), QSettings::IniFormat).value(QStringLiteral("TZName")).toString().toStdString(),
              "Asia/Kathmandu");
    w.reset();
    w = Start();
    EXPECT_EQ(Zones()->currentIndex(), kNamed);
    EXPECT_EQ(Zones()->currentText(), QStringLiteral("Asia/Kathmandu"));

    // A state saved before named zones, or naming a zone the database does not know.
    w.reset();
    {
        QSettings state(StateFile(), QSettings::IniFormat);
        state.remove(QStringLiteral("TZName"));
        state.setValue(QStringLiteral("TZ0"), QStringLiteral("14"));
    }
    w = Start();
    EXPECT_EQ(Zones()->currentIndex(), 14);
    EXPECT_EQ(Zones()->itemText(kNamed), QStringLiteral("Named zone…"));
    w.reset();
    {
        QSettings state(StateFile(), QSettings::IniFormat);
        state.setValue(QStringLiteral("TZName"), QStringLiteral("Atlantis/Capital"));
        state.setValue(QStringLiteral("TZ0"), QStringLiteral("48"));
    }
    w = Start();
    EXPECT_EQ(Zones()->currentIndex(), 24) << "GMT, as for any damaged value";
}

TEST_F(NamedZoneTest, ASavedZoneWhoseFileIsDamagedIsSaidNotUsed) {
    w->dialogs.QueueZone("Asia/Kathmandu");
    Pick(kNamed);
    w->main.SaveState();
    w.reset();
    const std::filesystem::path folder = TempPath("tzdb");
    std::filesystem::create_directories(folder / "Asia");
    std::ofstream(folder / "Asia/Kathmandu", std::ios::binary) << "TZif2 and then nothing of use";
    w = Start();
    // The start-up's messages are cleared for the tests; restoring the state again reads it alike.
    {
        const ScopedEnv tzdir("TZDIR", folder.string());
        w->main.findChild<QPushButton*>(QStringLiteral("cmdRestoreState"))->click();
    }
    std::filesystem::remove_all(folder);
    ASSERT_FALSE(w->dialogs.Messages().empty());
    EXPECT_EQ(w->dialogs.Messages().back().text,
              "The time-zone database entry Asia/Kathmandu cannot be read: it is cut short.");
    EXPECT_EQ(Zones()->itemText(kNamed), QStringLiteral("Named zone…"));
}

}  // namespace
}  // namespace kovo::testing
