#include "panel/limit_window.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "panel/limit_texts.h"
#include "platform/accessible_value.h"
#include "platform/shortcuts.h"
#include "stats/figure_notation.h"
#include "stats/survey_periods.h"

namespace lp::panel {
namespace {

constexpr std::array kFigures = {assess::LimitFigure::Laeq, assess::LimitFigure::Lmax,
                                 assess::LimitFigure::L10, assess::LimitFigure::L90};
// A rolling LAeq may span any of these; fixed periods the ones of stats::isPeriodLength.
constexpr std::array<qint64, 13> kLengths = {10,   30,   60,    300,   600,   900,  1800,
                                             3600, 7200, 14400, 28800, 43200, 86400};
constexpr qint64 kDefaultLength = 900;

// The lamp's look by its word (the `lamp` property).
const char* const kStyle = R"(
QLabel[lamp] { border: 1px solid #4c535a; border-radius: 4px; padding: 2px 6px; font-weight: bold; }
QLabel[lamp="off"] { color: #80878d; background: #e4e6e8; }
QLabel[lamp="quiet"] { color: #f4f7f9; background: #3c7d46; }
QLabel[lamp="warning"] { color: #1f2326; background: #f0b429; }
QLabel[lamp="alarm"] { color: #ffffff; background: #c41c10; }
)";

template <typename Control>
Control* named(Control* control, const char* name, const QString& spoken) {
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(spoken);
    return control;
}

void showLamp(QLabel* lamp, const QString& word) {
    if (lamp->property("lamp").toString() != word) {
        lamp->setProperty("lamp", word);
        lamp->style()->unpolish(lamp);
        lamp->style()->polish(lamp);
    }
    platform::showValue(lamp, word.toUpper(), word);
}

}  // namespace

LimitWindow::LimitWindow(live::LimitWatch& watch, QWidget* parent)
    : QWidget(parent, Qt::Window), watch_(watch) {
    setObjectName(QStringLiteral("LimitWindow"));
    setWindowTitle(QStringLiteral("Limits"));
    setAccessibleName(QStringLiteral("Limits"));
    setStyleSheet(QLatin1String(kStyle));

    figure_ = named(new QComboBox(this), "CmbLimitFigure", QStringLiteral("Figure"));
    for (const assess::LimitFigure f : kFigures) {
        figure_->addItem(assess::limitFigureName(f), int(f));
    }
    kind_ = named(new QComboBox(this), "CmbLimitKind", QStringLiteral("Period or rolling"));
    kind_->addItems({QStringLiteral("fixed periods"), QStringLiteral("rolling")});
    kind_->setToolTip(
        QStringLiteral("Fixed periods of T from midnight, or the LAeq over the "
                       "last T (LAeq only)"));
    length_ = named(new QComboBox(this), "CmbLimitLength", QStringLiteral("T"));
    offerLengths();
    from_ = named(new QSpinBox(this), "SpnLimitFrom", QStringLiteral("From hour"));
    from_->setRange(0, 23);
    to_ = named(new QSpinBox(this), "SpnLimitTo", QStringLiteral("To hour"));
    to_->setRange(1, 24);
    to_->setValue(24);
    to_->setToolTip(QStringLiteral("At or before the hour it starts: over midnight"));
    db_ = named(new QDoubleSpinBox(this), "SpnLimitDb", QStringLiteral("Limit"));
    db_->setRange(1.0, 199.9);
    db_->setDecimals(1);
    db_->setValue(80.0);
    db_->setSuffix(QStringLiteral(" dB"));
    warn_ = named(new QDoubleSpinBox(this), "SpnLimitWarn", QStringLiteral("Warning"));
    warn_->setDecimals(1);
    warn_->setRange(0.0, db_->value() - 0.1);
    warn_->setSpecialValueText(QStringLiteral("none"));
    warn_->setSuffix(QStringLiteral(" dB"));
    warn_->setToolTip(QStringLiteral("A warning below the limit; none at 0"));
    add_ = named(new QPushButton(QStringLiteral("&Add rule"), this), "CmdLimitAdd",
                 QStringLiteral("Add rule"));

    auto* hours = new QHBoxLayout;
    hours->addWidget(from_);
    hours->addWidget(new QLabel(QStringLiteral("to"), this));
    hours->addWidget(to_);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Figure"), figure_);
    form->addRow(QStringLiteral("&Over"), kind_);
    form->addRow(QStringLiteral("&T"), length_);
    auto* hoursLabel = new QLabel(QStringLiteral("&Hours from"), this);
    hoursLabel->setBuddy(from_);
    form->addRow(hoursLabel, hours);
    form->addRow(QStringLiteral("&Limit"), db_);
    form->addRow(QStringLiteral("&Warning at"), warn_);
    form->addRow(add_);
    auto* newRule = new QGroupBox(QStringLiteral("New rule"), this);
    newRule->setLayout(form);

    table_ = named(new QTableWidget(0, 6, this), "TblLimits", QStringLiteral("Limit rules"));
    table_->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("Over"),
                                       QStringLiteral("T"), QStringLiteral("Hours"),
                                       QStringLiteral("Limit"), QStringLiteral("Warning")});
    table_->verticalHeader()->hide();
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setToolTip(QStringLiteral("Delete removes the rule chosen"));
    table_->installEventFilter(this);
    remove_ = named(new QPushButton(QStringLiteral("&Remove rule"), this), "CmdLimitRemove",
                    QStringLiteral("Remove rule"));
    auto* rules = new QGroupBox(QStringLiteral("Rules"), this);
    auto* rulesLayout = new QVBoxLayout(rules);
    rulesLayout->addWidget(table_);
    rulesLayout->addWidget(remove_, 0, Qt::AlignLeft);

    auto* state = new QGroupBox(QStringLiteral("Now"), this);
    lines_ = new QVBoxLayout(state);

    auto* top = new QHBoxLayout;
    top->addWidget(newRule);
    top->addWidget(rules, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(state);

    platform::addCloseKeys(this);

    connect(figure_, &QComboBox::currentIndexChanged, this, &LimitWindow::onFigureChanged);
    connect(kind_, &QComboBox::currentIndexChanged, this, &LimitWindow::offerLengths);
    connect(db_, &QDoubleSpinBox::valueChanged, this,
            [this](double db) { warn_->setMaximum(db - 0.1); });
    connect(add_, &QPushButton::clicked, this, &LimitWindow::addRule);
    connect(remove_, &QPushButton::clicked, this, &LimitWindow::removeRule);
    connect(&watch_, &live::LimitWatch::statusesChanged, this,
            [this](const std::vector<live::LimitStatus>& statuses) {
                if (!settingRules_) {
                    pending_ = false;
                    showStatuses(statuses);
                }
            });
    showRules();
}

void LimitWindow::onFigureChanged() {
    // Only the LAeq has a rolling form.
    const bool laeq = figure_->currentData().toInt() == int(assess::LimitFigure::Laeq);
    if (!laeq) {
        kind_->setCurrentIndex(0);
    }
    kind_->setEnabled(laeq);
}

void LimitWindow::offerLengths() {
    const bool rolling = kind_->currentIndex() == 1;
    const QVariant chosen =
        length_->count() > 0 ? length_->currentData() : QVariant(kDefaultLength);
    length_->clear();
    for (const qint64 seconds : kLengths) {
        if (rolling || stats::isPeriodLength(seconds)) {
            length_->addItem(stats::intervalLabel(seconds), seconds);
        }
    }
    const int again = length_->findData(chosen);
    length_->setCurrentIndex(again >= 0 ? again : length_->findData(kDefaultLength));
}

live::LiveLimitRule LimitWindow::ruleOfForm() const {
    live::LiveLimitRule rule;
    rule.figure = static_cast<assess::LimitFigure>(figure_->currentData().toInt());
    rule.rolling = kind_->currentIndex() == 1;
    rule.length = length_->currentData().toLongLong();
    rule.from = from_->value();
    rule.to = to_->value();
    rule.db = db_->value();
    if (warn_->value() > warn_->minimum()) {
        rule.warn = warn_->value();
    }
    rule.text = limitRuleText(rule);
    return rule;
}

void LimitWindow::addRule() {
    std::vector<live::LiveLimitRule> rules = watch_.options().rules;
    rules.push_back(ruleOfForm());
    setRules(std::move(rules));
    table_->selectRow(table_->rowCount() - 1);
}

void LimitWindow::removeRule() {
    const int row = table_->currentRow();
    std::vector<live::LiveLimitRule> rules = watch_.options().rules;
    if (row < 0 || row >= int(rules.size())) {
        return;
    }
    rules.erase(rules.begin() + row);
    setRules(std::move(rules));
    table_->selectRow(std::min(row, table_->rowCount() - 1));
}

void LimitWindow::setRules(std::vector<live::LiveLimitRule> rules) {
    live::LiveLimitOptions options = watch_.options();
    options.rules = std::move(rules);
    // The watch's statuses of rules just set are blank until the next sample.
    settingRules_ = true;
    pending_ = true;
    watch_.setOptions(std::move(options));
    settingRules_ = false;
    showRules();
}

void LimitWindow::showRules() {
    const std::vector<live::LiveLimitRule>& rules = watch_.options().rules;
    table_->setRowCount(int(rules.size()));
    for (int row = 0; row < int(rules.size()); ++row) {
        const live::LiveLimitRule& r = rules[size_t(row)];
        const QStringList cells = {
            assess::limitFigureName(r.figure),
            r.rolling ? QStringLiteral("rolling") : QStringLiteral("fixed periods"),
            stats::intervalLabel(r.length),
            limitHoursText(r),
            QString::number(r.db),
            r.warn ? QString::number(*r.warn) : QStringLiteral("none")};
        for (int column = 0; column < cells.size(); ++column) {
            table_->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    table_->resizeColumnsToContents();
    table_->setMinimumWidth(table_->horizontalHeader()->length() + 2 * table_->frameWidth() +
                            table_->verticalScrollBar()->sizeHint().width());
    remove_->setEnabled(!rules.empty());

    // One line per rule: its lamp and its words.
    while (QLayoutItem* item = lines_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    lamps_.clear();
    texts_.clear();
    for (size_t i = 0; i < rules.size(); ++i) {
        auto* line = new QWidget(this);
        auto* lamp = new QLabel(line);
        lamp->setObjectName(QStringLiteral("LblLimitLamp%1").arg(i + 1));
        lamp->setAccessibleName(QStringLiteral("Lamp of %1").arg(rules[i].text));
        lamp->setAlignment(Qt::AlignCenter);
        lamp->setMinimumWidth(lamp->fontMetrics().horizontalAdvance(QStringLiteral("WARNING")) +
                              16);
        auto* text = new QLabel(line);
        text->setObjectName(QStringLiteral("LblLimitStatus%1").arg(i + 1));
        text->setAccessibleName(QStringLiteral("Limit %1").arg(rules[i].text));
        text->setTextInteractionFlags(Qt::TextSelectableByMouse);
        auto* row = new QHBoxLayout(line);
        row->setContentsMargins(0, 0, 0, 0);
        row->addWidget(lamp);
        row->addWidget(text, 1);
        lines_->addWidget(line);
        lamps_.push_back(lamp);
        texts_.push_back(text);
    }
    if (rules.empty()) {
        auto* none = new QLabel(QStringLiteral("No rules: add one above."), this);
        none->setObjectName(QStringLiteral("LblLimitNone"));
        lines_->addWidget(none);
    }
    showStatuses(watch_.statuses());
}

void LimitWindow::showStatuses(const std::vector<live::LimitStatus>& statuses) {
    const std::vector<live::LiveLimitRule>& rules = watch_.options().rules;
    for (size_t i = 0; i < rules.size() && i < texts_.size(); ++i) {
        // The watch's statuses are in the order of its rules.
        if (!pending_ && i < statuses.size() && statuses[i].rule == rules[i].text) {
            showLamp(lamps_[i], limitLampText(statuses[i]));
            platform::showValue(texts_[i], live::limitStatusText(statuses[i]));
        } else {
            showLamp(lamps_[i], limitLampText(live::LimitStatus{}));
            platform::showValue(texts_[i], limitPendingText(rules[i]));
        }
    }
}

bool LimitWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeRule();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace lp::panel
