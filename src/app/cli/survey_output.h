// How the survey commands write their figures: tables in aligned columns or as CSV,
// times as ISO 8601 local times, levels and coverage as JSON numbers.
#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <optional>

namespace lp::app::cli {

// An instant as a local time "2009-06-01T14:05:09", as the CSV export writes them.
[[nodiscard]] QString localTimeText(qint64 instant, const QTimeZone& zone);

// A level rounded to 0.1 dB as a JSON number; null for none.
[[nodiscard]] QJsonValue levelJson(const std::optional<double>& level);
// A coverage as a fraction 0..1 with 3 decimals; null for none.
[[nodiscard]] QJsonValue coverageJson(const std::optional<double>& coverage);
// The same as texts: "65.3" and "0.975", empty for none.
[[nodiscard]] QString levelCell(const std::optional<double>& level);
[[nodiscard]] QString coverageCell(const std::optional<double>& coverage);

// A table in columns: the header, then each row, every column as wide as its widest
// cell, the first column left-aligned and the others right-aligned; an empty cell
// shows the no-value mark.
[[nodiscard]] QString alignedTable(const QStringList& header, const QList<QStringList>& rows);
// The same table as CSV: the header line, then one line per row, empty cells empty.
// The cells are times, numbers and words without commas or quotes.
[[nodiscard]] QString csvTable(const QStringList& header, const QList<QStringList>& rows);

}  // namespace lp::app::cli
