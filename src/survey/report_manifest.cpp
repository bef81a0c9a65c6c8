// The manifest page: paths, the command line and the hashes are set in a small
// fixed-width font, broken between words and where a word is too long for its column
// anywhere in it.
#include "survey/report_manifest.h"

#include <QFontDatabase>
#include <QJsonArray>
#include <QTextLayout>

namespace lp::survey {
namespace {

constexpr double kMonoPoints = 7;

QTextOption wrapping() {
    QTextOption option(Qt::AlignLeft | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    return option;
}

QFont monoFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(kMonoPoints);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// A column of a wrapped table: its share of the body's width, its font, and whether it
// is a figure (right-aligned, not wrapped).
struct Column {
    QString header;
    double weight = 1;
    QFont font;
    bool figure = false;
};

// The height of `text` laid out as QPainter::drawText lays it out with wrapping().
double wrappedHeight(const ReportFlow& flow, const QFont& font, const QString& text, double width) {
    QTextLayout layout(QString(text).replace(u'\n', QChar::LineSeparator), font, flow.device());
    layout.setTextOption(wrapping());
    layout.beginLayout();
    double height = 0;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height += line.height();
    }
    layout.endLayout();
    return height;
}

// A table whose rows are as high as their most wrapped cell; the headings come again
// on every page it runs onto.
bool wrappedTable(ReportFlow& flow, const std::vector<Column>& columns,
                  const std::vector<QStringList>& rows) {
    const QRectF& body = flow.body();
    const double pad = flow.pt(3);
    double total = 0;
    for (const Column& column : columns) {
        total += column.weight;
    }
    std::vector<QRectF> cells;  // left and width of each column, less the padding
    double x = body.left();
    for (const Column& column : columns) {
        const double width = body.width() * column.weight / total;
        cells.emplace_back(x + pad, 0, width - 2 * pad, 0);
        x += width;
    }
    const auto heightOf = [&](const QStringList& row, bool header) {
        double height = flow.lineHeight(flow.fonts().tableBold);
        for (size_t c = 0; c < columns.size() && !header; ++c) {
            height = std::max(
                height, wrappedHeight(flow, columns[c].font, row[qsizetype(c)], cells[c].width()));
        }
        return height + 2 * flow.pt(2);
    };
    const auto draw = [&](const QStringList& row, bool header, const QColor& fill) {
        const double height = heightOf(row, header);
        if (QPainter* p = flow.painter()) {
            if (fill.isValid()) {
                p->fillRect(QRectF(body.left(), flow.y(), body.width(), height), fill);
            }
            p->setPen(Qt::black);
            for (size_t c = 0; c < columns.size(); ++c) {
                const QRectF area(cells[c].left(), flow.y() + flow.pt(2), cells[c].width(),
                                  height - 2 * flow.pt(2));
                p->setFont(header ? flow.fonts().tableBold : columns[c].font);
                if (header || columns[c].figure) {
                    p->drawText(area,
                                columns[c].figure ? int(Qt::AlignRight | Qt::AlignTop)
                                                  : int(Qt::AlignLeft | Qt::AlignTop),
                                row[qsizetype(c)]);
                } else {
                    p->drawText(area, row[qsizetype(c)], wrapping());
                }
            }
        }
        flow.advance(height);
    };
    QStringList headers;
    for (const Column& column : columns) {
        headers << column.header;
    }
    const QColor headerFill(225, 230, 238);
    const double headerHeight = heightOf(headers, true);
    if (!flow.ensure(headerHeight + (rows.empty() ? 0 : heightOf(rows.front(), false)))) {
        return false;
    }
    draw(headers, true, headerFill);
    for (size_t r = 0; r < rows.size(); ++r) {
        const double height = heightOf(rows[r], false);
        if (flow.y() + height > body.bottom()) {
            if (!flow.newPage() || !flow.ensure(headerHeight + height)) {
                return false;
            }
            draw(headers, true, headerFill);
        }
        draw(rows[r], false, r % 2 == 1 ? QColor(245, 246, 248) : QColor());
    }
    return true;
}

// A text in the fixed-width font, broken anywhere, kept whole on a page.
bool monoParagraph(ReportFlow& flow, const QString& text) {
    const QFont font = monoFont();
    const double height = wrappedHeight(flow, font, text, flow.body().width());
    if (!flow.ensure(height)) {
        return false;
    }
    if (QPainter* p = flow.painter()) {
        p->setFont(font);
        p->setPen(Qt::black);
        p->drawText(QRectF(flow.body().left(), flow.y(), flow.body().width(), height), text,
                    wrapping());
    }
    flow.advance(height + flow.pt(4));
    return true;
}

// An option's value as the manifest lists it: its text, each text of one given more
// often on a line of its own, "given" for a flag.
QString optionValue(const QJsonValue& value) {
    if (value.isArray()) {
        QStringList texts;
        for (const QJsonValue& each : value.toArray()) {
            texts << each.toString();
        }
        return texts.join(u'\n');
    }
    return value.isBool() ? QStringLiteral("given") : value.toString();
}

}  // namespace

bool layOutManifest(ReportFlow& flow, const assess::Manifest& manifest) {
    const ReportFonts& fonts = flow.fonts();
    const QFont mono = monoFont();
    if (!flow.newPage() || !flow.heading(QStringLiteral("Manifest"), flow.lineHeight(fonts.text))) {
        return false;
    }
    if (!flow.paragraph(fonts.text,
                        QStringLiteral("What made this report, and the files it was made from. "
                                       "The PDF carries the same manifest in its metadata: "
                                       "levelpanel-cli verify REPORT.pdf checks that the files "
                                       "are still the same, byte for byte (their SHA-256)."),
                        flow.pt(6)) ||
        !flow.field(QStringLiteral("Program"), manifest.program + u' ' + manifest.version) ||
        (manifest.profile &&
         !flow.field(QStringLiteral("Profile"),
                     QStringLiteral("%1 (%2, SHA-256 %3)")
                         .arg(manifest.profile->name, manifest.profile->file.path,
                              manifest.profile->file.sha256))) ||
        !flow.paragraph(fonts.tableBold, QStringLiteral("Equivalent command line"), flow.pt(2)) ||
        !monoParagraph(flow, assess::commandLineText(manifest.commandLine))) {
        return false;
    }
    std::vector<QStringList> options;
    for (auto it = manifest.options.begin(); it != manifest.options.end(); ++it) {
        options.push_back({QStringLiteral("--") + it.key(), optionValue(it.value())});
    }
    if (!flow.heading(QStringLiteral("Options"), flow.lineHeight(fonts.table) * 3) ||
        !(options.empty()
              ? flow.paragraph(fonts.text, QStringLiteral("None given."))
              : wrappedTable(
                    flow, {{QStringLiteral("Option"), 1, mono}, {QStringLiteral("Value"), 3, mono}},
                    options))) {
        return false;
    }
    std::vector<QStringList> files;
    for (const assess::ManifestFile& file : manifest.files) {
        // The hash in two lines of 32 digits.
        files.push_back({file.path, QString::number(file.size),
                         !file.sha256.isEmpty() ? file.sha256.left(32) + u'\n' + file.sha256.mid(32)
                         : file.path == QStringLiteral("-")
                             ? QStringLiteral("(standard input: not hashed)")
                             : QStringLiteral("(never saved: not hashed)")});
    }
    return flow.heading(QStringLiteral("Input files"), flow.lineHeight(fonts.table) * 3) &&
           wrappedTable(flow,
                        {{QStringLiteral("Path"), 2.4, mono},
                         {QStringLiteral("Size (bytes)"), 0.8, fonts.table, true},
                         {QStringLiteral("SHA-256"), 1.6, mono}},
                        files);
}

}  // namespace lp::survey
