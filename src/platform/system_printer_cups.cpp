#include "platform/system_printer.h"

#include <cups/cups.h>

#include <QFile>

namespace lp::platform {

std::optional<QString> printPdfFile(const QString& printer, const QString& pdf,
                                    const QString& title) {
    const qsizetype slash = printer.indexOf(u'/');
    const QByteArray name = printer.left(slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : printer.mid(slash + 1).toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (dest == nullptr) {
        return QStringLiteral("the printer %1 is not known to the print system (%2)")
            .arg(printer, QString::fromUtf8(cupsLastErrorString()));
    }
    dest->num_options = cupsAddOption("copies", "1", dest->num_options, &dest->options);
    const int job = cupsPrintFile(dest->name, QFile::encodeName(pdf).constData(),
                                  title.toUtf8().constData(), dest->num_options, dest->options);
    cupsFreeDests(1, dest);
    if (job == 0) {
        return QStringLiteral("the printer %1 did not take the printout (%2)")
            .arg(printer, QString::fromUtf8(cupsLastErrorString()));
    }
    return std::nullopt;
}

}  // namespace lp::platform
