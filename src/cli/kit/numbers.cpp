#include "cli/kit/numbers.h"

#include <QRegularExpression>
#include <algorithm>

namespace lp::cli {
namespace {

bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

}  // namespace

std::optional<qint64> wholeNumberOf(QStringView text) {
    if (!allDigits(text) || text.size() > 18) {
        return std::nullopt;
    }
    return text.toLongLong();
}

std::optional<double> decimalOf(QStringView text) {
    static const QRegularExpression form(QStringLiteral("^-?[0-9]{1,6}(\\.[0-9]{1,6})?$"));
    if (!form.match(text).hasMatch()) {
        return std::nullopt;
    }
    return text.toDouble();
}

std::variant<int, QString> samplingSecondsOf(const QString& text) {
    const std::optional<qint64> seconds = wholeNumberOf(text);
    QString why;
    if (seconds && *seconds >= kFewestSamplingSeconds && *seconds <= kMostSamplingSeconds) {
        return int(*seconds);
    }
    if (seconds) {
        why = *seconds < kFewestSamplingSeconds ? QStringLiteral("at least 1 s")
                                                : QStringLiteral("at most 86400 s, a day");
    } else if (decimalOf(text) && text.startsWith(u'-')) {
        why = QStringLiteral("a sampling time is never negative");
    } else if (decimalOf(text)) {
        why = QStringLiteral("whole seconds only, no fraction");
    } else if (text.contains(u',')) {
        why = QStringLiteral("digits only, no comma");
    } else {
        why = QStringLiteral("no number");
    }
    return QStringLiteral("--every takes whole seconds from %1 to %2, not '%3' (%4)")
        .arg(kFewestSamplingSeconds)
        .arg(kMostSamplingSeconds)
        .arg(text, why);
}

std::variant<StopAfter, QString> stopAfterOf(const Arguments& args) {
    StopAfter stop;
    for (const auto& [name, field] : {std::pair{QStringLiteral("count"), &stop.count},
                                      std::pair{QStringLiteral("duration"), &stop.seconds}}) {
        if (!args.has(name)) {
            continue;
        }
        const std::optional<qint64> read = wholeNumberOf(args.value(name));
        if (!read || *read < 1) {
            return QStringLiteral("--%1 takes a whole number from 1 up, not '%2'")
                .arg(name, args.value(name));
        }
        *field = read;
    }
    return stop;
}

}  // namespace lp::cli
