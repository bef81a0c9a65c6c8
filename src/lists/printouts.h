// The record printouts as lines of text: the plain list of a record grid, the saved
// file's one record per line (12 pt) and its several records per line (8 pt). A
// printout is made line by line as the printer takes it, so a long list is never
// held twice.
//
// Fields are filled with spaces to their width; a text longer than its field is
// printed whole (the line gets longer, nothing is cut off).
#pragma once

#include <QStringList>
#include <functional>
#include <optional>

#include "records/record_line_store.h"
#include "records/record_store.h"

namespace lp::lists {

[[nodiscard]] QString rightAligned(QStringView text, int width);
[[nodiscard]] QString leftAligned(QStringView text, int width);

struct PrintFont {
    QString family;
    int pointSize = 0;
};

// What one copy prints: the font (none keeps the printer's), the heading lines, then
// `bodyCount` lines made on demand. `recordOf(i)` is the row number line i starts
// with, shown as the printout's progress.
struct Printout {
    std::optional<PrintFont> font;
    QStringList heading;
    qsizetype bodyCount = 0;
    std::function<QString(qsizetype)> bodyLine;
    std::function<qint64(qsizetype)> recordOf;
};

// The plain list's two heading lines.
inline const QString kListHeading =
    QStringLiteral("          Date        Time       Value  A/C     Bat        Range     O/U");
inline const QString kListRule =
    QStringLiteral("        --------    --------     -----  ---   --------     -----    ----- ");

// The plain list of a record grid: per row its number left-aligned in 8, then its line.
[[nodiscard]] Printout recordGridPrintout(const records::RecordLineStore& grid);

// The plain list of the first `count` records of a live list, whose rows carry no
// record line: the line is made like a downloaded record's, the date, four spaces,
// the time and the level right-aligned in 9.
[[nodiscard]] Printout liveListPrintout(const records::RecordStore& records, qsizetype count);

// One record per line in "Lucida Console" 12: four blank lines, the column headers
// (14, 21, "  dB"), 33 dashes, then number, date-time and level in 14, 21 and 6.
[[nodiscard]] Printout onePerLinePrintout(const records::RecordStore& records,
                                          const QStringList& headers);

// `perLine` (1 to 5) records per line in "Lucida Console" 8: four blank lines, the
// headers (14, 21, "     (dB)"), 72 dashes, then per line the number and date-time of
// its first record and the levels of up to `perLine` records, each in 9.
[[nodiscard]] Printout severalPerLinePrintout(const records::RecordStore& records,
                                              const QStringList& headers, int perLine);

// The six lines shown before the several-per-line printout.
[[nodiscard]] QString printerNote();
inline const QString kPerLinePrompt = QStringLiteral("Input record(s) to print in one row (1-5)");

// An answer to kPerLinePrompt: the whole part of its leading number when that is 1 to
// 5 ("2.9" gives 2); nullopt asks again (0, 6, no leading number). An empty answer or
// a cancelled box (nullopt) ends the command: `ends` is set.
struct PerLineAnswer {
    bool ends = false;
    std::optional<int> perLine;
};
[[nodiscard]] PerLineAnswer readPerLineAnswer(const std::optional<QString>& answer);

}  // namespace lp::lists
