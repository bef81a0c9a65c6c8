// Windows outlive their own dialogs: a reply that arrives while a real, modal message
// box of a memory window is up replaces that window, and the window goes only once
// its box is closed.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include "link/meter_link.h"
#include "live/open_port.h"
#include "memory/memory_flow.h"
#include "memory/memory_window.h"
#include "platform/qt_dialogs.h"
#include "platform/virtual_clock.h"

using namespace lp;

class TestModalSafety : public QObject {
    Q_OBJECT
private slots:
    void memoryWindowOutlivesItsOwnMessageBox() {
        platform::VirtualClock clock;
        live::OpenedPort port =
            live::openPort({live::PortKind::Simulated, 0, {}, "SIM"}, clock).port;
        link::MeterLink link(*port.transport, clock);
        platform::QtDialogs dialogs;
        memory::MemoryFlow flow(link, dialogs, nullptr);
        flow.open();
        QVERIFY(clock.advanceUntil([&] { return flow.memoryWindow() != nullptr; }, 5000));
        QPointer<memory::MemoryWindow> first = flow.memoryWindow();

        bool replacedWhileBoxUp = false;
        QTimer::singleShot(0, [&] {
            // Inside the box's own event loop: MEMORY again, and its status arrives.
            flow.open();
            replacedWhileBoxUp = clock.advanceUntil(
                [&] { return flow.memoryWindow() != nullptr && flow.memoryWindow() != first; },
                5000);
            QVERIFY(first && first->isHidden());
            QWidget* box = QApplication::activeModalWidget();
            QVERIFY(box);  // the box outlived the replacement of its window
            box->close();
        });
        first->face().idCodeBox->setText(QStringLiteral("70000"));
        first->onIdCodeClicked();  // "Invalid No.s, Try Again!" in a real box
        QVERIFY(replacedWhileBoxUp);
        QVERIFY(first);  // still here while its own code runs on
        QTRY_VERIFY(!first);
        QVERIFY(flow.memoryWindow()->isVisible());
    }
};

QTEST_MAIN(TestModalSafety)
#include "test_modal_safety.moc"
