// Set table entries decoded into set grid rows.
#include "memory/set_table.h"

#include "memory/memory_text.h"

namespace lp::memory {
namespace {

// Entry k starts right after the table's first byte.
qsizetype entryStart(int k) {
    return 1 + qsizetype{kSetEntrySize} * (k - 1);
}

bool hasEntry(const QByteArray& table, int k) {
    return k >= 1 && entryStart(k) + kSetEntrySize <= table.size();
}

}  // namespace

QList<SetRow> setTableRows(const QByteArray& table, int setCount) {
    QList<SetRow> rows;
    for (int k = 1; k <= setCount && hasEntry(table, k); ++k) {
        const qsizetype at = entryStart(k);
        auto digits = [&](int i) { return hexByte(byteAt(table, at + i)); };
        rows.append({k,
                     digits(1) + u'/' + digits(2) + u'/' + digits(0) + QStringLiteral("----") +
                         digits(3) + u':' + digits(4) + u':' + digits(5),
                     static_cast<qint32>(big24(table, at + 9))});
    }
    return rows;
}

}  // namespace lp::memory
