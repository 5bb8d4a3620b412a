// The flight index in a real SQLite database file and on a real PostgreSQL server (every
// case runs on both): figures read back bit for bit, files read again only when they
// change, files gone from a folder forgotten, a damaged database moved aside, two
// indexers on one database at once, cancelling, and queries; the fleet's: aircraft,
// claims, a dropped connection, a migration from the first schema and the trend.
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>
#include <algorithm>
#include <atomic>
#include <clocale>
#include <cstring>
#include <thread>

#include "library/flight_indexer.h"
#include "library/flight_reader.h"
#include "library/sql_flight_store.h"
#include "tests/support/pg_cluster.h"

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
                return QStringLiteral("channel %1 figures: %2 %3 %4 / %5 %6 %7")
                    .arg(c)
                    .arg(p->minimum, 0, 'g', 17)
                    .arg(p->maximum, 0, 'g', 17)
                    .arg(p->mean, 0, 'g', 17)
                    .arg(q->minimum, 0, 'g', 17)
                    .arg(q->maximum, 0, 'g', 17)
                    .arg(q->mean, 0, 'g', 17);
        }
    }
    return {};
}

std::unique_ptr<SqlFlightStore> openStore(const QString& path, QString* notice = nullptr) {
    QString note, error;
    auto store = SqlFlightStore::open(path, note, error);
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

  public:
    // On an SQLite file (no server), or on a database of `server`.
    explicit TestFlightStore(test::PgCluster* server) : server_(server) {}

  private:
    // Where a test's database goes: a file in `dir`, or a new database on the server.
    QString newDatabase(const QTemporaryDir& dir) {
        return server_ ? server_->newDatabase() : dir.filePath(QStringLiteral("f.sqlite"));
    }
    test::PgCluster* server_;

  private slots:
    void initTestCase() {
        std::setlocale(LC_ALL, "C");
        if (server_ && !server_->running())
            QSKIP(qPrintable(QStringLiteral("no PostgreSQL server could be started: ") +
                             server_->why()));
    }

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
        const IndexResult stored = indexInto(newDatabase(dir), {logs}, options);
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
        QCOMPARE(SqlFlightStore::schemaVersion(), 2);
    }

    // Files are read again only when their size, time or the options change; files gone
    // from the folder leave the index; other folders' files stay.
    void changedAndDeletedFiles() {
        QTemporaryDir dir;
        const QString db = newDatabase(dir);
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
        if (server_) QSKIP("a server's database is no file to move aside");
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
        const QString db = newDatabase(dir);
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
        const QString db = newDatabase(dir);
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
        const QString db = newDatabase(dir);
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

    // Two desks that mount one share at different places hold each file once: an
    // aircraft's files are kept by their path inside its folder. Queries filter by
    // aircraft, and the trend of a channel gives each flight's figures of it.
    void aircraft_filterAndTrend() {
        QTemporaryDir dir;
        const QString db = newDatabase(dir);
        const QString share = dir.filePath(QStringLiteral("share"));
        writeFile(share + QStringLiteral("/N1/a.csv"), engineLog(2, 100));
        writeFile(share + QStringLiteral("/N1/sub/b.csv"), engineLog(1, 300));
        writeFile(share + QStringLiteral("/N2/a.csv"), engineLog(3, 200));
        writeFile(share + QStringLiteral("/N2/air.csv"), airspeed("10:00:00"));
        writeFile(dir.filePath(QStringLiteral("own/c.csv")), engineLog(1, 400));
        QVERIFY(QFile::link(share, dir.filePath(QStringLiteral("desk2"))));
        const auto index = [&](const QString& aircraft, const QString& folder) {
            auto store = openStore(db);
            FlightIndexer indexer({});
            indexer.setAircraft(aircraft);
            int read = 0;
            indexer.setProgress([&read](const IndexProgress& p) { read = p.filesRead; });
            const IndexResult r = indexer.run({folder}, store.get());
            return std::make_pair(r, read);
        };
        auto [first, read] = index(QStringLiteral("N1"), share + QStringLiteral("/N1"));
        QCOMPARE(first.problems, QStringList());
        QCOMPARE(read, 2);
        auto [second, again] =
            index(QStringLiteral("N1"), dir.filePath(QStringLiteral("desk2/N1")));
        QCOMPARE(again, 0);
        QCOMPARE(second.files.size(), std::size_t{2});
        QCOMPARE(second.files[0].file.path, dir.filePath(QStringLiteral("desk2/N1/a.csv")));
        QCOMPARE(difference(first.files[1].file, readFlights(share + "/N1/sub/b.csv", {})),
                 QString());
        QCOMPARE(index(QStringLiteral("N2"), share + QStringLiteral("/N2")).second, 2);
        QCOMPARE(indexInto(db, {dir.filePath(QStringLiteral("own"))}).problems, QStringList());

        auto store = openStore(db);
        QCOMPARE(store->aircraft(), QStringList({"N1", "N2"}));
        store->setAircraft(QStringLiteral("N1"));
        QCOMPARE(QStringList(store->stamps().keys()).size(), 2);
        QVERIFY(store->stamps().contains(QStringLiteral("sub/b.csv")));
        const auto describe = [&](const FlightFilter& filter) {
            QStringList out;
            for (const StoredFlight& f : store->flights(filter))
                out << f.aircraft + u':' + f.path + u':' + QString::number(f.flight.index);
            return out.join(u' ');
        };
        FlightFilter filter;
        filter.aircraft = QStringLiteral("N1");
        QCOMPARE(describe(filter), QStringLiteral("N1:a.csv:1 N1:a.csv:0 N1:sub/b.csv:0"));
        filter.aircraft = QStringLiteral("N2");
        filter.model = 10;
        QCOMPARE(describe(filter), QStringLiteral("N2:a.csv:2 N2:a.csv:1 N2:a.csv:0"));
        filter = {};
        filter.aircraft = QString();
        const QString own = QDir::cleanPath(dir.filePath(QStringLiteral("own/c.csv")));
        QCOMPARE(describe(filter), QStringLiteral(":%1:0").arg(own));

        // The trend of one channel: a row per flight with readings of it, by aircraft,
        // then time; the airspeed log has none.
        std::vector<ChannelTrendRow> trend = store->channelTrend(RPM1Series, {});
        QStringList rows;
        for (const ChannelTrendRow& row : trend)
            rows << QStringLiteral("%1:%2:%3").arg(row.aircraft, row.path).arg(row.index);
        QCOMPARE(rows.join(u' '), QStringLiteral(":%1:0 N1:a.csv:0 N1:sub/b.csv:0 N1:a.csv:1 "
                                                 "N2:a.csv:0 N2:a.csv:1 N2:a.csv:2")
                                      .arg(own));
        const Flight expected = readFlights(share + "/N2/a.csv", {}).flights[2];
        QCOMPARE(trend.back().figures.mean, expected.channels[RPM1Series]->mean);
        QCOMPARE(trend.back().figures.count, expected.channels[RPM1Series]->count);
        QCOMPARE(trend.back().startSecond, expected.startSecond);
        QCOMPARE(trend.back().date, expected.date);
        filter = {};
        filter.aircraft = QStringLiteral("N1");
        QCOMPARE(store->channelTrend(RPM1Series, filter).size(), std::size_t{3});
        QCOMPARE(store->channelTrend(AirspeedSeries, {}).size(), std::size_t{1});
    }

    // A database of the first schema (no aircraft) is brought to the current one with
    // what it holds: its files stay the files of no aircraft, unchanged files are not
    // read again, and aircraft can then hold files of the same path.
    void migration_fromTheFirstVersion() {
        QTemporaryDir dir;
        const QString db = newDatabase(dir);
        const QString logs = dir.filePath(QStringLiteral("logs"));
        const QString path = QDir::cleanPath(logs + QStringLiteral("/a.csv"));
        writeFile(path, engineLog(2));
        const FileFlights read = readFlights(path, {});
        QStringList statements = server_ ? firstSchemaPostgres() : firstSchemaSqlite();
        statements << QStringLiteral("UPDATE schema_version SET version = 1")
                   << QStringLiteral(
                          "INSERT INTO files (id, path, size, modified_ms, options, "
                          "status, message, stopped_at_line, indexed_ms) VALUES (7, "
                          "'%1', %2, %3, '%4', 'indexed', NULL, NULL, 0)")
                          .arg(path)
                          .arg(read.size)
                          .arg(read.modifiedMs)
                          .arg(FlightOptions{}.key());
        // One flight only, so that it shows the rows came from the old database.
        const Flight& f = read.flights[0];
        statements << QStringLiteral(
                          "INSERT INTO flights (id, file_id, idx, first_line, "
                          "last_line, date_text, date, date_from_text, start_second, "
                          "end_second, seconds) VALUES (3, 7, 0, %1, %2, '%3', '%4', "
                          "1, %5, %6, %7)")
                          .arg(f.firstLine)
                          .arg(f.lastLine)
                          .arg(f.dateText, f.date.toString(Qt::ISODate))
                          .arg(f.startSecond)
                          .arg(f.endSecond)
                          .arg(f.seconds)
                   << QStringLiteral("INSERT INTO flight_records VALUES (3, 10, 3)")
                   << QStringLiteral(
                          "INSERT INTO flight_series VALUES (3, 'RPM1Series', 3, 1, "
                          "2, 1.5, 0, 0)");
        QVERIFY(runStatements(db, statements));

        int read1 = -1;
        const IndexResult r = indexInto(db, {logs}, {}, &read1);
        QCOMPARE(r.problems, QStringList());
        QCOMPARE(read1, 0);
        QCOMPARE(r.files.size(), std::size_t{1});
        QCOMPARE(r.files[0].file.flights.size(), std::size_t{1});
        QCOMPARE(r.files[0].file.flights[0].channels[RPM1Series]->mean, 1.5);
        QCOMPARE(r.files[0].file.flights[0].records[10], 3);
        QVERIFY(runStatements(db,
                              {QStringLiteral("SELECT 1 FROM schema_version WHERE version = "
                                              "%1")
                                   .arg(SqlFlightStore::schemaVersion())},
                              true));
        // An aircraft's file of the same path beside it.
        auto store = openStore(db);
        store->setAircraft(QStringLiteral("N1"));
        FileFlights copy = read;
        copy.path = path;
        QVERIFY(store->putFile(copy, FlightOptions{}.key()));
        QCOMPARE(store->files({path}).at(0).flights.size(), std::size_t{2});
        store->setAircraft(QString());
        QCOMPARE(store->files({path}).at(0).flights.size(), std::size_t{1});
    }

    // Two indexers racing on one folder, each with its own connection, while one file
    // keeps changing: neither fails, the store holds each file once and whole, and a
    // file changed between the two ends up as it is on disk. On a server the claims
    // make the two read each file once between them.
    void twoIndexers_racingWhileAFileChanges() {
        QTemporaryDir dir;
        const QString db = newDatabase(dir);
        const QString logs = dir.filePath(QStringLiteral("logs"));
        for (int i = 0; i < 30; ++i)
            writeFile(logs + QStringLiteral("/%1.csv").arg(i, 2, 10, QLatin1Char('0')),
                      engineLog(1 + i % 3));
        openStore(db).reset();
        int readA = 0, readB = 0;
        IndexResult a, b;
        std::thread other([&] { b = indexInto(db, {logs}, {}, &readB); });
        a = indexInto(db, {logs}, {}, &readA);
        other.join();
        QCOMPARE(a.problems, QStringList());
        QCOMPARE(b.problems, QStringList());
        if (server_) QCOMPARE(readA + readB, 30);
        for (std::size_t i = 0; i < 30; ++i)
            QCOMPARE(difference(a.files[i].file, b.files[i].file), QString());

        // Now one file changes while two indexers run.
        const QString changing = logs + QStringLiteral("/07.csv");
        std::atomic<bool> stop{false};
        std::thread writer([&] {
            for (int n = 1; !stop; n = n % 5 + 1) {
                writeFile(changing, engineLog(n, 500 + n));
                QThread::msleep(3);
            }
        });
        std::thread second([&] { b = indexInto(db, {logs}, {}, &readB); });
        a = indexInto(db, {logs}, {}, &readA);
        second.join();
        stop = true;
        writer.join();
        QCOMPARE(a.problems, QStringList());
        QCOMPARE(b.problems, QStringList());
        // What is stored of it is a whole version, read again where it is not the last.
        const auto check = [&]() -> QString {
            auto store = openStore(db);
            const FileFlights held = store->files({changing}).at(0);
            const FileFlights now = readFlights(changing, {});
            if (held.size != now.size || held.modifiedMs != now.modifiedMs) return QString();
            return difference(held, now);
        };
        QCOMPARE(check(), QString());
        const IndexResult last = indexInto(db, {logs});
        QCOMPARE(difference(last.files[7].file, readFlights(changing, {})), QString());
        auto store = openStore(db);
        QCOMPARE(store->stamps().size(), 30);
        QCOMPARE(store->flights({}).size(),
                 std::size_t{10 * (1 + 2 + 3) - 2 + last.files[7].file.flights.size()});
    }

    // The server stopped and started while indexing, and connections cut at random: the
    // run goes on after a notice, and every file is stored whole.
    void droppedConnection_reportedAndRetried() {
        if (!server_) QSKIP("an SQLite file has no connection to drop");
        QTemporaryDir dir;
        const QString db = newDatabase(dir);
        const QString logs = dir.filePath(QStringLiteral("logs"));
        for (int i = 0; i < 40; ++i)
            writeFile(logs + QStringLiteral("/%1.csv").arg(i, 2, 10, QLatin1Char('0')),
                      engineLog(1 + i % 4));
        auto store = openStore(db);
        FlightIndexer indexer({});
        indexer.setThreads(1);
        std::thread restart;
        bool stopped = false;
        indexer.setProgress([&](const IndexProgress& p) {
            if (p.filesDone < 5 || stopped) return;
            stopped = true;
            QVERIFY(server_->stop());
            restart = std::thread([&] {
                QThread::msleep(1500);
                server_->restart();
            });
        });
        IndexResult r = indexer.run({logs}, store.get());
        restart.join();
        QCOMPARE(r.problems, QStringList());
        QCOMPARE(r.notices.size(), 1);
        QVERIFY2(r.notices[0].contains(QStringLiteral("was lost")), qPrintable(r.notices[0]));
        QCOMPARE(r.files.size(), std::size_t{40});
        for (const IndexedLog& entry : r.files)
            QCOMPARE(difference(entry.file, readFlights(entry.log.path, {})), QString());

        // Connections cut at any moment, in the middle of a file's transaction too.
        for (int i = 0; i < 40; ++i)
            writeFile(logs + QStringLiteral("/%1.csv").arg(i, 2, 10, QLatin1Char('0')),
                      engineLog(1 + (i + 1) % 4));
        std::atomic<bool> done{false};
        std::thread cutter([&] {
            while (!done) {
                server_->run(QStringLiteral("SELECT pg_terminate_backend(pid) FROM "
                                            "pg_stat_activity WHERE pid <> pg_backend_pid() "
                                            "AND backend_type = 'client backend'"),
                             db);
                QThread::msleep(15);
            }
        });
        FlightIndexer again({});
        r = again.run({logs}, store.get());
        done = true;
        cutter.join();
        QCOMPARE(r.problems, QStringList());
        QVERIFY(!r.notices.isEmpty());
        auto fresh = openStore(db);
        QCOMPARE(fresh->stamps().size(), 40);
        for (const IndexedLog& entry : r.files)
            QCOMPARE(difference(entry.file, readFlights(entry.log.path, {})), QString());
    }

    // Server locations: user, host, port and database; never a password.
    void serverLocation_read_data() {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("read");  // user@host:port/database options, or the error's start
        QTest::newRow("all") << "postgresql://ann@db.example:6543/fleet"
                             << "ann@db.example:6543/fleet connect_timeout=10";
        QTest::newRow("default port") << "postgres://ann@db/fleet"
                                      << "ann@db:5432/fleet connect_timeout=10";
        QTest::newRow("local socket") << "postgresql:///fleet?sslmode=disable"
                                      << "@:5432/fleet sslmode=disable;connect_timeout=10";
        QTest::newRow("password") << "postgresql://ann:secret@db/fleet"
                                  << "a password";
        QTest::newRow("password option") << "postgresql://ann@db/fleet?password=x"
                                         << "a password";
        QTest::newRow("no database") << "postgresql://ann@db:5432/"
                                     << "the server location";
    }
    void serverLocation_read() {
        if (server_) QSKIP("read once, on the first pass");
        QFETCH(QString, location);
        QFETCH(QString, read);
        QString error;
        const std::optional<ServerLocation> server = parseServerLocation(location, error);
        if (server)
            QCOMPARE(QStringLiteral("%1@%2:%3/%4 %5")
                         .arg(server->user, server->host)
                         .arg(server->port)
                         .arg(server->database, server->options),
                     read);
        else
            QVERIFY2(error.startsWith(read), qPrintable(error));
        QVERIFY(!error.contains(QStringLiteral("secret")));
    }

  private:
    // The tables of schema version 1, as the first release made them.
    static QStringList firstSchemaSqlite() {
        return {
            "CREATE TABLE schema_version (version INTEGER NOT NULL)",
            "INSERT INTO schema_version (version) VALUES (0)",
            "CREATE TABLE files (id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE, size INTEGER "
            "NOT NULL, modified_ms INTEGER NOT NULL, options TEXT NOT NULL, status TEXT NOT "
            "NULL, message TEXT, stopped_at_line INTEGER, indexed_ms INTEGER NOT NULL)",
            "CREATE TABLE flights (id INTEGER PRIMARY KEY, file_id INTEGER NOT NULL REFERENCES "
            "files(id) ON DELETE CASCADE, idx INTEGER NOT NULL, first_line INTEGER NOT NULL, "
            "last_line INTEGER NOT NULL, date_text TEXT NOT NULL, date TEXT, date_from_text "
            "INTEGER NOT NULL, start_second INTEGER NOT NULL, end_second INTEGER NOT NULL, "
            "seconds INTEGER NOT NULL, hobbs_start INTEGER, hobbs_end INTEGER, "
            "maintenance_start INTEGER, maintenance_end INTEGER, UNIQUE (file_id, idx))",
            "CREATE INDEX flights_by_date ON flights (date, start_second)",
            "CREATE TABLE flight_records (flight_id INTEGER NOT NULL REFERENCES flights(id) ON "
            "DELETE CASCADE, model INTEGER NOT NULL, records INTEGER NOT NULL, PRIMARY KEY "
            "(flight_id, model))",
            "CREATE TABLE flight_series (flight_id INTEGER NOT NULL REFERENCES flights(id) ON "
            "DELETE CASCADE, series TEXT NOT NULL, count INTEGER NOT NULL, min, max, mean, "
            "high_runs INTEGER, low_runs INTEGER, PRIMARY KEY (flight_id, series))",
        };
    }
    static QStringList firstSchemaPostgres() {
        return {
            "CREATE TABLE schema_version (version INTEGER NOT NULL)",
            "INSERT INTO schema_version (version) VALUES (0)",
            "CREATE TABLE files (id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, path "
            "TEXT NOT NULL UNIQUE, size BIGINT NOT NULL, modified_ms BIGINT NOT NULL, options "
            "TEXT NOT NULL, status TEXT NOT NULL, message TEXT, stopped_at_line BIGINT, "
            "indexed_ms BIGINT NOT NULL)",
            "CREATE TABLE flights (id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY, "
            "file_id BIGINT NOT NULL REFERENCES files(id) ON DELETE CASCADE, idx INTEGER NOT "
            "NULL, first_line BIGINT NOT NULL, last_line BIGINT NOT NULL, date_text TEXT NOT "
            "NULL, date TEXT, date_from_text INTEGER NOT NULL, start_second BIGINT NOT NULL, "
            "end_second BIGINT NOT NULL, seconds BIGINT NOT NULL, hobbs_start INTEGER, "
            "hobbs_end INTEGER, maintenance_start INTEGER, maintenance_end INTEGER, UNIQUE "
            "(file_id, idx))",
            "CREATE INDEX flights_by_date ON flights (date, start_second)",
            "CREATE TABLE flight_records (flight_id BIGINT NOT NULL REFERENCES flights(id) ON "
            "DELETE CASCADE, model INTEGER NOT NULL, records BIGINT NOT NULL, PRIMARY KEY "
            "(flight_id, model))",
            "CREATE TABLE flight_series (flight_id BIGINT NOT NULL REFERENCES flights(id) ON "
            "DELETE CASCADE, series TEXT NOT NULL, count BIGINT NOT NULL, min DOUBLE "
            "PRECISION, max DOUBLE PRECISION, mean DOUBLE PRECISION, high_runs BIGINT, "
            "low_runs BIGINT, PRIMARY KEY (flight_id, series))",
        };
    }

    // Runs statements on the database at `location` with a connection of its own; with
    // `wantRow`, the last must give a row.
    bool runStatements(const QString& location, const QStringList& statements,
                       bool wantRow = false) {
        if (server_) {
            for (const QString& sql : statements) {
                if (wantRow)
                    return server_->run(
                        QStringLiteral(
                            "DO $$ BEGIN IF NOT EXISTS (%1) THEN RAISE 'no row'; END IF; END $$")
                            .arg(sql),
                        location);
                if (!server_->run(sql, location)) return false;
            }
            return true;
        }
        const QString name = QStringLiteral("raw");
        bool ok = true;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
            raw.setDatabaseName(location);
            ok = raw.open();
            QSqlQuery q(raw);
            for (const QString& sql : statements) {
                ok = ok && q.exec(sql);
                if (!ok) qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
            }
            if (wantRow) ok = ok && q.next();
            q.finish();
            raw.close();
        }
        QSqlDatabase::removeDatabase(name);
        return ok;
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TestFlightStore onFile(nullptr);
    int failed = QTest::qExec(&onFile, argc, argv);
    test::PgCluster server;
    TestFlightStore onServer(&server);
    failed += QTest::qExec(&onServer, argc, argv);
    return failed;
}
#include "test_flight_store.moc"
