#include "cli/kit/talk.h"

#include "cli/command.h"

namespace lp::cli {

void Talk::write(const QString& text) {
    if (gone_) {
        return;
    }
    err_ << text;
    err_.flush();
    gone_ = err_.status() != QTextStream::Ok;
}

void Talk::say(const QString& line) {
    if (!quiet_) {
        write(line + u'\n');
    }
}

void Talk::error(const QString& message) {
    write(kProgramName + QStringLiteral(": ") + message + u'\n');
}

int Talk::usage(const QString& message) {
    const QString help = command_.isEmpty()
                             ? kProgramName + QStringLiteral(" --help")
                             : kProgramName + u' ' + command_ + QStringLiteral(" --help");
    write(kProgramName + QStringLiteral(": ") + message + u'\n' +
          QStringLiteral("Try '%1' for more information.\n").arg(help));
    return kUsageError;
}

int Talk::refused(const Refusal& refusal) {
    if (refusal.status == kUsageError) {
        return usage(refusal.message);
    }
    error(refusal.message);
    return refusal.status;
}

}  // namespace lp::cli
