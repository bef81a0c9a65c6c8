// levelpanel-example-surveys OUTDIR: the example surveys installed with the user guide,
// so that its examples run for anyone with the package. Writes
//   OUTDIR/week/log-2026-12-01.sdm ... log-2026-12-07.sdm: a week of daily files, one
//       record a second, A weighting on FAST;
//   OUTDIR/rating/plant-on.sdm: an hour from 2026-06-10 14:00 with a plant running, a
//       steady hum that reads 45.0 dB throughout;
//   OUTDIR/rating/plant-off.sdm: the half hour after it with the plant off, the residual,
//       40.0 dB throughout;
//   OUTDIR/assess/...: the surveys of the guide's worked assessments
//       (assessment_examples.h);
// each with its FILE.meta. The same bytes on every run.
#include <QCoreApplication>
#include <QDir>
#include <cstdio>

#include "assessment_examples.h"
#include "demo_day.h"

namespace {

using lp::records::MeterState;
using lp::records::Response;
using lp::records::Weighting;

// The same level on every record: the guide's rating example is worked by hand from
// these two levels, and a level that wobbled would move its specific level by 0.1 dB.
std::function<std::optional<QByteArray>(int)> steady(double level) {
    return [level](int) -> std::optional<QByteArray> { return QByteArray::number(level, 'f', 1); };
}

bool writeWeek(const QDir& out) {
    const QStringList files =
        lp::tools::writeDemoDays(out.filePath(QStringLiteral("week")), QDate(2026, 12, 1), 7);
    if (files.isEmpty()) {
        return false;
    }
    const MeterState state{Weighting::A, Response::Fast, std::pair{30, 130}};
    for (int d = 0; d < files.size(); ++d) {
        const QString start =
            QDate(2026, 12, 1 + d).toString(Qt::ISODate) + QStringLiteral("T00:00:00+01:00");
        if (!lp::tools::writeExampleMetadata(files[d], start, state)) {
            return false;
        }
    }
    return true;
}

bool writeRating(const QDir& out) {
    const QDir dir(out.filePath(QStringLiteral("rating")));
    QDir().mkpath(dir.path());
    const MeterState state{Weighting::A, Response::Fast, std::pair{30, 80}};
    struct Part {
        const char* name;
        QTime from;
        int seconds;
        double level;
    };
    for (const Part& part : {Part{"plant-on.sdm", QTime(14, 0), 3600, 45.0},
                             Part{"plant-off.sdm", QTime(15, 0), 1800, 40.0}}) {
        const QString file = dir.filePath(QString::fromLatin1(part.name));
        const QDateTime from(QDate(2026, 6, 10), part.from);
        if (!lp::tools::writeRecords(file, from, part.seconds, steady(part.level)) ||
            !lp::tools::writeExampleMetadata(
                file, from.toString(Qt::ISODate) + QStringLiteral("+01:00"), state)) {
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: levelpanel-example-surveys OUTDIR\n", stderr);
        return 1;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!writeWeek(out) || !writeRating(out) || !lp::tools::writeAssessmentExamples(out)) {
        std::fprintf(stderr, "levelpanel-example-surveys: cannot write the examples in %s\n",
                     qPrintable(out.path()));
        return 2;
    }
    return 0;
}
