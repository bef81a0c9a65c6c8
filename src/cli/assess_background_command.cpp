// assess background: the background sound level of a survey, the LA90 of reference
// intervals per part of the day, its histogram and typical value; with --rbl the NSW
// ABL per day and RBL per part.
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

#include "assess/background.h"
#include "cli/assess_background_options.h"
#include "cli/assess_survey.h"
#include "cli/commands.h"
#include "cli/kit/text_table.h"
#include "cli/survey_commands.h"
#include "cli/survey_output.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

struct BackgroundFlags {
    AssessFlags assess;
    BackgroundMethodFlags method;
};

std::vector<OptionRow> backgroundRows(BackgroundFlags& o) {
    std::vector<OptionRow> rows = backgroundMethodRows(o.method);
    for (OptionRow& row : assessRows(o.assess, true, true)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

QJsonObject backgroundJson(const assess::BackgroundResult& result) {
    QJsonArray parts;
    for (const assess::BackgroundPart& part : result.parts) {
        QJsonObject histogram;
        for (const auto& [decibels, count] : part.histogram) {
            histogram.insert(QString::number(decibels), count);
        }
        parts.append(QJsonObject{
            {QStringLiteral("part"), part.part.name},
            {QStringLiteral("from"), part.part.from},
            {QStringLiteral("to"), part.part.to},
            {QStringLiteral("intervals_used"), part.intervalsUsed},
            {QStringLiteral("intervals_skipped"), part.intervalsSkipped},
            {QStringLiteral("histogram"), histogram},
            {QStringLiteral("mode"), levelJson(part.mode)},
            {QStringLiteral("median"), levelJson(part.median)},
            {QStringLiteral("p10"), levelJson(part.p10)},
            {QStringLiteral("typical"), levelJson(part.typical)},
        });
    }
    QJsonValue rbl = QJsonValue::Null;
    if (result.rbl) {
        QJsonArray days;
        for (const assess::AblDay& day : result.rbl->days) {
            QJsonArray abl;
            for (size_t i = 0; i < day.abl.size(); ++i) {
                abl.append(QJsonObject{{QStringLiteral("part"), result.rbl->parts[i].name},
                                       {QStringLiteral("abl"), levelJson(day.abl[i])}});
            }
            days.append(QJsonObject{{QStringLiteral("date"), day.date.toString(Qt::ISODate)},
                                    {QStringLiteral("parts"), abl}});
        }
        QJsonArray rblParts;
        for (size_t i = 0; i < result.rbl->rbl.size(); ++i) {
            rblParts.append(QJsonObject{{QStringLiteral("part"), result.rbl->parts[i].name},
                                        {QStringLiteral("rbl"), levelJson(result.rbl->rbl[i])}});
        }
        rbl = QJsonObject{{QStringLiteral("days"), days}, {QStringLiteral("parts"), rblParts}};
    }
    return QJsonObject{{QStringLiteral("interval_s"), result.intervalSeconds},
                       {QStringLiteral("parts"), parts},
                       {QStringLiteral("rbl"), rbl}};
}

// One row per interval used: part, start, end, LA90 (for a spreadsheet to chart or
// work on further).
void writeIntervalsCsv(OutputBytes& out, const assess::BackgroundResult& result,
                       const QTimeZone& zone) {
    struct Row {
        const assess::BackgroundPart* part;
        size_t index;
    };
    std::vector<Row> rows;
    for (const assess::BackgroundPart& part : result.parts) {
        for (size_t i = 0; i < part.values.size(); ++i) {
            rows.push_back({&part, i});
        }
    }
    std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        return a.part->starts[a.index] < b.part->starts[b.index];
    });
    LocalTimeText times(zone);
    writeTable(
        out, TableForm::Csv, {"part", "start", "end", "la90"}, qsizetype(rows.size()),
        [&](qsizetype i, TableRow& cells) {
            const Row& row = rows[size_t(i)];
            cells.cell(row.part->part.name.toLatin1());
            for (const qint64 instant : {row.part->starts[row.index], row.part->ends[row.index]}) {
                char* at = cells.room(LocalTimeText::kMostBytes);
                cells.endCell(times.put(at, instant));
            }
            cells.cell(stats::levelText(row.part->values[row.index]).toLatin1());
        });
}

QByteArray levelCell(const std::optional<double>& level) {
    return level ? stats::levelText(*level).toLatin1() : QByteArray();
}

// The histogram of a part, every whole dB from the lowest to the highest: "38 dB  ####  4",
// the bar one mark an interval, or scaled to at most kBarWidth marks.
void writeHistogram(OutputBytes& out, const assess::BackgroundPart& part) {
    constexpr qint64 kBarWidth = 40;
    if (part.histogram.empty()) {
        return;
    }
    qint64 most = 0;
    for (const auto& [decibels, count] : part.histogram) {
        most = std::max(most, count);
    }
    const int low = part.histogram.begin()->first;
    const int high = part.histogram.rbegin()->first;
    const qint64 width = std::min(most, kBarWidth);
    const auto labelOf = [](int decibels) { return QByteArray::number(decibels) + " dB"; };
    const qsizetype labelWidth = std::max(labelOf(low).size(), labelOf(high).size());
    const qsizetype countWidth = QByteArray::number(most).size();
    for (int decibels = low; decibels <= high; ++decibels) {
        const auto found = part.histogram.find(decibels);
        const qint64 count = found == part.histogram.end() ? 0 : found->second;
        const qint64 marks =
            count == 0 ? 0 : std::max<qint64>(1, (count * width + most / 2) / most);
        out.bytes().append(labelOf(decibels).rightJustified(labelWidth) + "  " +
                           QByteArray(marks, '#').leftJustified(width) + "  " +
                           QByteArray::number(count).rightJustified(countWidth) + '\n');
    }
}

