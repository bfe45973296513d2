// The pop-up's place over its window, also while a window manager is still placing it.
#include <QCheckBox>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "ui/pop_up.h"
#include "ui/twips.h"
#include "main_window_probe.h"
#include "ui_test_support.h"

namespace kovo::testing {
namespace {

using ui::Axis;

// Stands in for a window manager: a window lands elsewhere shortly after it is shown.
class LatePlacement final : public QObject {
public:
    explicit LatePlacement(QPoint target) : target_(target) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && !placed_) {
            placed_ = true;
            auto* window = static_cast<QWidget*>(watched);
            QTimer::singleShot(0, window, [window, target = target_] { window->move(target); });
        }
        return false;
    }

private:
    QPoint target_;
    bool placed_ = false;
};

// What the main window looked like when the pop-up went up.
class PopUpShowWatch final : public QObject {
public:
    explicit PopUpShowWatch(ui::frmMain& main) : main_(main), controls_(main) {}
    bool seen = false;
    bool windowExposed = false;
    bool startEnabled = true;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show && !seen) {
            seen = true;
            windowExposed = main_.windowHandle() != nullptr && main_.windowHandle()->isExposed();
            startEnabled = controls_.cmdStart()->isEnabled();
        }
        return false;
    }

private:
    ui::frmMain& main_;
    MainControls controls_;
};

QPoint Twips(const QWidget* w, int left, int top) {
    return {ui::TwipsToPixels(left, w, Axis::X), ui::TwipsToPixels(top, w, Axis::Y)};
}

class PopUpTest : public UiTest {};

TEST_F(PopUpTest, LoadingPopUpWaitsUntilTheWindowStandsWhereItIsShown) {
    ScriptedDialogService dialogs;
    ui::frmMain m(dialogs);
    kovo::testing::Probe(m).PopUp().SetNonBlocking(true);
    const MainControls c(m);
    LatePlacement windowManager(QPoint(320, 240));
    m.installEventFilter(&windowManager);
    PopUpShowWatch watch(m);
    kovo::testing::Probe(m).PopUp().installEventFilter(&watch);
    m.StartUp();

    ASSERT_TRUE(watch.seen);
    EXPECT_TRUE(watch.windowExposed);
    EXPECT_FALSE(watch.startEnabled) << "the controls are off while the pop-up is up";
    const QRect frame = m.frameGeometry();
    EXPECT_EQ(frame.x(), 320);
    EXPECT_EQ(frame.y(), 240);
    // Top of chkAppendToOutput + 500, left of cmdStart + 100, from the frame's corner.
    const int left = ui::PixelsToTwips(c.cmdStart()->mapTo(&m, QPoint(0, 0)).x(), &m, Axis::X) + 100;
    const int top = ui::PixelsToTwips(c.chkAppendToOutput()->mapTo(&m, QPoint(0, 0)).y(), &m, Axis::Y) + 500;
    const QPoint spot = frame.topLeft() + Twips(&m, left, top);
    EXPECT_NEAR(kovo::testing::Probe(m).PopUp().x(), spot.x(), 2);
    EXPECT_NEAR(kovo::testing::Probe(m).PopUp().y(), spot.y(), 2);
    EXPECT_TRUE(frame.contains(kovo::testing::Probe(m).PopUp().geometry())) << "pop-up outside its window";
}

TEST_F(PopUpTest, PopUpKeepsItsSpotWhenTheWindowMovesWhileItIsUp) {
    QWidget owner;
    owner.setGeometry(100, 100, 600, 400);
    owner.show();
    Settle();
    ui::frmPopUp popUp(&owner);
    const QPoint target = owner.frameGeometry().topLeft() + QPoint(150, 120);
    // A pop-up of its own: blocking, with the real modal loop.
    popUp.PopUpInForm(&owner, QStringLiteral("Done"), 1200, 300, 300, 500, 800,
                      [&owner, target] { owner.move(target); });
    EXPECT_FALSE(popUp.isVisible());
    ASSERT_EQ(owner.frameGeometry().topLeft(), target);
    const QPoint spot = target + Twips(&owner, 800, 500);
    EXPECT_EQ(popUp.x(), spot.x());
    EXPECT_EQ(popUp.y(), spot.y());
}

}  // namespace
}  // namespace kovo::testing
