// `levelpanel-cli report` handed to levelpanel-cli-report, which takes the process over
// with the same arguments, standard streams and exit status.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "cli/commands.h"
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
int runReport(const ReportOptions&, const ReadArguments& args, CommandIo& io) {
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
                           "table and histogram, and the events above L when --above is\n"
                           "given."),
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
    return rows;
}

Command reportCommand() {
    return commandOf<ReportOptions>(reportText(), Operands::Files, reportRows, runReport);
}

}  // namespace lp::cli
