// Where a reader hands each record it reads: a store keeps them all, a counter may look
// only at the fields it needs and keep nothing.
#pragma once

#include <QByteArrayView>

namespace lp::records {

class RecordSink {
public:
    virtual ~RecordSink() = default;
    // One record's fields, valid only during the call. False stops the read: the
    // record cannot be taken (a store is full).
    virtual bool take(QByteArrayView no, QByteArrayView dateTime, QByteArrayView level) = 0;
    // A header line further down the file: the records after it are a later run of
    // the recording that appended them. A counter passes over it.
    virtual void startRun() {}
};

}  // namespace lp::records
