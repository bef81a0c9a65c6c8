// The downloaded-data list "DataList": one downloaded set in the record-list layout
// (grids from 1080 twips down, beside the memory window), with its title LblTitle,
// the buttons Save, Plot and Print, and a toolbar with "Save" (saves too), Export CSV,
// "Ln" and "Survey…". Save writes the list as a record file, with the set's metadata
// beside it (FILE.meta, memory/set_metadata.h). Plot asks for the record plot of the
// set (plotRequested) and "Survey…" for its Survey window (surveyRequested) once the
// program makes them available; "Ln" shows the percentile-level chooser the program
// installs (as in the saved-file window); Print prints the downloaded record lines as
// a plain list.
#pragma once

#include "lists/record_list_window.h"
#include "memory/download_decoder.h"
#include "platform/dialogs.h"
#include "records/run_metadata.h"
#include "stats/survey_records.h"

class QAction;
class QLabel;
class QPushButton;

namespace lp::memory {

class DownloadedSetWindow : public lists::RecordListWindow {
    Q_OBJECT
public:
    inline static const QString kCaption = QStringLiteral("DataList");

    // A window placed beside `anchor` (the memory window); deleted when closed.
    DownloadedSetWindow(platform::Dialogs& dialogs, QWidget* anchor, QWidget* parent = nullptr);

    // Lists the records of `set` (replacing anything listed) and its title; a set that
    // came only in part says how many of its records are listed.
    void showSet(const DownloadedSet& set);

    // What a saved set's metadata tells of the program, host and port.
    void setMetadataContext(const records::RunStart& context) { context_ = context; }
    // CmdDsave and the toolbar's "Save": the list to a record file the user chooses,
    // its metadata beside it (a metadata file that cannot be written is told).
    bool save();
    // CmdDprint: the printer dialog, then the record lines of the set.
    void print();

    // CmdDplot asks for the record plot; until the program makes it available it
    // stays disabled.
    void setPlotAvailable(bool available);
    // "Survey…" asks for the set's Survey window; disabled until then.
    void setSurveyAvailable(bool available);
    // The set listed as a survey held in memory, named "Set N from the meter", with the
    // metadata a save writes beside it: the survey of the file Save writes.
    [[nodiscard]] stats::SurveyRecords survey() const;
    // The number of the set listed (0 before one is).
    [[nodiscard]] int setNumber() const { return setNumber_; }

    [[nodiscard]] QLabel* title() const { return titleLabel_; }
    [[nodiscard]] QPushButton* saveButton() const { return saveButton_; }
    [[nodiscard]] QPushButton* plotButton() const { return plotButton_; }
    [[nodiscard]] QPushButton* printButton() const { return printButton_; }
    void setPrintCommandsEnabled(bool enabled) override;
    [[nodiscard]] QAction* toolbarSave() const { return toolbarSave_; }
    [[nodiscard]] QAction* surveyTool() const { return surveyTool_; }

signals:
    // CmdDplot: plot the listed set.
    void plotRequested();
    // "Survey…": the listed set in the Survey window.
    void surveyRequested();

private:
    void buildControls();

    platform::Dialogs& dialogs_;
    QLabel* titleLabel_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* plotButton_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QAction* toolbarSave_ = nullptr;
    QAction* surveyTool_ = nullptr;
    int setNumber_ = 0;
    std::optional<SetHeader> header_;  // of the set listed
    records::RunStart context_;
};

// LblTitle for a set: "120  Records In No. 3  Set", or for a set that came in part
// "1976 of 3000  Records In No. 3  Set".
[[nodiscard]] QString dataListTitle(const DownloadedSet& set);

}  // namespace lp::memory
