#include "live/limit_event_log.h"

#include <QDateTime>

#include "live/event_log.h"
#include "live/rotating_recording.h"
#include "platform/iso_time.h"
#include "records/csv_export.h"
#include "stats/figure_text.h"

namespace lp::live {
namespace {

QByteArray lineOf(const LimitEvent& e) {
    const QByteArray fields[] = {
        platform::localIsoTime(e.instant).toLatin1(),
        limitEventKindText(e.kind).toLatin1(),
        limitLevelText(e.level).toLatin1(),
        e.rule.toUtf8(),
        e.label.toUtf8(),
        stats::levelText(e.value).toLatin1(),
        stats::levelText(e.limit).toLatin1(),
        platform::localIsoTime(e.since).toLatin1(),
    };
    return records::csvRow(fields);
}

}  // namespace

LimitEventLog::LimitEventLog(QString file) : file_(std::move(file)) {}

QString LimitEventLog::fileOf(qint64 instant) const {
    const QDate day = QDateTime::fromSecsSinceEpoch(instant).date();
    QString name = RotatingRecording::fileName(file_, day, 1);
    const qsizetype at = name.lastIndexOf(u'-' + day.toString(QStringLiteral("yyyy-MM-dd")));
    return name.insert(at, QStringLiteral("-limits"));
}

std::optional<QString> LimitEventLog::write(const LimitEvent& event) {
    return appendLogLine(fileOf(event.instant), kLimitLogHeader, lineOf(event));
}

}  // namespace lp::live
