#include "remote/topic_rules.h"

namespace lp::remote {
namespace {

QString codePoint(char32_t code) {
    return QStringLiteral("U+") +
           QString::number(static_cast<uint>(code), 16).toUpper().rightJustified(4, u'0');
}

}  // namespace

std::optional<QString> clientIdCharacterProblem(QStringView text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (QChar::isHighSurrogate(code) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        } else if (QChar::isSurrogate(code)) {
            return QStringLiteral("half of a character (%1 alone)").arg(codePoint(code));
        }
        if (code <= 0x1F || (code >= 0x7F && code <= 0x9F)) {
            return QStringLiteral("the control character ") + codePoint(code);
        }
        if ((code >= 0xFDD0 && code <= 0xFDEF) || (code & 0xFFFE) == 0xFFFE) {
            return QStringLiteral("the noncharacter ") + codePoint(code);
        }
    }
    return std::nullopt;
}

std::optional<QString> topicCharacterProblem(QStringView text) {
    for (const QChar c : text) {
        if (c == u'+' || c == u'#') {
            return QStringLiteral("the wildcard '%1'").arg(c);
        }
    }
    return clientIdCharacterProblem(text);
}

}  // namespace lp::remote
