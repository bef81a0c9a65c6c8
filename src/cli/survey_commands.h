// What the survey commands share (periods_command.cpp, lden_command.cpp,
// events_command.cpp, and report's report_launch.cpp and report_command.cpp): the files
// read as one survey in time order and analysed, the form of the output, the JSON
// around it. Levels in JSON are numbers rounded to 0.1 dB, coverage a fraction with 3
// decimals, null where there is no value.
#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <memory>

#include "assess/rating.h"
#include "cli/assess_background_options.h"
#include "cli/assess_events_options.h"
#include "cli/assess_exposure_options.h"
#include "cli/assess_limits_options.h"
#include "cli/command.h"
#include "cli/kit/text_table.h"
#include "cli/survey_arguments.h"
#include "stats/survey.h"

namespace lp::cli {

enum class Format { Text, Json, Csv };
// The table a command prints, the only one worked out.
enum class Table { Periods, DayParts, Events };

// Reads the survey options and the files and analyses them; a mistake or a failure
// (of reading a file) is the refusal. The count of records left out as repeated is
// said on the talk.
[[nodiscard]] Outcome<stats::SurveyResult> analyse(const QString& command, const SurveyFlags& flags,
                                                   const QStringList& files, CommandIo& io,
                                                   Table table);

// --json or --csv (not both), else text.
[[nodiscard]] Outcome<Format> formatOf(const SurveyFlags& flags);

// What every survey output states of its levels: "weighting" ("A", "C" or null),
// "response" ("F", "S" or null) and "adjust" (dB), put into `object`.
void putLevelKind(QJsonObject& object, const stats::Notation& notation, double adjust);
// The first line of a text output when --adjust is given: "Adjust: -3.0 dB (added to
// every level)"; empty without --adjust.
[[nodiscard]] QByteArray adjustHead(const SurveyFlags& flags, double adjust);
// The header of a text table's level column: `figure` as labelled in `notation`.
[[nodiscard]] QByteArray levelHeader(const stats::Notation& notation, stats::Figure figure,
                                     int percent = 0, std::optional<qint64> seconds = std::nullopt);

// `object` with the "format" key, on stdout.
int writtenJson(CommandIo& io, QJsonObject object);
[[nodiscard]] QJsonValue countJson(const std::optional<qint64>& count);
// One count of readings out of range for each part of a day.
[[nodiscard]] QJsonObject partCounts(const stats::DayLevels& d, qint64 stats::OutOfRange::*count);
// The out-of-range mark of a text table's row; empty (the no-value mark) for none.
void rangeCell(TableRow& cells, const stats::OutOfRange& readings);

// report: its texts and rows, the same in levelpanel-cli (which checks them and hands
// the command on) and levelpanel-cli-report (which paints it).
struct RatingFlags;
struct ReportOptions {
    std::optional<QString> pdf;
    SurveyFlags survey;
    // --assess METHOD (repeatable) and the options of the methods.
    QStringList assess;
    std::optional<QString> minCoverage;
    BackgroundMethodFlags background{
        {}, {}, {}, {}, false, QStringLiteral("assess-day"), QStringLiteral("assess-night")};
    // Only the options of levels and corrections: the day and night are --assess-day
    // and --assess-night, the background's --typical is the one typical value.
    // Made by reportRows: its header (assess_rating_arguments.h) leads back here.
    std::shared_ptr<RatingFlags> rating;
    ExposureMethodFlags exposure;
    LoudEventMethodFlags events;
    LimitMethodFlags limits;
};
[[nodiscard]] CommandText reportText();
[[nodiscard]] std::vector<OptionRow> reportRows(ReportOptions& options);
// The assessment methods a report can show, in its order.
[[nodiscard]] QStringList reportMethods();
// The options of the methods chosen with --assess, checked, for the report's content; a
// method not known, or a method's option given without it, is the refusal.
struct ChosenMethods {
    std::optional<assess::BackgroundOptions> background;
    std::optional<assess::RatingOptions> rating;
    std::optional<assess::ExposureOptions> exposure;
    // The window and the nth; the events are the report's own (--above).
    std::optional<assess::LoudEventOptions> events;
    std::optional<assess::LimitOptions> limits;
};
[[nodiscard]] Outcome<ChosenMethods> chosenMethods(const ReportOptions& options,
                                                   const ReadArguments& args);

}  // namespace lp::cli
