// frmMain construction: every control with its name and caption, and the wiring of
// the controls' events to their handlers.
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "ui/main_window.h"
#include "ui/pop_up.h"
#include "ui/twips.h"
#include "ui/view_window.h"
#include "ui/zone_list.h"

namespace kovo::ui {

frmMain::frmMain(DialogService& dialogs, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), popUp_(new frmPopUp(this)), viewer_(new frmView(dialogs, this)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(util::kProgramTitle));
    CreateControls();
    CreateChartButton();
    CreateLayout();
    ConnectEvents();
}

frmMain::~frmMain() = default;

QPushButton* frmMain::MakeButton(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    buttons_.push_back(button);
    return button;
}

QCheckBox* frmMain::MakeCheckBox(QWidget* parent, const char* name, const char* caption) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    checkBoxes_.push_back(box);
    return box;
}

QLabel* frmMain::MakeLabel(QWidget* parent, const char* name, const char* caption) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setObjectName(QString::fromLatin1(name));
    labels_.push_back(label);
    return label;
}

QComboBox* frmMain::MakeList(QWidget* parent, const char* name, QComboBox* list) {
    if (list == nullptr) list = new QComboBox(parent);
    list->setObjectName(QString::fromLatin1(name));
    list->setEditable(false);
    lists_.push_back(list);
    return list;
}

QLineEdit* frmMain::MakeTextField(QWidget* parent, const char* name, int widthTwips) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    if (widthTwips > 0) field->setFixedWidth(PxX(widthTwips));
    textFields_.push_back(field);
    return field;
}

void frmMain::CreateControls() {
    CreateFrames();
    CreateRunControls();
    CreateOutputControls();
    CreateExportControls();
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
}

void frmMain::CreateFrames() {
    for (QGroupBox** frame : {&Frame1, &Frame2, &Frame3, &fraAspectTypes, &fraCentricity}) {
        *frame = new QGroupBox(this);
        frames_.push_back(*frame);
    }
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame2->setObjectName(QStringLiteral("Frame2"));
    Frame3->setObjectName(QStringLiteral("Frame3"));
    fraAspectTypes->setObjectName(QStringLiteral("fraAspectTypes"));
    fraCentricity->setObjectName(QStringLiteral("fraCentricity"));
    CreatePlanetControls();
    CreateDateControls();
    CreateAspectAndCentricityControls();
    CreateSearchControls();
}

void frmMain::CreatePlanetControls() {
    static const char* const planetLabels[] = {"First planet", "Second planet"};
    static const char* const orbLabels[] = {"Outer orb", "Middle orb", "Inner orb"};
    static const char* const orbNames[] = {"cboOrbs0", "cboOrbs1", "cboOrbs2"};
    static const char* const orbLabelNames[] = {"lblOrbs0", "lblOrbs1", "lblOrbs2"};
    for (std::size_t i = 0; i < 2; ++i) {
        lblPlanet[i] = MakeLabel(Frame1, i == 0 ? "lblPlanet0" : "lblPlanet1", planetLabels[i]);
        cboPlanet[i] = MakeList(Frame1, i == 0 ? "cboPlanet0" : "cboPlanet1");
    }
    for (std::size_t i = 0; i < 3; ++i) lblOrbs[i] = MakeLabel(Frame1, orbLabelNames[i], orbLabels[i]);
    for (std::size_t i = 0; i < 3; ++i) cboOrbs[i] = MakeList(Frame1, orbNames[i]);
    lblTimezone = MakeLabel(Frame1, "lblTimezone", "Time zone");
    cboTimezone[0] = MakeList(Frame1, "cboTimezone0", new ZoneList(Frame1));
    chkDisplayNATZabbr = MakeCheckBox(Frame1, "chkDisplayNATZabbr", "N. Amer. TZ abbr.");
}

