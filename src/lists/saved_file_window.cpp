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
#include "platform/shortcuts.h"
#include "records/record_file_reader.h"

namespace lp::lists {
namespace {

constexpr qsizetype kItemsBetweenEvents = 16384;

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
    surveyAction_ = add("MnuSurvey", "Survey");
    surveyAction_->setToolTip(QStringLiteral("Periods, day, evening and night levels, events"));
    surveyAction_->setEnabled(false);
    connect(surveyAction_, &QAction::triggered, this, &SavedFileWindow::surveyRequested);
    printAction_ = add("MnuPrint", "Print");
    connect(printAction_, &QAction::triggered, this, &SavedFileWindow::printSeveralPerLine);
    exitAction_ = add("MnuExit", "Exit");
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);
    platform::setKeys(printAction_, QKeySequence::Print);
    setCloseCommand(exitAction_);
}

void SavedFileWindow::buildToolbar() {
    QToolBar* bar = createToolbar();
    const auto add = [bar](const QString& key, const char* toolTip) {
        QAction* button = bar->addAction(toolbarIcon(key), key);
        button->setObjectName(key);
        button->setToolTip(QString::fromLatin1(toolTip));
        return button;
    };
    // Save hides the chooser and does nothing more, as on the meter's own software.
    QAction* save = add(QStringLiteral("Save"), "Save As");
    connect(save, &QAction::triggered, this, &SavedFileWindow::hideChooser);
    plotTool_ = add(QStringLiteral("Plot"), "Graphic Plot");
    connect(plotTool_, &QAction::triggered, this, [this] {
        hideChooser();
        emit plotRequested();
    });
    addLnTool();
    printTool_ = add(QStringLiteral("Print"), "Print");
    connect(printTool_, &QAction::triggered, this, [this] {
        hideChooser();
        printOnePerLine();
    });
    // The record plot is enabled when the program supplies it (and Ln its chooser).
    plotTool_->setEnabled(false);
}

void SavedFileWindow::setPlotAvailable(bool available) {
    plotTool_->setEnabled(available);
    plotAction_->setEnabled(available);
}

void SavedFileWindow::setSurveyAvailable(bool available) {
    surveyAction_->setEnabled(available);
}

void SavedFileWindow::setPrintCommandsEnabled(bool enabled) {
    printTool_->setEnabled(enabled);
    printAction_->setEnabled(enabled);
}

void SavedFileWindow::printOnePerLine() {
    std::optional<platform::PrinterChoice> choice = dialogs_.choosePrinter(this);
    if (!choice) {
        return;
    }
    PrintSession::start(
        *this, onePerLinePrintout(records().store(), records::RecordTableModel::headerTexts()),
        std::move(*choice), dialogs_);
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
                        std::move(*choice), dialogs_);
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
            showProgress(shown, QStringLiteral(" record(s) completed"));
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
    setCaption(path);
    return std::nullopt;
}

}  // namespace lp::lists
