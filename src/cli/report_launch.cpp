// `levelpanel-cli report` handed to levelpanel-cli-report, which takes the process over
// with the same arguments, standard streams and exit status.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <algorithm>

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

}  // namespace

int runReport(const Arguments& args, CommandIo& io) {
    const QStringList places = reportPlaces();
    const auto found = std::find_if(places.begin(), places.end(), [](const QString& path) {
        return QFileInfo(path).isExecutable();
    });
    if (found == places.end()) {
        failure(io.err, QStringLiteral("the report cannot be painted: %1 is not installed (looked "
                                       "for %2)")
                            .arg(kReportProgram, places.join(QStringLiteral(" and "))));
        return kFileFailure;
    }
    const QString& program = *found;
    io.out.flush();
    io.err.flush();
    const QString reason = platform::replaceProcess(program, args.given);
    failure(io.err, QStringLiteral("the report cannot be painted: %1 cannot be started (%2)")
                        .arg(program, reason));
    return kFileFailure;
}

}  // namespace lp::cli
