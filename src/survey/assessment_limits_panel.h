// Limits by time of day in the Assessment tab: an editable list of rules (figure, interval
// length, hours, dB) and the WHO guideline to compare Lden and Lnight with; shown as the
// rules' table, the intervals judged and a line per rule.
#pragma once

#include <variant>

#include "assess/limits.h"
#include "survey/assessment_panel.h"

class QPushButton;
class QTableWidget;

namespace lp::survey {

// A rule from the texts of its row: "laeq", "15 min" (or "15min"), "23-07", "45"; why
// it cannot be used when it cannot.
[[nodiscard]] std::variant<assess::LimitRule, QString> limitRuleOf(const QString& figure,
                                                                   const QString& length,
                                                                   const QString& hours,
                                                                   const QString& db);

class AssessmentLimitsPanel : public AssessmentPanel {
    Q_OBJECT
public:
    explicit AssessmentLimitsPanel(QWidget* parent = nullptr);

    void assess(const AssessmentContext& context) override;

    // Adds a rule row with these texts (Add rule adds "laeq", "1 h", "07-23", "55").
    void addRule(const QStringList& texts);

    [[nodiscard]] QTableWidget* rulesTable() const { return rules_; }
    [[nodiscard]] QComboBox* guidelineCombo() const { return guideline_; }

private:
    QTableWidget* rules_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    QComboBox* guideline_ = nullptr;
};

}  // namespace lp::survey
