// assess rating: the specific sound and rating level of a source against the background
// (BS 4142:2014+A1:2019), per part of the day.
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "assess/rating.h"
#include "cli/assess_rating_arguments.h"
#include "cli/commands.h"
#include "cli/kit/text_table.h"
#include "cli/survey_commands.h"
#include "cli/survey_output.h"
#include "platform/iso_time.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

QJsonValue textJson(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

// An instant as ISO 8601 local time with its offset from UTC.
QString timeText(const QTimeZone& zone, qint64 instant) {
    return platform::isoTimeText(instant, platform::zoneOffsetAt(zone, instant));
}

QJsonObject partJson(const assess::RatingPart& part, const QTimeZone& zone) {
    QJsonArray corrections;
    for (const assess::Correction& c : part.corrections) {
        corrections.append(QJsonObject{{QStringLiteral("kind"), assess::correctionName(c.kind)},
                                       {QStringLiteral("db"), c.db},
                                       {QStringLiteral("reason"), textJson(c.reason)}});
    }
    QJsonArray intervals;
    for (const assess::RatingInterval& i : part.intervals) {
        intervals.append(QJsonObject{{QStringLiteral("start"), timeText(zone, i.start)},
                                     {QStringLiteral("end"), timeText(zone, i.end)},
                                     {QStringLiteral("la"), levelJson(i.la)},
                                     {QStringLiteral("ls"), levelJson(i.ls)},
                                     {QStringLiteral("lar"), levelJson(i.lar)},
                                     {QStringLiteral("note"), textJson(i.note)}});
    }
    QJsonValue worst(QJsonValue::Null);
    if (part.worst) {
        worst = QJsonObject{{QStringLiteral("start"), timeText(zone, part.worst->start)},
                            {QStringLiteral("lar"), levelJson(part.worst->lar)}};
    }
    return QJsonObject{
        {QStringLiteral("part"), part.options.part.name},
        {QStringLiteral("tr_s"), part.options.tr},
        {QStringLiteral("residual"), levelJson(part.residual)},
        {QStringLiteral("background"), levelJson(part.background)},
        {QStringLiteral("background_from"), assess::backgroundFromName(part.backgroundFrom)},
        {QStringLiteral("corrections"), corrections},
        {QStringLiteral("intervals"), intervals},
        {QStringLiteral("worst"), worst},
        {QStringLiteral("d"), levelJson(part.d)},
        {QStringLiteral("estimate"), part.estimate
                                         ? QJsonValue(assess::estimateStatement(*part.estimate))
                                         : QJsonValue(QJsonValue::Null)},
    };
}

// "off1.sdm, off2.sdm": the names of a survey's files.
QString fileNames(const assess::SurveyInput& survey) {
    QStringList names;
    for (const QString& file : survey.records.files) {
        names << QFileInfo(file).fileName();
    }
    return names.join(QStringLiteral(", "));
}

QString signedLevel(double level) {
    return (level > 0.0 ? QStringLiteral("+") : QString()) + stats::levelText(level);
}

// The lines under a part's table: the residual, the corrections, the background, the
// highest rating level and the estimate.
QString resultLines(const assess::RatingPart& part, const assess::RatingOptions& options,
                    const AssessSurvey& survey, const QTimeZone& zone) {
    const QString lar =
        stats::figureLabel(survey.notation, stats::Figure::Rating, 0, part.options.tr);
    QStringList lines;
    lines << QStringLiteral("Intervals: %1 used, %2 skipped (covered less than %3)")
                 .arg(part.intervals.size())
                 .arg(part.intervalsSkipped)
                 .arg(survey.minCoverage);
    if (options.specificLevel) {
        lines << QStringLiteral("Specific level: %1 given, on for %2 s of each %3")
                     .arg(stats::decibelsText(*options.specificLevel))
                     .arg(std::min(options.onTime.value_or(part.options.tr), part.options.tr))
                     .arg(stats::intervalLabel(part.options.tr));
    } else if (options.residualLevel || options.residual) {
        lines << QStringLiteral("Residual level: %1 (%2)")
                     .arg(stats::decibelsText(part.residual),
                          options.residualLevel
                              ? QStringLiteral("given")
                              : QStringLiteral("LAeq of %1").arg(fileNames(*options.residual)));
    } else {
        lines << QStringLiteral("Residual level: none given, so Ls = LAeq");
    }
    QStringList corrections;
    for (const assess::Correction& c : part.corrections) {
        corrections
            << QStringLiteral("%1 %2 dB").arg(assess::correctionName(c.kind), signedLevel(c.db)) +
                   (c.reason.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(c.reason));
    }
    lines << QStringLiteral("Corrections: %1")
                 .arg(corrections.isEmpty()
                          ? QStringLiteral("none")
                          : corrections.join(QStringLiteral(", ")) +
                                QStringLiteral("; sum %1 dB").arg(signedLevel(part.correctionSum)));
    const QString la90 = stats::figureLabel(survey.notation, stats::Figure::Exceeded, 90,
                                            options.backgroundInterval);
    QString from;
    switch (part.backgroundFrom) {
        case assess::BackgroundFrom::Level:
            from = QStringLiteral("given");
            break;
        case assess::BackgroundFrom::BackgroundSurvey:
            from = QStringLiteral("typical %1 of %2").arg(la90, fileNames(*options.background));
            break;
        case assess::BackgroundFrom::ResidualSurvey:
            from = QStringLiteral("typical %1 of %2").arg(la90, fileNames(*options.residual));
            break;
        case assess::BackgroundFrom::Survey:
            from = QStringLiteral("typical %1 of the survey itself").arg(la90);
            break;
    }
    lines << QStringLiteral("Background: %1 (%2)").arg(stats::decibelsText(part.background), from);
    lines << QStringLiteral("Highest %1: %2")
                 .arg(lar, part.worst ? QStringLiteral("%1 from %2")
                                            .arg(stats::decibelsText(part.worst->lar),
                                                 timeText(zone, part.worst->start))
                                      : stats::kNoValue);
    lines << QStringLiteral("D = %1 - background: %2")
                 .arg(lar, part.d ? signedLevel(*part.d) + QStringLiteral(" dB") : stats::kNoValue);
    lines << QStringLiteral("Initial estimate: %1")
                 .arg(part.estimate ? assess::estimateStatement(*part.estimate)
                                    : QStringLiteral("none (no rating level or no background), "
                                                     "depending on the context"));
    return lines.join(u'\n') + u'\n';
}

QString partTitle(const assess::RatingPart& part) {
    return QStringLiteral("%1 %2, T_r %3")
        .arg(part.options.part.name, partHoursText(part.options.part),
             stats::intervalLabel(part.options.tr));
}

int writtenTables(CommandIo& io, const assess::RatingResult& result,
                  const assess::RatingOptions& options, const AssessSurvey& survey, bool csv) {
    const QTimeZone zone = survey.records.days.zone();
    OutputBytes out(io.out);
    if (csv) {
        std::vector<std::pair<const assess::RatingPart*, const assess::RatingInterval*>> rows;
        for (const assess::RatingPart& part : result.parts) {
            for (const assess::RatingInterval& interval : part.intervals) {
                rows.emplace_back(&part, &interval);
            }
        }
        writeTable(out, TableForm::Csv, {"part", "start", "end", "la", "ls", "lar", "note"},
                   qsizetype(rows.size()), [&rows, &zone](qsizetype i, TableRow& cells) {
                       const auto& [part, interval] = rows[size_t(i)];
                       cells.cell(part->options.part.name.toUtf8());
                       cells.cell(timeText(zone, interval->start).toLatin1());
                       cells.cell(timeText(zone, interval->end).toLatin1());
                       for (const std::optional<double>& level :
                            {interval->la, interval->ls, interval->lar}) {
                           cells.figure(level, kLevelDecimals);
                       }
                       cells.cell(interval->note.toUtf8());
                   });
        return kOk;
    }
    out.bytes().append(
        assessmentHead(QStringLiteral("Rating level of a source (BS 4142:2014+A1:2019)"), survey));
    for (const assess::RatingPart& part : result.parts) {
        const qint64 tr = part.options.tr;
        const QByteArray la =
            stats::figureLabel(survey.notation, stats::Figure::Leq, 0, tr).toUtf8();
        const QByteArray lar =
            stats::figureLabel(survey.notation, stats::Figure::Rating, 0, tr).toUtf8();
        out.bytes().append((partTitle(part) + u'\n').toUtf8());
        if (part.intervals.empty()) {
            out.bytes().append("No interval of this part is covered.\n");
        } else {
            writeTable(out, TableForm::Aligned, {"Start", "End", la, "Ls", lar, "Note"},
                       qsizetype(part.intervals.size()),
                       [&part, &zone](qsizetype i, TableRow& cells) {
                           const assess::RatingInterval& interval = part.intervals[size_t(i)];
                           cells.cell(timeText(zone, interval.start).toLatin1());
                           cells.cell(timeText(zone, interval.end).toLatin1());
                           for (const std::optional<double>& level :
                                {interval.la, interval.ls, interval.lar}) {
                               cells.figure(level, kLevelDecimals);
                           }
                           cells.cell(interval.note.toUtf8());
                       });
        }
        out.bytes().append((resultLines(part, options, survey, zone) + u'\n').toUtf8());
    }
    return kOk;
}

int runRating(const RatingFlags& flags, const ReadArguments& args, CommandIo& io) {
    const QString command = QStringLiteral("assess rating");
    Outcome<assess::RatingOptions> options = readRatingOptions(flags, args);
    if (!options) {
        return io.talk.refused(options.refusal());
    }
    Outcome<AssessSurvey> survey = readAssessSurvey(command, flags.assess, args.files, io);
    if (!survey) {
        return io.talk.refused(survey.refusal());
    }
    options->minCoverage = survey->minCoverage;
    std::optional<AssessSurvey> residual;
    std::optional<AssessSurvey> background;
    const std::pair<const QStringList*, std::optional<AssessSurvey>*> others[] = {
        {&flags.residual, &residual}, {&flags.background, &background}};
    for (const auto& [files, other] : others) {
        if (files->isEmpty()) {
            continue;
        }
        Outcome<AssessSurvey> read = readOtherSurvey(*survey, *files);
        if (!read) {
            return io.talk.refused(read.refusal());
        }
        *other = std::move(*read);
    }
    std::optional<assess::SurveyInput> residualInput;
    std::optional<assess::SurveyInput> backgroundInput;
    if (residual) {
        residualInput.emplace(residual->input());
        options->residual = &*residualInput;
    }
    if (background) {
        backgroundInput.emplace(background->input());
        options->background = &*backgroundInput;
    }
    const assess::RatingResult result = assess::assessRating(survey->input(), *options);

    const Outcome<Format> format = formatOf(flags.assess.survey);
    if (*format == Format::Json) {
        const Outcome<assess::Manifest> manifest =
            assessManifest(command, args, args.files + flags.residual + flags.background);
        if (!manifest) {
            return io.talk.refused(manifest.refusal());
        }
        QJsonArray parts;
        for (const assess::RatingPart& part : result.parts) {
            parts.append(partJson(part, survey->records.days.zone()));
        }
        return writtenAssessment(io, *survey, *manifest,
                                 QJsonObject{{QStringLiteral("parts"), parts}});
    }
    return writtenTables(io, result, *options, *survey, *format == Format::Csv);
}

}  // namespace

