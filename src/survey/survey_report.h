// The survey report: a PDF with a title block (files, first and last record, S,
// coverage, options, exclusions), the time-history chart, the period table, the
// day/evening/night table with Lden, the Ln table and histogram, and the event list,
// each page numbered "Page n of m"; with a manifest, its page last and the manifest
// embedded in the PDF (XMP metadata, and the attached manifest.json). Painted with
// QPainter (Qt Gui, no widgets), so the command line writes it as the Survey window does.
//
// The PDF goes through platform::PdfDocument: a file takes its name only once
// complete, so a report that fails (a full disk is named) or is stopped leaves no file
// and an older file of that name as it was; a pipe or a device is written directly,
// and one of the survey's own files, or a file a recording holds, is refused.
#pragma once

#include <QDateTime>
#include <QPageSize>
#include <QString>
#include <functional>
#include <optional>

#include "platform/pdf_document.h"
#include "survey/report_content.h"

namespace lp::survey {

// Letter where the system's locale measures in inches (the US), A4 elsewhere.
[[nodiscard]] QPageSize localPageSize();

struct ReportOptions {
    QPageSize pageSize = localPageSize();
    // "Made <time>" under the title, when given.
    std::optional<QDateTime> madeAt;
    // Asked after each page is painted: false stops the report, and no file is left.
    std::function<bool()> keepGoing;
};

// The words for a report stopped through keepGoing.
inline const QString kReportStopped =
    QStringLiteral("The report was stopped; no file was written.");

// Writes the report to `pdfPath`. None when it was written; else why not, in words for
// the user (the analysis's failure, the file and the write failure, kReportStopped).
// Needs a QGuiApplication (the offscreen platform will do for a command line).
[[nodiscard]] std::optional<QString> writeSurveyReport(const ReportContent& content,
                                                       const ReportOptions& options,
                                                       const QString& pdfPath);
// The same to a file or system printer with its own page layout (options.pageSize is
// not used).
[[nodiscard]] std::optional<QString> writeSurveyReport(const ReportContent& content,
                                                       const ReportOptions& options,
                                                       const platform::PdfTarget& target);

}  // namespace lp::survey
