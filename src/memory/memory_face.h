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
    QLabel* memoryCaption = nullptr;       // "MEMORY"
    QLabel* remainingCaption = nullptr;    // "REMAINING"
    QLabel* recordCountCaption = nullptr;  // "NUMBERS OF REC"
    QLabel* setCountCaption = nullptr;     // "NUMBERS OF SET"
    QLabel* memorySizeLabel = nullptr;
    QLabel* remainingLabel = nullptr;
    QLabel* recordCountLabel = nullptr;
    QLabel* setCountLabel = nullptr;
    // Logger settings and clock.
    QPushButton* idCodeButton = nullptr;
    QLineEdit* idCodeBox = nullptr;
    QPushButton* samplingButton = nullptr;
    QLineEdit* samplingBox = nullptr;
    QPushButton* meterClockButton = nullptr;
    QLabel* meterClockLabel = nullptr;
    // Stored sets and their download.
    QPushButton* setTableButton = nullptr;
    QPushButton* showDataButton = nullptr;
    QPushButton* cancelButton = nullptr;
    SetGrid* setGrid = nullptr;
    QLabel* messageLabel = nullptr;
};

// Makes the controls on `window` and lays them out at a fixed size.
[[nodiscard]] MemoryFace buildMemoryFace(QWidget* window);

}  // namespace lp::memory
