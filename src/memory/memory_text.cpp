#include "memory/memory_text.h"

#include <QLocale>

namespace lp::memory {

QString hexByte(quint8 byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const QChar pair[2] = {QLatin1Char(kDigits[byte >> 4]), QLatin1Char(kDigits[byte & 15])};
    return QString(pair, 2);
}

quint32 big16(const QByteArray& bytes, qsizetype index) {
    return (quint32{byteAt(bytes, index)} << 8) | byteAt(bytes, index + 1);
}

quint32 big24(const QByteArray& bytes, qsizetype index) {
    return (quint32{byteAt(bytes, index)} << 16) | (quint32{byteAt(bytes, index + 1)} << 8) |
           byteAt(bytes, index + 2);
}

QString groupedCount(qint64 value) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

}  // namespace lp::memory