void frmMain::CreateDateControls() {
    static const char* const startEnd[] = {"Start", "End"};
    static const char* const yearNames[] = {"txbYear0", "txbYear1"};
    static const char* const monthNames[] = {"txbMonth0", "txbMonth1"};
    static const char* const dayNames[] = {"txbDay0", "txbDay1"};
    static const char* const dateNames[] = {"lblDate0", "lblDate1"};
    static const char* const startEndNames[] = {"lblStartEnd0", "lblStartEnd1"};
    lblYear = MakeLabel(Frame2, "lblYear", "Year");
    lblMonthDay = MakeLabel(Frame2, "lblMonthDay", "Month Day");
    for (std::size_t i = 0; i < 2; ++i) {
        lblStartEnd[i] = MakeLabel(Frame2, startEndNames[i], startEnd[i]);
        txbYear[i] = MakeTextField(Frame2, yearNames[i], 720);
        txbMonth[i] = MakeTextField(Frame2, monthNames[i], 480);
        txbDay[i] = MakeTextField(Frame2, dayNames[i], 480);
        lblDate[i] = MakeLabel(Frame2, dateNames[i], "");
    }
}

void frmMain::CreateAspectAndCentricityControls() {
    static const char* const aspects[] = {"Conjunction", "Opposition", "Square",  "Trine",
                                          "Sextile",     "Semisextile", "Quincunx"};
    static const char* const aspectNames[] = {"chkAspectType0", "chkAspectType1", "chkAspectType2",
                                              "chkAspectType3", "chkAspectType4", "chkAspectType5",
                                              "chkAspectType6"};
    Label3 = MakeLabel(fraAspectTypes, "Label3", "Aspect type");
    for (std::size_t i = 0; i < 7; ++i) chkAspectType[i] = MakeCheckBox(fraAspectTypes, aspectNames[i], aspects[i]);
    cmdAll = MakeButton(fraAspectTypes, "cmdAll", "All");

    Label2 = MakeLabel(fraCentricity, "Label2", "Centricity");
    optGeocentric = new QRadioButton(QStringLiteral("Geocentric"), fraCentricity);
    optGeocentric->setObjectName(QStringLiteral("optGeocentric"));
    optHeliocentric = new QRadioButton(QStringLiteral("Heliocentric"), fraCentricity);
    optHeliocentric->setObjectName(QStringLiteral("optHeliocentric"));
    optionButtons_ = {optGeocentric, optHeliocentric};
}

void frmMain::CreateSearchControls() {
    cmdSearch = MakeButton(Frame3, "cmdSearch", "Search");
    Label1 = MakeLabel(Frame3, "Label1", "for first");
    cboSearchAspect = MakeList(Frame3, "cboSearchAspect");
    cboOrbs[3] = MakeList(Frame3, "cboOrbs3");
    cboSearchWhen = MakeList(Frame3, "cboSearchWhen");
    chkKeepDates = MakeCheckBox(Frame3, "chkKeepDates", "Keep start/end dates");
}

void frmMain::CreateRunControls() {
    lblConstructTransitTables =
        MakeLabel(this, "lblConstructTransitTables", "Construct transit tables for the period  to  for:");
    cmdStart = MakeButton(this, "cmdStart", savedRunCaption_.c_str());
    cmdShowAll[0] = MakeButton(this, "cmdShowAll0", " and the other planets.");
    cmdShowAll[1] = MakeButton(this, "cmdShowAll1", " and the other planets.");
    chkAppendToOutput = MakeCheckBox(this, "chkAppendToOutput", "Append to output");
    chkIncludeTransitDetails = MakeCheckBox(this, "chkIncludeTransitDetails", "Include transit details");
    cmdSimulateInvestment = MakeButton(this, "cmdSimulateInvestment", "Simulate investment");
}

void frmMain::CreateOutputControls() {
    txbOutput = new QPlainTextEdit(this);
    txbOutput->setObjectName(QStringLiteral("txbOutput"));
    // Read-only but selectable, so that the user can scroll and copy during a run.
    txbOutput->setReadOnly(true);
    txbOutput->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    txbOutput->setLineWrapMode(QPlainTextEdit::NoWrap);
    txbOutput->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textFields_.push_back(txbOutput);
    cmdFile[0] = MakeButton(this, "cmdFile0", "Write output to file");
    chkOpenOutputFile = MakeCheckBox(this, "chkOpenOutputFile", "Open output file");
    cmdClearOutput = MakeButton(this, "cmdClearOutput", "Clear output");
    cmdSaveState = MakeButton(this, "cmdSaveState", "Save state");
    cmdRestoreState = MakeButton(this, "cmdRestoreState", "Restore state");
    cmdHelp = MakeButton(this, "cmdHelp", "Help");
    cmdQuit = MakeButton(this, "cmdQuit", "Quit");
    txbStopDate = MakeTextField(this, "txbStopDate", 0);
    txbStopDate->hide();
    lblNotice = MakeLabel(this, "lblNotice", "");
    CreateBacktestButton();
    CreateCyclesButton();
    CreateResearchButton();
}

