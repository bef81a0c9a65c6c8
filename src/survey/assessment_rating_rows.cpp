#include "survey/assessment_rating_rows.h"

#include "stats/figure_text.h"
#include "survey/survey_texts.h"

namespace lp::survey {
namespace {

using stats::kNoValue;
using stats::levelText;

QString whenText(qint64 start, qint64 end, const QTimeZone& zone) {
    return QStringLiteral("%1 – %2").arg(localTimeText(start, zone, false),
                                         spanEndText(start, end, zone, false));
}

QString backgroundFromText(assess::BackgroundFrom from) {
    switch (from) {
        case assess::BackgroundFrom::Level:
            return QStringLiteral("level given");
        case assess::BackgroundFrom::BackgroundSurvey:
            return QStringLiteral("background files");
        case assess::BackgroundFrom::ResidualSurvey:
            return QStringLiteral("residual files");
        case assess::BackgroundFrom::Survey:
            break;
    }
    return QStringLiteral("this survey");
}

QString correctionsText(const std::vector<assess::Correction>& corrections) {
    QStringList parts;
    for (const assess::Correction& c : corrections) {
        if (c.db == 0.0) {
            continue;
        }
        QString part = QStringLiteral("%1 +%2 dB")
                           .arg(assess::correctionName(c.kind), QString::number(c.db, 'f', 0));
        if (!c.reason.isEmpty()) {
            part += QStringLiteral(" (%1)").arg(c.reason);
        }
        parts << part;
    }
    return parts.isEmpty() ? QStringLiteral("none") : parts.join(QStringLiteral("; "));
}

}  // namespace

AssessmentShown ratingShown(const assess::RatingResult& result, const QTimeZone& zone) {
    AssessmentShown shown;
    AssessmentTable parts{
        QStringLiteral("Rating level per part"),
        {QStringLiteral("Part"), QStringLiteral("T_r"), QStringLiteral("Residual"),
         QStringLiteral("Background"), QStringLiteral("Background from"),
         QStringLiteral("Corrections"), QStringLiteral("Highest LAr"), QStringLiteral("At"),
         QStringLiteral("D"), QStringLiteral("Estimate")},
        2,
        {}};
    AssessmentTable intervals{
        QStringLiteral("Reference intervals"),
        {QStringLiteral("Part"), QStringLiteral("Start"), QStringLiteral("End"),
         QStringLiteral("La"), QStringLiteral("Ls"), QStringLiteral("LAr"), QStringLiteral("Note")},
        3,
        {}};
    for (const assess::RatingPart& p : result.parts) {
        const QString name = partTitle(p.options.part.name);
        const QString estimate = p.estimate ? assess::estimateText(*p.estimate) : QString(kNoValue);
        parts.rows.push_back({name, stats::intervalLabel(p.options.tr), levelText(p.residual),
                              levelText(p.background), backgroundFromText(p.backgroundFrom),
                              correctionsText(p.corrections),
                              levelText(p.worst ? p.worst->lar : std::nullopt),
                              p.worst ? localTimeText(p.worst->start, zone, false) : kNoValue,
                              signedLevelText(p.d), estimate});
        for (const assess::RatingInterval& i : p.intervals) {
            intervals.rows.push_back({name, localTimeText(i.start, zone, false),
                                      spanEndText(i.start, i.end, zone, false), levelText(i.la),
                                      levelText(i.ls), levelText(i.lar), i.note});
        }
        // The rating level is A-weighted by its definition (BS 4142, ISO 1996-1).
        const QString label = QStringLiteral("LAr,") + stats::intervalLabel(p.options.tr);
        if (!p.worst || !p.worst->lar) {
            shown.lines << QStringLiteral("%1: no %2 (no interval has a value)").arg(name, label);
            continue;
        }
        const QString background = p.background ? QStringLiteral("background %1 (%2)")
                                                      .arg(stats::decibelsText(p.background),
                                                           backgroundFromText(p.backgroundFrom))
                                                : QStringLiteral("no background");
        QString line = QStringLiteral("%1: highest %2 %3 in %4, %5")
                           .arg(name, label, stats::decibelsText(p.worst->lar),
                                whenText(p.worst->start, p.worst->end, zone), background);
        if (p.d && p.estimate) {
            line += QStringLiteral(": D = %1 dB, %2")
                        .arg(signedLevelText(p.d), assess::estimateStatement(*p.estimate));
        }
        shown.lines << line + u'.';
    }
    shown.tables.push_back(std::move(parts));
    shown.tables.push_back(std::move(intervals));
    return shown;
}

}  // namespace lp::survey
