// Pages, paragraphs and tables of a report.
#include "survey/report_flow.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <numeric>

namespace lp::survey {
namespace {

QFont sized(const QFont& base, double points, bool bold = false) {
    QFont font = base;
    font.setPointSizeF(points);
    font.setBold(bold);
    // No ligatures: "fi" stays two letters for a search in or a copy out of the PDF.
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

}  // namespace

ReportFonts reportFonts() {
    const QFont base = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    return {sized(base, 16, true), sized(base, 11.5, true), sized(base, 9),
            sized(base, 8),        sized(base, 8, true),    sized(base, 7.5)};
}

ReportFlow::ReportFlow(QPdfWriter& writer, QPainter* painter, int pageCount, QString runningHead,
                       std::function<bool()> pageEnded)
    : writer_(writer),
      painter_(painter),
      pageCount_(pageCount),
      runningHead_(std::move(runningHead)),
      pageEnded_(std::move(pageEnded)),
      fonts_(reportFonts()),
      unitsPerPoint_(writer.resolution() / 72.0) {
    paper_ = writer.pageLayout().paintRectPixels(writer.resolution()).toRectF();
    paper_.moveTopLeft({0, 0});
    const double head = lineHeight(fonts_.small) + pt(10);
    const double foot = lineHeight(fonts_.small) + pt(8);
    body_ = QRectF(0, head, paper_.width(), paper_.height() - head - foot);
    y_ = body_.top();
}

double ReportFlow::lineHeight(const QFont& font) const {
    return QFontMetricsF(font, &writer_).height();
}

double ReportFlow::textHeight(const QFont& font, const QString& text) const {
    const QFontMetricsF metrics(font, &writer_);
    return metrics
        .boundingRect(QRectF(0, 0, body_.width(), 1e9), Qt::TextWordWrap | Qt::AlignLeft, text)
        .height();
}

void ReportFlow::decoratePage() {
    if (!painter_) {
        return;
    }
    QPainter& p = *painter_;
    p.save();
    p.setFont(fonts_.small);
    p.setPen(QColor(90, 90, 90));
    const double line = lineHeight(fonts_.small);
    p.drawText(QRectF(0, 0, paper_.width(), line), Qt::AlignLeft | Qt::AlignVCenter, runningHead_);
    p.setPen(QPen(QColor(150, 150, 150), pt(0.5)));
    p.drawLine(QPointF(0, line + pt(3)), QPointF(paper_.width(), line + pt(3)));
    p.setPen(QColor(90, 90, 90));
    p.drawText(QRectF(0, paper_.height() - line, paper_.width(), line), Qt::AlignCenter,
               QStringLiteral("Page %1 of %2").arg(page_).arg(pageCount_));
    p.restore();
}

bool ReportFlow::newPage() {
    if (stopped_) {
        return false;
    }
    decoratePage();
    if (painter_) {
        if (!pageEnded_() || !writer_.newPage()) {
            stopped_ = true;
            return false;
        }
    }
    ++page_;
    y_ = body_.top();
    pageUsed_ = false;
    return true;
}

bool ReportFlow::ensure(double height) {
    if (stopped_) {
        return false;
    }
    if (pageUsed_ && y_ + height > body_.bottom()) {
        return newPage();
    }
    pageUsed_ = true;
    return true;
}

bool ReportFlow::finish() {
    if (stopped_) {
        return false;
    }
    decoratePage();
    if (painter_ && !pageEnded_()) {
        stopped_ = true;
        return false;
    }
    return true;
}

bool ReportFlow::paragraph(const QFont& font, const QString& text, double spaceAfter) {
    const double height = textHeight(font, text);
    if (!ensure(height)) {
        return false;
    }
    if (painter_) {
        painter_->setFont(font);
        painter_->setPen(Qt::black);
        painter_->drawText(QRectF(body_.left(), y_, body_.width(), height),
                           Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    }
    y_ += height + spaceAfter;
    return true;
}

bool ReportFlow::field(const QString& name, const QString& value) {
    const double nameWidth = pt(105);
    const QRectF valueArea(body_.left() + nameWidth, 0, body_.width() - nameWidth, 1e9);
    const QFontMetricsF metrics(fonts_.text, &writer_);
    const double height =
        metrics.boundingRect(valueArea, Qt::TextWordWrap | Qt::AlignLeft, value).height();
    if (!ensure(height)) {
        return false;
    }
    if (painter_) {
        painter_->setPen(Qt::black);
        painter_->setFont(fonts_.tableBold);
        painter_->drawText(QRectF(body_.left(), y_, nameWidth, lineHeight(fonts_.text)),
                           Qt::AlignLeft | Qt::AlignVCenter, name);
        painter_->setFont(fonts_.text);
        painter_->drawText(QRectF(valueArea.left(), y_, valueArea.width(), height),
                           Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, value);
    }
    y_ += height + pt(2);
    return true;
}

bool ReportFlow::heading(const QString& text, double keepWith) {
    const double height = lineHeight(fonts_.heading);
    if (!ensure(pt(10) + height + keepWith)) {
        return false;
    }
    if (y_ > body_.top()) {
        y_ += pt(10);
    }
    if (painter_) {
        painter_->setFont(fonts_.heading);
        painter_->setPen(Qt::black);
        painter_->drawText(QRectF(body_.left(), y_, body_.width(), height),
                           Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    y_ += height + pt(4);
    return true;
}

double tableRowHeight(const ReportFlow& flow) {
    return flow.lineHeight(flow.fonts().table) * 1.3;
}

bool drawTable(ReportFlow& flow, const ReportTable& table) {
    const ReportFonts& fonts = flow.fonts();
    const double rowHeight = tableRowHeight(flow);
    const double total = std::accumulate(table.weights.begin(), table.weights.end(), 0.0);
    const QRectF& body = flow.body();
    std::vector<double> lefts;
    std::vector<double> widths;
    double x = body.left();
    for (const double weight : table.weights) {
        lefts.push_back(x);
        widths.push_back(body.width() * weight / total);
        x += widths.back();
    }
    const double pad = flow.pt(3);
    const auto drawRow = [&](const QStringList& cells, const QFont& font, const QColor& fill) {
        QPainter* p = flow.painter();
        if (!p) {
            return;
        }
        if (fill.isValid()) {
            p->fillRect(QRectF(body.left(), flow.y(), body.width(), rowHeight), fill);
        }
        p->setFont(font);
        p->setPen(Qt::black);
        for (qsizetype c = 0; c < cells.size() && c < qsizetype(lefts.size()); ++c) {
            const Qt::Alignment align =
                (c >= table.firstFigureColumn ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
            p->drawText(
                QRectF(lefts[size_t(c)] + pad, flow.y(), widths[size_t(c)] - 2 * pad, rowHeight),
                align, cells[c]);
        }
    };
    const auto drawHeaders = [&] {
        drawRow(table.headers, fonts.tableBold, QColor(225, 230, 238));
        flow.advance(rowHeight);
    };
    const qsizetype kept = std::max<qsizetype>(1, std::min(table.keptRows, table.rows));
    if (!flow.ensure(static_cast<double>(kept + 1) * rowHeight)) {
        return false;
    }
    drawHeaders();
    for (qsizetype row = 0; row < table.rows; ++row) {
        if (flow.y() + rowHeight > body.bottom()) {
            if (!flow.newPage() || !flow.ensure(2 * rowHeight)) {
                return false;
            }
            drawHeaders();
        }
        if (flow.painting()) {
            const bool bold = table.bold && table.bold(row);
            drawRow(table.cells(row), bold ? fonts.tableBold : fonts.table,
                    row % 2 == 1 ? QColor(245, 246, 248) : QColor());
        }
        flow.advance(rowHeight);
    }
    return true;
}

}  // namespace lp::survey
