#include "app/port_choice_window.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/shortcuts.h"
#include "platform/twips.h"
#include "platform/window_place.h"

namespace lp::app {

PortChoiceWindow::PortChoiceWindow(platform::Dialogs& dialogs, QList<live::SystemPort> systemPorts,
                                   QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), systemPorts_(std::move(systemPorts)) {
    setObjectName(QStringLiteral("Selection"));
    setWindowTitle(QStringLiteral("Selection"));

    auto* prompt = new QLabel(QStringLiteral("Serial port of the meter:"), this);
    portBox = new QComboBox(this);
    portBox->setObjectName(QStringLiteral("TxtCOM"));
    portBox->setAccessibleName(QStringLiteral("Serial port"));
    portBox->setEditable(true);
    portBox->setInsertPolicy(QComboBox::NoInsert);
    portBox->addItems(live::portEntries(systemPorts_));
    portBox->setEditText(QStringLiteral("COM1"));
    portBox->setToolTip(
        QStringLiteral("COM1 to COM8, a port of this computer, a device path such "
                       "as /dev/ttyUSB0, or the simulated meter"));
    portBox->setMinimumContentsLength(24);
    prompt->setBuddy(portBox);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("CmdOK"));
    okButton->setAccessibleName(QStringLiteral("OK"));
    okButton->setDefault(true);
    com1Button = new QPushButton(QStringLiteral("COM1"), this);
    com1Button->setObjectName(QStringLiteral("Command1"));
    com1Button->setAccessibleName(QStringLiteral("COM1"));
    com2Button = new QPushButton(QStringLiteral("COM2"), this);
    com2Button->setObjectName(QStringLiteral("Command2"));
    com2Button->setAccessibleName(QStringLiteral("COM2"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(prompt, 0, 0, 1, 3);
    layout->addWidget(portBox, 1, 0, 1, 2);
    layout->addWidget(okButton, 1, 2);
    layout->addWidget(com1Button, 2, 0);
    layout->addWidget(com2Button, 2, 1);

    connect(okButton, &QPushButton::clicked, this, &PortChoiceWindow::onOkClicked);
    connect(portBox->lineEdit(), &QLineEdit::returnPressed, this, &PortChoiceWindow::onOkClicked);
    connect(com1Button, &QPushButton::clicked, this, [this] {
        comPort_ = 1;
        choose(live::numberedPort(1));
    });
    connect(com2Button, &QPushButton::clicked, this, [this] {
        comPort_ = 2;
        choose(live::numberedPort(2));
    });

    auto* quit = new QAction(this);
    quit->setObjectName(QStringLiteral("QuitKeys"));
    quit->setShortcuts(platform::standardKeys(QKeySequence::Quit));
    addAction(quit);
    connect(quit, &QAction::triggered, this, &QWidget::close);

    move(platform::twipsToPx(3700), platform::twipsToPx(2700));
    platform::placeOnScreenAtShow(*this);
}

void PortChoiceWindow::onOkClicked() {
    const auto request = live::choosePort(portBox->currentText(), comPort_, systemPorts_);
    if (!request) {
        dialogs_.message(this,
                         QStringLiteral("\"%1\" names no port. Choose COM1 to COM8, a port from "
                                        "the list, type a device path such as /dev/ttyUSB0, or "
                                        "choose \"%2\".")
                             .arg(portBox->currentText(), live::kSimulatedMeter),
                         platform::MessageIcon::Warning);
        portBox->setFocus();
        return;
    }
    choose(*request);
}

void PortChoiceWindow::choose(const live::PortRequest& request) {
    emit portChosen(request);
}

void PortChoiceWindow::proposePort(const QString& text) {
    if (!text.isEmpty()) {
        portBox->setEditText(text);
    }
}

void PortChoiceWindow::portFailed(const QString& message) {
    dialogs_.message(this, message, platform::MessageIcon::Critical);
    show();
    portBox->setFocus();
}

}  // namespace lp::app
