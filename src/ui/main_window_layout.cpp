// frmMain layout: the frames are laid out by Qt layouts in a top panel so that no
// caption is clipped whatever font stands in for Arial; the output area and the row
// of buttons below it follow the window's height by the resize rules.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QResizeEvent>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/main_window.h"

namespace kovo::ui {

namespace {

constexpr int kMarginTwips = 190;  // left and right of the output area: 380 together
constexpr int kTopTwips = 60;
constexpr int kOutputGapTwips = 130;
constexpr int kFootTwips = 1250;
constexpr int kButtonGapTwips = 150;
constexpr int kMinButtonTwips = 1300;
// Below this height the output area would be a sliver; it is then left out of view.
constexpr int kMinOutputTwips = 240;

void KeepSpaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

}  // namespace

void frmMain::LayOutPlanetFrame() {
    auto* planets = new QGridLayout(Frame1);
    for (int i = 0; i < 2; ++i) {
        planets->addWidget(lblPlanet[static_cast<std::size_t>(i)], i, 0);
        planets->addWidget(cboPlanet[static_cast<std::size_t>(i)], i, 1);
    }
    planets->addWidget(lblTimezone, 2, 0);
    planets->addWidget(cboTimezone[0], 2, 1);
    planets->addWidget(chkDisplayNATZabbr, 3, 1, 1, 4);
    for (int i = 0; i < 3; ++i) {
        planets->addWidget(lblOrbs[static_cast<std::size_t>(i)], i, 3);
        planets->addWidget(cboOrbs[static_cast<std::size_t>(i)], i, 4);
    }
    planets->setColumnMinimumWidth(2, PxX(120));
}

void frmMain::LayOutDateFrame() {
    auto* dates = new QGridLayout(Frame2);
    dates->addWidget(lblYear, 0, 1);
    dates->addWidget(lblMonthDay, 0, 2, 1, 2);
    for (int i = 0; i < 2; ++i) {
        const auto s = static_cast<std::size_t>(i);
        dates->addWidget(lblStartEnd[s], i + 1, 0);
        dates->addWidget(txbYear[s], i + 1, 1);
        dates->addWidget(txbMonth[s], i + 1, 2);
        dates->addWidget(txbDay[s], i + 1, 3);
        dates->addWidget(lblDate[s], i + 1, 4);
        // Room for the longest date in words, "September 30, 2799 CE".
        lblDate[s]->setMinimumWidth(PxX(2900));
    }
    dates->setRowStretch(3, 1);
    dates->setColumnStretch(4, 1);
}

void frmMain::LayOutSmallFrames() {
    auto* aspects = new QVBoxLayout(fraAspectTypes);
    aspects->setSpacing(0);
    aspects->addWidget(Label3);
    for (QCheckBox* box : chkAspectType) aspects->addWidget(box);
    aspects->addWidget(cmdAll);
    aspects->addStretch(1);

    auto* centricity = new QVBoxLayout(fraCentricity);
    centricity->addWidget(Label2);
    centricity->addWidget(optGeocentric);
    centricity->addWidget(optHeliocentric);
    centricity->addStretch(1);

    auto* search = new QHBoxLayout(Frame3);
    search->addWidget(cmdSearch);
    search->addWidget(Label1);
    search->addWidget(cboSearchAspect);
    search->addWidget(cboOrbs[3]);
    search->addWidget(cboSearchWhen);
    search->addSpacing(PxX(150));
    search->addWidget(chkKeepDates);
    search->addStretch(1);
}

QLayout* frmMain::LayOutRunControls() {
    auto* runs = new QGridLayout();
    runs->addWidget(lblConstructTransitTables, 0, 0, 1, 2);
    runs->addWidget(cmdStart, 1, 0, 1, 2);
    runs->addWidget(cmdShowAll[0], 2, 0);
    runs->addWidget(cmdShowAll[1], 2, 1);
    runs->addWidget(chkAppendToOutput, 3, 0, 1, 2);
    runs->setRowStretch(4, 1);
    KeepSpaceWhenHidden(chkAppendToOutput);
    return runs;
}

void frmMain::CreateLayout() {
    LayOutPlanetFrame();
    LayOutDateFrame();
    LayOutSmallFrames();
    QLayout* runs = LayOutRunControls();

    // The simulation's controls stand beside the centricity, since it needs heliocentric.
    auto* simulation = new QVBoxLayout();
    // The timeline, the backtest and the cycles, in the blank beside the centricity: the
    // foot's buttons fill its line.
    auto* extras = new QHBoxLayout();
    extras->addWidget(cmdChart);
    extras->addWidget(cmdBacktest);
    extras->addWidget(cmdCycles);
    extras->addStretch(1);
    simulation->addLayout(extras);
    // A fourth button on the line would widen the window: the research goes under them.
    auto* research = new QHBoxLayout();
    research->addWidget(cmdResearch);
    research->addStretch(1);
    simulation->addLayout(research);
    simulation->addStretch(1);
    simulation->addWidget(chkIncludeTransitDetails);
    simulation->addWidget(cmdSimulateInvestment);
    auto* options = new QHBoxLayout();
    options->addWidget(fraCentricity);
    options->addLayout(simulation, 1);

    // The panel that holds the frames; the output area and the foot are placed by hand.
    topPanel_ = new QWidget(this);
    topPanel_->setObjectName(QStringLiteral("topPanel"));
    auto* grid = new QGridLayout(topPanel_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setVerticalSpacing(Px(60));
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame2, 0, 1);
    grid->addWidget(fraAspectTypes, 0, 2, 2, 1);
    grid->addLayout(options, 1, 0);
    grid->addLayout(runs, 1, 1);
    grid->addWidget(Frame3, 2, 0, 1, 3);
    for (QWidget* foot : std::initializer_list<QWidget*>{cmdFile[0], cmdClearOutput, chkOpenOutputFile})
        KeepSpaceWhenHidden(foot);
    FitWidthAroundOutput();
}

// Places the frames, then fits the output area under them and the window around it.
void frmMain::FitWidthAroundOutput() {
    const QSize panel = topPanel_->sizeHint();
    topPanel_->setGeometry(PxX(kMarginTwips), Px(kTopTwips), panel.width(), panel.height());
    topPanel_->layout()->setGeometry(topPanel_->rect());
    const int outputTop = Frame3->mapTo(this, QPoint(0, Frame3->height())).y() + Px(kOutputGapTwips);
    txbOutput->move(topPanel_->x(), outputTop);
    fixedWidth_ = topPanel_->x() + panel.width() + PxX(kMarginTwips);
    setMinimumSize(fixedWidth_, CompactHeightPx());
    resize(fixedWidth_, std::max(height(), CompactHeightPx()));
}

int frmMain::CompactHeightPx() const {
    // Never so low that the foot would fall out of the window, whatever the fonts.
    const int frames = topPanel_ != nullptr ? topPanel_->geometry().bottom() : 0;
    return std::max(Px(CompactHeight), frames + Px(kOutputGapTwips + kFootTwips));
}

void frmMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyResizeRules();
}

