#include "panel/panel_face.h"

#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "live/meter_view.h"
#include "panel/fixed_place.h"
#include "panel/indicator_lamp.h"
#include "panel/panel_pictures.h"
#include "panel/segment_display.h"

namespace lp::panel {
namespace {

const QColor kRecordRed(255, 84, 64);

// The panel's look: a graphite body, an LCD, rubber meter keys, dark readouts.
const char* const kStyle = R"(
QWidget#PanelFace {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #3b4147, stop:1 #24282c);
}
QFrame#Lcd {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #cfd9bd, stop:1 #b3c19f);
    border: 3px solid #15181a;
    border-radius: 10px;
}
QFrame#Lcd QLabel { color: #18201a; background: transparent; }
QFrame#Lcd QLabel:disabled { color: rgba(24, 32, 26, 64); }
QFrame#Keys, QFrame#Recording, QFrame#Alarm, QFrame#Windows {
    background: rgba(0, 0, 0, 40);
    border: 1px solid #4c535a;
    border-radius: 8px;
}
QGroupBox {
    color: #c8ced4;
    border: 1px solid #566068;
    border-radius: 6px;
    margin-top: 12px;
    font-weight: bold;
}
QGroupBox::title { subcontrol-origin: margin; left: 8px; padding: 0 3px; }
QLabel[readout="true"] {
    color: #9ff0a8;
    background: #14171a;
    border: 1px solid #0b0d0e;
    border-radius: 4px;
    padding: 2px 6px;
}
QLabel#LblComm {
    color: #f4f7f9;
    background: #2e5f8a;
    border: 1px solid #12283a;
    border-radius: 10px;
    padding: 3px 10px;
    font-weight: bold;
}
QLabel#LblRecording, QLabel#LblAlarm { color: #ff5440; font-weight: bold; }
QCheckBox { color: #eef1f3; font-weight: bold; }
QListWidget#LstAlarmEvents { color: #9ff0a8; background: #14171a; border: 1px solid #0b0d0e; }
QLabel#LblCount { color: #ffb3a8; font-weight: bold; }
QPushButton {
    color: #eef1f3;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #5f676e, stop:1 #41474d);
    border: 1px solid #16191b;
    border-radius: 6px;
    padding: 5px 9px;
    font-weight: bold;
}
QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #6d767e, stop:1 #4b5258); }
QPushButton:pressed { background: #2d3237; }
QPushButton:disabled { color: #80878d; background: #383d42; }
QFrame#Keys QPushButton {
    color: #1f2326;
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #eceee8, stop:1 #c3c7bf);
    border: 1px solid #0f1113;
    border-radius: 10px;
    min-width: 54px;
    min-height: 34px;
}
QFrame#Keys QPushButton:hover { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #fafbf7, stop:1 #d3d7cf); }
QFrame#Keys QPushButton:pressed { background: #b2b6ae; }
QPushButton#CmdRec { color: #c21d12; }
QPushButton#CmdExit {
    background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #a83a30, stop:1 #7c241d);
}
QPushButton#CmdStart { color: #ffd0c9; }
QPushButton#CmdStart:disabled { color: #80878d; }
QLabel#LblComm[silent="true"] { background: #9a2f26; border-color: #3a110d; }
QPushButton:focus { border: 2px solid #9ff0a8; }
QFrame#Keys QPushButton:focus { border: 2px solid #2e7bd6; }
)";

QFont fontOf(const QString& family, int pointSize, bool bold) {
    QFont f(family);
    f.setPointSize(pointSize);
    f.setBold(bold);
    f.setStyleHint(family.contains(QLatin1String("Mono")) ? QFont::Monospace : QFont::SansSerif);
    return f;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, const QString& accessible) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setAccessibleName(accessible);
    return l;
}

QLabel* readout(QWidget* parent, const char* name, const QString& accessible, int minWidth) {
    QLabel* l = label(parent, name, QString(), accessible);
    l->setProperty("readout", true);
    l->setFont(fontOf(QStringLiteral("DejaVu Sans Mono"), 12, true));
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumWidth(minWidth);
    return l;
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption,
                    const QString& accessible = {}) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAccessibleName(accessible.isEmpty() ? caption : accessible);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

// An LCD indicator: lit while shown, a faint outline while hidden.
IndicatorLamp* lamp(QWidget* parent, QLabel* l, const QColor& unlit) {
    auto* socket = new IndicatorLamp(l, parent);
    socket->setUnlitColor(unlit);
    return socket;
}

