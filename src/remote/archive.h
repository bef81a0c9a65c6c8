// The collector's archive: what the loggers publishing under PREFIX send, kept as files
// under DIR, one folder per logger (DIR/NAME/):
//  - each record file as the logger has it, under its own name: the samples give the
//    record lines at their line numbers (the line rebuilt byte for byte from the
//    message, recordLineOf()); the header lines are where the run metadata's run
//    objects say ("header_line") and before every record numbered 1 (a run's first);
//  - FILE.meta beside it, from the metadata messages, each line at its "meta_line";
//  - the events and each length's period figures as CSV per day (day_tables.h).
// Files grow as prefixes (numbered_lines.h): a line that comes early waits for the
// missing one, held on disk, and nothing is ever written in place of a missing line.
// A line still missing `overdueMs` after a later line arrived is told once.
//
// The archive holds no state besides its files, so a collector killed at any moment
// and started again goes on where its files end.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

namespace lp::remote {

class NumberedLines;
class DayTables;

class Archive {
public:
    static constexpr qint64 kOverdueMs = 60000;

    // `prefix`: the topics' PREFIX, without the trailing '/'.
    Archive(QString dir, QByteArray prefix, qint64 overdueMs = kOverdueMs);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    // Files one message received at `nowMs` (PREFIX/NAME/sample, meta, event,
    // period/LEN; other topics are passed over). What went wrong, in words naming the
    // logger and the file, for the user.
    [[nodiscard]] QStringList take(const QByteArray& topic, const QByteArray& payload,
                                   qint64 nowMs);
    // The missing lines overdue at `nowMs`, each gap told once: "NAME: FILE: line 57
    // has not arrived ...".
    [[nodiscard]] QStringList overdue(qint64 nowMs);

private:
    struct Logger;
    Logger* loggerOf(const QString& name);
    NumberedLines& linesOf(Logger& logger, const QString& file);
    [[nodiscard]] QStringList takeSample(Logger& logger, const QByteArray& payload, qint64 nowMs);
    [[nodiscard]] QStringList takeMeta(Logger& logger, const QByteArray& payload, qint64 nowMs);
    [[nodiscard]] QStringList takeRow(Logger& logger, const QString& stem, bool periods,
                                      const QByteArray& payload);

    QString dir_;
    QByteArray prefix_;
    qint64 overdueMs_;
    QHash<QString, std::shared_ptr<Logger>> loggers_;
};

}  // namespace lp::remote
