// The research window's inputs: the fields, the sweep request read from them, and the
// window state kept between starts (size, splitter, prices file, pairs).
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QSplitter>
#include <QThread>
#include <algorithm>
#include <climits>

#include "astro/catalogue.h"
#include "calendar/iso_date.h"
#include "sweep/sweep_pairs.h"
#include "ui/backtest_window.h"
#include "ui/qt_text.h"
#include "ui/registry.h"
#include "ui/research_window.h"
#include "ui/window_geometry.h"

namespace kovo::ui {

namespace {

const std::string kStateKey = "\\KOVO\\Research";

std::string Stored(const char* name) {
    std::string text;
    ReadRegistryText(kStateKey, name, text, "");
    return text;
}

template <typename Control>
Control* Named(Control* control, const char* name) {
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

QLabel* BuddyLabel(const char* text, QWidget* buddy, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setBuddy(buddy);
    return label;
}

QLineEdit* DateField(QWidget* parent, const char* name, const char* tip) {
    auto* field = Named(new QLineEdit(parent), name);
    field->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
    field->setToolTip(QString::fromUtf8(tip));
    field->setMaximumWidth(110);
    return field;
}

QSpinBox* WholeField(QWidget* parent, const char* name, int low, int high, const char* tip) {
    auto* field = Named(new QSpinBox(parent), name);
    field->setRange(low, high);
    field->setToolTip(QString::fromUtf8(tip));
    return field;
}

// A date typed YYYY-MM-DD into `day`; empty leaves it absent. False when it is no date.
bool ReadDay(const QLineEdit* field, std::optional<std::int32_t>& day, std::string& problem) {
    const std::string text = FromQ(field->text().trimmed());
    if (text.empty()) return true;
    day = calendar::IsoDayNumber(text);
    if (!day) problem = "\"" + text + "\" is not a date: dates are written YYYY-MM-DD.";
    return day.has_value();
}

}  // namespace

QWidget* ResearchWindow::CreateInputs() {
    auto* box = new QGroupBox(QStringLiteral("Sweep"), this);
    inputs_ = box;
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(4);
    grid->addLayout(CreateFileRow(box), 0, 1);
    grid->addWidget(BuddyLabel("&Prices", txtPrices, box), 0, 0);
    grid->addLayout(CreatePairRow(box), 1, 1);
    grid->addWidget(BuddyLabel("P&airs", cboPairs, box), 1, 0);
    grid->addWidget(new QLabel(QStringLiteral("Aspects"), box), 2, 0);
    grid->addLayout(CreateAspectRow(box), 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Rules"), box), 3, 0);
    grid->addLayout(CreateEventRow(box), 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Test"), box), 4, 0);
    grid->addLayout(CreateTestRow(box), 4, 1);
    grid->setColumnStretch(1, 1);
    return box;
}

QLayout* ResearchWindow::CreateFileRow(QWidget* box) {
    txtPrices = Named(new QLineEdit(box), "txtPrices");
    txtPrices->setPlaceholderText(QStringLiteral("CSV of daily closes: Date and Close, Adj Close, Value or DJIA"));
    cmdBrowse = Named(new QPushButton(QStringLiteral("Bro&wse…"), box), "cmdBrowse");
    cmdBrowse->setToolTip(QStringLiteral("Choose the CSV file of daily closes"));
    txtFrom = DateField(box, "txtFrom", "Empty: the file's first close");
    txtTo = DateField(box, "txtTo", "Empty: the file's last close");
    chkHoldout = Named(new QCheckBox(QStringLiteral("Hold-&out from"), box), "chkHoldout");
    chkHoldout->setToolTip(QStringLiteral("Also evaluate every rule before this day and from it on, each period alone"));
    txtHoldout = DateField(box, "txtHoldout", "The first day of the hold-out");
    txtHoldout->setEnabled(false);
    auto* row = new QHBoxLayout();
    row->addWidget(txtPrices, 1);
    row->addWidget(cmdBrowse);
    row->addSpacing(8);
    row->addWidget(BuddyLabel("&From", txtFrom, box));
    row->addWidget(txtFrom);
    row->addSpacing(8);
    row->addWidget(BuddyLabel("&To", txtTo, box));
    row->addWidget(txtTo);
    row->addSpacing(8);
    row->addWidget(chkHoldout);
    row->addWidget(txtHoldout);
    return row;
}

QLayout* ResearchWindow::CreatePairRow(QWidget* box) {
    cboPairs = Named(new QComboBox(box), "cboPairs");
    cboPairs->setEditable(true);
    cboPairs->setInsertPolicy(QComboBox::NoInsert);
    cboPairs->addItems({QStringLiteral("geo"), QStringLiteral("helio"), QStringLiteral("all")});
    cboPairs->setMinimumContentsLength(36);
    cboPairs->setToolTip(QStringLiteral("geo: the Sun and Mercury ... Pluto, 36 pairs; helio: the Earth and Mercury ... "
                                        "Pluto, 36; all: both; or a list such as Mars-Jupiter,Jupiter-Saturn/helio,Sun-Moon"));
    cboDirection = Named(new QComboBox(box), "cboDirection");
    cboDirection->addItems({QStringLiteral("Long"), QStringLiteral("Short"), QStringLiteral("Long and short")});
    cboDirection->setToolTip(QStringLiteral("Buy, or sell short, while a rule holds; both tests every rule twice"));
    auto* row = new QHBoxLayout();
    row->addWidget(cboPairs, 1);
    row->addSpacing(8);
    row->addWidget(BuddyLabel("Directio&n", cboDirection, box));
    row->addWidget(cboDirection);
    row->addSpacing(8);
    for (std::size_t i = 0; i < spnOrb.size(); ++i) {
        spnOrb[i] = WholeField(box, "spnOrb", 1, 15, "Orbs: outer, middle, inner");
        spnOrb[i]->setObjectName(QStringLiteral("spnOrb%1").arg(i));
        spnOrb[i]->setSuffix(QStringLiteral("°"));
        if (i == 0) row->addWidget(BuddyLabel("Or&bs", spnOrb[0], box));
        row->addWidget(spnOrb[i]);
    }
    spnOrb[0]->setValue(10);
    spnOrb[1]->setValue(5);
    spnOrb[2]->setValue(2);
    return row;
}

QLayout* ResearchWindow::CreateAspectRow(QWidget* box) {
    auto* row = new QHBoxLayout();
    for (std::size_t a = 0; a < chkAspect.size(); ++a) {
        chkAspect[a] = new QCheckBox(ToQ(astro::AspectName[a + 1]), box);
        chkAspect[a]->setObjectName(QStringLiteral("chkAspect%1").arg(a));
        chkAspect[a]->setChecked(true);
        row->addWidget(chkAspect[a]);
    }
    row->addStretch(1);
    return row;
}

QLayout* ResearchWindow::CreateEventRow(QWidget* box) {
    chkAspectRules = Named(new QCheckBox(QStringLiteral("Aspe&cts of the pairs"), box), "chkAspectRules");
    chkAspectRules->setChecked(true);
    chkStations = Named(new QCheckBox(QStringLiteral("&Stations (retrograde cycles)"), box), "chkStations");
    chkStations->setToolTip(QStringLiteral("Retrograde, shadows and the days after each station, of every body of the pairs"));
    chkIngresses = Named(new QCheckBox(QStringLiteral("In&gresses"), box), "chkIngresses");
    chkIngresses->setToolTip(QStringLiteral("The days after each sign ingress of every body of the pairs"));
    chkPhases = Named(new QCheckBox(QStringLiteral("&Moon phases"), box), "chkPhases");
    chkPhases->setToolTip(QStringLiteral("The waxing and waning halves and the days around each phase, once"));
    auto* row = new QHBoxLayout();
    for (QCheckBox* kind : {chkAspectRules, chkStations, chkIngresses, chkPhases}) row->addWidget(kind);
    row->addStretch(1);
    return row;
}

QLayout* ResearchWindow::CreateTestRow(QWidget* box) {
    // Each shift keeps one value per rule for the histogram: 100,000 is about 1 MB a rule.
    spnPermutations = WholeField(box, "spnPermutations", 1, 100000,
                                 "Circular shifts of each rule's calendar for its p-value, and bootstrap resamples");
    spnPermutations->setSingleStep(1000);
    spnPermutations->setValue(stats::kDefaultShifts);
    // The backtest window's range, so that a row's backtest takes the same seed.
    spnSeed = WholeField(box, "spnSeed", 0, INT_MAX, "Seed of the random shifts: the same seed gives the same p");
    spnSeed->setValue(static_cast<int>(backtest::kDefaultSeed));
    spnJobs = WholeField(box, "spnJobs", 1, 256, "Worker threads; the results are the same for any number");
    spnJobs->setValue(std::clamp(QThread::idealThreadCount(), 1, 256));
    auto* row = new QHBoxLayout();
    row->addWidget(BuddyLabel("Perm&utations", spnPermutations, box));
    row->addWidget(spnPermutations);
    row->addSpacing(8);
    row->addWidget(BuddyLabel("See&d", spnSeed, box));
    row->addWidget(spnSeed);
    row->addSpacing(8);
    row->addWidget(BuddyLabel("&Jobs", spnJobs, box));
    row->addWidget(spnJobs);
    row->addStretch(1);
    return row;
}

std::optional<sweep::SweepRequest> ResearchWindow::ReadRequest() {
    sweep::SweepRequest q;
    auto pairs = sweep::ParsePairs(FromQ(cboPairs->currentText()));
    if (const auto* why = std::get_if<std::string>(&pairs)) {
        Refuse("Pairs: " + *why);
        return std::nullopt;
    }
    q.pairs = std::get<std::vector<sweep::SweepPair>>(std::move(pairs));
    for (std::size_t a = 0; a < chkAspect.size(); ++a) q.aspects[a] = chkAspect[a]->isChecked();
    for (std::size_t i = 0; i < spnOrb.size(); ++i) q.orbDegrees[i] = spnOrb[i]->value();
    const int direction = cboDirection->currentIndex();
    q.sides = direction == 2   ? std::vector{backtest::Side::Long, backtest::Side::Short}
              : direction == 1 ? std::vector{backtest::Side::Short}
                               : std::vector{backtest::Side::Long};
    q.events = {.aspects = chkAspectRules->isChecked(),
                .stations = chkStations->isChecked(),
                .ingresses = chkIngresses->isChecked(),
                .phases = chkPhases->isChecked()};
    if (!q.events.Any()) {
        Refuse("Tick at least one kind of rule: aspects, stations, ingresses or Moon phases.");
        return std::nullopt;
    }
    if (q.events.aspects && std::none_of(q.aspects.begin(), q.aspects.end(), [](bool on) { return on; })) {
        Refuse("Tick at least one aspect, or clear \"Aspects of the pairs\".");
        return std::nullopt;
    }
    // Every pair would refuse them alike: one message instead of a line per pair.
    if (q.events.aspects && !(q.orbDegrees[0] > q.orbDegrees[1] && q.orbDegrees[1] > q.orbDegrees[2])) {
        Refuse("Orbs must be strictly decreasing: outer, then middle, then inner.");
        return std::nullopt;
    }
    if (chkHoldout->isChecked() && txtHoldout->text().trimmed().isEmpty()) {
        Refuse("Enter the first day of the hold-out, or clear \"Hold-out from\".");
        return std::nullopt;
    }
    std::string problem;
    if (!ReadDay(txtFrom, q.fromDay, problem) || !ReadDay(txtTo, q.toDay, problem) ||
        (chkHoldout->isChecked() && !ReadDay(txtHoldout, q.holdoutDay, problem))) {
        Refuse(problem);
        return std::nullopt;
    }
    q.permutations = spnPermutations->value();
    q.seed = static_cast<std::uint64_t>(spnSeed->value());
    q.jobs = spnJobs->value();
    q.pluto = pluto_;
    return q;
}

// The stored size, or 1280 x 800, kept within the screen's free area; the prices file
// of the last research or backtest window closed.
void ResearchWindow::RestoreWindowState() {
    std::string prices = Stored("Prices");
    txtPrices->setText(ToQ(prices.empty() ? BacktestWindow::StoredPricesPath() : prices));
    if (const std::string pairs = Stored("Pairs"); !pairs.empty()) cboPairs->setCurrentText(ToQ(pairs));
    RestoreWindowSize(*this, Stored("Width"), Stored("Height"), QSize(1280, 800), false);
    if (RestoreSplitterSizes(*splitResults, Stored("Splitter"))) return;
    // First start: the plot gets a little more than half, the table the rest.
    layout()->activate();
    const int splitter = std::max(height() - splitResults->y(), 400);
    splitResults->setSizes({splitter * 11 / 20, splitter * 9 / 20});
}

void ResearchWindow::SaveWindowState() {
    SaveWindowGeometry(kStateKey, *this, *splitResults);
    WriteRegistryText(kStateKey, "Prices", FromQ(txtPrices->text().trimmed()));
    WriteRegistryText(kStateKey, "Pairs", FromQ(cboPairs->currentText().trimmed()));
}

}  // namespace kovo::ui
