#include "memory/memory_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "memory/memory_text.h"
#include "memory/set_grid.h"

namespace lp::memory {

Memory::Memory(MemoryCommands& commands, app::ProgramState& state, platform::Dialogs& dialogs,
               const MemoryStatusInfo& status, QWidget* parent)
    : QWidget(parent, Qt::Window), commands_(commands), state_(state), dialogs_(dialogs) {
    setObjectName(kCaption);
    setWindowTitle(kCaption);
    setAccessibleName(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    f_ = buildMemoryFace(this);

    // The set grid shows once the set table is in.
    f_.Grid->setVisible(false);
    f_.CmdCancel->setVisible(false);
    connect(f_.CmdIdCode, &QPushButton::clicked, this, &Memory::CmdIdCode_Click);
    connect(f_.CmdSampling, &QPushButton::clicked, this, &Memory::CmdSampling_Click);
    connect(f_.CmdTime, &QPushButton::clicked, this, &Memory::CmdTime_Click);
    connect(f_.CmdTimeOfRec, &QPushButton::clicked, this, &Memory::CmdTimeOfRec_Click);
    connect(f_.CmdShowData, &QPushButton::clicked, this, &Memory::CmdShowData_Click);
    connect(f_.CmdCancel, &QPushButton::clicked, this, &Memory::CmdCancel_Click);
    connect(f_.Grid, &SetGrid::rowClicked, this, &Memory::Grid_Click);
    connectCommands();

    showStatus(status);
    applyEnabled();
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen ? screen->availableGeometry().topLeft() : QPoint(0, 0));
}

Memory::~Memory() = default;

void Memory::showStatus(const MemoryStatusInfo& status) {
    f_.LblMemorySize->setText(status.memorySize);
    f_.LblRemaining->setText(status.remaining);
    f_.TxtIdCode->setText(status.idCode);
    f_.TxtSampling->setText(status.sampling);
    f_.LblNoOfSet->setText(status.noOfSet);
}

void Memory::connectCommands() {
    connect(&commands_, &MemoryCommands::progress, this, &Memory::progress);
    connect(&commands_, &MemoryCommands::idCodeSent, this,
            [this] { settingSent(MemoryCommand::IdCode); });
    connect(&commands_, &MemoryCommands::samplingIntervalSent, this,
            [this] { settingSent(MemoryCommand::SamplingInterval); });
    connect(&commands_, &MemoryCommands::meterClockRead, this, &Memory::meterClockRead);
    connect(&commands_, &MemoryCommands::setTableRead, this, &Memory::setTableRead);
    connect(&commands_, &MemoryCommands::downloadEnded, this, &Memory::downloadEnded);
    connect(&commands_, &MemoryCommands::failed, this,
            [this](MemoryCommand command, const QString& message) {
                stopped(command, message, false);
            });
    connect(
        &commands_, &MemoryCommands::cancelled, this,
        [this](MemoryCommand command, const QString& message) { stopped(command, message, true); });
}

// ---- Buttons ----

void Memory::CmdIdCode_Click() {
    sendSetting(f_.TxtIdCode, &MemoryCommands::sendIdCode, MemoryCommand::IdCode);
}

void Memory::CmdSampling_Click() {
    sendSetting(f_.TxtSampling, &MemoryCommands::sendSamplingInterval,
                MemoryCommand::SamplingInterval);
}

void Memory::sendSetting(QLineEdit* box, bool (MemoryCommands::*send)(QStringView),
                         MemoryCommand command) {
    if (running_) {
        return;
    }
    f_.LblMessage->setText(kWait);
    // Marked as running before it is queued: a closed port fails it at once.
    begin(command);
    if (!(commands_.*send)(box->text())) {
        finish();
        dialogs_.message(this, kInvalidNumbers, platform::MessageIcon::Critical);
        f_.LblMessage->clear();
        box->setFocus();
        box->selectAll();
    }
}

void Memory::CmdTime_Click() {
    if (running_) {
        return;
    }
    begin(MemoryCommand::MeterClock);
    commands_.readMeterClock();
}

void Memory::CmdTimeOfRec_Click() {
    if (running_ || !enabled_.timeOfRec) {
        return;
    }
    // Each set is listed once: the button stays off after the table is in.
    enabled_.timeOfRec = false;
    begin(MemoryCommand::SetTable);
    commands_.readSetTable();
}

void Memory::CmdShowData_Click() {
    if (running_ || !enabled_.showData) {
        return;
    }
    emit downloadStarting();
    enabled_.time = enabled_.idCode = enabled_.sampling = false;
    listedRecords_ = expectedRecords_ = 0;
    begin(MemoryCommand::Download);
    commands_.download();
}

void Memory::CmdCancel_Click() {
    if (running_ == MemoryCommand::Download || running_ == MemoryCommand::SetTable) {
        commands_.cancel();
    }
}

void Memory::Grid_Click(int row) {
    // The heading row, or a row without a set entry, chooses nothing.
    if (running_ || !selectSet(state_, row)) {
        return;
    }
    f_.LblNoOfRec->setText(QString::number(state_.SetRecordCount));
    enabled_.showData = true;
    applyEnabled();
}

// ---- Running commands ----

void Memory::begin(MemoryCommand command) {
    running_ = command;
    applyEnabled();
}

void Memory::finish() {
    running_.reset();
    applyEnabled();
}

void Memory::applyEnabled() {
    const bool idle = !running_;
    f_.CmdIdCode->setEnabled(idle && enabled_.idCode);
    f_.TxtIdCode->setEnabled(idle && enabled_.idCode);
    f_.CmdSampling->setEnabled(idle && enabled_.sampling);
    f_.TxtSampling->setEnabled(idle && enabled_.sampling);
    f_.CmdTime->setEnabled(idle && enabled_.time);
    f_.CmdTimeOfRec->setEnabled(idle && enabled_.timeOfRec);
    f_.CmdShowData->setEnabled(idle && enabled_.showData);
    f_.Grid->setEnabled(idle && enabled_.grid);
    const bool cancellable =
        running_ == MemoryCommand::Download || running_ == MemoryCommand::SetTable;
    f_.CmdCancel->setVisible(cancellable);
    f_.CmdCancel->setEnabled(cancellable);
}

void Memory::progress(const QString& text) {
    if (mine(MemoryCommand::SetTable) || mine(MemoryCommand::Download)) {
        f_.LblMessage->setText(text);
    }
}

void Memory::settingSent(MemoryCommand command) {
    if (mine(command)) {
        f_.LblMessage->clear();
        finish();
    }
}

void Memory::meterClockRead(const QString& text) {
    if (mine(MemoryCommand::MeterClock)) {
        f_.LblTimeOfMeter->setText(text);
        finish();
    }
}

void Memory::setTableRead(const QList<SetRow>& rows) {
    if (!mine(MemoryCommand::SetTable)) {
        return;
    }
    f_.Grid->setRows(rows);
    f_.Grid->setVisible(true);
    enabled_.grid = true;
    finish();
}

void Memory::downloadEnded(const DownloadedSet& set) {
    if (!mine(MemoryCommand::Download)) {
        return;
    }
    listedRecords_ = set.records.size();
    expectedRecords_ = set.expectedRecords;
    // A whole set ends the download; a partial one is followed by the failure.
    if (set.complete) {
        finish();
    }
}

void Memory::stopped(MemoryCommand command, const QString& message, bool cancelled) {
    if (!mine(command)) {
        return;
    }
    QString text = message;
    switch (command) {
        case MemoryCommand::IdCode:
        case MemoryCommand::SamplingInterval:
            f_.LblMessage->clear();
            break;
        case MemoryCommand::SetTable: {
            // The entries that came whole are listed; the table can be asked for again.
            const QList<SetRow> rows = setTableRows(state_.SetTable, state_.SetCount);
            f_.Grid->setRows(rows);
            f_.Grid->setVisible(!rows.isEmpty());
            enabled_.grid = !rows.isEmpty();
            enabled_.timeOfRec = true;
            break;
        }
        case MemoryCommand::Download:
            enabled_.time = enabled_.idCode = enabled_.sampling = true;
            text += u' ' + partialDownloadNote(listedRecords_, expectedRecords_);
            break;
        case MemoryCommand::Status:
        case MemoryCommand::MeterClock:
            break;
    }
    finish();
    dialogs_.message(
        this, text,
        cancelled ? platform::MessageIcon::Information : platform::MessageIcon::Warning);
}

void Memory::closeEvent(QCloseEvent* event) {
    // A set table or a download would go on unseen: it stops with the window.
    if (running_ == MemoryCommand::Download || running_ == MemoryCommand::SetTable) {
        commands_.cancel();
    }
    event->accept();
}

QString partialDownloadNote(qint64 listed, qint64 expected) {
    if (listed == 0) {
        return QStringLiteral("No record came whole, so none is listed.");
    }
    return QStringLiteral("The list shows the %1 of %2 records that came whole.")
        .arg(groupedCount(listed), groupedCount(expected));
}

}  // namespace lp::memory
