// The panel over the live cycle and the recording (the view's rules: test_live_cycle):
// its face, what it renders, and where each button goes.
#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "face.h"
#include "keys.h"
#include "live/limit_watch.h"
#include "panel/panel_memory.h"
#include "panel_rig.h"
#include "temp_settings.h"

using namespace lp;
using test::liveFrame;
using test::PanelRig;

namespace {

// Counts the events of one type `watched` receives (the whole program's: qApp).
struct EventCount : QObject {
    EventCount(QObject* watched, QEvent::Type type) : type_(type) {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override {
        count += event->type() == type_ ? 1 : 0;
        return false;
    }
    QEvent::Type type_;
    int count = 0;
};

QString spoken(QWidget* w) {
    return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Description);
}

// The darkest ink of a control as drawn over its window (its lightness, 0 black to 255).
int darkestInk(QWidget* w) {
    const QImage face =
        w->window()->grab(QRect(w->mapTo(w->window(), QPoint()), w->size())).toImage();
    int darkest = 255;
    for (int y = 0; y < face.height(); ++y) {
        for (int x = 0; x < face.width(); ++x) {
            darkest = std::min(darkest, face.pixelColor(x, y).lightness());
        }
    }
    return darkest;
}

const QStringList kPanelFace{"Panel|Panel   V7.0|Panel",
                             "CmdAc|A / C",
                             "CmdFs|F / S",
                             "CmdMax|MAX",
                             "CmdUp||Range up",
                             "CmdDown||Range down",
                             "CmdRe|RESET",
                             "CmdRec|REC",
                             "Cmd|LEVEL",
                             "SSCommand2|<---RESET--->",
                             "CmdList|LIST",
                             "CmdGraph|GRAPH",
                             "CmdAnalog|ANALOG",
                             "CmdLimits|LIMITS",
                             "CmdMemory|MEMORY",
                             "CmdPc|PC SAMPLING",
                             "CmdSave|SAVE  AS",
                             "CmdStart|START RECORDING",
                             "CmdStop|STOP RECORDING",
                             "CmdOpen|OPEN  FILE",
                             "CmdSystem|SYSTEM TIME SET",
                             "CmdExit|EXIT",
                             "LblRec|RECORD",
                             "LblFull|FULL",
                             "LblMx|MAX",
                             "LblUnder|UNDER",
                             "LblOver|OVER",
                             "ImageBT||Low battery",
                             "LblRecording|RECORDING",
                             "LblVal|---.-|Level",
                             "LblAc|A|Frequency weighting",
                             "LblSF|FAST|Time weighting",
                             "LblMax||MAX level",
                             "LblComm|COM1|Link state",
                             "LblSample|2 sec|SAMPLING TIME",
                             "LblFile||FILE NAME",
                             "LblCount||Records written"};

}  // namespace

class TestPanel : public QObject {
    Q_OBJECT
private slots:
    void face_data() { lp::test::faceRows(kPanelFace); }
    void face() {
        PanelRig rig;
        test::checkFace(*rig.panel);
    }

