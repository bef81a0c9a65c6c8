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

Outcome<int> samplingSecondsOf(const QString& text) {
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
    return usageMistake(QStringLiteral("--every takes whole seconds from %1 to %2, not '%3' (%4)")
                            .arg(kFewestSamplingSeconds)
                            .arg(kMostSamplingSeconds)
                            .arg(text, why));
}

Outcome<qint64> wholeFromOneOf(const QString& name, const QString& text) {
    const std::optional<qint64> read = wholeNumberOf(text);
    if (!read || *read < 1) {
        return usageMistake(
            QStringLiteral("--%1 takes a whole number from 1 up, not '%2'").arg(name, text));
    }
    return *read;
}

}  // namespace lp::cli
