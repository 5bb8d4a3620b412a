// The Flight Library window on a folder of small logs: File > Open Library Folder indexes
// it in the background into a database file of the test's own, the table lists every
// flight and every file that is not a log, sorts and filters, and a double-click opens
// the flight's log zoomed to the flight; a folder given to an aircraft, with another
// desk's aircraft listed and filtered by. Also the filter rule on its own.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/library_window.h"
#include "app/main_window.h"
#include "app/overlay_tools.h"
#include "chart/chart_widget.h"
#include "library/flight_indexer.h"
#include "library/sql_flight_store.h"
#include "settings/settings_store.h"
#include "tests/support/file_bytes.h"
#include "tests/support/find_child.h"
#include "tests/support/window_fixture.h"

using namespace zp;

namespace {

// Model 10 records, one a second from `start` (hh:mm:ss) for `count` seconds.
QByteArray records(int hour, int minute, int count) {
    QByteArray text;
    for (int s = 0; s < count; ++s)
        text += QStringLiteral("10,12/05/2024,%1:%2:%3,12345,487,%4,41.8,662.5,%5\r\n")
                    .arg(hour, 2, 10, QLatin1Char('0'))
                    .arg(minute, 2, 10, QLatin1Char('0'))
                    .arg(s, 2, 10, QLatin1Char('0'))
                    .arg(2400 + 10 * s)
                    .arg(15 + s)
                    .toLatin1();
    return text;
}

library::Flight flightOn(QDate date) {
    library::Flight f;
    f.date = date;
    f.dateText = date.toString(QStringLiteral("dd/MM/yyyy"));
    f.records[10] = 5;
    return f;
}

int column(const QTableWidget& table, const QString& title) {
    for (int c = 0; c < table.columnCount(); ++c)
        if (table.horizontalHeaderItem(c)->text() == title) return c;
    return -1;
}

QStringList visibleColumn(const QTableWidget& table, int c) {
    QStringList out;
    for (int r = 0; r < table.rowCount(); ++r)
        if (!table.isRowHidden(r)) out << table.item(r, c)->text();
    return out;
}

}  // namespace

