// verify: whether a report's files are still the ones it was made from, by the
// manifest the report's PDF carries.
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <algorithm>

#include "assess/manifest.h"
#include "cli/commands.h"
#include "cli/kit/std_paths.h"
#include "cli/survey_commands.h"

namespace lp::cli {
namespace {

struct VerifyOptions {
    bool json = false;
};

std::vector<OptionRow> verifyRows(VerifyOptions& o) {
    return {flag(QStringLiteral("json"), o.json, QStringLiteral("JSON instead of text."))};
}

// The word of each result, the same in text and JSON.
QString resultWord(assess::FileMatch match) {
    switch (match) {
        case assess::FileMatch::Matches:
            return QStringLiteral("matches");
        case assess::FileMatch::Differs:
            return QStringLiteral("differs");
        case assess::FileMatch::Missing:
            break;
    }
    return QStringLiteral("missing");
}

int runVerify(const VerifyOptions& options, const ReadArguments& args, CommandIo& io) {
    if (args.files.isEmpty()) {
        return io.talk.usage(QStringLiteral("verify needs the REPORT.pdf to check"));
    }
    const QString report = args.files.front();
    const QStringList named = args.files.mid(1);
    if (named.contains(kStandardStream)) {
        return io.talk.usage(
            QStringLiteral("verify hashes the files themselves: give their names, not '-'"));
    }
    QFile pdf(readPath(report));
    if (!pdf.open(QIODevice::ReadOnly)) {
        io.talk.error(QStringLiteral("%1 cannot be read: %2").arg(report, pdf.errorString()));
        return kFileFailure;
    }
    const std::optional<assess::Manifest> manifest = assess::manifestInPdf(pdf.readAll());
    if (!manifest) {
        io.talk.error(QStringLiteral("%1 holds no manifest: only reports written by levelpanel-cli "
                                     "report or the Survey window carry one")
                          .arg(report));
        return kFileFailure;
    }
    const std::vector<assess::FileCheck> checks = assess::checkFiles(*manifest, named);
    for (const QString& given : named) {
        if (std::none_of(checks.begin(), checks.end(),
                         [&given](const assess::FileCheck& c) { return c.path == given; })) {
            io.talk.say(QStringLiteral("%1 is not one of the report's files").arg(given));
        }
    }
    const qsizetype matching = std::count_if(checks.begin(), checks.end(), [](const auto& c) {
        return c.match == assess::FileMatch::Matches;
    });
    const bool allMatch = matching == qsizetype(checks.size());
    if (options.json) {
        QJsonArray files;
        for (const assess::FileCheck& check : checks) {
            files.append(
                QJsonObject{{QStringLiteral("path"), check.path},
                            {QStringLiteral("size"), check.listed.size},
                            {QStringLiteral("sha256"), check.listed.sha256.isEmpty()
                                                           ? QJsonValue(QJsonValue::Null)
                                                           : QJsonValue(check.listed.sha256)},
                            {QStringLiteral("result"), resultWord(check.match)}});
        }
        const int written = writtenJson(io, {{QStringLiteral("report"), report},
                                             {QStringLiteral("files"), files},
                                             {QStringLiteral("all_match"), allMatch}});
        return written != kOk ? written : (allMatch ? kOk : kUsageError);
    }
    for (const assess::FileCheck& check : checks) {
        io.out << resultWord(check.match) << u' ' << check.path << u'\n';
    }
    const qsizetype differing = std::count_if(checks.begin(), checks.end(), [](const auto& c) {
        return c.match == assess::FileMatch::Differs;
    });
    io.talk.say(allMatch ? QStringLiteral("All %1 file(s) match the report (made by %2 %3).")
                               .arg(checks.size())
                               .arg(manifest->program, manifest->version)
                         : QStringLiteral("%1 of %2 file(s) match the report: %3 changed, %4 "
                                          "missing.")
                               .arg(matching)
                               .arg(checks.size())
                               .arg(differing)
                               .arg(qsizetype(checks.size()) - matching - differing));
    // Not a usage error, but the exit status scripts test: 1 when any file fails.
    return allMatch ? kOk : kUsageError;
}

}  // namespace

Command verifyCommand() {
    return commandOf<VerifyOptions>(
        {QStringLiteral("verify"), QStringLiteral("REPORT.pdf [FILE...]"),
         QStringLiteral("Whether a report's files are still those it was made from."),
         QStringLiteral(
             "Reads the manifest a report's PDF carries (its XMP metadata; written by\n"
             "report and the Survey window) and hashes the files it lists: those given\n"
             "(matched to the manifest's by file name), else the paths in the manifest.\n"
             "One line per file: matches, differs (its size or SHA-256 is another) or\n"
             "missing. Exit status 0 when every file matches, 1 when any differs or is\n"
             "missing (or for a usage error), 2 when the PDF cannot be read or holds no\n"
             "manifest."),
         QStringLiteral("verify week-report.pdf week/*.sdm")},
        Operands::Files, verifyRows, runVerify);
}

}  // namespace lp::cli
