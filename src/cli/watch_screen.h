// The fleet table kept in place on a terminal: each redraw moves the cursor back to
// the table's first line (ANSI escape sequences) and writes again the lines that
// changed, stepping over the others, so the lines above it (the shell's, and the
// messages said meanwhile) stay as they are. Every line is drawn by the rule of
// terminal_text.h: a text from a broker cannot steer the terminal.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTimer>

#include "cli/watch_output.h"

namespace lp::cli {

class WatchScreen {
public:
    // `out` is the terminal; `err` takes the messages (often the same terminal).
    WatchScreen(QTextStream& out, QTextStream& err);
    ~WatchScreen();  // leaves the last table on the screen, the cursor shown under it
    WatchScreen(const WatchScreen&) = delete;
    WatchScreen& operator=(const WatchScreen&) = delete;

    // The terminal's size now (80 x 24 when it does not say).
    [[nodiscard]] static std::pair<int, int> size();
    // The table's lines now; those as drawn before are not written again.
    void draw(const QStringList& lines);
    // A message line above the table: the table is taken away, the line written to
    // the error stream, and the table drawn again under it.
    void say(const QString& text);

private:
    void erase();

    QTextStream& out_;
    QTextStream& err_;
    QStringList shown_;
    int drawnWidth_ = 0;
};

// The fleet as a table on the terminal, drawn again a moment after a change (so a
// burst of backlog samples costs one redraw) and every second (the ages). Only the
// rows the terminal has room for are made: a fleet of thousands costs no more than a
// screenful. The title says `where` the console watches and its connection.
class ScreenTable final : public WatchOutput {
public:
    ScreenTable(const remote::FleetModel& fleet, const WatchClock& clock, QString where,
                QTextStream& out, QTextStream& err);

    void begin() override { draw(clock_.now()); }
    void end() override { draw(clock_.now()); }
    void connection(const QString& state) override;
    void brokerLost(const QDateTime&) override {}
    void loggerChanged(const QString&, bool, const QDateTime&) override { changed(); }
    void tick(const QDateTime& now) override { draw(now); }
    void say(const QString& text) override { screen_.say(text); }

private:
    void changed();
    void draw(const QDateTime& now);

    const remote::FleetModel& fleet_;
    const WatchClock& clock_;
    QString where_;
    QString state_ = QStringLiteral("connecting");
    WatchScreen screen_;
    QTimer soon_;
};

}  // namespace lp::cli
