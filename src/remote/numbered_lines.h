// One file of the collector's archive, built from lines that arrive numbered (1-based),
// in any order and any number of times. The file on disk always holds lines 1 .. n
// without a gap: a prefix of the logger's file, nothing invented. A line that arrives
// ahead of a missing one is held until the gap fills, in memory and in a side file
// (one entry a line: its number, a space, its bytes), so a collector killed at any moment
// loses none of them: the broker has acknowledged them already and sends them no more.
// A line at or below n, or one held already, is a repeat and dropped.
//
// On opening, a line cut short at the end of the file (no line end: the collector killed
// in a write) is removed, the lines are counted, and the held lines are read back.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <map>
#include <optional>
#include <utility>

namespace lp::remote {

class NumberedLines {
public:
    // Lines held ahead of a gap, at most: a day of 1 s records.
    static constexpr qsizetype kHeldLimit = 86400;

    NumberedLines(QString path, QString heldPath);

    // Opens the file (making its folder), repairs its end, counts its lines and reads
    // the held ones back, as arrived at `nowMs`. The reason, naming the file, when it
    // cannot.
    [[nodiscard]] std::optional<QString> open(qint64 nowMs);
    [[nodiscard]] bool isOpen() const { return file_.isOpen(); }
    // Closes the file (the next put opens it again); held lines stay held.
    void close() { file_.close(); }

    enum class Put { Written, Held, Repeat, Refused };
    // Takes line `line` with its bytes (the whole line, its end included), arrived at
    // `nowMs`. Refused: the reason is in error() (a write failed, or too many held).
    [[nodiscard]] Put put(qint64 line, const QByteArray& bytes, qint64 nowMs);

    [[nodiscard]] qint64 lines() const { return lines_; }
    [[nodiscard]] qsizetype heldCount() const { return static_cast<qsizetype>(held_.size()); }
    [[nodiscard]] const QString& error() const { return error_; }
    [[nodiscard]] const QString& path() const { return path_; }

    // The missing lines before the first held one (first, last), once: when they are
    // still missing `afterMs` after the earliest of the held lines arrived. None when
    // nothing is missing, it is not overdue yet, or these lines were told already.
    [[nodiscard]] std::optional<std::pair<qint64, qint64>> overdue(qint64 nowMs, qint64 afterMs);

private:
    struct Held {
        QByteArray bytes;
        qint64 arrived = 0;
    };
    [[nodiscard]] std::optional<QString> repairAndCount();
    void readHeld(qint64 nowMs);
    [[nodiscard]] bool append(const QByteArray& bytes);
    [[nodiscard]] bool hold(qint64 line, const QByteArray& bytes, qint64 nowMs);
    void afterFlush();

    QString path_;
    QString heldPath_;
    QFile file_;
    qint64 lines_ = 0;
    bool counted_ = false;
    std::map<qint64, Held> held_;
    qint64 gapSince_ = 0;  // the earliest arrival among the held lines
    qint64 told_ = 0;      // the first missing line told as overdue
    QString error_;
};

}  // namespace lp::remote
