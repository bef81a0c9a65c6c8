// The memory windows on the simulated meter: a virtual clock, the meter behind an
// in-process transport (optionally paced at 9600 baud), the link, scripted dialogs and
// the MEMORY flow, with helpers that press buttons and wait (in virtual time) for
// their exchanges to end.
#pragma once

#include <QCoreApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include "memory/data_list.h"
#include "memory/memory_flow.h"
#include "memory/memory_window.h"
#include "memory/set_grid.h"
#include "platform/virtual_clock.h"
#include "scripted_dialogs.h"
#include "sim/sim_meter.h"
#include "sim/sim_transport.h"

namespace lp::test {

inline const QDateTime kSetStart(QDate(2009, 12, 31), QTime(23, 50, 0));

// Levels of record k that sweep from 25.0 to 136.0 dB in tenths, so the 30-130 dB
// range is left on both sides and the hundreds digit is used.
inline double sweep(int k) {
    return (250 + ((k - 1) * 37) % 1111) / 10.0;
}
inline QString sweepText(int k) {
    return QString::number(sweep(k), 'f', 1);
}
inline QString stampOf(int k, int intervalSec) {
    return kSetStart.addSecs(qint64{intervalSec} * (k - 1)).toString("yyyy/MM/dd HH:mm:ss");
}

struct MemoryUiRig {
    explicit MemoryUiRig(bool paced = false) : port(meter, clock, paced) {}
    platform::VirtualClock clock;
    sim::SimMeter meter;
    sim::SimTransport port;
    link::MeterLink link{port, clock};
    ScriptedDialogs dialogs;
    QWidget panel;
    memory::MemoryFlow flow{link, dialogs, &panel};

    ~MemoryUiRig() { flushDeletes(); }

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs virtual time until the link has nothing left to do.
    bool settle(qint64 maxMs = 60000) {
        return clock.advanceUntil([this] { return !link.busy(); }, maxMs);
    }

    // The panel's MEMORY: the window that shows once the status is in.
    memory::Memory* openMemory() {
        flow.open();
        settle();
        return flow.memoryWindow();
    }

    // MEMORY, TIME OF RECORDING and a click on set `row`.
    memory::Memory* chooseSet(int row) {
        memory::Memory* w = openMemory();
        if (w == nullptr) {
            return nullptr;
        }
        w->face().setTableButton->click();
        settle();
        clickSetRow(*w, row);
        return w;
    }

    // A mouse click on set row `row` (row 0 is the heading).
    static void clickSetRow(memory::Memory& w, int row) {
        memory::SetGrid* grid = w.face().setGrid;
        if (row == 0) {
            QHeaderView* heading = grid->horizontalHeader();
            QTest::mouseClick(
                heading->viewport(), Qt::LeftButton, {},
                QPoint(heading->sectionViewportPosition(0) + 5, heading->height() / 2));
            return;
        }
        const QRect cell = grid->visualRect(grid->model()->index(row - 1, 0));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Which of the window's buttons are enabled, in the order
    // IdCode, Sampling, Time, TimeOfRec, ShowData: "11110".
    static QString enabledButtons(const memory::Memory& w) {
        QString out;
        for (const QPushButton* b :
             {w.face().idCodeButton, w.face().samplingButton, w.face().meterClockButton,
              w.face().setTableButton, w.face().showDataButton}) {
            out += b->isEnabled() ? u'1' : u'0';
        }
        return out;
    }
};

}  // namespace lp::test