// `fixedContent`: the content's size never follows its text (a readout).
QGroupBox* frame(QWidget* parent, const QString& title, QWidget* content, QWidget* second = nullptr,
                 bool fixedContent = false) {
    auto* box = new QGroupBox(title, parent);
    box->setAccessibleName(title);
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);
    if (fixedContent) {
        content->setParent(box);  // as addWidget() would
        layout->addItem(fixedPlace(content, content->minimumSize()));
        layout->setStretch(0, 1);
    } else {
        layout->addWidget(content, 1);
    }
    if (second) {
        layout->addWidget(second);
    }
    return box;
}

QFrame* section(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(QLatin1String(name));
    return f;
}

// The LCD: indicators on top, weighting and response on the left, the level in the
// middle, unit and range on the right.
QFrame* buildLcd(QWidget* panel, PanelFace& f) {
    QFrame* lcd = section(panel, "Lcd");
    f.lcd = lcd;
    const QFont small = fontOf(QStringLiteral("DejaVu Sans"), 10, true);

    f.recordLamp = label(lcd, "LblRec", QStringLiteral("RECORD"), QStringLiteral("RECORD"));
    f.fullLamp = label(lcd, "LblFull", QStringLiteral("FULL"), QStringLiteral("FULL"));
    f.maxHoldLamp = label(lcd, "LblMx", QStringLiteral("MAX"), QStringLiteral("MAX"));
    f.underLamp = label(lcd, "LblUnder", QStringLiteral("UNDER"), QStringLiteral("UNDER"));
    f.overLamp = label(lcd, "LblOver", QStringLiteral("OVER"), QStringLiteral("OVER"));
    for (QLabel* l : {f.recordLamp, f.fullLamp, f.maxHoldLamp, f.underLamp, f.overLamp}) {
        l->setFont(small);
        l->setAlignment(Qt::AlignCenter);
        l->setContentsMargins(4, 0, 4, 0);
    }
    f.batteryLamp = label(lcd, "ImageBT", QString(), QStringLiteral("Low battery"));
    f.batteryLamp->setPixmap(batteryPicture(QSize(34, 16), kLcdInk, panel->devicePixelRatioF()));
    f.batteryLamp->setAlignment(Qt::AlignCenter);
    f.batteryLamp->setMinimumWidth(40);

    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(lamp(lcd, f.recordLamp, kLcdGhost));
    top->addWidget(lamp(lcd, f.fullLamp, kLcdGhost));
    top->addWidget(lamp(lcd, f.maxHoldLamp, kLcdGhost));
    top->addStretch(1);
    top->addWidget(lamp(lcd, f.batteryLamp, kLcdGhost));
    top->addWidget(lamp(lcd, f.underLamp, kLcdGhost));
    top->addWidget(lamp(lcd, f.overLamp, kLcdGhost));

    const QString mono = QStringLiteral("DejaVu Sans Mono");
    f.weighting = label(lcd, "LblAc", QStringLiteral("A"), QStringLiteral("Frequency weighting"));
    f.weighting->setFont(fontOf(mono, 26, true));
    f.response = label(lcd, "LblSF", QStringLiteral("FAST"), QStringLiteral("Time weighting"));
    f.response->setFont(fontOf(mono, 12, true));
    f.response->setMinimumWidth(
        f.response->fontMetrics().horizontalAdvance(QStringLiteral("    SLOW")));
    auto* left = new QVBoxLayout;
    left->addWidget(f.weighting);
    left->addStretch(1);
    left->addWidget(f.response);

    f.level = new SegmentDisplay(lcd);
    f.level->setObjectName(QStringLiteral("LblVal"));
    f.level->setAccessibleName(QStringLiteral("Level"));
    f.level->setText(live::kNoLevelText);
    f.level->setColors(kLcdInk, kLcdGhost);
    // The LCD's gradient, as the style sheet paints it (#cfd9bd to #b3c19f inside its
    // 3-pixel border).
    f.level->setBackdrop(lcd, QColor(0xcf, 0xd9, 0xbd), QColor(0xb3, 0xc1, 0x9f), 3);

    auto* unit = label(lcd, "LcdUnit", QStringLiteral("dB"), QStringLiteral("dB"));
    unit->setFont(fontOf(QStringLiteral("DejaVu Sans"), 18, true));
    f.rangeHigh = label(lcd, "LblUp", QString(), QStringLiteral("Range upper end"));
    f.rangeLow = label(lcd, "LblDown", QString(), QStringLiteral("Range lower end"));
    for (QLabel* l : {f.rangeHigh, f.rangeLow}) {
        l->setFont(fontOf(mono, 13, true));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setMinimumWidth(l->fontMetrics().horizontalAdvance(QStringLiteral("130")) + 4);
    }
    auto* range = new QGridLayout;
    range->setVerticalSpacing(0);
    range->addWidget(f.rangeHigh, 0, 0);
    range->addWidget(f.rangeLow, 1, 0);
    auto* right = new QVBoxLayout;
    right->addWidget(unit, 0, Qt::AlignLeft | Qt::AlignTop);
    right->addStretch(1);
    right->addLayout(range);

    // The level and its unit in the middle of the display.
    auto* middle = new QHBoxLayout;
    middle->setSpacing(12);
    middle->addLayout(left);
    middle->addStretch(1);
    middle->addItem(fixedPlace(f.level, QSize(300, 104), Qt::Vertical));
    middle->setStretch(middle->count() - 1, 3);
    middle->addLayout(right);
    middle->addStretch(1);

    auto* layout = new QVBoxLayout(lcd);
    layout->setContentsMargins(16, 10, 16, 10);
    layout->addLayout(top);
    layout->addLayout(middle, 1);
    return lcd;
}

