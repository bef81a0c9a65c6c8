#include "platform/nearest_word.h"

#include <algorithm>
#include <vector>

namespace lp::platform {
namespace {

// Edits (a letter added, left out or changed) that make `a` into `b`.
qsizetype editDistance(const QString& a, const QString& b) {
    std::vector<qsizetype> row(size_t(b.size()) + 1);
    for (qsizetype j = 0; j <= b.size(); ++j) {
        row[size_t(j)] = j;
    }
    for (qsizetype i = 1; i <= a.size(); ++i) {
        qsizetype diagonal = row[0];
        row[0] = i;
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const qsizetype above = row[size_t(j)];
            row[size_t(j)] = std::min(
                {above + 1, row[size_t(j - 1)] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[size_t(b.size())];
}

}  // namespace

QString nearestWord(const QString& typed, const QStringList& known) {
    QString nearest;
    qsizetype best = 3;
    for (const QString& word : known) {
        const qsizetype distance = editDistance(typed, word);
        if (distance < best && distance * 2 < word.size()) {
            best = distance;
            nearest = word;
        }
    }
    return nearest;
}

QString didYouMean(const QString& nearest) {
    return nearest.isEmpty() ? QString() : QStringLiteral(" (did you mean %1?)").arg(nearest);
}

}  // namespace lp::platform
