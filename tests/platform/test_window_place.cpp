// Where windows open (the cascade rule, fitted to the screen and the menu bar), what they
// remember of their place between runs, and the notice that stands in a caption for a
// moment.
#include <QHeaderView>
#include <QLayout>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QWidget>
#include <memory>

#include "platform/cascade_place.h"
#include "platform/window_memory.h"
#include "platform/window_place.h"
#include "temp_settings.h"

using lp::platform::cascadePlace;

class TestWindowPlace : public QObject {
    Q_OBJECT
private slots:
    void cascade_data() {
        QTest::addColumn<QList<QPoint>>("taken");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QPoint>("place");
        const QRect screen(0, 0, 1000, 800);
        QTest::newRow("free") << QList<QPoint>{{0, 0}, {130, 100}} << screen << QPoint(100, 100);
        QTest::newRow("taken") << QList<QPoint>{{100, 100}} << screen << QPoint(130, 130);
        QTest::newRow("nearly there") << QList<QPoint>{{114, 86}} << screen << QPoint(130, 130);
        QTest::newRow("half a step off") << QList<QPoint>{{115, 100}} << screen << QPoint(100, 100);
        QTest::newRow("down the cascade")
            << QList<QPoint>{{160, 160}, {100, 100}, {130, 130}} << screen << QPoint(190, 190);
        QTest::newRow("a gap in it")
            << QList<QPoint>{{160, 160}, {100, 100}} << screen << QPoint(130, 130);
        QTest::newRow("off the screen: the first place")
            << QList<QPoint>{{100, 100}, {130, 130}} << QRect(0, 0, 150, 150) << QPoint(100, 100);
        QTest::newRow("no screen known")
            << QList<QPoint>{{100, 100}} << QRect() << QPoint(130, 130);
    }
    void cascade() {
        QFETCH(QList<QPoint>, taken);
        QFETCH(QRect, area);
        QTEST(cascadePlace(QPoint(100, 100), taken, QPoint(30, 30), area), "place");
    }

    // Two windows asked for the same first place: the second opens a step away.
    void openWindowsTakePlaces() {
        QWidget first;
        lp::platform::placeWindow(&first, QPoint(40, 40));
        first.show();
        QWidget second;
        lp::platform::placeWindow(&second, QPoint(40, 40));
        QVERIFY(second.pos().x() > 40 && second.pos().y() > 40);
        first.hide();
        lp::platform::placeWindow(&second, QPoint(40, 40));
        QCOMPARE(second.pos(), QPoint(40, 40));
    }

