// Hands a finished PDF to a system printer (CUPS on Linux and macOS).
#pragma once

#include <QString>
#include <optional>

namespace lp::platform {

// Queues the PDF file `pdf` as one job titled `title` on `printer` (the name the print
// system knows it by; with CUPS "name/instance" for an instance), with the printer's
// saved options but one copy: the document already holds every copy. Returns the
// reason when the print system refuses it.
[[nodiscard]] std::optional<QString> printPdfFile(const QString& printer, const QString& pdf,
                                                  const QString& title);

}  // namespace lp::platform
