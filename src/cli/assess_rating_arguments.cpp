#include "cli/assess_rating_arguments.h"

#include <map>

#include "cli/kit/numbers.h"

namespace lp::cli {
namespace {

constexpr assess::CorrectionKind kKinds[] = {
    assess::CorrectionKind::Tonal, assess::CorrectionKind::Impulsive,
    assess::CorrectionKind::Intermittency, assess::CorrectionKind::Other};

std::optional<QString> RatingFlags::*correctionField(assess::CorrectionKind kind) {
    switch (kind) {
        case assess::CorrectionKind::Tonal:
            return &RatingFlags::tonal;
        case assess::CorrectionKind::Impulsive:
            return &RatingFlags::impulsive;
        case assess::CorrectionKind::Intermittency:
            return &RatingFlags::intermittency;
        case assess::CorrectionKind::Other:
            return &RatingFlags::other;
    }
    return &RatingFlags::other;
}

QString allowedText(assess::CorrectionKind kind) {
    QStringList allowed;
    for (int db = 0; db <= 9; ++db) {
        if (assess::isAllowedCorrection(kind, db)) {
            allowed << QString::number(db);
        }
    }
    const QString last = allowed.takeLast();
    return allowed.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
}

// The corrections typed, each with the reason typed right after it.
Outcome<std::vector<assess::Correction>> readCorrections(const RatingFlags& flags,
                                                         const ReadArguments& args) {
    std::map<assess::CorrectionKind, QString> reasons;
    const assess::CorrectionKind* last = nullptr;  // the correction typed just before
    for (const auto& [name, value] : args.options) {
        if (name == QStringLiteral("reason")) {
            if (last == nullptr || reasons.contains(*last)) {
                return usageMistake(
                    QStringLiteral("--reason follows the correction it explains (--tonal, "
                                   "--impulsive, --intermittency or --other), once: '%1'")
                        .arg(value.value_or(QString())));
            }
            reasons[*last] = value.value_or(QString());
            continue;
        }
        last = nullptr;
        for (const assess::CorrectionKind& kind : kKinds) {
            if (name == assess::correctionName(kind)) {
                last = &kind;
                reasons.erase(kind);  // given again: the later one holds, with its reason
            }
        }
    }
    std::vector<assess::Correction> corrections;
    for (const assess::CorrectionKind kind : kKinds) {
        const std::optional<QString>& typed = flags.*correctionField(kind);
        if (!typed) {
            continue;
        }
        const std::optional<double> db = decimalOf(*typed);
        if (!db || !assess::isAllowedCorrection(kind, *db)) {
            return usageMistake(QStringLiteral("--%1 takes %2 (dB), not '%3'")
                                    .arg(assess::correctionName(kind), allowedText(kind), *typed));
        }
        const auto reason = reasons.find(kind);
        corrections.push_back({kind, *db, reason == reasons.end() ? QString() : reason->second});
    }
    return corrections;
}

Outcome<double> levelOption(const QString& name, const QString& text) {
    const std::optional<double> level = decimalOf(text);
    if (!level) {
        return usageMistake(
            QStringLiteral("--%1 takes a level in dB (like 40 or 38.5), not '%2'").arg(name, text));
    }
    return *level;
}

// The parts of the day with their T_r.
Outcome<std::vector<assess::RatingPartOptions>> readParts(const RatingFlags& flags) {
    const Outcome<std::vector<assess::DayPart>> hours = readDayAndNight(flags.day, flags.night);
    if (!hours) {
        return hours.refusal();
    }
    std::vector<assess::RatingPartOptions> parts = assess::RatingOptions().parts;
    const std::optional<QString>* lengths[2] = {&flags.trDay, &flags.trNight};
    for (size_t i = 0; i < 2; ++i) {
        parts[i].part = (*hours)[i];
        if (*lengths[i]) {
            const std::optional<qint64> length = periodLengthOf(**lengths[i]);
            if (!length) {
                return usageMistake(
                    QStringLiteral("--tr-%1 takes Nmin or Nh from 1min to 24h that divides a "
                                   "day (like 1h or 15min), not '%2'")
                        .arg(parts[i].part.name, **lengths[i]));
            }
            parts[i].tr = *length;
        }
    }
    return parts;
}

}  // namespace

std::vector<OptionRow> ratingRows(RatingFlags& f) {
    std::vector<OptionRow> rows{
        text(QStringLiteral("tr-day"), QStringLiteral("T"), f.trDay,
             QStringLiteral("The reference time interval T_r in the day: Nmin or Nh, a whole "
                            "part of a day (default 1h).")),
        text(QStringLiteral("tr-night"), QStringLiteral("T"), f.trNight,
             QStringLiteral("The reference time interval T_r at night (default 15min).")),
        text(QStringLiteral("day"), QStringLiteral("HH-HH"), f.day,
             QStringLiteral("The local hours of the day (default 07-23).")),
        text(QStringLiteral("night"), QStringLiteral("HH-HH"), f.night,
             QStringLiteral("The local hours of the night (default 23-07); day and night "
                            "follow one another over 24 hours.")),
        std::move(texts(QStringLiteral("residual"), QStringLiteral("FILE"), f.residual,
                        QStringLiteral("A record file of the residual sound (the source off); "
                                       "again for more files of it.")))
            .completing(Completes::File),
        text(QStringLiteral("residual-level"), QStringLiteral("DB"), f.residualLevel,
             QStringLiteral("The residual sound level instead of files.")),
        text(QStringLiteral("specific-level"), QStringLiteral("DB"), f.specificLevel,
             QStringLiteral("The specific sound level measured on its own, instead of the "
                            "survey less the residual.")),
        text(QStringLiteral("on-time"), QStringLiteral("S"), f.onTime,
             QStringLiteral("With --specific-level: the seconds the source runs in each T_r "
                            "(default, and at most, all of it).")),
        text(QStringLiteral("tonal"), QStringLiteral("DB"), f.tonal,
             QStringLiteral("The tonal correction: 0, 2, 4 or 6 dB.")),
        text(QStringLiteral("impulsive"), QStringLiteral("DB"), f.impulsive,
             QStringLiteral("The impulsive correction: 0, 3, 6 or 9 dB.")),
        text(QStringLiteral("intermittency"), QStringLiteral("DB"), f.intermittency,
             QStringLiteral("The intermittency correction: 0 or 3 dB.")),
        text(QStringLiteral("other"), QStringLiteral("DB"), f.other,
             QStringLiteral("Another sound characteristic: 0 or 3 dB.")),
        texts(QStringLiteral("reason"), QStringLiteral("TEXT"), f.reasons,
              QStringLiteral("Why the correction typed just before it is given; kept in "
                             "the output.")),
        std::move(texts(QStringLiteral("background"), QStringLiteral("FILE"), f.background,
                        QStringLiteral("A record file of the background sound; again for more "
                                       "files of it.")))
            .completing(Completes::File),
        text(QStringLiteral("background-level"), QStringLiteral("DB"), f.backgroundLevel,
             QStringLiteral("The background sound level instead of files.")),
        text(QStringLiteral("typical"), QStringLiteral("WHICH"), f.typical,
             QStringLiteral("The typical background of the LA90,15min values: mode (default), "
                            "median or p10.")),
    };
    for (OptionRow& row : assessRows(f.assess, true, true)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

Outcome<assess::RatingOptions> readRatingOptions(const RatingFlags& flags,
                                                 const ReadArguments& args) {
    assess::RatingOptions options;
    Outcome<std::vector<assess::RatingPartOptions>> parts = readParts(flags);
    if (!parts) {
        return parts.refusal();
    }
    options.parts = *parts;
    const bool residual = !flags.residual.isEmpty() || flags.residualLevel;
    if (!flags.residual.isEmpty() && flags.residualLevel) {
        return usageMistake(
            QStringLiteral("give the residual as --residual FILE or as "
                           "--residual-level DB, not both"));
    }
    if (!flags.background.isEmpty() && flags.backgroundLevel) {
        return usageMistake(
            QStringLiteral("give the background as --background FILE or as "
                           "--background-level DB, not both"));
    }
    if (flags.specificLevel && residual) {
        return usageMistake(
            QStringLiteral("--specific-level is the source's level on its "
                           "own: it takes no residual"));
    }
    if (flags.onTime && !flags.specificLevel) {
        return usageMistake(QStringLiteral("--on-time goes with --specific-level"));
    }
    const std::pair<const std::optional<QString>*, std::optional<double>*> levels[] = {
        {&flags.residualLevel, &options.residualLevel},
        {&flags.specificLevel, &options.specificLevel},
        {&flags.backgroundLevel, &options.backgroundLevel}};
    const QString levelNames[] = {QStringLiteral("residual-level"),
                                  QStringLiteral("specific-level"),
                                  QStringLiteral("background-level")};
    for (size_t i = 0; i < std::size(levels); ++i) {
        if (*levels[i].first) {
            const Outcome<double> level = levelOption(levelNames[i], **levels[i].first);
            if (!level) {
                return level.refusal();
            }
            *levels[i].second = *level;
        }
    }
    if (flags.onTime) {
        const std::optional<qint64> seconds = wholeNumberOf(*flags.onTime);
        if (!seconds || *seconds < 1) {
            return usageMistake(QStringLiteral("--on-time takes whole seconds from 1 up, not '%1'")
                                    .arg(*flags.onTime));
        }
        options.onTime = *seconds;
    }
    if (flags.typical) {
        const QString& typical = *flags.typical;
        if (typical == QStringLiteral("median")) {
            options.typical = assess::Typical::Median;
        } else if (typical == QStringLiteral("p10")) {
            options.typical = assess::Typical::P10;
        } else if (typical != QStringLiteral("mode")) {
            return usageMistake(
                QStringLiteral("--typical takes mode, median or p10, not '%1'").arg(typical));
        }
    }
    Outcome<std::vector<assess::Correction>> corrections = readCorrections(flags, args);
    if (!corrections) {
        return corrections.refusal();
    }
    options.corrections = *corrections;
    return options;
}

}  // namespace lp::cli
