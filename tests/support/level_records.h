// A record store of the given levels, numbered from 1, one a second from 2009/06/01 14:05:01.
#pragma once

#include <QStringList>

#include "records/record_store.h"

namespace lp::test {

inline records::RecordStore levelStore(const QStringList& levels) {
    records::RecordStore store;
    for (const QString& level : levels) {
        const qsizetype n = store.count() + 1;
        store.append(QString::number(n),
                     QStringLiteral("2009/06/01 14:05:%1").arg(n, 2, 10, QLatin1Char('0')), level);
    }
    return store;
}

}  // namespace lp::test
