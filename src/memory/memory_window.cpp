// The memory window: renders its MemoryBrowser and forwards the clicks.
#include "memory/memory_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "memory/set_grid.h"
#include "platform/accessible_value.h"
#include "platform/shortcuts.h"
#include "platform/window_place.h"

namespace lp::memory {

MemoryWindow::MemoryWindow(MemoryCommands& commands, platform::Dialogs& dialogs,
                           const MemoryStatusInfo& status, QWidget* parent)
    : QWidget(parent, Qt::Window), browser_(commands, status), dialogs_(dialogs) {
    setObjectName(kCaption);
    setWindowTitle(kCaption);
    setAccessibleName(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    f_ = buildMemoryFace(this);

    // The boxes start with the status and then hold what the user types.
    for (QLineEdit* box : {f_.idCodeBox, f_.samplingBox}) {
        connect(box, &QLineEdit::textChanged, box,
                [box](const QString& text) { platform::setAccessibleValue(box, text); });
    }
    f_.idCodeBox->setText(status.idCode);
    f_.samplingBox->setText(status.sampling);

    connect(f_.idCodeButton, &QPushButton::clicked, this, &MemoryWindow::onIdCodeClicked);
    connect(f_.samplingButton, &QPushButton::clicked, this, &MemoryWindow::onSamplingClicked);
    connect(f_.meterClockButton, &QPushButton::clicked, this, &MemoryWindow::onTimeClicked);
    connect(f_.setTableButton, &QPushButton::clicked, this, &MemoryWindow::onTimeOfRecClicked);
    connect(f_.showDataButton, &QPushButton::clicked, this, &MemoryWindow::onShowDataClicked);
    connect(f_.cancelButton, &QPushButton::clicked, this, &MemoryWindow::onCancelClicked);
    platform::addCloseKeys(this, platform::standardKeys(QKeySequence::Close));
    platform::addButtonKeys(this, f_.cancelButton, {QKeySequence(Qt::Key_Escape)});
    connect(f_.setGrid, &SetGrid::rowClicked, this, &MemoryWindow::onSetRowClicked);
    connect(&browser_, &MemoryBrowser::changed, this, &MemoryWindow::render);
    connect(&browser_, &MemoryBrowser::commandStopped, this, &MemoryWindow::tellStopped);
    connect(&browser_, &MemoryBrowser::invalidNumber, this, &MemoryWindow::refused);

    render();
    const QScreen* screen = QGuiApplication::primaryScreen();
    platform::placeWindow(this, screen ? screen->availableGeometry().topLeft() : QPoint(0, 0));
}

MemoryWindow::~MemoryWindow() = default;

void MemoryWindow::render() {
    const MemoryStatusInfo& status = browser_.status();
    platform::showValue(f_.memorySizeLabel, status.memorySize);
    platform::showValue(f_.remainingLabel, status.remaining);
    platform::showValue(f_.setCountLabel, status.noOfSet);
    const auto& chosen = browser_.chosenSet();
    platform::showValue(f_.recordCountLabel, chosen ? QString::number(chosen->records) : QString());
    platform::showValue(f_.meterClockLabel, browser_.meterClock());
    platform::showValue(f_.messageLabel, browser_.message());

    using Action = MemoryBrowser::Action;
    const bool idCode = browser_.available(Action::IdCode);
    const bool sampling = browser_.available(Action::SamplingInterval);
    f_.idCodeButton->setEnabled(idCode);
    f_.idCodeBox->setEnabled(idCode);
    f_.samplingButton->setEnabled(sampling);
    f_.samplingBox->setEnabled(sampling);
    f_.meterClockButton->setEnabled(browser_.available(Action::MeterClock));
    f_.setTableButton->setEnabled(browser_.available(Action::SetTable));
    f_.showDataButton->setEnabled(browser_.available(Action::Download));
    const bool cancellable = browser_.available(Action::Cancel);
    f_.cancelButton->setVisible(cancellable);
    f_.cancelButton->setEnabled(cancellable);

    if (browser_.setRows() != shownRows_) {
        shownRows_ = browser_.setRows();
        f_.setGrid->setRows(shownRows_);
    }
    // An empty table shows no grid: headings over nothing read as a failed request.
    f_.setGrid->setVisible(browser_.setsListed() && !shownRows_.isEmpty());
    f_.setGrid->setEnabled(browser_.setsListed() && !browser_.running());
}

// ---- Buttons ----

void MemoryWindow::onIdCodeClicked() {
    browser_.sendIdCode(f_.idCodeBox->text());
}

void MemoryWindow::onSamplingClicked() {
    browser_.sendSamplingInterval(f_.samplingBox->text());
}

void MemoryWindow::refused(MemoryCommand command) {
    QLineEdit* box = command == MemoryCommand::IdCode ? f_.idCodeBox : f_.samplingBox;
    dialogs_.message(this, kInvalidNumbers, platform::MessageIcon::Critical);
    box->setFocus();
    box->selectAll();
}

void MemoryWindow::onTimeClicked() {
    browser_.readMeterClock();
}

void MemoryWindow::onTimeOfRecClicked() {
    browser_.readSetTable();
}

void MemoryWindow::onShowDataClicked() {
    browser_.download();
}

void MemoryWindow::onCancelClicked() {
    browser_.cancel();
}

void MemoryWindow::onSetRowClicked(int row) {
    (void)browser_.chooseSet(row);
}

void MemoryWindow::tellStopped(const QString& text, bool cancelled) {
    dialogs_.message(
        this, text,
        cancelled ? platform::MessageIcon::Information : platform::MessageIcon::Warning);
}

void MemoryWindow::closeEvent(QCloseEvent* event) {
    // A set table or a download would go on unseen: it stops with the window.
    browser_.cancel();
    event->accept();
}

}  // namespace lp::memory
