// The characters a logger's name, its prefix and its client id may not hold: named for
// the user, and the same set libmosquitto itself refuses.
#include <mosquitto.h>

#include <QTest>

#include "remote/topic_rules.h"

class TestTopicRules : public QObject {
    Q_OBJECT

private slots:
    void named_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("topic");     // the problem in a topic, "" for none
        QTest::addColumn<QString>("clientId");  // in a client id
        QTest::newRow("plain") << "lp/north 2 é€"
                               << ""
                               << "";
        QTest::newRow("tab") << "a\tb"
                             << "the control character U+0009"
                             << "the control character U+0009";
        QTest::newRow("DEL") << "a\x7f"
                             << "the control character U+007F"
                             << "the control character U+007F";
        QTest::newRow("NEL") << "a\u0085"
                             << "the control character U+0085"
                             << "the control character U+0085";
        QTest::newRow("NUL") << QString(QChar(0)) << "the control character U+0000"
                             << "the control character U+0000";
        QTest::newRow("plus") << "a+"
                              << "the wildcard '+'"
                              << "";
        QTest::newRow("noncharacter") << "\uFDD0"
                                      << "the noncharacter U+FDD0"
                                      << "the noncharacter U+FDD0";
        QTest::newRow("plane 1 noncharacter")
            << QString::fromUcs4(U"x\U0001FFFF") << "the noncharacter U+1FFFF"
            << "the noncharacter U+1FFFF";
        QTest::newRow("lone surrogate")
            << QString(QChar(0xD800)) << "half of a character (U+D800 alone)"
            << "half of a character (U+D800 alone)";
    }
    void named() {
        QFETCH(QString, text);
        QFETCH(QString, topic);
        QFETCH(QString, clientId);
        QCOMPARE(lp::remote::topicCharacterProblem(text).value_or(QString()), topic);
        QCOMPARE(lp::remote::clientIdCharacterProblem(text).value_or(QString()), clientId);
    }

    // Every character, one at a time: refused here exactly when libmosquitto refuses it
    // (mosquitto_validate_utf8 is what its client and publish calls check with).
    void sameAsLibmosquitto() {
        QStringList differ;
        for (char32_t code = 0; code <= 0x10FFFF; ++code) {
            if (code >= 0xD800 && code <= 0xDFFF) {
                continue;
            }
            const QString text = QString::fromUcs4(&code, 1);
            const QByteArray utf8 = text.toUtf8();
            const bool library = mosquitto_validate_utf8(utf8.constData(), int(utf8.size())) != 0;
            if (lp::remote::clientIdCharacterProblem(text).has_value() != library) {
                differ << QString::number(uint(code), 16);
            }
        }
        QCOMPARE(differ.mid(0, 10), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestTopicRules)
#include "test_topic_rules.moc"
