// What a levelpanel-cli build offers, from its help: a benchmark runs with the options
// and commands the build has and says which it used.
#pragma once

#include <QByteArray>
#include <QProcess>
#include <QRegularExpression>
#include <QString>

namespace lp::bench {

// The help of `command` (`levelpanel-cli help COMMAND`), or an empty text when the
// program has no such command.
inline QByteArray commandHelp(const QString& program, const QString& command) {
    QProcess help;
    help.start(program, {QStringLiteral("help"), command});
    if (!help.waitForFinished(10000) || help.exitCode() != 0) {
        return {};
    }
    return help.readAllStandardOutput();
}

// True when `help` lists `option` ("--periods") at the start of one of its lines.
inline bool offers(const QByteArray& help, const QString& option) {
    const QRegularExpression listed(
        QStringLiteral("^ +") + QRegularExpression::escape(option) + QStringLiteral("\\b"),
        QRegularExpression::MultilineOption);
    return listed.match(QString::fromUtf8(help)).hasMatch();
}

}  // namespace lp::bench
