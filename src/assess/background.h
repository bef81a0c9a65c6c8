// The background sound level (BS 4142:2014+A1:2019, ISO 1996-2): the LA90 of
// reference intervals, per part of the day, and the typical value of them; and the
// rating background level of the NSW Noise Policy for Industry (ABL per day and part,
// RBL per part).
#pragma once

#include <QDate>
#include <map>

#include "assess/assess_input.h"

namespace lp::assess {

enum class Typical { Mode, Median, P10 };
// "the mode", "the median", "the 10th percentile".
[[nodiscard]] QString typicalName(Typical typical);

struct BackgroundOptions {
    qint64 interval = 900;  // seconds, a whole part of a day (stats::isPeriodLength)
    double minCoverage = kMinCoverage;
    std::vector<DayPart> parts = dayAndNight();
    Typical typical = Typical::Mode;
    bool rbl = false;  // also the NSW ABL and RBL
};

struct BackgroundPart {
    DayPart part;
    qint64 intervalsUsed = 0;
    qint64 intervalsSkipped = 0;  // too little coverage
    // The LA90,T of the used intervals: unrounded, in time order, with their starts and
    // ends (instants).
    std::vector<double> values;
    std::vector<qint64> starts;
    std::vector<qint64> ends;
    // How many values round to each whole dB (halves up).
    std::map<int, qint64> histogram;
    std::optional<double> mode;  // the most frequent whole dB; a tie goes to the lowest
    std::optional<double> median;
    std::optional<double> p10;
    std::optional<double> typical;  // by BackgroundOptions::typical
};

// NSW: per day and part the assessment background level (the 10th percentile of its
// LA90,15min values), per part the rating background level (the median of its ABLs).
// Parts: day 07-18, evening 18-22, night 22-07; a night belongs to the day it starts.
struct AblDay {
    QDate date;
    std::vector<std::optional<double>> abl;  // one per part, in the parts' order
};
struct RblResult {
    std::vector<DayPart> parts;
    std::vector<AblDay> days;
    std::vector<std::optional<double>> rbl;  // one per part
};

struct BackgroundResult {
    qint64 intervalSeconds = 0;
    std::vector<BackgroundPart> parts;
    std::optional<RblResult> rbl;
};

[[nodiscard]] std::vector<DayPart> nswParts();

[[nodiscard]] BackgroundResult assessBackground(const SurveyInput& input,
                                                const BackgroundOptions& options);

}  // namespace lp::assess
