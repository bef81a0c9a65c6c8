// What the statistics and the charts add to a saved-file window: the percentile-level
// chooser ("0.1 dB", "1 dB") and the record plot. Used by the panel's OPEN FILE and by
// "levelpanel FILE.sdm", which shows the window on its own.
#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/live_pause.h"

class QWidget;

namespace lp::records {
class RecordStore;
}
namespace lp::lists {
class SavedFileWindow;
class SavedFileOpener;
}  // namespace lp::lists
namespace lp::charts {
class RecordPlot;
}

namespace lp::app {

// Opens the record plot of `records`, titled `title`, beside `opener`.
using OpenPlot =
    std::function<void(const records::RecordStore& records, const QString& title, QWidget* opener)>;

// Installs the chooser and makes "Plot" and Graph open the plot through `openPlot`.
void equipSavedFileWindow(lists::SavedFileWindow& window, platform::Dialogs& dialogs,
                          const OpenPlot& openPlot);

// A record file shown without the panel: the saved-file window with its chooser and
// plot, and no live cycle to pause.
class FileViewer {
public:
    FileViewer(platform::Clock& clock, platform::Dialogs& dialogs);
    ~FileViewer();

    // Opens the window and lists the file (a load that stops is told as from OPEN
    // FILE). Null when the window was closed while it loaded.
    lists::SavedFileWindow* open(const QString& path);

private:
    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    std::unique_ptr<lists::SavedFileOpener> opener_;
    QPointer<charts::RecordPlot> plot_;
};

}  // namespace lp::app
