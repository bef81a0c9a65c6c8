// The start-up window: the user picks the port the meter is on.
#pragma once

#include <QWidget>

#include "live/port_choice.h"
#include "platform/dialogs.h"

class QComboBox;
class QPushButton;

namespace lp::app {

class PortChoiceWindow : public QWidget {
    Q_OBJECT
public:
    PortChoiceWindow(platform::Dialogs& dialogs, QList<live::SystemPort> systemPorts,
                     QWidget* parent = nullptr);

    // Called by whoever opens the port when it could not be opened: the choice stays up.
    void portFailed(const QString& message);
    // Puts `text` (the port opened last) in the box instead of COM1; nothing when empty.
    void proposePort(const QString& text);

signals:
    // The user chose a port; the receiver opens it and closes this window on success.
    void portChosen(const lp::live::PortRequest& request);

private:
    void onOkClicked();
    void choose(const live::PortRequest& request);

    // The numbered port chosen before (0 for none): an unknown text falls back to it.
    qint16 comPort_ = 0;
    platform::Dialogs& dialogs_;
    QList<live::SystemPort> systemPorts_;
    QComboBox* portBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* com1Button = nullptr;
    QPushButton* com2Button = nullptr;
};

}  // namespace lp::app
