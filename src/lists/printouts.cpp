// The record printouts' lines.
#include "lists/printouts.h"

#include <algorithm>
#include <cmath>

#include "platform/numeric_text.h"

namespace lp::lists {
namespace {

using records::Field;

const QString kPrinterFont = QStringLiteral("Lucida Console");

QStringList blankLines() {
    return {QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")};
}

QString dashes(int count) {
    return QString(8, u' ') + QString(count, u'-');
}

// The saved-file printouts' heading block: four blank lines, the column headers with
// the level's caption after them, the rule.
QStringList savedFileHeading(const QStringList& headers, const QString& levelCaption,
                             int ruleLength) {
    return blankLines() << rightAligned(headers.value(0), 14) + rightAligned(headers.value(1), 21) +
                               levelCaption
                        << dashes(ruleLength);
}

}  // namespace

QString rightAligned(QStringView text, int width) {
    QString field(std::max<qsizetype>(0, width - text.size()), u' ');
    field.append(text);
    return field;
}

QString leftAligned(QStringView text, int width) {
    QString field = text.toString();
    field.append(QString(std::max<qsizetype>(0, width - text.size()), u' '));
    return field;
}

Printout recordGridPrintout(const records::RecordLineStore& grid) {
    Printout printout;
    printout.heading = {kListHeading, kListRule};
    printout.bodyCount = grid.count();
    printout.bodyLine = [&grid](qsizetype i) {
        if (i >= grid.count()) {
            return QString();  // the window was emptied meanwhile
        }
        const records::RecordLineStore::Row& row = grid.row(i);
        return leftAligned(row.number, 8) + row.line;
    };
    printout.recordOf = [](qsizetype i) { return qint64(i) + 1; };
    return printout;
}

Printout liveListPrintout(const records::RecordStore& records, qsizetype count) {
    Printout printout;
    printout.heading = {kListHeading, kListRule};
    printout.bodyCount = count;
    printout.bodyLine = [&records](qsizetype i) {
        if (i >= records.count()) {
            return QString();  // the list was emptied meanwhile (written to its dump file)
        }
        const QString stamp = records.text(i, Field::DateTime);
        return leftAligned(records.text(i, Field::No), 8) + stamp.left(10) +
               QStringLiteral("    ") + stamp.mid(11) +
               rightAligned(records.text(i, Field::Level), 9);
    };
    printout.recordOf = [](qsizetype i) { return qint64(i) + 1; };
    return printout;
}

Printout onePerLinePrintout(const records::RecordStore& records, const QStringList& headers) {
    Printout printout;
    printout.font = PrintFont{kPrinterFont, 12};
    printout.heading = savedFileHeading(headers, QStringLiteral("  dB"), 33);
    printout.bodyCount = records.count();
    printout.bodyLine = [&records](qsizetype i) {
        return rightAligned(records.text(i, Field::No), 14) +
               rightAligned(records.text(i, Field::DateTime), 21) +
               rightAligned(records.text(i, Field::Level), 6);
    };
    printout.recordOf = [](qsizetype i) { return qint64(i) + 1; };
    return printout;
}

Printout severalPerLinePrintout(const records::RecordStore& records, const QStringList& headers,
                                int perLine) {
    const qsizetype per = std::clamp(perLine, 1, 5);
    Printout printout;
    printout.font = PrintFont{kPrinterFont, 8};
    printout.heading = savedFileHeading(headers, QStringLiteral("     (dB)"), 72);
    printout.bodyCount = (records.count() + per - 1) / per;
    printout.bodyLine = [&records, per](qsizetype i) {
        const qsizetype first = i * per;
        const qsizetype last = std::min(first + per, records.count());
        QString line = rightAligned(records.text(first, Field::No), 14) +
                       rightAligned(records.text(first, Field::DateTime), 21);
        for (qsizetype j = first; j < last; ++j) {
            line += rightAligned(records.text(j, Field::Level), 9);
        }
        return line;
    };
    printout.recordOf = [per](qsizetype i) { return qint64(i * per) + 1; };
    return printout;
}

QString printerNote() {
    return QStringList{
        QStringLiteral("Note"),
        QStringLiteral("The effect of the properties of the Printer settings"),
        QStringLiteral("depends on the driver supplied by the printer manufacturer."),
        QStringLiteral("Some property settings may have no effect, or several different "
                       "property settings"),
        QStringLiteral("may all have the same effect. Settings outside the accepted range may "
                       "or may not produce an error."),
        QStringLiteral("For more information, see the manufacturer's documentation for the "
                       "specific driver."),
    }
        .join(u'\n');
}

PerLineAnswer readPerLineAnswer(const std::optional<QString>& answer) {
    if (!answer || answer->isEmpty()) {
        return {true, std::nullopt};
    }
    const double value = platform::leadingNumber(*answer);
    if (value < 1 || value > 5) {
        return {false, std::nullopt};
    }
    return {false, static_cast<int>(std::floor(value))};
}

}  // namespace lp::lists
