// How the survey's figures read, in the Survey window's tables and in the report alike:
// the local times, the period lengths, the cells of a period, day or event row, and the
// options and exclusions in words.
#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>
#include <optional>
#include <span>

#include "stats/survey.h"

namespace lp::survey {

// "2009-06-01 14:05:09" in `zone`; without the seconds ("2009-06-01 14:05") when
// `seconds` is false.
[[nodiscard]] QString localTimeText(qint64 instant, const QTimeZone& zone, bool seconds = true);
// The end of a span beginning at `start`: the time of day alone ("15:00", "15:00:09")
// when it falls on the same local date, "24:00" at the next midnight, else with its
// date.
[[nodiscard]] QString spanEndText(qint64 start, qint64 end, const QTimeZone& zone,
                                  bool seconds = true);
// "14:05:09 – 14:07:40", with the start's date in front.
[[nodiscard]] QString spanText(qint64 start, qint64 end, const QTimeZone& zone);

// The period lengths a survey offers: 1, 5, 10, 15, 30 minutes, 1, 2, 3, 4, 6, 8,
// 12 and 24 hours.
[[nodiscard]] std::span<const qint64> periodLengths();
// "15 min", "1 h", "24 h".
[[nodiscard]] QString periodLengthText(qint64 seconds);

// "100 %" only for a full coverage: a share short of it never rounds up to 100.
[[nodiscard]] QString coverageText(const std::optional<double>& coverage);
// "604,800" with the locale's group separator.
[[nodiscard]] QString countText(qint64 count);
// "3 at an instant read before, left out (2 repeated, 1 conflicting)"; empty when every
// instant was read once.
[[nodiscard]] QString repeatsText(const stats::SurveyResult& result);

// The period table: Start, End, Records, Coverage, Leq, Lmax, Lmin, L10, L50, L90, the
// levels labelled in `notation` with the period `length` ("LAeq,1h", "LAFmax", "L90,1h").
[[nodiscard]] QStringList periodHeaders(const stats::Notation& notation, qint64 length);
[[nodiscard]] QStringList periodCells(const stats::SurveyPeriod& period, const QTimeZone& zone);

// The day/evening/night table: Day, Lday, Levening, Lnight, Lden and the three parts'
// coverages ("Covered: day", "evening", "night"); the whole survey's row is named
// "Whole survey".
[[nodiscard]] QStringList denHeaders();
[[nodiscard]] QStringList denCells(const stats::DayLevels& levels);
inline const QString kWholeSurvey = QStringLiteral("Whole survey");
// "Lden 63.2 dB (Lday 60.1 dB, Levening 55.0 dB, Lnight 49.5 dB)", or why there is no
// Lden.
[[nodiscard]] QString ldenLine(const stats::DayLevels& overall);

// The event list: No., Start, End, Duration (s), Lmax, Leq, SEL (labelled in `notation`).
[[nodiscard]] QStringList eventHeaders(const stats::Notation& notation);
[[nodiscard]] QStringList eventCells(int number, const stats::LevelEvent& event,
                                     const QTimeZone& zone);

// "at or above 85.0 dB lasting at least 0 s; dips shorter than 0 s bridged".
[[nodiscard]] QString eventRuleText(const stats::EventRule& rule);
// What the levels are, in words: "A weighting, FAST; as measured" or "weighting not
// known, SLOW; every level adjusted by -3.0 dB".
[[nodiscard]] QString levelKindText(const stats::Notation& notation, double adjust);

// The options in words, one line each: the periods, the parts of the day with the
// penalties, the events looked for.
[[nodiscard]] QStringList optionLines(const stats::SurveyOptions& options);
// "2009-06-01 12:00:00 – 12:30:00" for each.
[[nodiscard]] QStringList exclusionTexts(std::span<const stats::TimeRange> exclusions,
                                         const QTimeZone& zone);
// The share of the survey's stretch (first record to last, plus S) its counted records
// cover; none when S is not known.
[[nodiscard]] std::optional<double> surveyCoverage(const stats::SurveyResult& result);

}  // namespace lp::survey
