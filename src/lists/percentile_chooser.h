// The saved-file window's resolution chooser ("Resolution": "0.1 dB", "1 dB"): each
// button computes the percentile levels Ln of the listed records at its class width
// and shows them in a fresh histogram window.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>

#include "app/state/program_state.h"
#include "charts/histogram.h"
#include "lists/stats/resolution.h"
#include "platform/dialogs.h"

namespace lp::lists {

class HddSavedList;

class PercentileChooser : public QWidget {
    Q_OBJECT
public:
    // Installs itself in `window` (hidden until its "Ln" button shows it).
    PercentileChooser(HddSavedList& window, app::ProgramState& state, platform::Dialogs& dialogs);

    void Cmd01dB_Click();
    void Cmd1dB_Click();

    // The window of the last computation, while it is open.
    [[nodiscard]] charts::Histogram* histogram() const { return histogram_; }
    // The 100 levels of the last computation (entry n: exceeded n % of the time);
    // empty before the first one.
    [[nodiscard]] const QStringList& lnLevels() const { return lnLevels_; }

    inline static const QString kNoLevelText = QStringLiteral(
        "There is no level to compute: none of the listed records holds a sound level.");

private:
    void compute(Resolution resolution);

    HddSavedList& window_;
    app::ProgramState& state_;
    platform::Dialogs& dialogs_;
    QPointer<charts::Histogram> histogram_;
    QStringList lnLevels_;
};

}  // namespace lp::lists
