// Instants as ISO 8601 local time with the UTC offset, with the offset kept per hour
// across the changes of summer time. The texts are worked by hand from the zones' rules:
// London +00:00 in winter, +01:00 in summer, changing at 01:00 UTC on the last Sundays
// of March and October; Lord Howe +10:30 and +11:00, forward at 02:00 local standard
// time (15:30 UTC) on the first Sunday of October; St John's -03:30 in winter.
#include <QDateTime>
#include <QTest>
#include <ctime>

#include "platform/iso_time.h"

class TestIsoTime : public QObject {
    Q_OBJECT

private slots:
    // The instants (UTC) are fed in order to one LocalTimes, so that its hour kept is
    // used, left at a change and taken again; each must read as `expected`.
    void localTimes_data() {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QStringList>("utc");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("London, spring")
            << QByteArray("Europe/London")
            << QStringList{"2026-03-29T00:00:00", "2026-03-29T00:59:59", "2026-03-29T01:00:00",
                           "2026-03-29T01:59:59", "2026-03-29T00:30:00"}
            << QStringList{"2026-03-29T00:00:00+00:00", "2026-03-29T00:59:59+00:00",
                           "2026-03-29T02:00:00+01:00", "2026-03-29T02:59:59+01:00",
                           "2026-03-29T00:30:00+00:00"};
        QTest::newRow("London, autumn: the hour shown twice")
            << QByteArray("Europe/London")
            << QStringList{"2026-10-24T23:59:59", "2026-10-25T00:00:00", "2026-10-25T00:59:59",
                           "2026-10-25T01:00:00", "2026-10-25T01:59:59", "2026-10-25T00:30:00"}
            << QStringList{"2026-10-25T00:59:59+01:00", "2026-10-25T01:00:00+01:00",
                           "2026-10-25T01:59:59+01:00", "2026-10-25T01:00:00+00:00",
                           "2026-10-25T01:59:59+00:00", "2026-10-25T01:30:00+01:00"};
        QTest::newRow("Lord Howe, forward at the half hour of UTC")
            << QByteArray("Australia/Lord_Howe")
            << QStringList{"2026-10-03T15:00:00", "2026-10-03T15:29:59", "2026-10-03T15:30:00",
                           "2026-10-03T15:59:59"}
            << QStringList{"2026-10-04T01:30:00+10:30", "2026-10-04T01:59:59+10:30",
                           "2026-10-04T02:30:00+11:00", "2026-10-04T02:59:59+11:00"};
        QTest::newRow("west of UTC by hours and minutes; UTC as +00:00, not Z")
            << QByteArray("America/St_Johns") << QStringList{"2026-12-06T12:00:00"}
            << QStringList{"2026-12-06T08:30:00-03:30"};
        QTest::newRow("UTC") << QByteArray("UTC") << QStringList{"2026-12-31T23:59:59"}
                             << QStringList{"2026-12-31T23:59:59+00:00"};
    }
    void localTimes() {
        QFETCH(QByteArray, zone);
        QFETCH(QStringList, utc);
        QFETCH(QStringList, expected);
        qputenv("TZ", zone);
        tzset();
        lp::platform::LocalTimes times;
        QStringList kept;
        QStringList asked;
        for (const QString& text : utc) {
            const QDateTime when = QDateTime::fromString(text, Qt::ISODate);
            const qint64 instant =
                QDateTime(when.date(), when.time(), QTimeZone::utc()).toSecsSinceEpoch();
            kept << times.isoText(instant);
            asked << lp::platform::localIsoTime(instant);
        }
        QCOMPARE(kept, expected);
        QCOMPARE(asked, expected);
    }
};

QTEST_GUILESS_MAIN(TestIsoTime)
#include "test_iso_time.moc"
