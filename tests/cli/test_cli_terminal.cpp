// What the command line writes to a terminal: outside text made harmless (as text, as
// JSON, and on the error stream), and the fleet table: what of a fleet fits the
// screen, redrawn by its changed lines.
#include <QBuffer>
#include <QJsonDocument>
#include <QTest>

#include "cli/kit/terminal_text.h"
#include "cli/watch_output.h"
#include "cli/watch_screen.h"

using namespace lp::cli;

class TestCliTerminal : public QObject {
    Q_OBJECT

private slots:
    void terminalText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("keepBreaks");
        QTest::addColumn<QString>("drawn");
        const auto row = [](const char* name, QStringView text, bool keep, QStringView drawn) {
            QTest::newRow(name) << text.toString() << keep << drawn.toString();
        };
        row("OSC 52 writes the clipboard", u"\x1b]52;c;aGk=\x07north", false,
            u"\uFFFD]52;c;aGk=\uFFFDnorth");
        row("OSC 0 as 8-bit C1 sets the title", u"\u009d0;owned\u009c", false,
            u"\uFFFD0;owned\uFFFD");
        row("ESC [2J clears, CSI as C1", u"\x1b[2J\u009b2J", false, u"\uFFFD[2J\uFFFD2J");
        row("NUL, DEL, BS, CR, TAB", QStringView(u"\0a\x7f\x08\rb\tc", 8), false,
            u"\uFFFDa\uFFFD\uFFFD\uFFFDb\uFFFDc");
        row("bidi override, isolates, mark", u"ev\u202Eil\u2066x\u2069\u200F", false,
            u"ev\uFFFDil\uFFFDx\uFFFD\uFFFD");
        row("zero width space, line separator", u"a\u200Bb\u2028c", false, u"a\uFFFDb\uFFFDc");
        row("a line break in a cell", u"a\nb", false, u"a\uFFFDb");
        row("line breaks in talk", u"a\nb\r\n", true, u"a\nb\uFFFD\n");
        row("a lone surrogate", QStringView(u"\xD800x", 2), false, u"\uFFFDx");
        row("printable text stays", u"Nörd-北 65.3 dBA ±0.1 \U0001F600", false,
            u"Nörd-北 65.3 dBA ±0.1 \U0001F600");
    }
    void terminalText() {
        QFETCH(QString, text);
        QFETCH(bool, keepBreaks);
        QFETCH(QString, drawn);
        QCOMPARE(lp::cli::terminalText(text, keepBreaks ? LineBreaks::Keep : LineBreaks::Replace),
                 drawn);
    }

    void terminalJson_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QByteArray>("safe");
        // QJsonDocument escapes C0 itself; DEL, C1 and format characters it writes raw.
        QTest::newRow("C0 escaped already") << QByteArray("{\"s\":\"\\u001b]0;x\\u0007\"}")
                                            << QByteArray("{\"s\":\"\\u001b]0;x\\u0007\"}");
        QTest::newRow("DEL and CSI") << QByteArray(
                                            "{\"s\":\"a\x7f\xc2\x9b"
                                            "2J\"}")
                                     << QByteArray("{\"s\":\"a\\u007f\\u009b2J\"}");
        QTest::newRow("bidi override")
            << QByteArray("{\"ev\xe2\x80\xaeil\":1}") << QByteArray("{\"ev\\u202eil\":1}");
        // U+E0001 (a tag, a format character) as its surrogate pair D800 + (D0001 >> 10),
        // DC00 + (D0001 & 3FF).
        QTest::newRow("beyond the BMP")
            << QByteArray("[\"\xf3\xa0\x80\x81\"]") << QByteArray("[\"\\udb40\\udc01\"]");
        QTest::newRow("printable stays")
            << QByteArray("{\"n\":\"N\xc3\xb6rd\"}") << QByteArray("{\"n\":\"N\xc3\xb6rd\"}");
    }
    void terminalJson() {
        QFETCH(QByteArray, json);
        QFETCH(QByteArray, safe);
        QCOMPARE(lp::cli::terminalJson(json), safe);
        // The same JSON to its reader.
        QCOMPARE(QJsonDocument::fromJson(safe), QJsonDocument::fromJson(json));
    }

    void errorStreamKeepsLinesAndDropsControls() {
        QBuffer target;
        target.open(QIODevice::WriteOnly);
        TerminalSafeDevice device(target);
        QTextStream err(&device);
        err << "levelpanel-cli: cannot open a\x1b]0;x\x07.sdm\n";
        err.flush();
        // A character split across two writes: U+202E is E2 80 AE.
        device.write("b\xe2\x80");
        device.write("\xae\n");
        QCOMPARE(target.data(),
                 QByteArray("levelpanel-cli: cannot open a\xef\xbf\xbd]0;x\xef\xbf\xbd.sdm\n"
                            "b\xef\xbf\xbd\n"));
    }

    // A fleet of 20,000 on 5 lines: room for two rows, one of them taken by the count of
    // the rest. The lines as the README shows them.
    void tableShowsWhatFitsOfAFleet() {
        const QDateTime taken(QDate(2026, 12, 6), QTime(14, 5, 8));
        const std::vector<lp::remote::LoggerRow> first{
            {"north", "online", 65.3, "65.3", "A", taken, true, 0, 2, false},
            {"south", "offline", 58.1, "58.1", "A", taken, true, {}, 0, false}};
        QCOMPARE(screenRoom(5), 2);
        QCOMPARE(
            screenLines("title", first, 20000, taken.addSecs(1), 80, 5),
            (QStringList{"title", "LOGGER  STATE    LEVEL      AGE         BACKLOG  EVENTS TODAY",
                         "north   online   65.3 dBA   1 s               0  2",
                         "... and 19999 more (a taller terminal shows them)"}));
    }

    // The second table drawn after the first: the cursor back to its top, then each line
    // written again (cleared first) or stepped over when it stands as it was.
    void redrawWritesOnlyChangedLines_data() {
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QString>("written");
        QTest::newRow("one line changed")
            << QStringList{"T1", "a", "b"} << QStringList{"T2", "a", "c"}
            << QString("\x1b[3A\r\x1b[2KT2\n\n\x1b[2Kc\n\x1b[J");
        QTest::newRow("nothing changed")
            << QStringList{"T", "a"} << QStringList{"T", "a"} << QString();
        QTest::newRow("a line more") << QStringList{"T", "a"} << QStringList{"T", "a", "b"}
                                     << QString("\x1b[2A\r\n\n\x1b[2Kb\n\x1b[J");
        QTest::newRow("a line less") << QStringList{"T", "a", "b"} << QStringList{"T", "a"}
                                     << QString("\x1b[3A\r\n\n\x1b[J");
        QTest::newRow("a broker's escape")
            << QStringList{"T"} << QStringList{"T", "x\x1b]0;t\x07"}
            << QStringView(u"\x1b[1A\r\n\x1b[2Kx\uFFFD]0;t\uFFFD\n\x1b[J").toString();
    }
    void redrawWritesOnlyChangedLines() {
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QString, written);
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        WatchScreen screen(outStream, errStream);
        screen.draw(first);
        const qsizetype before = out.size();
        screen.draw(second);
        QCOMPARE(out.mid(before), written);
    }
};

QTEST_GUILESS_MAIN(TestCliTerminal)
#include "test_cli_terminal.moc"
