// Writing the survey report: the pages counted first, then painted into the PDF.
#include "survey/survey_report.h"

#include <QGuiApplication>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include "survey/report_sections.h"

namespace lp::survey {
namespace {

constexpr int kResolution = 300;  // dots per inch of the page's coordinates
constexpr double kMarginMm = 15;

}  // namespace

QPageSize localPageSize() {
    const QLocale::MeasurementSystem system = QLocale::system().measurementSystem();
    return QPageSize(system == QLocale::ImperialUSSystem ? QPageSize::Letter : QPageSize::A4);
}

std::optional<QString> writeSurveyReport(const ReportContent& content, const ReportOptions& options,
                                         const QString& pdfPath) {
    const QPageLayout layout(options.pageSize, QPageLayout::Portrait,
                             QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                             QPageLayout::Millimeter);
    platform::PdfTarget target;
    target.path = pdfPath;
    target.layout = layout;
    target.resolution = kResolution;
    target.title = QStringLiteral("Survey report");
    target.creator = QStringLiteral("LevelPanel");
    return writeSurveyReport(content, options, target);
}

std::optional<QString> writeSurveyReport(const ReportContent& content, const ReportOptions& options,
                                         const platform::PdfTarget& target) {
    if (content.result.failure) {
        return content.result.failure;
    }
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return QStringLiteral("The report needs the graphical part of Qt (a QGuiApplication).");
    }
    // Never over one of the survey's own files.
    platform::PdfTarget judged = target;
    if (!content.result.held) {
        judged.inputs += content.result.files;
    }
    if (content.manifest) {
        judged.xmpMetadata = assess::manifestXmp(*content.manifest);
        judged.attachments.push_back({assess::kManifestAttachment,
                                      assess::manifestAttachment(*content.manifest),
                                      assess::kManifestAttachmentType});
    }
    platform::PdfDocument document(judged);
    if (!document.open()) {
        return document.errorText();
    }
    QPdfWriter& writer = *document.writer();
    const QString head = reportRunningHead(content);
    int pages = 0;
    {
        ReportFlow counting(writer, nullptr, 0, head, {});
        layOutReport(counting, content, options.madeAt);
        pages = counting.pages();
    }
    bool stoppedByCaller = false;
    const auto pageEnded = [&] {
        if (!document.writesOk()) {
            return false;
        }
        if (options.keepGoing && !options.keepGoing()) {
            stoppedByCaller = true;
            return false;
        }
        return true;
    };
    bool laidOut = false;
    {
        QPainter painter;
        if (!painter.begin(&writer)) {
            document.discard();
            return QStringLiteral("The report could not be started.");
        }
        ReportFlow flow(writer, &painter, pages, head, pageEnded);
        laidOut = layOutReport(flow, content, options.madeAt);
        painter.end();
    }
    if (!laidOut) {
        const QString reason = document.errorText();
        document.discard();
        if (stoppedByCaller) {
            return kReportStopped;
        }
        return reason.isEmpty() ? QStringLiteral("The report could not be written.") : reason;
    }
    if (!document.finish()) {
        return document.errorText();
    }
    return std::nullopt;
}

}  // namespace lp::survey
