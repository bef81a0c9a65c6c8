// Records for tests: a store of levels, or the bytes of a record file.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <array>

#include "records/record_format.h"
#include "records/record_store.h"

namespace lp::test {

// A record store of the given levels, numbered from 1, one a second from 2009/06/01 14:05:01.
inline records::RecordStore levelStore(const QStringList& levels) {
    records::RecordStore store;
    for (const QString& level : levels) {
        const qsizetype n = store.count() + 1;
        store.append(QString::number(n),
                     QStringLiteral("2009/06/01 14:05:%1").arg(n, 2, 10, QLatin1Char('0')), level);
    }
    return store;
}

// A record file: the header, then a line of each {number, time, level}.
inline QByteArray recordFile(const QList<std::array<QByteArray, 3>>& rows) {
    QByteArray bytes(records::kHeaderLine.data(), records::kHeaderLine.size());
    for (const auto& [no, time, level] : rows) {
        records::appendRecordLine(bytes, no, time, level);
    }
    return bytes;
}

}  // namespace lp::test
