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

}  // namespace lp::records
