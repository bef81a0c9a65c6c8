// `levelpanel-cli report` handed to levelpanel-cli-report, which takes the process over
// with the same arguments, standard streams and exit status.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "cli/assess_rating_arguments.h"
#include "cli/commands.h"
#include "cli/day_and_night.h"
#include "cli/kit/numbers.h"
#include "cli/survey_commands.h"
#include "platform/processes.h"

namespace lp::cli {
namespace {

const QString kReportProgram = QStringLiteral("levelpanel-cli-report");

// Beside levelpanel-cli in the build tree, and where `cmake --install` puts it.
QStringList reportPlaces() {
    const QDir here(QCoreApplication::applicationDirPath());
    return {
        here.filePath(kReportProgram),
        QDir::cleanPath(here.filePath(QStringLiteral(LP_REPORT_PROGRAM_DIR "/") + kReportProgram))};
}

// The report is painted with Qt Gui, whose libraries take longer to load than the other
// commands take to run: levelpanel-cli checks the command line and hands it to
// levelpanel-cli-report, which paints the report (paintReport, report_command.h).
int runReport(const ReportOptions& options, const ReadArguments& args, CommandIo& io) {
    if (const Outcome<ChosenMethods> chosen = chosenMethods(options, args); !chosen) {
        return io.talk.refused(chosen.refusal());
    }
    const QStringList places = reportPlaces();
    const auto found = std::find_if(places.begin(), places.end(), [](const QString& path) {
        return QFileInfo(path).isExecutable();
    });
    if (found == places.end()) {
        io.talk.error(QStringLiteral("the report cannot be painted: %1 is not installed (looked "
                                     "for %2)")
                          .arg(kReportProgram, places.join(QStringLiteral(" and "))));
        return kFileFailure;
    }
    const QString& program = *found;
    io.out.flush();
    const QString reason = platform::replaceProcess(program, args.typed);
    io.talk.error(QStringLiteral("the report cannot be painted: %1 cannot be started (%2)")
                      .arg(program, reason));
    return kFileFailure;
}

}  // namespace

CommandText reportText() {
    return {QStringLiteral("report"), QStringLiteral("FILE..."),
            QStringLiteral("The survey's PDF report."),
            QStringLiteral("The files as one survey in time order, as a PDF report: title\n"
                           "block, time history, periods, day/evening/night with Lden, Ln\n"
                           "table and histogram, the events above L when --above is\n"
                           "given, and a section per assessment METHOD of --assess (the\n"
                           "loud events of --assess events are those of --above)."),
            QStringLiteral("report --pdf week.pdf --above 80 week/*.sdm")};
}

std::vector<OptionRow> reportRows(ReportOptions& o) {
    std::vector<OptionRow> rows{text(QStringLiteral("pdf"), QStringLiteral("OUT"), o.pdf,
                                     QStringLiteral("The PDF file written."))
                                    .orRequired()
                                    .completing(Completes::File)
                                    .needing(QStringLiteral("a file name"))};
    for (const char* name : {"every", "above", "min-duration", "bridge", "day", "evening", "night",
                             "penalties", "exclude", "adjust", "weighting", "response"}) {
        rows.push_back(surveyRow(QLatin1String(name), o.survey));
    }
    rows.push_back(
        texts(QStringLiteral("assess"), QStringLiteral("METHOD"), o.assess,
              QStringLiteral(
                  "Also a section of the assessment METHOD, with its options below: "
                  "background, rating, exposure, events or limits; repeatable. The "
                  "day and night hours of a method are --assess-day and "
                  "--assess-night (--day and --night are the Lden's), and --typical is also the "
                  "rating's background typical value; rating takes its residual and "
                  "background as levels (--residual-level, --background-level) or "
                  "the survey's own; the loud events of --assess "
                  "events are those of --above, --min-duration and --bridge, listed "
                  "in the events table too."))
            .needing(QStringLiteral("a method")));
    rows.push_back(text(QStringLiteral("min-coverage"), QStringLiteral("0.75"), o.minCoverage,
                        QStringLiteral("The least share of an assessment's interval the records "
                                       "must cover for it to be used, 0..1 (default 0.75).")));
    for (OptionRow& row : backgroundMethodRows(o.background)) {
        rows.push_back(std::move(row));
    }
    const QStringList ratingNames{
        QStringLiteral("tr-day"),          QStringLiteral("tr-night"),
        QStringLiteral("residual-level"),  QStringLiteral("specific-level"),
        QStringLiteral("on-time"),         QStringLiteral("tonal"),
        QStringLiteral("impulsive"),       QStringLiteral("intermittency"),
        QStringLiteral("other"),           QStringLiteral("reason"),
        QStringLiteral("background-level")};
    if (!o.rating) {
        o.rating = std::make_shared<RatingFlags>();
    }
    for (OptionRow& row : ratingRows(*o.rating)) {
        if (ratingNames.contains(row.about.name)) {
            rows.push_back(std::move(row));
        }
    }
    for (OptionRow& row : exposureMethodRows(o.exposure)) {
        rows.push_back(std::move(row));
    }
    for (OptionRow& row : loudEventMethodRows(o.events)) {
        rows.push_back(std::move(row));
    }
    for (OptionRow& row : limitMethodRows(o.limits)) {
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList reportMethods() {
    return {QStringLiteral("background"), QStringLiteral("rating"), QStringLiteral("exposure"),
            QStringLiteral("events"), QStringLiteral("limits")};
}

Outcome<ChosenMethods> chosenMethods(const ReportOptions& o, const ReadArguments& args) {
    ChosenMethods chosen;
    double minCoverage = assess::kMinCoverage;
    if (o.minCoverage) {
        const std::optional<double> share = decimalOf(*o.minCoverage);
        if (!share || *share < 0.0 || *share > 1.0) {
            return usageMistake(
                QStringLiteral("--min-coverage takes a share from 0 to 1 (like 0.75), not '%1'")
                    .arg(*o.minCoverage));
        }
        minCoverage = *share;
    }
    const QStringList known = reportMethods();
    for (const QString& method : o.assess) {
        if (!known.contains(method)) {
            return usageMistake(QStringLiteral("--assess takes %1, not '%2'")
                                    .arg(known.join(QStringLiteral(", ")), method));
        }
    }
    const auto chose = [&o](const char* method) {
        return o.assess.contains(QLatin1String(method));
    };
    if (chose("background")) {
        Outcome<assess::BackgroundOptions> background =
            backgroundOptionsOf(o.background, minCoverage);
        if (!background) {
            return background.refusal();
        }
        chosen.background = *background;
    }
    if (chose("rating")) {
        // The day and night checked by the names the report gives them.
        const Outcome<std::vector<assess::DayPart>> parts = readDayAndNight(
            o.background.day, o.background.night, o.background.dayOption, o.background.nightOption);
        if (!parts) {
            return parts.refusal();
        }
        RatingFlags flags = o.rating ? *o.rating : RatingFlags{};
        flags.day = partHoursText((*parts)[0]);
        flags.night = partHoursText((*parts)[1]);
        flags.typical = o.background.typical;
        Outcome<assess::RatingOptions> rating = readRatingOptions(flags, args);
        if (!rating) {
            return rating.refusal();
        }
        rating->minCoverage = minCoverage;
        chosen.rating = *rating;
    }
    if (chose("exposure")) {
        Outcome<assess::ExposureOptions> exposure = exposureOptionsOf(o.exposure);
        if (!exposure) {
            return exposure.refusal();
        }
        chosen.exposure = *exposure;
    }
    if (chose("events")) {
        if (!o.survey.above) {
            return usageMistake(
                QStringLiteral("report --assess events counts the events of "
                               "--above: give --above L, the threshold in dB"));
        }
        Outcome<assess::LoudEventOptions> events = loudEventOptionsOf(o.events);
        if (!events) {
            return events.refusal();
        }
        chosen.events = *events;
    }
    if (chose("limits")) {
        Outcome<assess::LimitOptions> limits =
            limitOptionsOf(o.limits, QStringLiteral("report --assess limits"));
        if (!limits) {
            return limits.refusal();
        }
        limits->minCoverage = minCoverage;
        chosen.limits = *limits;
    }
    return chosen;
}

Command reportCommand() {
    return commandOf<ReportOptions>(reportText(), Operands::Files, reportRows, runReport,
                                    Profiles::Taken);
}

}  // namespace lp::cli
