// A printer for tests: everything it is given is logged as text, one entry each:
// "font <family> <size>", the printed line itself, "image <w>x<h>", "end", "abort".
// It can be told to fail at a given line.
#pragma once

#include <QStringList>
#include <memory>

#include "platform/line_printer.h"

namespace lp::test {

struct PrintLog {
    QStringList entries;
    // The printed lines only.
    [[nodiscard]] QStringList lines() const;
    // Entries that are not lines: fonts, images, end and abort.
    [[nodiscard]] QStringList events() const;
};

class CapturingPrinter final : public platform::LinePrinter {
public:
    // Logs into `log`; printLine number `failAtLine` (1-based, 0 = never) fails.
    explicit CapturingPrinter(std::shared_ptr<PrintLog> log, int failAtLine = 0)
        : log_(std::move(log)), failAtLine_(failAtLine) {}

    void setFont(const QString& family, int pointSize) override;
    bool printLine(const QString& line) override;
    bool printImage(const QImage& image) override;
    bool endDocument() override;
    void abort() override;
    [[nodiscard]] QString errorText() const override { return error_; }

private:
    std::shared_ptr<PrintLog> log_;
    int failAtLine_ = 0;
    int lines_ = 0;
    QString error_;
};

}  // namespace lp::test
