// The line printer on a QPrinter (a system printer or a PDF file): lines go down the
// page's printable area and a new page starts when the next line does not fit. The
// printout is painted into a PdfDocument, so one ended early or stopped by a fault
// leaves no file and sends nothing to the printer.
#pragma once

#include <QFont>
#include <QPainter>
#include <memory>

#include "platform/line_printer.h"
#include "platform/pdf_document.h"

class QPrinter;

namespace lp::platform {

class QtLinePrinter final : public LinePrinter {
public:
    // Prints to the file or the system printer `printer` was set up for.
    explicit QtLinePrinter(const QPrinter& printer);
    // Unfinished, the document is dropped.
    ~QtLinePrinter() override;

    void setFont(const QString& family, int pointSize) override;
    bool printLine(const QString& line) override;
    bool printImage(const QImage& image) override;
    bool endDocument() override;
    void abort() override;
    [[nodiscard]] QString errorText() const override { return error_; }

    // The family a requested one prints in: itself when installed, otherwise the
    // system's fixed-width font.
    [[nodiscard]] static QString printedFamily(const QString& requested);

private:
    bool begin();
    bool fail(const QString& error);
    bool newPageIfFull(qreal height);
    // Until a printout names a font, lines print in the fixed-width font at 10 pt.
    static QFont defaultFont();

    std::unique_ptr<PdfDocument> document_;  // outlives the painter painting into it
    QPainter painter_;
    QFont font_;
    QRectF page_;
    qreal y_ = 0;
    bool started_ = false;
    bool pageUsed_ = false;
    bool closed_ = false;
    QString error_;
};

}  // namespace lp::platform
