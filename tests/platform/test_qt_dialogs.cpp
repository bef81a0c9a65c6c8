// The real question box: Enter and Escape both answer No, so a question that ends
// something (quitting while recording) needs the Yes button itself.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "platform/qt_dialogs.h"

class TestQtDialogs : public QObject {
    Q_OBJECT
private slots:
    void askAnswers_data() {
        QTest::addColumn<int>("key");  // 0: the Yes button clicked
        QTest::addColumn<bool>("yes");
        QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << false;
        QTest::newRow("Yes clicked") << 0 << true;
    }
    void askAnswers() {
        QFETCH(int, key);
        QFETCH(bool, yes);
        lp::platform::QtDialogs dialogs;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box);
            seen = true;
            if (key != 0) {
                QTest::keyClick(box, Qt::Key(key));
            } else {
                box->button(QMessageBox::Yes)->click();
            }
        });
        QCOMPARE(dialogs.ask(nullptr, QStringLiteral("Stop it?"), lp::platform::kProgramTitle),
                 yes);
        QVERIFY(seen);
    }
};

QTEST_MAIN(TestQtDialogs)
#include "test_qt_dialogs.moc"
