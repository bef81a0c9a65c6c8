// One method's panel of the Survey window's Assessment tab: its inputs on a form at the
// left, and what its result shows at the right (the lines stating the estimate or
// verdict, then its tables). Each method's panel derives from it; the tab tells the
// chosen one to work its method out whenever anything changes.
#pragma once

#include <QWidget>
#include <span>
#include <vector>

#include "assess/profile.h"
#include "stats/figure_notation.h"
#include "stats/survey.h"
#include "survey/assessment_rows.h"

class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QSpinBox;
class QTableView;
class QVBoxLayout;

namespace lp::survey {

class FigureTableModel;

// What every method works on: the survey's records, its counted samples (the window's
// exclusions and correction applied), the window's options and the least coverage of an
// interval that is used.
struct AssessmentContext {
    const stats::SurveyRecords& records;
    std::span<const stats::LevelSample> samples;
    const stats::SurveyOptions& options;
    double minCoverage = 0.75;
    stats::Notation notation;
};

class AssessmentPanel : public QWidget {
    Q_OBJECT
public:
    // `name` names the panel ("background": backgroundPanel, "Background result").
    AssessmentPanel(const QString& name, const QString& title, QWidget* parent = nullptr);

    // Works the method out over `context` and shows it.
    virtual void assess(const AssessmentContext& context) = 0;
    // The window's options changed (exclusions, correction): surveys of the panel's own
    // are counted again.
    virtual void surveyChanged(const AssessmentContext& context) { Q_UNUSED(context); }
    // Shows the method's options of a profile (without telling changed()), and takes
    // those shown into one; a method without options in profiles does neither.
    virtual void showProfile(const assess::Profile& profile) { Q_UNUSED(profile); }
    virtual void takeProfile(assess::Profile& profile) const { Q_UNUSED(profile); }

    [[nodiscard]] QLabel* resultLabel() const { return result_; }
    [[nodiscard]] QTableView* table(int index) const;
    [[nodiscard]] int tableCount() const { return static_cast<int>(tables_.size()); }

signals:
    // An input changed: the tab works the method out again.
    void changed();

protected:
    // The inputs' form.
    [[nodiscard]] QFormLayout* form() const { return form_; }
    // Puts `widget` between the result's lines and its tables (the background's
    // histogram).
    void addResultWidget(QWidget* widget);
    // Shows the lines and tables.
    void showResult(AssessmentShown shown);
    // Shows why there is nothing to show.
    void showProblem(const QString& problem);

    // A control on a form row whose label carries the Alt key, named for code and for
    // assistive technology; its changes are told (changed()).
    template <typename Control>
    Control* addRow(const QString& label, const char* objectName, const QString& accessibleName,
                    Control* control) {
        nameControl(control, objectName, accessibleName);
        addLabelled(label, control);
        return control;
    }
    void nameControl(QWidget* control, const char* objectName, const QString& accessibleName);
    void addLabelled(const QString& label, QWidget* control);

    // Controls told as changed() on each change.
    [[nodiscard]] QSpinBox* hourSpin(int value);
    [[nodiscard]] QDoubleSpinBox* decibelSpin(double low, double high, double value);
    [[nodiscard]] QComboBox* lengthCombo(qint64 value);

private:
    struct ShownTable {
        QLabel* title = nullptr;
        QTableView* view = nullptr;
        FigureTableModel* model = nullptr;
        QStringList headers;
    };
    ShownTable& tableAt(size_t index, const AssessmentTable& table);

    QString name_;
    QFormLayout* form_ = nullptr;
    QLabel* result_ = nullptr;
    QVBoxLayout* results_ = nullptr;
    std::vector<ShownTable> tables_;
};

}  // namespace lp::survey
