// The viewer's manual page (packaging/man/zimra-pexo-viewer.1) names every menu command
// with its shortcut, every button of the window and every mouse action and key that
// Help > Keyboard and Mouse lists, so that a command added to the window shows up here
// until the page describes it.
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextDocumentFragment>
#include <QtTest>

#include "app/keyboard_and_mouse.h"
#include "tests/support/window_fixture.h"

namespace {

// The page as text: font changes and escapes resolved, "File \(-> Exit" as "File -> Exit".
QString manualText() {
    QFile file(QStringLiteral(ZP_SOURCE_DIR "/packaging/man/zimra-pexo-viewer.1"));
    if (!file.open(QIODevice::ReadOnly)) return {};
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression(QStringLiteral("\\\\f[BIRP]")));
    text.replace(QLatin1String("\\(->"), QLatin1String("->"));
    text.replace(QLatin1String("\\-"), QLatin1String("-"));
    text.remove(QLatin1String("\\&"));
    return text;
}

QString withoutMnemonic(QString text) {
    return text.remove(u'&');
}

}  // namespace

class TestViewerManual : public QObject {
    Q_OBJECT

  private slots:
    void menus_everyCommandWithItsShortcut() {
        const QString manual = manualText();
        QVERIFY(!manual.isEmpty());
        zp::test::WindowFixture<> f;
        const QStringList lines = manual.split(u'\n');
        int commands = 0;
        for (QAction* top : f.window.menuBar()->actions()) {
            QVERIFY(top->menu());
            const QString menu = withoutMnemonic(top->text());
            for (QAction* action : top->menu()->actions()) {
                if (action->isSeparator()) continue;
                // A submenu is named; its entries (the recent files) are data.
                const QString path =
                    menu + QStringLiteral(" -> ") + withoutMnemonic(action->text());
                const QString shortcut = action->shortcut().toString(QKeySequence::PortableText);
                const bool named = std::any_of(lines.begin(), lines.end(), [&](const QString& l) {
                    return l.contains(path) && l.contains(shortcut);
                });
                QVERIFY2(named, qPrintable(path + u' ' + shortcut));
                ++commands;
            }
        }
        QVERIFY(commands >= 15);
    }

    void buttons_everyOneNamed() {
        const QString manual = manualText();
        zp::test::WindowFixture<> f;
        int buttons = 0;
        for (const QPushButton* button : f.window.findChildren<QPushButton*>()) {
            if (button->window() != &f.window) continue;  // the dialogs' own buttons
            QVERIFY2(manual.contains(withoutMnemonic(button->text())), qPrintable(button->text()));
            ++buttons;
        }
        QCOMPARE(buttons, 3);
    }

    void keys_everyMouseActionAndKeyOfTheHelpWindow() {
        const QString manual = manualText();
        zp::test::WindowFixture<> f;
        static const QRegularExpression bold(QStringLiteral("<b>(.*?)</b>"));
        int entries = 0;
        const QString help = zp::keyboardAndMouseText(f.window.menuBar());
        QStringList missing;
        for (auto it = bold.globalMatch(help); it.hasNext(); ++entries) {
            const QString what =
                QTextDocumentFragment::fromHtml(it.next().captured(1)).toPlainText();
            if (!manual.contains(QStringLiteral(".B ") + what)) missing << what;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QStringLiteral(" | "))));
        QVERIFY(entries >= 10);
    }
};

QTEST_MAIN(TestViewerManual)
#include "test_viewer_manual.moc"
