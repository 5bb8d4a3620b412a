// The flight index in a real SQLite database file: figures read back bit for bit, files
// read again only when they change, files gone from a folder forgotten, a damaged
// database moved aside, two indexers on one database at once, cancelling, and queries.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstring>
#include <thread>

#include "library/flight_indexer.h"
#include "library/flight_reader.h"
#include "library/sqlite_flight_store.h"

using namespace zp;
using namespace zp::library;

namespace {

void writeFile(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) file.write(text);
}

QByteArray airspeed(const char* time, const char* value = "50") {
    return QByteArray("7,12/05/2024,") + time + "," + value + "\n";
}

// A log of `flights` flights of three model-10 records each, an hour apart.
QByteArray engineLog(int flights, int hobbs = 100) {
    QByteArray log;
    for (int f = 0; f < flights; ++f)
        for (int s = 0; s < 3; ++s)
            log += QStringLiteral("10,12/05/2024,%1:00:%2,%3,7,%4,85,1000,%5\n")
                       .arg(10 + f)
                       .arg(s, 2, 10, QLatin1Char('0'))
                       .arg(hobbs + f)
                       .arg(2400 + 10 * s)
                       .arg(s - 1)
                       .toLatin1();
    return log;
}

bool sameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Why two files' flights differ, or empty when they are the same to the bit.
QString difference(const FileFlights& a, const FileFlights& b) {
    if (a.path != b.path || a.status != b.status || a.message != b.message ||
        a.stoppedAtLine != b.stoppedAtLine || a.size != b.size || a.modifiedMs != b.modifiedMs)
        return QStringLiteral("file fields of ") + a.path;
    if (a.flights.size() != b.flights.size()) return QStringLiteral("flight count");
    for (std::size_t i = 0; i < a.flights.size(); ++i) {
        const Flight& x = a.flights[i];
        const Flight& y = b.flights[i];
        if (x.index != y.index || x.firstLine != y.firstLine || x.lastLine != y.lastLine ||
            x.dateText != y.dateText || x.date != y.date || x.dateFromText != y.dateFromText ||
            x.startSecond != y.startSecond || x.endSecond != y.endSecond ||
            x.seconds != y.seconds || x.records != y.records)
            return QStringLiteral("flight %1 fields").arg(i);
        const auto counters = [](const std::optional<CounterSpan>& p,
                                 const std::optional<CounterSpan>& q) {
            return p.has_value() == q.has_value() &&
                   (!p || (p->start == q->start && p->end == q->end));
        };
        if (!counters(x.hobbs, y.hobbs) || !counters(x.maintenance, y.maintenance))
            return QStringLiteral("flight %1 counters").arg(i);
        for (int c = 0; c < kChannelCount; ++c) {
            const auto& p = x.channels[static_cast<std::size_t>(c)];
            const auto& q = y.channels[static_cast<std::size_t>(c)];
            if (p.has_value() != q.has_value()) return QStringLiteral("channel %1 presence").arg(c);
            if (p && (p->count != q->count || !sameBits(p->minimum, q->minimum) ||
                      !sameBits(p->maximum, q->maximum) || !sameBits(p->mean, q->mean) ||
                      p->highRuns != q->highRuns || p->lowRuns != q->lowRuns))
                return QStringLiteral("channel %1 figures").arg(c);
        }
    }
    return {};
}

std::unique_ptr<SqliteFlightStore> openStore(const QString& path, QString* notice = nullptr) {
    QString note, error;
    auto store = SqliteFlightStore::open(path, note, error);
    if (notice) *notice = note;
    if (!store) qWarning("%s", qPrintable(error));
    return store;
}

// Indexes `paths` into the database at `db` with a store of its own.
IndexResult indexInto(const QString& db, const QStringList& paths, FlightOptions options = {},
                      int* filesRead = nullptr) {
    auto store = openStore(db);
    FlightIndexer indexer(std::move(options));
    IndexProgress last;
    indexer.setProgress([&last](const IndexProgress& p) { last = p; });
    IndexResult result = indexer.run(paths, store.get());
    if (filesRead) *filesRead = last.filesRead;
    return result;
}

QStringList shownPaths(const IndexResult& result) {
    QStringList paths;
    for (const IndexedLog& entry : result.files) paths << entry.log.shown;
    return paths;
}

// Runs `statements` on the database at `db` through a connection of its own.
bool rawSql(const QString& db, const QStringList& statements) {
    const QString name = QStringLiteral("raw");
    bool ok = true;
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        raw.setDatabaseName(db);
        ok = raw.open();
        for (const QString& sql : statements) ok = ok && QSqlQuery(raw).exec(sql);
        raw.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}

void setModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    if (file.open(QIODevice::ReadWrite)) file.setFileTime(when, QFileDevice::FileModificationTime);
}

}  // namespace

