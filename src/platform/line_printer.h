// A printer that takes text lines in order and breaks pages by itself: no headings,
// no page numbers. The windows' printouts and the printed window pictures go through
// it, so tests can read what was printed.
#pragma once

#include <QString>

class QImage;

namespace lp::platform {

class LinePrinter {
public:
    virtual ~LinePrinter() = default;

    // The font of the lines printed from now on. A family that is not installed is
    // replaced by the system's fixed-width font, so columns stay aligned.
    virtual void setFont(const QString& family, int pointSize) = 0;
    // One line below the previous one (on a new page when this one is full). False
    // when the printer failed; errorText() says why.
    virtual bool printLine(const QString& line) = 0;
    // A picture scaled to fit the page, keeping its proportions.
    virtual bool printImage(const QImage& image) = 0;
    // Finishes the document (it goes to the printer or is written out).
    virtual bool endDocument() = 0;
    // Leaves the document unfinished: nothing more is printed.
    virtual void abort() = 0;
    [[nodiscard]] virtual QString errorText() const = 0;
};

}  // namespace lp::platform
