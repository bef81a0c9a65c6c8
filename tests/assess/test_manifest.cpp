// Profiles: written and read back, a hand-written one with its defaults, bad values and
// unsafe names refused. The manifest of a report: files hashed (against the FIPS 180-2 example),
// the XMP packet that carries it written as XML and found again among a PDF's bytes, the command
// line quoted for the shell, and files checked against it. The whole path through a real report PDF
// and `verify` is tests/cli's test_cli_verify.
#include <QDir>
#include <QJsonArray>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include "assess/manifest.h"
#include "assess/profile.h"
#include "files.h"

using namespace lp::assess;

namespace {

// SHA-256 of "abc" (FIPS 180-2, appendix B.1).
const QString kAbcSha256 =
    QStringLiteral("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

const QString kAwkwardPath = QStringLiteral("/data/R&D <east> \"yard\" 'o' Øre ]]> 騒音.sdm");

Manifest sampleManifest() {
    Manifest m;
    m.program = QStringLiteral("levelpanel-cli");
    m.version = QStringLiteral("1.2.3");
    m.commandLine = {QStringLiteral("levelpanel-cli"), QStringLiteral("report"), kAwkwardPath};
    m.options = {
        {QStringLiteral("above"), QStringLiteral("80")},
        {QStringLiteral("exclude"), QJsonArray{QStringLiteral("a/b"), QStringLiteral("c&d")}}};
    m.files = {{kAwkwardPath, 1234, kAbcSha256},
               {QStringLiteral("/data/b.sdm"), 3, QString(64, u'0')}};
    m.profile = manifestProfile(QStringLiteral("client"), QStringLiteral("/p/client.json"), "abc",
                                {{QStringLiteral("period_s"), 900}});
    return m;
}

bool sameManifest(const Manifest& a, const Manifest& b) {
    if (a.files.size() != b.files.size()) {
        return false;
    }
    for (size_t i = 0; i < a.files.size(); ++i) {
        if (a.files[i].path != b.files[i].path || a.files[i].size != b.files[i].size ||
            a.files[i].sha256 != b.files[i].sha256) {
            return false;
        }
    }
    const auto profileWords = [](const Manifest& m) {
        return m.profile
                   ? QStringList{m.profile->name, m.profile->file.path,
                                 QString::number(m.profile->file.size), m.profile->file.sha256,
                                 QString::number(m.profile->values.size())}
                   : QStringList();
    };
    return a.program == b.program && a.version == b.version && a.commandLine == b.commandLine &&
           a.options == b.options && profileWords(a) == profileWords(b);
}

// The texts of the elements of `packet`, by namespace and name, read by an XML reader
// of its own; "<not XML: ...>" when the packet is not well-formed.
QMap<QString, QString> elementTexts(const QByteArray& packet) {
    QMap<QString, QString> texts;
    QXmlStreamReader xml(packet);
    QStringList open;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            open << xml.namespaceUri().toString() + xml.name().toString();
        } else if (xml.isCharacters() && !xml.isWhitespace() && !open.isEmpty()) {
            texts[open.last()] += xml.text();
        } else if (xml.isEndElement()) {
            open.removeLast();
        }
    }
    if (xml.hasError()) {
        texts[QStringLiteral("error")] = QStringLiteral("<not XML: %1>").arg(xml.errorString());
    }
    return texts;
}

}  // namespace

class TestManifest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString written(const QString& name, const QByteArray& bytes) {
        const QString path = dir_.filePath(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        return lp::test::writeFile(path, bytes) ? path : QString();
    }

    // Why a profile was not read ("read" when it was).
    static QString whyNot(const std::variant<ReadProfile, QString>& read) {
        return std::holds_alternative<QString>(read) ? std::get<QString>(read)
                                                     : QStringLiteral("read");
    }

