// Prints a printout a piece at a time from the event loop, so the windows stay
// responsive and the panel's cycle keeps sampling while a long list prints. Each
// copy starts with the printout's font and heading; all copies make one document.
// A printer fault, a cancel or the run's end before the last line leaves the document
// unfinished.
#pragma once

#include <QObject>
#include <memory>

#include "lists/printouts.h"
#include "platform/line_printer.h"

namespace lp::lists {

class PrintRun : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Finished, Cancelled, Failed };
    Q_ENUM(Outcome)

    PrintRun(Printout printout, std::unique_ptr<platform::LinePrinter> printer, int copies,
             QObject* parent = nullptr);
    ~PrintRun() override;

    // The first piece prints at the next turn of the event loop.
    void start();
    // Stops before the next line; finished(Cancelled) follows at once.
    void cancel();

    // At most this many lines per turn of the event loop (a turn also ends after a
    // few milliseconds).
    void setLinesPerTurn(int lines) { linesPerTurn_ = std::max(1, lines); }

    [[nodiscard]] bool isRunning() const { return running_; }
    // Why the printout failed (empty unless it did).
    [[nodiscard]] QString errorText() const { return error_; }

signals:
    // After each piece: the row number of the last line printed.
    void progress(qint64 record);
    void finished(lp::lists::PrintRun::Outcome outcome);

private:
    void turn();
    bool printNext();
    void finish(Outcome outcome);

    Printout printout_;
    std::unique_ptr<platform::LinePrinter> printer_;
    int copies_ = 1;
    int copy_ = 0;
    qsizetype line_ = 0;  // within the copy: heading first, then the body
    qint64 lastRecord_ = 0;
    int linesPerTurn_ = 4096;
    bool running_ = false;
    QString error_;
};

}  // namespace lp::lists
