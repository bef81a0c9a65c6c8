// Equipping a saved-file window, and the window shown on its own.
#include "app/file_viewer.h"

#include <QFileInfo>

#include "charts/percentile_chooser.h"
#include "charts/record_plot.h"
#include "lists/saved_file_opener.h"
#include "lists/saved_file_window.h"

namespace lp::app {

void equipSavedFileWindow(lists::SavedFileWindow& window, platform::Dialogs& dialogs,
                          const OpenPlot& openPlot) {
    window.installResolutionChooser(
        new charts::PercentileChooser(window.records().store(), dialogs, &window));
    window.setPlotAvailable(true);
    lists::SavedFileWindow* w = &window;
    QObject::connect(w, &lists::SavedFileWindow::plotRequested, w, [w, openPlot] {
        openPlot(w->records().store(), QFileInfo(w->filePath()).fileName(), w);
    });
}

FileViewer::FileViewer(platform::Clock& clock, platform::Dialogs& dialogs)
    : clock_(clock),
      dialogs_(dialogs),
      opener_(std::make_unique<lists::SavedFileOpener>(dialogs, platform::LivePause{}, nullptr)) {}

FileViewer::~FileViewer() {
    delete plot_;
    delete opener_->window();
}

lists::SavedFileWindow* FileViewer::open(const QString& path) {
    lists::SavedFileWindow* window = opener_->openFile(path);
    if (window) {
        equipSavedFileWindow(
            *window, dialogs_,
            [this](const records::RecordStore& records, const QString& title, QWidget* opener) {
                delete plot_;
                plot_ =
                    new charts::RecordPlot(records, title, clock_, dialogs_, platform::LivePause{});
                plot_->setAttribute(Qt::WA_DeleteOnClose);
                plot_->move(opener->frameGeometry().right() + 1, opener->frameGeometry().top());
                plot_->show();
            });
    }
    return window;
}

}  // namespace lp::app
