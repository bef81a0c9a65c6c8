// The survey report of a week of 1 s records in seven daily files (604,800 records):
// read the files, work out the figures (hourly periods, Lden, events at 99 dB, one
// excluded span) and write the PDF, in this process, median of 5 runs, and the
// process's peak memory. Goal: at most 2 s and 200 MB. Then once with 1 min periods
// (10,080 rows), the longest period table there can be.
// The levels are spread evenly over 40.0 to 99.9 dB in no order, so about 10,000
// events reach 99 dB: the report lists the first 1,000.
// Run: QT_QPA_PLATFORM=offscreen build/bench/survey/bench_survey_report [DIR]
//      (DIR keeps the files and report.pdf; a temporary folder else)
#include <sys/resource.h>

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "../support/survey_week.h"
#include "survey/survey_report.h"

namespace {

constexpr int kRounds = 5;

qint64 localInstant(int day, int hour) {
    return QDateTime(QDate(2009, 6, day), QTime(hour, 0)).toSecsSinceEpoch();
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QStringList files = lp::bench::writeSurveyWeek(dir);
    if (files.isEmpty()) {
        out << "cannot write the files in " << dir << Qt::endl;
        return 1;
    }
    const QString pdf = QDir(dir).filePath(QStringLiteral("report.pdf"));
    lp::stats::SurveyOptions options;
    options.events = lp::stats::EventRule{99.0, 0, 0};
    options.exclusions = {{localInstant(3, 12), localInstant(3, 14)}};
    lp::survey::ReportOptions report;
    report.madeAt = QDateTime::currentDateTime();

    QList<double> times;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        const lp::stats::SurveyRecords records = lp::stats::readSurvey(files);
        const lp::survey::ReportContent content = lp::survey::reportContent(records, options);
        if (const std::optional<QString> failure =
                lp::survey::writeSurveyReport(content, report, pdf)) {
            out << *failure << Qt::endl;
            return 1;
        }
        times << timer.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    const qint64 hourBytes = QFileInfo(pdf).size();
    // The longest report the settings allow over the week: 10,080 one-minute periods.
    options.periodLength = 60;
    QElapsedTimer timer;
    timer.start();
    const lp::survey::ReportContent minutes =
        lp::survey::reportContent(lp::stats::readSurvey(files), options);
    if (const std::optional<QString> failure =
            lp::survey::writeSurveyReport(minutes, report, pdf)) {
        out << *failure << Qt::endl;
        return 1;
    }
    const double minuteReport = timer.nsecsElapsed() / 1e6;
    const qint64 minuteBytes = QFileInfo(pdf).size();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    out << "report of " << files.size() << " daily files (604,800 records, 1 h periods, events "
        << "at 99 dB), " << hourBytes / 1024 << " kB PDF; median of " << kRounds
        << " runs: " << times[times.size() / 2] << " ms (fastest " << times.front()
        << " ms, slowest " << times.back() << " ms); with 1 min periods " << minuteReport << " ms ("
        << minuteBytes / 1024 << " kB); peak memory " << usage.ru_maxrss / 1024 << " MB"
        << Qt::endl;
    return 0;
}
