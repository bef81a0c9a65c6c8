#include "survey/assessment_limits_panel.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>

#include "stats/figure_notation.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

constexpr std::array kFigures = {assess::LimitFigure::Laeq, assess::LimitFigure::Lmax,
                                 assess::LimitFigure::L10, assess::LimitFigure::L90};
constexpr std::array kGuidelines = {assess::Guideline::Road, assess::Guideline::Rail,
                                    assess::Guideline::Aircraft, assess::Guideline::Wind};

std::optional<int> hourOf(const QString& text) {
    bool ok = false;
    const int hour = text.trimmed().toInt(&ok);
    return ok && hour >= 0 && hour <= 24 ? std::optional<int>(hour) : std::nullopt;
}

}  // namespace

std::variant<assess::LimitRule, QString> limitRuleOf(const QString& figure, const QString& length,
                                                     const QString& hours, const QString& db) {
    assess::LimitRule rule;
    const auto named = std::find_if(kFigures.begin(), kFigures.end(), [&figure](auto f) {
        return assess::limitFigureName(f) == figure.trimmed().toLower();
    });
    if (named == kFigures.end()) {
        return QStringLiteral("the figure is laeq, lmax, l10 or l90");
    }
    rule.figure = *named;
    const QString wanted = QString(length).remove(u' ');
    const std::span<const qint64> lengths = periodLengths();
    const auto found = std::find_if(lengths.begin(), lengths.end(), [&wanted](qint64 l) {
        return periodLengthText(l).remove(u' ') == wanted || stats::intervalLabel(l) == wanted;
    });
    if (found == lengths.end()) {
        return QStringLiteral("the length is one of the period lengths (15 min, 1 h, …)");
    }
    rule.length = *found;
    const QStringList ends = hours.split(u'-');
    const std::optional<int> from = ends.size() == 2 ? hourOf(ends[0]) : std::nullopt;
    const std::optional<int> to = ends.size() == 2 ? hourOf(ends[1]) : std::nullopt;
    if (!from || !to || *from == 24 || *from == *to) {
        return QStringLiteral("the hours are FROM-TO, such as 23-07");
    }
    rule.from = *from;
    rule.to = *to;
    bool ok = false;
    rule.db = db.trimmed().toDouble(&ok);
    if (!ok || rule.db < 0.0 || rule.db > 200.0) {
        return QStringLiteral("the limit is a level in dB, such as 45");
    }
    rule.text = QStringLiteral("%1,%2,%3,%4")
                    .arg(assess::limitFigureName(rule.figure), stats::intervalLabel(rule.length),
                         hours.trimmed(), db.trimmed());
    return rule;
}

AssessmentLimitsPanel::AssessmentLimitsPanel(QWidget* parent)
    : AssessmentPanel(QStringLiteral("limits"), QStringLiteral("Limits"), parent) {
    rules_ = new QTableWidget(0, 4);
    nameControl(rules_, "limitRulesTable", QStringLiteral("Limit rules"));
    rules_->setHorizontalHeaderLabels({QStringLiteral("Figure"), QStringLiteral("T"),
                                       QStringLiteral("Hours"), QStringLiteral("dB")});
    rules_->verticalHeader()->hide();
    rules_->setMinimumHeight(120);
    rules_->setToolTip(
        QStringLiteral("Figure laeq, lmax, l10 or l90; T such as 15 min; hours FROM-TO such as "
                       "23-07; the limit in dB"));
    addLabelled(QStringLiteral("&Rules"), rules_);
    add_ = new QPushButton(QStringLiteral("&Add rule"));
    nameControl(add_, "addRuleButton", QStringLiteral("Add rule"));
    remove_ = new QPushButton(QStringLiteral("Re&move rule"));
    nameControl(remove_, "removeRuleButton", QStringLiteral("Remove rule"));
    auto* buttons = new QWidget;
    auto* buttonRow = new QHBoxLayout(buttons);
    buttonRow->setContentsMargins(0, 0, 0, 0);
    buttonRow->addWidget(add_);
    buttonRow->addWidget(remove_);
    form()->addRow(buttons);
    guideline_ = addRow(QStringLiteral("&WHO guideline"), "guidelineCombo",
                        QStringLiteral("WHO guideline"), new QComboBox);
    guideline_->addItem(QStringLiteral("none"), -1);
    for (const assess::Guideline g : kGuidelines) {
        guideline_->addItem(assess::guidelineName(g), int(g));
    }
    addRule({QStringLiteral("laeq"), QStringLiteral("1 h"), QStringLiteral("07-23"),
             QStringLiteral("55")});
    addRule({QStringLiteral("laeq"), QStringLiteral("15 min"), QStringLiteral("23-07"),
             QStringLiteral("45")});
    connect(add_, &QPushButton::clicked, this, [this] {
        addRule({QStringLiteral("laeq"), QStringLiteral("1 h"), QStringLiteral("07-23"),
                 QStringLiteral("55")});
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        const int row = rules_->currentRow() >= 0 ? rules_->currentRow() : rules_->rowCount() - 1;
        if (row >= 0) {
            rules_->removeRow(row);
            emit changed();
        }
    });
    connect(rules_, &QTableWidget::itemChanged, this, &AssessmentPanel::changed);
    connect(guideline_, &QComboBox::currentIndexChanged, this, &AssessmentPanel::changed);
}

void AssessmentLimitsPanel::addRule(const QStringList& texts) {
    const QSignalBlocker quiet(rules_);
    const int row = rules_->rowCount();
    rules_->insertRow(row);
    for (int column = 0; column < 4; ++column) {
        rules_->setItem(row, column, new QTableWidgetItem(texts.value(column)));
    }
    rules_->resizeColumnsToContents();
    emit changed();
}

void AssessmentLimitsPanel::assess(const AssessmentContext& context) {
    assess::LimitOptions options;
    options.minCoverage = context.minCoverage;
    options.hours = context.options.dayParts;
    for (int row = 0; row < rules_->rowCount(); ++row) {
        const auto text = [this, row](int column) {
            const QTableWidgetItem* item = rules_->item(row, column);
            return item != nullptr ? item->text() : QString();
        };
        std::variant<assess::LimitRule, QString> rule =
            limitRuleOf(text(0), text(1), text(2), text(3));
        if (const QString* problem = std::get_if<QString>(&rule)) {
            showProblem(QStringLiteral("Rule %1: %2.").arg(row + 1).arg(*problem));
            return;
        }
        options.rules.push_back(std::get<assess::LimitRule>(std::move(rule)));
    }
    if (const int g = guideline_->currentData().toInt(); g >= 0) {
        options.guideline = static_cast<assess::Guideline>(g);
    }
    showResult(limitsShown(assess::assessLimits({context.records, context.samples}, options),
                           context.notation, context.records.days.zone()));
}

}  // namespace lp::survey
