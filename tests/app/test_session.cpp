// The whole program on the simulated meter in virtual time: the panel follows the
// meter, a PC recording writes its file, the live list takes the same samples, and
// the file opens in the saved-file window.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

#include "app/session.h"
#include "charts/histogram.h"
#include "charts/real_time_chart.h"
#include "charts/record_plot.h"
#include "files.h"
#include "level_records.h"
#include "lists/live_list_window.h"
#include "lists/saved_file_window.h"
#include "live/limit_watch.h"
#include "live/open_port.h"
#include "memory/downloaded_set_window.h"
#include "memory/memory_window.h"
#include "panel/limit_window.h"
#include "panel/panel.h"
#include "platform/virtual_clock.h"
#include "platform/window_memory.h"
#include "scripted_dialogs.h"
#include "shown_window.h"
#include "sim/sim_meter.h"
#include "survey/survey_window.h"
#include "temp_settings.h"

using namespace lp;
using test::shownWindow;

namespace {

QPushButton* button(QWidget* w, const char* name) {
    auto* b = w->findChild<QPushButton*>(QLatin1String(name));
    if (!b) {
        qFatal("no button %s", name);
    }
    return b;
}

QString labelText(QWidget* w, const char* name) {
    auto* l = w->findChild<QLabel*>(QLatin1String(name));
    return l ? l->text() : QStringLiteral("<no %1>").arg(QLatin1String(name));
}

// The program on the simulated meter, in virtual time, with scripted dialogs.
struct SimRig {
    explicit SimRig(const QDateTime& start = QDateTime(QDate(2009, 6, 1), QTime(14, 5, 9)),
                    app::Session::Reopen reopen = {}, QSettings* settingsFile = nullptr)
        : clock(start) {
        live::OpenedPort port = live::openPort(kSim, clock).port;
        meter = port.simulator.get();
        transport = port.transport.get();
        session = std::make_unique<app::Session>(std::move(port), kSim, clock, dialogs,
                                                 settingsFile ? *settingsFile : settings, nullptr,
                                                 std::move(reopen));
        session->panel().show();
    }
    panel::Panel& panel() { return session->panel(); }

    // MEMORY, TIME OF RECORDING, the first set chosen and its records downloaded.
    memory::DownloadedSetWindow* showSetOne() {
        button(&panel(), "CmdMemory")->click();
        if (!clock.advanceUntil([] { return shownWindow<memory::MemoryWindow>() != nullptr; },
                                5000)) {
            return nullptr;
        }
        auto* mem = shownWindow<memory::MemoryWindow>();
        const memory::MemoryBrowser& facts = mem->browser();
        mem->onTimeOfRecClicked();
        (void)clock.advanceUntil([&] { return facts.setRows().size() == facts.status().setCount; },
                                 5000);
        clock.advance(100);
        mem->onSetRowClicked(1);
        mem->onShowDataClicked();
        (void)clock.advanceUntil(
            [] { return shownWindow<memory::DownloadedSetWindow>() != nullptr; }, 10000);
        return shownWindow<memory::DownloadedSetWindow>();
    }

    inline static const live::PortRequest kSim{live::PortKind::Simulated, 0, {}, "SIM"};
    platform::VirtualClock clock;
    test::ScriptedDialogs dialogs;
    test::TempSettings settings;
    sim::SimMeter* meter = nullptr;  // the session's port owns it
    platform::Transport* transport = nullptr;
    std::unique_ptr<app::Session> session;
};

}  // namespace

