#include "survey/report_command_line.h"

#include <QDateTime>

#include "platform/version.h"

namespace lp::survey {
namespace {

QString hoursText(int from, int to) {
    return QStringLiteral("%1-%2")
        .arg(from % 24, 2, 10, QLatin1Char('0'))
        .arg(to, 2, 10, QLatin1Char('0'));
}

QString boundText(qint64 instant, const QTimeZone& zone) {
    return QDateTime::fromSecsSinceEpoch(instant, zone).toString(Qt::ISODate);
}

}  // namespace

std::vector<std::pair<QString, std::optional<QString>>> reportOptionWords(
    const stats::SurveyOptions& options, const QTimeZone& zone) {
    std::vector<std::pair<QString, std::optional<QString>>> words;
    const auto add = [&words](const char* name, const QString& value) {
        words.emplace_back(QLatin1String(name), value);
    };
    const qint64 every = options.periodLength;
    add("every", every % 3600 == 0 ? QStringLiteral("%1h").arg(every / 3600)
                                   : QStringLiteral("%1min").arg(every / 60));
    if (options.events) {
        add("above", QString::number(options.events->threshold));
        add("min-duration", QString::number(options.events->minDuration));
        add("bridge", QString::number(options.events->bridge));
    }
    const stats::DayPartHours& parts = options.dayParts;
    add("day", hoursText(parts.dayStart, parts.eveningStart));
    add("evening", hoursText(parts.eveningStart, parts.nightStart));
    add("night", hoursText(parts.nightStart, parts.dayStart));
    add("penalties", QStringLiteral("%1,%2").arg(QString::number(parts.eveningPenalty),
                                                 QString::number(parts.nightPenalty)));
    for (const stats::TimeRange& span : options.exclusions) {
        add("exclude", boundText(span.from, zone) + u'/' + boundText(span.to, zone));
    }
    if (options.adjust != 0.0) {
        add("adjust", QString::number(options.adjust));
    }
    return words;
}

std::variant<assess::Manifest, QString> windowReportManifest(
    const QString& program, const stats::SurveyRecords& survey, const stats::SurveyOptions& options,
    const QString& pdf, std::optional<assess::ManifestProfile> profile) {
    std::variant<std::vector<assess::ManifestFile>, QString> hashed =
        survey.held ? std::vector<assess::ManifestFile>{{survey.files.front(), 0, QString()}}
                    : assess::hashedFiles(survey.files);
    if (const QString* failure = std::get_if<QString>(&hashed)) {
        return *failure;
    }
    std::vector<std::pair<QString, std::optional<QString>>> words =
        reportOptionWords(options, survey.days.zone());
    words.emplace(words.begin(), QStringLiteral("pdf"), pdf);
    assess::Manifest manifest;
    manifest.program = program;
    manifest.version = platform::kVersion;
    manifest.commandLine << QStringLiteral("levelpanel-cli") << QStringLiteral("report");
    for (const auto& [name, value] : words) {
        manifest.commandLine << QStringLiteral("--") + name << *value;
    }
    manifest.options = assess::manifestOptions(words);
    manifest.files = std::get<0>(std::move(hashed));
    manifest.profile = std::move(profile);
    for (const assess::ManifestFile& file : manifest.files) {
        manifest.commandLine << file.path;  // absolute (a file's): the line runs from any folder
    }
    return manifest;
}

}  // namespace lp::survey
