#include "cli/kit/terminal_text.h"

#include <QChar>

namespace lp::cli {
namespace {

constexpr char16_t kSubstitute = u'\uFFFD';

bool steersTerminal(char32_t c) {
    if (c < 0x20 || (c >= 0x7f && c <= 0x9f)) {
        return true;
    }
    const QChar::Category category = QChar::category(c);
    return category == QChar::Other_Format || category == QChar::Separator_Line ||
           category == QChar::Separator_Paragraph;
}

// Calls `take(code point, its UTF-16 units)` for each character of `text`; a lone
// surrogate comes as a code point of its own.
template <typename Take>
void eachCodePoint(QStringView text, Take take) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        if (unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            take(QChar::surrogateToUcs4(unit, text[i + 1]), text.sliced(i, 2));
            ++i;
        } else {
            take(char32_t(unit.unicode()), text.sliced(i, 1));
        }
    }
}

}  // namespace

QString terminalText(QStringView text, LineBreaks breaks) {
    QString safe;
    safe.reserve(text.size());
    eachCodePoint(text, [&](char32_t c, QStringView units) {
        const bool kept = c == u'\n' && breaks == LineBreaks::Keep;
        if (!kept && (steersTerminal(c) || QChar::isSurrogate(c))) {
            safe += kSubstitute;
        } else {
            safe += units;
        }
    });
    return safe;
}

QByteArray terminalJson(const QByteArray& json) {
    const QString text = QString::fromUtf8(json);
    QString safe;
    safe.reserve(text.size());
    eachCodePoint(text, [&](char32_t c, QStringView units) {
        if (steersTerminal(c)) {
            for (const QChar unit : units) {
                safe += QStringLiteral("\\u%1").arg(int(unit.unicode()), 4, 16, QChar(u'0'));
            }
        } else {
            safe += units;
        }
    });
    return safe.toUtf8();
}

TerminalSafeDevice::TerminalSafeDevice(QIODevice& target) : target_(target) {
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 TerminalSafeDevice::writeData(const char* data, qint64 size) {
    const QString text = decoder_.decode(QByteArrayView(data, size));
    const QByteArray safe = terminalText(text, LineBreaks::Keep).toUtf8();
    if (target_.write(safe) != safe.size()) {
        return -1;
    }
    return size;
}

}  // namespace lp::cli
