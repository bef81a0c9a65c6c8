#include "demo_day.h"

#include <QByteArray>
#include <QDate>
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

bool writeDay(const QString& path, QDate day, quint32& noise) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) {
        return false;
    }
    QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
    char stamp[32];
    for (int second = 0; second < 86400; ++second) {
        std::snprintf(stamp, sizeof stamp, "%04d/%02d/%02d %02d:%02d:%02d", day.year(), day.month(),
                      day.day(), second / 3600, second / 60 % 60, second % 60);
        records::appendRecordLine(bytes, QByteArray::number(second + 1), stamp,
                                  QByteArray::number(levelAt(second, noise), 'f', 1));
    }
    return f.write(bytes) == bytes.size() && f.flush();
}

}  // namespace

QStringList writeDemoDays(const QString& dir) {
    QDir().mkpath(dir);
    quint32 noise = 1;
    QStringList files;
    for (const QDate day : {QDate(2026, 12, 1), QDate(2026, 12, 2)}) {
        files << QDir(dir).filePath(day.toString(QStringLiteral("'log-'yyyy-MM-dd'.sdm'")));
        if (!writeDay(files.last(), day, noise)) {
            return {};
        }
    }
    return files;
}

}  // namespace lp::tools
