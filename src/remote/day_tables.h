// The events and period figures of a logger in the collector's archive, as CSV files
// per local day: DIR/NAME/events-YYYY-MM-DD.csv and periods-LEN-YYYY-MM-DD.csv (LEN as
// the topic names the length, "15min"), the day that of the row's "start". Each file
// begins with a header row of its columns; a message becomes one row of them, its values
// as JSON has them (a text as it is, quoted where CSV needs it; a number in JSON's
// shortest form; true/false; null, or a key the message lacks, as an empty cell); keys
// that are no column are passed over.
//
// Repeats (a message the broker or the logger sent again): an event whose row is in
// the file already is dropped; a period is known by its start: the same row again is
// dropped, different figures for it (a period told partial when a run stopped, then
// whole) replace its row in place, except partial figures after whole ones (a partial
// message sent again late).
#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace lp::remote {

// state, start, end, duration_s, lmax, leq, sel, above, rule, figure, value, limit, level
[[nodiscard]] const QStringList& eventColumns();
// start, end, length_s, partial, records, over_range, under_range, coverage, leq, lmax,
// lmin, l10, l50, l90, energy, leq_s, file, weighting, response
[[nodiscard]] const QStringList& periodColumns();

// A message's row (its line end included); none when it is no JSON object or lacks
// the "start" that files it under its day.
struct TableRow {
    QString day;  // "YYYY-MM-DD"
    QByteArray key;
    QByteArray bytes;
    bool partial = false;
};
[[nodiscard]] std::optional<TableRow> tableRow(const QByteArray& payload,
                                               const QStringList& columns);

class DayTables {
public:
    // The files of one logger's folder; `stem` "events" or "periods-15min"; rows of a
    // period replace one another by their start (`byStart`), an event's row is its key.
    DayTables(QString folder, QString stem, QStringList columns, bool byStart);
    ~DayTables();

    enum class Taken { Added, Replaced, Repeat, Refused };
    // Files a message; Refused with the reason in error().
    [[nodiscard]] Taken take(const QByteArray& payload);
    [[nodiscard]] const QString& error() const { return error_; }

private:
    struct Day;
    Day* dayOf(const QString& day);

    QString folder_;
    QString stem_;
    QStringList columns_;
    bool byStart_;
    QHash<QString, std::shared_ptr<Day>> days_;
    QString error_;
};

}  // namespace lp::remote
