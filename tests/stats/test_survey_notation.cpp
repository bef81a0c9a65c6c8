// How figures are labelled (figureLabel), and what a survey's levels are from its files'
// metadata and the declaration (surveyStates through analyseSurvey).
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "records/record_format.h"
#include "stats/figure_notation.h"
#include "stats/survey.h"

using namespace lp::stats;
using lp::records::Response;
using lp::records::Weighting;

namespace {

// "A F", "- S", "- -": a notation in two letters, "-" for not known.
Notation notationOf(const QString& text) {
    const QStringList letters = text.split(u' ');
    return {lp::records::weightingOfLetter(letters.value(0)),
            lp::records::responseOfLetter(letters.value(1))};
}

QString notationText(const Notation& n) {
    return (n.weighting ? lp::records::weightingLetter(*n.weighting) : QStringLiteral("-")) + u' ' +
           (n.response ? lp::records::responseLetter(*n.response) : QStringLiteral("-"));
}

// Ten records of 50.0 dB, one a second from 10:00:00 + `offset` s UTC on 2026-06-01:
// the header is line 1, the records lines 2 to 11.
QByteArray tenRecords(int offset) {
    QByteArray bytes = lp::records::kHeaderLine.toByteArray();
    const QDateTime start(QDate(2026, 6, 1), QTime(10, 0), QTimeZone::utc());
    for (int i = 0; i < 10; ++i) {
        lp::records::appendRecordLine(
            bytes, QByteArray::number(i + 1),
            start.addSecs(offset + i).toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")).toLatin1(),
            "50.0");
    }
    return bytes;
}

const QString kRunAF = QStringLiteral(
    R"({"run":1,"header_line":1,"start":"2026-06-01T10:00:00Z","every_s":1,"weighting":"A","response":"F","range":[30,130]})");
const QString kRunCS = QStringLiteral(
    R"({"run":1,"header_line":1,"start":"2026-06-01T10:00:00Z","every_s":1,"weighting":"C","response":"S","range":null})");
const QString kRunCF =
    QStringLiteral(R"({"run":1,"header_line":1,"weighting":"C","response":"F"})");
const QString kRunUnknown =
    QStringLiteral(R"({"run":1,"header_line":1,"weighting":null,"response":"F"})");
const QString kToCAt6 =
    QStringLiteral(R"({"line":6,"weighting":"C","response":"F","range":[30,130]})");
const QString kToCAt12 =
    QStringLiteral(R"({"line":12,"weighting":"C","response":"F","range":[30,130]})");

}  // namespace

class TestSurveyNotation : public QObject {
    Q_OBJECT
private slots:
    void labels_data() {
        QTest::addColumn<QString>("notation");
        QTest::addColumn<int>("figure");
        QTest::addColumn<int>("percent");
        QTest::addColumn<qint64>("seconds");  // 0: no interval
        QTest::addColumn<QString>("label");
        const int leq = int(Figure::Leq), lmax = int(Figure::Lmax), lmin = int(Figure::Lmin),
                  ln = int(Figure::Exceeded);
        // The time weighting is no part of an Leq; the interval follows a comma.
        QTest::newRow("LAeq,1h") << "A F" << leq << 0 << qint64(3600) << "LAeq,1h";
        QTest::newRow("LAFmax") << "A F" << lmax << 0 << qint64(0) << "LAFmax";
        QTest::newRow("LASmin") << "A S" << lmin << 0 << qint64(0) << "LASmin";
        QTest::newRow("LAF90,15min") << "A F" << ln << 90 << qint64(900) << "LAF90,15min";
        QTest::newRow("LCS10,24h") << "C S" << ln << 10 << qint64(86400) << "LCS10,24h";
        QTest::newRow("LAeq,90s") << "A S" << leq << 0 << qint64(90) << "LAeq,90s";
        // What is not known is left out, each letter on its own.
        QTest::newRow("Leq,1h") << "- -" << leq << 0 << qint64(3600) << "Leq,1h";
        QTest::newRow("Lmax") << "- -" << lmax << 0 << qint64(0) << "Lmax";
        QTest::newRow("L90,1h") << "- -" << ln << 90 << qint64(3600) << "L90,1h";
        QTest::newRow("LFmax") << "- F" << lmax << 0 << qint64(0) << "LFmax";
        QTest::newRow("LCeq, response known") << "C F" << leq << 0 << qint64(0) << "LCeq";
        QTest::newRow("LC50,1min") << "C -" << ln << 50 << qint64(60) << "LC50,1min";
    }
    void labels() {
        QFETCH(QString, notation);
        QFETCH(int, figure);
        QFETCH(int, percent);
        QFETCH(qint64, seconds);
        QTEST(figureLabel(notationOf(notation), Figure(figure), percent,
                          seconds ? std::optional<qint64>(seconds) : std::nullopt),
              "label");
    }

