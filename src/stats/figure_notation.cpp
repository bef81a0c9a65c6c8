#include "stats/figure_notation.h"

namespace lp::stats {

QString intervalLabel(qint64 seconds) {
    if (seconds > 0 && seconds % 3600 == 0) {
        return QStringLiteral("%1h").arg(seconds / 3600);
    }
    if (seconds > 0 && seconds % 60 == 0) {
        return QStringLiteral("%1min").arg(seconds / 60);
    }
    return QStringLiteral("%1s").arg(seconds);
}

QString figureLabel(const Notation& notation, Figure figure, int percent,
                    std::optional<qint64> seconds) {
    QString label = QStringLiteral("L");
    if (notation.weighting) {
        label += records::weightingLetter(*notation.weighting);
    }
    if (figure != Figure::Leq && figure != Figure::Rating && notation.response) {
        label += records::responseLetter(*notation.response);
    }
    switch (figure) {
        case Figure::Leq:
            label += QStringLiteral("eq");
            break;
        case Figure::Lmax:
            label += QStringLiteral("max");
            break;
        case Figure::Lmin:
            label += QStringLiteral("min");
            break;
        case Figure::Exceeded:
            label += QString::number(percent);
            break;
        case Figure::Rating:
            label += u'r';
            break;
    }
    if (seconds) {
        label += u',' + intervalLabel(*seconds);
    }
    return label;
}

QString adjustText(double adjust) {
    return QStringLiteral("%1%2 dB")
        .arg(adjust > 0 ? QStringLiteral("+") : QString())
        .arg(adjust, 0, 'f', 1);
}

}  // namespace lp::stats