    // A window closed and made again shows the place, splitter, column widths, sort and
    // tab it had; one remembered off the screen comes back wholly on it; a table that
    // has other columns now keeps its own; after the settings are forgotten an open
    // window writes nothing when it closes.
    void windowRemembersItsPlace() {
        struct Probe : QWidget {
            explicit Probe(int columns) {
                setObjectName("Probe");
                splitter = new QSplitter(this);
                splitter->setObjectName("split");
                splitter->setFixedSize(400, 100);
                splitter->addWidget(new QWidget);
                splitter->addWidget(new QWidget);
                table = new QTableWidget(2, columns, splitter);
                table->setObjectName("table");
                table->setSortingEnabled(true);
                tabs = new QTabWidget(this);
                tabs->setObjectName("tabs");
                for (const char* name : {"a", "b", "c"}) {
                    tabs->addTab(new QWidget, name);
                }
            }
            QSplitter* splitter;
            QTableWidget* table;
            QTabWidget* tabs;
        };
        lp::test::TempSettings settings;
        lp::platform::WindowMemory memory(settings);
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QList<int> panes;
        {
            Probe probe(3);
            probe.show();
            probe.setGeometry(area.left() + 40, area.top() + 50, 400, 300);
            probe.splitter->setSizes({100, 150, 150});
            panes = probe.splitter->sizes();
            QVERIFY(panes != Probe(3).splitter->sizes());
            probe.table->horizontalHeader()->resizeSection(1, 77);
            probe.table->sortByColumn(2, Qt::DescendingOrder);
            probe.tabs->setCurrentIndex(2);
            probe.close();
        }
        {
            Probe again(3);
            again.show();
            QCOMPARE(again.geometry(), QRect(area.left() + 40, area.top() + 50, 400, 300));
            QCOMPARE(again.splitter->sizes(), panes);
            QCOMPARE(again.table->horizontalHeader()->sectionSize(1), 77);
            QCOMPARE(again.table->horizontalHeader()->sortIndicatorSection(), 2);
            QCOMPARE(again.table->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
            QCOMPARE(again.tabs->currentIndex(), 2);
            again.close();
        }
        settings.settings->setValue("windows/Probe/geometry",
                                    QRect(area.right() + 500, area.bottom() - 100, 300, 200));
        {
            Probe elsewhere(4);
            const int width = elsewhere.table->horizontalHeader()->sectionSize(1);
            elsewhere.show();
            QVERIFY(area.contains(elsewhere.frameGeometry()));
            QCOMPARE(elsewhere.size(), QSize(300, 200));
            QCOMPARE(elsewhere.table->horizontalHeader()->sectionSize(1), width);
            lp::platform::forgetSettings(settings);
            elsewhere.close();
        }
        QCOMPARE(settings.settings->allKeys(), QStringList());
    }

    // A window placed partly off the screen, or larger than it, opens wholly on it.
    void fitsTheScreen_data() {
        QTest::addColumn<QPoint>("fromCorner");  // the first place, from the bottom right
        QTest::addColumn<QSize>("size");
        QTest::newRow("half off") << QPoint(-150, -100) << QSize(300, 200);
        QTest::newRow("larger than the screen") << QPoint(-10, -10) << QSize(5000, 4000);
    }
    void fitsTheScreen() {
        QFETCH(QPoint, fromCorner);
        QFETCH(QSize, size);
        QWidget window;
        const QRect area = window.screen()->availableGeometry();
        window.resize(size);
        lp::platform::placeWindow(&window, area.bottomRight() + fromCorner);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY2(area.contains(window.frameGeometry()), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                                       .arg(window.x())
                                                                       .arg(window.y())
                                                                       .arg(window.width())
                                                                       .arg(window.height())));
    }

    // A window of a fixed size narrower than its menu bar's commands opens wide enough
    // for all of them (the bar needs no button for the ones that did not fit).
    void widensToItsMenu() {
        QMainWindow window;
        auto* client = new QWidget(&window);
        client->setFixedSize(60, 40);
        window.setCentralWidget(client);
        window.layout()->setSizeConstraint(QLayout::SetFixedSize);
        for (const char* command : {"Pause", "Continue", "Save", "Graph", "Print", "Export CSV"}) {
            window.menuBar()->addAction(QString::fromLatin1(command));
        }
        lp::platform::placeOnScreenAtShow(window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.width() > 60);
        QCOMPARE(window.minimumWidth(), window.maximumWidth());
        const auto* more = window.menuBar()->findChild<QToolButton*>("qt_menubar_ext_button");
        QVERIFY(more != nullptr);
        QVERIFY(!more->isVisible());
    }

    // The caption comes back after the notice; a second notice ends with its own time
    // and brings the caption back, not the first notice; a caption set meanwhile stays.
    void captionNotice() {
        QWidget w;
        w.setWindowTitle("List");
        lp::platform::showCaptionNotice(&w, "Saved to a.sdm", 50);
        QCOMPARE(w.windowTitle(), "Saved to a.sdm");
        lp::platform::showCaptionNotice(&w, "Saved to b.sdm", 200);
        QTest::qWait(100);
        QCOMPARE(w.windowTitle(), "Saved to b.sdm");
        QTRY_COMPARE(w.windowTitle(), "List");
        lp::platform::showCaptionNotice(&w, "Saved to c.sdm", 50);
        w.setWindowTitle("12 Completed");
        QTest::qWait(100);
        QCOMPARE(w.windowTitle(), "12 Completed");
    }
};

QTEST_MAIN(TestWindowPlace)
#include "test_window_place.moc"
