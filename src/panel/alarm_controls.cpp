#include "panel/alarm_controls.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>

#include "panel/indicator_lamp.h"
#include "panel/segment_display.h"
#include "platform/accessible_value.h"

namespace lp::panel {
namespace {

const QColor kAlarmInk(196, 28, 16);

QString clockTime(qint64 instant) {
    return QDateTime::fromSecsSinceEpoch(instant).toString(QStringLiteral("HH:mm:ss"));
}

QString decibels(double level) {
    return QString::number(level, 'f', 1);
}

template <typename Control>
Control* named(Control* control, const char* name, const QString& spoken) {
    control->setObjectName(QLatin1String(name));
    control->setAccessibleName(spoken);
    return control;
}

// "-" for a level an event has none of (it held only readings out of range).
QString optionalDecibels(const std::optional<double>& level) {
    return level ? decibels(*level) : QStringLiteral("-");
}

}  // namespace

QFrame* buildAlarmFace(QWidget* parent, AlarmFace& f) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("Alarm"));
    f.level = named(new QDoubleSpinBox(frame), "SpnAlarmLevel", QStringLiteral("Alarm level"));
    f.level->setRange(0.0, 199.9);
    f.level->setDecimals(1);
    f.level->setValue(85.0);
    f.level->setSuffix(QStringLiteral(" dB"));
    f.level->setToolTip(QStringLiteral("An event starts at or above this level"));
    f.seconds = named(new QSpinBox(frame), "SpnAlarmSeconds", QStringLiteral("Alarm seconds"));
    f.seconds->setRange(0, 86400);
    f.seconds->setValue(5);
    f.seconds->setSuffix(QStringLiteral(" s"));
    f.seconds->setToolTip(QStringLiteral("... when the level stays there this long"));
    f.enabled = named(new QCheckBox(QStringLiteral("ALARM ON"), frame), "ChkAlarm",
                      QStringLiteral("ALARM ON"));
    f.lamp = named(new QLabel(QStringLiteral("ALARM"), frame), "LblAlarm", QStringLiteral("ALARM"));
    f.lamp->setAlignment(Qt::AlignCenter);
    f.lamp->hide();
    auto* socket = new IndicatorLamp(f.lamp, frame);
    socket->setUnlitColor(QColor(255, 84, 64, 46));
    f.events = named(new QListWidget(frame), "LstAlarmEvents", QStringLiteral("Alarm events"));
    f.events->setMaximumHeight(58);
    f.events->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A row longer than the box wraps: each is read whole (and is its tool tip).
    f.events->setWordWrap(true);
    f.events->setResizeMode(QListView::Adjust);

    const auto box = [frame](const QString& title, std::initializer_list<QWidget*> content) {
        auto* group = new QGroupBox(title, frame);
        group->setAccessibleName(title);
        group->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Preferred);
        auto* layout = new QHBoxLayout(group);
        layout->setContentsMargins(8, 6, 8, 8);
        for (QWidget* w : content) {
            layout->addWidget(w);
        }
        return group;
    };
    auto* row = new QHBoxLayout(frame);
    row->setContentsMargins(10, 4, 10, 10);
    row->setSpacing(8);
    row->addWidget(box(QStringLiteral("ALARM AT"), {f.level, f.seconds, f.enabled}));
    row->addWidget(socket);
    QGroupBox* list = box(QStringLiteral("EVENTS"), {f.events});
    list->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    row->addWidget(list, 1);
    return frame;
}

QString alarmEventText(const live::AlarmEvent& event) {
    const QString above = decibels(event.above) + QStringLiteral(" dB");
    const std::optional<stats::LevelEvent>& e = event.ended;
    if (!e) {
        return QStringLiteral("%1 %2 going on").arg(clockTime(event.start), above);
    }
    return QStringLiteral("%1-%2 %3 %4 s Lmax %5 Leq %6 SEL %7")
        .arg(clockTime(e->start), clockTime(e->end), above)
        .arg(e->duration)
        .arg(optionalDecibels(e->lmax), optionalDecibels(e->leq), optionalDecibels(e->sel));
}

AlarmControls::AlarmControls(live::Alarms& alarms, const AlarmFace& face, SegmentDisplay* level,
                             QObject* parent)
    : QObject(parent), alarms_(alarms), face_(face), levelDisplay_(level) {
    connect(face_.level, &QDoubleSpinBox::valueChanged, this, &AlarmControls::forward);
    connect(face_.seconds, &QSpinBox::valueChanged, this, &AlarmControls::forward);
    connect(face_.enabled, &QCheckBox::toggled, this, &AlarmControls::forward);
    connect(&alarms_, &live::Alarms::viewChanged, this, &AlarmControls::render);
    render(alarms_.view());
}

void AlarmControls::forward() {
    QList<live::AlarmLevel> levels;
    if (face_.enabled->isChecked()) {
        levels << live::AlarmLevel{face_.level->value(), face_.seconds->value()};
    }
    if (levels != alarms_.view().levels) {
        alarms_.setLevels(levels);
    }
}

void AlarmControls::render(const live::AlarmView& view) {
    face_.lamp->setVisible(view.on);
    platform::setAccessibleValue(face_.lamp,
                                 view.on ? QStringLiteral("on") : QStringLiteral("off"));
    if (view.on != shownOn_) {
        shownOn_ = view.on;
        levelDisplay_->setColors(view.on ? kAlarmInk : kLcdInk, kLcdGhost);
    }
    face_.events->clear();
    for (auto it = view.events.crbegin(); it != view.events.crend(); ++it) {
        const QString text = alarmEventText(*it);
        auto* row = new QListWidgetItem(text, face_.events);
        row->setToolTip(text);
    }
    platform::setAccessibleValue(face_.events, view.events.isEmpty()
                                                   ? QStringLiteral("no events")
                                                   : QStringLiteral("%1 event(s), newest: %2")
                                                         .arg(view.events.size())
                                                         .arg(alarmEventText(view.events.last())));
}

}  // namespace lp::panel