void frmMain::ConnectEvents() {
    connect(this, &frmMain::resultStateChanged, this, &frmMain::RefreshResultControls);
    connect(cmdStart, &QPushButton::clicked, this, &frmMain::OnStartClicked);
    connect(cmdSearch, &QPushButton::clicked, this, &frmMain::OnSearchClicked);
    connect(cmdShowAll[0], &QPushButton::clicked, this, [this] { OnShowAllClicked(0); });
    connect(cmdShowAll[1], &QPushButton::clicked, this, [this] { OnShowAllClicked(1); });
    connect(cmdSimulateInvestment, &QPushButton::clicked, this, &frmMain::OnSimulateClicked);
    connect(cmdFile[0], &QPushButton::clicked, this, &frmMain::WriteOutputToFile);
    connect(cmdClearOutput, &QPushButton::clicked, this, &frmMain::ClearOutputCommand);
    connect(cmdSaveState, &QPushButton::clicked, this, &frmMain::OnSaveStateClicked);
    connect(cmdRestoreState, &QPushButton::clicked, this, &frmMain::OnRestoreStateClicked);
    connect(cmdQuit, &QPushButton::clicked, this, &frmMain::OnQuitClicked);
    connect(cmdHelp, &QPushButton::clicked, this, &frmMain::HelpAction);
    connect(cmdBacktest, &QPushButton::clicked, this, &frmMain::OnBacktestClicked);
    connect(cmdCycles, &QPushButton::clicked, this, &frmMain::OnCyclesClicked);
    connect(cmdResearch, &QPushButton::clicked, this, &frmMain::OnResearchClicked);
    connect(cmdAll, &QPushButton::clicked, this, &frmMain::OnAllClicked);
    // A list's change action follows every change of its selection (the saved state
    // restores through it); focus moves and checks follow the user's own choices.
    for (std::size_t i = 0; i < 2; ++i) {
        connect(cboPlanet[i], &QComboBox::currentIndexChanged, this, &frmMain::OnPlanetChanged);
        connect(cboPlanet[i], &QComboBox::activated, this, [this] { MoveFocus(cmdStart); });
    }
    for (std::size_t i = 0; i < 4; ++i)
        connect(cboOrbs[i], &QComboBox::activated, this, [this, i] { OnOrbActivated(static_cast<int>(i)); });
    connect(optGeocentric, &QRadioButton::toggled, this, [this](bool on) { if (on) OnCentricityChosen(false); });
    connect(optHeliocentric, &QRadioButton::toggled, this, [this](bool on) { if (on) OnCentricityChosen(true); });
    connect(chkDisplayNATZabbr, &QCheckBox::stateChanged, this, &frmMain::OnNatzChanged);
    connect(chkDisplayNATZabbr, &QCheckBox::clicked, this, &frmMain::OnNatzClicked);
    connect(cboTimezone[0], &QComboBox::activated, this, &frmMain::OnTimezoneActivated);
    connect(cboTimezone[0], &QComboBox::activated, this, &frmMain::OnNamedZoneActivated);
    connect(cboSearchAspect, &QComboBox::activated, this, [this] { MoveFocus(cmdSearch); });
    connect(cboSearchWhen, &QComboBox::activated, this, [this] { MoveFocus(cmdSearch); });
    connect(chkKeepDates, &QCheckBox::clicked, this, [this] { MoveFocus(cmdSearch); });
    connect(chkOpenOutputFile, &QCheckBox::clicked, this, [this] { MoveFocus(cmdFile[0]); });
    connect(chkAppendToOutput, &QCheckBox::clicked, this, &frmMain::OnAppendClicked);
    connect(Timer1, &QTimer::timeout, this, &frmMain::Timer1Tick);
    ConnectDateFields();
}

int frmMain::Px(int twips) const { return TwipsToPixels(twips, this, Axis::Y); }
int frmMain::PxX(int twips) const { return TwipsToPixels(twips, this, Axis::X); }

}  // namespace kovo::ui
