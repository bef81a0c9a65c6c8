// The PDF a printout is painted into. For a PDF file it is judged and written as
// OutputFile does: a regular file is written beside the chosen name and takes that name
// only once complete, a pipe or device is written directly, and a file the content is
// read from, a file a recording holds, a folder and the like are refused. For a system
// printer it is spooled to a
// temporary file and handed to the printer only once complete. A document discarded or
// failed part way leaves nothing: no file under the chosen name (an older file of that
// name stays as it was), nothing sent to the printer. Every write is checked, so a full
// disk is told, not mistaken for success.
#pragma once

#include <QByteArray>
#include <QPageLayout>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

#include "platform/output_file.h"

class QFileDevice;
class QPdfWriter;
class QTemporaryFile;

namespace lp::platform {

// A file carried inside the PDF (a viewer lists it; pdfdetach takes it out).
struct PdfAttachment {
    QString name;
    QByteArray data;
    QString mimeType;
};

// Where a document goes and how its pages are laid out.
struct PdfTarget {
    bool toFile = true;
    QString path;  // the PDF file, or the system printer's name
    QPageLayout layout;
    int resolution = 300;  // dots per inch
    QString title;
    QString creator;
    QStringList inputs;  // the files the content is read from: never written over
    // The document's XMP metadata packet, written as it is (uncompressed); none when
    // empty.
    QByteArray xmpMetadata;
    std::vector<PdfAttachment> attachments;
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
    [[nodiscard]] QFileDevice& file() const;

    PdfTarget target_;
    // The file or the spool file, which outlives the writer that writes to it.
    std::unique_ptr<OutputFile> output_;
    std::unique_ptr<QTemporaryFile> spool_;
    std::unique_ptr<QPdfWriter> writer_;
    bool ended_ = false;  // finished or dropped: no more is written or sent
    QString error_;
};

}  // namespace lp::platform
