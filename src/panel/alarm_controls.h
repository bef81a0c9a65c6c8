// The panel's alarm box: the alarm's level and time and a switch, the ALARM lamp and
// the list of this run's events. The controls forward the alarm set to live::Alarms
// (which the session owns and feeds the live samples); the box renders the alarms'
// view: the lamp lit and the level display in red while an event goes on, one row per
// event (the newest first, wrapped when longer than the box, its whole text its tool
// tip), and the list's value for assistive technology: how many events, and the newest.
#pragma once

#include <QObject>
#include <QString>

#include "live/alarms.h"

class QCheckBox;
class QDoubleSpinBox;
class QFrame;
class QLabel;
class QListWidget;
class QSpinBox;
class QWidget;

namespace lp::panel {

class SegmentDisplay;

struct AlarmFace {
    QDoubleSpinBox* level = nullptr;  // "SpnAlarmLevel"
    QSpinBox* seconds = nullptr;      // "SpnAlarmSeconds"
    QCheckBox* enabled = nullptr;     // "ChkAlarm"
    QLabel* lamp = nullptr;           // "LblAlarm"
    QListWidget* events = nullptr;    // "LstAlarmEvents"
};

// The box's controls, in a frame named "Alarm".
[[nodiscard]] QFrame* buildAlarmFace(QWidget* parent, AlarmFace& face);

// A row of the list: "14:05:10 85.0 dB going on", or for an ended event
// "14:05:10-14:05:16 85.0 dB 6 s Lmax 90.0 Leq 89.3 SEL 97.1".
[[nodiscard]] QString alarmEventText(const live::AlarmEvent& event);

class AlarmControls : public QObject {
    Q_OBJECT
public:
    AlarmControls(live::Alarms& alarms, const AlarmFace& face, SegmentDisplay* level,
                  QObject* parent);

private:
    void forward();
    void render(const live::AlarmView& view);

    live::Alarms& alarms_;
    AlarmFace face_;
    SegmentDisplay* levelDisplay_;
    bool shownOn_ = false;
};

}  // namespace lp::panel