Command assessRatingCommand() {
    return commandOf<RatingFlags>(
        {QStringLiteral("assess rating"), QStringLiteral("FILE..."),
         QStringLiteral("The rating level of a source against the background (BS 4142)."),
         QStringLiteral("The files as one survey with the source running, in reference time\n"
                        "intervals T_r aligned to local midnight (1h in the day 07-23, 15min at\n"
                        "night 23-07), each used when covered and belonging to the part it starts\n"
                        "in. La is each interval's LAeq. The specific level Ls is La, or La less\n"
                        "the residual Lr (the LAeq of the residual files in the same part, or\n"
                        "--residual-level): La when La - Lr >= 10 dB, 10*lg(10^(La/10) -\n"
                        "10^(Lr/10)) from 3 dB, none below (\"residual too close\"); or\n"
                        "--specific-level DB + 10*lg(on-time / T_r). The rating level LAr is Ls\n"
                        "plus the corrections. Per part: the highest LAr, D = LAr - background\n"
                        "(the typical LA90,15min of the background files, else of the residual\n"
                        "files, else of the survey; or --background-level) and the initial\n"
                        "estimate by D: >= 10 likely significant adverse impact, >= 5 likely\n"
                        "adverse impact, > 0 between, <= 0 low impact, depending on the context.\n"
                        "Differences are those of the levels as shown (0.1 dB)."),
         QStringLiteral("assess rating --residual off.sdm --tonal 4 --reason \"audible hum\" "
                        "--background-level 38 on.sdm")},
        Operands::Files, ratingRows, runRating, Profiles::Taken);
}

}  // namespace lp::cli
