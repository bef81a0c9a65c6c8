// The line printer on a real PDF file, its text read back with pdftotext.
#include <sys/mount.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "platform/qt_line_printer.h"
#include "small_disk.h"

using lp::platform::QtLinePrinter;
using lp::test::readAll;
using lp::test::writeFile;

namespace {

std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
}

// The folder's files as "name=bytes", to see that nothing was added or changed.
QStringList folder(const QString& path) {
    QStringList out;
    const QDir dir(path);
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        out << name + u'=' + QString::fromLatin1(readAll(dir.filePath(name)).toBase64());
    }
    return out;
}

QString recordLine(int r) {
    return QStringLiteral("%1  2009/06/01 14:05:09  65.3").arg(r, 14);
}

}  // namespace

class TestPdfPrintout : public QObject {
    Q_OBJECT
private slots:
    void linesReadBack() {
        const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
        QVERIFY2(!pdftotext.isEmpty(),
                 "pdftotext (poppler-utils) is needed: scripts/install-deps.sh");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
        QStringList expected{QStringLiteral("          No.s            Date Time  dB"),
                             QStringLiteral("        ---------------------------------")};
        for (int r = 1; r <= 150; ++r) {
            expected << recordLine(r);
        }
        {
            QtLinePrinter printer(*pdfPrinter(pdf));
            printer.setFont(QStringLiteral("Lucida Console"), 12);
            for (const QString& line : expected) {
                QVERIFY(printer.printLine(line));
            }
            QVERIFY(printer.endDocument());
        }
        QProcess run;
        run.start(pdftotext, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
        QVERIFY(run.waitForFinished(30000));
        const QString text = QString::fromUtf8(run.readAllStandardOutput());
        QVERIFY2(text.count(u'\f') >= 3, "150 lines at 12 pt take several pages");
        QStringList lines;
        for (const QString& line : text.split(u'\n')) {
            const QString kept = QString(line).remove(u'\f');
            if (!kept.trimmed().isEmpty()) {
                lines << kept;
            }
        }
        // pdftotext lays out by glyph positions: blanks may come back fewer or more.
        QCOMPARE(lines.size(), expected.size());
        for (int i = 0; i < lines.size(); ++i) {
            QCOMPARE(lines[i].simplified(), expected[i].simplified());
        }
    }

    // A missing font prints in the system's fixed-width one; an unwritable file fails
    // with its name and the document is never finished.
    void fontAndFailure() {
        QCOMPARE(QtLinePrinter::printedFamily(QStringLiteral("No Such Font Family")),
                 QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
        const QString pdf = QStringLiteral("/nonexistent-dir/list.pdf");
        QtLinePrinter printer(*pdfPrinter(pdf));
        QVERIFY(!printer.printLine(QStringLiteral("x")));
        QVERIFY2(printer.errorText().contains(pdf), qPrintable(printer.errorText()));
        QVERIFY(!printer.endDocument());
        QVERIFY(!QFile::exists(pdf));
    }

    // Cancelled, or dropped unfinished when the program ends: no file appears, and an
    // older file of that name stays as it was.
    void endedEarly_data() {
        QTest::addColumn<bool>("cancelled");
        QTest::newRow("cancelled") << true;
        QTest::newRow("dropped") << false;
    }
    void endedEarly() {
        QFETCH(bool, cancelled);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("list.pdf"));
        QVERIFY(writeFile(pdf, "an older printout"));
        const QStringList before = folder(dir.path());
        {
            QtLinePrinter printer(*pdfPrinter(pdf));
            for (int r = 1; r <= 300; ++r) {
                QVERIFY(printer.printLine(recordLine(r)));
            }
            if (cancelled) {
                printer.abort();
                QVERIFY(!printer.endDocument());
            }
        }
        QCOMPARE(folder(dir.path()), before);
    }

    // A full disk stops the printout with that reason, and leaves no file. A short
    // printout finds out at its end; a long one at the page break where the first
    // pages are written out, not after printing all of them in vain.
    void fullDisk_data() {
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("stopsPartWay");
        QTest::newRow("5 lines") << 5 << false;
        QTest::newRow("several pages") << 3000 << true;
    }
    void fullDisk() {
        QFETCH(int, lines);
        const lp::test::SmallDisk disk;
        if (!disk.mounted) {
            QSKIP("Needs root to mount a small tmpfs as a full disk");
        }
        QVERIFY(disk.fill());
        const QStringList before = folder(disk.dir.path());
        QtLinePrinter printer(*pdfPrinter(disk.dir.filePath(QStringLiteral("list.pdf"))));
        bool ok = true;
        for (int r = 1; r <= lines && ok; ++r) {
            ok = printer.printLine(recordLine(r));
        }
        QTEST(!ok, "stopsPartWay");
        ok = ok && printer.endDocument();
        QVERIFY(!ok);
        QVERIFY2(printer.errorText().contains(QLatin1String("the disk is full")),
                 qPrintable(printer.errorText()));
        printer.abort();
        QCOMPARE(folder(disk.dir.path()), before);
    }
};

QTEST_MAIN(TestPdfPrintout)
#include "test_pdf_printout.moc"
