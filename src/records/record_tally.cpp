#include "records/record_tally.h"

#include <QFileInfo>

#include "records/record_file_reader.h"
#include "records/record_sink.h"

namespace lp::records {
namespace {

class TallySink final : public RecordSink {
public:
    bool take(QByteArrayView, QByteArrayView, QByteArrayView) override {
        ++records;
        return true;
    }
    void startRun() override { ++laterRuns; }

    qint64 records = 0;
    qint64 laterRuns = 0;
};

}  // namespace

std::optional<RecordTally> tallyRecordFile(const QString& path) {
    const QFileInfo info(path);
    // A pipe or a device is not read: that would take what it holds for another reader.
    if (!info.isFile() || info.size() == 0) {
        return std::nullopt;
    }
    RecordTally tally;
    TallySink sink;
    RecordFileReader reader(path);
    if (reader.open()) {
        while (reader.read(sink, 1 << 16) == RecordFileReader::Status::More) {
        }
    }
    tally.error = reader.error();
    tally.records = sink.records;
    tally.runs = reader.itemCount() > 0 ? 1 + sink.laterRuns : 0;
    return tally;
}

QString recordingStartText(const QString& path, const std::optional<RecordTally>& tally) {
    if (!tally) {
        return QStringLiteral("recording to %1").arg(path);
    }
    QString text = QStringLiteral("appending to %1 (%2 records in %3 runs)")
                       .arg(path)
                       .arg(tally->records)
                       .arg(tally->runs);
    if (tally->error && tally->error->line == 0) {
        text += QStringLiteral("; it cannot be read (%1)").arg(tally->error->reason);
    } else if (tally->error) {
        text += QStringLiteral("; it reads as a record file only up to line %1 (%2)")
                    .arg(tally->error->line)
                    .arg(tally->error->reason);
    }
    return text;
}

}  // namespace lp::records
