#include "cli/watch_screen.h"

#include "cli/kit/terminal_text.h"
#include "platform/standard_descriptors.h"
#include "platform/terminal.h"

namespace lp::cli {
namespace {

const QString kEscape = QStringLiteral("\x1b[");

QString cursorUp(qsizetype lines) {
    return lines > 0 ? kEscape + QString::number(lines) + u'A' : QString();
}

}  // namespace

WatchScreen::WatchScreen(QTextStream& out, QTextStream& err) : out_(out), err_(err) {
    out_ << kEscape << "?25l";  // no cursor blinking in the table
    out_.flush();
}

WatchScreen::~WatchScreen() {
    out_ << kEscape << "?25h";
    out_.flush();
}

std::pair<int, int> WatchScreen::size() {
    if (const auto terminal = platform::terminalSize(platform::kStandardOutput)) {
        return {terminal->columns, terminal->rows};
    }
    return {80, 24};
}

void WatchScreen::draw(const QStringList& lines) {
    const int width = size().first;
    const bool resized = !shown_.isEmpty() && width != drawnWidth_;
    if (!resized && lines == shown_) {
        return;
    }
    QString text;
    if (resized) {
        // A resized terminal may have wrapped the old lines: start from a clear screen.
        text += kEscape + QStringLiteral("H") + kEscape + QStringLiteral("2J");
    } else {
        text += cursorUp(shown_.size()) + u'\r';
    }
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (!resized && i < shown_.size() && lines[i] == shown_[i]) {
            text += u'\n';  // as it stands
        } else {
            text += kEscape + QStringLiteral("2K") + terminalText(lines[i]) + u'\n';
        }
    }
    text += kEscape + u'J';  // the lines of a longer table before
    out_ << text;
    out_.flush();
    shown_ = lines;
    drawnWidth_ = width;
}

void WatchScreen::erase() {
    if (!shown_.isEmpty()) {
        out_ << cursorUp(shown_.size()) << '\r' << kEscape << 'J';
        out_.flush();
    }
}

void WatchScreen::say(const QString& text) {
    erase();
    err_ << text << "\n";
    err_.flush();
    const QStringList lines = std::exchange(shown_, {});
    if (!lines.isEmpty()) {
        draw(lines);
    }
}

ScreenTable::ScreenTable(const remote::FleetModel& fleet, const WatchClock& clock, QString where,
                         QTextStream& out, QTextStream& err)
    : fleet_(fleet), clock_(clock), where_(std::move(where)), screen_(out, err) {
    soon_.setSingleShot(true);
    soon_.setInterval(100);
    QObject::connect(&soon_, &QTimer::timeout, &soon_, [this] { draw(clock_.now()); });
}

void ScreenTable::connection(const QString& state) {
    state_ = state;
    changed();
}

void ScreenTable::changed() {
    if (!soon_.isActive()) {
        soon_.start();
    }
}

void ScreenTable::draw(const QDateTime& now) {
    soon_.stop();
    const auto [width, height] = WatchScreen::size();
    const QString title =
        QStringLiteral("%1  %2  %3")
            .arg(where_, state_, now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    screen_.draw(screenLines(title, fleet_.rows(now, screenRoom(height)), fleet_.size(), now, width,
                             height));
}

}  // namespace lp::cli