class TestLibraryWindow : public QObject {
    Q_OBJECT
  private slots:
    void rowMatches_textAndDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<bool>("flightKept");
        QTest::addColumn<bool>("fileKept");
        const QDate none;
        QTest::newRow("no filter") << "" << none << none << true << true;
        QTest::newRow("file name, any case") << "N123" << none << none << true << false;
        QTest::newRow("model name") << "pexo" << none << none << true << false;
        QTest::newRow("date as shown") << "2024-05-12" << none << none << true << false;
        QTest::newRow("status of a file") << "not a log" << none << none << false << true;
        QTest::newRow("from the flight's day") << "" << QDate(2024, 5, 12) << none << true << true;
        QTest::newRow("from the day after") << "" << QDate(2024, 5, 13) << none << false << true;
        QTest::newRow("to the day before") << "" << none << QDate(2024, 5, 11) << false << true;
        QTest::newRow("to the flight's day") << "" << none << QDate(2024, 5, 12) << true << true;
    }
    void rowMatches_textAndDates() {
        QFETCH(QString, text);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(bool, flightKept);
        QFETCH(bool, fileKept);
        LibraryRow flight;
        flight.shown = QStringLiteral("logs/n123ab/flight.csv");
        flight.flight = flightOn(QDate(2024, 5, 12));
        LibraryRow file;
        file.shown = QStringLiteral("logs/notes.csv");
        file.status = library::FileStatus::NotALog;
        const auto optional = [](QDate d) { return d.isValid() ? std::optional(d) : std::nullopt; };
        QCOMPARE(rowMatches(flight, text, optional(from), optional(to)), flightKept);
        QCOMPARE(rowMatches(file, text, optional(from), optional(to)), fileKept);
    }

    void folder_indexedListedSortedFilteredAndOpened() {
        test::WindowFixture<> f;
        QTemporaryDir logs;
        const QString a = logs.filePath(QStringLiteral("a.csv"));
        const QString b = logs.filePath(QStringLiteral("b.csv"));
        // a: two flights, an hour apart; b: one flight; c: no record at all.
        QVERIFY(test::writeAll(a, records(10, 0, 10) + records(11, 0, 5)));
        QVERIFY(test::writeAll(b, records(9, 30, 20)));
        QVERIFY(test::writeAll(logs.filePath(QStringLiteral("c.csv")), "hello\r\n"));
        f.window.setLibraryDatabase(f.dir.filePath(QStringLiteral("library.sqlite")));
        f.dialogs.folderAccepted = true;
        f.dialogs.folder = logs.path();
        test::child<QAction>(f.window, "openLibraryFolderAction")->trigger();
        FlightLibraryWindow* w = f.window.libraryWindow();
        QVERIFY(w);
        QSignalSpy ended(w, &FlightLibraryWindow::indexingEnded);
        QVERIFY(ended.wait(60000));
        QVERIFY(!w->indexing());
        QCOMPARE(f.window.recentFolders().paths().value(0), QDir(logs.path()).absolutePath());

        QTableWidget& table = w->table();
        QCOMPARE(table.rowCount(), 4);  // three flights and the file that is not a log
        const int duration = column(table, QStringLiteral("Duration"));
        const int file = column(table, QStringLiteral("File"));
        const int status = column(table, QStringLiteral("Status"));
        QVERIFY(duration >= 0 && file >= 0 && status >= 0);
        QVERIFY(visibleColumn(table, status).contains(QStringLiteral("not a log")));
        QCOMPARE(w->progressBar().value(), 3);

        table.sortItems(duration, Qt::DescendingOrder);
        QCOMPARE(visibleColumn(table, duration).mid(0, 3),
                 QStringList({"0:00:19", "0:00:09", "0:00:04"}));
        w->setFilter(QStringLiteral("a.csv"), std::nullopt, std::nullopt);
        QCOMPARE(visibleColumn(table, duration), QStringList({"0:00:09", "0:00:04"}));

        // A picked channel's maximum is a column of its own.
        w->setColumnChannels({RPM1Series});
        const int rpm = column(table, QStringLiteral("Max RPM 1 (rpm)"));
        QVERIFY2(rpm >= 0, "no column of the picked channel");
        table.sortItems(duration, Qt::AscendingOrder);
        QCOMPARE(visibleColumn(table, rpm), QStringList({"2440", "2490"}));

        // The second flight of a: its log opens and the chart shows its time.
        int row = -1;
        for (int r = 0; r < table.rowCount(); ++r)
            if (!table.isRowHidden(r) && table.item(r, duration)->text() == u"0:00:04") row = r;
        QVERIFY(row >= 0);
        emit table.cellDoubleClicked(row, 0);
        QCOMPARE(f.window.loadedLog().path, a);
        f.window.chart().grab();
        const chart::AxisState& bottom = f.window.chart().chart().bottomAxis;
        QVERIFY(!bottom.automatic);
        QVERIFY2(bottom.minimum < 11.0 / 24 && bottom.minimum > 11.0 / 24 - 2.0 / 86400,
                 qPrintable(QString::number(bottom.minimum * 24, 'g', 10)));
        QVERIFY(bottom.maximum > (11.0 + 4.0 / 3600) / 24 &&
                bottom.maximum < (11.0 + 6.0 / 3600) / 24);

        // Overlay Flight on b's flight: laid over the flight shown, start on start.
        int bRow = -1;
        for (int r = 0; r < table.rowCount(); ++r)
            if (table.item(r, duration)->text() == u"0:00:19") bRow = r;
        QVERIFY(bRow >= 0);
        w->setFilter(QString(), std::nullopt, std::nullopt);
        table.setCurrentCell(bRow, 0);
        test::child<QPushButton>(*w, "libraryOverlay")->click();
        const chart::Chart& shown = f.window.chart().chart();
        QCOMPARE(shown.series.size(), std::size_t(2 * kChannelCount));
        const chart::PointList& overlaid = shown.series[kChannelCount + RPM1Series].points;
        QCOMPARE(overlaid.size(), std::size_t{20});
        QCOMPARE(std::llround(overlaid[0].x * 86400), 11LL * 3600);
        QCOMPARE(f.window.overlay().path(), b);

        // A second opening reads from the database, with the same rows.
        const auto rows = w->rows().size();
        f.window.openLibrary(logs.path());
        QVERIFY(ended.wait(60000));
        QCOMPARE(w->rows().size(), rows);
    }

    // viewer.ini's [library] names the database and the gap that splits flights.
    void folder_databaseAndSplitGapFromTheUserChoices() {
        test::FakeDialogs dialogs;
        QTemporaryDir dir;
        SettingsStore store(dir.path(), dir.filePath(QStringLiteral("user")));
        QVERIFY(QDir().mkpath(store.userFolder()));
        const QString database = dir.filePath(QStringLiteral("chosen.sqlite"));
        {
            QSettings ini(store.userFolder() + QStringLiteral("/viewer.ini"), QSettings::IniFormat);
            ini.setValue(QStringLiteral("library/database"), database);
            ini.setValue(QStringLiteral("library/splitGap"), 5000);
        }
        MainWindow window(dialogs, store);
        QTemporaryDir logs;
        QVERIFY(test::writeAll(logs.filePath(QStringLiteral("a.csv")),
                               records(10, 0, 10) + records(11, 0, 5)));
        window.openLibrary(logs.path());
        QSignalSpy ended(window.libraryWindow(), &FlightLibraryWindow::indexingEnded);
        QVERIFY(ended.wait(60000));
        // An hour apart is within 5,000 s: one flight.
        QCOMPARE(window.libraryWindow()->rows().size(), std::size_t(1));
        QVERIFY(QFileInfo::exists(database));
    }

    // A registration typed into the window gives the folder to that aircraft: viewer.ini
    // keeps it, the folder is indexed again under it, and the table lists the flights of
    // every aircraft in the database (here one another desk indexed), with a filter.
    void aircraft_givenToTheFolderAndFilteredBy() {
        test::FakeDialogs dialogs;
        QTemporaryDir dir;
        SettingsStore store(dir.path(), dir.filePath(QStringLiteral("user")));
        QVERIFY(QDir().mkpath(store.userFolder()));
        const QString database = dir.filePath(QStringLiteral("fleet.sqlite"));
        const QString ini = store.userFolder() + QStringLiteral("/viewer.ini");
        QSettings(ini, QSettings::IniFormat).setValue(QStringLiteral("library/database"), database);
        const QString n1 = dir.filePath(QStringLiteral("share/N1"));
        const QString n2 = dir.filePath(QStringLiteral("share/N2"));
        QVERIFY(QDir().mkpath(n1) && QDir().mkpath(n2));
        QVERIFY(test::writeAll(n1 + QStringLiteral("/a.csv"), records(10, 0, 10)));
        QVERIFY(
            test::writeAll(n2 + QStringLiteral("/b.csv"), records(9, 0, 5) + records(12, 0, 5)));
        {
            // Another desk indexed N2.
            QString notice, error;
            auto other = library::SqlFlightStore::open(database, notice, error);
            QVERIFY(other);
            library::FlightIndexer indexer({});
            indexer.setAircraft(QStringLiteral("N2"));
            QCOMPARE(indexer.run({n2}, other.get()).problems, QStringList());
        }
        MainWindow window(dialogs, store);
        window.openLibrary(n1);
        FlightLibraryWindow* w = window.libraryWindow();
        QSignalSpy ended(w, &FlightLibraryWindow::indexingEnded);
        QVERIFY(ended.wait(60000));
        QTableWidget& table = w->table();
        const int file = column(table, QStringLiteral("File"));
        const int aircraft = column(table, QStringLiteral("Aircraft"));
        QVERIFY(aircraft >= 0);
        QCOMPARE(visibleColumn(table, aircraft), QStringList({"", "N2", "N2"}));
        QVERIFY(!w->aircraftFilter().isHidden());

        w->aircraftEdit().setText(QStringLiteral("N1"));
        emit w->aircraftEdit().returnPressed();
        QVERIFY(ended.wait(60000));
        QCOMPARE(QSettings(ini, QSettings::IniFormat)
                     .value(QStringLiteral("library/aircraftFolders"))
                     .toStringList(),
                 QStringList({QDir::cleanPath(n1), "N1"}));
        QCOMPARE(visibleColumn(table, aircraft), QStringList({"N1", "N2", "N2"}));
        QComboBox& filter = w->aircraftFilter();
        QCOMPARE(filter.count(), 3);  // all, N1, N2
        filter.setCurrentIndex(filter.findData(QStringLiteral("N2")));
        QCOMPARE(visibleColumn(table, file), QStringList({"b.csv", "b.csv"}));
        filter.setCurrentIndex(filter.findData(QStringLiteral("N1")));
        QCOMPARE(visibleColumn(table, file), QStringList({"a.csv"}));

        // Opened again, the folder keeps its aircraft.
        window.openLibrary(n1);
        QVERIFY(ended.wait(60000));
        QCOMPARE(w->aircraftEdit().text(), QStringLiteral("N1"));
    }

    void folder_goneLeavesTheRecentList() {
        test::WindowFixture<> f;
        f.window.setLibraryDatabase(f.dir.filePath(QStringLiteral("library.sqlite")));
        f.window.openLibrary(f.dir.filePath(QStringLiteral("no such folder")));
        QVERIFY(!f.window.libraryWindow());
        QCOMPARE(f.dialogs.messages.size(), 1);
        QVERIFY(f.window.recentFolders().paths().isEmpty());
    }
};

QTEST_MAIN(TestLibraryWindow)
#include "test_library_window.moc"
