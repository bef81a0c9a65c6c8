#include "demo_day.h"

#include <QDir>
#include <QFile>
#include <cmath>
#include <cstdio>

#include "records/record_format.h"

namespace lp::tools {

namespace {

// The level at `second` of a day: about 40 dB at night, 58 dB by day, 50 dB in the
// evening, with a wobble and, now and then, a lorry or a siren.
double levelAt(int second, quint32& noise) {
    noise = noise * 1664525u + 1013904223u;
    const double wobble = double(noise >> 8) / double(1u << 24) * 6.0 - 3.0;
    const int hour = second / 3600;
    double base = 40.0;
    if (hour >= 7 && hour < 19) {
        base = 58.0;
    } else if (hour >= 19 && hour < 23) {
        base = 50.0;
    }
    const int minute = second / 60;
    if (hour >= 6 && minute % 97 == 0) {
        base = 84.0 - std::abs(second % 60 - 30) / 3.0;  // a minute of a passing lorry
    }
    return base + wobble;
}

}  // namespace

bool writeRecords(const QString& path, const QDateTime& first, int count,
                  const std::function<std::optional<QByteArray>(int)>& level, int everySeconds) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
    const QDate day = first.date();
    const int startSecond = first.time().msecsSinceStartOfDay() / 1000;
    char stamp[32];
    int no = 0;
    for (int i = 0; i < count; ++i) {
        const std::optional<QByteArray> text = level(i);
        if (!text) {
            continue;
        }
        // Whole days are counted on by hand: the stamps are local times, and no clock
        // change lies in the examples' days.
        const int second = startSecond + i * everySeconds;
        const QDate date = day.addDays(second / 86400);
        const int inDay = second % 86400;
        std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d", date.year(),
                      date.month(), date.day(), inDay / 3600, inDay / 60 % 60, inDay % 60);
        records::appendRecordLine(bytes, QByteArray::number(++no), stamp, *text);
    }
    return f.write(bytes) == bytes.size() && f.flush();
}

QStringList writeDemoDays(const QString& dir, QDate first, int days) {
    QDir().mkpath(dir);
    quint32 noise = 1;
    QStringList files;
    for (int d = 0; d < days; ++d) {
        const QDate day = first.addDays(d);
        files << QDir(dir).filePath(day.toString(QStringLiteral("'log-'yyyy-MM-dd'.sdm'")));
        const auto level = [&noise](int second) -> std::optional<QByteArray> {
            return QByteArray::number(levelAt(second, noise), 'f', 1);
        };
        if (!writeRecords(files.last(), QDateTime(day, QTime(0, 0)), 86400, level)) {
            return {};
        }
    }
    return files;
}

bool writeExampleMetadata(const QString& recordFile, const QString& start,
                          const records::MeterState& state, int everySeconds) {
    records::RunStart run;
    run.headerLine = 1;
    run.start = start;
    run.program = QStringLiteral("levelpanel-example-surveys");
    run.host = QStringLiteral("example");
    run.port = QStringLiteral("simulated");
    run.everySeconds = everySeconds;
    run.state = state;
    return !records::replaceMetadataFile(recordFile, records::runStartLine(run)).has_value();
}

}  // namespace lp::tools