void writeText(OutputBytes& out, const AssessSurvey& survey,
               const assess::BackgroundOptions& options, const assess::BackgroundResult& result) {
    const QString label =
        stats::figureLabel(survey.notation, stats::Figure::Exceeded, 90, result.intervalSeconds);
    ByteBuffer& bytes = out.bytes();
    bytes.append(assessmentHead(QStringLiteral("Background sound level"), survey));
    bytes.append(QStringLiteral("%1 of the intervals covered at least %2; typical: %3\n\n")
                     .arg(label, QString::number(options.minCoverage), typicalName(options.typical))
                     .toUtf8());
    writeTable(out, TableForm::Aligned,
               {"Part", "Hours", "Used", "Skipped", "Mode", "Median", "P10", "Typical"},
               qsizetype(result.parts.size()), [&](qsizetype i, TableRow& cells) {
                   const assess::BackgroundPart& part = result.parts[size_t(i)];
                   cells.cell(part.part.name.toLatin1());
                   cells.cell(partHoursText(part.part).toLatin1());
                   cells.number(part.intervalsUsed);
                   cells.number(part.intervalsSkipped);
                   cells.cell(levelCell(part.mode));
                   cells.cell(levelCell(part.median));
                   cells.cell(levelCell(part.p10));
                   cells.cell(levelCell(part.typical));
               });
    for (const assess::BackgroundPart& part : result.parts) {
        if (part.histogram.empty()) {
            continue;
        }
        out.bytes().append(QStringLiteral("\n%1 %2, %3 by whole dB:\n")
                               .arg(part.part.name, partHoursText(part.part), label)
                               .toUtf8());
        writeHistogram(out, part);
    }
    if (!result.rbl) {
        return;
    }
    const assess::RblResult& rbl = *result.rbl;
    out.bytes().append(
        QStringLiteral("\nNSW: ABL (10th percentile of a day's %1) and RBL (median "
                       "of the ABLs)\n")
            .arg(stats::figureLabel(survey.notation, stats::Figure::Exceeded, 90, qint64(900)))
            .toUtf8());
    QList<QByteArray> captions{"Date"};
    for (const assess::DayPart& part : rbl.parts) {
        captions << QStringLiteral("%1 %2").arg(part.name, partHoursText(part)).toLatin1();
    }
    QList<QByteArrayView> header(captions.begin(), captions.end());
    writeTable(out, TableForm::Aligned, header, qsizetype(rbl.days.size()) + 1,
               [&](qsizetype i, TableRow& cells) {
                   const bool last = size_t(i) == rbl.days.size();
                   cells.cell(last ? QByteArray("RBL")
                                   : rbl.days[size_t(i)].date.toString(Qt::ISODate).toLatin1());
                   const auto& values = last ? rbl.rbl : rbl.days[size_t(i)].abl;
                   for (const std::optional<double>& value : values) {
                       cells.cell(levelCell(value));
                   }
               });
}

int runBackground(const BackgroundFlags& flags, const ReadArguments& args, CommandIo& io) {
    const QString command = QStringLiteral("assess background");
    const Outcome<AssessSurvey> survey = readAssessSurvey(command, flags.assess, args.files, io);
    if (!survey) {
        return io.talk.refused(survey.refusal());
    }
    const Outcome<assess::BackgroundOptions> options =
        backgroundOptionsOf(flags.method, survey->minCoverage);
    if (!options) {
        return io.talk.refused(options.refusal());
    }
    if (flags.method.rbl && flags.assess.survey.csv) {
        return io.talk.refused(
            usageMistake(QStringLiteral("--rbl is written as text or JSON, not with --csv")));
    }
    const assess::BackgroundResult result = assess::assessBackground(survey->input(), *options);
    if (flags.assess.survey.json) {
        const Outcome<assess::Manifest> manifest = assessManifest(command, args, args.files);
        if (!manifest) {
            return io.talk.refused(manifest.refusal());
        }
        return writtenAssessment(io, *survey, *manifest, backgroundJson(result));
    }
    OutputBytes out(io.out);
    if (flags.assess.survey.csv) {
        writeIntervalsCsv(out, result, survey->records.days.zone());
    } else {
        writeText(out, *survey, *options, result);
    }
    return kOk;
}

}  // namespace

Command assessBackgroundCommand() {
    return commandOf<BackgroundFlags>(
        {QStringLiteral("assess background"), QStringLiteral("FILE..."),
         QStringLiteral("The background sound level: LA90 of reference intervals per part."),
         QStringLiteral(
             "The files as one survey: reference intervals of --interval aligned to local\n"
             "midnight, used where the records cover at least --min-coverage of them, each\n"
             "in the part of the day in which it starts. Per part: the intervals used and\n"
             "skipped, the histogram of their LA90 by whole dB (the value as shown, 0.1 dB,\n"
             "rounded, halves up), the mode (the most frequent whole dB, the lowest on a\n"
             "tie), the median and 10th percentile of the unrounded values, and the typical\n"
             "value by --typical. --rbl adds the NSW method: per day and part (day 07-18,\n"
             "evening 18-22, night 22-07, a night belonging to the day it starts) the ABL,\n"
             "the 10th percentile of the part's LA90,15min, and per part the RBL, the median\n"
             "of its ABLs. --csv writes one row per interval used (part, start, end, la90).\n"
             "In JSON levels are numbers rounded to 0.1 dB, null where there is no value."),
         QStringLiteral("assess background --night 23-07 --rbl week/*.sdm")},
        Operands::Files, backgroundRows, runBackground, Profiles::Taken);
}

}  // namespace lp::cli