    // The window shows the cycle's view and says each value to assistive technology.
    void rendersTheLiveView() {
        PanelRig rig;
        const auto lamps = [&] {
            QString lit;
            for (const char* lamp :
                 {"LblRec", "LblFull", "LblMx", "ImageBT", "LblUnder", "LblOver"}) {
                lit += rig.get(lamp)->isVisible() ? u'1' : u'0';
            }
            return lit;
        };
        rig.meterShows(liveFrame(0xF8, 0xE3, 0x12));
        QCOMPARE(lamps(), "111111");
        rig.meterShows(liveFrame(0x07, 0x10, 0x52));  // range code 7, 105.2 dB
        QCOMPARE(lamps(), "000000");
        const QStringList shown = {rig.text("LblVal"), rig.text("LblAc"),   rig.text("LblSF"),
                                   rig.text("LblUp"),  rig.text("LblDown"), rig.text("LblMax"),
                                   rig.text("LblMin"), rig.text("LblTime")};
        QCOMPARE(shown.join('|'), "105.2|  C|FAST|0|0|105.2|31.2|14:05:10");
        QStringList said;
        for (const char* name : {"LblVal", "LblMax", "LblMin", "LblTime", "LblComm", "LblSample"}) {
            said << spoken(rig.get(name));
        }
        QCOMPARE(said.join('|'), "105.2 dB|105.2 dB|31.2 dB|14:05:10|COM1|2 sec");
        rig.click("SSCommand2");
        QCOMPARE(rig.text("LblMax") + '|' + rig.text("LblMin"), "105.2|105.2");

        const int levelInk = darkestInk(rig.get("LblVal"));
        const int weightingInk = darkestInk(rig.get("LblAc"));
        rig.meterOn = false;
        rig.clock.advance(3000);
        QVERIFY(rig.get("LblComm")->property("silent").toBool());  // shown in red
        // The marks the meter no longer confirms are dimmed.
        QVERIFY2(darkestInk(rig.get("LblVal")) > levelInk + 60 &&
                     darkestInk(rig.get("LblAc")) > weightingInk + 60,
                 qPrintable(QStringLiteral("%1 %2 -> %3 %4")
                                .arg(levelInk)
                                .arg(weightingInk)
                                .arg(darkestInk(rig.get("LblVal")))
                                .arg(darkestInk(rig.get("LblAc")))));
        // A click on the link label toggles the dated caption.
        QTest::mouseClick(rig.get("LblComm"), Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0   20090601"));
        QTest::mouseClick(rig.get("LblComm"), Qt::LeftButton);
        QCOMPARE(rig.panel->windowTitle(), QString("Panel   V7.0"));
    }

    void keysSendTheirLetters_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("meterRecords");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("A / C") << "CmdAc" << false << QByteArray("A");
        QTest::newRow("F / S") << "CmdFs" << false << QByteArray("F");
        QTest::newRow("MAX") << "CmdMax" << false << QByteArray("M");
        QTest::newRow("up") << "CmdUp" << false << QByteArray("U");
        QTest::newRow("down") << "CmdDown" << false << QByteArray("P");
        QTest::newRow("RESET") << "CmdRe" << false << QByteArray("EEE");
        QTest::newRow("REC, meter not recording") << "CmdRec" << false << QByteArray("S");
        QTest::newRow("REC, meter recording") << "CmdRec" << true << QByteArray("T");
        QTest::newRow("LEVEL does nothing") << "Cmd" << false << QByteArray();
    }
    void keysSendTheirLetters() {
        QFETCH(QString, button);
        QFETCH(bool, meterRecords);
        PanelRig rig;
        rig.meterShows(liveFrame(meterRecords ? 0x48 : 0x40, 0x06, 0x53));
        rig.get<QPushButton>(qPrintable(button))->click();
        rig.clock.advance(1000);
        QTEST(rig.commands(), "sent");
    }

    void systemTimeSetWaitsWithMemoryDisabled() {
        PanelRig rig;
        rig.clock.advance(400);
        rig.click("CmdSystem");  // the clock bytes and the label: test_live_cycle
        QVERIFY(!rig.get<QPushButton>("CmdMemory")->isEnabled());
        rig.clock.advance(600);
        QVERIFY(rig.get<QPushButton>("CmdMemory")->isEnabled());
    }

    // The box, a set and a refused answer (the answers' rules: test_live_rules).
    void samplingTimeBox() {
        PanelRig rig;
        rig.sampleEvery("7");
        const auto& box = rig.dialogs.shown[0];
        QCOMPARE(box.title + '|' + box.text + '|' + box.proposed,
                 "Input Sampling Time|Enter the SAMPLING TIME in seconds\r\n(1 <= t <= 86400) |2");
        QCOMPARE(rig.text("LblSample"), QString("7 sec"));
        rig.sampleEvery("abc");
        QCOMPARE(rig.dialogs.shown[1].proposed, QString("7"));
        QCOMPARE(rig.text("LblSample"), QString("7 sec"));
        QCOMPARE(rig.dialogs.messages().size(), 1);
        QVERIFY(rig.dialogs.messages()[0].contains("from 1 to 86400"));
    }

