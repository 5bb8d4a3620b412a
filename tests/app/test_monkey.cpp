// Thousands of seeded random presses, drags, wheel turns, legend clicks, button clicks,
// key presses and resizes on the main window, with no log, an example log and hostile
// files loaded through the scripted dialogs. The window must come through every step:
// no crash, no hang, no sanitizer report, axis ranges that stay numbers, and a whole
// Settings.bin at the end.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWheelEvent>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <random>

#include "app/main_window.h"
#include "chart/chart_widget.h"
#include "import/point_budget.h"
#include "settings/settings_store.h"
#include "settings/units_dialog.h"
#include "tests/support/fake_dialogs.h"
#include "tests/support/file_bytes.h"
#include "tests/support/find_child.h"

using namespace zp;

namespace {

// Answers the open dialog with the next file of a list, in turn, and every other dialog
// with a cancel.
class CyclingDialogs : public test::FakeDialogs {
  public:
    QStringList files;
    int next = 0;
    bool getOpenFileNames(QWidget*, const FileDialogRequest&, QStringList& chosen) override {
        if (files.isEmpty()) return false;
        chosen = {files[next++ % files.size()]};
        return true;
    }
};

// Lines whose times jump between the ends of the day: each pair asks for a whole day of
// zero points per channel.
QByteArray backAndForthLog() {
    QByteArray log;
    for (int i = 0; i < 40; ++i)
        log += QByteArray("9,12/05/2024,") + (i % 2 ? "23:59:59" : "00:00:00") + ",1,2,3,4,5,6\n";
    return log;
}

class Monkey {
  public:
    Monkey(MainWindow& main, quint32 seed)
        : main_(main),
          chart_(main.chart()),
          buttons_{test::child<QAbstractButton>(main, "Button6"),
                   test::child<QAbstractButton>(main, "Button6"),
                   test::child<QAbstractButton>(main, "Button4"),
                   test::child<QAbstractButton>(main, "Button5"),
                   test::child<QAbstractButton>(main, "SpeedButton3"),
                   test::child<QAbstractButton>(main, "SpeedButton2")},
          random_(seed) {}

    // False when a button the monkey presses is missing (the lookup has failed the test).
    bool isValid() const {
        return std::find(std::begin(buttons_), std::end(buttons_), nullptr) == std::end(buttons_);
    }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    QPoint anywhere() {
        return QPoint(pick(chart_.width() + 40) - 20, pick(chart_.height() + 40) - 20);
    }

    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button) {
        if (type == QEvent::MouseButtonPress) held_ |= button;
        if (type == QEvent::MouseButtonRelease) held_ &= ~Qt::MouseButtons(button);
        const Qt::KeyboardModifiers modifiers =
            pick(8) == 0 ? Qt::ShiftModifier : Qt::KeyboardModifiers();
        QMouseEvent event(type, QPointF(at), QPointF(chart_.mapToGlobal(at)),
                          type == QEvent::MouseMove ? Qt::NoButton : button, held_, modifiers);
        last_ = at;
        QCoreApplication::sendEvent(&chart_, &event);
    }

    void step() {
        const Qt::MouseButton button = pick(3) == 0 ? Qt::RightButton : Qt::LeftButton;
        switch (pick(12)) {
            case 0:
            case 1:
                mouse(QEvent::MouseButtonPress, anywhere(), button);
                break;
            case 2:
            case 3:
            case 4:
                mouse(QEvent::MouseMove, anywhere(), Qt::NoButton);
                break;
            case 5:
                mouse(QEvent::MouseButtonRelease, anywhere(), button);
                break;
            case 6: {
                const int delta = (pick(2) ? 1 : -1) * (pick(3) == 0 ? 40 : 120 * (1 + pick(3)));
                QWheelEvent event(QPointF(anywhere()), QPointF(), QPoint(), QPoint(0, delta), held_,
                                  Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(&chart_, &event);
                break;
            }
            case 7: {
                // A click on a legend check box (or near it).
                const chart::LegendLayout& legend = chart_.layout().legend;
                if (!legend.visible || legend.shownCount() == 0) break;
                const QRect box = legend.checkBoxRect(pick(legend.shownCount()));
                const QPoint at = box.center() + QPoint(pick(5) - 2, pick(5) - 2);
                mouse(QEvent::MouseButtonPress, at, button);
                mouse(QEvent::MouseButtonRelease, at, button);
                break;
            }
            case 8: {
                static const int keys[] = {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Space,
                                           Qt::Key_Tab,    Qt::Key_Left,   Qt::Key_Up,
                                           Qt::Key_Delete, Qt::Key_A,      Qt::Key_Z};
                QWidget* target = pick(2) ? static_cast<QWidget*>(&chart_) : &main_;
                QTest::keyClick(target, Qt::Key(keys[pick(int(std::size(keys)))]),
                                pick(4) == 0 ? Qt::ControlModifier : Qt::NoModifier);
                break;
            }
            case 9:
                // Load twice as often as the other buttons.
                buttons_[pick(int(std::size(buttons_)))]->click();
                break;
            case 10:
                main_.resize(200 + pick(900), 150 + pick(700));
                break;
            default:
                QCoreApplication::processEvents();
                break;
        }
    }

    QPoint last() const { return last_; }

  private:
    MainWindow& main_;
    chart::ChartWidget& chart_;
    QAbstractButton* buttons_[6];
    std::mt19937 random_;
    Qt::MouseButtons held_;
    QPoint last_;
};

}  // namespace

