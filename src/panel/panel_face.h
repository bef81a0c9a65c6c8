// The controls of the panel window and how they are laid out: an LCD with the level
// and the meter's indicators, the meter's keys, the PC recording controls and the
// window buttons. Every control carries its name as objectName and an accessible name.
#pragma once

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace lp::panel {

class SegmentDisplay;

struct PanelFace {
    // LCD
    SegmentDisplay* LblVal = nullptr;
    QLabel* LblUp = nullptr;
    QLabel* LblDown = nullptr;
    QLabel* LblAc = nullptr;
    QLabel* LblSF = nullptr;
    QLabel* LblRec = nullptr;
    QLabel* LblFull = nullptr;
    QLabel* LblMx = nullptr;
    QLabel* LblUnder = nullptr;
    QLabel* LblOver = nullptr;
    QLabel* ImageBT = nullptr;
    // Max and min, time
    QLabel* LblMax = nullptr;
    QLabel* LblMin = nullptr;
    QPushButton* SSCommand2 = nullptr;
    QLabel* LblTime = nullptr;
    QLabel* LblComm = nullptr;
    // Meter keys
    QPushButton* CmdAc = nullptr;
    QPushButton* CmdFs = nullptr;
    QPushButton* CmdMax = nullptr;
    QPushButton* CmdUp = nullptr;
    QPushButton* CmdDown = nullptr;
    QPushButton* CmdRe = nullptr;
    QPushButton* CmdRec = nullptr;
    QPushButton* Cmd = nullptr;  // "LEVEL"
    // PC recording
    QLabel* LblSample = nullptr;
    QLabel* LblFile = nullptr;
    QLabel* LblCount = nullptr;
    QLabel* LblRecording = nullptr;
    QPushButton* CmdPc = nullptr;
    QPushButton* CmdSave = nullptr;
    QPushButton* CmdStart = nullptr;
    QPushButton* CmdStop = nullptr;
    // Windows and program
    QPushButton* CmdList = nullptr;
    QPushButton* CmdGraph = nullptr;
    QPushButton* CmdAnalog = nullptr;
    QPushButton* CmdMemory = nullptr;
    QPushButton* CmdOpen = nullptr;
    QPushButton* CmdSystem = nullptr;
    QPushButton* CmdExit = nullptr;
};

// Builds the controls into `panel` (which gets a layout and a style sheet).
[[nodiscard]] PanelFace buildPanelFace(QWidget* panel);

}  // namespace lp::panel
