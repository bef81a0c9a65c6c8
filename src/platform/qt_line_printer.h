// The line printer on a QPrinter (a system printer or a PDF file): lines go down the
// page's printable area and a new page starts when the next line does not fit.
#pragma once

#include <QFont>
#include <QPainter>
#include <memory>

#include "platform/line_printer.h"

class QPrinter;

namespace lp::platform {

class QtLinePrinter final : public LinePrinter {
public:
    explicit QtLinePrinter(std::unique_ptr<QPrinter> printer);
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

    std::unique_ptr<QPrinter> printer_;
    QPainter painter_;
    QFont font_;
    qreal y_ = 0;
    qreal pageHeight_ = 0;
    bool started_ = false;
    bool pageUsed_ = false;
    bool closed_ = false;
    QString error_;
};

}  // namespace lp::platform
