// The downloaded-data list: its controls and the set it lists.
#include "memory/downloaded_set_window.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QToolBar>

#include "lists/csv_export_command.h"
#include "lists/list_save.h"
#include "lists/print_session.h"
#include "lists/printouts.h"
#include "lists/toolbar_icons.h"
#include "memory/set_metadata.h"
#include "platform/accessible_value.h"
#include "platform/shortcuts.h"
#include "platform/twips.h"
#include "records/record_store.h"

namespace lp::memory {
namespace {

// Design positions in twips within the client area; the grids start at 1080.
// The toolbar holds Save, Export CSV, Ln and Survey; the buttons give it room and still
// end where they always did (3990).
constexpr int kToolbarWidth = 1740;
constexpr int kButtonLeft = 1740;
constexpr int kButtonTop = 45;
constexpr int kButtonWidth = 720;
constexpr int kButtonGap = 45;
constexpr int kButtonHeight = 390;
constexpr int kTitleTop = 540;
constexpr int kTitleHeight = 480;

}  // namespace

DownloadedSetWindow::DownloadedSetWindow(platform::Dialogs& dialogs, QWidget* anchor,
                                         QWidget* parent)
    : RecordListWindow(lists::RecordListLayout::dataList(), anchor, parent), dialogs_(dialogs) {
    setAttribute(Qt::WA_DeleteOnClose);
    buildControls();
}

void DownloadedSetWindow::buildControls() {
    const platform::TwipScale twips(*this);
    QToolBar* bar = createToolbar();
    bar->setGeometry(0, 0, twips.x(kToolbarWidth), twips.y(lists::kToolbarHeightTwips));
    toolbarSave_ =
        bar->addAction(lists::toolbarIcon(QStringLiteral("Save")), QStringLiteral("Save"));
    toolbarSave_->setObjectName(QStringLiteral("Save"));
    toolbarSave_->setToolTip(QStringLiteral("Save As"));
    platform::setKeys(toolbarSave_, QKeySequence::Save);
    connect(toolbarSave_, &QAction::triggered, this, [this] {
        hideChooser();
        save();
    });
    lists::addExportCsvCommand(*this, dialogs_, bar)
        ->setIcon(lists::toolbarIcon(QStringLiteral("Csv")));
    addLnTool();
    surveyTool_ =
        bar->addAction(lists::toolbarIcon(QStringLiteral("Survey")), QStringLiteral("Survey…"));
    surveyTool_->setObjectName(QStringLiteral("Survey"));
    surveyTool_->setToolTip(QStringLiteral("Periods, day, evening and night levels, events"));
    surveyTool_->setEnabled(false);
    connect(surveyTool_, &QAction::triggered, this, [this] {
        hideChooser();
        emit surveyRequested();
    });

    const auto button = [&](const char* name, const char* caption, int index) {
        auto* b = new QPushButton(QString::fromLatin1(caption), clientArea());
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
        b->setGeometry(twips.x(kButtonLeft + index * (kButtonWidth + kButtonGap)),
                       twips.y(kButtonTop), twips.x(kButtonWidth), twips.y(kButtonHeight));
        return b;
    };
    saveButton_ = button("CmdDsave", "Save", 0);
    plotButton_ = button("CmdDplot", "Plot", 1);
    printButton_ = button("CmdDprint", "Print", 2);
    connect(saveButton_, &QPushButton::clicked, this, &DownloadedSetWindow::save);
    connect(plotButton_, &QPushButton::clicked, this, [this] {
        hideChooser();
        emit plotRequested();
    });
    connect(printButton_, &QPushButton::clicked, this, &DownloadedSetWindow::print);
    platform::addButtonKeys(this, printButton_, platform::standardKeys(QKeySequence::Print));
    // No menu has Exit here: the keys alone close the window.
    setCloseCommand(platform::addCloseKeys(this));
    // The record plot comes when the program makes it available.
    plotButton_->setEnabled(false);

    titleLabel_ = new QLabel(clientArea());
    titleLabel_->setObjectName(QStringLiteral("LblTitle"));
    titleLabel_->setAccessibleName(QStringLiteral("Title"));
    titleLabel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    titleLabel_->setLineWidth(2);
    titleLabel_->setAlignment(Qt::AlignCenter);
    QFont bold = titleLabel_->font();
    bold.setBold(true);
    titleLabel_->setFont(bold);
    titleLabel_->setGeometry(0, twips.y(kTitleTop), twips.x(lists::kClientWidthTwips),
                             twips.y(kTitleHeight));
}

void DownloadedSetWindow::setPlotAvailable(bool available) {
    plotButton_->setEnabled(available);
}

void DownloadedSetWindow::setSurveyAvailable(bool available) {
    surveyTool_->setEnabled(available);
}

stats::SurveyRecords DownloadedSetWindow::survey() const {
    return stats::readHeldSurvey(std::make_shared<const records::RecordStore>(records().store()),
                                 QStringLiteral("Set %1 from the meter").arg(setNumber_),
                                 setMetadata(header_, context_));
}

void DownloadedSetWindow::showSet(const DownloadedSet& set) {
    clearRecords();
    setNumber_ = set.setNumber;
    header_ = set.header;
    // All rows go in as one insertion, so even a full memory is listed at once.
    records::RecordStore chunk;
    qsizetype textBytes = 0;
    for (const RecordTexts& r : set.records) {
        textBytes += r.no.size() + r.dateTime.size() + r.level.size();
    }
    chunk.reserve(set.records.size(), textBytes);
    for (const RecordTexts& r : set.records) {
        chunk.append(QStringView(r.no), QStringView(r.dateTime), QStringView(r.level));
    }
    records().append(chunk);

    records::RecordLineStore& lines = recordGrid();
    for (const QString& line : set.gridLines) {
        const qsizetype tab = line.indexOf(u'\t');
        lines.append(line.left(tab), line.mid(tab + 1));
    }
    platform::showValue(titleLabel_, dataListTitle(set));
}

bool DownloadedSetWindow::save() {
    return lists::saveList(*this, dialogs_, [this](const QString& path) {
        if (const std::optional<QString> warning = writeSetMetadata(path, header_, context_)) {
            dialogs_.message(this, *warning, platform::MessageIcon::Warning);
        }
    });
}

void DownloadedSetWindow::setPrintCommandsEnabled(bool enabled) {
    printButton_->setEnabled(enabled);
}

void DownloadedSetWindow::print() {
    std::optional<platform::PrinterChoice> choice = dialogs_.choosePrinter(this);
    if (!choice) {
        return;
    }
    lists::PrintSession::start(*this, lists::recordGridPrintout(recordGrid()), std::move(*choice),
                               dialogs_);
}

QString dataListTitle(const DownloadedSet& set) {
    if (set.complete) {
        return set.title;
    }
    return QStringLiteral("%1 of %2  Records In No. %3  Set")
        .arg(set.records.size())
        .arg(set.expectedRecords)
        .arg(set.setNumber);
}

}  // namespace lp::memory
