// The controls of the panel window and how they are laid out: an LCD with the level
// and the meter's indicators, the meter's keys, the PC recording controls and the
// window buttons. Every control carries its name as objectName and an accessible name.
#pragma once

#include "panel/alarm_controls.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;

namespace lp::panel {

class SegmentDisplay;

// Each control keeps the name automation and tests know it by as its objectName
// ("LblVal", "CmdStart"); the members here say what the control is.
struct PanelFace {
    // LCD
    QWidget* lcd = nullptr;  // "Lcd": disabled (its marks dimmed) while the meter is silent
    SegmentDisplay* level = nullptr;
    QLabel* rangeHigh = nullptr;
    QLabel* rangeLow = nullptr;
    QLabel* weighting = nullptr;
    QLabel* response = nullptr;
    QLabel* recordLamp = nullptr;
    QLabel* fullLamp = nullptr;
    QLabel* maxHoldLamp = nullptr;
    QLabel* underLamp = nullptr;
    QLabel* overLamp = nullptr;
    QLabel* batteryLamp = nullptr;
    // Max and min, time
    QLabel* maxLevel = nullptr;
    QLabel* minLevel = nullptr;
    QPushButton* resetMaxMin = nullptr;
    QLabel* time = nullptr;
    QLabel* linkState = nullptr;
    // Meter keys
    QPushButton* weightingKey = nullptr;
    QPushButton* responseKey = nullptr;
    QPushButton* maxHoldKey = nullptr;
    QPushButton* rangeUpKey = nullptr;
    QPushButton* rangeDownKey = nullptr;
    QPushButton* resetKey = nullptr;
    QPushButton* recordKey = nullptr;
    QPushButton* levelKey = nullptr;  // "LEVEL"
    // PC recording
    QLabel* samplingTime = nullptr;
    QLabel* fileName = nullptr;
    QLabel* recordCount = nullptr;
    QLabel* recordingLamp = nullptr;
    QPushButton* samplingButton = nullptr;
    QPushButton* saveAsButton = nullptr;
    QPushButton* startButton = nullptr;
    QPushButton* stopButton = nullptr;
    // Alarm
    AlarmFace alarm;
    // Windows and program
    QPushButton* listButton = nullptr;
    QPushButton* graphButton = nullptr;
    QPushButton* analogButton = nullptr;
    QPushButton* limitsButton = nullptr;  // "LIMITS"
    QPushButton* memoryButton = nullptr;
    QPushButton* openButton = nullptr;
    QPushButton* clockSetButton = nullptr;
    QPushButton* exitButton = nullptr;
};

// Builds the controls into `panel` (which gets a layout and a style sheet).
[[nodiscard]] PanelFace buildPanelFace(QWidget* panel);

}  // namespace lp::panel
