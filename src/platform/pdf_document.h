// The PDF a printout is painted into. For a PDF file it is written beside the chosen
// name and takes that name only once complete; for a system printer it is spooled to a
// temporary file and handed to the printer only once complete. A document discarded or
// failed part way leaves nothing: no file under the chosen name (an older file of that
// name stays as it was), nothing sent to the printer. Every write is checked, so a full
// disk is told, not mistaken for success.
#pragma once

#include <QPageLayout>
#include <QString>
#include <memory>

class QFileDevice;
class QPdfWriter;

namespace lp::platform {

// Where a document goes and how its pages are laid out.
struct PdfTarget {
    bool toFile = true;
    QString path;  // the PDF file, or the system printer's name
    QPageLayout layout;
    int resolution = 300;  // dots per inch
    QString title;
    QString creator;
};

// Destroyed only after the painter on its writer has ended; a document not finished
// by then is removed.
class PdfDocument {
public:
    explicit PdfDocument(PdfTarget target);
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // Creates the file to paint on; false when it cannot be (errorText() says why).
    bool open();
    // What to paint on once open: its pages have the printer's layout and resolution.
    [[nodiscard]] QPdfWriter* writer() const { return writer_.get(); }
    // False once a write has failed (errorText() says why).
    bool writesOk();
    // After the painter has ended: the file under the chosen name, or the job handed to
    // the printer. False when that failed; nothing is left behind then.
    bool finish();
    // Drops the document: whatever is painted from now on goes nowhere, and nothing is
    // left behind.
    void discard();

    [[nodiscard]] QString errorText() const { return error_; }

private:
    bool fail(const QString& reason);
    [[nodiscard]] QString writeFailed(const QString& systemReason) const;

    PdfTarget target_;
    std::unique_ptr<QFileDevice> file_;  // outlives the writer that writes to it
    std::unique_ptr<QPdfWriter> writer_;
    bool ended_ = false;  // finished or dropped: no more is written or sent
    QString error_;
};

}  // namespace lp::platform
