#include "assess/rating.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "stats/figure_text.h"

namespace lp::assess {
namespace {

// The difference of two levels as the reader works it out from the levels shown.
double shownDifference(double upper, double lower) {
    return stats::shownLevel(stats::shownLevel(upper) - stats::shownLevel(lower));
}

// Lr per part: the energy mean of the residual survey's counted levels, each in the
// part its own local hour lies in.
std::vector<std::optional<double>> residualLevels(const SurveyInput& residual,
                                                  std::span<const DayPart> parts) {
    std::vector<stats::EnergyMean> means(parts.size());
    for (const stats::LevelSample& sample : residual.samples) {
        const int part = partAt(residual.records.days, sample.time, parts);
        if (part >= 0) {
            means[size_t(part)].add(sample);
        }
    }
    std::vector<std::optional<double>> levels;
    for (const stats::EnergyMean& mean : means) {
        levels.push_back(mean.leq());
    }
    return levels;
}

// The background per part, and where it comes from.
std::vector<std::optional<double>> backgroundLevels(const SurveyInput& input,
                                                    const RatingOptions& options,
                                                    std::span<const DayPart> parts,
                                                    BackgroundFrom& from) {
    if (options.backgroundLevel) {
        from = BackgroundFrom::Level;
        return std::vector<std::optional<double>>(parts.size(), options.backgroundLevel);
    }
    const SurveyInput* survey = &input;
    from = BackgroundFrom::Survey;
    if (options.background) {
        survey = options.background;
        from = BackgroundFrom::BackgroundSurvey;
    } else if (options.residual) {
        survey = options.residual;
        from = BackgroundFrom::ResidualSurvey;
    }
    BackgroundOptions background;
    background.interval = options.backgroundInterval;
    background.minCoverage = options.minCoverage;
    background.parts.assign(parts.begin(), parts.end());
    background.typical = options.typical;
    std::vector<std::optional<double>> levels;
    for (const BackgroundPart& part : assessBackground(*survey, background).parts) {
        levels.push_back(part.typical);
    }
    return levels;
}

// Ls of one interval, or the note that says why there is none.
void rateInterval(RatingInterval& interval, const RatingOptions& options,
                  const std::optional<double>& residual, qint64 tr, double correctionSum) {
    if (options.specificLevel) {
        const qint64 onTime = std::min(options.onTime.value_or(tr), tr);
        interval.ls = *options.specificLevel + 10.0 * std::log10(double(onTime) / double(tr));
    } else if (!options.residual && !options.residualLevel) {
        interval.ls = interval.la;
    } else if (!residual) {
        interval.note = QStringLiteral("no residual level in this part");
    } else {
        interval.ls = specificLevel(*interval.la, *residual);
        if (!interval.ls) {
            interval.note = QStringLiteral("residual too close");
        }
    }
    if (interval.ls) {
        interval.lar = *interval.ls + correctionSum;
    }
}

}  // namespace

bool isAllowedCorrection(CorrectionKind kind, double db) {
    switch (kind) {
        case CorrectionKind::Tonal:
            return db == 0.0 || db == 2.0 || db == 4.0 || db == 6.0;
        case CorrectionKind::Impulsive:
            return db == 0.0 || db == 3.0 || db == 6.0 || db == 9.0;
        case CorrectionKind::Intermittency:
        case CorrectionKind::Other:
            return db == 0.0 || db == 3.0;
    }
    return false;
}

QString correctionName(CorrectionKind kind) {
    switch (kind) {
        case CorrectionKind::Tonal:
            return QStringLiteral("tonal");
        case CorrectionKind::Impulsive:
            return QStringLiteral("impulsive");
        case CorrectionKind::Intermittency:
            return QStringLiteral("intermittency");
        case CorrectionKind::Other:
            return QStringLiteral("other");
    }
    return {};
}

QString backgroundFromName(BackgroundFrom from) {
    switch (from) {
        case BackgroundFrom::Level:
            return QStringLiteral("background_level");
        case BackgroundFrom::BackgroundSurvey:
            return QStringLiteral("background_files");
        case BackgroundFrom::ResidualSurvey:
            return QStringLiteral("residual_files");
        case BackgroundFrom::Survey:
            return QStringLiteral("survey");
    }
    return {};
}

QString estimateText(Estimate estimate) {
    switch (estimate) {
        case Estimate::Low:
            return QStringLiteral("low impact");
        case Estimate::Between:
            return QStringLiteral("between");
        case Estimate::Adverse:
            return QStringLiteral("likely adverse impact");
        case Estimate::SignificantAdverse:
            return QStringLiteral("likely significant adverse impact");
    }
    return {};
}

QString estimateStatement(Estimate estimate) {
    return estimateText(estimate) + QStringLiteral(", depending on the context");
}

Estimate estimateOf(double difference) {
    const double d = stats::shownLevel(difference);
    if (d >= 10.0) {
        return Estimate::SignificantAdverse;
    }
    if (d >= 5.0) {
        return Estimate::Adverse;
    }
    return d > 0.0 ? Estimate::Between : Estimate::Low;
}

std::optional<double> specificLevel(double la, double lr) {
    const double delta = shownDifference(la, lr);
    if (delta >= 10.0) {
        return la;
    }
    if (delta >= 3.0) {
        return stats::levelOf(stats::energyOf(la) - stats::energyOf(lr));
    }
    return std::nullopt;
}

RatingResult assessRating(const SurveyInput& input, const RatingOptions& options) {
    std::vector<DayPart> parts;
    for (const RatingPartOptions& part : options.parts) {
        parts.push_back(part.part);
    }
    std::vector<std::optional<double>> residuals(parts.size());
    if (options.residualLevel) {
        residuals.assign(parts.size(), options.residualLevel);
    } else if (options.residual) {
        residuals = residualLevels(*options.residual, parts);
    }
    BackgroundFrom from = BackgroundFrom::Survey;
    const std::vector<std::optional<double>> backgrounds =
        backgroundLevels(input, options, parts, from);
    double correctionSum = 0.0;
    for (const Correction& correction : options.corrections) {
        correctionSum += correction.db;
    }

    RatingResult result;
    std::map<qint64, std::vector<stats::SurveyPeriod>> intervalsByLength;
    for (size_t p = 0; p < parts.size(); ++p) {
        RatingPart& rated = result.parts.emplace_back();
        rated.options = options.parts[p];
        rated.residual = residuals[p];
        rated.background = backgrounds[p];
        rated.backgroundFrom = from;
        rated.corrections = options.corrections;
        rated.correctionSum = correctionSum;
        const qint64 tr = rated.options.tr;
        auto found = intervalsByLength.find(tr);
        if (found == intervalsByLength.end()) {
            found = intervalsByLength.emplace(tr, referenceIntervals(input, tr)).first;
        }
        for (const stats::SurveyPeriod& period : found->second) {
            if (partAt(input.records.days, period.start, parts) != int(p)) {
                continue;
            }
            if (!isCovered(period, options.minCoverage) || !period.leq) {
                ++rated.intervalsSkipped;
                continue;
            }
            RatingInterval& interval = rated.intervals.emplace_back();
            interval.start = period.start;
            interval.end = period.end;
            interval.la = period.leq;
            rateInterval(interval, options, rated.residual, tr, correctionSum);
            if (interval.lar && (!rated.worst || stats::shownLevel(*interval.lar) >
                                                     stats::shownLevel(*rated.worst->lar))) {
                rated.worst = interval;
            }
        }
        if (rated.worst && rated.background) {
            rated.d = shownDifference(*rated.worst->lar, *rated.background);
            rated.estimate = estimateOf(*rated.d);
        }
    }
    return result;
}

}  // namespace lp::assess