class TestSession : public QObject {
    Q_OBJECT
private slots:
    void recordListAndOpen() {
        QTemporaryDir dir;
        SimRig rig(QDateTime(QDate(2009, 6, 1), QTime(23, 59, 50)));
        rig.meter->setFixedLevel(65.3);
        panel::Panel& panel = rig.panel();

        rig.clock.advance(1000);

        // One-second samples into a file, and the live list beside the panel.
        rig.dialogs.inputs.push_back(QStringLiteral("1"));
        button(&panel, "CmdPc")->click();
        const QString path = dir.filePath("run.sdm");
        rig.dialogs.saveNames.push_back(path);
        button(&panel, "CmdSave")->click();
        button(&panel, "CmdStart")->click();
        button(&panel, "CmdList")->click();

        rig.clock.advance(5000);
        // Saving the live list over the file being recorded is refused: the recording
        // keeps every sample.
        rig.dialogs.saveNames.push_back(path);
        shownWindow<lists::LiveListWindow>()->save();
        QCOMPARE(rig.dialogs.messages().size(), 1);
        QVERIFY2(rig.dialogs.messages()[0].contains("a running recording writes to that file"),
                 qPrintable(rig.dialogs.messages()[0]));
        rig.dialogs.shown.clear();
        rig.meter->setFixedLevel(80.0);
        rig.clock.advance(5000);
        button(&panel, "CmdStop")->click();

        // The file holds one line per sample (its layout: test_record_file), across
        // midnight; the live list holds the same samples.
        const QList<QByteArray> lines = test::readAll(path).split('\n');
        const int samples = lines.size() - 2;  // header and the empty tail after the last CR LF
        QVERIFY2(samples >= 9 && samples <= 11, qPrintable(QString::number(samples)));
        QVERIFY(lines[samples].startsWith(QByteArray::number(samples) + "\t2009/06/02 00:00:0"));
        QVERIFY(lines[samples].endsWith("\t80.0\t\r"));
        auto* list = shownWindow<lists::LiveListWindow>();
        QVERIFY(list->recordCount() >= samples);
        // The run's metadata beside it, from the panel's program and sampling time (what
        // it holds: test_run_metadata).
        const QJsonObject run =
            QJsonDocument::fromJson(test::readAll(path + ".meta").split('\n').value(0)).object();
        QVERIFY(run["program"].toString().startsWith("levelpanel "));
        QCOMPARE(run["every_s"].toInt(), 1);

        // OPEN FILE lists the recording.
        rig.dialogs.openNames.push_back(path);
        button(&panel, "CmdOpen")->click();
        auto* saved = shownWindow<lists::SavedFileWindow>();
        QVERIFY(saved);
        QCOMPARE(saved->recordCount(), samples);
        QVERIFY2(rig.dialogs.messages().isEmpty(), qPrintable(rig.dialogs.messages().join('|')));
        // Its histogram names the file.
        button(saved, "Cmd01dB")->click();
        QCOMPARE(shownWindow<charts::Histogram>()->windowTitle(), "Histogram: run.sdm");
        QApplication::closeAllWindows();
    }

    // MEMORY, TIME OF RECORDING, a set chosen and downloaded: its Plot and then a saved
    // file's share the session's one list plot; its Ln offers the resolution chooser and
    // Survey… opens the set's records in the Survey window.
    void downloadedSetAndFileShareOnePlot() {
        QTemporaryDir dir;
        SimRig rig;
        const int setOne = rig.meter->sets().at(0).recordCount();
        panel::Panel& panel = rig.panel();
        rig.clock.advance(1000);

        memory::DownloadedSetWindow* data = rig.showSetOne();
        QVERIFY(data);
        QCOMPARE(data->recordCount(), setOne);

        // Plot: the downloaded set's own levels, two seconds later.
        button(data, "CmdDplot")->click();
        charts::RecordPlot* plot = rig.session->listPlot();
        QCOMPARE(plot->title(), QStringLiteral("Set 1"));
        rig.clock.advance(2000);
        QVERIFY(plot->curveDrawn());
        QCOMPARE(plot->records().bytes(setOne - 1, records::Field::Level),
                 data->records().store().bytes(setOne - 1, records::Field::Level));

        data->lnTool()->trigger();
        QVERIFY(data->findChild<QWidget*>(QStringLiteral("PicResolution"))->isVisible());
        data->surveyTool()->trigger();
        auto* survey = shownWindow<survey::SurveyWindow>();
        QVERIFY(survey);
        QCOMPARE(survey->result().records, qint64(setOne));
        QCOMPARE(survey->windowTitle(), QStringLiteral("Survey: Set 1 from the meter"));
        survey->plotPeriod(0);  // its records taken from memory
        QCOMPARE(rig.session->listPlot()->records().count(),
                 qsizetype(survey->result().periods.list.front().records));

        const QString path = dir.filePath("set1.sdm");
        QVERIFY(test::writeFile(path, test::recordFile({{"1", "2009/06/01 14:05:09", "65.3"}})));
        rig.dialogs.openNames.push_back(path);
        button(&panel, "CmdOpen")->click();
        shownWindow<lists::SavedFileWindow>()->plotTool()->trigger();
        QCOMPARE(rig.session->listPlot()->title(), QStringLiteral("set1.sdm"));
        QVERIFY2(rig.dialogs.messages().isEmpty(), qPrintable(rig.dialogs.messages().join('|')));
        QApplication::closeAllWindows();
    }

