// Record files of another survey for an assessment (the residual, the background),
// chosen through the open dialog and read once when chosen; counted with the window's
// exclusions and correction as the survey itself is.
#pragma once

#include <QWidget>
#include <optional>

#include "assess/assess_input.h"
#include "stats/survey.h"

class QLabel;
class QPushButton;

namespace lp::platform {
class Dialogs;
}

namespace lp::survey {

class AssessmentFiles : public QWidget {
    Q_OBJECT
public:
    // `name` names the controls ("residual": residualFilesButton, residualClearButton,
    // residualFilesLabel); `what` says what the files are ("Residual files").
    AssessmentFiles(platform::Dialogs& dialogs, const QString& name, const QString& what,
                    QWidget* parent = nullptr);

    // The open dialog, then the files read (a file that cannot be read is told, and the
    // files chosen before stay).
    void choose();
    void clear();
    // Counts the files' records again with `options` (and reads later files in `zone`).
    void count(const stats::SurveyRecords& survey, const stats::SurveyOptions& options);

    // The survey of the files; none when no file is chosen.
    [[nodiscard]] std::optional<assess::SurveyInput> input() const;

    [[nodiscard]] QPushButton* chooseButton() const { return choose_; }
    [[nodiscard]] QPushButton* clearButton() const { return clear_; }
    [[nodiscard]] QLabel* namesLabel() const { return names_; }

signals:
    void changed();

private:
    void recount();

    platform::Dialogs& dialogs_;
    QPushButton* choose_ = nullptr;
    QPushButton* clear_ = nullptr;
    QLabel* names_ = nullptr;
    QTimeZone zone_;
    stats::SurveyOptions options_;
    std::optional<stats::SurveyRecords> records_;
    platform::LargeVector<stats::LevelSample> samples_;
};

}  // namespace lp::survey
