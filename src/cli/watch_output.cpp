#include "cli/watch_output.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "cli/command.h"
#include "cli/kit/terminal_text.h"
#include "cli/survey_output.h"
#include "platform/iso_time.h"
#include "remote/messages.h"
#include "stats/figure_text.h"

namespace lp::cli {
namespace {

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

// The time in the console's local time with its offset, as the loggers write theirs.
QJsonValue timeJson(const QDateTime& time) {
    if (!time.isValid()) {
        return QJsonValue::Null;
    }
    return platform::isoTimeText(time.toLocalTime());
}

QString levelCellOf(const remote::LoggerRow& row) {
    if (!row.hasSample) {
        return QStringLiteral("-");
    }
    return row.level ? stats::decibelsText(*row.level) + row.weighting : row.levelText;
}

QString ageCellOf(const remote::LoggerRow& row, const QDateTime& now) {
    if (!row.hasSample) {
        return QStringLiteral("-");
    }
    if (!row.levelTime.isValid()) {
        return QStringLiteral("?");
    }
    // A logger whose clock runs ahead of this one's shows no age below zero.
    return ageText(std::max<qint64>(0, row.levelTime.secsTo(now)));
}

}  // namespace

QByteArray rowJson(const remote::LoggerRow& row) {
    const QJsonObject o{
        {QStringLiteral("format"), kJsonFormat},
        {QStringLiteral("name"), row.name},
        {QStringLiteral("state"), textOrNull(row.state)},
        {QStringLiteral("level"), row.hasSample ? levelJson(row.level) : QJsonValue::Null},
        {QStringLiteral("text"), row.hasSample ? QJsonValue(row.levelText) : QJsonValue::Null},
        {QStringLiteral("weighting"), textOrNull(row.weighting)},
        {QStringLiteral("time"), timeJson(row.levelTime)},
        {QStringLiteral("backlog"), row.backlog ? QJsonValue(*row.backlog) : QJsonValue::Null},
        {QStringLiteral("events_today"), row.eventsToday},
        {QStringLiteral("alarm"), row.alarm},
    };
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QByteArray removedJson(const QString& name) {
    const QJsonObject o{{QStringLiteral("format"), kJsonFormat},
                        {QStringLiteral("name"), name},
                        {QStringLiteral("removed"), true}};
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

QString ageText(qint64 seconds) {
    const auto two = [](qint64 n) { return QStringLiteral("%1").arg(n, 2, 10, QChar(u'0')); };
    if (seconds < 60) {
        return QStringLiteral("%1 s").arg(seconds);
    }
    if (seconds < 3600) {
        return QStringLiteral("%1 min %2 s").arg(seconds / 60).arg(two(seconds % 60));
    }
    if (seconds < 86400) {
        return QStringLiteral("%1 h %2 min").arg(seconds / 3600).arg(two(seconds % 3600 / 60));
    }
    return QStringLiteral("%1 d %2 h").arg(seconds / 86400).arg(seconds % 86400 / 3600);
}

qsizetype screenRoom(int height) {
    return std::max(1, height - 3);
}

QStringList screenLines(const QString& title, const std::vector<remote::LoggerRow>& rows,
                        qsizetype total, const QDateTime& now, int width, int height) {
    // One line for "... more" if they do not all fit.
    const qsizetype room = screenRoom(height);
    const qsizetype shown =
        std::min(qsizetype(rows.size()), total <= room ? total : std::max<qsizetype>(1, room - 1));
    qsizetype nameWidth = 6;
    for (qsizetype i = 0; i < shown; ++i) {
        nameWidth = std::max(nameWidth, rows[size_t(i)].name.size());
    }
    nameWidth = std::min<qsizetype>(nameWidth, 24);
    const auto line = [&](const QString& name, const QString& state, const QString& level,
                          const QString& age, const QString& backlog, const QString& events) {
        return name.left(nameWidth).leftJustified(nameWidth) + QStringLiteral("  ") +
               state.leftJustified(9) + level.leftJustified(11) + age.leftJustified(12) +
               backlog.rightJustified(7) + QStringLiteral("  ") + events;
    };
    QStringList lines{title, line(QStringLiteral("LOGGER"), QStringLiteral("STATE"),
                                  QStringLiteral("LEVEL"), QStringLiteral("AGE"),
                                  QStringLiteral("BACKLOG"), QStringLiteral("EVENTS TODAY"))};
    if (total == 0) {
        lines << QStringLiteral("(no logger has published yet)");
    }
    for (qsizetype i = 0; i < shown; ++i) {
        const remote::LoggerRow& row = rows[size_t(i)];
        lines << line(
            row.name, row.state.isEmpty() ? QStringLiteral("?") : row.state, levelCellOf(row),
            ageCellOf(row, now), row.backlog ? QString::number(*row.backlog) : QStringLiteral("-"),
            QString::number(row.eventsToday) + (row.alarm ? QStringLiteral("  ALARM") : QString()));
    }
    if (shown < total) {
        lines
            << QStringLiteral("... and %1 more (a taller terminal shows them)").arg(total - shown);
    }
    // One column less than the terminal's: a full line would wrap on some terminals.
    for (QString& text : lines) {
        text.truncate(std::max(1, width - 1));
    }
    return lines;
}

void JsonLines::loggerChanged(const QString& name, bool removed, const QDateTime& now) {
    if (removed) {
        printed_.remove(name);
        write(removedJson(name));
    } else if (const std::optional<remote::LoggerRow> row = fleet_.row(name, now)) {
        print(*row);
    }
}

void JsonLines::tick(const QDateTime& now) {
    if (now.date() != day_) {
        day_ = now.date();
        all(now);
    }
}

void JsonLines::say(const QString& text) {
    talk_.error(text);
}

void JsonLines::all(const QDateTime& now) {
    for (const remote::LoggerRow& row : fleet_.rows(now)) {
        print(row);
    }
}

void JsonLines::print(const remote::LoggerRow& row) {
    QByteArray& last = printed_[row.name];
    QByteArray line = rowJson(row);
    if (line != last) {
        last = line;
        write(line);
    }
}

void JsonLines::write(const QByteArray& line) {
    out_ << QString::fromUtf8(terminalJson(line)) << "\n";
    out_.flush();
    if (out_.status() != QTextStream::Ok) {
        // Its reader has gone: nobody is watching any more.
        loop_.exit(kOk);
    }
}

}  // namespace lp::cli