class TestMonkey : public QObject {
    Q_OBJECT

  private slots:
    void monkey_survivesRandomInput_data();
    void monkey_survivesRandomInput();
};

void TestMonkey::monkey_survivesRandomInput_data() {
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("logs");  // which files the open dialog answers with
    QTest::newRow("no log") << 1u << QString();
    QTest::newRow("example log") << 2u << QStringLiteral("sample");
    QTest::newRow("hostile files") << 3u << QStringLiteral("hostile");
    QTest::newRow("everything") << 4u << QStringLiteral("sample hostile");
}

void TestMonkey::monkey_survivesRandomInput() {
    QFETCH(quint32, seed);
    QFETCH(QString, logs);

    QTemporaryDir dir;
    CyclingDialogs dialogs;
    if (logs.contains(QStringLiteral("sample")))
        dialogs.files << QStringLiteral(ZP_SOURCE_DIR "/samples/mixed_flight.csv");
    if (logs.contains(QStringLiteral("hostile"))) {
        const QString gaps = dir.filePath(QStringLiteral("gaps.csv"));
        const QString noise = dir.filePath(QStringLiteral("noise.csv"));
        QVERIFY(test::writeAll(gaps, backAndForthLog()));
        QByteArray bytes;
        std::mt19937 random(seed);
        for (int i = 0; i < 3000; ++i) bytes += char(random() & 0xFF);
        QVERIFY(test::writeAll(noise, bytes));
        dialogs.files << gaps << noise << dir.path() << dir.filePath(QStringLiteral("missing"));
    }

    {
        SettingsStore store(dir.path());
        UnitsDialog units;
        MainWindow main(dialogs, store);
        main.setUnitsDialog(&units);
        ImportOptions options = ImportOptions::forThisMachine();
        options.pointBudget = 400000;  // the hostile log passes it in its fourth line
        main.setImportOptions(options);
        main.resize(820, 640);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        if (!dialogs.files.isEmpty()) main.loadLogFile();

        Monkey monkey(main, seed);
        QVERIFY(monkey.isValid());
        main.chart().setCursorSource([&monkey] { return monkey.last(); });
        for (int i = 0; i < 1500; ++i) monkey.step();
        QCoreApplication::processEvents();

        const chart::Chart& chart = main.chart().chart();
        for (const chart::AxisState* axis : {&chart.leftAxis, &chart.bottomAxis}) {
            QVERIFY(!std::isnan(axis->minimum));
            QVERIFY(!std::isnan(axis->maximum));
        }
        bool budgetStop = false;
        for (const test::FakeDialogs::Message& message : dialogs.messages) {
            budgetStop |= message.text == tooMuchDataMessage(4);
            // Only the load's own messages: every error report is an unreadable time field.
            if (message.error)
                QVERIFY2(message.text.endsWith(QStringLiteral("is not a valid date and time")),
                         qPrintable(message.text));
            else
                QCOMPARE(message.caption, QStringLiteral("Message"));
        }

        // The loads did happen, the hostile log up to its budget.
        QCOMPARE(dialogs.messages.isEmpty(), dialogs.files.isEmpty());
        QCOMPARE(budgetStop, logs.contains(QStringLiteral("hostile")));

        QVERIFY(main.saveBeforeClose());
        QFile saved(dir.filePath(QStringLiteral("Settings.bin")));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const SettingsRecord& record = main.settingsRecord();
        QCOMPARE(saved.readAll(),
                 QByteArray(reinterpret_cast<const char*>(record.data()), kSettingsRecordSize));
    }
}

QTEST_MAIN(TestMonkey)
#include "test_monkey.moc"
