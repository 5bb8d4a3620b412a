#include "app/engine_tools.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

#include "analysis/cursor_values.h"
#include "app/dialogs.h"
#include "channels/channel_units.h"
#include "chart/chart_render.h"
#include "chart/chart_widget.h"
#include "loading/overlay_log.h"

namespace zp {

namespace {

using analysis::EngineProfile;
using analysis::kMaxCylinders;

void fillChannelBox(QComboBox& box, Channel first, Channel last) {
    box.addItem(QStringLiteral("none"));
    for (int c = first; c <= last; ++c)
        box.addItem(analysis::profileChannelName(static_cast<Channel>(c)), c);
}

void select(QComboBox& box, const std::optional<Channel>& channel) {
    box.setCurrentIndex(channel ? std::max(0, box.findData(int(*channel))) : 0);
}

std::optional<Channel> selected(const QComboBox& box) {
    if (box.currentIndex() <= 0) return std::nullopt;
    return static_cast<Channel>(box.currentData().toInt());
}

}  // namespace

QString seriesUnitText(const chart::Chart& chart, std::size_t index, const UnitSelectors& units) {
    if (index < static_cast<std::size_t>(kChannelCount))
        return QString::fromUtf8(unitText(static_cast<Channel>(index), units));
    if (index >= chart.series.size()) return {};
    const QString& name = chart.series[index].name;
    if (const std::optional<Channel> overlaid = overlaidChannel(name))
        return QString::fromUtf8(unitText(*overlaid, units));
    if (!analysis::isDerivedSeriesName(name)) return {};
    return analysis::derivedUnitText(name.endsWith(QLatin1String("RateSeries"))
                                         ? analysis::DerivedKind::ChtRate
                                         : analysis::DerivedKind::EgtSpread,
                                     units);
}

// [SECTION] Settings > Engine

EngineDialog::EngineDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("engineDialog"));
    setWindowTitle(QStringLiteral("Engine"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("engineName"));
    name_->setPlaceholderText(QStringLiteral("e.g. the registration, N123AB"));
    form->addRow(QStringLiteral("&Name:"), name_);
    cylinders_ = new QSpinBox(this);
    cylinders_->setObjectName(QStringLiteral("engineCylinders"));
    cylinders_->setRange(1, kMaxCylinders);
    form->addRow(QStringLiteral("&Cylinders:"), cylinders_);
    fuelFlow_ = new QComboBox(this);
    fuelFlow_->setObjectName(QStringLiteral("engineFuelFlow"));
    fuelFlow_->addItem(QStringLiteral("none"));
    for (const Channel c : {FuelFlow1Series, FuelFlow2Series})
        fuelFlow_->addItem(analysis::profileChannelName(c), int(c));
    form->addRow(QStringLiteral("&Fuel flow:"), fuelFlow_);
    layout->addLayout(form);
    auto* heading = new QLabel(QStringLiteral("Thermocouple of each cylinder (EGT, CHT):"), this);
    layout->addWidget(heading);
    for (int c = 0; c < kMaxCylinders; ++c) {
        rows_[c] = new QWidget(this);
        auto* row = new QHBoxLayout(rows_[c]);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(new QLabel(QStringLiteral("Cylinder %1").arg(c + 1), rows_[c]));
        egt_[c] = new QComboBox(rows_[c]);
        egt_[c]->setObjectName(QStringLiteral("egtBox%1").arg(c + 1));
        fillChannelBox(*egt_[c], TC1Series, TC12Series);
        cht_[c] = new QComboBox(rows_[c]);
        cht_[c]->setObjectName(QStringLiteral("chtBox%1").arg(c + 1));
        fillChannelBox(*cht_[c], TC1Series, TC12Series);
        row->addWidget(new QLabel(QStringLiteral("EGT"), rows_[c]));
        row->addWidget(egt_[c]);
        row->addWidget(new QLabel(QStringLiteral("CHT"), rows_[c]));
        row->addWidget(cht_[c]);
        layout->addWidget(rows_[c]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(cylinders_, &QSpinBox::valueChanged, this, &EngineDialog::showCylinders);
}

void EngineDialog::showCylinders() {
    for (int c = 0; c < kMaxCylinders; ++c) rows_[c]->setVisible(c < cylinders_->value());
    adjustSize();
}

void EngineDialog::load(const std::optional<EngineProfile>& profile) {
    // Without a profile: four cylinders wired as an engine monitor records them.
    EngineProfile p;
    if (profile) {
        p = *profile;
    } else {
        for (int c = 0; c < 4; ++c) {
            p.egt[c] = static_cast<Channel>(TC1Series + c);
            p.cht[c] = static_cast<Channel>(TC5Series + c);
        }
    }
    name_->setText(p.name);
    cylinders_->setValue(p.cylinders);
    for (int c = 0; c < kMaxCylinders; ++c) {
        select(*egt_[c], p.egt[c]);
        select(*cht_[c], p.cht[c]);
    }
    select(*fuelFlow_, p.fuelFlow);
    showCylinders();
}

EngineProfile EngineDialog::entered() const {
    EngineProfile p;
    p.name = name_->text().trimmed();
    p.cylinders = cylinders_->value();
    for (int c = 0; c < kMaxCylinders; ++c) {
        p.egt[c] = c < p.cylinders ? selected(*egt_[c]) : std::nullopt;
        p.cht[c] = c < p.cylinders ? selected(*cht_[c]) : std::nullopt;
    }
    p.fuelFlow = selected(*fuelFlow_);
    return p;
}

// [SECTION] Analysis > Lean Test

LeanTestWindow::LeanTestWindow(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("leanTestWindow"));
    setWindowTitle(QStringLiteral("Lean Test"));
    setWindowFlag(Qt::Window);
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName(QStringLiteral("leanTestText"));
    text_->setReadOnly(true);
    text_->setMaximumHeight(150);
    chart_ = new chart::ChartWidget(this);
    chart_->setObjectName(QStringLiteral("leanTestChart"));
    chart_->setMinimumSize(480, 300);
    layout->addWidget(text_);
    layout->addWidget(chart_, 1);
    auto* copy = new QPushButton(QStringLiteral("&Copy"), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(copy, &QPushButton::clicked, this,
            [this] { QApplication::clipboard()->setText(text()); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(copy);
    row->addWidget(close);
    layout->addLayout(row);
    resize(640, 560);
}

void LeanTestWindow::show(const analysis::LeanTestResult& result, const QString& rangeText,
                          const QString& flowUnit, const QString& temperatureUnit) {
    text_->setPlainText(rangeText + QLatin1Char('\n') +
                        analysis::leanTestText(result, flowUnit, temperatureUnit));
    analysis::fillLeanTestChart(chart_->chart(), result, flowUnit, temperatureUnit);
    chart_->update();
    QWidget::show();
    raise();
    activateWindow();
}

QString LeanTestWindow::text() const {
    return text_->toPlainText();
}

// [SECTION] The profile, the derived series and the menus

EngineTools::EngineTools(chart::ChartWidget& chart, Dialogs& dialogs, const LoadedLog& log,
                         QString profilePath, QWidget* window)
    : QObject(window),
      chart_(chart),
      dialogs_(dialogs),
      log_(log),
      path_(std::move(profilePath)),
      window_(window) {
    dialog_ = new EngineDialog(window);
    lean_ = new LeanTestWindow(window);
    connect(dialog_, &QDialog::accepted, this, [this] { setProfile(dialog_->entered()); });
}

void EngineTools::readProfile() {
    if (path_.isEmpty()) return;
    const analysis::ProfileReading read = analysis::readEngineProfileFile(path_);
    if (!read.error.isEmpty()) {
        dialogs_.errorBox(window_,
                          QStringLiteral("The engine profile cannot be used: %1").arg(read.error));
        return;
    }
    profile_ = read.profile;
    derive();
}

void EngineTools::setProfile(const std::optional<EngineProfile>& profile) {
    profile_ = profile;
    if (profile_ && !path_.isEmpty()) {
        const QString error = analysis::writeEngineProfileFile(path_, *profile_);
        if (!error.isEmpty())
            dialogs_.errorBox(window_, QStringLiteral("Cannot write \"%1\". %2").arg(path_, error));
    }
    derive();
}

void EngineTools::addSettingsEntries(QMenu& menu) {
    QAction* action = menu.addAction(QStringLiteral("&Engine..."), this, [this] {
        dialog_->load(profile_);
        dialogs_.execModal(*dialog_);
    });
    action->setObjectName(QStringLiteral("engineAction"));
}

void EngineTools::addAnalysisEntries(QMenu& menu) {
    derivedAction_ = menu.addAction(QStringLiteral("&Derived Channels"));
    derivedAction_->setObjectName(QStringLiteral("derivedChannelsAction"));
    derivedAction_->setCheckable(true);
    derivedAction_->setToolTip(
        QStringLiteral("Switch on or off the spreads, the hottest CHT and the CHT rates of the "
                       "engine profile (Settings > Engine)"));
    connect(derivedAction_, &QAction::triggered, this, [this](bool on) {
        for (chart::LineSeries& s : chart_.chart().series)
            if (analysis::isDerivedSeriesName(s.name)) s.active = on;
        chart_.chart().invalidate();
        emit derivedSeriesChanged();
    });
    QAction* lean = menu.addAction(QStringLiteral("Lea&n Test"), this, &EngineTools::runLeanTest);
    lean->setObjectName(QStringLiteral("leanTestAction"));
    lean->setToolTip(QStringLiteral("Between cursors A and B, or over the visible time"));
    connect(&chart_, &chart::ChartWidget::seriesToggled, this, [this] { updateDerivedAction(); });
    updateDerivedAction();
}

void EngineTools::updateDerivedAction() {
    if (!derivedAction_) return;
    bool any = false, allOn = true;
    for (const chart::LineSeries& s : chart_.chart().series) {
        if (!analysis::isDerivedSeriesName(s.name)) continue;
        any = true;
        allOn = allOn && s.active;
    }
    derivedAction_->setEnabled(any);
    derivedAction_->setChecked(any && allOn);
}

void EngineTools::loadEnded() {
    derive();
}

void EngineTools::derive() {
    chart::Chart& chart = chart_.chart();
    std::vector<QString> on;
    for (const chart::LineSeries& s : chart.series)
        if (s.active && analysis::isDerivedSeriesName(s.name)) on.push_back(s.name);
    if (!profile_ || !log_.loaded()) {
        const std::size_t before = chart.series.size();
        analysis::removeDerivedSeries(chart);
        if (chart.series.size() != before) chart.invalidate();
    } else {
        analysis::DerivedSeries derived = analysis::computeDerivedSeries(chart, *profile_);
        analysis::appendDerivedSeries(chart, derived, on);
    }
    updateDerivedAction();
    emit derivedSeriesChanged();
}

int EngineTools::hottestCylinderAt(double x) const {
    if (!profile_) return 0;
    const chart::Chart& chart = chart_.chart();
    std::optional<double> hottest;
    int cylinder = 0;
    for (int c = 0; c < profile_->cylinders; ++c) {
        const std::optional<Channel> cht = profile_->cht[static_cast<std::size_t>(c)];
        if (!cht) continue;
        const auto p =
            analysis::readingAtOrBefore(chart.series[static_cast<std::size_t>(*cht)].points, x);
        if (p && (!hottest || p->y > *hottest)) hottest = p->y, cylinder = c + 1;
    }
    return cylinder;
}

void EngineTools::runLeanTest() {
    if (!profile_) {
        dialogs_.messageBox(window_,
                            QStringLiteral("Set the engine profile first (Settings > Engine)."),
                            QStringLiteral("Lean Test"));
        return;
    }
    const chart::Chart& c = chart_.chart();
    analysis::XRange range;
    QString rangeText;
    if (c.cursorA && c.cursorB) {
        range = {std::min(*c.cursorA, *c.cursorB), std::max(*c.cursorA, *c.cursorB)};
        rangeText = QStringLiteral("Between the cursors: %1 - %2");
    } else {
        range = {chart_.layout().bottom.minimum(), chart_.layout().bottom.maximum()};
        rangeText = QStringLiteral("Visible time: %1 - %2");
    }
    rangeText = rangeText.arg(chart::cursorTimeText(range.from), chart::cursorTimeText(range.to));
    const analysis::LeanTestResult result = analysis::leanTest(c, *profile_, range);
    const QString flowUnit = profile_->fuelFlow
                                 ? QString::fromUtf8(unitText(*profile_->fuelFlow, log_.units))
                                 : QString();
    lean_->show(result, rangeText, flowUnit, QString::fromUtf8(unitText(TC1Series, log_.units)));
}

}  // namespace zp
