#include "platform/printer_target.h"

#include <QPrinter>

namespace lp::platform {

PdfTarget pdfTargetOf(const QPrinter& printer) {
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    return {toFile,
            toFile ? printer.outputFileName() : printer.printerName(),
            printer.pageLayout(),
            printer.resolution(),
            printer.docName(),
            printer.creator(),
            {},
            {},
            {}};
}

}  // namespace lp::platform
