// The saved-file window "HDDSavedList": the records of one record file, listed in the
// record-list layout, with the toolbar (keys "Save", "Plot", "Ln", "Print") and the
// menus Save, Graph, Survey, Print and Exit. Save does nothing. The toolbar's "Print" prints one
// record per line, the Print menu one to five records per line. Plot and Graph ask
// for the record plot (plotRequested) once the program says that a plot can be made
// (setPlotAvailable); Survey asks for the Survey window of the file (surveyRequested)
// once the program offers one (setSurveyAvailable).
//
// The percentile-level chooser ("PicResolution" with its two buttons) is supplied by
// the statistics code through installResolutionChooser() (RecordListWindow): its "Ln"
// button shows and hides it (every other toolbar button hides it first).
#pragma once

#include <QPointer>
#include <optional>

#include "lists/record_list_window.h"
#include "platform/dialogs.h"
#include "records/file_error.h"

class QAction;
class QToolBar;

namespace lp::lists {

class SavedFileWindow : public RecordListWindow {
    Q_OBJECT
public:
    SavedFileWindow(platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent = nullptr);

    // Lists the records of a record file (appended to what is listed), each kept as
    // its place in a view of the file where it can be. The file is read in slices of
    // about 25 ms, each slice's rows shown at once; the caption counts "<n> record(s)
    // completed" while pending events are handled between slices (clicks and keys
    // are not taken meanwhile); at the end it is the file name. A load that stops at
    // a bad line keeps the rows before it, leaves the last count in the caption and
    // returns the reason. If the window is closed meanwhile (Esc in it, or the
    // desktop's close) the load stops and returns nothing.
    std::optional<records::FileError> load(const QString& path);

    // The toolbar's "Plot" and the Graph menu ask for the record plot; until the
    // program makes them available they stay disabled.
    void setPlotAvailable(bool available);
    // The menu's Survey asks for the survey of the file listed; disabled until then.
    void setSurveyAvailable(bool available);
    // The record file listed (empty until a load ended well).
    [[nodiscard]] QString filePath() const { return filePath_; }

    // The toolbar's "Print": the printer dialog, then one record per line.
    void printOnePerLine();
    // MnuPrint: the printer dialog, the printer note, the prompt for the records per
    // line, then the printout.
    void printSeveralPerLine();

    // The toolbar's buttons that do something.
    [[nodiscard]] QAction* plotTool() const { return plotTool_; }
    [[nodiscard]] QAction* printTool() const { return printTool_; }
    [[nodiscard]] QAction* surveyAction() const { return surveyAction_; }
    // The menu's Exit, the last of its commands.
    [[nodiscard]] QAction* exitAction() const { return exitAction_; }

    void setPrintCommandsEnabled(bool enabled) override;

signals:
    // "Plot" or Graph: plot this window's records.
    void plotRequested();
    // Survey: the survey of this window's file.
    void surveyRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolbar();

    QAction* plotTool_ = nullptr;
    QAction* printTool_ = nullptr;

    platform::Dialogs& dialogs_;
    QAction* plotAction_ = nullptr;
    QAction* surveyAction_ = nullptr;
    QAction* printAction_ = nullptr;
    QAction* exitAction_ = nullptr;
    QString filePath_;
    bool closed_ = false;
};

}  // namespace lp::lists
