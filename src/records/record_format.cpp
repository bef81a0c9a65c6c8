#include "records/record_format.h"

namespace lp::records {
namespace {

void appendLatin1(QByteArray& out, QStringView text) {
    for (const QChar c : text) {
        out.append(c.unicode() < 0x100 ? static_cast<char>(c.unicode()) : '?');
    }
}

}  // namespace

void appendRecordLine(QByteArray& out, QByteArrayView no, QByteArrayView dateTime,
                      QByteArrayView level) {
    out.append(no).append(kFieldEnd);
    out.append(dateTime).append(kFieldEnd);
    out.append(level).append(kFieldEnd);
    out.append(kLineEnd);
}

QByteArray recordLine(QStringView no, QStringView dateTime, QStringView level) {
    QByteArray out;
    out.reserve(no.size() + dateTime.size() + level.size() + 5);
    appendLatin1(out, no);
    out.append(kFieldEnd);
    appendLatin1(out, dateTime);
    out.append(kFieldEnd);
    appendLatin1(out, level);
    out.append(kFieldEnd);
    out.append(kLineEnd);
    return out;
}

}  // namespace lp::records
