// The run metadata beside the samples: each line of the record files' FILE.meta goes to
// PREFIX/NAME/meta (QoS 1) through the sample publisher's tracked messages, with the
// guarantees of the samples: the cursor (meta_lines.h) moves only over lines the broker
// acknowledged, so after a broker outage or a restart (kill -9 included) every line
// arrives at least once, read again from the metadata files. Consumers drop repeats by
// (logger, file, meta_line).
//
// The metadata writer puts a line in FILE.meta before the record line it belongs with,
// so the new lines are read when a record line is written: the metadata file's size is
// looked at then, and whole lines beyond what was read go out in order. A file the
// cursor does not know yet (the first record of a new file, or a cursor that was lost)
// goes out from its first line.
#pragma once

#include <QObject>
#include <QString>
#include <map>
#include <unordered_map>

#include "live/recording.h"
#include "remote/meta_lines.h"
#include "remote/sample_publisher.h"

namespace lp::remote {

class MetaPublisher : public QObject {
    Q_OBJECT
public:
    // `cursorPath`: see metaCursorPath().
    MetaPublisher(SamplePublisher& publisher, QString cursorPath, QObject* parent = nullptr);

    // After the publisher's start(): loads the cursor and sends what the metadata files
    // it names hold beyond it.
    void start();
    // The recorder has written `line` (after its metadata, if any).
    void recordWritten(const lp::live::RecordedLine& line);

signals:
    // The cursor cannot be read or written.
    void problem(const QString& reason);

private:
    struct Sent {
        qint64 endBytes = 0;  // in the metadata file, after the line
        bool acknowledged = false;
    };
    struct FileState {
        MetaProgress acknowledged;
        qint64 readLines = 0;
        qint64 readBytes = 0;
        std::map<qint64, Sent> out;  // by line, until all before them are acknowledged
    };
    void readNew(const QString& recordFile, FileState& state);
    void acknowledged(qint64 ticket);
    void saveCursor();

    SamplePublisher& publisher_;
    QString cursorPath_;
    QByteArray topic_;
    std::map<QString, FileState> files_;  // by the record file's absolute path
    std::unordered_map<qint64, std::pair<QString, qint64>> tickets_;  // file and line
    QString current_;         // the file written now, by its absolute path
    QString currentAsGiven_;  // and as the recorder names it
};

}  // namespace lp::remote