    // GRAPH opens the real-time chart beside the panel on the meter's level. A second GRAPH keeps
    // the one chart; after closing it GRAPH opens it again.
    void graphFollowsTheMeter() {
        SimRig rig;
        rig.meter->setFixedLevel(72.4);
        panel::Panel& panel = rig.panel();
        rig.clock.advance(1000);
        button(&panel, "CmdGraph")->click();
        charts::RealTimeChart* chart = rig.session->realTimeChart();
        QVERIFY(chart && chart->isVisible());
        // Beside the panel, as far as the screen lets it.
        const QRect screen = chart->screen()->availableGeometry();
        QCOMPARE(chart->pos(), QPoint(std::min(panel.frameGeometry().right() + 1,
                                               screen.right() + 1 - chart->frameGeometry().width()),
                                      0));
        rig.clock.advance(2000);
        QCOMPARE(chart->lastLevel(), 72.4f);
        button(&panel, "CmdGraph")->click();
        QCOMPARE(rig.session->realTimeChart(), chart);
        chart->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!rig.session->realTimeChart());
        button(&panel, "CmdGraph")->click();
        QVERIFY(rig.session->realTimeChart());
    }

    // LIMITS: a rule made in the limits window reaches the session's watch, the watch's
    // status after the live samples shows as the rule's line and lamp (read by assistive
    // technology too), the window opened again shows the watch's rules, and Delete
    // removes the rule chosen.
    void limitsReachTheWatch() {
        SimRig rig;
        rig.meter->setFixedLevel(72.4);
        button(&rig.panel(), "CmdLimits")->click();
        panel::LimitWindow* window = rig.session->limitWindow();
        QVERIFY(window && window->isVisible());
        window->findChild<QComboBox*>("CmbLimitLength")->setCurrentText("1min");
        window->findChild<QSpinBox*>("SpnLimitFrom")->setValue(7);
        window->findChild<QSpinBox*>("SpnLimitTo")->setValue(23);
        window->findChild<QDoubleSpinBox*>("SpnLimitDb")->setValue(80.0);
        window->findChild<QDoubleSpinBox*>("SpnLimitWarn")->setValue(75.0);
        button(window, "CmdLimitAdd")->click();
        live::LiveLimitRule rule{assess::LimitFigure::Laeq,
                                 false,
                                 60,
                                 7,
                                 23,
                                 80.0,
                                 75.0,
                                 QStringLiteral("laeq,1min,07-23,80,warn=75")};
        QCOMPARE(rig.session->limitWatch().options().rules, std::vector{rule});
        auto* line = window->findChild<QLabel*>("LblLimitStatus1");
        QCOMPARE(line->text(), QStringLiteral("laeq,1min,07-23,80,warn=75: no sample yet"));

        rig.clock.advance(5000);
        const std::vector<live::LimitStatus>& statuses = rig.session->limitWatch().statuses();
        QCOMPARE(statuses.size(), size_t(1));
        QCOMPARE(line->text(), live::limitStatusText(statuses[0]));
        QVERIFY2(line->text().startsWith("LAeq,1min so far 72.4 · allowed for the remaining "),
                 qPrintable(line->text()));
        QCOMPARE(line->accessibleDescription(), line->text());
        QCOMPARE(window->findChild<QLabel*>("LblLimitLamp1")->accessibleDescription(),
                 QStringLiteral("quiet"));

        window->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        button(&rig.panel(), "CmdLimits")->click();
        window = rig.session->limitWindow();
        auto* table = window->findChild<QTableWidget*>("TblLimits");
        QCOMPARE(table->rowCount(), 1);
        table->setFocus();
        table->selectRow(0);
        QTest::keyClick(table, Qt::Key_Delete);
        QVERIFY(rig.session->limitWatch().options().rules.empty());
        QCOMPARE(table->rowCount(), 0);
        QApplication::closeAllWindows();
    }

    // What is set in one run is there in the next, with the same settings file and the
    // windows remembered as main remembers them: the port, the sampling time, the
    // recording file (not made by being remembered), the alarm, the limit rules, the
    // panel's place, the Survey window's size and tab. Defaults forgets them all.
    void settingsOutliveTheSession() {
        test::TempSettings settings;
        const platform::WindowMemory memory(settings);
        QTemporaryDir dir;
        const QString recording = dir.filePath("site.sdm");
        const QString survey = dir.filePath("day.sdm");
        QVERIFY(test::writeFile(survey, test::recordFile({{"1", "2009/06/01 14:05:09", "65.3"},
                                                          {"2", "2009/06/01 14:05:10", "66.1"}})));
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QPoint panelAt;  // halfway down the room the screen leaves the panel
        QSize surveySize;
        const auto openSurvey = [&](SimRig& rig) {
            rig.dialogs.openNames.push_back(survey + u'\n' + survey);
            button(&rig.panel(), "CmdOpen")->click();
            return shownWindow<survey::SurveyWindow>();
        };
        const live::LiveLimitRule rule{
            assess::LimitFigure::L90,         false, 3600, 22, 6, 45.0, std::nullopt,
            QStringLiteral("l90,1h,22-06,45")};
        {
            SimRig rig({}, {}, settings.settings.get());
            panel::Panel& panel = rig.panel();
            rig.dialogs.inputs.push_back(QStringLiteral("5"));
            button(&panel, "CmdPc")->click();
            rig.dialogs.saveNames.push_back(recording);
            button(&panel, "CmdSave")->click();
            panel.findChild<QDoubleSpinBox*>("SpnAlarmLevel")->setValue(72.5);
            panel.findChild<QSpinBox*>("SpnAlarmSeconds")->setValue(3);
            panel.findChild<QCheckBox*>("ChkAlarm")->setChecked(true);
            button(&panel, "CmdLimits")->click();
            panel::LimitWindow* limits = rig.session->limitWindow();
            limits->findChild<QComboBox*>("CmbLimitFigure")->setCurrentText("l90");
            limits->findChild<QComboBox*>("CmbLimitLength")->setCurrentText("1h");
            limits->findChild<QSpinBox*>("SpnLimitFrom")->setValue(22);
            limits->findChild<QSpinBox*>("SpnLimitTo")->setValue(6);
            limits->findChild<QDoubleSpinBox*>("SpnLimitDb")->setValue(45.0);
            button(limits, "CmdLimitAdd")->click();
            const QSize room = area.size() - panel.frameGeometry().size();
            panelAt = area.topLeft() + QPoint(std::max(0, room.width()), room.height()) / 2;
            QVERIFY(room.height() > 0);
            panel.move(panelAt);
            survey::SurveyWindow* window = openSurvey(rig);
            QVERIFY(window);
            const QSize opened = window->size();
            window->resize(area.width() - 100, area.height() - 100);
            surveySize = window->size();
            QVERIFY(surveySize != opened);
            window->tableTabs()->setCurrentIndex(1);
            QApplication::closeAllWindows();
        }
        {
            SimRig rig({}, {}, settings.settings.get());
            QCOMPARE(live::rememberedPort(settings), live::kSimulatedMeter);
            QCOMPARE(rig.session->liveCycle().samplingSeconds(), 5);
            QCOMPARE(rig.session->recording().view().file, recording);
            QVERIFY(!QFileInfo::exists(recording));
            rig.dialogs.saveNames.push_back(std::nullopt);
            button(&rig.panel(), "CmdSave")->click();
            QCOMPARE(rig.dialogs.shown.back().proposed, recording);  // SAVE AS opens there
            const QList<live::AlarmLevel> alarm{{72.5, 3}};
            QCOMPARE(rig.session->alarms().view().levels, alarm);
            QCOMPARE(rig.session->limitWatch().options().rules, std::vector{rule});
            QCOMPARE(rig.panel().pos(), panelAt);
            survey::SurveyWindow* window = openSurvey(rig);
            QCOMPARE(window->size(), surveySize);
            QCOMPARE(window->tableTabs()->currentIndex(), 1);

            rig.dialogs.asks.push_back(true);
            rig.panel().findChild<QAction*>("MnuDefaults")->trigger();
            QCOMPARE(rig.dialogs.shown.back().text, app::Session::kForgetQuestion);
            QApplication::closeAllWindows();
        }
        QCOMPARE(settings.settings->allKeys(), QStringList());
        SimRig fresh({}, {}, settings.settings.get());
        QCOMPARE(fresh.session->recording().view().file, QString());
        QVERIFY(fresh.session->limitWatch().options().rules.empty());
        QApplication::closeAllWindows();
    }

    // A port that goes away (USB adapter unplugged) is tried again every two seconds;
    // once it is back the panel follows the meter again, without a restart.
    void lostPortReconnects() {
        int attempts = 0;
        platform::Clock* clock = nullptr;
        platform::Transport* reopened = nullptr;
        auto reopen = [&](const live::PortRequest& r) {
            ++attempts;
            if (attempts < 3) {
                return live::PortOpening{{}, QStringLiteral("not back yet")};
            }
            live::PortOpening p = live::openPort(r, *clock);
            p.port.simulator->setFixedLevel(72.4);
            reopened = p.port.transport.get();
            return p;
        };
        SimRig rig(QDateTime(QDate(2009, 6, 1), QTime(14, 5, 9)), reopen);
        clock = &rig.clock;
        rig.meter->setFixedLevel(65.3);
        panel::Panel& panel = rig.panel();
        rig.clock.advance(1000);
        QCOMPARE(labelText(&panel, "LblVal"), QStringLiteral("65.3"));

        // The port goes; while the user reads the notice it comes back on the third try
        // and goes once more: one notice in all.
        rig.dialogs.whileMessageShown = [&] {
            rig.clock.advance(4000);  // two failed attempts
            QCOMPARE(attempts, 2);
            rig.clock.advance(3000);
            QCOMPARE(attempts, 3);
            QCOMPARE(labelText(&panel, "LblComm"), QStringLiteral("SIM"));
            emit reopened->failed(QStringLiteral("gone again"));
        };
        emit rig.transport->failed(QStringLiteral("The meter's port SIM went away."));
        QCoreApplication::processEvents();
        QCOMPARE(rig.dialogs.messages().size(), 1);
        QVERIFY(rig.dialogs.messages().first().startsWith("The meter's port SIM went away."));
        rig.clock.advance(3000);  // back again
        QCOMPARE(attempts, 4);
        QCOMPARE(labelText(&panel, "LblVal"), QStringLiteral("72.4"));
        rig.clock.advance(10000);
        QCOMPARE(attempts, 4);  // no more tries once linked
        QCoreApplication::processEvents();
        QCOMPARE(rig.dialogs.messages().size(), 1);
    }
};

QTEST_MAIN(TestSession)
#include "test_session.moc"
