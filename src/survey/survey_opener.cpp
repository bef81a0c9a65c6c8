#include "survey/survey_opener.h"

#include <QCoreApplication>

#include "platform/dialogs.h"
#include "platform/wait_cursor.h"
#include "platform/window_place.h"

namespace lp::survey {

SurveyWindow* openSurveyWindow(const QStringList& files, platform::Dialogs& dialogs,
                               QSettings& settings, PlotOpener openPlot, QWidget* opener) {
    stats::SurveyRecords records;
    {
        const platform::WaitCursor wait;
        // The pointer changes before the files are read.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        records = stats::readSurvey(files, QTimeZone::systemTimeZone(), stats::SampleForm::Compact);
    }
    return showSurveyWindow(std::move(records), dialogs, settings, std::move(openPlot), opener);
}

SurveyWindow* showSurveyWindow(stats::SurveyRecords records, platform::Dialogs& dialogs,
                               QSettings& settings, PlotOpener openPlot, QWidget* opener) {
    if (records.error) {
        dialogs.message(opener, stats::surveyReadFailureText(*records.error, records.misdated),
                        platform::MessageIcon::Warning);
        return nullptr;
    }
    auto* window = new SurveyWindow(std::move(records), dialogs, settings, std::move(openPlot));
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (opener != nullptr) {
        platform::placeWindow(
            window, QPoint(opener->frameGeometry().right() + 1, opener->frameGeometry().top()));
    }
    platform::placeOnScreenAtShow(*window);
    window->show();
    return window;
}

}  // namespace lp::survey
