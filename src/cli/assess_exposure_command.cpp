// assess exposure: the daily noise exposure at work (Directive 2003/10/EC) of a survey.
#include <QJsonArray>
#include <QJsonObject>
#include <cmath>

#include "cli/assess_exposure_options.h"
#include "cli/assess_survey.h"
#include "cli/commands.h"
#include "cli/kit/numbers.h"
#include "cli/kit/text_table.h"
#include "cli/survey_commands.h"
#include "cli/survey_output.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

const QString kCommand = QStringLiteral("assess exposure");

// What every output of the method says, whatever the figures.
const QString kProtectionNote = QStringLiteral(
    "The exposure limit value (87 dB(A)) is judged with the hearing protection worn; these "
    "levels are without it.");
const QString kPeakNote = QStringLiteral(
    "Peak sound pressure (the action values of 135 and 137 dB(C), the limit of 140 dB(C)) "
    "cannot be judged from these records.");
const QString kWeekNote = QStringLiteral(
    "LEX,w: the days' LEX,8h as energy, summed and divided by 5 (a week of five "
    "working days).");

struct ExposureFlags {
    AssessFlags assess;
    ExposureMethodFlags method;
};

std::vector<OptionRow> exposureRows(ExposureFlags& o) {
    std::vector<OptionRow> rows = exposureMethodRows(o.method);
    for (OptionRow& row : assessRows(o.assess, false, true)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

// The dose in percent to 0.1.
QJsonValue doseJson(const std::optional<double>& dose) {
    return dose ? QJsonValue(std::round(*dose * 10.0) / 10.0) : QJsonValue(QJsonValue::Null);
}

// The warning when the levels are not known to be A-weighted; empty when they are.
QString weightingWarning(const stats::Notation& notation) {
    if (!notation.weighting) {
        return QStringLiteral(
            "warning: the weighting of these levels is not known (or mixed); "
            "noise at work is judged on A-weighted levels (declare them with "
            "--weighting A)");
    }
    if (*notation.weighting != records::Weighting::A) {
        return QStringLiteral(
            "warning: these levels are C-weighted; noise at work is judged on "
            "A-weighted levels");
    }
    return {};
}

int runExposure(const ExposureFlags& flags, const ReadArguments& args, CommandIo& io) {
    const Outcome<assess::ExposureOptions> options = exposureOptionsOf(flags.method);
    if (!options) {
        return io.talk.refused(options.refusal());
    }
    const Outcome<AssessSurvey> survey = readAssessSurvey(kCommand, flags.assess, args.files, io);
    if (!survey) {
        return io.talk.refused(survey.refusal());
    }
    const Format format = *formatOf(flags.assess.survey);
    const assess::ExposureResult result = assess::assessExposure(survey->input(), *options);

    if (const QString warning = weightingWarning(survey->notation); !warning.isEmpty()) {
        io.talk.say(warning);
    }
    stats::OutOfRange outOfRange;
    for (const assess::ExposureDay& d : result.days) {
        outOfRange.over += d.outOfRange.over;
        outOfRange.under += d.outOfRange.under;
    }
    if (outOfRange.any()) {
        io.talk.say(QStringLiteral("%1 reading(s) out of range (%2) count in Te; the LAeq,Te "
                                   "of a day holding any is a bound")
                        .arg(outOfRange.over + outOfRange.under)
                        .arg(stats::outOfRangeText(outOfRange)));
    }
    if (format != Format::Text) {
        io.talk.say(kProtectionNote);
        io.talk.say(kPeakNote);
    }

    if (format == Format::Json) {
        // Only the JSON carries the manifest: the files are hashed for it alone.
        const Outcome<assess::Manifest> manifest = assessManifest(kCommand, args, args.files);
        if (!manifest) {
            return io.talk.refused(manifest.refusal());
        }
        QJsonArray days;
        for (const assess::ExposureDay& d : result.days) {
            days.append(QJsonObject{
                {QStringLiteral("date"), d.date.toString(Qt::ISODate)},
                {QStringLiteral("te_s"), d.teSeconds},
                {QStringLiteral("laeq"), levelJson(d.laeq)},
                {QStringLiteral("lex_8h"), levelJson(d.lex8h)},
                {QStringLiteral("dose"), doseJson(d.dose)},
                {QStringLiteral("verdict"), d.verdict ? QJsonValue(assess::verdictKey(*d.verdict))
                                                      : QJsonValue(QJsonValue::Null)},
            });
        }
        return writtenAssessment(io, *survey, *manifest,
                                 QJsonObject{{QStringLiteral("days"), days},
                                             {QStringLiteral("lex_w"), levelJson(result.lexW)}});
    }
    const bool csv = format == Format::Csv;
    const auto row = [&result, csv](qsizetype i, TableRow& cells) {
        const assess::ExposureDay& d = result.days[size_t(i)];
        cells.cell(d.date.toString(Qt::ISODate).toLatin1());
        if (csv) {
            cells.number(d.teSeconds);
        } else {
            cells.figure(double(d.teSeconds) / 3600.0, 2);
        }
        cells.figure(d.laeq, kLevelDecimals);
        cells.figure(d.lex8h, kLevelDecimals);
        cells.figure(d.dose ? std::optional(std::round(*d.dose * 10.0) / 10.0) : std::nullopt, 1);
        if (csv) {
            cells.cell(d.verdict ? assess::verdictKey(*d.verdict).toLatin1() : QByteArray());
            cells.number(d.outOfRange.over);
            cells.number(d.outOfRange.under);
        } else {
            cells.cell(d.verdict ? assess::verdictText(*d.verdict).toLatin1() : QByteArray());
            rangeCell(cells, d.outOfRange);
        }
    };
    if (csv) {
        OutputBytes out(io.out);
        writeTable(
            out, TableForm::Csv,
            {"date", "te_s", "laeq", "lex_8h", "dose", "verdict", "over_range", "under_range"},
            qsizetype(result.days.size()), row);
        return kOk;
    }
    const QString title = options->shift
                              ? QStringLiteral("Noise at work (Directive 2003/10/EC), per shift %1")
                                    .arg(*flags.method.shift)
                              : QStringLiteral("Noise at work (Directive 2003/10/EC), per day");
    io.out << QString::fromUtf8(assessmentHead(title, *survey));
    if (options->teHours) {
        io.out << QStringLiteral("Te declared: %1 h a day\n\n").arg(*options->teHours);
    }
    const QByteArray laeqLabel =
        (stats::figureLabel(survey->notation, stats::Figure::Leq) + QStringLiteral(",Te")).toUtf8();
    {
        OutputBytes out(io.out);
        writeTable(out, TableForm::Aligned,
                   {"Date", "Te (h)", laeqLabel, "LEX,8h", "Dose (%)", "Verdict", "Out of range"},
                   qsizetype(result.days.size()), row);
    }
    QString notes;
    if (result.lexW) {
        notes += QStringLiteral("\nLEX,w: %1, %2\n")
                     .arg(stats::decibelsText(result.lexW),
                          assess::verdictText(assess::verdictOf(*result.lexW)));
        notes += kWeekNote + u'\n';
    }
    notes += u'\n' + kProtectionNote + u'\n' + kPeakNote + u'\n';
    io.out << notes;
    return kOk;
}

}  // namespace

Command assessExposureCommand() {
    return commandOf<ExposureFlags>(
        {kCommand, QStringLiteral("FILE..."),
         QStringLiteral("Noise at work: the daily exposure LEX,8h against the action values."),
         QStringLiteral("The files as one survey, per local calendar day or per --shift: the\n"
                        "exposure time Te (counted records x S, readings out of range included,\n"
                        "or --te), LAeq,Te, LEX,8h = LAeq,Te + 10 lg(Te / 8 h), the dose against\n"
                        "85 dB(A), and the verdict by LEX,8h as shown: lower action value from\n"
                        "80, upper from 85, exposure limit value from 87 dB(A) (judged with\n"
                        "hearing protection worn). Over more than one day LEX,w, the weekly\n"
                        "level over five days. The levels must be A-weighted; peak sound\n"
                        "pressure cannot be judged from these records."),
         QStringLiteral("assess exposure --shift 07:00-15:30 --weighting A week/*.sdm")},
        Operands::Files, exposureRows, runExposure, Profiles::Taken);
}

}  // namespace lp::cli
