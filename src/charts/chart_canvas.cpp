#include "charts/chart_canvas.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QToolBar>
#include <QVBoxLayout>

#include "platform/dialogs.h"
#include "platform/shortcuts.h"
#include "platform/twips_canvas.h"
#include "platform/window_place.h"

namespace lp::charts {

ChartToolbar buildChartToolbar(QWidget* window) {
    ChartToolbar t;
    t.bar = new QToolBar(window);
    t.bar->setObjectName(QStringLiteral("Toolbar1"));
    t.bar->setAccessibleName(QStringLiteral("Toolbar"));
    t.bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto add = [&t](const char* key, const char* tip) {
        QAction* a = t.bar->addAction(QString::fromLatin1(key));
        a->setObjectName(QString::fromLatin1(key));
        a->setToolTip(QString::fromLatin1(tip));
        return a;
    };
    t.limit = add("Limit", "Limit");
    t.print = add("Print", "Print");
    t.saveImage = add("Save image", "Save the chart as a PNG picture");
    platform::setKeys(t.print, QKeySequence::Print);
    platform::setKeys(t.saveImage, QKeySequence::Save);
    return t;
}

ChartWindowParts buildChartWindow(QWidget* window, const QString& canvasName,
                                  const QString& canvasAccessibleName, const QColor& back) {
    ChartWindowParts parts;
    parts.canvas = new platform::TwipsCanvas(window);
    parts.canvas->setObjectName(canvasName);
    parts.canvas->setAccessibleName(canvasAccessibleName);
    parts.canvas->setBackColor(back);
    parts.canvas->setForeColor(Qt::black);
    parts.toolbar = buildChartToolbar(window);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(parts.toolbar.bar);
    layout->addWidget(parts.canvas, 1);
    platform::addCloseKeys(window);
    return parts;
}

PlotFrame useChartUnits(platform::TwipsCanvas& canvas) {
    const double w = canvas.widthTwips() / kTwipsPerUnit;
    const double h = canvas.heightTwips() / kTwipsPerUnit;
    canvas.scale(0, 0, w, h);
    return plotFrame(w, h);
}

void drawAxes(platform::TwipsCanvas& canvas, const PlotFrame& f, const QStringList& labels) {
    const QColor black(Qt::black);
    canvas.setDrawStyle(Qt::SolidLine);
    canvas.setDrawWidth(2);
    canvas.line(f.left - 2, f.base + 5, f.left - 2, f.base - f.height - 5, black);
    canvas.line(f.left - 2, f.base + 6, f.left + f.width + 2, f.base + 6, black);
    canvas.setDrawWidth(1);
    for (int i = 0; i <= 16; ++i) {
        const double y = f.base - f.height * i / 16.0;
        canvas.line(f.left - 2, y, f.left - (i % 2 == 0 ? 10 : 7), y);
    }
    QString previous = QStringLiteral("100");
    for (int i = 0; i < labels.size(); ++i) {
        const double x = f.left - 40 - canvas.textWidth(previous) / 4;
        const double y = f.base - f.height * i / 8.0 - canvas.textHeight(previous) / 2;
        canvas.text(x, y, labels[i]);
        previous = labels[i];
    }
}

void drawGrid(platform::TwipsCanvas& canvas, const PlotFrame& f) {
    const double x1 = f.left - 2;
    const double x2 = f.left + f.width + 2;
    canvas.setDrawStyle(Qt::SolidLine);
    canvas.line(x1, f.base - f.height / 2, x2, f.base - f.height / 2, kGridColor);
    canvas.setDrawStyle(Qt::DotLine);
    for (int k = 0; k <= 8; ++k) {
        if (k != 4) {
            const double y = f.base - f.height * k / 8.0;
            canvas.line(x1, y, x2, y, kGridColor);
        }
    }
    canvas.setDrawStyle(Qt::SolidLine);
}

bool saveChartImage(QWidget* parent, const platform::TwipsCanvas& canvas,
                    platform::Dialogs& dialogs) {
    const std::optional<QString> chosen = dialogs.saveFileName(parent, kPngFilter);
    if (!chosen || chosen->trimmed().isEmpty()) {
        return false;
    }
    QString path = *chosen;
    if (QFileInfo(path).suffix().isEmpty()) {
        path += QStringLiteral(".png");
    }
    if (!canvas.image().save(path, "PNG")) {
        dialogs.message(parent, QStringLiteral("The picture could not be written to ") + path,
                        platform::MessageIcon::Critical);
        return false;
    }
    platform::showCaptionNotice(parent->window(), QStringLiteral("Saved to ") + path);
    return true;
}

namespace {

class KeyFilter : public QObject {
public:
    KeyFilter(QLineEdit* edit, bool signedDecimal, std::function<void()> onEnter)
        : QObject(edit), signedDecimal_(signedDecimal), onEnter_(std::move(onEnter)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            if (onEnter_) {
                onEnter_();
            }
            return true;
        }
        const QString text = key->text();
        if (text.isEmpty() || key->key() == Qt::Key_Backspace) {
            return false;
        }
        const QChar c = text.front();
        if (c.unicode() < 0x20 || c.unicode() == 0x7f) {
            return false;  // Delete, Tab and the like type nothing
        }
        const bool allowed =
            (c >= u'0' && c <= u'9') || (signedDecimal_ && (c == u'-' || c == u'.'));
        return !allowed;
    }

private:
    bool signedDecimal_;
    std::function<void()> onEnter_;
};

}  // namespace

void filterKeys(QLineEdit* edit, bool signedDecimal, std::function<void()> onEnter) {
    edit->installEventFilter(new KeyFilter(edit, signedDecimal, std::move(onEnter)));
}

}  // namespace lp::charts