    // START asks for a file first; a run counts and blinks; OPEN FILE ends it, EXIT
    // after asking, closing the window at once; the file chosen again is appended to;
    // a full file is told.
    void recordingControls() {
        QTemporaryDir dir;
        const QString path = dir.filePath("run.sdm");
        PanelRig rig;
        QSignalSpy exit(rig.panel.get(), &panel::Panel::exitRequested);
        QVERIFY(rig.get<QPushButton>("CmdStop")->isEnabled());
        rig.dialogs.saveNames.push_back(path);
        rig.click("CmdStart");
        QCOMPARE(rig.dialogs.shown[0].text, QString("You have to creat a file first ."));
        QCOMPARE(rig.text("LblFile"), QString("run.sdm"));
        QVERIFY(!rig.recording.on());

        rig.sampleEvery("1");
        rig.click("CmdStart");
        QVERIFY(!rig.get<QPushButton>("CmdStart")->isEnabled());
        QVERIFY(rig.get("LblRecording")->isVisible());
        rig.clock.advance(1000);
        QCOMPARE(rig.text("LblCount"), QString("1"));
        QVERIFY(!rig.get("LblRecording")->isVisible());  // blinks once per sample
        rig.click("CmdOpen");
        QCOMPARE(rig.text("LblCount"), QString());
        QVERIFY(!rig.get<QPushButton>("CmdStop")->isEnabled());
        QVERIFY(!rig.recording.on());

        rig.click("CmdStart");
        rig.clock.advance(1000);
        // EXIT while recording asks; No keeps the run going, Yes ends it and the program.
        rig.dialogs.asks = {false, true};
        rig.click("CmdExit");
        QCOMPARE(rig.dialogs.shown.back().kind, QString("ask"));
        QCOMPARE(rig.dialogs.shown.back().text,
                 QString("A recording is running. Stop it and quit?"));
        QCOMPARE(exit.size(), 0);
        QVERIFY(rig.recording.on());
        rig.click("CmdExit");
        QCOMPARE(exit.size(), 1);
        QVERIFY(!rig.recording.on());
        const QByteArray written = rig.port.written;
        rig.clock.advance(3000);
        QCOMPARE(rig.port.written, written);           // no more polls either
        QCOMPARE(test::readAll(path).count('\n'), 4);  // two runs of one line each

        // The file chosen again: the dialog offers no replacing (the recording appends),
        // and the panel says what the file holds.
        rig.dialogs.saveNames.push_back(path);
        rig.click("CmdSave");
        const auto& shown = rig.dialogs.shown;
        QCOMPARE(shown[shown.size() - 2].kind, QString("append"));
        QCOMPARE(shown.back().text, QString("appending to %1 (2 records in 2 runs)").arg(path));

        // Closed otherwise (the close box, the desktop logging out): no question, the
        // run ends at once.
        PanelRig closed;
        QSignalSpy closedExit(closed.panel.get(), &panel::Panel::exitRequested);
        closed.dialogs.saveNames.push_back(dir.filePath("closed.sdm"));
        closed.click("CmdSave");
        closed.click("CmdStart");
        QVERIFY(closed.recording.on());
        const size_t shownBefore = closed.dialogs.shown.size();
        QVERIFY(closed.panel->close());
        QCOMPARE(closed.dialogs.shown.size(), shownBefore);
        QCOMPARE(closedExit.size(), 1);
        QVERIFY(!closed.recording.on());

        PanelRig full;
        full.dialogs.saveNames.push_back(QStringLiteral("/dev/full"));
        full.click("CmdSave");
        full.click("CmdStart");
        QCOMPARE(full.dialogs.messages().size(), 1);
        QVERIFY(full.dialogs.messages()[0].contains("/dev/full"));
        QVERIFY(full.get<QPushButton>("CmdStart")->isEnabled());
    }

