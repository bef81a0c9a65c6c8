#include "platform/qt_line_printer.h"

#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPrinter>

namespace lp::platform {

QtLinePrinter::QtLinePrinter(std::unique_ptr<QPrinter> printer)
    : printer_(std::move(printer)), font_(defaultFont()) {}

QtLinePrinter::~QtLinePrinter() {
    if (painter_.isActive()) {
        abort();
    }
}

QFont QtLinePrinter::defaultFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(10);
    return font;
}

QString QtLinePrinter::printedFamily(const QString& requested) {
    if (QFontDatabase::hasFamily(requested)) {
        return requested;
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

void QtLinePrinter::setFont(const QString& family, int pointSize) {
    font_ = QFont(printedFamily(family), pointSize);
    font_.setStyleHint(QFont::TypeWriter);
    if (painter_.isActive()) {
        painter_.setFont(font_);
    }
}

bool QtLinePrinter::fail(const QString& error) {
    if (error_.isEmpty()) {
        error_ = error;
    }
    return false;
}

bool QtLinePrinter::begin() {
    if (started_) {
        return painter_.isActive();
    }
    started_ = true;
    if (!painter_.begin(printer_.get())) {
        if (printer_->outputFormat() == QPrinter::PdfFormat) {
            return fail(QStringLiteral("The file %1 cannot be written.")
                            .arg(QFileInfo(printer_->outputFileName()).absoluteFilePath()));
        }
        return fail(QStringLiteral("The printer %1 cannot be used.").arg(printer_->printerName()));
    }
    painter_.setFont(font_);
    pageHeight_ = printer_->pageLayout().paintRectPixels(printer_->resolution()).height();
    return true;
}

bool QtLinePrinter::newPageIfFull(qreal height) {
    if (y_ + height <= pageHeight_ || !pageUsed_) {
        return true;
    }
    if (!printer_->newPage()) {
        return fail(QStringLiteral("The printer failed to start a new page."));
    }
    y_ = 0;
    pageUsed_ = false;
    return true;
}

bool QtLinePrinter::printLine(const QString& line) {
    if (closed_ || !begin()) {
        return fail(QStringLiteral("The printout was already ended."));
    }
    const QFontMetricsF metrics(font_, printer_.get());
    if (!newPageIfFull(metrics.lineSpacing())) {
        return false;
    }
    painter_.drawText(QPointF(0, y_ + metrics.ascent()), line);
    y_ += metrics.lineSpacing();
    pageUsed_ = true;
    return true;
}

bool QtLinePrinter::printImage(const QImage& image) {
    if (closed_ || !begin()) {
        return fail(QStringLiteral("The printout was already ended."));
    }
    const QRectF page = printer_->pageLayout().paintRectPixels(printer_->resolution());
    QSizeF size = image.size();
    size.scale(page.width(), pageHeight_ - y_, Qt::KeepAspectRatio);
    if (pageUsed_ && size.height() < pageHeight_ / 2) {
        // Too little room left: the picture gets a page of its own.
        if (!newPageIfFull(pageHeight_)) {
            return false;
        }
        size = image.size();
        size.scale(page.width(), pageHeight_, Qt::KeepAspectRatio);
    }
    painter_.drawImage(QRectF(QPointF(0, y_), size), image);
    y_ += size.height();
    pageUsed_ = true;
    return true;
}

bool QtLinePrinter::endDocument() {
    if (closed_) {
        return fail(QStringLiteral("The printout was already ended."));
    }
    // A printout of no lines still makes its (empty) page.
    if (!begin()) {
        return false;
    }
    closed_ = true;
    if (!painter_.end()) {
        return fail(QStringLiteral("The printer failed to finish the document."));
    }
    return true;
}

void QtLinePrinter::abort() {
    if (closed_) {
        return;
    }
    closed_ = true;
    if (painter_.isActive()) {
        printer_->abort();
        painter_.end();
    }
}

}  // namespace lp::platform
