// What an assessment's result shows, without widgets: its tables as rows of texts and
// the lines that state its figures, estimate or verdict. The Survey window's Assessment
// tab shows them, and the report can print the same rows.
#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <vector>

#include "assess/background.h"
#include "assess/exposure.h"
#include "assess/limits.h"
#include "assess/loud_events.h"
#include "stats/figure_notation.h"

namespace lp::survey {

// A table of an assessment: its title, its headers, how many columns from the left are
// texts (the others figures), and its rows.
struct AssessmentTable {
    QString title;
    QStringList headers;
    int textColumns = 1;
    std::vector<QStringList> rows;
};

// What an assessment shows: its tables, then the lines under them.
struct AssessmentShown {
    std::vector<AssessmentTable> tables;
    QStringList lines;
};

// The parts (Part, Hours, Used, Skipped, Mode, Median, 10th percentile, Typical) and,
// with the NSW figures, the ABL per day and part; the lines name the typical LA90,T of
// each part and the RBLs.
[[nodiscard]] AssessmentShown backgroundShown(const assess::BackgroundResult& result,
                                              assess::Typical typical,
                                              const stats::Notation& notation);

// Per day (or shift) Te, LAeq,Te, LEX,8h, the dose and the verdict; the lines give
// LEX,w and what the verdict cannot judge.
[[nodiscard]] AssessmentShown exposureShown(const assess::ExposureResult& result,
                                            const stats::Notation& notation);

// Per day the events above the level in the day, evening and night, and the nth
// highest window maximum of the night.
[[nodiscard]] AssessmentShown loudEventsShown(const assess::LoudEventResult& result,
                                              const assess::LoudEventOptions& options,
                                              const stats::Notation& notation);

// Per rule the intervals judged, not judged and failing and the worst margin; then the
// judged intervals; the lines state each rule and the WHO guideline.
[[nodiscard]] AssessmentShown limitsShown(const assess::LimitResult& result,
                                          const stats::Notation& notation, const QTimeZone& zone);

// "Day", "Evening", "Night": a part's name as a table's first cell.
[[nodiscard]] QString partTitle(const QString& name);
// "1st", "2nd", "3rd", "10th".
[[nodiscard]] QString ordinalText(int n);
// A difference in dB with its sign: "+9.3", "-2.0", kNoValue.
[[nodiscard]] QString signedLevelText(const std::optional<double>& db);

}  // namespace lp::survey
