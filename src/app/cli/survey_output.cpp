#include "app/cli/survey_output.h"

#include <QDateTime>
#include <algorithm>

#include "stats/figure_text.h"

namespace lp::app::cli {
namespace {

QJsonValue roundedJson(const std::optional<double>& value, int decimals) {
    return value ? QJsonValue(QString::number(*value, 'f', decimals).toDouble())
                 : QJsonValue(QJsonValue::Null);
}

QString roundedCell(const std::optional<double>& value, int decimals) {
    return value ? QString::number(*value, 'f', decimals) : QString();
}

}  // namespace

QString localTimeText(qint64 instant, const QTimeZone& zone) {
    return QDateTime::fromSecsSinceEpoch(instant, zone)
        .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
}

QJsonValue levelJson(const std::optional<double>& level) {
    return roundedJson(level, 1);
}

QJsonValue coverageJson(const std::optional<double>& coverage) {
    return roundedJson(coverage, 3);
}

QString levelCell(const std::optional<double>& level) {
    return roundedCell(level, 1);
}

QString coverageCell(const std::optional<double>& coverage) {
    return roundedCell(coverage, 3);
}

QString alignedTable(const QStringList& header, const QList<QStringList>& rows) {
    QList<qsizetype> widths;
    for (const QString& caption : header) {
        widths.append(caption.size());
    }
    for (const QStringList& row : rows) {
        for (qsizetype c = 0; c < row.size() && c < widths.size(); ++c) {
            widths[c] = std::max(widths[c], std::max(row[c].size(), stats::kNoValue.size()));
        }
    }
    QString text;
    const auto line = [&text, &widths](const QStringList& cells) {
        for (qsizetype c = 0; c < cells.size() && c < widths.size(); ++c) {
            const QString cell = cells[c].isEmpty() ? stats::kNoValue : cells[c];
            text += c == 0 ? cell.leftJustified(widths[c])
                           : QStringLiteral("  ") + cell.rightJustified(widths[c]);
        }
        text += u'\n';
    };
    line(header);
    for (const QStringList& row : rows) {
        line(row);
    }
    return text;
}

QString csvTable(const QStringList& header, const QList<QStringList>& rows) {
    QString text = header.join(u',') + u'\n';
    for (const QStringList& row : rows) {
        text += row.join(u',') + u'\n';
    }
    return text;
}

}  // namespace lp::app::cli
