// A panel on a virtual clock, linked to a scripted meter that answers every space
// with the frame the test sets, and answered dialogs.
#pragma once

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <memory>

#include "fake_transport.h"
#include "link/live_poller.h"
#include "panel/panel.h"
#include "platform/virtual_clock.h"
#include "scripted_dialogs.h"

namespace lp::test {

// Bytes 1 to 3 of a live frame.
inline QByteArray liveFrame(quint8 rangeAndFlags, quint8 status, quint8 digits) {
    const char bytes[] = {0x00, char(rangeAndFlags), char(status), char(digits), 0x00};
    return QByteArray(bytes, 5);
}

inline QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline const QByteArray kRecordHeader = "No.s\tDate Time\tdB\t\r\n";

struct PanelRig {
    platform::VirtualClock clock;  // starts at 2009/06/01 14:05:09
    FakeTransport port{clock};
    link::MeterLink link{port, clock};
    link::LivePoller poller{link};
    ScriptedDialogs dialogs;
    app::ProgramState state;
    QByteArray frame = liveFrame(0x40, 0x06, 0x53);  // A, FAST, 30..80, 65.3 dB
    bool meterOn = true;
    std::unique_ptr<panel::Panel> panel;

    PanelRig() {
        state.ComPort = 1;
        port.setResponder(
            [this](const QByteArray& w) { return meterOn && w == " " ? frame : QByteArray(); });
        panel = std::make_unique<panel::Panel>(state, link, poller, clock, dialogs);
        panel->show();
    }

    // The meter answers with `f` from now; long enough for a poll to bring it in.
    void meterShows(const QByteArray& f) {
        frame = f;
        clock.advance(700);
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
    // SAVE  AS answered with `path`, then a 1 s sampling time.
    void recordInto(const QString& path) {
        dialogs.saveNames.push_back(path);
        click("CmdSave");
        sampleEvery(QStringLiteral("1"));
    }
    // The bytes sent to the meter other than the live polls' spaces.
    QByteArray commands() const {
        QByteArray w = port.written;
        return w.replace(' ', QByteArray());
    }
};

}  // namespace lp::test
