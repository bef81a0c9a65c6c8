// The level tally and the Ln levels over level texts cut from the input at line
// ends, at the resolution the first byte picks: the class counts add up to the texts
// that readLevel puts in a class (never one with a "*", nor one with no digit, "-" or "L"), the
// figures stay finite, and the store's bytes and the grid's texts give the same result.
#include <algorithm>
#include <cmath>

#include "fuzz_input.h"
#include "stats/level_tally.h"
#include "stats/ln_computation.h"

using namespace lp;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const auto resolution =
        (in.byte() & 1) != 0 ? stats::Resolution::WholeDb : stats::Resolution::TenthDb;
    const QByteArray body = in.bytes(in.left());
    QList<QByteArrayView> texts;
    for (qsizetype from = 0;;) {
        const qsizetype end = body.indexOf('\n', from);
        texts.append(QByteArrayView(body).sliced(from, (end < 0 ? body.size() : end) - from));
        if (end < 0) {
            break;
        }
        from = end + 1;
    }

    const stats::LnResult r =
        stats::computeLn(resolution, texts.size(), [&texts](qsizetype i) { return texts[i]; });

    qint64 inNoClass = 0;
    QStringList strings;
    strings.reserve(texts.size());
    for (const QByteArrayView t : texts) {
        const bool noClass = stats::readLevel(t).kind == stats::LevelReading::Kind::NoClass;
        const bool hasDigit =
            std::any_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; });
        LP_FUZZ_CHECK(noClass ||
                      (!t.contains('*') && (hasDigit || t.contains('-') || t.contains('L'))));
        inNoClass += noClass ? 1 : 0;
        strings.append(QString::fromLatin1(t));
    }
    qint64 counted = 0;
    for (const qint64 c : r.counts) {
        LP_FUZZ_CHECK(c >= 0);
        counted += c;
    }
    LP_FUZZ_CHECK(r.counts.size() == stats::topClass(resolution) + 1);
    LP_FUZZ_CHECK(r.recordCount == texts.size());
    LP_FUZZ_CHECK(counted + inNoClass == texts.size());
    LP_FUZZ_CHECK(r.hasLevel == (counted > 0));
    LP_FUZZ_CHECK(r.classMin >= 0 && r.classMin <= r.classMax &&
                  r.classMax <= stats::topClass(resolution));
    LP_FUZZ_CHECK(r.figures.withLevel + r.figures.leftOut == r.recordCount);
    LP_FUZZ_CHECK(r.figures.leq.has_value() == (r.figures.withLevel > 0));
    if (r.figures.leq) {
        LP_FUZZ_CHECK(std::isfinite(*r.figures.leq) && std::isfinite(*r.figures.lmax) &&
                      std::isfinite(*r.figures.lmin));
        LP_FUZZ_CHECK(*r.figures.lmin <= *r.figures.lmax);
        LP_FUZZ_CHECK(*r.figures.leq <= *r.figures.lmax + 1e-9 * std::fabs(*r.figures.lmax) + 1e-9);
    }

    const stats::LnResult same = stats::computeLn(resolution, strings);
    LP_FUZZ_CHECK(same.counts == r.counts && same.levels == r.levels &&
                  same.classMin == r.classMin && same.classMax == r.classMax &&
                  same.figures.withLevel == r.figures.withLevel);
    return 0;
}
