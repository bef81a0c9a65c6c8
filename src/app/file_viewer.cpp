// Equipping a saved-file window, and the window shown on its own.
#include "app/file_viewer.h"

#include <QFileInfo>

#include "charts/percentile_chooser.h"
#include "charts/record_plot.h"
#include "lists/saved_file_opener.h"
#include "lists/saved_file_window.h"
#include "platform/window_place.h"
#include "survey/survey_opener.h"

namespace lp::app {

void equipLnChooser(lists::RecordListWindow& window, platform::Dialogs& dialogs,
                    std::function<QString()> name) {
    window.installResolutionChooser(
        new charts::PercentileChooser(window.records().store(), dialogs, &window, std::move(name)));
}

void equipSavedFileWindow(lists::SavedFileWindow& window, platform::Dialogs& dialogs,
                          const OpenPlot& openPlot, const OpenSurvey& openSurvey) {
    lists::SavedFileWindow* w = &window;
    equipLnChooser(window, dialogs, [w] { return QFileInfo(w->filePath()).fileName(); });
    window.setPlotAvailable(true);
    QObject::connect(w, &lists::SavedFileWindow::plotRequested, w, [w, openPlot] {
        openPlot(w->records().store(), QFileInfo(w->filePath()).fileName(), w);
    });
    window.setSurveyAvailable(true);
    QObject::connect(w, &lists::SavedFileWindow::surveyRequested, w, [w, openSurvey] {
        if (!w->filePath().isEmpty()) {
            openSurvey({w->filePath()}, w);
        }
    });
}

FileViewer::FileViewer(platform::Clock& clock, platform::Dialogs& dialogs, QSettings& settings)
    : clock_(clock),
      dialogs_(dialogs),
      settings_(settings),
      opener_(std::make_unique<lists::SavedFileOpener>(dialogs, platform::LivePause{}, nullptr)) {}

FileViewer::~FileViewer() {
    delete survey_;
    delete plot_;
    delete opener_->window();
}

lists::SavedFileWindow* FileViewer::open(const QString& path) {
    lists::SavedFileWindow* window = opener_->openFile(path);
    if (window) {
        equipSavedFileWindow(
            *window, dialogs_,
            [this](const records::RecordStore& records, const QString& title, QWidget* opener) {
                showPlot(records, title, opener);
            },
            [this](const QStringList& files, QWidget* opener) { openSurvey(files, opener); });
    }
    return window;
}

void FileViewer::showPlot(const records::RecordStore& records, const QString& title,
                          QWidget* opener) {
    delete plot_;
    plot_ = new charts::RecordPlot(records, title, clock_, dialogs_, platform::LivePause{});
    plot_->setAttribute(Qt::WA_DeleteOnClose);
    platform::placeWindow(
        plot_, QPoint(opener->frameGeometry().right() + 1, opener->frameGeometry().top()));
    plot_->show();
}

survey::SurveyWindow* FileViewer::openSurvey(const QStringList& files, QWidget* opener) {
    delete survey_;
    survey_ = survey::openSurveyWindow(
        files, dialogs_, settings_,
        [this](const records::RecordStore& records, const QString& title, QWidget* from) {
            showPlot(records, title, from);
        },
        opener);
    return survey_;
}

}  // namespace lp::app