    void states_data() {
        // Each file "name|metadata": without "|" none; lines of its metadata split by "\n".
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("declared");
        QTest::addColumn<QString>("exclude");  // "FROM-TO", seconds after 10:00:00
        QTest::addColumn<QString>("notation");
        QTest::addColumn<QString>("mixed");
        QTest::addColumn<QStringList>("overruled");
        QTest::newRow("one state over two files")
            << QStringList{"a.sdm|" + kRunAF, "b.sdm|" + kRunAF} << "- -"
            << ""
            << "A F"
            << "" << QStringList{};
        QTest::newRow("a change in mid-file")
            << QStringList{"a.sdm|" + kRunAF, "b.sdm|" + kRunAF + "\n" + kToCAt6} << "- -"
            << ""
            << "- F"
            << "The survey mixes meter states: A weighting in a.sdm, b.sdm lines 1-5; "
               "C weighting in b.sdm from line 6; its figures are labelled without what "
               "differs."
            << QStringList{};
        // b.sdm's records are 10:00:10 to 10:00:19, in C from line 6 (10:00:14) on: the
        // records of a state all excluded do not count.
        QTest::newRow("the changed state excluded")
            << QStringList{"a.sdm|" + kRunAF, "b.sdm|" + kRunAF + "\n" + kToCAt6} << "- -"
            << "14-3600"
            << "A F"
            << "" << QStringList{};
        QTest::newRow("the state before the change excluded")
            << QStringList{"a.sdm|" + kRunCF, "b.sdm|" + kRunAF + "\n" + kToCAt6} << "- -"
            << "10-14"
            << "C F"
            << "" << QStringList{};
        // A change after the last record holds no record.
        QTest::newRow("a change after the records")
            << QStringList{"a.sdm|" + kRunAF + "\n" + kToCAt12} << "- -"
            << ""
            << "A F"
            << "" << QStringList{};
        QTest::newRow("no metadata, declared") << QStringList{"a.sdm", "b.sdm"} << "A -"
                                               << ""
                                               << "A -"
                                               << "" << QStringList{};
        QTest::newRow("no metadata, nothing declared") << QStringList{"a.sdm"} << "- -"
                                                       << ""
                                                       << "- -"
                                                       << "" << QStringList{};
        QTest::newRow("metadata over the declaration")
            << QStringList{"a.sdm|" + kRunCS, "b.sdm"} << "A S"
            << ""
            << "- S"
            << "The survey mixes meter states: C weighting in a.sdm; A weighting in b.sdm; "
               "its figures are labelled without what differs."
            << QStringList{
                   "The metadata of a.sdm says C weighting, not the A weighting "
                   "declared: the metadata holds."};
        // What the metadata leaves out, the declaration tells.
        QTest::newRow("the declaration fills a gap")
            << QStringList{"a.sdm|" + kRunUnknown} << "C S"
            << ""
            << "C F"
            << ""
            << QStringList{
                   "The metadata of a.sdm says FAST, not the SLOW declared: the "
                   "metadata holds."};
        QTest::newRow("known beside not known")
            << QStringList{"a.sdm|" + kRunAF, "b.sdm"} << "- -"
            << ""
            << "- -"
            << "The survey mixes meter states: A weighting in a.sdm; weighting not known in "
               "b.sdm; FAST in a.sdm; response not known in b.sdm; its figures are labelled "
               "without what differs."
            << QStringList{};
    }
    void states() {
        QFETCH(QStringList, files);
        QFETCH(QString, declared);
        QFETCH(QString, exclude);
        QTemporaryDir dir;
        QStringList paths;
        for (const QString& file : files) {
            const QString path = dir.filePath(file.section(u'|', 0, 0));
            QVERIFY(lp::test::writeFile(path, tenRecords(10 * int(paths.size()))));
            if (file.contains(u'|')) {
                QVERIFY(lp::test::writeFile(path + ".meta", file.section(u'|', 1).toUtf8()));
            }
            paths << path;
        }
        SurveyOptions options;
        options.declared = notationOf(declared);
        if (!exclude.isEmpty()) {
            const qint64 start =
                QDateTime(QDate(2026, 6, 1), QTime(10, 0), QTimeZone::utc()).toSecsSinceEpoch();
            options.exclusions.push_back({start + exclude.section(u'-', 0, 0).toLongLong(),
                                          start + exclude.section(u'-', 1).toLongLong()});
        }
        const SurveyResult r = analyseSurvey(paths, options, QTimeZone::utc());
        QVERIFY2(!r.failure, qPrintable(r.failure.value_or(QString())));
        QTEST(notationText(r.notation), "notation");
        QTEST(r.mixedStates.value_or(QString()), "mixed");
        QTEST(r.overruled, "overruled");
    }
};

QTEST_GUILESS_MAIN(TestSurveyNotation)
#include "test_survey_notation.moc"
