// The main window's menus as the keyboard reaches them: every entry of every menu has a
// mnemonic of its own within its menu (so Alt+F, E ends the program rather than stopping
// on Export Graph), recent files whose paths hold a "&" included; and Help > Keyboard and
// Mouse lists every key of the chart's key table, every mouse action and every menu
// shortcut.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QtTest>
#include <optional>

#include "app/keyboard_and_mouse.h"
#include "app/main_window.h"
#include "chart/chart_keys.h"
#include "tests/support/find_child.h"
#include "tests/support/window_fixture.h"

using namespace zp;

namespace {

// The mnemonic characters of a menu text: each character after a single "&" ("&&" is a
// plain "&"), upper-cased.
QList<QChar> mnemonicsOf(const QString& text) {
    QList<QChar> found;
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        ++i;
        if (text[i] != u'&') found << text[i].toUpper();
    }
    return found;
}

// Every fault of `actions` (one menu's entries) and of the submenus below them, with
// `path` naming the menu: an enabled entry without a mnemonic, an entry with more than
// one, a mnemonic used twice.
QStringList mnemonicFaults(const QList<QAction*>& actions, const QString& path) {
    QStringList faults;
    QHash<QChar, QString> taken;
    for (const QAction* action : actions) {
        if (action->isSeparator()) continue;
        const QString where = path + QStringLiteral(" > ") + action->text();
        const QList<QChar> marks = mnemonicsOf(action->text());
        if (marks.size() > 1) faults << where + QStringLiteral(": more than one mnemonic");
        if (marks.isEmpty() && action->isEnabled()) faults << where + QStringLiteral(": none");
        if (!marks.isEmpty()) {
            if (taken.contains(marks[0]))
                faults << where +
                              QStringLiteral(": %1 taken by %2").arg(marks[0]).arg(taken[marks[0]]);
            else
                taken.insert(marks[0], action->text());
        }
        if (action->menu()) faults << mnemonicFaults(action->menu()->actions(), where);
    }
    return faults;
}

bool writeFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) &&
           file.write("10,12/05/2024,10:00:00,12345,487,2400,41.8,662.5,17.2\r\n") > 0;
}

}  // namespace

class TestMenus : public QObject {
    Q_OBJECT
  private slots:
    // With no recent file, one, and a full list of them (a "&" in the paths too).
    void mnemonics_distinctInEveryMenu_data() {
        QTest::addColumn<QStringList>("logs");
        QTest::newRow("no recent files") << QStringList{};
        QTest::newRow("one") << QStringList{"flight.csv"};
        QStringList full;
        for (int i = 0; i < 9; ++i) full << QStringLiteral("R&D flight %1.csv").arg(i);
        QTest::newRow("a full list, & in the names") << full;
    }
    void mnemonics_distinctInEveryMenu() {
        QFETCH(QStringList, logs);
        test::WindowFixture<> f;
        for (const QString& log : logs) {
            const QString path = f.dir.filePath(log);
            QVERIFY(writeFile(path));
            f.window.openLogFile(path);
        }
        const QStringList faults =
            mnemonicFaults(f.window.menuBar()->actions(), QStringLiteral("menu bar"));
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u'\n')));
    }

    // The keys as a user presses them: Alt+F opens the File menu, E triggers Exit.
    void altFThenE_triggersExit() {
        test::WindowFixture<> f;
        QAction* exit = test::child<QAction>(f.window, "exit1");
        QVERIFY(exit);
        QSignalSpy exits(exit, &QAction::triggered);
        f.window.show();
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keyClick(&f.window, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget());
        QCOMPARE(QApplication::activePopupWidget()->objectName(), QStringLiteral("File1"));
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_E);
        QTRY_COMPARE(exits.count(), 1);
        QVERIFY(!QApplication::activePopupWidget());
    }

    void keyboardAndMouse_listsEveryKeyActionAndShortcut() {
        test::WindowFixture<> f;
        const QString text = keyboardAndMouseText(f.window.menuBar());
        const auto listed = [&text](const char* what) {
            return text.contains(QString::fromUtf8(what).toHtmlEscaped());
        };
        for (const chart::ChartKey& key : chart::chartKeys()) {
            QVERIFY2(listed(key.keyText), key.keyText);
            QVERIFY2(listed(key.description), key.description);
        }
        for (const chart::ChartMouseAction& mouse : chart::chartMouseActions()) {
            QVERIFY2(listed(mouse.action), mouse.action);
            QVERIFY2(listed(mouse.description), mouse.description);
        }
        // The window's shortcuts with the entries they trigger.
        int shortcuts = 0;
        for (const QAction* action : f.window.findChildren<QAction*>()) {
            if (action->shortcut().isEmpty()) continue;
            ++shortcuts;
            const QString key = action->shortcut().toString(QKeySequence::NativeText);
            const QString entry = QString(action->text()).remove(u'&');
            QVERIFY2(text.contains(QStringLiteral("<b>%1</b></td><td>").arg(key.toHtmlEscaped())) &&
                         text.contains(entry.toHtmlEscaped()),
                     qPrintable(key + QStringLiteral(" ") + entry));
        }
        QVERIFY(shortcuts >= 3);  // Ctrl+E, Ctrl+C, F1 at least

        // The menu entry shows the same list.
        test::child<QAction>(f.window, "keyboardAndMouseAction")->trigger();
        QLabel* shown = test::child<QLabel>(f.window, "keyboardAndMouseText");
        QVERIFY(shown);
        QCOMPARE(shown->text(), text);
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
