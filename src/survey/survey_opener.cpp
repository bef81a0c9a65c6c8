#include "survey/survey_opener.h"

#include <QCoreApplication>

#include "platform/dialogs.h"
#include "platform/wait_cursor.h"

namespace lp::survey {

SurveyWindow* openSurveyWindow(const QStringList& files, platform::Dialogs& dialogs,
                               PlotOpener openPlot, QWidget* parent) {
    stats::SurveyRecords records;
    {
        const platform::WaitCursor wait;
        // The pointer changes before the files are read.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        records = stats::readSurvey(files);
    }
    if (records.error) {
        dialogs.message(parent, stats::surveyReadFailureText(*records.error),
                        platform::MessageIcon::Warning);
        return nullptr;
    }
    auto* window = new SurveyWindow(std::move(records), dialogs, std::move(openPlot), parent);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return window;
}

}  // namespace lp::survey
