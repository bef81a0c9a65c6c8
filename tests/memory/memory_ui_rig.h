// The memory windows on the simulated meter: scripted dialogs and the MEMORY flow,
// with helpers that press buttons and let their exchanges end in virtual time.
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
#include "memory_rig.h"
#include "scripted_dialogs.h"

namespace lp::test {

struct MemoryUiRig : SimRig {
    ScriptedDialogs dialogs;
    QWidget panel;
    memory::MemoryFlow flow{link, dialogs, &panel};

    ~MemoryUiRig() { flushDeletes(); }

    static void flushDeletes() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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

    // Enabled buttons: IdCode, Sampling, Time, TimeOfRec, ShowData, as "11110".
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
