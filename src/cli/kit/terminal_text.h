// Text from outside (a broker's messages, file names, what a user typed) made safe to
// write to a terminal. A terminal obeys what it is sent: ESC and CSI start commands
// (OSC 52 writes the clipboard, OSC 0 the window title, ESC [2J clears the screen),
// other controls move the cursor, and bidirectional overrides turn what follows
// around. Every character that can do so is written as a visible U+FFFD instead:
//   the C0 controls U+0000-U+001F (a line break kept where the text is lines), DEL
//   U+007F, the C1 controls U+0080-U+009F, the format characters (among them the bidi
//   marks, embeddings, overrides and isolates U+200E, U+200F, U+202A-U+202E,
//   U+2066-U+2069), the line and paragraph separators U+2028 and U+2029, and a lone
//   surrogate.
// Everything the command line writes to a terminal goes through this: its error
// stream (TerminalSafeDevice) and the fleet console's table.
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>
#include <QStringView>

namespace lp::cli {

// Whether a line break ('\n') stays: talk may be several lines, a table cell is one.
enum class LineBreaks { Replace, Keep };

[[nodiscard]] QString terminalText(QStringView text, LineBreaks breaks = LineBreaks::Replace);

// A compact JSON text with the same characters written as \uXXXX escapes instead
// (QJsonDocument escapes the C0 controls only): the same JSON to its reader, harmless
// when it reaches a terminal.
[[nodiscard]] QByteArray terminalJson(const QByteArray& json);

// The error stream of the command line: whatever is written to it goes on to `target`
// by the rule above, line breaks kept. Writes are UTF-8; a character split across two
// writes is taken whole.
class TerminalSafeDevice : public QIODevice {
public:
    explicit TerminalSafeDevice(QIODevice& target);
    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override;

private:
    QIODevice& target_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
};

}  // namespace lp::cli