void frmMain::ApplyResizeRules() {
    if (isMinimized()) return;
    if (!blnStartUpCompleted) {
        if (height() != CompactHeightPx()) resize(width(), CompactHeightPx());
    } else if (!isMaximized()) {
        const int screenHeight = screen() != nullptr ? screen()->geometry().height() : 1024;
        const int highest = std::max(CompactHeightPx(), screenHeight * 95 / 100);
        const int wanted = std::clamp(height(), CompactHeightPx(), highest);
        if (width() != fixedWidth_ || height() != wanted) resize(fixedWidth_, wanted);
    }
    // The output area and the foot follow whatever height the window now has.
    const int outputTop = txbOutput->y();
    const int outputHeight = std::max(0, height() - outputTop - Px(kFootTwips));
    txbOutput->setGeometry(topPanel_->x(), outputTop, topPanel_->width(), outputHeight);
    txbOutput->setVisible(outputHeight >= Px(kMinOutputTwips));
    const int footTop = outputTop + outputHeight + Px(kButtonGapTwips);
    const int right = topPanel_->x() + topPanel_->width();
    const int buttonHeight = cmdQuit->sizeHint().height();
    auto buttonWidth = [this](QPushButton* b) { return std::max(b->sizeHint().width(), PxX(kMinButtonTwips)); };
    int x = right;
    for (QPushButton* b : {cmdQuit, cmdHelp, cmdRestoreState, cmdSaveState}) {
        x -= buttonWidth(b);
        b->setGeometry(x, footTop, buttonWidth(b), buttonHeight);
        x -= PxX(100);
    }
    x = topPanel_->x();
    cmdFile[0]->setGeometry(x, footTop, buttonWidth(cmdFile[0]), buttonHeight);
    x += cmdFile[0]->width() + PxX(120);
    chkOpenOutputFile->setGeometry(x, footTop + Px(50), chkOpenOutputFile->sizeHint().width(),
                                   chkOpenOutputFile->sizeHint().height());
    x += chkOpenOutputFile->width() + PxX(200);
    cmdClearOutput->setGeometry(x, footTop, buttonWidth(cmdClearOutput), buttonHeight);
    PlaceExportButton();
    lblNotice->setGeometry(topPanel_->x(), footTop + buttonHeight + Px(60), PxX(1200), Px(300));
}

}  // namespace kovo::ui
