// Writing records as CSV.
#include "records/csv_export.h"

#include <QDate>
#include <QTime>

#include "records/level_marks.h"
#include "records/record_file_writer.h"

namespace lp::records {
namespace {

// Whether the level text carries a plain level, and if so the characters of its number.
std::optional<QString> levelNumber(const QString& text) {
    if (!carriesLevel(QStringView(text))) {
        return std::nullopt;
    }
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace()) {
        ++i;
    }
    const qsizetype start = i;
    if (i < text.size() && text[i] == u'+') {
        ++i;
    }
    while (i < text.size() && text[i].isDigit()) {
        ++i;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && text[i].isDigit()) {
            ++i;
        }
    }
    return text.mid(start, i - start);
}

}  // namespace

QString isoStamp(QStringView dateTime) {
    const QStringView trimmed = dateTime.trimmed();
    const qsizetype space = trimmed.indexOf(u' ');
    if (space > 0) {
        const QDate date =
            QDate::fromString(trimmed.left(space).toString(), QStringLiteral("yyyy/MM/dd"));
        const QTime time = QTime::fromString(trimmed.mid(space + 1).trimmed().toString(),
                                             QStringLiteral("hh:mm:ss"));
        if (date.isValid() && time.isValid()) {
            return date.toString(QStringLiteral("yyyy-MM-dd")) + u'T' +
                   time.toString(QStringLiteral("HH:mm:ss"));
        }
    }
    return dateTime.toString();
}

QString csvField(const QString& text) {
    const bool quote = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') ||
                       text.contains(u'\r') || text != text.trimmed();
    if (!quote) {
        return text;
    }
    QString inner = text;
    inner.replace(u'"', QStringLiteral("\"\""));
    return u'"' + inner + u'"';
}

QByteArray csvOf(const RecordStore& records) {
    QString text = QStringLiteral("no,time,level\r\n");
    for (qsizetype i = 0; i < records.count(); ++i) {
        const QString level = records.text(i, Field::Level);
        const std::optional<QString> number = levelNumber(level);
        text += csvField(records.text(i, Field::No)) + u',' +
                csvField(isoStamp(records.text(i, Field::DateTime))) + u',' +
                csvField(number ? *number : level) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

std::optional<FileError> writeCsvFile(const QString& path, const RecordStore& records) {
    return replaceFile(path, [&records](QIODevice& out) -> std::optional<QString> {
        const QByteArray csv = csvOf(records);
        if (out.write(csv) != csv.size()) {
            return out.errorString();
        }
        return std::nullopt;
    });
}

}  // namespace lp::records
