// The memory window's steps and the rules for which command may start.
#include "memory/memory_browser.h"

#include "memory/memory_text.h"

namespace lp::memory {

MemoryBrowser::MemoryBrowser(MemoryCommands& commands, MemoryStatusInfo status, QObject* parent)
    : QObject(parent), commands_(commands), status_(std::move(status)) {
    connect(&commands_, &MemoryCommands::progress, this, [this](const QString& text) {
        if (mine(MemoryCommand::SetTable) || mine(MemoryCommand::Download)) {
            message_ = text;
            emit changed();
        }
    });
    auto settingSent = [this](MemoryCommand command) {
        if (mine(command)) {
            message_.clear();
            end();
        }
    };
    connect(&commands_, &MemoryCommands::idCodeSent, this,
            [settingSent] { settingSent(MemoryCommand::IdCode); });
    connect(&commands_, &MemoryCommands::samplingIntervalSent, this,
            [settingSent] { settingSent(MemoryCommand::SamplingInterval); });
    connect(&commands_, &MemoryCommands::meterClockRead, this, [this](const QString& text) {
        if (mine(MemoryCommand::MeterClock)) {
            meterClock_ = text;
            end();
        }
    });
    connect(&commands_, &MemoryCommands::setTableRead, this, [this](const QList<SetRow>& rows) {
        if (mine(MemoryCommand::SetTable)) {
            setRows_ = rows;
            setsListed_ = true;
            end();
        }
    });
    connect(&commands_, &MemoryCommands::downloadEnded, this, [this] {
        if (mine(MemoryCommand::Download)) {
            end();
        }
    });
    connect(&commands_, &MemoryCommands::failed, this, &MemoryBrowser::stopped);
}

bool MemoryBrowser::available(Action action) const {
    if (action == Action::Cancel) {
        return mine(MemoryCommand::SetTable) || mine(MemoryCommand::Download);
    }
    if (running_) {
        return false;
    }
    switch (action) {
        case Action::IdCode:
            return enabled_.idCode;
        case Action::SamplingInterval:
            return enabled_.sampling;
        case Action::MeterClock:
            return enabled_.time;
        case Action::SetTable:
            return enabled_.setTable;
        case Action::Download:
            return enabled_.download;
        case Action::Cancel:
            break;
    }
    return false;
}

bool MemoryBrowser::sendIdCode(QStringView typed) {
    return sendSetting(typed, &MemoryCommands::sendIdCode, MemoryCommand::IdCode);
}

bool MemoryBrowser::sendSamplingInterval(QStringView typed) {
    return sendSetting(typed, &MemoryCommands::sendSamplingInterval,
                       MemoryCommand::SamplingInterval);
}

bool MemoryBrowser::sendSetting(QStringView typed, bool (MemoryCommands::*send)(QStringView),
                                MemoryCommand command) {
    if (running_) {
        return true;
    }
    message_ = kWait;
    // Marked as running before it is queued: a closed port fails it at once.
    begin(command);
    if ((commands_.*send)(typed)) {
        return true;
    }
    end();
    emit invalidNumber(command);
    message_.clear();
    emit changed();
    return false;
}

void MemoryBrowser::readMeterClock() {
    if (!running_) {
        begin(MemoryCommand::MeterClock);
        commands_.readMeterClock();
    }
}

void MemoryBrowser::readSetTable() {
    if (!available(Action::SetTable)) {
        return;
    }
    // Each set is listed once: no second request after the table is in.
    enabled_.setTable = false;
    begin(MemoryCommand::SetTable);
    commands_.readSetTable(status_.setCount);
}

bool MemoryBrowser::chooseSet(int row) {
    // The heading row, or a row without a set entry, chooses nothing.
    if (running_ || row < 1 || row > setRows_.size()) {
        return false;
    }
    chosenSet_ = setRows_[row - 1];
    enabled_.download = true;
    emit changed();
    return true;
}

void MemoryBrowser::download() {
    if (!available(Action::Download)) {
        return;
    }
    emit downloadStarting();
    enabled_.time = enabled_.idCode = enabled_.sampling = false;
    begin(MemoryCommand::Download);
    commands_.download(chosenSet_->number, chosenSet_->records);
}

void MemoryBrowser::cancel() {
    if (available(Action::Cancel)) {
        commands_.cancel();
    }
}

void MemoryBrowser::begin(MemoryCommand command) {
    running_ = command;
    emit changed();
}

void MemoryBrowser::end() {
    running_.reset();
    emit changed();
}

void MemoryBrowser::stopped(const CommandFailure& failure) {
    if (!mine(failure.command)) {
        return;
    }
    QString text = failure.message;
    switch (failure.command) {
        case MemoryCommand::IdCode:
        case MemoryCommand::SamplingInterval:
            message_.clear();
            break;
        case MemoryCommand::SetTable:
            // The entries that came whole are listed; the table can be asked for again.
            setRows_ = failure.partialRows;
            setsListed_ = !setRows_.isEmpty();
            enabled_.setTable = true;
            break;
        case MemoryCommand::Download: {
            enabled_.time = enabled_.idCode = enabled_.sampling = true;
            const qint64 listed = failure.partialSet ? failure.partialSet->records.size() : 0;
            const qint64 expected = failure.partialSet ? failure.partialSet->expectedRecords : 0;
            text += u' ' + partialDownloadNote(listed, expected);
            break;
        }
        case MemoryCommand::Status:
        case MemoryCommand::MeterClock:
            break;
    }
    end();
    emit commandStopped(text, failure.cancelled);
}

QString partialDownloadNote(qint64 listed, qint64 expected) {
    if (listed == 0) {
        return QStringLiteral("No record came whole, so none is listed.");
    }
    return QStringLiteral("The list shows the %1 of %2 records that came whole.")
        .arg(groupedCount(listed), groupedCount(expected));
}

}  // namespace lp::memory
