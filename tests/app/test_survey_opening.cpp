// Where the Survey window opens from: the saved-file window's Survey command (on the
// file listed), several files chosen in the panel's OPEN FILE dialog, and "levelpanel
// FILE..." with several files (through the file viewer); a file that does not read is
// told and opens nothing.
#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <QPushButton>

#include "app/file_viewer.h"
#include "app/session.h"
#include "files.h"
#include "lists/saved_file_window.h"
#include "live/open_port.h"
#include "panel/panel.h"
#include "platform/virtual_clock.h"
#include "records/record_format.h"
#include "scripted_dialogs.h"
#include "shown_window.h"
#include "survey/survey_window.h"
#include "temp_settings.h"

using namespace lp;
using test::shownWindow;

namespace {

QByteArray oneHour(int day) {
    QByteArray bytes = records::kHeaderLine.toByteArray();
    for (int minute = 0; minute < 60; ++minute) {
        records::appendRecordLine(bytes, QByteArray::number(minute + 1),
                                  QStringLiteral("2009/06/%1 10:%2:00")
                                      .arg(day, 2, 10, QLatin1Char('0'))
                                      .arg(minute, 2, 10, QLatin1Char('0'))
                                      .toLatin1(),
                                  "55.0");
    }
    return bytes;
}

}  // namespace

class TestSurveyOpening : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString first_;
    QString second_;

private slots:
    void initTestCase() {
        first_ = dir_.filePath(QStringLiteral("first.sdm"));
        second_ = dir_.filePath(QStringLiteral("second.sdm"));
        QVERIFY(test::writeFile(first_, oneHour(1)) && test::writeFile(second_, oneHour(2)));
    }

    void fromSavedFileWindow() {
        platform::VirtualClock clock;
        test::ScriptedDialogs dialogs;
        test::TempSettings settings;
        app::FileViewer viewer(clock, dialogs, settings);
        lists::SavedFileWindow* list = viewer.open(first_);
        QVERIFY(list && list->surveyAction()->isEnabled());
        list->surveyAction()->trigger();
        survey::SurveyWindow* survey = shownWindow<survey::SurveyWindow>();
        QVERIFY(survey);
        QCOMPARE(survey->result().files, QStringList{first_});
    }

    void severalFilesInTheOpenDialog() {
        platform::VirtualClock clock;
        test::ScriptedDialogs dialogs;
        test::TempSettings settings;
        const live::PortRequest sim{live::PortKind::Simulated, 0, {}, "SIM"};
        app::Session session(live::openPort(sim, clock).port, sim, clock, dialogs, settings);
        session.panel().show();
        dialogs.openNames.push_back(first_ + u'\n' + second_);
        session.panel().findChild<QPushButton*>(QStringLiteral("CmdOpen"))->click();
        survey::SurveyWindow* survey = shownWindow<survey::SurveyWindow>();
        QVERIFY(survey);
        QCOMPARE(survey->result().files, (QStringList{first_, second_}));
        QVERIFY(!qobject_cast<lists::SavedFileWindow*>(QApplication::activeWindow()));
    }

    void severalFiles() {
        platform::VirtualClock clock;
        test::ScriptedDialogs dialogs;
        test::TempSettings settings;
        app::FileViewer viewer(clock, dialogs, settings);
        survey::SurveyWindow* survey = viewer.openSurvey({second_, first_});
        QVERIFY(survey && survey->isVisible());
        QCOMPARE(survey->result().counted, 120);

        QVERIFY(!viewer.openSurvey({first_, dir_.filePath(QStringLiteral("gone.sdm"))}));
        QCOMPARE(dialogs.messages().size(), 1);
        QVERIFY2(dialogs.messages().front().contains(QLatin1String("gone.sdm")),
                 qPrintable(dialogs.messages().front()));
    }
};

QTEST_MAIN(TestSurveyOpening)
#include "test_survey_opening.moc"
