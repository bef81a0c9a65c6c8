#include "app/selection.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/twips.h"

namespace lp::app {

Selection::Selection(platform::Dialogs& dialogs, QList<SystemPort> systemPorts, QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), systemPorts_(std::move(systemPorts)) {
    setObjectName(QStringLiteral("Selection"));
    setWindowTitle(QStringLiteral("Selection"));

    auto* prompt = new QLabel(QStringLiteral("Serial port of the meter:"), this);
    TxtCOM = new QComboBox(this);
    TxtCOM->setObjectName(QStringLiteral("TxtCOM"));
    TxtCOM->setAccessibleName(QStringLiteral("Serial port"));
    TxtCOM->setEditable(true);
    TxtCOM->setInsertPolicy(QComboBox::NoInsert);
    TxtCOM->addItems(portEntries(systemPorts_));
    TxtCOM->setEditText(QStringLiteral("COM1"));
    TxtCOM->setToolTip(
        QStringLiteral("COM1 to COM8, a port of this computer, a device path such "
                       "as /dev/ttyUSB0, or the simulated meter"));
    TxtCOM->setMinimumContentsLength(24);
    prompt->setBuddy(TxtCOM);

    CmdOK = new QPushButton(QStringLiteral("OK"), this);
    CmdOK->setObjectName(QStringLiteral("CmdOK"));
    CmdOK->setAccessibleName(QStringLiteral("OK"));
    CmdOK->setDefault(true);
    Command1 = new QPushButton(QStringLiteral("COM1"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAccessibleName(QStringLiteral("COM1"));
    Command2 = new QPushButton(QStringLiteral("COM2"), this);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setAccessibleName(QStringLiteral("COM2"));

    auto* layout = new QGridLayout(this);
    layout->addWidget(prompt, 0, 0, 1, 3);
    layout->addWidget(TxtCOM, 1, 0, 1, 2);
    layout->addWidget(CmdOK, 1, 2);
    layout->addWidget(Command1, 2, 0);
    layout->addWidget(Command2, 2, 1);

    connect(CmdOK, &QPushButton::clicked, this, &Selection::onOkClicked);
    connect(TxtCOM->lineEdit(), &QLineEdit::returnPressed, this, &Selection::onOkClicked);
    connect(Command1, &QPushButton::clicked, this, [this] {
        comPort_ = 1;
        choose(numberedPort(1));
    });
    connect(Command2, &QPushButton::clicked, this, [this] {
        comPort_ = 2;
        choose(numberedPort(2));
    });

    move(platform::twipsToPx(3700), platform::twipsToPx(2700));
}

void Selection::onOkClicked() {
    const auto request = choosePort(TxtCOM->currentText(), comPort_, systemPorts_);
    if (!request) {
        dialogs_.message(this,
                         QStringLiteral("\"%1\" names no port. Choose COM1 to COM8, a port from "
                                        "the list, type a device path such as /dev/ttyUSB0, or "
                                        "choose \"%2\".")
                             .arg(TxtCOM->currentText(), kSimulatedMeter),
                         platform::MessageIcon::Warning);
        TxtCOM->setFocus();
        return;
    }
    choose(*request);
}

void Selection::choose(const PortRequest& request) {
    emit portChosen(request);
}

void Selection::portFailed(const QString& message) {
    dialogs_.message(this, message, platform::MessageIcon::Critical);
    show();
    TxtCOM->setFocus();
}

}  // namespace lp::app
