// Hands a finished PDF to a system printer through CUPS.
#pragma once

#include <QString>
#include <optional>

namespace lp::platform {

// Queues the PDF file `pdf` as one job titled `title` on `printer` (a CUPS name,
// "name/instance" for an instance), with the printer's saved options but one copy:
// the document already holds every copy. Returns the reason when CUPS refuses it.
[[nodiscard]] std::optional<QString> printPdfFile(const QString& printer, const QString& pdf,
                                                  const QString& title);

}  // namespace lp::platform