    // The alarm box sets the alarms; an event lights the lamp, reddens the level, is listed.
    void alarmBox() {
        PanelRig rig;  // 65.3 dB, a sample every 2 s
        const auto red = [&] {
            const QImage face = rig.get("LblVal")->grab().toImage();
            for (int y = 0; y < face.height(); ++y) {
                for (int x = 0; x < face.width(); ++x) {
                    const QColor c = face.pixelColor(x, y);
                    if (c.red() > 150 && c.green() < 90) {
                        return true;
                    }
                }
            }
            return false;
        };
        rig.get<QDoubleSpinBox>("SpnAlarmLevel")->setValue(60.0);
        rig.get<QSpinBox>("SpnAlarmSeconds")->setValue(2);
        rig.get<QCheckBox>("ChkAlarm")->setChecked(true);
        QCOMPARE(rig.alarms.view().levels, (QList<live::AlarmLevel>{{60.0, 2}}));
        auto* events = rig.get<QListWidget>("LstAlarmEvents");
        QCOMPARE(spoken(events), "no events");
        rig.clock.advance(2100);  // the first sample has lasted 2 s
        QVERIFY(rig.get("LblAlarm")->isVisible());
        QCOMPARE(spoken(rig.get("LblAlarm")), "on");
        QVERIFY(red());
        QCOMPARE(events->count(), 1);
        QVERIFY2(events->item(0)->text().endsWith("60.0 dB going on"),
                 qPrintable(events->item(0)->text()));
        rig.meterShows(liveFrame(0x40, 0x05, 0x53));  // 55.3 dB
        rig.clock.advance(2000);
        QVERIFY(!rig.get("LblAlarm")->isVisible());
        QVERIFY(!red());
        QCOMPARE(events->count(), 1);
        QVERIFY2(spoken(events).startsWith("1 event(s), newest: ") &&
                     spoken(events).contains("60.0 dB 2 s Lmax 65.3"),
                 qPrintable(spoken(events)));
        // A row longer than the box wraps (shown whole) and is its own tool tip.
        const QListWidgetItem* row = events->item(0);
        QCOMPARE(row->toolTip(), row->text());
        events->setFixedWidth(events->fontMetrics().horizontalAdvance(row->text()) / 2);
        QTRY_VERIFY(events->visualItemRect(row).height() >= 2 * events->fontMetrics().height());
    }

    // Tab meets the controls in reading order: a control wholly above another comes
    // before it, and of two side by side the left one first; the first has the focus
    // when the window opens.
    void tabOrderFollowsTheFace() {
        PanelRig rig;
        QWidget* panel = rig.panel.get();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
        // The ring of Tab stops, from the control that has the focus when the window opens.
        QList<QWidget*> chain{QApplication::focusWidget()};
        QVERIFY(chain.first());
        for (QTest::keyClick(chain.last(), Qt::Key_Tab);
             QApplication::focusWidget() != chain.first();
             QTest::keyClick(chain.last(), Qt::Key_Tab)) {
            chain << QApplication::focusWidget();
            QVERIFY(chain.size() < 100);
        }
        QVERIFY(chain.size() > 20);
        const auto before = [panel](QWidget* a, QWidget* b) {
            const QRect ra(a->mapTo(panel, QPoint()), a->size());
            const QRect rb(b->mapTo(panel, QPoint()), b->size());
            const bool sideBySide = ra.top() <= rb.bottom() && rb.top() <= ra.bottom();
            return ra.bottom() < rb.top() || (sideBySide && ra.left() < rb.left());
        };
        for (qsizetype i = 0; i < chain.size(); ++i) {
            for (qsizetype j = i + 1; j < chain.size(); ++j) {
                QVERIFY2(!before(chain[j], chain[i]),
                         qPrintable(chain[j]->objectName() + " after " + chain[i]->objectName()));
            }
        }
    }

