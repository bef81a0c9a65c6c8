// The line printer on a real PDF file: the text read back with pdftotext is the lines
// printed, in order, across page breaks; a file that cannot be written is told.
#include <QFile>
#include <QFontDatabase>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "platform/qt_line_printer.h"

using lp::platform::QtLinePrinter;

namespace {

std::unique_ptr<QPrinter> pdfPrinter(const QString& path) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(path);
    return printer;
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
            expected << QStringLiteral("%1  2009/06/01 14:05:09  65.3").arg(r, 14);
        }
        {
            QtLinePrinter printer(pdfPrinter(pdf));
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
        QtLinePrinter printer(pdfPrinter(pdf));
        QVERIFY(!printer.printLine(QStringLiteral("x")));
        QVERIFY2(printer.errorText().contains(pdf), qPrintable(printer.errorText()));
        QVERIFY(!printer.endDocument());
        QVERIFY(!QFile::exists(pdf));
    }
};

QTEST_MAIN(TestPdfPrintout)
#include "test_pdf_printout.moc"
