// The run metadata's messages and their cursor file (remote/meta_lines.h). Publishing
// them against a broker is test_meta_publisher's.
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "files.h"
#include "remote/meta_lines.h"

using namespace lp;

class TestMetaLines : public QObject {
    Q_OBJECT
private slots:
    // A line's object goes whole under "meta"; a line cut short by a crash is no object:
    // "meta" null and its bytes as "text".
    void messages_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("an object")
            << QByteArray(R"({"line":2411,"range":[50,100],"response":"S","weighting":"C"})")
            << QByteArray(R"({"file":"log.sdm","meta":{"line":2411,"range":[50,100],)"
                          R"("response":"S","weighting":"C"},"meta_line":3})");
        QTest::newRow("a cut line") << QByteArray("{\"line\":24")
                                    << QByteArray(
                                           "{\"file\":\"log.sdm\",\"meta\":null,\"meta_line\":3,"
                                           "\"text\":\"{\\\"line\\\":24\"}");
    }
    void messages() {
        QFETCH(QByteArray, line);
        QFETCH(QByteArray, message);
        QCOMPARE(remote::metaMessage("/var/lib/levelpanel/north/log.sdm", 3, line), message);
    }

    // Written and read back: names relative to the cursor's folder, the metadata file's
    // identity kept whole (an inode above 2^53 included). A cursor that cannot be read
    // is said, and nothing is taken from it.
    void theCursorFile() {
        QTemporaryDir dir;
        const QString path = remote::metaCursorPath(dir.filePath("log.sdm"));
        QCOMPARE(path, dir.filePath("log.sdm.meta-published"));
        const remote::MetaCursor cursor{
            {dir.filePath("log-2026-12-06.sdm"),
             {2, 431, platform::FileIdentity{2049, (quint64(1) << 60) + 1}}},
            {dir.filePath("log-2026-12-07.sdm"), {0, 0, std::nullopt}}};
        QCOMPARE(remote::saveMetaCursor(path, cursor), std::nullopt);
        const QJsonObject saved = QJsonDocument::fromJson(test::readAll(path)).object();
        QCOMPARE(saved["files"][0]["file"], "log-2026-12-06.sdm");
        const remote::MetaCursorStart read = remote::loadMetaCursor(path);
        QCOMPARE(read.notice, QString());
        QVERIFY(read.cursor == cursor);

        QCOMPARE(remote::loadMetaCursor(dir.filePath("none")).cursor.size(), size_t(0));
        for (const QByteArray& broken :
             {QByteArray(""), QByteArray(R"({"files":[{"file":"a.sdm","lines":-1,"bytes":0}]})")}) {
            QVERIFY(test::writeFile(path, broken));
            const remote::MetaCursorStart lost = remote::loadMetaCursor(path);
            QVERIFY(lost.cursor.empty());
            QVERIFY2(lost.notice.contains(path) && lost.notice.contains("from its start"),
                     qPrintable(lost.notice));
        }
    }
};

QTEST_GUILESS_MAIN(TestMetaLines)
#include "test_meta_lines.moc"
