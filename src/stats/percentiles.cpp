// Class bounds, the 100 Ln levels and the rows of the Ln table.
#include "stats/percentiles.h"

namespace lp::stats {

ClassBounds classBounds(const QList<qint64>& counts) {
    ClassBounds bounds;
    const qsizetype size = counts.size();
    qsizetype high = size - 1;
    while (high >= 0 && counts[high] == 0) {
        --high;
    }
    if (high < 0) {
        return bounds;
    }
    bounds.any = true;
    bounds.max = static_cast<int>(high);
    // Class 0 (0.0 dB, below any measuring range) never widens the histogram.
    qsizetype low = 1;
    while (low <= high && counts[low] == 0) {
        ++low;
    }
    bounds.min = low <= high ? static_cast<int>(low) : 0;
    return bounds;
}

QString classText(int classIndex, Resolution resolution) {
    if (resolution == Resolution::WholeDb) {
        return QString::number(classIndex);
    }
    // Built from the integer so that no binary fraction can show (65.3, never 65.29).
    return QString::number(classIndex / 10) + u'.' + QChar(u'0' + classIndex % 10);
}

std::array<int, 100> lnClasses(std::span<const qint64> counts, qint64 recordCount) {
    std::array<int, 100> classes;
    classes.fill(-1);
    const double n = static_cast<double>(recordCount);
    const qsizetype top = static_cast<qsizetype>(counts.size()) - 1;
    // The thresholds grow with k, so the first class passing threshold k+1 is never
    // below the one passing threshold k: one sweep over the classes serves all 100.
    qsizetype j = 0;
    double running = top >= 0 ? static_cast<double>(counts[0]) : 0.0;
    for (int k = 1; k <= 100; ++k) {
        const double threshold = (n / 100.0) * (k - 1) + n / 200.0;
        while (j <= top && !(running > threshold)) {
            ++j;
            if (j <= top) {
                running += static_cast<double>(counts[j]);
            }
        }
        if (j > top) {
            break;  // this and every higher threshold stay unreached
        }
        classes[100 - k] = static_cast<int>(j);
    }
    return classes;
}

QStringList lnLevels(const QList<qint64>& counts, qint64 recordCount, Resolution resolution) {
    const std::array<int, 100> classes =
        lnClasses(std::span(counts.constData(), counts.size()), recordCount);
    QStringList levels(100);
    for (int n = 0; n < 100; ++n) {
        if (classes[n] >= 0) {
            levels[n] = classText(classes[n], resolution);
        }
    }
    return levels;
}

QList<QStringList> lnTableRows(const QStringList& levels) {
    QList<QStringList> rows;
    rows.reserve(10);
    for (int r = 0; r < 10; ++r) {
        QStringList cells;
        cells.reserve(11);
        cells << QStringLiteral("L(") + QChar(u'0' + r) + QStringLiteral("0)");
        for (int c = 0; c < 10; ++c) {
            const int n = 10 * r + c;
            cells << (n < levels.size() ? levels[n] : QString());
        }
        rows << cells;
    }
    return rows;
}

}  // namespace lp::stats