    // A new level repaints the digits alone, not the LCD beneath them; neither it nor a
    // new MAX or TIME asks for a layout pass; the same level again repaints nothing.
    void newLevelRepaintsTheDigitsAlone() {
        PanelRig rig;  // 65.3 dB; a sample (a new TIME) at 1 s, 3 s
        QVERIFY(QTest::qWaitForWindowExposed(rig.panel.get()));
        const auto shown = [&](const QByteArray& frame) {
            for (int pass = 0; pass < 3; ++pass) {  // a layout pass may ask for the next one
                QApplication::processEvents();
            }
            EventCount digits(rig.get("LblVal"), QEvent::Paint);
            EventCount lcd(rig.get<QWidget>("Lcd"), QEvent::Paint);
            EventCount layouts(qApp, QEvent::LayoutRequest);
            rig.meterShows(frame);
            QApplication::processEvents();
            return QList<int>{digits.count, lcd.count, layouts.count};
        };
        (void)shown(rig.frame);  // the first frame fills the whole LCD
        // 65.4 dB: a new MAX, and the sample at 1 s a new TIME
        QCOMPARE(shown(liveFrame(0x40, 0x06, 0x54)).last(), 0);
        QCOMPARE(shown(liveFrame(0x40, 0x06, 0x53)), QList<int>({1, 0, 0}));
        QCOMPARE(shown(liveFrame(0x40, 0x06, 0x53)), QList<int>({0, 0, 0}));
    }

    void keysRunCommands_data() {
        test::keyRows({{"Ctrl+O", "CmdOpen"}, {"Ctrl+S", "CmdSave"}, {"Ctrl+Q", "CmdExit"}});
    }
    void keysRunCommands() {
        QFETCH(QKeySequence, keys);
        QFETCH(QString, command);
        PanelRig rig;
        QCOMPARE(test::runsOnKeys(*rig.panel, command, keys), 1);
    }

    void windowButtonsAskForTheirWindows() {
        PanelRig rig;
        QSignalSpy list(rig.panel.get(), &panel::Panel::listRequested);
        QSignalSpy graph(rig.panel.get(), &panel::Panel::graphRequested);
        QSignalSpy memory(rig.panel.get(), &panel::Panel::memoryRequested);
        QSignalSpy open(rig.panel.get(), &panel::Panel::openRequested);
        for (const char* b : {"CmdList", "CmdMemory", "CmdGraph", "CmdOpen"}) {
            rig.click(b);
        }
        QCOMPARE(QList<qsizetype>({list.size(), memory.size(), graph.size(), open.size()}),
                 QList<qsizetype>({1, 1, 1, 1}));
    }

    // A settings file edited by hand: a rule with an unknown figure, a rolling figure
    // other than LAeq or hours out of range is left out, as are a sampling time out of
    // 1..86400 s and a recording file whose folder is gone; the rest is taken.
    void rememberedValuesOutOfRangeAreLeftOut() {
        test::TempSettings settings;
        QSettings& file = settings;
        file.setValue("panel/samplingSeconds", 0);
        file.setValue("panel/recordingFile", "/no/such/folder/site.sdm");
        const QList<QVariantMap> rules = {
            {{"figure", "laeq"},
             {"rolling", true},
             {"seconds", 300},
             {"from", 0},
             {"to", 24},
             {"limit", 85}},
            {{"figure", "lzeq"}, {"seconds", 900}, {"from", 7}, {"to", 23}, {"limit", 60}},
            {{"figure", "lmax"}, {"rolling", true}, {"seconds", 900}, {"limit", 60}},
            {{"figure", "l90"}, {"seconds", 3600}, {"from", 24}, {"to", 6}, {"limit", 45}},
            {{"figure", "l10"},
             {"seconds", 900},
             {"from", 7},
             {"to", 23},
             {"limit", 70},
             {"warning", 65}}};
        file.beginWriteArray("limits/rules");
        for (int i = 0; i < rules.size(); ++i) {
            file.setArrayIndex(i);
            for (const auto& [key, value] : rules[i].asKeyValueRange()) {
                file.setValue(key, value);
            }
        }
        file.endArray();

        PanelRig rig;
        live::LimitWatch watch;
        panel::rememberPanelSettings(*rig.panel, rig.cycle, rig.recording, watch, settings);
        QStringList taken;
        for (const live::LiveLimitRule& rule : watch.options().rules) {
            taken << rule.text;
        }
        QCOMPARE(taken, QStringList({"laeq~5min,00-24,85", "l10,15min,07-23,70,warn=65"}));
        QCOMPARE(rig.cycle.samplingSeconds(), live::LiveView().samplingSeconds);
        QCOMPARE(rig.recording.view().file, QString());
    }
};

QTEST_MAIN(TestPanel)
#include "test_panel.moc"
