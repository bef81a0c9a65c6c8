// The saved-file window: its menus, toolbar, chooser place and the piecewise load.
#include "lists/saved_file_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMenuBar>
#include <QToolBar>
#include <QWindow>

#include "lists/print_session.h"
#include "lists/printouts.h"
#include "lists/toolbar_icons.h"
#include "platform/shortcuts.h"
#include "records/record_file_reader.h"
#include "records/record_source.h"

namespace lp::lists {
namespace {

// A load reads for about this long between repaints: long enough that the grids are
// laid out again a few times a second only, short enough that the window stays live.
constexpr qint64 kSliceMs = 25;
constexpr qsizetype kItemsPerRead = 4096;
// Shorter than any record line ("1 TAB yyyy/MM/dd hh:mm:ss TAB 0.0 TAB CR LF").
constexpr qint64 kShortestLineBytes = 24;

// While a file loads (under the hourglass) the user's clicks and keys in any window are
// not taken, so that no command runs on a half-listed file; Esc pressed in the loading
// window is noted.
class LoadInput final : public QObject {
public:
    explicit LoadInput(QWidget& window) : window_(window) { qApp->installEventFilter(this); }
    ~LoadInput() override { qApp->removeEventFilter(this); }
    LoadInput(const LoadInput&) = delete;
    LoadInput& operator=(const LoadInput&) = delete;

    [[nodiscard]] bool escapePressed() const { return escape_; }

protected:
    bool eventFilter(QObject* target, QEvent* event) override {
        switch (event->type()) {
            case QEvent::KeyPress:
                escape_ |=
                    static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && inWindow(target);
                return true;
            case QEvent::KeyRelease:
            case QEvent::ShortcutOverride:
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonRelease:
            case QEvent::MouseButtonDblClick:
            case QEvent::Wheel:
            case QEvent::ContextMenu:
            case QEvent::TouchBegin:
            case QEvent::TouchUpdate:
            case QEvent::TouchEnd:
                return true;
            default:
                return false;
        }
    }

private:
    bool inWindow(QObject* target) const {
        if (auto* widget = qobject_cast<QWidget*>(target)) {
            return widget->window() == &window_;
        }
        return target == window_.windowHandle();
    }

    QWidget& window_;
    bool escape_ = false;
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
    // The records point into a view of the file where they can; a file that cannot be
    // viewed has its records' text copied.
    const std::shared_ptr<const records::RecordSource> source = records::RecordSource::map(path);
    if (source && records().recordCount() == 0) {
        records().useSource(source);
        // A place for each line the file may hold: room never written to costs no memory.
        records().reserve(source->size() / kShortestLineBytes + 1, 0);
    }
    records::RecordStore piece;
    piece.useSource(source);
    // Records copied as text leave room for growth to give back; a list over the file
    // keeps its places, whose unused room was never written.
    const auto giveBackRoom = [this] {
        if (!records().store().source()) {
            records().squeeze();
        }
    };
    const LoadInput input(*this);
    // A turn of the events between pieces of work: false when the window was closed
    // meanwhile (Esc in it closes it as it always does).
    const auto eventsTurn = [this, &alive, &input] {
        QCoreApplication::processEvents();
        if (alive && input.escapePressed()) {
            close();
        }
        return alive && !closed_;
    };
    qint64 shown = 0;
    for (;;) {
        // One slice: read for a while, then show its rows at once and the progress.
        QElapsedTimer slice;
        slice.start();
        auto status = records::RecordFileReader::Status::More;
        while (status == records::RecordFileReader::Status::More && slice.elapsed() < kSliceMs) {
            status = reader.read(piece, kItemsPerRead);
        }
        // The reading and the grids' work on the new rows each get a turn of the events
        // of their own: with millions of rows listed, laying out the grids takes a while.
        if (!eventsTurn()) {
            return std::nullopt;
        }
        records().append(piece);
        piece.removeAll();
        if (reader.progressCount() != shown) {
            shown = reader.progressCount();
            showProgress(shown, QStringLiteral(" record(s) completed"));
        }
        if (status == records::RecordFileReader::Status::Failed) {
            giveBackRoom();
            return reader.error();
        }
        if (status == records::RecordFileReader::Status::End) {
            break;
        }
        // The window repaints with its progress.
        if (!eventsTurn()) {
            return std::nullopt;
        }
    }
    giveBackRoom();
    filePath_ = path;
    setCaption(path);
    return std::nullopt;
}

}  // namespace lp::lists
