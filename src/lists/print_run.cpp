// The printout's pieces, one per turn of the event loop.
#include "lists/print_run.h"

#include <QElapsedTimer>
#include <QTimer>

namespace lp::lists {
namespace {

// A piece ends after this long, so the panel's 150 ms cycle is never held up.
constexpr qint64 kTurnMs = 20;

}  // namespace

PrintRun::PrintRun(Printout printout, std::unique_ptr<platform::LinePrinter> printer, int copies,
                   QObject* parent)
    : QObject(parent),
      printout_(std::move(printout)),
      printer_(std::move(printer)),
      copies_(std::max(1, copies)) {}

PrintRun::~PrintRun() {
    if (running_) {
        printer_->abort();
    }
}

void PrintRun::start() {
    running_ = true;
    if (printout_.heading.isEmpty() && printout_.bodyCount == 0) {
        copy_ = copies_;  // nothing to print: only the document's end
    }
    QTimer::singleShot(0, this, &PrintRun::turn);
}

void PrintRun::cancel() {
    if (running_) {
        printer_->abort();
        finish(Outcome::Cancelled);
    }
}

bool PrintRun::printNext() {
    const qsizetype headingCount = printout_.heading.size();
    if (line_ == 0 && printout_.font) {
        printer_->setFont(printout_.font->family, printout_.font->pointSize);
    }
    bool printed = false;
    if (line_ < headingCount) {
        printed = printer_->printLine(printout_.heading.at(line_));
    } else {
        const qsizetype i = line_ - headingCount;
        printed = printer_->printLine(printout_.bodyLine(i));
        lastRecord_ = printout_.recordOf(i);
    }
    if (++line_ == headingCount + printout_.bodyCount) {
        line_ = 0;
        ++copy_;
    }
    return printed;
}

void PrintRun::turn() {
    if (!running_) {
        return;
    }
    QElapsedTimer clock;
    clock.start();
    const qint64 before = lastRecord_;
    for (int n = 0; n < linesPerTurn_ && copy_ < copies_; ++n) {
        if (!printNext()) {
            error_ = printer_->errorText();
            printer_->abort();
            finish(Outcome::Failed);
            return;
        }
        if (clock.elapsed() >= kTurnMs) {
            break;
        }
    }
    if (lastRecord_ != before) {
        emit progress(lastRecord_);
        if (!running_) {
            return;  // cancelled from the progress shown
        }
    }
    if (copy_ < copies_) {
        QTimer::singleShot(0, this, &PrintRun::turn);
        return;
    }
    if (!printer_->endDocument()) {
        error_ = printer_->errorText();
        printer_->abort();
        finish(Outcome::Failed);
        return;
    }
    finish(Outcome::Finished);
}

void PrintRun::finish(Outcome outcome) {
    running_ = false;
    emit finished(outcome);
}

}  // namespace lp::lists
