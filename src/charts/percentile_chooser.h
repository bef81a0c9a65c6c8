// The saved-file window's resolution chooser ("Resolution": "0.1 dB", "1 dB"): each
// button computes the percentile levels Ln of the listed records at its class width
// and shows them in a fresh histogram window. The window that lists the records
// places the chooser; the chooser only reads the records.
#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <functional>

#include "charts/histogram.h"
#include "platform/dialogs.h"
#include "records/record_store.h"
#include "stats/resolution.h"

namespace lp::charts {

class PercentileChooser : public QWidget {
    Q_OBJECT
public:
    // `records` are the listed records (they outlive the chooser: the list window that
    // holds them is its parent); messages go to `parent`. `fileName` names the records'
    // file in the histogram's caption, asked at each computation (the list may load
    // its file after the chooser is made).
    PercentileChooser(const records::RecordStore& records, platform::Dialogs& dialogs,
                      QWidget* parent, std::function<QString()> fileName = {});

    // The buttons "0.1 dB" (Cmd01dB) and "1 dB" (Cmd1dB).
    void onTenthDbClicked();
    void onWholeDbClicked();

    // The window of the last computation, while it is open.
    [[nodiscard]] Histogram* histogram() const { return histogram_; }
    // The 100 levels of the last computation (entry n: exceeded n % of the time);
    // empty before the first one.
    [[nodiscard]] const QStringList& lnLevels() const { return lnLevels_; }

    inline static const QString kNoLevelText = QStringLiteral(
        "There is no level to compute: none of the listed records holds a sound level.");

private:
    void compute(stats::Resolution resolution);

    const records::RecordStore& records_;
    platform::Dialogs& dialogs_;
    std::function<QString()> fileName_;
    QPointer<Histogram> histogram_;
    QStringList lnLevels_;
};

}  // namespace lp::charts
