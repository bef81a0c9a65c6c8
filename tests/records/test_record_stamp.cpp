// Record stamps in real time: the rule for the hour skipped in spring and the hour shown
// twice in autumn. The instants are worked by hand from the zones' offsets (Berlin +01:00
// in winter and +02:00 in summer, clocks changing at 01:00 UTC on the last Sundays of
// March and October; New York -05:00 and -04:00, back at 06:00 UTC on 2026-11-01).
#include <QDateTime>
#include <QTest>

#include "records/record_stamp.h"

using lp::records::StampReader;
using lp::records::StampTime;

class TestRecordStamp : public QObject {
    Q_OBJECT

private slots:
    // A stamp's fields: its day and second, or none for any other text; its ISO text
    // (put fast, for every record of an export) is there exactly when the fields are.
    void stamps_data() {
        QTest::addColumn<QString>("stamp");
        QTest::addColumn<QString>("read");  // date and second of the day, or "none"
        const std::pair<const char*, const char*> rows[] = {
            {"2026/06/01 10:00:00", "2026-06-01 36000"},
            {"2026/12/31 23:59:59", "2026-12-31 86399"},  // the last second
            {"2024/02/29 00:00:00", "2024-02-29 0"},      // a leap day
            {"2026/02/29 10:00:00", "none"},              // no leap day
            {"2026/06/01 24:00:00", "none"},
            {"2026/06/01 23:60:00", "none"},
            {"2026/06/01 23:59:60", "none"},
            {"2026/06/01 10:00", "none"},
            {"2026/06/01 10:00:00 ", "none"},  // a blank after it
            {"2026-06-01 10:00:00", "none"},
            {"09/06/01 12:00:00", "none"},  // a fixed-column line's
        };
        for (const auto& [stamp, read] : rows) {
            QTest::newRow(stamp) << QString::fromLatin1(stamp) << QString::fromLatin1(read);
        }
        QTest::newRow("2026/02/28 23:59:59") << "2026/02/28 23:59:59"
                                             << "2026-02-28 86399";
        QTest::newRow("1900/02/29 10:00:00") << "1900/02/29 10:00:00"
                                             << "none";  // no leap day
        QTest::newRow("2000/02/29 10:00:00") << "2000/02/29 10:00:00"
                                             << "2000-02-29 36000";
        QTest::newRow("0000/01/01 00:00:00") << "0000/01/01 00:00:00"
                                             << "none";  // no year 0
        QTest::newRow("2026/13/01 00:00:00") << "2026/13/01 00:00:00"
                                             << "none";
        QTest::newRow("2026/04/31 00:00:00") << "2026/04/31 00:00:00"
                                             << "none";
        QTest::newRow("2026/06/01 1O:00:00") << "2026/06/01 1O:00:00"
                                             << "none";  // a letter O
    }
    void stamps() {
        QFETCH(QString, stamp);
        QFETCH(QString, read);
        const std::optional<lp::records::LocalStamp> fields =
            lp::records::readStamp(stamp.toLatin1());
        QCOMPARE(fields ? QDate::fromJulianDay(fields->julianDay).toString(Qt::ISODate) + u' ' +
                              QString::number(fields->secondOfDay)
                        : QStringLiteral("none"),
                 read);
        char iso[lp::records::kStampBytes + 1] = {};
        const char* end = lp::records::putIsoStamp(iso, stamp.toLatin1());
        const QString expected = read == QStringLiteral("none")
                                     ? QStringLiteral("none")
                                     : QString(stamp).replace(u'/', u'-').replace(u' ', u'T');
        QCOMPARE(end ? QString::fromLatin1(iso, end - iso) : QStringLiteral("none"), expected);
    }

    // Each stamp fed in order ("|" restarts the run, as a new file does); what the
    // reader makes of it: "UTC instant offset-in-hours", or "-" for no stamp.
    void inRecordOrder_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QStringList>("stamps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("Berlin, autumn: a step back marks the second pass")
            << QByteArray("Europe/Berlin")
            << QStringList{"2026/10/25 01:59:00", "2026/10/25 02:00:00", "2026/10/25 02:59:00",
                           "2026/10/25 02:00:00", "2026/10/25 02:59:00", "2026/10/25 03:00:00"}
            << QStringList{"2026-10-24T23:59:00Z 2", "2026-10-25T00:00:00Z 2",
                           "2026-10-25T00:59:00Z 2", "2026-10-25T01:00:00Z 1",
                           "2026-10-25T01:59:00Z 1", "2026-10-25T02:00:00Z 1"};
        QTest::newRow("Berlin, autumn: the same minute on both passes, one no stamp between")
            << QByteArray("Europe/Berlin")
            << QStringList{"2026/10/25 02:30:10", "2026/10/25 02:30:20", "no time",
                           "2026/10/25 02:30:10", "2026/10/25 02:30:20"}
            << QStringList{"2026-10-25T00:30:10Z 2", "2026-10-25T00:30:20Z 2", "-",
                           "2026-10-25T01:30:10Z 1", "2026-10-25T01:30:20Z 1"};
        QTest::newRow("Berlin, autumn: a new run starts on the first pass again")
            << QByteArray("Europe/Berlin")
            << QStringList{"2026/10/25 02:50:00", "2026/10/25 02:10:00", "|", "2026/10/25 02:10:00"}
            << QStringList{"2026-10-25T00:50:00Z 2", "2026-10-25T01:10:00Z 1",
                           "2026-10-25T00:10:00Z 2"};
        QTest::newRow("Berlin, autumn: a step back from outside the hour is no second pass")
            << QByteArray("Europe/Berlin")
            << QStringList{"2026/10/25 01:45:00", "2026/10/25 01:15:00", "2026/10/25 02:15:00"}
            << QStringList{"2026-10-24T23:45:00Z 2", "2026-10-24T23:15:00Z 2",
                           "2026-10-25T00:15:00Z 2"};
        QTest::newRow("Berlin, spring: the skipped hour with the offset before")
            << QByteArray("Europe/Berlin")
            << QStringList{"2026/03/29 01:59:59", "2026/03/29 02:30:00", "2026/03/29 03:00:00"}
            << QStringList{"2026-03-29T00:59:59Z 1", "2026-03-29T01:30:00Z 1",
                           "2026-03-29T01:00:00Z 2"};
        QTest::newRow("New York, autumn, west of UTC")
            << QByteArray("America/New_York")
            << QStringList{"2026/11/01 01:30:00", "2026/11/01 01:10:00", "2026/11/01 02:00:00"}
            << QStringList{"2026-11-01T05:30:00Z -4", "2026-11-01T06:10:00Z -5",
                           "2026-11-01T07:00:00Z -5"};
    }
    void inRecordOrder() {
        QFETCH(QByteArray, zone);
        QFETCH(QStringList, stamps);
        QFETCH(QStringList, expected);
        StampReader reader{QTimeZone(zone)};
        QStringList got;
        for (const QString& stamp : stamps) {
            if (stamp == "|") {
                reader.restart();
                continue;
            }
            const std::optional<StampTime> t = reader.next(stamp.toLatin1());
            got << (t ? QDateTime::fromSecsSinceEpoch(t->instant, QTimeZone::utc())
                                .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ ")) +
                            QString::number(t->offset / 3600)
                      : QStringLiteral("-"));
        }
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestRecordStamp)
#include "test_record_stamp.moc"
