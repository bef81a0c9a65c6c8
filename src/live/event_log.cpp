#include "live/event_log.h"

#include <QDateTime>
#include <QFile>

#include "live/rotating_recording.h"
#include "platform/iso_time.h"
#include "platform/write_failure.h"
#include "records/csv_export.h"
#include "stats/figure_text.h"

namespace lp::live {
namespace {

QByteArray levelField(const std::optional<double>& level) {
    return level ? stats::levelText(*level).toLatin1() : QByteArray();
}

QByteArray lineOf(const stats::LevelEvent& e, double above) {
    const QByteArray fields[] = {
        platform::localIsoTime(e.start).toLatin1(),
        platform::localIsoTime(e.end).toLatin1(),
        QByteArray::number(e.duration),
        levelField(e.lmax),
        levelField(e.leq),
        levelField(e.sel),
        levelField(above),
    };
    return records::csvRow(fields);
}

}  // namespace

EventLog::EventLog(QString file) : file_(std::move(file)) {}

std::optional<QString> EventLog::write(const AlarmEvent& event) {
    if (!event.ended) {
        return std::nullopt;
    }
    return appendLogLine(
        RotatingRecording::fileName(file_, QDateTime::fromSecsSinceEpoch(event.start).date(), 1),
        kEventLogHeader, lineOf(*event.ended, event.above));
}

std::optional<QString> appendLogLine(const QString& path, QByteArrayView header,
                                     const QByteArray& line) {
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        return QStringLiteral("Cannot open the event log \"%1\": %2.")
            .arg(file.fileName(), file.errorString());
    }
    const qint64 size = file.size();
    QByteArray bytes;
    if (size == 0) {
        bytes = header.toByteArray();
    } else if (file.seek(size - 1) && file.read(1) != "\n") {
        bytes = "\r\n";
    }
    bytes += line;
    if (!file.seek(size) || file.write(bytes) != bytes.size()) {
        const QString reason = platform::writeFailureText(file.errorString());
        (void)file.resize(size);  // whole lines only
        return QStringLiteral("Cannot write to the event log \"%1\": %2.")
            .arg(file.fileName(), reason);
    }
    return std::nullopt;
}

}  // namespace lp::live
