#include "remote/archive.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <map>

#include "records/record_format.h"
#include "records/run_metadata.h"
#include "remote/day_tables.h"
#include "remote/messages.h"
#include "remote/numbered_lines.h"

namespace lp::remote {
namespace {

// A logger's name or a file's, as a message gives it: one plain name inside its folder,
// none that hides (a dot first) or climbs out.
bool plainName(const QString& name) {
    return !name.isEmpty() && !name.startsWith(u'.') && !name.contains(u'/') &&
           !name.contains(QChar(0));
}

// A whole line number, 1 or more.
std::optional<qint64> lineNumber(const QJsonValue& value) {
    const double number = value.toDouble(0);
    if (!value.isDouble() || number < 1 || number > 9.0e15 || number != qint64(number)) {
        return std::nullopt;
    }
    return qint64(number);
}

QString heldFolder(const QString& folder) {
    return folder + QStringLiteral("/.held");
}

}  // namespace

struct Archive::Logger {
    QString name;
    QString folder;
    // By the file's name: the record files, and the metadata files under theirs + ".meta".
    std::map<QString, std::unique_ptr<NumberedLines>> files;
    QString lastFile;  // the record file the last sample went to
    std::unique_ptr<DayTables> events;
    std::map<QString, std::unique_ptr<DayTables>> periods;  // by length
};

Archive::Archive(QString dir, QByteArray prefix, qint64 overdueMs)
    : dir_(std::move(dir)), prefix_(std::move(prefix)), overdueMs_(overdueMs) {}

Archive::~Archive() = default;

Archive::Logger* Archive::loggerOf(const QString& name) {
    if (const auto it = loggers_.constFind(name); it != loggers_.constEnd()) {
        return it->get();
    }
    auto logger = std::make_shared<Logger>();
    logger->name = name;
    logger->folder = QDir(dir_).filePath(name);
    logger->events = std::make_unique<DayTables>(logger->folder, QStringLiteral("events"),
                                                 eventColumns(), false);
    loggers_.insert(name, logger);
    return logger.get();
}

NumberedLines& Archive::linesOf(Logger& logger, const QString& file) {
    std::unique_ptr<NumberedLines>& lines = logger.files[file];
    if (!lines) {
        lines = std::make_unique<NumberedLines>(QDir(logger.folder).filePath(file),
                                                QDir(heldFolder(logger.folder)).filePath(file));
    }
    return *lines;
}

QStringList Archive::take(const QByteArray& topic, const QByteArray& payload, qint64 nowMs) {
    if (!topic.startsWith(prefix_ + '/')) {
        return {};
    }
    const QList<QByteArray> levels = topic.mid(prefix_.size() + 1).split('/');
    if (levels.size() < 2) {
        return {};
    }
    const QString name = QString::fromUtf8(levels[0]);
    const std::optional<Topic> leaf = topicOf(levels[1]);
    const bool period = leaf == Topic::Period && levels.size() == 3;
    if (!leaf || (levels.size() != 2 && !period) || *leaf == Topic::Status) {
        return {};
    }
    if (!plainName(name)) {
        return {QStringLiteral("the logger name \"%1\" is no plain name for a folder: its "
                               "messages are passed over")
                    .arg(name)};
    }
    Logger& logger = *loggerOf(name);
    switch (*leaf) {
        case Topic::Sample:
            return takeSample(logger, payload, nowMs);
        case Topic::Meta:
            return takeMeta(logger, payload, nowMs);
        case Topic::Event:
            return takeRow(logger, QStringLiteral("events"), false, payload);
        case Topic::Period:
            return takeRow(logger, QStringLiteral("periods-") + QString::fromUtf8(levels[2]), true,
                           payload);
        case Topic::Status:
            break;
    }
    return {};
}

QStringList Archive::takeSample(Logger& logger, const QByteArray& payload, qint64 nowMs) {
    const QJsonObject sample = QJsonDocument::fromJson(payload).object();
    const QString file = sample.value(QStringLiteral("file")).toString();
    const std::optional<qint64> line = lineNumber(sample.value(QStringLiteral("line")));
    const std::optional<QByteArray> bytes = recordLineOf(sample);
    if (!plainName(file) || !line || !bytes) {
        return {QStringLiteral("%1: a sample without a plain file name, a line and a record "
                               "line that can be rebuilt is passed over")
                    .arg(logger.name)};
    }
    if (file != logger.lastFile) {
        // The logger went on to another file: the earlier ones need no open handle.
        for (auto& [name, lines] : logger.files) {
            if (lines->heldCount() == 0) {
                lines->close();
            }
        }
        logger.lastFile = file;
    }
    NumberedLines& lines = linesOf(logger, file);
    QStringList problems;
    // A run's first record follows its header line.
    if (sample.value(QStringLiteral("no")).toDouble() == 1 && *line >= 2 &&
        lines.put(*line - 1, records::kHeaderLine.toByteArray(), nowMs) ==
            NumberedLines::Put::Refused) {
        problems << logger.name + QStringLiteral(": ") + lines.error();
    }
    if (lines.put(*line, *bytes, nowMs) == NumberedLines::Put::Refused) {
        problems << logger.name + QStringLiteral(": ") + lines.error();
    }
    return problems;
}

QStringList Archive::takeMeta(Logger& logger, const QByteArray& payload, qint64 nowMs) {
    const QJsonObject message = QJsonDocument::fromJson(payload).object();
    const QString file = message.value(QStringLiteral("file")).toString();
    const std::optional<qint64> line = lineNumber(message.value(QStringLiteral("meta_line")));
    const QJsonValue meta = message.value(QStringLiteral("meta"));
    const QJsonValue text = message.value(QStringLiteral("text"));
    if (!plainName(file) || !line || !(meta.isObject() || (meta.isNull() && text.isString()))) {
        return {QStringLiteral("%1: a metadata message without a plain file name, a "
                               "\"meta_line\" and a \"meta\" object or \"text\" is passed over")
                    .arg(logger.name)};
    }
    QStringList problems;
    // The line's bytes as the metadata writer makes them from its object; a line that is
    // no object (cut short by a crash) as it stands in the file.
    const QByteArray bytes =
        meta.isObject() ? records::metadataLine(meta.toObject()) : text.toString().toUtf8() + '\n';
    NumberedLines& lines = linesOf(logger, records::metadataPathOf(file));
    if (lines.put(*line, bytes, nowMs) == NumberedLines::Put::Refused) {
        problems << logger.name + QStringLiteral(": ") + lines.error();
    }
    // A run's object says where its header line is: the only word of a run that ended
    // before its first record.
    const QJsonObject object = meta.toObject();
    const std::optional<qint64> header = lineNumber(object.value(QStringLiteral("header_line")));
    if (object.contains(QStringLiteral("run")) && header) {
        NumberedLines& records = linesOf(logger, file);
        if (records.put(*header, records::kHeaderLine.toByteArray(), nowMs) ==
            NumberedLines::Put::Refused) {
            problems << logger.name + QStringLiteral(": ") + records.error();
        }
    }
    return problems;
}

QStringList Archive::takeRow(Logger& logger, const QString& stem, bool periods,
                             const QByteArray& payload) {
    DayTables* tables = logger.events.get();
    if (periods) {
        std::unique_ptr<DayTables>& t = logger.periods[stem];
        if (!t) {
            t = std::make_unique<DayTables>(logger.folder, stem, periodColumns(), true);
        }
        tables = t.get();
    }
    if (!plainName(stem) || tables->take(payload) == DayTables::Taken::Refused) {
        return {QStringLiteral("%1: %2 passed over: %3")
                    .arg(logger.name, periods ? stem : QStringLiteral("an event"),
                         plainName(stem) ? tables->error() : QStringLiteral("no plain name"))};
    }
    return {};
}

QStringList Archive::overdue(qint64 nowMs) {
    QStringList told;
    for (const auto& logger : std::as_const(loggers_)) {
        for (const auto& [name, lines] : logger->files) {
            if (const auto missing = lines->overdue(nowMs, overdueMs_)) {
                const QString which = missing->first == missing->second
                                          ? QStringLiteral("line %1 has").arg(missing->first)
                                          : QStringLiteral("lines %1 to %2 have")
                                                .arg(missing->first)
                                                .arg(missing->second);
                told << QStringLiteral(
                            "%1: %2: %3 not arrived %4 s after later ones; "
                            "the file ends before it until it comes")
                            .arg(logger->name, name, which)
                            .arg(overdueMs_ / 1000);
            }
        }
    }
    return told;
}

}  // namespace lp::remote
