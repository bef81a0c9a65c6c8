#include "remote/day_tables.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>

namespace lp::remote {
namespace {

constexpr qsizetype kDaysKept = 4;

QByteArray quoted(const QByteArray& text) {
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') &&
        !text.contains('\r')) {
        return text;
    }
    QByteArray out = text;
    out.replace('"', "\"\"");
    return '"' + out + '"';
}

QByteArray cell(const QJsonValue& value) {
    switch (value.type()) {
        case QJsonValue::String:
            return quoted(value.toString().toUtf8());
        case QJsonValue::Double: {
            // As JSON writes the number (an energy of 1.5e9 without an exponent).
            const QByteArray text = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
            return text.mid(1, text.size() - 2);
        }
        case QJsonValue::Bool:
            return value.toBool() ? QByteArrayLiteral("true") : QByteArrayLiteral("false");
        case QJsonValue::Array:
            return quoted(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
        case QJsonValue::Object:
            return quoted(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
        case QJsonValue::Null:
        case QJsonValue::Undefined:
            break;
    }
    return {};
}

// Whether a row filed says "partial" true (the rows' cells before it hold no commas).
bool isPartial(const QByteArray& row, const QStringList& columns) {
    const qsizetype at = columns.indexOf(QStringLiteral("partial"));
    return at >= 0 && row.split(',').value(at) == "true";
}

QByteArray headerRow(const QStringList& columns) {
    return columns.join(u',').toUtf8() + "\r\n";
}

}  // namespace

const QStringList& eventColumns() {
    static const QStringList columns{
        QStringLiteral("state"),      QStringLiteral("start"), QStringLiteral("end"),
        QStringLiteral("duration_s"), QStringLiteral("lmax"),  QStringLiteral("leq"),
        QStringLiteral("sel"),        QStringLiteral("above"), QStringLiteral("rule"),
        QStringLiteral("figure"),     QStringLiteral("value"), QStringLiteral("limit"),
        QStringLiteral("level")};
    return columns;
}

const QStringList& periodColumns() {
    static const QStringList columns{
        QStringLiteral("start"),       QStringLiteral("end"),      QStringLiteral("length_s"),
        QStringLiteral("partial"),     QStringLiteral("records"),  QStringLiteral("over_range"),
        QStringLiteral("under_range"), QStringLiteral("coverage"), QStringLiteral("leq"),
        QStringLiteral("lmax"),        QStringLiteral("lmin"),     QStringLiteral("l10"),
        QStringLiteral("l50"),         QStringLiteral("l90"),      QStringLiteral("energy"),
        QStringLiteral("leq_s"),       QStringLiteral("file"),     QStringLiteral("weighting"),
        QStringLiteral("response")};
    return columns;
}

std::optional<TableRow> tableRow(const QByteArray& payload, const QStringList& columns) {
    const QJsonDocument document = QJsonDocument::fromJson(payload);
    const QString start = document.object().value(QStringLiteral("start")).toString();
    if (!document.isObject() || start.size() < 10) {
        return std::nullopt;
    }
    TableRow row;
    row.day = start.left(10);
    row.partial = document.object().value(QStringLiteral("partial")).toBool();
    row.key = start.toUtf8();
    for (qsizetype i = 0; i < columns.size(); ++i) {
        row.bytes += (i > 0 ? "," : "") + cell(document.object().value(columns[i]));
    }
    row.bytes += "\r\n";
    return row;
}

// One day's file: its rows as on disk, and where each start's row is.
struct DayTables::Day {
    QString path;
    std::vector<QByteArray> rows;
    QSet<QByteArray> seen;               // every row's bytes
    QHash<QByteArray, qsizetype> where;  // a period's start -> its row
};

DayTables::DayTables(QString folder, QString stem, QStringList columns, bool byStart)
    : folder_(std::move(folder)),
      stem_(std::move(stem)),
      columns_(std::move(columns)),
      byStart_(byStart) {}

DayTables::~DayTables() = default;

DayTables::Day* DayTables::dayOf(const QString& day) {
    if (const auto it = days_.constFind(day); it != days_.constEnd()) {
        return it->get();
    }
    auto d = std::make_shared<Day>();
    d->path = QDir(folder_).filePath(QStringLiteral("%1-%2.csv").arg(stem_, day));
    QFile file(d->path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray all = file.readAll();
        const QList<QByteArray> lines = all.split('\n');
        // The header row first; a last row cut short (no line end) is written again.
        for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
            const QByteArray row = lines[i] + '\n';
            d->where.insert(row.left(row.indexOf(',')), static_cast<qsizetype>(d->rows.size()));
            d->seen.insert(row);
            d->rows.push_back(row);
        }
        if (!lines.isEmpty() && !lines.last().isEmpty()) {
            file.close();
            (void)QFile::resize(d->path, all.size() - lines.last().size());
        }
    }
    // A long run keeps the days at hand that messages still come for; an older one is
    // read from its file again if it is ever needed.
    if (days_.size() >= kDaysKept) {
        days_.remove(*std::min_element(days_.keyBegin(), days_.keyEnd()));
    }
    days_.insert(day, d);
    return d.get();
}

DayTables::Taken DayTables::take(const QByteArray& payload) {
    const std::optional<TableRow> row = tableRow(payload, columns_);
    if (!row) {
        error_ = QStringLiteral("no JSON object with a \"start\"");
        return Taken::Refused;
    }
    Day* day = dayOf(row->day);
    if (day->seen.contains(row->bytes)) {
        return Taken::Repeat;
    }
    const auto there = byStart_ ? day->where.constFind(row->key) : day->where.constEnd();
    if (there != day->where.constEnd() && row->partial && !isPartial(day->rows[*there], columns_)) {
        return Taken::Repeat;  // a partial period sent again after its whole figures
    }
    if (there != day->where.constEnd()) {
        // Different figures for a period filed already: the file again, its row replaced.
        QSaveFile file(day->path);
        day->seen.remove(day->rows[*there]);
        day->rows[*there] = row->bytes;
        day->seen.insert(row->bytes);
        QByteArray all = headerRow(columns_);
        for (const QByteArray& r : day->rows) {
            all += r;
        }
        if (!file.open(QIODevice::WriteOnly) || file.write(all) != all.size() || !file.commit()) {
            error_ = QStringLiteral("cannot write \"%1\": %2").arg(day->path, file.errorString());
            return Taken::Refused;
        }
        return Taken::Replaced;
    }
    QDir().mkpath(folder_);
    QFile file(day->path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        error_ = QStringLiteral("cannot open \"%1\": %2").arg(day->path, file.errorString());
        return Taken::Refused;
    }
    const QByteArray bytes = (file.size() == 0 ? headerRow(columns_) : QByteArray()) + row->bytes;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        error_ = QStringLiteral("cannot write to \"%1\": %2").arg(day->path, file.errorString());
        return Taken::Refused;
    }
    day->where.insert(row->key, static_cast<qsizetype>(day->rows.size()));
    day->seen.insert(row->bytes);
    day->rows.push_back(row->bytes);
    return Taken::Added;
}

}  // namespace lp::remote
