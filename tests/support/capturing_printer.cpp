#include "capturing_printer.h"

#include <QImage>

namespace lp::test {
namespace {

bool isEvent(const QString& entry) {
    return entry.startsWith(QLatin1String("font ")) || entry.startsWith(QLatin1String("image ")) ||
           entry == QLatin1String("end") || entry == QLatin1String("abort");
}

// The entries that are events, or those that are not.
QStringList entriesWhere(const QStringList& entries, bool events) {
    QStringList out;
    for (const QString& e : entries) {
        if (isEvent(e) == events) {
            out << e;
        }
    }
    return out;
}

}  // namespace

QStringList PrintLog::lines() const {
    return entriesWhere(entries, false);
}

QStringList PrintLog::events() const {
    return entriesWhere(entries, true);
}

void CapturingPrinter::setFont(const QString& family, int pointSize) {
    log_->entries << QStringLiteral("font %1 %2").arg(family).arg(pointSize);
}

bool CapturingPrinter::printLine(const QString& line) {
    if (++lines_ == failAtLine_) {
        error_ = QStringLiteral("paper jam");
        return false;
    }
    log_->entries << line;
    return true;
}

bool CapturingPrinter::printImage(const QImage& image) {
    log_->entries << QStringLiteral("image %1x%2").arg(image.width()).arg(image.height());
    return true;
}

bool CapturingPrinter::endDocument() {
    log_->entries << QStringLiteral("end");
    return true;
}

void CapturingPrinter::abort() {
    log_->entries << QStringLiteral("abort");
}

}  // namespace lp::test
