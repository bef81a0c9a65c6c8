// The saved-file window: its menus, toolbar, chooser place and the piecewise load.
#include "lists/saved_file_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>
#include <QToolBar>

#include "lists/print_session.h"
#include "lists/printouts.h"
#include "lists/toolbar_icons.h"
#include "platform/twips.h"
#include "records/record_file_reader.h"

namespace lp::lists {
namespace {

constexpr qsizetype kItemsBetweenEvents = 16384;

struct ButtonDesign {
    const char* key;
    const char* toolTip;
};
constexpr ButtonDesign kButtons[] = {
    {"Save", "Save As"},
    {"Plot", "Graphic Plot"},
    {"Ln", "Percentile Sound Level"},
    {"Print", "Print"},
};

}  // namespace

SavedFileWindow::SavedFileWindow(platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent)
    : RecordListWindow(RecordListLayout::hddSavedList(), anchor, parent), dialogs_(dialogs) {
    setObjectName(QStringLiteral("HddSavedList"));  // the caption reads "HDDSavedList"
    setAttribute(Qt::WA_DeleteOnClose);
    buildMenus();
    buildToolbar();
}

void SavedFileWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    const auto add = [bar](const char* name, const char* caption) {
        QAction* action = bar->addAction(QString::fromLatin1(caption));
        action->setObjectName(QString::fromLatin1(name));
        return action;
    };
    add("MnuSave", "Save");  // no action
    plotAction_ = add("MnuGraph", "Graph");
    plotAction_->setEnabled(false);
    connect(plotAction_, &QAction::triggered, this, &SavedFileWindow::plotRequested);
    printAction_ = add("MnuPrint", "Print");
    connect(printAction_, &QAction::triggered, this, &SavedFileWindow::printSeveralPerLine);
    connect(add("MnuExit", "Exit"), &QAction::triggered, this, &QWidget::close);
}

void SavedFileWindow::buildToolbar() {
    toolbar_ = createToolbar();
    for (const ButtonDesign& design : kButtons) {
        const QString key = QString::fromLatin1(design.key);
        QAction* button = toolbar_->addAction(toolbarIcon(key), key);
        button->setObjectName(key);
        button->setToolTip(QString::fromLatin1(design.toolTip));
        // The record plot and the Ln chooser are enabled when the program supplies them.
        button->setEnabled(key != QLatin1String("Plot") && key != QLatin1String("Ln"));
    }
    connect(toolbar_, &QToolBar::actionTriggered, this, &SavedFileWindow::toolbarClicked);
}

QAction* SavedFileWindow::toolbarButton(const QString& key) const {
    return toolbar_->findChild<QAction*>(key, Qt::FindDirectChildrenOnly);
}

void SavedFileWindow::setPlotAvailable(bool available) {
    toolbarButton(QStringLiteral("Plot"))->setEnabled(available);
    plotAction_->setEnabled(available);
}

void SavedFileWindow::toolbarClicked(QAction* button) {
    const QString key = button->objectName();
    if (key == QLatin1String("Ln")) {
        if (chooser_) {
            chooser_->setVisible(!chooser_->isVisible());
            if (chooser_->isVisible()) {
                chooser_->raise();
            }
        }
        return;
    }
    if (chooser_) {
        chooser_->hide();
    }
    if (key == QLatin1String("Plot")) {
        emit plotRequested();
    } else if (key == QLatin1String("Print")) {
        printOnePerLine();
    }
}

QList<QObject*> SavedFileWindow::printCommands() const {
    return {toolbarButton(QStringLiteral("Print")), printAction_};
}

void SavedFileWindow::printOnePerLine() {
    std::optional<platform::PrinterChoice> choice = dialogs_.choosePrinter(this);
    if (!choice) {
        return;
    }
    PrintSession::start(
        *this, onePerLinePrintout(records().store(), records::RecordTableModel::headerTexts()),
        std::move(*choice), dialogs_, printCommands());
}

void SavedFileWindow::printSeveralPerLine() {
    std::optional<platform::PrinterChoice> choice = dialogs_.choosePrinter(this);
    if (!choice) {
        return;
    }
    dialogs_.message(this, printerNote());
    std::optional<int> perLine;
    while (!perLine) {
        const PerLineAnswer answer = readPerLineAnswer(
            dialogs_.input(this, platform::kProgramTitle, kPerLinePrompt, QStringLiteral("1")));
        if (answer.ends) {
            return;  // the chosen printer has printed nothing
        }
        perLine = answer.perLine;
    }
    PrintSession::start(*this,
                        severalPerLinePrintout(records().store(),
                                               records::RecordTableModel::headerTexts(), *perLine),
                        std::move(*choice), dialogs_, printCommands());
}

void SavedFileWindow::installResolutionChooser(QWidget* chooser) {
    chooser_ = chooser;
    chooser->setParent(clientArea());
    if (chooser->objectName().isEmpty()) {
        chooser->setObjectName(QStringLiteral("PicResolution"));
    }
    const platform::TwipScale twips(*this);
    chooser->setGeometry(twips.x(0), twips.y(480), twips.x(1935), twips.y(1695));
    chooser->hide();
    toolbarButton(QStringLiteral("Ln"))->setEnabled(true);
}

void SavedFileWindow::closeEvent(QCloseEvent* event) {
    closed_ = true;
    event->accept();
}

std::optional<records::FileError> SavedFileWindow::load(const QString& path) {
    records::RecordFileReader reader(path);
    if (!reader.open()) {
        return reader.error();
    }
    setSourceFile(path);
    const QPointer<SavedFileWindow> alive(this);
    records::RecordStore piece;
    qint64 shown = 0;
    for (;;) {
        const auto status = reader.read(piece, kItemsBetweenEvents);
        records().append(piece);
        piece.clear();
        if (reader.progressCount() != shown) {
            shown = reader.progressCount();
            setWindowTitle(QString::number(shown) + QStringLiteral(" record(s) completed"));
        }
        if (status == records::RecordFileReader::Status::Failed) {
            records().squeeze();
            return reader.error();
        }
        if (status == records::RecordFileReader::Status::End) {
            break;
        }
        // Let the window repaint with its progress; clicks wait until the end.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        if (!alive || closed_) {
            return std::nullopt;
        }
    }
    records().squeeze();
    filePath_ = path;
    setWindowTitle(path);
    return std::nullopt;
}

}  // namespace lp::lists
