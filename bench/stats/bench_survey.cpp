// The survey core over a week of 1 s records in seven daily files (604,800 records):
// hourly periods, day/evening/night levels with Lden, and events, each read from the
// files and worked out in this process, median of 5 runs, and the peak memory.
// Goal: each well under the 60 ms a whole command may take.
// The levels are spread evenly over 40.0 to 99.9 dB in no order: at 99 dB about one
// record a minute starts an event, at 90 dB one in six records (a case far busier
// than any real survey, for the cost of each event).
// Run: build/bench/stats/bench_survey [DIR]   (DIR keeps the files; a temporary one else)
//      build/bench/stats/bench_survey --write-year DIR   (only writes the year's 365 daily
//      files for survey_year.sh)
#include <sys/resource.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

#include "../support/survey_week.h"
#include "stats/survey.h"

namespace {

constexpr int kRounds = 5;

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds of `kRounds` runs of `run`.
double timed(const std::function<void()>& run) {
    QList<double> times;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer timer;
        timer.start();
        run();
        times << timer.nsecsElapsed() / 1e6;
    }
    return median(times);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace lp::stats;
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (argc == 3 && QByteArray(argv[1]) == "--write-year") {
        const bool written =
            !lp::bench::writeSurveyDays(QString::fromLocal8Bit(argv[2]), lp::bench::kSurveyYearDays)
                 .isEmpty();
        return written ? 0 : 1;
    }
    QTemporaryDir temporary;
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temporary.path();
    const QStringList files = lp::bench::writeSurveyWeek(dir);
    if (files.isEmpty()) {
        out << "cannot write the files in " << dir << Qt::endl;
        return 1;
    }
    const EventRule rule{99.0, 0, 0};
    const EventRule busy{90.0, 0, 0};
    const SurveyRecords survey = readSurvey(files);
    if (survey.error) {
        out << surveyReadFailureText(*survey.error, survey.misdated) << Qt::endl;
        return 1;
    }
    const std::span<const LevelSample> samples = survey.samples;
    qsizetype periods = 0;
    qsizetype days = 0;
    qsizetype events = 0;
    qsizetype busyEvents = 0;
    const double read = timed([&] { (void)readSurvey(files).samples.size(); });
    const double periodsOnly =
        timed([&] { periods = qsizetype(surveyPeriods(survey, samples, 3600).list.size()); });
    const double denOnly =
        timed([&] { days = qsizetype(denLevels(survey, samples, DayPartHours{}).days.size()); });
    const double eventsOnly =
        timed([&] { events = qsizetype(findEvents(samples, rule, *survey.interval).size()); });
    const double busyOnly =
        timed([&] { busyEvents = qsizetype(findEvents(samples, busy, *survey.interval).size()); });
    const double periodsRun = timed([&] {
        const SurveyRecords r = readSurvey(files);
        (void)surveyPeriods(r, r.samples, 3600);
    });
    const double denRun = timed([&] {
        const SurveyRecords r = readSurvey(files);
        (void)denLevels(r, r.samples, DayPartHours{});
    });
    const double eventsRun = timed([&] {
        const SurveyRecords r = readSurvey(files);
        (void)findEvents(r.samples, rule, r.interval.value_or(0));
    });
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);

    out << survey.records << " records in " << lp::bench::kSurveyDays << " daily files, S "
        << *survey.interval << " s; " << periods << " hourly periods, " << days << " days, "
        << events << " events at 99 dB; median of " << kRounds << " runs:" << Qt::endl;
    out << "  reading the files     " << read << " ms" << Qt::endl;
    out << "  periods (1 h)         " << periodsRun << " ms (" << periodsOnly
        << " ms after reading)" << Qt::endl;
    out << "  Lday/Levening/Lnight  " << denRun << " ms (" << denOnly << " ms after reading)"
        << Qt::endl;
    out << "  events at 99 dB       " << eventsRun << " ms (" << eventsOnly << " ms after reading)"
        << Qt::endl;
    out << "  " << busyEvents << " events at 90 dB, after reading: " << busyOnly << " ms"
        << Qt::endl;
    out << "  peak memory           " << usage.ru_maxrss / 1024 << " MB" << Qt::endl;
    return 0;
}
