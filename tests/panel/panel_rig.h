// The panel window over a live cycle on a virtual clock, with its recording and
// answered dialogs.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <memory>

#include "live/recording.h"
#include "live_rig.h"
#include "panel/panel.h"
#include "scripted_dialogs.h"

namespace lp::test {

struct PanelRig : LiveRig {
    ScriptedDialogs dialogs;
    live::Recording recording;
    live::Alarms alarms{clock};
    std::unique_ptr<panel::Panel> panel;

    PanelRig() {
        QObject::connect(&cycle, &live::LiveCycle::sampleTaken, &recording,
                         &live::Recording::record);
        live::feedAlarms(cycle, alarms);
        panel = std::make_unique<panel::Panel>(cycle, recording, alarms, dialogs);
        panel->show();
    }

    template <typename T = QLabel>
    T* get(const char* name) const {
        return panel->findChild<T*>(QLatin1String(name));
    }
    QString text(const char* name) const { return get<QLabel>(name)->text(); }
    void click(const char* name) const { get<QPushButton>(name)->click(); }
    // PC SAMPLING answered with `seconds`.
    void sampleEvery(const QString& seconds) {
        dialogs.inputs.push_back(seconds);
        click("CmdPc");
    }
};

}  // namespace lp::test
