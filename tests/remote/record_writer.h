// Appends records to a record file the way the recorder does (a header line starts each
// run, numbers start again at 1) and says what it wrote, as the recorder tells the
// publisher.
#pragma once

#include <QFile>
#include <QString>

#include "live/recording.h"
#include "records/record_format.h"

namespace lp::test {

class RecordWriter {
public:
    // Continues `path` if it exists (counting its lines), with a new run.
    explicit RecordWriter(QString path) : path_(std::move(path)) {
        QFile f(path_);
        if (f.open(QIODevice::ReadOnly)) {
            lines_ = f.readAll().count('\n');
        }
        QByteArray header(records::kHeaderLine.data(), records::kHeaderLine.size());
        write(header);
    }
    // One record with a level and a reading of it; the time runs on a second per record.
    live::RecordedLine append(const QString& level = QStringLiteral("65.3")) {
        const QString no = QString::number(++no_);
        const QString time = QStringLiteral("2026/12/06 %1:%2:%3")
                                 .arg(10 + no_ / 3600, 2, 10, QChar('0'))
                                 .arg(no_ / 60 % 60, 2, 10, QChar('0'))
                                 .arg(no_ % 60, 2, 10, QChar('0'));
        QByteArray line;
        records::appendRecordLine(line, no.toLatin1(), time.toLatin1(), level.toLatin1());
        write(line);
        link::Reading reading;
        reading.level = level.toFloat();
        return live::RecordedLine{path_, lines_, no_, live::Sample{{}, time, level, reading}};
    }

private:
    void write(const QByteArray& bytes) {
        QFile f(path_);
        if (f.open(QIODevice::Append)) {
            f.write(bytes);
            ++lines_;
        }
    }
    QString path_;
    qint64 lines_ = 0;
    int no_ = 0;
};

}  // namespace lp::test
