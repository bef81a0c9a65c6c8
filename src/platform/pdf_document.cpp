#include "platform/pdf_document.h"

#include <QDir>
#include <QFileInfo>
#include <QPdfWriter>
#include <QTemporaryFile>

#include "platform/system_printer.h"
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
        // No direct-write fallback: a file takes the chosen name only when complete.
        output_ = std::make_unique<OutputFile>(target_.path, target_.inputs);
        if (!output_->open()) {
            const QString reason = output_->reason();
            output_.reset();
            return fail(
                QStringLiteral("The file %1 was not written: %2.").arg(target_.path, reason));
        }
    } else {
        spool_ = std::make_unique<QTemporaryFile>(
            QDir(QDir::tempPath()).filePath(QStringLiteral("levelpanel-print-XXXXXX.pdf")));
        if (!spool_->open()) {
            const QString reason = spool_->errorString();
            spool_.reset();
            return fail(writeFailed(reason));
        }
    }
    writer_ = std::make_unique<QPdfWriter>(&file());
    writer_->setPageLayout(target_.layout);
    writer_->setResolution(target_.resolution);
    writer_->setTitle(target_.title);
    writer_->setCreator(target_.creator);
    if (!target_.xmpMetadata.isEmpty()) {
        writer_->setDocumentXmpMetadata(target_.xmpMetadata);
    }
    for (const PdfAttachment& attachment : target_.attachments) {
        writer_->addFileAttachment(attachment.name, attachment.data, attachment.mimeType);
    }
    return true;
}

QFileDevice& PdfDocument::file() const {
    return output_ ? output_->device() : *spool_;
}

bool PdfDocument::writesOk() {
    if (ended_ || (!output_ && !spool_)) {
        return false;
    }
    // The PDF writer ignores what its writes return; the file remembers a failure.
    if (file().error() != QFileDevice::NoError) {
        return fail(writeFailed(file().errorString()));
    }
    return true;
}

bool PdfDocument::finish() {
    if (!writesOk()) {
        return fail(QStringLiteral("The printout was already ended."));
    }
    if (output_) {
        // The last bytes reach the disk only here, and a full disk may show only here.
        if (!output_->commit()) {
            return fail(QStringLiteral("The file %1 was not written: %2.")
                            .arg(target_.path, output_->reason()));
        }
        ended_ = true;
        return true;
    }
    if (!spool_->flush()) {
        return fail(writeFailed(spool_->errorString()));
    }
    const std::optional<QString> refused =
        printPdfFile(target_.path, spool_->fileName(), target_.title);
    if (refused) {
        return fail(QStringLiteral("The printout was not printed: %1.").arg(*refused));
    }
    ended_ = true;  // the print system has its own copy; the spool file goes with this
    return true;
}

void PdfDocument::discard() {
    ended_ = true;
    if (output_) {
        output_->cancel();
    }
}

}  // namespace lp::platform
