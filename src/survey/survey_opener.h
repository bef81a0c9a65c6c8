// Opening a Survey window on record files: they are read first, with the wait cursor
// up (a week of 1 s records takes a fraction of a second); a file that cannot be read
// is told and no window opens. Or on records already read, or held in memory.
#pragma once

#include <QStringList>

#include "survey/survey_window.h"

namespace lp::survey {

// The window, shown beside `opener` (when given, which also owns the message for a
// file that could not be read); null when a file could not be read. The window is
// top-level and deletes itself when closed; it remembers its options in `settings`.
SurveyWindow* openSurveyWindow(const QStringList& files, platform::Dialogs& dialogs,
                               QSettings& settings, PlotOpener openPlot, QWidget* opener = nullptr);

// The window of records read before or held in memory (a downloaded set), shown as
// openSurveyWindow shows it; null, and the reason told, when they make no survey (a
// record dated too far from the others).
SurveyWindow* showSurveyWindow(stats::SurveyRecords records, platform::Dialogs& dialogs,
                               QSettings& settings, PlotOpener openPlot, QWidget* opener = nullptr);

}  // namespace lp::survey
