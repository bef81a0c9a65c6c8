// A window's face as a QTest table: a row per control, tagged with its objectName (or
// the window's own), with its caption and the name assistive technology reads.
#pragma once

#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QTest>
#include <QToolButton>

namespace lp::test {

// Rows "objectName|caption" or "objectName|caption|spoken name" (the caption when not
// given), `shared` after `rows`.
inline void faceRows(QStringList rows, const QStringList& shared = {}) {
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("spoken");
    for (const QString& row : rows << shared) {
        const QStringList parts = row.split(u'|');
        QTest::newRow(qPrintable(parts[0])) << parts[1] << parts.value(2, parts[1]);
    }
}

// An action reads as the tool button it sits on, or as its menu entry.
inline QString spokenName(QObject* o) {
    if (auto* a = qobject_cast<QAction*>(o)) {
        for (QObject* shown : a->associatedObjects()) {
            if (qobject_cast<QToolButton*>(shown)) {
                return spokenName(shown);
            }
        }
        return a->text();
    }
    QAccessibleInterface* i = QAccessible::queryAccessibleInterface(o);
    return i ? i->text(QAccessible::Name) : QString();
}

// Window title, text or box title; an action's text with its tool tip in
// brackets when that says more.
inline QString captionOf(QObject* o) {
    if (auto* a = qobject_cast<QAction*>(o)) {
        return a->toolTip() == a->text() ? a->text() : a->text() + " (" + a->toolTip() + ')';
    }
    auto* w = qobject_cast<QWidget*>(o);
    if (w && w->isWindow()) {
        return w->windowTitle();
    }
    if (auto* g = qobject_cast<QGroupBox*>(o)) {
        return g->title();
    }
    for (const char* property : {"text", "currentText"}) {
        if (const QVariant v = o->property(property); v.isValid()) {
            return v.toString();
        }
    }
    return QString();
}

// The window's controls shown that assistive technology finds no name for.
inline QStringList unnamedControls(QWidget& window) {
    QStringList out;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || w->inherits("QLineEdit") ||
                             w->inherits("QComboBox") || w->inherits("QTableView");
        const bool part = w->parentWidget() && w->parentWidget()->inherits("QComboBox");
        if (control && !part && w->isVisibleTo(&window) && !w->objectName().startsWith("qt_") &&
            spokenName(w).trimmed().isEmpty()) {
            out << w->objectName() + " (" + w->metaObject()->className() + ')';
        }
    }
    return out;
}

// Checks the current row against `window`, and that no control shown is unnamed.
inline void checkFace(QWidget& window) {
    QFETCH(QString, caption);
    QFETCH(QString, spoken);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QObject* o = window.objectName() == name ? &window : window.findChild<QObject*>(name);
    QVERIFY2(o, qPrintable("no " + name));
    QCOMPARE(captionOf(o), caption);
    QCOMPARE(spokenName(o), spoken);
    const QStringList unnamed = unnamedControls(window);
    QVERIFY2(unnamed.isEmpty(), qPrintable("unnamed: " + unnamed.join(", ")));
}

}  // namespace lp::test
