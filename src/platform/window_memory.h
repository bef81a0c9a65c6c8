// What the program's windows remember of themselves between runs, in the settings file:
// each window's place and size (and whether it was maximized), its splitters, its
// tables' columns (widths, order, sort) and the tab chosen in each tab widget. A window
// is known by its objectName, a splitter, table or tab widget by its own (unnamed ones
// are not remembered). A window writes what it shows when it is hidden (closed), and
// takes it back the first time it is shown, placed wholly on the screen.
#pragma once

#include <QObject>
#include <QString>

class QSettings;
class QWidget;

namespace lp::platform {

// Writes what `window` shows under `key` in `settings`.
void saveWindow(const QWidget& window, QSettings& settings, const QString& key);
// Gives `window` what was written under `key`, if anything; a table or splitter whose
// count of columns or panes has changed since keeps its own.
void restoreWindow(QWidget& window, const QSettings& settings, const QString& key);

// While it lives, every window of the program (a top-level widget of type Qt::Window
// with an objectName, not a dialog) is remembered under its objectName: restored at its
// first show, written when hidden. One for the whole program, made by main.
class WindowMemory : public QObject {
    Q_OBJECT
public:
    explicit WindowMemory(QSettings& settings, QObject* parent = nullptr);
    ~WindowMemory() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QSettings& settings_;
};

// Forgets everything `settings` holds (the profiles, files of their own, stay). The
// windows open now are not written when they are next hidden, so the next start begins
// with the defaults.
void forgetSettings(QSettings& settings);

}  // namespace lp::platform