QHBoxLayout* buildReadouts(QWidget* panel, PanelFace& f) {
    f.maxLevel = readout(panel, "LblMax", QStringLiteral("MAX level"), 74);
    f.minLevel = readout(panel, "LblMin", QStringLiteral("MIN level"), 74);
    f.resetMaxMin = button(panel, "SSCommand2", QStringLiteral("<---RESET--->"));
    f.time = readout(panel, "LblTime", QStringLiteral("TIME"), 96);
    f.linkState = label(panel, "LblComm", QStringLiteral("NO COM"), QStringLiteral("Link state"));
    f.linkState->setAlignment(Qt::AlignCenter);
    f.linkState->setMinimumWidth(86);
    f.linkState->setCursor(Qt::PointingHandCursor);

    auto* row = new QHBoxLayout;
    row->setSpacing(8);
    row->addWidget(frame(panel, QStringLiteral("MAX"), f.maxLevel, nullptr, true));
    row->addWidget(f.resetMaxMin, 0, Qt::AlignBottom);
    row->addWidget(frame(panel, QStringLiteral("MIN"), f.minLevel, nullptr, true));
    row->addSpacing(8);
    row->addWidget(frame(panel, QStringLiteral("TIME"), f.time, nullptr, true));
    row->addStretch(1);
    row->addWidget(f.linkState, 0, Qt::AlignBottom);
    return row;
}

QFrame* buildKeys(QWidget* panel, PanelFace& f) {
    QFrame* keys = section(panel, "Keys");
    f.weightingKey = button(keys, "CmdAc", QStringLiteral("A / C"));
    f.responseKey = button(keys, "CmdFs", QStringLiteral("F / S"));
    f.maxHoldKey = button(keys, "CmdMax", QStringLiteral("MAX"));
    f.rangeUpKey = button(keys, "CmdUp", QString(), QStringLiteral("Range up"));
    f.rangeUpKey->setIcon(arrowIcon(true, QColor(31, 35, 38)));
    f.rangeUpKey->setToolTip(QStringLiteral("Range up"));
    f.rangeDownKey = button(keys, "CmdDown", QString(), QStringLiteral("Range down"));
    f.rangeDownKey->setIcon(arrowIcon(false, QColor(31, 35, 38)));
    f.rangeDownKey->setToolTip(QStringLiteral("Range down"));
    f.resetKey = button(keys, "CmdRe", QStringLiteral("RESET"));
    f.recordKey = button(keys, "CmdRec", QStringLiteral("REC"));
    f.levelKey = button(keys, "Cmd", QStringLiteral("LEVEL"));
    auto* row = new QHBoxLayout(keys);
    row->setContentsMargins(10, 8, 10, 8);
    row->setSpacing(8);
    for (QPushButton* b : {f.weightingKey, f.responseKey, f.maxHoldKey, f.rangeUpKey,
                           f.rangeDownKey, f.resetKey, f.recordKey, f.levelKey}) {
        row->addWidget(b);
    }
    return keys;
}

