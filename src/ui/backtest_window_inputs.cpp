// The backtest window's inputs: the fields, what they hold, the parameters read from them,
// the greying of results that no longer match them, and the window state kept between
// starts (size, splitter, prices file).
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <algorithm>

#include "astro/catalogue.h"
#include "backtest/backtest_table.h"
#include "calendar/calendar_services.h"
#include "calendar/iso_date.h"
#include "ui/backtest_charts.h"
#include "ui/backtest_window.h"
#include "ui/qt_text.h"
#include "ui/registry.h"
#include "ui/window_geometry.h"

namespace kovo::ui {

namespace {

const std::string kStateKey = "\\KOVO\\Backtest";

std::optional<std::int32_t> IsoDay(const std::string& text) { return calendar::IsoDayNumber(text); }

std::string Stored(const char* name) {
    std::string text;
    ReadRegistryText(kStateKey, name, text, "");
    return text;
}

QDoubleSpinBox* DoubleField(QWidget* parent, const char* name, double low, double high, const char* tip) {
    auto* field = new QDoubleSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(low, high);
    field->setDecimals(2);
    field->setToolTip(QString::fromUtf8(tip));
    return field;
}

QSpinBox* WholeField(QWidget* parent, const char* name, int low, int high, const char* tip) {
    auto* field = new QSpinBox(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setRange(low, high);
    field->setToolTip(QString::fromUtf8(tip));
    return field;
}

}  // namespace

QWidget* BacktestWindow::CreateInputs() {
    auto* box = new QGroupBox(QStringLiteral("Backtest"), this);
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(4);
    txtPrices = new QLineEdit(box);
    txtPrices->setObjectName(QStringLiteral("txtPrices"));
    txtPrices->setPlaceholderText(QStringLiteral("CSV of daily closes: Date and Close, Adj Close, Value or DJIA"));
    cmdBrowse = new QPushButton(QStringLiteral("Browse…"), box);
    cmdBrowse->setObjectName(QStringLiteral("cmdBrowse"));
    auto* pricesLabel = new QLabel(QStringLiteral("&Prices"), box);
    pricesLabel->setBuddy(txtPrices);
    txtFrom = new QLineEdit(box);
    txtFrom->setObjectName(QStringLiteral("txtFrom"));
    txtTo = new QLineEdit(box);
    txtTo->setObjectName(QStringLiteral("txtTo"));
    for (QLineEdit* date : {txtFrom, txtTo}) {
        date->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
        date->setToolTip(QStringLiteral("Empty: the file's first or last close"));
        date->setMaximumWidth(110);
    }
    chkHoldout = new QCheckBox(QStringLiteral("Hold-&out from"), box);
    chkHoldout->setObjectName(QStringLiteral("chkHoldout"));
    chkHoldout->setToolTip(QStringLiteral("Also evaluate the rules before this day and from it on, each period alone"));
    txtHoldout = new QLineEdit(box);
    txtHoldout->setObjectName(QStringLiteral("txtHoldout"));
    txtHoldout->setPlaceholderText(QStringLiteral("YYYY-MM-DD"));
    txtHoldout->setMaximumWidth(110);
    auto* files = new QHBoxLayout();
    files->addWidget(txtPrices, 1);
    files->addWidget(cmdBrowse);
    files->addWidget(new QLabel(QStringLiteral("From"), box));
    files->addWidget(txtFrom);
    files->addWidget(new QLabel(QStringLiteral("To"), box));
    files->addWidget(txtTo);
    files->addSpacing(8);
    files->addWidget(chkHoldout);
    files->addWidget(txtHoldout);
    grid->addWidget(pricesLabel, 0, 0);
    grid->addLayout(files, 0, 1);

    cboFirst = new QComboBox(box);
    cboFirst->setObjectName(QStringLiteral("cboFirst"));
    cboSecond = new QComboBox(box);
    cboSecond->setObjectName(QStringLiteral("cboSecond"));
    chkHeliocentric = new QCheckBox(QStringLiteral("&Heliocentric"), box);
    chkHeliocentric->setObjectName(QStringLiteral("chkHeliocentric"));
    auto* pair = new QHBoxLayout();
    pair->addWidget(cboFirst);
    pair->addWidget(cboSecond);
    pair->addWidget(chkHeliocentric);
    pair->addSpacing(12);
    pair->addWidget(new QLabel(QStringLiteral("Orbs"), box));
    for (std::size_t i = 0; i < 3; ++i) {
        spnOrb[i] = WholeField(box, "spnOrb", 1, 15, "Orbs: outer, middle, inner");
        spnOrb[i]->setObjectName(QStringLiteral("spnOrb%1").arg(i));
        spnOrb[i]->setSuffix(QStringLiteral("°"));
        pair->addWidget(spnOrb[i]);
    }
    cboSide = new QComboBox(box);
    cboSide->setObjectName(QStringLiteral("cboSide"));
    cboSide->addItems({QStringLiteral("Long while in orb"), QStringLiteral("Short while in orb")});
    pair->addWidget(cboSide);
    pair->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("Pair"), box), 1, 0);
    grid->addLayout(pair, 1, 1);

