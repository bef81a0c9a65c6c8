#include "platform/pdf_document.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>

#include "platform/cups_printer.h"
#include "platform/write_failure.h"

namespace lp::platform {

PdfDocument::PdfDocument(PdfTarget target) : target_(std::move(target)) {
    if (target_.toFile) {
        target_.path = QFileInfo(target_.path).absoluteFilePath();
    }
}

// An uncommitted save file and the spool file remove themselves.
PdfDocument::~PdfDocument() {
    discard();
}

bool PdfDocument::fail(const QString& reason) {
    if (error_.isEmpty()) {
        error_ = reason;
    }
    discard();
    return false;
}

QString PdfDocument::writeFailed(const QString& systemReason) const {
    if (target_.toFile) {
        return QStringLiteral("The file %1 was not written: %2.")
            .arg(target_.path, writeFailureText(systemReason));
    }
    return QStringLiteral("The printout for %1 could not be spooled in %2: %3.")
        .arg(target_.path, QDir::toNativeSeparators(QDir::tempPath()),
             writeFailureText(systemReason));
}

bool PdfDocument::open() {
    if (target_.toFile) {
        // No direct-write fallback: the file takes the chosen name only when complete.
        file_ = std::make_unique<QSaveFile>(target_.path);
    } else {
        file_ = std::make_unique<QTemporaryFile>(
            QDir(QDir::tempPath()).filePath(QStringLiteral("levelpanel-print-XXXXXX.pdf")));
    }
    if (!file_->open(QIODevice::WriteOnly)) {
        const QString reason = file_->errorString();
        file_.reset();
        return fail(writeFailed(reason));
    }
    writer_ = std::make_unique<QPdfWriter>(file_.get());
    writer_->setPageLayout(target_.layout);
    writer_->setResolution(target_.resolution);
    writer_->setTitle(target_.title);
    writer_->setCreator(target_.creator);
    return true;
}

bool PdfDocument::writesOk() {
    if (ended_ || !file_) {
        return false;
    }
    // The PDF writer ignores what its writes return; the file remembers a failure.
    if (file_->error() != QFileDevice::NoError) {
        return fail(writeFailed(file_->errorString()));
    }
    return true;
}

bool PdfDocument::finish() {
    if (!writesOk()) {
        return fail(QStringLiteral("The printout was already ended."));
    }
    // The last bytes reach the disk only here, and a full disk may show only here.
    if (!file_->flush()) {
        return fail(writeFailed(file_->errorString()));
    }
    if (target_.toFile) {
        auto* file = static_cast<QSaveFile*>(file_.get());
        if (!file->commit()) {
            return fail(writeFailed(file->errorString()));
        }
        ended_ = true;
        return true;
    }
    const std::optional<QString> refused =
        printPdfFile(target_.path, file_->fileName(), target_.title);
    if (refused) {
        return fail(QStringLiteral("The printout was not printed: %1.").arg(*refused));
    }
    ended_ = true;  // the print system has its own copy; the spool file goes with this
    return true;
}

void PdfDocument::discard() {
    ended_ = true;
    if (auto* file = qobject_cast<QSaveFile*>(file_.get()); file && file->isOpen()) {
        file->cancelWriting();
    }
}

}  // namespace lp::platform