class TestFlightStore : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { std::setlocale(LC_ALL, "C"); }

    // What the store gives back is what was read, to the bit: negative zero, the
    // smallest and largest floats, odd means, a stopped file's flights and message.
    void figures_readBackBitForBit() {
        QTemporaryDir dir;
        const QString logs = dir.filePath(QStringLiteral("logs"));
        writeFile(logs + QStringLiteral("/values.csv"),
                  airspeed("10:00:00", "-0") + airspeed("10:00:01", "0") +
                      airspeed("10:00:02", "1e-45") + airspeed("10:00:03", "3.4e38") +
                      airspeed("10:00:04", "0.1") + airspeed("12:00:00", "-0") + engineLog(2) +
                      "10,x,10:00:05,1,2,nan,inf\n");
        writeFile(logs + QStringLiteral("/stopped.csv"),
                  airspeed("10:00:00") + airspeed("10:00:01") + airspeed("99:00:00"));
        writeFile(logs + QStringLiteral("/empty.csv"), "");
        FlightOptions options;
        options.limits[AirspeedSeries] = Limits{0, 1};
        options.units[OatUnit] = 1;
        const IndexResult stored =
            indexInto(dir.filePath(QStringLiteral("f.sqlite")), {logs}, options);
        QVERIFY(stored.problems.isEmpty());
        QCOMPARE(stored.files.size(), std::size_t{3});
        for (const IndexedLog& entry : stored.files) {
            const FileFlights read = readFlights(entry.log.path, options);
            QVERIFY(!read.flights.empty() || read.status == FileStatus::NotALog);
            QCOMPARE(difference(entry.file, read), QString());
        }
        QCOMPARE(stored.files[1].file.status, FileStatus::Stopped);
        QCOMPARE(stored.files[2].file.flights.size(), std::size_t{5});
        // The first flight's minimum is the first -0 reached.
        QVERIFY(std::signbit(stored.files[2].file.flights[0].channels[AirspeedSeries]->minimum));
    }

    // Figures that are not packed in the flight's row, as a database of the first version
    // holds them or as a cut packed value leaves them, are read from the table of figures
    // per channel, to the bit; a database of the first version is brought to the current.
    void figures_unpacked_readFromTheTablePerChannel_data() {
        QTest::addColumn<QStringList>("change");
        QTest::newRow("first version")
            << QStringList{QStringLiteral("ALTER TABLE flights DROP COLUMN figures"),
                           QStringLiteral("DROP INDEX flight_series_by_series"),
                           QStringLiteral("UPDATE schema_version SET version = 1")};
        QTest::newRow("cut packed value")
            << QStringList{QStringLiteral("UPDATE flights SET figures = substr(figures, 1, 60)")};
        QTest::newRow("no packed value")
            << QStringList{QStringLiteral("UPDATE flights SET figures = NULL")};
    }
    void figures_unpacked_readFromTheTablePerChannel() {
        QFETCH(QStringList, change);
        QTemporaryDir dir;
        const QString logs = dir.filePath(QStringLiteral("logs"));
        writeFile(logs + QStringLiteral("/a.csv"),
                  airspeed("10:00:00", "-0") + airspeed("10:00:01", "3.4e38") + engineLog(2));
        const QString db = dir.filePath(QStringLiteral("f.sqlite"));
        FlightOptions options;
        options.limits[AirspeedSeries] = Limits{0, 1};
        const IndexResult first = indexInto(db, {logs}, options);
        QVERIFY(first.problems.isEmpty());
        QVERIFY(rawSql(db, change));

        auto store = openStore(db);
        QVERIFY(store);
        const QString path = first.files[0].log.path;
        const std::vector<FileFlights> held = store->files({path});
        QCOMPARE(held.size(), std::size_t{1});
        QCOMPARE(difference(held[0], readFlights(path, options)), QString());
        const std::vector<StoredFlight> listed = store->flights({}, true);
        QCOMPARE(listed.size(), std::size_t{3});
        for (const StoredFlight& f : listed)
            QVERIFY(std::any_of(f.flight.channels.begin(), f.flight.channels.end(),
                                [](const auto& figures) { return figures.has_value(); }));
        // A file indexed again after the change packs its figures once more.
        writeFile(logs + QStringLiteral("/a.csv"), engineLog(3));
        FlightIndexer indexer(options);
        QVERIFY(indexer.run({logs}, store.get()).problems.isEmpty());
        QCOMPARE(difference(store->files({path}).at(0), readFlights(path, options)), QString());
        QCOMPARE(SqliteFlightStore::schemaVersion(), 2);
    }

    // Files are read again only when their size, time or the options change; files gone
    // from the folder leave the index; other folders' files stay.
    void changedAndDeletedFiles() {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("f.sqlite"));
        const QString logs = dir.filePath(QStringLiteral("logs"));
        const QString other = dir.filePath(QStringLiteral("other/x.csv"));
        writeFile(logs + QStringLiteral("/a.csv"), engineLog(1));
        writeFile(logs + QStringLiteral("/b.csv"), engineLog(2));
        writeFile(logs + QStringLiteral("/sub/c.CSV"), engineLog(3));
        writeFile(logs + QStringLiteral("/notes.txt"), engineLog(1));
        writeFile(other, engineLog(1));
        int read = -1;
        IndexResult r = indexInto(db, {logs, other}, {}, &read);
        QCOMPARE(read, 4);
        QCOMPARE(shownPaths(r),
                 QStringList({logs + "/a.csv", logs + "/b.csv", logs + "/sub/c.CSV", other}));
        indexInto(db, {logs}, {}, &read);
        QCOMPARE(read, 0);

        // A grown file, and one touched to a new time with the same size.
        writeFile(logs + QStringLiteral("/b.csv"), engineLog(3));
        setModified(logs + QStringLiteral("/sub/c.CSV"), QDateTime::currentDateTime().addDays(-2));
        r = indexInto(db, {logs}, {}, &read);
        QCOMPARE(read, 2);
        QCOMPARE(r.files[1].file.flights.size(), std::size_t{3});

        // Another split gap reads everything again.
        FlightOptions longGap;
        longGap.splitGap = 7200;
        r = indexInto(db, {logs}, longGap, &read);
        QCOMPARE(read, 3);
        QCOMPARE(r.files[2].file.flights.size(), std::size_t{1});

        // A deleted file and a deleted folder leave the index.
        QVERIFY(QFile::remove(logs + QStringLiteral("/a.csv")));
        QVERIFY(QDir(logs + QStringLiteral("/sub")).removeRecursively());
        r = indexInto(db, {logs}, longGap, &read);
        QCOMPARE(read, 0);
        QCOMPARE(shownPaths(r), QStringList({logs + "/b.csv"}));
        auto store = openStore(db);
        const QHash<QString, FileStamp> stamps = store->stamps();
        QCOMPARE(stamps.size(), 2);
        QVERIFY(stamps.contains(QDir::cleanPath(other)));
        // A file given by name that is gone leaves it too.
        QVERIFY(QFile::remove(other));
        r = indexInto(db, {other});
        QCOMPARE(r.files.size(), std::size_t{1});
        QCOMPARE(r.files[0].file.status, FileStatus::Unreadable);
        QVERIFY(!store->stamps().contains(QDir::cleanPath(other)));
    }

    // A file that is not a database, and one of a newer schema, are moved aside and a
    // new database takes their place.
    void damagedDatabase_movedAsideAndRebuilt_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("newerSchema");
        QTest::newRow("not a database") << QByteArray(5000, 'x') << false;
        QTest::newRow("a cut header")
            << QByteArray("SQLite format 3\0", 16) + QByteArray(84, '\x7f') << false;
        QTest::newRow("newer schema") << QByteArray() << true;
    }
    void damagedDatabase_movedAsideAndRebuilt() {
        QFETCH(QByteArray, content);
        QFETCH(bool, newerSchema);
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("f.sqlite"));
        if (newerSchema) {
            openStore(db).reset();
            QVERIFY(rawSql(db, {QStringLiteral("UPDATE schema_version SET version = 99")}));
        } else {
            writeFile(db, content);
        }
        const QString logs = dir.filePath(QStringLiteral("logs"));
        writeFile(logs + QStringLiteral("/a.csv"), engineLog(2));
        QString notice;
        auto store = openStore(db, &notice);
        QVERIFY(store);
        QVERIFY2(notice.contains(QStringLiteral("moved to")), qPrintable(notice));
        const QStringList aside =
            QDir(dir.path()).entryList({QStringLiteral("f.sqlite.damaged-*")}, QDir::Files);
        QVERIFY(aside.contains(
            QFileInfo(notice.section(QStringLiteral("moved to "), 1).section(u' ', 0, 0))
                .fileName()));
        FlightIndexer indexer({});
        const IndexResult r = indexer.run({logs}, store.get());
        QVERIFY(r.problems.isEmpty());
        QCOMPARE(store->files({r.files[0].log.path}).at(0).flights.size(), std::size_t{2});
        // Opened again: no notice, nothing moved.
        store.reset();
        openStore(db, &notice);
        QCOMPARE(notice, QString());
    }

    // Two indexers on one database file at once, each with its own connection: both
    // finish without a failure and the database holds each file once, whole.
    void twoIndexersAtOnce() {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("f.sqlite"));
        const QString logs = dir.filePath(QStringLiteral("logs"));
        for (int i = 0; i < 24; ++i)
            writeFile(logs + QStringLiteral("/%1.csv").arg(i, 2, 10, QLatin1Char('0')),
                      engineLog(1 + i % 4));
        openStore(db).reset();  // the schema exists before both start
        IndexResult first, second;
        std::thread other([&] { second = indexInto(db, {logs}); });
        first = indexInto(db, {logs});
        other.join();
        QCOMPARE(first.problems, QStringList());
        QCOMPARE(second.problems, QStringList());
        QCOMPARE(first.files.size(), std::size_t{24});
        for (std::size_t i = 0; i < 24; ++i) {
            QCOMPARE(difference(first.files[i].file, second.files[i].file), QString());
            QCOMPARE(first.files[i].file.flights.size(), std::size_t{1 + i % 4});
        }
        auto store = openStore(db);
        QCOMPARE(store->stamps().size(), 24);
        QCOMPARE(store->flights({}).size(), std::size_t{6 * (1 + 2 + 3 + 4)});
    }

    // Cancelling between files keeps the files done, each one whole.
    void cancel_keepsTheFilesDone() {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("f.sqlite"));
        const QString logs = dir.filePath(QStringLiteral("logs"));
        for (int i = 0; i < 10; ++i)
            writeFile(logs + QStringLiteral("/%1.csv").arg(i), engineLog(2));
        auto store = openStore(db);
        std::atomic<bool> cancel{false};
        FlightIndexer indexer({});
        indexer.setThreads(1);
        indexer.setCancel(&cancel);
        std::vector<IndexProgress> seen;
        indexer.setProgress([&](const IndexProgress& p) {
            seen.push_back(p);
            if (p.filesDone >= 3) cancel = true;
        });
        const IndexResult r = indexer.run({logs}, store.get());
        QVERIFY(r.cancelled);
        QCOMPARE(r.files.size(), std::size_t{3});
        QCOMPARE(store->stamps().size(), static_cast<qsizetype>(r.files.size()));
        QCOMPARE(store->flights({}).size(), 2 * r.files.size());
        QCOMPARE(seen.front().filesDone, 0);
        QCOMPARE(seen.front().filesTotal, 10);
        const qint64 size = QFileInfo(logs + QStringLiteral("/0.csv")).size();
        QCOMPARE(seen.back().bytesRead, seen.back().filesRead * size);
        QCOMPARE(seen.back().bytesToRead, 10 * size);
    }

    // The window's queries: by folder, date, model, length and runs beyond a limit.
    void flights_filtered() {
        QTemporaryDir dir;
        const QString db = dir.filePath(QStringLiteral("f.sqlite"));
        const QString logs = dir.filePath(QStringLiteral("logs"));
        writeFile(logs + QStringLiteral("/a/engine.csv"), engineLog(2));
        writeFile(logs + QStringLiteral("/b/air.csv"),
                  QByteArray("7,01/02/2023,10:00:00,50\n7,01/02/2023,10:20:00,150\n") +
                      "7,03/04/2023,09:00:00,50\n7,03/04/2023,09:00:09,60\n");
        FlightOptions options;
        options.limits[AirspeedSeries] = Limits{0, 100};
        indexInto(db, {logs}, options);
        auto store = openStore(db);
        const auto describe = [&](const FlightFilter& filter) {
            QStringList out;
            for (const StoredFlight& f : store->flights(filter))
                out << QFileInfo(f.path).fileName() + u':' + QString::number(f.flight.index);
            return out.join(u' ');
        };
        QCOMPARE(describe({}),
                 QStringLiteral("engine.csv:1 engine.csv:0 air.csv:2 air.csv:1 air.csv:0"));
        FlightFilter filter;
        filter.folder = QDir::cleanPath(logs + QStringLiteral("/b"));
        QCOMPARE(describe(filter), QStringLiteral("air.csv:2 air.csv:1 air.csv:0"));
        filter = {};
        filter.from = QDate(2023, 1, 3);
        filter.to = QDate(2023, 12, 31);
        QCOMPARE(describe(filter), QStringLiteral("air.csv:2"));
        filter = {};
        filter.model = 10;
        QCOMPARE(describe(filter), QStringLiteral("engine.csv:1 engine.csv:0"));
        filter = {};
        filter.minSeconds = 3;
        QCOMPARE(describe(filter), QStringLiteral("air.csv:2"));
        filter = {};
        filter.exceeding = AirspeedSeries;
        QCOMPARE(describe(filter), QStringLiteral("air.csv:1"));
        filter = {};
        filter.limit = 2;
        QCOMPARE(describe(filter), QStringLiteral("engine.csv:1 engine.csv:0"));
        const std::vector<StoredFlight> withFigures = store->flights(filter, true);
        QCOMPARE(withFigures[0].flight.channels[RPM1Series]->count, 3);
        QCOMPARE(withFigures[0].flight.records[10], 3);
    }
};

QTEST_GUILESS_MAIN(TestFlightStore)
#include "test_flight_store.moc"
