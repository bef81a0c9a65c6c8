// The specific sound and rating level (BS 4142:2014+A1:2019, ISO 1996-1): per part of
// the day, the ambient level La of each reference time interval T_r, the specific
// level Ls (La less a residual, or a level given with its on-time), the rating level
// LAr,T_r = Ls + the corrections, and the initial estimate of the impact by the
// difference between the highest rating level and the background.
#pragma once

#include "assess/assess_input.h"
#include "assess/background.h"

namespace lp::assess {

enum class CorrectionKind { Tonal, Impulsive, Intermittency, Other };
// The dB a kind may take: tonal 0/2/4/6, impulsive 0/3/6/9, intermittency 0/3,
// other 0/3.
[[nodiscard]] bool isAllowedCorrection(CorrectionKind kind, double db);
// "tonal", "impulsive", "intermittency", "other".
[[nodiscard]] QString correctionName(CorrectionKind kind);

struct Correction {
    CorrectionKind kind = CorrectionKind::Other;
    double db = 0.0;
    QString reason;
};

struct RatingPartOptions {
    DayPart part;
    qint64 tr = 3600;  // T_r in seconds
};

struct RatingOptions {
    std::vector<RatingPartOptions> parts{{{QStringLiteral("day"), 7, 23}, 3600},
                                         {{QStringLiteral("night"), 23, 7}, 900}};
    double minCoverage = kMinCoverage;
    // The residual: a survey without the source, or a level.
    const SurveyInput* residual = nullptr;
    std::optional<double> residualLevel;
    // Instead of La less the residual: a specific level measured on its own, and how
    // long the source runs within each T_r (seconds; none or more than T_r: all of it).
    std::optional<double> specificLevel;
    std::optional<qint64> onTime;
    std::vector<Correction> corrections;
    // The background: a survey's typical LA90 (per part), or a level; else the
    // residual survey's, else the survey's own.
    const SurveyInput* background = nullptr;
    std::optional<double> backgroundLevel;
    Typical typical = Typical::Mode;
    qint64 backgroundInterval = 900;
};

enum class BackgroundFrom { Level, BackgroundSurvey, ResidualSurvey, Survey };
// "background_level", "background_files", "residual_files", "survey".
[[nodiscard]] QString backgroundFromName(BackgroundFrom from);

struct RatingInterval {
    qint64 start = 0;
    qint64 end = 0;
    std::optional<double> la;
    std::optional<double> ls;
    std::optional<double> lar;
    // Why there is no Ls: "residual too close", or "no residual level in this part" (the
    // residual survey has no level in it); else empty.
    QString note;
};

enum class Estimate { Low, Between, Adverse, SignificantAdverse };
// The words of the estimate: "low impact", "between", "likely adverse impact",
// "likely significant adverse impact".
[[nodiscard]] QString estimateText(Estimate estimate);
// By D as shown: >= 10, >= 5, > 0, <= 0.
[[nodiscard]] Estimate estimateOf(double difference);
// The estimate as every output states it: its words, "depending on the context".
[[nodiscard]] QString estimateStatement(Estimate estimate);

struct RatingPart {
    RatingPartOptions options;
    std::optional<double> residual;  // Lr
    std::optional<double> background;
    BackgroundFrom backgroundFrom = BackgroundFrom::Survey;
    std::vector<Correction> corrections;
    double correctionSum = 0.0;
    // The used ones (covered, with a level in the measuring range), in time order; each
    // belongs to the part in which it starts.
    std::vector<RatingInterval> intervals;
    qint64 intervalsSkipped = 0;
    std::optional<RatingInterval> worst;  // the highest LAr as shown; the first of a tie
    std::optional<double> d;              // worst LAr - background, as shown
    std::optional<Estimate> estimate;
};

struct RatingResult {
    std::vector<RatingPart> parts;
};

// Ls from La and Lr: La when Lr is far enough below (>= 10 dB), the energy difference
// when 3 <= La - Lr < 10, none when closer ("residual too close"). The difference is
// that of the levels as shown.
[[nodiscard]] std::optional<double> specificLevel(double la, double lr);

[[nodiscard]] RatingResult assessRating(const SurveyInput& input, const RatingOptions& options);

}  // namespace lp::assess