    // The profile's file of `json`, read; the problem's words when it cannot be.
    std::variant<ReadProfile, QString> readBack(const QByteArray& json) {
        return readProfile(written(QStringLiteral("profiles/p.json"), json));
    }

private slots:
    // Every value away from its default survives the file; a hand-written file keeps
    // the defaults of what it leaves out and passes over keys it does not know.
    void profileRoundTrip() {
        Profile p;
        p.periodLength = 900;
        p.dayParts = {6, 18, 22, 3.5, 8};
        p.events = lp::stats::EventRule{72.5, 4, 2};
        p.adjust = -3;
        p.minCoverage = 0.5;
        p.backgroundInterval = 3600;
        p.backgroundDayFrom = 6;
        p.backgroundNightFrom = 22;
        p.typical = Typical::P10;
        p.rbl = true;
        p.ratingDayFrom = 8;
        p.ratingNightFrom = 20;
        p.trDay = 1800;
        p.trNight = 300;
        p.shift = Shift{6 * 60, 14 * 60 + 30};
        p.teHours = 6.5;
        p.loudAbove = 60;
        p.window = 300;
        p.nth = 3;
        const QString path = dir_.filePath(QStringLiteral("profiles/all.json"));
        QCOMPARE(writeProfile(path, p), std::nullopt);
        const auto back = readProfile(path);
        QVERIFY2(std::holds_alternative<ReadProfile>(back), qPrintable(whyNot(back)));
        QVERIFY(std::get<ReadProfile>(back).profile == p);
        QVERIFY(lp::test::readAll(path).contains("\"shift\": \"06:00-14:30\""));
        p.events.reset();
        p.shift.reset();
        QCOMPARE(writeProfile(path, p), std::nullopt);
        QVERIFY(std::get<ReadProfile>(readProfile(path)).profile == p);

        const auto hand = readBack(R"({"period_s": 900, "colour": "red",
                                       "background": {"typical": "median"}, "events": null})");
        QVERIFY2(std::holds_alternative<ReadProfile>(hand), qPrintable(whyNot(hand)));
        Profile expected;
        expected.periodLength = 900;
        expected.typical = Typical::Median;
        expected.events.reset();
        QVERIFY(std::get<ReadProfile>(hand).profile == expected);
    }

    // The refusal names the key (with its object) and the file.
    void profileBadValues_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("named");
        QTest::newRow("period") << QByteArray(R"({"period_s": 7})") << "period_s in ";
        QTest::newRow("period 7min") << QByteArray(R"({"period_s": 420})") << "period_s in ";
        QTest::newRow("hour as text") << QByteArray(R"({"day_from_h": "7"})") << "day_from_h in ";
        QTest::newRow("half hour")
            << QByteArray(R"({"rating": {"day_from_h": 7.5}})") << "rating.day_from_h in ";
        QTest::newRow("parts out of order")
            << QByteArray(R"({"day_from_h": 20})") << "the day, evening and night";
        QTest::newRow("penalty") << QByteArray(R"({"night_penalty_db": 21})")
                                 << "night_penalty_db in ";
        QTest::newRow("typical") << QByteArray(R"({"background": {"typical": "max"}})")
                                 << "background.typical in ";
        QTest::newRow("threshold")
            << QByteArray(R"({"events": {"above_db": "loud"}})") << "events.above_db in ";
        QTest::newRow("shift") << QByteArray(R"({"exposure": {"shift": "15:30-15:30"}})")
                               << "exposure.shift in ";
        QTest::newRow("window") << QByteArray(R"({"loud_events": {"window_s": 7}})")
                                << "loud_events.window_s in ";
        QTest::newRow("coverage") << QByteArray(R"({"min_coverage": 75})") << "min_coverage in ";
        QTest::newRow("same hours") << QByteArray(R"({"background": {"night_from_h": 7}})")
                                    << "cannot begin at the same hour";
        QTest::newRow("no object") << QByteArray("[1, 2]") << "no JSON object";
        QTest::newRow("not JSON") << QByteArray("period_s = 900") << "no JSON object";
    }
    void profileBadValues() {
        QFETCH(QByteArray, json);
        QFETCH(QString, named);
        const auto read = readBack(json);
        QVERIFY(std::holds_alternative<QString>(read));
        const QString problem = std::get<QString>(read);
        QVERIFY2(problem.contains(named) && problem.contains(QStringLiteral("p.json")),
                 qPrintable(problem));
    }

    // A name stays inside the profiles folder; an argument with a '/' or the extension
    // is a file of its own.
    void profileNames() {
        for (const QString& bad : {QString(), QStringLiteral(" "), QStringLiteral("a/b"),
                                   QStringLiteral(".hidden"), QStringLiteral("../up")}) {
            QVERIFY2(profileNameProblem(bad), qPrintable(bad));
        }
        QCOMPARE(profileNameProblem(QStringLiteral("Client A 2027")), std::nullopt);
        const QString folder = dir_.filePath(QStringLiteral("named"));
        QCOMPARE(profilePath(QStringLiteral("client"), folder), folder + "/client.json");
        QCOMPARE(profilePath(QStringLiteral("other.json"), folder), QStringLiteral("other.json"));
        QCOMPARE(profilePath(QStringLiteral("./client"), folder), QStringLiteral("./client"));
        for (const char* name : {"b.json", "a.json", ".c.json", "notes.txt"}) {
            QVERIFY(!written(QStringLiteral("named/") + QLatin1String(name), "{}").isEmpty());
        }
        QCOMPARE(lp::assess::profileNames(folder), (QStringList{"a", "b"}));
    }

    // With a profile the manifest names it, its file's SHA-256 (FIPS 180-2 again) and
    // its values; without one it holds no profile key at all.
    void manifestProfileEntry() {
        const ManifestProfile entry =
            manifestProfile(QStringLiteral("client"), QStringLiteral("/p/client.json"), "abc", {});
        QCOMPARE(entry.file.sha256, kAbcSha256);
        QCOMPARE(entry.file.size, 3);
        const Manifest with = sampleManifest();
        const std::optional<Manifest> back = manifestOfJson(manifestJson(with));
        QVERIFY(back && sameManifest(*back, with));
        Manifest without = with;
        without.profile.reset();
        QVERIFY(!manifestJson(without).contains(QStringLiteral("profile")));
        QVERIFY(!manifestOfJson(manifestJson(without))->profile);
    }

    void hashedAsFips180Says() {
        const QString abc = written(QStringLiteral("abc.sdm"), "abc");
        const auto hashed = hashedFiles({abc});
        QVERIFY(std::holds_alternative<std::vector<ManifestFile>>(hashed));
        const ManifestFile& file = std::get<0>(hashed).front();
        QCOMPARE(file.sha256, kAbcSha256);
        QCOMPARE(file.size, 3);
        QCOMPARE(file.path, QFileInfo(abc).absoluteFilePath());
        const auto missing = hashedFiles({abc, dir_.filePath(QStringLiteral("none.sdm"))});
        QVERIFY(std::holds_alternative<QString>(missing));
        QVERIFY2(std::get<QString>(missing).contains(QStringLiteral("none.sdm")),
                 qPrintable(std::get<QString>(missing)));
    }

    // The packet is XML with the XMP wrapper; the awkward characters are escaped, not
    // lost, and the manifest comes back whole from among a PDF's other bytes.
    void xmpRoundTrip() {
        const Manifest manifest = sampleManifest();
        const QByteArray packet = manifestXmp(manifest);
        QVERIFY2(
            packet.startsWith("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"),
            packet.left(80).constData());
        QVERIFY2(packet.trimmed().endsWith("<?xpacket end=\"r\"?>"), packet.right(40).constData());
        const QMap<QString, QString> texts = elementTexts(packet);
        QVERIFY2(!texts.contains(QStringLiteral("error")), qPrintable(texts.value("error")));
        QCOMPARE(texts.value(QStringLiteral("http://purl.org/dc/elements/1.1/format")),
                 QStringLiteral("application/pdf"));
        QCOMPARE(texts.value(QStringLiteral("http://ns.adobe.com/xap/1.0/CreatorTool")),
                 QStringLiteral("levelpanel-cli 1.2.3"));
        QVERIFY2(texts.value(kManifestNamespace + QStringLiteral("manifest"))
                     .contains(QStringLiteral("R&D <east> \\\"yard\\\" 'o' Øre ]]> 騒音")),
                 qPrintable(texts.value(kManifestNamespace + QStringLiteral("manifest"))));
        QVERIFY(!packet.contains("R&D <east>"));  // escaped in the XML itself
        QVERIFY(packet.contains("x:xmpmeta") && packet.contains("rdf:RDF"));

        // Another packet before (an image's) and the stream's PDF around it.
        const QByteArray other =
            "<?xpacket begin=\"\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?><x:xmpmeta "
            "xmlns:x=\"adobe:ns:meta/\"/><?xpacket end=\"w\"?>";
        const QByteArray pdf = "%PDF-1.4\n1 0 obj\n<<>>\nstream\n" + other +
                               "\nendstream\n2 0 obj\n<< /Type /Metadata >>\nstream\n" + packet +
                               "endstream\nendobj\n%%EOF\n";
        const std::optional<Manifest> back = manifestInPdf(pdf);
        QVERIFY(back);
        QVERIFY(sameManifest(*back, manifest));
    }

    // No packet, a packet without a manifest, one cut short, one whose manifest is no
    // JSON: none.
    void noManifest_data() {
        QTest::addColumn<QByteArray>("pdf");
        const QByteArray packet = manifestXmp(sampleManifest());
        QTest::newRow("no packet") << QByteArray("%PDF-1.4\n%%EOF\n");
        QTest::newRow("packet without") << QByteArray(
            "<?xpacket begin=\"\" id=\"x\"?><x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>"
            "<?xpacket end=\"w\"?>");
        QTest::newRow("cut short") << packet.left(packet.indexOf("<?xpacket end"));
        QByteArray broken = packet;
        broken.replace("{", "[");
        QTest::newRow("not JSON") << broken;
    }
    void noManifest() {
        QFETCH(QByteArray, pdf);
        QVERIFY(!manifestInPdf(pdf));
    }

    void commandLineQuoted_data() {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringList{"levelpanel-cli", "report", "--every=15min",
                                              "/a/b_c.sdm"}
                               << "levelpanel-cli report --every=15min /a/b_c.sdm";
        QTest::newRow("blank and $") << QStringList{"a b", "$HOME"} << "'a b' '$HOME'";
        QTest::newRow("quote") << QStringList{"it's"} << "'it'\\''s'";
        QTest::newRow("empty") << QStringList{"x", ""} << "x ''";
    }
    void commandLineQuoted() {
        QFETCH(QStringList, words);
        QFETCH(QString, text);
        QCOMPARE(commandLineText(words), text);
    }

    // Unchanged, one byte changed (the size the same), gone; named files matched by name,
    // of two of one name the one in the listed folder.
    void filesChecked() {
        const QString a = written(QStringLiteral("site/day1/a.sdm"), "abc");
        const QString b = written(QStringLiteral("site/day1/b.sdm"), "b1");
        const QString c = written(QStringLiteral("site/day1/c.sdm"), "c1");
        const QString otherA = written(QStringLiteral("copy/day2/a.sdm"), "abd");
        const QString copyA = written(QStringLiteral("copy/day1/a.sdm"), "abc");
        const auto hashed = hashedFiles({a, b, c});
        QVERIFY(std::holds_alternative<std::vector<ManifestFile>>(hashed));
        Manifest manifest;
        manifest.files = std::get<0>(hashed);
        manifest.files.push_back({QStringLiteral("-"), 0, QString()});  // standard input

        QVERIFY(lp::test::writeFile(b, "b2"));
        QVERIFY(QFile::remove(c));
        const auto results = [](const std::vector<FileCheck>& checks) {
            QStringList words;
            for (const FileCheck& check : checks) {
                words << QFileInfo(check.path).fileName() +
                             (check.match == FileMatch::Matches   ? QStringLiteral(" matches")
                              : check.match == FileMatch::Differs ? QStringLiteral(" differs")
                                                                  : QStringLiteral(" missing"));
            }
            return words.join(QStringLiteral(", "));
        };
        const std::vector<FileCheck> listed = checkFiles(manifest, {});
        QCOMPARE(results(listed), QStringLiteral("a.sdm matches, b.sdm differs, c.sdm missing, "
                                                 "- missing"));
        QCOMPARE(listed[1].listed.sha256, manifest.files[1].sha256);

        const std::vector<FileCheck> named = checkFiles(manifest, {otherA, b, copyA});
        QCOMPARE(named[0].path, copyA);
        QCOMPARE(results(named), QStringLiteral("a.sdm matches, b.sdm differs, c.sdm missing, "
                                                "- missing"));
    }
};

QTEST_GUILESS_MAIN(TestManifest)
#include "test_manifest.moc"
