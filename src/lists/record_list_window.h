// The window every record list is built on (live list, saved file, downloaded data):
// a fixed client area of 4095 x 5880 twips with three one-column grids GridN0,
// GridN1, GridN2 ("No.s", "Date Time", "dB") side by side over one record model,
// always showing the same rows, and the hidden record grid as a store of
// (number, text line) rows with the window's header. The window opens beside its
// anchor window (left = anchor's left + width, top = anchor's top).
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringView>
#include <array>

#include "lists/record_list_layout.h"
#include "records/record_line_store.h"
#include "records/record_table_model.h"

class QAction;
class QTableView;
class QToolBar;

namespace lp::lists {

class GridCoupling;

class RecordListWindow : public QMainWindow {
    Q_OBJECT
public:
    RecordListWindow(const RecordListLayout& layout, QWidget* anchor, QWidget* parent = nullptr);
    ~RecordListWindow() override;

    [[nodiscard]] const RecordListLayout& design() const { return layout_; }

    // The window's caption (the layout's at first, a file name once one is listed).
    // While a long job runs its progress stands in the caption's place; endProgress()
    // puts the caption back.
    void setCaption(const QString& caption);
    [[nodiscard]] const QString& caption() const { return caption_; }
    void showProgress(qint64 count, const QString& suffix);
    void endProgress();

    // The toolbar "Toolbar1", once the window has made one.
    [[nodiscard]] QToolBar* toolbar() const { return toolbar_; }
    // The commands that start a printout, switched off while one runs.
    virtual void setPrintCommandsEnabled(bool enabled) { (void)enabled; }

    // Column grid 0, 1 or 2.
    [[nodiscard]] QTableView* grid(int index) const {
        return grids_.at(static_cast<size_t>(index));
    }
    [[nodiscard]] records::RecordTableModel& records() { return model_; }
    [[nodiscard]] const records::RecordTableModel& records() const { return model_; }
    [[nodiscard]] qsizetype recordCount() const { return model_.recordCount(); }

    // The file the listed records were read from (empty when they came from elsewhere):
    // an export of the list may not replace it.
    [[nodiscard]] const QString& sourceFile() const { return sourceFile_; }
    void setSourceFile(const QString& path) { sourceFile_ = path; }

    // The hidden record grid (Grid1, or Grid in the downloaded-data window).
    [[nodiscard]] records::RecordLineStore& recordGrid() { return recordGrid_; }
    [[nodiscard]] const records::RecordLineStore& recordGrid() const { return recordGrid_; }

    // Appends one record at the end of the three column grids.
    void appendRecord(QStringView no, QStringView dateTime, QStringView level);
    // Empties the column grids and the record grid; their headers stay.
    void clearRecords();
    // Makes the last record the current row of all three grids and scrolls it into view.
    void showLastRecord();

    // Puts the window beside `anchor`: left at the anchor's right edge, same top (down
    // the cascade when another window stands there).
    void placeBeside(const QWidget* anchor);

    // The command that closes the window from the keyboard (the desktop's Close, and Esc
    // unless a printout runs, whose Cancel takes Esc).
    void setCloseCommand(QAction* action);
    void setEscapeCloses(bool closes);

    // The fixed client area in which the grids (and a toolbar) are laid out; windows
    // add their own controls here.
    [[nodiscard]] QWidget* clientArea() const { return client_; }

    // Takes the percentile-level chooser (made by the statistics code), places it over
    // the upper left of the grids (left 0, at the grids' top, 1935 x 1695 twips),
    // hidden, and enables the toolbar's "Ln" button to show and hide it.
    void installResolutionChooser(QWidget* chooser);
    // The toolbar's "Ln" ("Percentile Sound Level"), once the window has added it.
    [[nodiscard]] QAction* lnTool() const { return lnTool_; }

protected:
    // Adds the toolbar "Toolbar1" along the top of the client area.
    QToolBar* createToolbar();
    // Adds "Ln" to the toolbar, disabled until a chooser is installed.
    QAction* addLnTool();
    // Hides the chooser (every other toolbar button does first).
    void hideChooser();
    // A toolbar button with the picture `key` (also its name) that runs `command`; its
    // tool tip is `tip` with the command's keys (the command's own when empty).
    QAction* addToolbarCopy(QAction* command, const QString& key, const QString& tip = {});

private:
    QTableView* makeGrid(int index);

    RecordListLayout layout_;
    QString caption_;
    QToolBar* toolbar_ = nullptr;
    records::RecordTableModel model_;
    records::RecordLineStore recordGrid_;
    QString sourceFile_;
    QWidget* client_ = nullptr;
    QAction* closeCommand_ = nullptr;
    QAction* lnTool_ = nullptr;
    QPointer<QWidget> chooser_;
    std::array<QTableView*, 3> grids_{};
    GridCoupling* coupling_ = nullptr;
};

}  // namespace lp::lists
