// The pages of a report and the flow of its blocks down them: the body between the
// running head and the page number "Page n of m", paragraphs, headings and tables
// whose column headings come again on every page they run onto.
//
// A report is laid out twice by the same code: first counted only (no painter), to
// know how many pages there are, then painted. So every block asks for its room the
// same way in both passes, and only the painting depends on painting().
#pragma once

#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QStringList>
#include <functional>
#include <vector>

namespace lp::survey {

struct ReportFonts {
    QFont title;
    QFont heading;
    QFont text;
    QFont table;
    QFont tableBold;
    QFont small;
};

// The report's fonts, in points: the same family throughout.
[[nodiscard]] ReportFonts reportFonts();

class ReportFlow {
public:
    // `painter` is null for the counting pass; `pageCount` is then unknown (0).
    // `pageEnded` is asked after each page is painted; false stops the report.
    ReportFlow(QPdfWriter& writer, QPainter* painter, int pageCount, QString runningHead,
               std::function<bool()> pageEnded);

    [[nodiscard]] bool painting() const { return painter_ != nullptr; }
    [[nodiscard]] QPainter* painter() const { return painter_; }
    [[nodiscard]] const ReportFonts& fonts() const { return fonts_; }
    // What texts are measured on, for blocks that wrap their own way.
    [[nodiscard]] QPaintDevice* device() const { return &writer_; }
    // Device units for a length in points.
    [[nodiscard]] double pt(double points) const { return points * unitsPerPoint_; }
    [[nodiscard]] const QRectF& body() const { return body_; }
    [[nodiscard]] double y() const { return y_; }
    void advance(double height) { y_ += height; }
    // Room for `height` below the flow on this page, or a new page; false once the
    // report has stopped.
    bool ensure(double height);
    bool newPage();
    // Ends the last page. False when the report stopped.
    bool finish();
    [[nodiscard]] int pages() const { return page_; }
    [[nodiscard]] bool stopped() const { return stopped_; }

    // The height of `text` wrapped to the body's width.
    [[nodiscard]] double textHeight(const QFont& font, const QString& text) const;
    [[nodiscard]] double lineHeight(const QFont& font) const;
    // A wrapped paragraph, moved to the next page whole when it does not fit.
    bool paragraph(const QFont& font, const QString& text, double spaceAfter = 0);
    // A named value of the title block: the name in bold, the value wrapped beside it.
    bool field(const QString& name, const QString& value);
    // A section heading, kept with `keepWith` of room below it.
    bool heading(const QString& text, double keepWith);

private:
    void decoratePage();

    QPdfWriter& writer_;
    QPainter* painter_;
    int pageCount_;
    QString runningHead_;
    std::function<bool()> pageEnded_;
    ReportFonts fonts_;
    double unitsPerPoint_ = 1.0;
    QRectF paper_;  // the printable area
    QRectF body_;
    double y_ = 0;
    int page_ = 1;
    bool pageUsed_ = false;
    bool stopped_ = false;
};

// A table of texts, one row per index, its columns as wide as their weights' share of
// the body.
struct ReportTable {
    QStringList headers;
    std::vector<double> weights;
    qsizetype rows = 0;
    std::function<QStringList(qsizetype)> cells;
    // Rows set in bold (a total row); none when not given.
    std::function<bool(qsizetype)> bold;
    // Columns from this one on are right-aligned (the figures).
    int firstFigureColumn = 1;
    // The headings stay with at least this many rows (all of them, when fewer).
    qsizetype keptRows = 1;
};

// The height of one row of a table.
[[nodiscard]] double tableRowHeight(const ReportFlow& flow);

// Draws the table from the flow's place on, breaking pages between rows.
bool drawTable(ReportFlow& flow, const ReportTable& table);

}  // namespace lp::survey
