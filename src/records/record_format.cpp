// The one builder of record lines.
#include "records/record_format.h"

namespace lp::records {

void appendRecordLine(QByteArray& out, QByteArrayView no, QByteArrayView dateTime,
                      QByteArrayView level) {
    out.append(no).append(kFieldEnd);
    out.append(dateTime).append(kFieldEnd);
    out.append(level).append(kFieldEnd);
    out.append(kLineEnd);
}

QByteArray recordLine(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) {
    QByteArray line;
    line.reserve(no.size() + dateTime.size() + level.size() + 3 + kLineEnd.size());
    appendRecordLine(line, no, dateTime, level);
    return line;
}

}  // namespace lp::records
