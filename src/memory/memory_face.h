// The controls of the memory window and how they are laid out: the status panels
// with their values, the logger buttons with their text boxes, the set grid and the
// message line. Every control carries its name as objectName and an accessible name.
#pragma once

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace lp::memory {

class SetGrid;

struct MemoryFace {
    // Caption panels and the values beside them.
    QLabel* SSPanel1 = nullptr;  // "MEMORY"
    QLabel* SSPanel2 = nullptr;  // "REMAINING"
    QLabel* SSPanel3 = nullptr;  // "NUMBERS OF REC"
    QLabel* SSPanel4 = nullptr;  // "NUMBERS OF SET"
    QLabel* LblMemorySize = nullptr;
    QLabel* LblRemaining = nullptr;
    QLabel* LblNoOfRec = nullptr;
    QLabel* LblNoOfSet = nullptr;
    // Logger settings and clock.
    QPushButton* CmdIdCode = nullptr;
    QLineEdit* TxtIdCode = nullptr;
    QPushButton* CmdSampling = nullptr;
    QLineEdit* TxtSampling = nullptr;
    QPushButton* CmdTime = nullptr;
    QLabel* LblTimeOfMeter = nullptr;
    // Stored sets and their download.
    QPushButton* CmdTimeOfRec = nullptr;
    QPushButton* CmdShowData = nullptr;
    QPushButton* CmdCancel = nullptr;
    SetGrid* Grid = nullptr;
    QLabel* LblMessage = nullptr;
};

// Makes the controls on `window` and lays them out at a fixed size.
[[nodiscard]] MemoryFace buildMemoryFace(QWidget* window);

}  // namespace lp::memory
