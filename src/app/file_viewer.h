// What the statistics and the charts add to a saved-file window: the percentile-level
// chooser ("0.1 dB", "1 dB"), the record plot and the Survey window. Used by the panel's
// OPEN FILE and by "levelpanel FILE.sdm", which shows the window on its own;
// "levelpanel FILE..." with several files shows their Survey window alone.
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/live_pause.h"

class QSettings;
class QWidget;

namespace lp::records {
class RecordStore;
}
namespace lp::lists {
class RecordListWindow;
class SavedFileWindow;
class SavedFileOpener;
}  // namespace lp::lists
namespace lp::charts {
class RecordPlot;
}
namespace lp::survey {
class SurveyWindow;
}

namespace lp::app {

// Opens the record plot of `records`, titled `title`, beside `opener`.
using OpenPlot =
    std::function<void(const records::RecordStore& records, const QString& title, QWidget* opener)>;

// Opens the Survey window of `files` beside `opener` (null: anywhere).
using OpenSurvey = std::function<void(const QStringList& files, QWidget* opener)>;

// Installs the percentile-level chooser ("0.1 dB", "1 dB") on the window's "Ln": the
// saved-file window's and the downloaded-data list's; `name` names the records in the
// histogram's caption (asked at each computation).
void equipLnChooser(lists::RecordListWindow& window, platform::Dialogs& dialogs,
                    std::function<QString()> name);

// Installs the chooser, makes "Plot" and Graph open the plot through `openPlot` and
// Survey the file's survey through `openSurvey`.
void equipSavedFileWindow(lists::SavedFileWindow& window, platform::Dialogs& dialogs,
                          const OpenPlot& openPlot, const OpenSurvey& openSurvey);

// A record file shown without the panel: the saved-file window with its chooser and
// plot, and no live cycle to pause.
class FileViewer {
public:
    FileViewer(platform::Clock& clock, platform::Dialogs& dialogs, QSettings& settings);
    ~FileViewer();

    // Opens the window and lists the file (a load that stops is told as from OPEN
    // FILE). Null when the window was closed while it loaded.
    lists::SavedFileWindow* open(const QString& path);
    // The Survey window of the files, replacing the one open; null when a file could
    // not be read (the reason was told).
    survey::SurveyWindow* openSurvey(const QStringList& files, QWidget* opener = nullptr);

private:
    void showPlot(const records::RecordStore& records, const QString& title, QWidget* opener);

    platform::Clock& clock_;
    platform::Dialogs& dialogs_;
    QSettings& settings_;  // what the windows remember between runs
    std::unique_ptr<lists::SavedFileOpener> opener_;
    QPointer<charts::RecordPlot> plot_;
    QPointer<survey::SurveyWindow> survey_;
};

}  // namespace lp::app
