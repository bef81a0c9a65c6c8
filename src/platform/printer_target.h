// The PDF target of a printer set up in Qt's print dialog (a system printer or a PDF
// file), with its page layout and resolution.
#pragma once

#include "platform/pdf_document.h"

class QPrinter;

namespace lp::platform {

[[nodiscard]] PdfTarget pdfTargetOf(const QPrinter& printer);

}  // namespace lp::platform