QFrame* buildRecording(QWidget* panel, PanelFace& f) {
    QFrame* rec = section(panel, "Recording");
    f.samplingTime = readout(rec, "LblSample", QStringLiteral("SAMPLING TIME"), 90);
    f.samplingButton = button(rec, "CmdPc", QStringLiteral("PC SAMPLING"));
    f.fileName = readout(rec, "LblFile", QStringLiteral("FILE NAME"), 150);
    f.fileName->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    f.saveAsButton = button(rec, "CmdSave", QStringLiteral("SAVE  AS"));
    f.startButton = button(rec, "CmdStart", QStringLiteral("START RECORDING"));
    f.stopButton = button(rec, "CmdStop", QStringLiteral("STOP RECORDING"));
    f.recordingLamp =
        label(rec, "LblRecording", QStringLiteral("RECORDING"), QStringLiteral("RECORDING"));
    f.recordingLamp->setAlignment(Qt::AlignCenter);
    f.recordCount = label(rec, "LblCount", QString(), QStringLiteral("Records written"));
    f.recordCount->setAlignment(Qt::AlignCenter);
    f.recordCount->setFont(fontOf(QStringLiteral("DejaVu Sans Mono"), 11, true));
    f.recordCount->setMinimumWidth(
        f.recordCount->fontMetrics().horizontalAdvance(QStringLiteral("348000")));

    auto* runButtons = new QVBoxLayout;
    runButtons->addWidget(f.startButton);
    runButtons->addWidget(f.stopButton);
    auto* runState = new QVBoxLayout;
    runState->addWidget(lamp(rec, f.recordingLamp, QColor(255, 84, 64, 46)));
    runState->addWidget(f.recordCount);

    auto* row = new QHBoxLayout(rec);
    row->setContentsMargins(10, 4, 10, 10);
    row->setSpacing(8);
    row->addWidget(frame(rec, QStringLiteral("SAMPLING TIME"), f.samplingTime, f.samplingButton));
    row->addWidget(frame(rec, QStringLiteral("FILE NAME"), f.fileName, f.saveAsButton), 1);
    row->addLayout(runButtons);
    row->addLayout(runState);
    return rec;
}

QFrame* buildWindows(QWidget* panel, PanelFace& f) {
    QFrame* win = section(panel, "Windows");
    f.listButton = button(win, "CmdList", QStringLiteral("LIST"));
    f.graphButton = button(win, "CmdGraph", QStringLiteral("GRAPH"));
    f.analogButton = button(win, "CmdAnalog", QStringLiteral("ANALOG"));
    f.limitsButton = button(win, "CmdLimits", QStringLiteral("LIMITS"));
    f.memoryButton = button(win, "CmdMemory", QStringLiteral("MEMORY"));
    f.openButton = button(win, "CmdOpen", QStringLiteral("OPEN  FILE"));
    f.clockSetButton = button(win, "CmdSystem", QStringLiteral("SYSTEM TIME SET"));
    f.exitButton = button(win, "CmdExit", QStringLiteral("EXIT"));
    auto* row = new QHBoxLayout(win);
    row->setContentsMargins(10, 8, 10, 8);
    row->setSpacing(8);
    for (QPushButton* b : {f.listButton, f.graphButton, f.analogButton, f.limitsButton,
                           f.memoryButton, f.openButton}) {
        row->addWidget(b);
    }
    row->addStretch(1);
    row->addWidget(f.clockSetButton);
    row->addSpacing(12);
    row->addWidget(f.exitButton);
    return win;
}

}  // namespace

PanelFace buildPanelFace(QWidget* window) {
    PanelFace f;
    // The face carries the style sheet, not the window: the windows opened beside
    // the panel are its children and keep the ordinary look.
    auto* outer = new QVBoxLayout(window);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* panel = new QWidget(window);
    panel->setObjectName(QStringLiteral("PanelFace"));
    outer->addWidget(panel);
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setStyleSheet(QLatin1String(kStyle));
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(16, 16, 16, 14);
    layout->setSpacing(10);
    layout->addWidget(buildLcd(panel, f), 1);
    layout->addLayout(buildReadouts(panel, f));
    layout->addWidget(buildKeys(panel, f));
    layout->addWidget(buildRecording(panel, f));
    layout->addWidget(buildAlarmFace(panel, f.alarm));
    layout->addWidget(buildWindows(panel, f));
    return f;
}

}  // namespace lp::panel
