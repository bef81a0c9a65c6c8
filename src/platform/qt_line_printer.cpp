#include "platform/qt_line_printer.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QImage>
#include <QPdfWriter>

#include "platform/printer_target.h"

namespace lp::platform {

QtLinePrinter::QtLinePrinter(const QPrinter& printer)
    : document_(std::make_unique<PdfDocument>(pdfTargetOf(printer))), font_(defaultFont()) {}

QtLinePrinter::~QtLinePrinter() {
    abort();
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
    if (!document_->open()) {
        return fail(document_->errorText());
    }
    QPdfWriter& writer = *document_->writer();
    if (!painter_.begin(&writer)) {
        document_->discard();
        return fail(QStringLiteral("The printout could not be started."));
    }
    painter_.setFont(font_);
    page_ = writer.pageLayout().paintRectPixels(writer.resolution());
    return true;
}

bool QtLinePrinter::newPageIfFull(qreal height) {
    if (y_ + height <= page_.height() || !pageUsed_) {
        return true;
    }
    // The page just ended is written out here: a full disk shows first here.
    const bool started = document_->writer()->newPage();
    if (!document_->writesOk()) {
        return fail(document_->errorText());
    }
    if (!started) {
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
    const QFontMetricsF metrics(font_, document_->writer());
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
    QSizeF size = image.size();
    size.scale(page_.width(), page_.height() - y_, Qt::KeepAspectRatio);
    if (pageUsed_ && size.height() < page_.height() / 2) {
        // Too little room left: the picture gets a page of its own.
        if (!newPageIfFull(page_.height())) {
            return false;
        }
        size = image.size();
        size.scale(page_.size(), Qt::KeepAspectRatio);
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
        document_->discard();
        return fail(QStringLiteral("The printer failed to finish the document."));
    }
    if (!document_->finish()) {
        return fail(document_->errorText());
    }
    return true;
}

void QtLinePrinter::abort() {
    closed_ = true;
    // Dropped first, so what the painter's end still writes goes nowhere.
    document_->discard();
    if (painter_.isActive()) {
        painter_.end();
    }
}

}  // namespace lp::platform