    auto* aspects = new QHBoxLayout();
    for (std::size_t a = 0; a < 7; ++a) {
        chkAspect[a] = new QCheckBox(ToQ(astro::AspectName[a + 1]), box);
        chkAspect[a]->setObjectName(QStringLiteral("chkAspect%1").arg(a));
        aspects->addWidget(chkAspect[a]);
    }
    aspects->addStretch(1);
    grid->addWidget(new QLabel(QStringLiteral("Aspects"), box), 2, 0);
    grid->addLayout(aspects, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Costs, test"), box), 3, 0);
    grid->addLayout(CreateSignificanceRow(box), 3, 1);
    return box;
}

QLayout* BacktestWindow::CreateSignificanceRow(QWidget* box) {
    spnCost = DoubleField(box, "spnCost", 0, 1000, "Basis points of the position paid on every entry and every exit");
    spnRiskFree = DoubleField(box, "spnRiskFree", -100, 100, "Percent a year, for the Sharpe and Sortino ratios");
    // Each shift keeps one value per rule for the histogram: 100,000 is about 1 MB a rule.
    spnPermutations = WholeField(box, "spnPermutations", 1, 100000,
                                 "Circular shifts of each rule's calendar for its p-value, and bootstrap resamples");
    spnPermutations->setSingleStep(1000);
    spnSeed = WholeField(box, "spnSeed", 0, 2147483647, "Seed of the random shifts: the same seed gives the same p");
    auto* row = new QHBoxLayout();
    const auto add = [row, box](const char* label, QWidget* field) {
        row->addWidget(new QLabel(QString::fromUtf8(label), box));
        row->addWidget(field);
        row->addSpacing(8);
    };
    add("Cost (bp)", spnCost);
    add("Risk-free %", spnRiskFree);
    add("Permutations", spnPermutations);
    add("Seed", spnSeed);
    row->addStretch(1);
    return row;
}

// Every field's change compares the fields with the inputs of the results shown.
void BacktestWindow::ConnectInputs() {
    for (QLineEdit* field : {txtPrices, txtFrom, txtTo, txtHoldout})
        connect(field, &QLineEdit::textChanged, this, &BacktestWindow::UpdateStale);
    for (QComboBox* list : {cboFirst, cboSecond, cboSide})
        connect(list, &QComboBox::currentIndexChanged, this, &BacktestWindow::UpdateStale);
    for (QCheckBox* box : chkAspect) connect(box, &QCheckBox::toggled, this, &BacktestWindow::UpdateStale);
    for (QCheckBox* box : {chkHeliocentric, chkHoldout})
        connect(box, &QCheckBox::toggled, this, &BacktestWindow::UpdateStale);
    for (QSpinBox* spin : {spnOrb[0], spnOrb[1], spnOrb[2], spnPermutations, spnSeed})
        connect(spin, &QSpinBox::valueChanged, this, &BacktestWindow::UpdateStale);
    for (QDoubleSpinBox* spin : {spnCost, spnRiskFree})
        connect(spin, &QDoubleSpinBox::valueChanged, this, &BacktestWindow::UpdateStale);
    connect(chkHoldout, &QCheckBox::toggled, txtHoldout, &QLineEdit::setEnabled);
}

void BacktestWindow::SetInputs(const BacktestInputs& in) {
    const QSignalBlocker blockFirst(cboFirst);
    const QSignalBlocker blockSecond(cboSecond);
    cboFirst->clear();
    cboSecond->clear();
    for (int p = 1; p <= 8; ++p) cboFirst->addItem(ToQ(astro::PlanetName(p, in.heliocentric, false)));
    for (int p = 2; p <= 9; ++p) cboSecond->addItem(ToQ(astro::PlanetName(p, in.heliocentric, false)));
    // The Moon last, at position kMoon - 2 like the others: geocentric only (a heliocentric
    // run with it is refused with the reason).
    cboSecond->addItem(ToQ(astro::TransitBodyName(astro::kMoon, false)));
    cboFirst->setCurrentIndex(std::clamp(in.firstPlanet, 1, 8) - 1);
    cboSecond->setCurrentIndex(std::clamp(in.secondPlanet, 2, astro::kMoon) - 2);
    txtPrices->setText(ToQ(in.pricesPath));
    chkHeliocentric->setChecked(in.heliocentric);
    for (std::size_t a = 0; a < 7; ++a) chkAspect[a]->setChecked(in.aspects[a]);
    for (std::size_t i = 0; i < 3; ++i) spnOrb[i]->setValue(in.orbDegrees[i]);
    cboSide->setCurrentIndex(in.shortSide ? 1 : 0);
    txtFrom->setText(ToQ(in.from));
    txtTo->setText(ToQ(in.to));
    chkHoldout->setChecked(in.holdout);
    txtHoldout->setText(ToQ(in.holdoutFrom));
    txtHoldout->setEnabled(in.holdout && !running_);
    spnCost->setValue(in.costBasisPoints);
    spnRiskFree->setValue(in.riskFreePct);
    spnPermutations->setValue(in.permutations);
    spnSeed->setValue(in.seed);
    UpdateStale();
}

BacktestInputs BacktestWindow::Inputs() const {
    BacktestInputs in;
    in.pricesPath = FromQ(txtPrices->text().trimmed());
    in.firstPlanet = cboFirst->currentIndex() + 1;
    in.secondPlanet = cboSecond->currentIndex() + 2;
    in.heliocentric = chkHeliocentric->isChecked();
    for (std::size_t a = 0; a < 7; ++a) in.aspects[a] = chkAspect[a]->isChecked();
    for (std::size_t i = 0; i < 3; ++i) in.orbDegrees[i] = spnOrb[i]->value();
    in.shortSide = cboSide->currentIndex() == 1;
    in.from = FromQ(txtFrom->text().trimmed());
    in.to = FromQ(txtTo->text().trimmed());
    in.holdout = chkHoldout->isChecked();
    in.holdoutFrom = FromQ(txtHoldout->text().trimmed());
    in.costBasisPoints = spnCost->value();
    in.riskFreePct = spnRiskFree->value();
    in.permutations = spnPermutations->value();
    in.seed = spnSeed->value();
    return in;
}

std::optional<backtest::BacktestParams> BacktestWindow::ReadParams() {
    const BacktestInputs in = Inputs();
    backtest::BacktestParams params{.first = astro::BodyOfIndex(in.firstPlanet),
                                    .second = astro::BodyOfIndex(in.secondPlanet),
                                    .heliocentric = in.heliocentric,
                                    .aspects = in.aspects,
                                    .orbDegrees = in.orbDegrees,
                                    .side = in.shortSide ? backtest::Side::Short : backtest::Side::Long,
                                    .fromDay = std::nullopt,
                                    .toDay = std::nullopt,
                                    .zone = {},
                                    .pluto = pluto_,
                                    .permutations = in.permutations,
                                    .seed = static_cast<std::uint64_t>(in.seed),
                                    .holdoutDay = std::nullopt,
                                    .costBasisPoints = in.costBasisPoints,
                                    .riskFreePct = in.riskFreePct,
                                    .cycleBody = std::nullopt,
                                    .daysAfter = 5};
    std::vector<std::pair<std::string, std::optional<std::int32_t>*>> dates{{in.from, &params.fromDay},
                                                                            {in.to, &params.toDay}};
    if (in.holdout) {
        if (in.holdoutFrom.empty()) {
            Refuse("Enter the first day of the hold-out, or clear \"Hold-out from\".");
            return std::nullopt;
        }
        dates.emplace_back(in.holdoutFrom, &params.holdoutDay);
    }
    for (const auto& [text, day] : dates) {
        if (text.empty()) continue;
        *day = IsoDay(text);
        if (!*day) {
            Refuse("\"" + text + "\" is not a date: dates are written YYYY-MM-DD.");
            return std::nullopt;
        }
    }
    return params;
}

bool BacktestWindow::ResultsStale() const { return result_.has_value() && Inputs() != runInputs_; }

void BacktestWindow::UpdateStale() {
    if (running_ || !result_) return;
    const bool stale = ResultsStale();
    splitResults->setEnabled(!stale);
    charts_->SetFaded(stale);
    lblSummary->setText(stale ? QStringLiteral("Inputs changed: run again to update the results.") : summary_);
    UpdateActions();
}

// "Earth-Jupiter heliocentric, prices.csv 2007-01-03 to 2014-12-31, long, orbs 10°/5°/2°, cost 5 bp"
QString BacktestWindow::ChartContext() const {
    if (!result_) return {};
    const backtest::BacktestParams& p = result_->inputs;
    const std::array<int, 3>& orbs = p.orbDegrees;
    return ToQ(backtest::PairName(p)) + (p.heliocentric ? QStringLiteral(" heliocentric, ") : QStringLiteral(" geocentric, ")) +
           QFileInfo(ToQ(runInputs_.pricesPath)).fileName() + QLatin1Char(' ') +
           ToQ(calendar::FormatDayNumberIso8601(result_->firstDay)) + QStringLiteral(" to ") +
           ToQ(calendar::FormatDayNumberIso8601(result_->lastDay)) + QStringLiteral(", ") +
           QString::fromLatin1(backtest::SideName(p.side)) +
           QStringLiteral(", orbs %1°/%2°/%3°, cost %4 bp").arg(orbs[0]).arg(orbs[1]).arg(orbs[2]).arg(p.costBasisPoints);
}

std::string BacktestWindow::StoredPricesPath() { return Stored("Prices"); }

// The stored size, or 1280 x 720, kept within the screen's free area.
void BacktestWindow::RestoreWindowState() {
    RestoreWindowSize(*this, Stored("Width"), Stored("Height"), QSize(1280, 720), true);
    if (RestoreSplitterSizes(*splitResults, Stored("Splitter"))) return;
    // First start: the tables get room for eleven rows, the charts the rest.
    layout()->activate();
    const int splitter = std::max(height() - splitResults->y(), 400);
    const int tables = 11 * tblStatistics->verticalHeader()->defaultSectionSize() +
                       tblStatistics->horizontalHeader()->sizeHint().height() + 3 * fontMetrics().height() + 40;
    splitResults->setSizes({std::max(splitter - tables, 150), tables});
}

void BacktestWindow::SaveWindowState() {
    SaveWindowGeometry(kStateKey, *this, *splitResults);
    WriteRegistryText(kStateKey, "Prices", FromQ(txtPrices->text().trimmed()));
}

}  // namespace kovo::ui
