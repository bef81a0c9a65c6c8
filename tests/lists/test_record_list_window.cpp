// The record-list layout: grid places, and the three grids kept side by side whichever
// is scrolled, by bar or by keys (names and captions: the windows' face tests).
#include <QScrollBar>
#include <QTableView>
#include <QTest>

#include "lists/record_list_window.h"
#include "platform/twips.h"

using namespace lp::lists;

Q_DECLARE_METATYPE(RecordListLayout)

namespace {

void fill(RecordListWindow& w, int rows) {
    for (int i = 1; i <= rows; ++i) {
        w.appendRecord(QString::number(i), QStringLiteral("2009/03/15 14:05:09"),
                       QString::number(40.0 + i % 500 / 10.0, 'f', 1));
    }
}

int topRow(const QTableView* grid) {
    return grid->rowAt(0);
}

// Each grid's top row and current row as "top:current"; coupled grids show one place.
QStringList places(const RecordListWindow& w) {
    QStringList out;
    for (int k = 0; k < 3; ++k) {
        out << QStringLiteral("%1:%2").arg(topRow(w.grid(k))).arg(w.grid(k)->currentIndex().row());
    }
    return out;
}

}  // namespace

class TestRecordListWindow : public QObject {
    Q_OBJECT
private slots:
    void layout_data() {
        QTest::addColumn<RecordListLayout>("design");
        QTest::addColumn<int>("top");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("header");
        QTest::newRow("List") << RecordListLayout::list() << 480 << 5415
                              << "  Date       Time   Value A/C BT  Range  O/U";
        QTest::newRow("HddSavedList")
            << RecordListLayout::hddSavedList() << 480 << 5415
            << "       Date            Time       Value  A/C   BT      Range     O/U";
        QTest::newRow("DataList")
            << RecordListLayout::dataList() << 1080 << 4815
            << "       Date            Time       Value  A/C   BT      Range     O/U";
    }
    void layout() {
        QFETCH(RecordListLayout, design);
        QFETCH(int, top);
        QFETCH(int, height);
        QFETCH(QString, header);
        RecordListWindow w(design, nullptr);
        QCOMPARE(w.recordGrid().header(), header);
        const qreal dpiX = w.logicalDpiX();
        const qreal dpiY = w.logicalDpiY();
        QCOMPARE(w.clientArea()->size(), QSize(lp::platform::twipsToPixels(4095, dpiX),
                                               lp::platform::twipsToPixels(5880, dpiY)));
        const int lefts[] = {0, 840, 2880};
        const int widths[] = {855, 2055, 1215};
        for (int k = 0; k < 3; ++k) {
            const QTableView* grid = w.grid(k);
            QCOMPARE(grid->geometry(), QRect(lp::platform::twipsToPixels(lefts[k], dpiX),
                                             lp::platform::twipsToPixels(top, dpiY),
                                             lp::platform::twipsToPixels(widths[k], dpiX),
                                             lp::platform::twipsToPixels(height, dpiY)));
            for (int c = 0; c < 3; ++c) {
                QCOMPARE(grid->isColumnHidden(c), c != k);
            }
            QCOMPARE(grid->verticalScrollBarPolicy(),
                     k == 2 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
        }
    }

    // The newest row becomes current and visible (in all three grids: scrollTogether).
    void showLastRecord() {
        RecordListWindow w(RecordListLayout::list(), nullptr);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        fill(w, 300);
        w.showLastRecord();
        const QTableView* g = w.grid(2);
        QCOMPARE(g->currentIndex().row(), 299);
        const QRect cell = g->visualRect(g->model()->index(299, 2));
        QVERIFY(cell.isValid() && cell.top() >= 0 && cell.bottom() <= g->viewport()->height());
    }

    void scrollTogether_data() {
        QTest::addColumn<RecordListLayout>("design");
        QTest::addColumn<int>("source");
        QTest::addColumn<QString>("how");
        // The grids' places differ between the windows; the coupling must not care.
        for (int k = 0; k < 3; ++k) {
            for (const char* how : {"scroll bar", "keyboard"}) {
                QTest::addRow("GridN%d %s", k, how)
                    << (k == 1 ? RecordListLayout::dataList() : RecordListLayout::list()) << k
                    << QString(how);
            }
        }
    }
    void scrollTogether() {
        QFETCH(RecordListLayout, design);
        QFETCH(int, source);
        QFETCH(QString, how);
        RecordListWindow w(design, nullptr);
        fill(w, 1000);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTableView* grid = w.grid(source);
        if (how == QLatin1String("scroll bar")) {
            grid->verticalScrollBar()->setValue(321);
        } else {
            grid->setFocus();
            grid->setCurrentIndex(grid->model()->index(0, source));
            for (int i = 0; i < 4; ++i) {
                QTest::keyClick(grid, Qt::Key_PageDown);
            }
            QTest::keyClick(grid, Qt::Key_Down);
            // and back up again past the top of the page
            for (int i = 0; i < 30; ++i) {
                QTest::keyClick(grid, Qt::Key_Up);
            }
        }
        QCOMPARE(places(w), QStringList(3, places(w).at(0)));
        QVERIFY(topRow(w.grid(0)) > 0);  // the grids moved
    }
};

QTEST_MAIN(TestRecordListWindow)
#include "test_record_list_window.moc"
