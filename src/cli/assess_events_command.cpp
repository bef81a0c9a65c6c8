// assess events: the number of loud events per day and part, and the nth highest
// maximum of each night.
#include <QJsonArray>
#include <QJsonObject>

#include "cli/assess_events_options.h"
#include "cli/assess_survey.h"
#include "cli/commands.h"
#include "cli/kit/numbers.h"
#include "cli/kit/text_table.h"
#include "cli/survey_commands.h"
#include "cli/survey_output.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

const QString kCommand = QStringLiteral("assess events");

struct LoudEventFlags {
    AssessFlags assess;
    LoudEventMethodFlags method;
};

std::vector<OptionRow> loudEventRows(LoudEventFlags& o) {
    SurveyFlags& survey = o.assess.survey;
    std::vector<OptionRow> rows{surveyRow(QStringLiteral("above"), survey).orRequired(),
                                surveyRow(QStringLiteral("min-duration"), survey),
                                surveyRow(QStringLiteral("bridge"), survey),
                                surveyRow(QStringLiteral("day"), survey),
                                surveyRow(QStringLiteral("evening"), survey),
                                surveyRow(QStringLiteral("night"), survey)};
    for (OptionRow& row : loudEventMethodRows(o.method)) {
        rows.push_back(std::move(row));
    }
    for (OptionRow& row : assessRows(o.assess, false, true)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

const std::array<QString, 3> kPartNames{QStringLiteral("day"), QStringLiteral("evening"),
                                        QStringLiteral("night")};

int runLoudEvents(const LoudEventFlags& flags, const ReadArguments& args, CommandIo& io) {
    Outcome<assess::LoudEventOptions> read = loudEventOptionsOf(flags.method);
    if (!read) {
        return io.talk.refused(read.refusal());
    }
    assess::LoudEventOptions options = *read;
    const Outcome<AssessSurvey> survey =
        readAssessSurvey(kCommand, flags.assess, args.files, io, true);
    if (!survey) {
        return io.talk.refused(survey.refusal());
    }
    options.rule = *survey->options.events;
    options.hours = survey->options.dayParts;
    const assess::LoudEventResult result = assess::assessLoudEvents(survey->input(), options);
    const Format format = *formatOf(flags.assess.survey);

    if (format == Format::Json) {
        // Only the JSON carries the manifest: the files are hashed for it alone.
        const Outcome<assess::Manifest> manifest = assessManifest(kCommand, args, args.files);
        if (!manifest) {
            return io.talk.refused(manifest.refusal());
        }
        QJsonArray days;
        for (const assess::LoudEventDay& d : result.days) {
            QJsonArray parts;
            for (size_t p = 0; p < kPartNames.size(); ++p) {
                parts.append(QJsonObject{{QStringLiteral("part"), kPartNames[p]},
                                         {QStringLiteral("na"), d.na[p]}});
            }
            days.append(QJsonObject{{QStringLiteral("date"), d.date.toString(Qt::ISODate)},
                                    {QStringLiteral("parts"), parts},
                                    {QStringLiteral("nth_highest"), levelJson(d.nthHighest)}});
        }
        return writtenAssessment(
            io, *survey, *manifest,
            QJsonObject{{QStringLiteral("above"), result.above}, {QStringLiteral("days"), days}});
    }
    const auto row = [&result](qsizetype i, TableRow& cells) {
        const assess::LoudEventDay& d = result.days[size_t(i)];
        cells.cell(d.date.toString(Qt::ISODate).toLatin1());
        for (const qint64 na : d.na) {
            cells.number(na);
        }
        cells.figure(d.nthHighest, kLevelDecimals);
    };
    if (format == Format::Csv) {
        OutputBytes out(io.out);
        writeTable(out, TableForm::Csv, {"date", "na_day", "na_evening", "na_night", "nth_highest"},
                   qsizetype(result.days.size()), row);
        return kOk;
    }
    const stats::DayPartHours& h = options.hours;
    const auto hours = [](int from, int to) {
        return QStringLiteral("%1-%2")
            .arg(from, 2, 10, QLatin1Char('0'))
            .arg(to % 24, 2, 10, QLatin1Char('0'));
    };
    const QString maxLabel =
        stats::figureLabel(survey->notation, stats::Figure::Lmax, 0, options.window);
    QString head = QString::fromUtf8(assessmentHead(QStringLiteral("Loud events"), *survey));
    head += QStringLiteral(
                "NA: events at or above %1 dB (shortest %2 s, dips up to %3 s "
                "bridged) by the part they start in: day %4, evening %5, night %6 "
                "(the hours after midnight are the night before)\n")
                .arg(stats::levelText(result.above))
                .arg(options.rule.minDuration)
                .arg(options.rule.bridge)
                .arg(hours(h.dayStart, h.eveningStart), hours(h.eveningStart, h.nightStart),
                     hours(h.nightStart, h.dayStart));
    head +=
        QStringLiteral("Night: the %1 highest %2 of the night's windows aligned to midnight\n\n")
            .arg(assess::ordinal(options.nth), maxLabel);
    io.out << head;
    const QByteArray nthCaption =
        QStringLiteral("Night %1 %2").arg(assess::ordinal(options.nth), maxLabel).toUtf8();
    OutputBytes out(io.out);
    writeTable(out, TableForm::Aligned, {"Date", "NA day", "NA evening", "NA night", nthCaption},
               qsizetype(result.days.size()), row);
    return kOk;
}

}  // namespace

Command assessEventsCommand() {
    return commandOf<LoudEventFlags>(
        {kCommand, QStringLiteral("FILE..."),
         QStringLiteral("Loud events: the number above a level per part of each day, and the "
                        "nth highest maximum of each night."),
         QStringLiteral("The files as one survey. The events are those of 'events' (--above,\n"
                        "--min-duration, --bridge); NA counts them per day by the part they start\n"
                        "in (day, evening, night as in lden; the hours after midnight are the\n"
                        "night before). Per night the maxima of consecutive windows of --window,\n"
                        "aligned to local midnight, sorted from the highest: the --nth of them\n"
                        "(none when the night has fewer windows with a level)."),
         QStringLiteral("assess events --above 65 --nth 10 week/*.sdm")},
        Operands::Files, loudEventRows, runLoudEvents, Profiles::Taken);
}

}  // namespace lp::cli
