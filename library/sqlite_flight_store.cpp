#include "library/sqlite_flight_store.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QThread>
#include <QVariant>
#include <atomic>
#include <bit>
#include <string_view>
#include <utility>

namespace zp::library {

namespace {

// The migrations, numbered from 1: migration n brings a database of version n - 1 to
// version n. Never change one that was released; add the next.
// Numbers of figures are declared without a type so that SQLite keeps each double as it
// was written (a REAL column would keep -0 as 0).
const std::vector<std::vector<const char*>>& migrations() {
    static const std::vector<std::vector<const char*>> steps = {
        {
            "CREATE TABLE schema_version (version INTEGER NOT NULL)",
            "INSERT INTO schema_version (version) VALUES (0)",
            "CREATE TABLE files ("
            " id INTEGER PRIMARY KEY,"
            " path TEXT NOT NULL UNIQUE,"
            " size INTEGER NOT NULL,"
            " modified_ms INTEGER NOT NULL,"
            " options TEXT NOT NULL,"
            " status TEXT NOT NULL,"
            " message TEXT,"
            " stopped_at_line INTEGER,"
            " indexed_ms INTEGER NOT NULL)",
            "CREATE TABLE flights ("
            " id INTEGER PRIMARY KEY,"
            " file_id INTEGER NOT NULL REFERENCES files(id) ON DELETE CASCADE,"
            " idx INTEGER NOT NULL,"
            " first_line INTEGER NOT NULL,"
            " last_line INTEGER NOT NULL,"
            " date_text TEXT NOT NULL,"
            " date TEXT,"
            " date_from_text INTEGER NOT NULL,"
            " start_second INTEGER NOT NULL,"
            " end_second INTEGER NOT NULL,"
            " seconds INTEGER NOT NULL,"
            " hobbs_start INTEGER, hobbs_end INTEGER,"
            " maintenance_start INTEGER, maintenance_end INTEGER,"
            " UNIQUE (file_id, idx))",
            "CREATE INDEX flights_by_date ON flights (date, start_second)",
            "CREATE TABLE flight_records ("
            " flight_id INTEGER NOT NULL REFERENCES flights(id) ON DELETE CASCADE,"
            " model INTEGER NOT NULL,"
            " records INTEGER NOT NULL,"
            " PRIMARY KEY (flight_id, model))",
            "CREATE TABLE flight_series ("
            " flight_id INTEGER NOT NULL REFERENCES flights(id) ON DELETE CASCADE,"
            " series TEXT NOT NULL,"
            " count INTEGER NOT NULL,"
            " min, max, mean,"
            " high_runs INTEGER, low_runs INTEGER,"
            " PRIMARY KEY (flight_id, series))",
        },
        {
            // The figures of flight_series once more, packed in the flight's row, so that
            // reading a flight back takes one row instead of one per channel.
            "ALTER TABLE flights ADD COLUMN figures BLOB",
            // A trend reads a few channels' figures of every flight: they lie together.
            "CREATE INDEX flight_series_by_series ON flight_series "
            "(series, flight_id, count, min, max, mean)",
        },
    };
    return steps;
}

// SQLite's result codes that say the file is no database this store can read.
bool isDamage(const QSqlError& error) {
    const QString code = error.nativeErrorCode();
    return code == u"11" || code == u"26";  // SQLITE_CORRUPT, SQLITE_NOTADB
}

QString uniqueConnectionName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("zp-flights-%1").arg(counter.fetch_add(1));
}

// What went wrong when opening, and whether a new file in its place would help.
struct OpenProblem {
    QString text;
    bool damaged = false;
};

QVariant nullable(const std::optional<std::int64_t>& value) {
    return value ? QVariant(static_cast<qlonglong>(*value)) : QVariant();
}

QString idList(const std::vector<qlonglong>& ids) {
    QString text;
    for (const qlonglong id : ids) {
        if (!text.isEmpty()) text += u',';
        text += QString::number(id);
    }
    return text;
}

// The figures of a flight packed in one value: per channel with readings, its series name
// (a length byte and the name) then count, minimum, maximum, mean, runs above and runs
// below, each 8 bytes little-endian (integers two's complement, doubles as their bits).
constexpr std::size_t kPackedNumbers = 6;

void appendWord(QByteArray& out, std::uint64_t word) {
    char bytes[8];
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>((word >> (8 * i)) & 0xff);
    out.append(bytes, 8);
}

std::uint64_t wordAt(const char* at) {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i)
        word |= static_cast<std::uint64_t>(static_cast<unsigned char>(at[i])) << (8 * i);
    return word;
}

void appendFigures(QByteArray& out, std::string_view name, const ChannelFigures& figures) {
    out.append(static_cast<char>(name.size()));
    out.append(name.data(), static_cast<qsizetype>(name.size()));
    appendWord(out, static_cast<std::uint64_t>(figures.count));
    appendWord(out, std::bit_cast<std::uint64_t>(figures.minimum));
    appendWord(out, std::bit_cast<std::uint64_t>(figures.maximum));
    appendWord(out, std::bit_cast<std::uint64_t>(figures.mean));
    appendWord(out, static_cast<std::uint64_t>(figures.highRuns));
    appendWord(out, static_cast<std::uint64_t>(figures.lowRuns));
}

// The channels' figures, then the derived series' (as flight_series holds them).
QByteArray packedFigures(const Flight& f) {
    QByteArray out;
    for (int c = 0; c < kChannelCount; ++c)
        if (const std::optional<ChannelFigures>& figures = f.channels[static_cast<std::size_t>(c)])
            appendFigures(out, kChannels[c].name, *figures);
    for (const auto& [name, figures] : f.derived) {
        const QByteArray latin = name.toLatin1();
        appendFigures(out,
                      std::string_view(latin.constData(), static_cast<std::size_t>(latin.size())),
                      figures);
    }
    return out;
}

// Reads what packedFigures wrote into `f`; false when the bytes end early.
bool unpackFigures(const QByteArray& packed, Flight& f) {
    const char* at = packed.constData();
    const char* const end = at + packed.size();
    while (at < end) {
        const auto length = static_cast<std::size_t>(static_cast<unsigned char>(*at++));
        if (static_cast<std::size_t>(end - at) < length + 8 * kPackedNumbers) return false;
        const std::optional<Channel> channel = channelNamed(std::string_view(at, length));
        at += length;
        ChannelFigures figures;
        figures.count = static_cast<std::int64_t>(wordAt(at));
        figures.minimum = std::bit_cast<double>(wordAt(at + 8));
        figures.maximum = std::bit_cast<double>(wordAt(at + 16));
        figures.mean = std::bit_cast<double>(wordAt(at + 24));
        figures.highRuns = static_cast<std::int64_t>(wordAt(at + 32));
        figures.lowRuns = static_cast<std::int64_t>(wordAt(at + 40));
        at += 8 * kPackedNumbers;
        if (channel)
            f.channels[static_cast<std::size_t>(*channel)] = figures;
        else
            f.derived.emplace_back(QString::fromLatin1(at - 8 * kPackedNumbers - length,
                                                       static_cast<qsizetype>(length)),
                                   figures);
    }
    return true;
}

}  // namespace

SqliteFlightStore::SqliteFlightStore(QString connection) : connection_(std::move(connection)) {}

SqliteFlightStore::~SqliteFlightStore() {
    {
        QSqlDatabase db = QSqlDatabase::database(connection_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection_);
}

int SqliteFlightStore::schemaVersion() {
    return static_cast<int>(migrations().size());
}

QString SqliteFlightStore::defaultPath() {
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data + QStringLiteral("/zimra-pexo-viewer/flights.sqlite");
}

bool SqliteFlightStore::fail(const QString& what, const QString& why) {
    error_ = what + QStringLiteral(": ") + why;
    return false;
}

namespace {

// Opens the connection, switches on write-ahead logging and brings the schema to the
// current version.
std::optional<OpenProblem> openDatabase(const QString& connection, const QString& path) {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
    if (!db.isValid())
        return OpenProblem{QStringLiteral("the SQLite driver of Qt is missing (libqt6sql6-sqlite)"),
                           false};
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=60000"));
    if (!db.open()) return OpenProblem{db.lastError().text(), true};
    QSqlQuery q(db);
    for (const char* pragma :
         {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=NORMAL", "PRAGMA foreign_keys=ON"}) {
        if (!q.exec(QLatin1String(pragma)))
            return OpenProblem{q.lastError().text(), isDamage(q.lastError())};
    }
    // The schema, under the write lock so that two programs opening a new file at once
    // do not both make it.
    // Each answer is read and its statement finished at once: a statement left open
    // would hold a read snapshot, and a connection whose snapshot another program has
    // since written past cannot take the write lock (SQLite answers "locked" at once).
    const auto version = [&q]() -> std::optional<int> {
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type='table' AND "
                                   "name='schema_version'")) ||
            !q.next())
            return std::nullopt;
        const int tables = q.value(0).toInt();
        q.finish();
        if (tables == 0) return 0;
        if (!q.exec(QStringLiteral("SELECT version FROM schema_version")) || !q.next())
            return std::nullopt;
        const int found = q.value(0).toInt();
        q.finish();
        return found;
    };
    if (const std::optional<int> v = version(); v && *v == SqliteFlightStore::schemaVersion())
        return std::nullopt;
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return OpenProblem{q.lastError().text(), isDamage(q.lastError())};
    const std::optional<int> current = version();
    const auto abandon = [&q](OpenProblem problem) {
        q.exec(QStringLiteral("ROLLBACK"));
        return problem;
    };
    if (!current) return abandon({q.lastError().text(), true});
    if (*current > SqliteFlightStore::schemaVersion())
        return abandon({QStringLiteral("its schema version %1 is newer than this program's %2")
                            .arg(*current)
                            .arg(SqliteFlightStore::schemaVersion()),
                        true});
    if (*current == 0) {
        // Only a new, empty file may take the schema: anything else is not ours.
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next())
            return abandon({q.lastError().text(), true});
        const int tables = q.value(0).toInt();
        q.finish();
        if (tables != 0)
            return abandon({QStringLiteral("it holds tables of another program"), true});
    }
    for (int step = *current; step < SqliteFlightStore::schemaVersion(); ++step) {
        for (const char* statement : migrations()[static_cast<std::size_t>(step)])
            if (!q.exec(QLatin1String(statement))) return abandon({q.lastError().text(), false});
        q.prepare(QStringLiteral("UPDATE schema_version SET version = ?"));
        q.addBindValue(step + 1);
        if (!q.exec()) return abandon({q.lastError().text(), false});
    }
    if (!q.exec(QStringLiteral("COMMIT"))) return abandon({q.lastError().text(), false});
    return std::nullopt;
}

void closeConnection(const QString& connection) {
    {
        QSqlDatabase db = QSqlDatabase::database(connection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

// Moves the database file and its write-ahead log aside: FILE.damaged-yyyyMMdd-hhmmss[-n].
bool moveAside(const QString& path, QString& movedTo) {
    if (QFileInfo(path).isDir()) return false;
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString target = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    if (QFileInfo::exists(path) && !QFile::rename(path, target)) return false;
    for (const char* suffix : {"-wal", "-shm"}) {
        const QString side = path + QLatin1String(suffix);
        if (QFileInfo::exists(side) && !QFile::rename(side, target + QLatin1String(suffix)))
            QFile::remove(side);
    }
    movedTo = target;
    return true;
}

// openDatabase, again while another program holds the file's lock: switching a new
// file to write-ahead logging, for one, fails at once instead of waiting for it.
std::optional<OpenProblem> openWhenFree(QString& connection, const QString& path) {
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        std::optional<OpenProblem> problem = openDatabase(connection, path);
        // A locked file is in use, never damaged: it is not moved aside.
        const bool locked =
            problem && problem->text.contains(QLatin1String("locked"), Qt::CaseInsensitive);
        if (locked) problem->damaged = false;
        if (!locked || waited.elapsed() > 60000) return problem;
        closeConnection(connection);
        connection = uniqueConnectionName();
        QThread::msleep(20);
    }
}

}  // namespace

std::unique_ptr<SqliteFlightStore> SqliteFlightStore::open(const QString& path, QString& notice,
                                                           QString& error) {
    notice.clear();
    error.clear();
    const QFileInfo info(path);
    QDir().mkpath(info.absolutePath());
    QString connection = uniqueConnectionName();
    std::optional<OpenProblem> problem = openWhenFree(connection, path);
    if (!problem) return std::unique_ptr<SqliteFlightStore>(new SqliteFlightStore(connection));
    closeConnection(connection);
    QString movedTo;
    if (!problem->damaged || !moveAside(path, movedTo)) {
        error = QStringLiteral("cannot use the flight database %1: %2").arg(path, problem->text);
        return nullptr;
    }
    notice = QStringLiteral(
                 "the flight database %1 could not be used (%2); it was moved to %3 "
                 "and a new one was made")
                 .arg(path, problem->text, movedTo);
    connection = uniqueConnectionName();
    problem = openWhenFree(connection, path);
    if (!problem) return std::unique_ptr<SqliteFlightStore>(new SqliteFlightStore(connection));
    closeConnection(connection);
    error = QStringLiteral("cannot make the flight database %1: %2").arg(path, problem->text);
    return nullptr;
}

QHash<QString, FileStamp> SqliteFlightStore::stamps() {
    QHash<QString, FileStamp> result;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT path, size, modified_ms, options FROM files"))) {
        fail(QStringLiteral("reading the files"), q.lastError().text());
        return result;
    }
    while (q.next())
        result.insert(
            q.value(0).toString(),
            FileStamp{q.value(1).toLongLong(), q.value(2).toLongLong(), q.value(3).toString()});
    return result;
}

bool SqliteFlightStore::putFile(const FileFlights& file, const QString& optionsKey) {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    const QString what = QStringLiteral("storing ") + file.path;
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) return fail(what, q.lastError().text());
    const auto abandon = [&](const QSqlQuery& failed) {
        const QString why = failed.lastError().text();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return fail(what, why);
    };
    q.prepare(QStringLiteral("DELETE FROM files WHERE path = ?"));
    q.addBindValue(file.path);
    if (!q.exec()) return abandon(q);
    q.prepare(QStringLiteral(
        "INSERT INTO files (path, size, modified_ms, options, status, message, stopped_at_line, "
        "indexed_ms) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(file.path);
    q.addBindValue(static_cast<qlonglong>(file.size));
    q.addBindValue(static_cast<qlonglong>(file.modifiedMs));
    q.addBindValue(optionsKey);
    q.addBindValue(QString::fromLatin1(statusText(file.status)));
    q.addBindValue(file.message.isEmpty() ? QVariant() : QVariant(file.message));
    q.addBindValue(nullable(file.stoppedAtLine));
    q.addBindValue(QDateTime::currentMSecsSinceEpoch());
    if (!q.exec()) return abandon(q);
    const qlonglong fileId = q.lastInsertId().toLongLong();

    QSqlQuery flight(db), records(db), series(db);
    flight.prepare(
        QStringLiteral("INSERT INTO flights (file_id, idx, first_line, last_line, date_text, date, "
                       "date_from_text, start_second, end_second, seconds, hobbs_start, hobbs_end, "
                       "maintenance_start, maintenance_end, figures) VALUES (?, ?, ?, ?, ?, ?, ?, "
                       "?, ?, ?, ?, ?, ?, "
                       "?, ?)"));
    records.prepare(
        QStringLiteral("INSERT INTO flight_records (flight_id, model, records) VALUES (?, ?, ?)"));
    series.prepare(QStringLiteral(
        "INSERT INTO flight_series (flight_id, series, count, min, max, mean, high_runs, "
        "low_runs) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"));
    for (const Flight& f : file.flights) {
        const auto counter = [](const std::optional<CounterSpan>& span, bool end) {
            return span ? QVariant(end ? span->end : span->start) : QVariant();
        };
        flight.addBindValue(fileId);
        flight.addBindValue(f.index);
        flight.addBindValue(static_cast<qlonglong>(f.firstLine));
        flight.addBindValue(static_cast<qlonglong>(f.lastLine));
        flight.addBindValue(f.dateText);
        flight.addBindValue(f.date.isValid() ? QVariant(f.date.toString(Qt::ISODate)) : QVariant());
        flight.addBindValue(f.dateFromText ? 1 : 0);
        flight.addBindValue(static_cast<qlonglong>(f.startSecond));
        flight.addBindValue(static_cast<qlonglong>(f.endSecond));
        flight.addBindValue(static_cast<qlonglong>(f.seconds));
        flight.addBindValue(counter(f.hobbs, false));
        flight.addBindValue(counter(f.hobbs, true));
        flight.addBindValue(counter(f.maintenance, false));
        flight.addBindValue(counter(f.maintenance, true));
        flight.addBindValue(packedFigures(f));
        if (!flight.exec()) return abandon(flight);
        const qlonglong flightId = flight.lastInsertId().toLongLong();
        for (int id = 1; id <= kModelCount; ++id) {
            const std::int64_t n = f.records[static_cast<std::size_t>(id)];
            if (n == 0) continue;
            records.addBindValue(flightId);
            records.addBindValue(id);
            records.addBindValue(static_cast<qlonglong>(n));
            if (!records.exec()) return abandon(records);
        }
        for (int c = 0; c < kChannelCount; ++c) {
            const std::optional<ChannelFigures>& figures = f.channels[static_cast<std::size_t>(c)];
            if (!figures) continue;
            series.addBindValue(flightId);
            series.addBindValue(QString::fromLatin1(kChannels[c].name));
            series.addBindValue(static_cast<qlonglong>(figures->count));
            series.addBindValue(figures->minimum);
            series.addBindValue(figures->maximum);
            series.addBindValue(figures->mean);
            series.addBindValue(static_cast<qlonglong>(figures->highRuns));
            series.addBindValue(static_cast<qlonglong>(figures->lowRuns));
            if (!series.exec()) return abandon(series);
        }
        // The derived series of an engine profile, by their own names.
        for (const auto& [name, figures] : f.derived) {
            series.addBindValue(flightId);
            series.addBindValue(name);
            series.addBindValue(static_cast<qlonglong>(figures.count));
            series.addBindValue(figures.minimum);
            series.addBindValue(figures.maximum);
            series.addBindValue(figures.mean);
            series.addBindValue(static_cast<qlonglong>(figures.highRuns));
            series.addBindValue(static_cast<qlonglong>(figures.lowRuns));
            if (!series.exec()) return abandon(series);
        }
    }
    if (!q.exec(QStringLiteral("COMMIT"))) return abandon(q);
    return true;
}

bool SqliteFlightStore::removeFiles(const QStringList& paths) {
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    for (const QString& path : paths) {
        q.prepare(QStringLiteral("DELETE FROM files WHERE path = ?"));
        q.addBindValue(path);
        if (!q.exec()) return fail(QStringLiteral("removing ") + path, q.lastError().text());
    }
    return true;
}

namespace {

// Flights read by one query, in its row order, with the id of their file.
struct FlightRows {
    std::vector<qlonglong> flightIds;
    std::vector<qlonglong> unpacked;  // flights whose figures are not packed in their row
    std::vector<qlonglong> fileIds;
    std::vector<QString> paths;
    std::vector<Flight> flights;
};

constexpr const char* kFlightColumns =
    "fl.id, fl.file_id, fi.path, fl.idx, fl.first_line, fl.last_line, fl.date_text, fl.date, "
    "fl.date_from_text, fl.start_second, fl.end_second, fl.seconds, fl.hobbs_start, "
    "fl.hobbs_end, fl.maintenance_start, fl.maintenance_end, fl.figures";

bool readFlightRows(QSqlQuery& q, FlightRows& rows, bool withChannels) {
    while (q.next()) {
        Flight f;
        rows.flightIds.push_back(q.value(0).toLongLong());
        rows.fileIds.push_back(q.value(1).toLongLong());
        rows.paths.push_back(q.value(2).toString());
        f.index = q.value(3).toInt();
        f.firstLine = q.value(4).toLongLong();
        f.lastLine = q.value(5).toLongLong();
        f.dateText = q.value(6).toString();
        f.date = QDate::fromString(q.value(7).toString(), Qt::ISODate);
        f.dateFromText = q.value(8).toInt() != 0;
        f.startSecond = static_cast<std::uint32_t>(q.value(9).toLongLong());
        f.endSecond = static_cast<std::uint32_t>(q.value(10).toLongLong());
        f.seconds = q.value(11).toLongLong();
        if (!q.isNull(12)) f.hobbs = CounterSpan{q.value(12).toInt(), q.value(13).toInt()};
        if (!q.isNull(14)) f.maintenance = CounterSpan{q.value(14).toInt(), q.value(15).toInt()};
        // A flight stored before the figures were packed has them in flight_series only.
        if (withChannels && (q.isNull(16) || !unpackFigures(q.value(16).toByteArray(), f))) {
            f.channels = {};
            f.derived.clear();
            rows.unpacked.push_back(rows.flightIds.back());
        }
        rows.flights.push_back(std::move(f));
    }
    return true;
}

// Adds the records per model and, when asked, the figures of each flight of `rows`.
bool readFlightDetails(QSqlDatabase db, FlightRows& rows, bool withChannels, QString& error) {
    if (rows.flights.empty()) return true;
    QHash<qlonglong, std::size_t> at;
    for (std::size_t i = 0; i < rows.flightIds.size(); ++i) at.insert(rows.flightIds[i], i);
    const QString ids = idList(rows.flightIds);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT flight_id, model, records FROM flight_records WHERE "
                               "flight_id IN (%1)")
                    .arg(ids))) {
        error = q.lastError().text();
        return false;
    }
    while (q.next()) {
        const int model = q.value(1).toInt();
        if (model < 1 || model > kModelCount) continue;
        rows.flights[at.value(q.value(0).toLongLong())].records[static_cast<std::size_t>(model)] =
            q.value(2).toLongLong();
    }
    if (!withChannels) return true;
    if (!rows.unpacked.empty() &&
        !q.exec(QStringLiteral("SELECT flight_id, series, count, min, max, mean, high_runs, "
                               "low_runs FROM flight_series WHERE flight_id IN (%1)")
                    .arg(idList(rows.unpacked)))) {
        error = q.lastError().text();
        return false;
    }
    while (!rows.unpacked.empty() && q.next()) {
        const std::optional<Channel> channel = channelNamed(q.value(1).toString().toStdString());
        ChannelFigures figures;
        figures.count = q.value(2).toLongLong();
        figures.minimum = q.value(3).toDouble();
        figures.maximum = q.value(4).toDouble();
        figures.mean = q.value(5).toDouble();
        figures.highRuns = q.value(6).toLongLong();
        figures.lowRuns = q.value(7).toLongLong();
        Flight& flight = rows.flights[at.value(q.value(0).toLongLong())];
        if (channel)
            flight.channels[static_cast<std::size_t>(*channel)] = figures;
        else
            flight.derived.emplace_back(q.value(1).toString(), figures);
    }
    // The derived series in series order, whatever order the rows came in.
    for (Flight& flight : rows.flights) sortDerivedFigures(flight.derived);
    return true;
}

// A read transaction: the queries made while it lives see the database as one writer
// left it, not half of another indexer's replacement of a file.
class ReadSnapshot {
  public:
    explicit ReadSnapshot(QSqlDatabase db) : db_(std::move(db)) { open_ = db_.transaction(); }
    ~ReadSnapshot() {
        if (open_) db_.commit();
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

  private:
    QSqlDatabase db_;
    bool open_ = false;
};

}  // namespace

std::vector<FileFlights> SqliteFlightStore::files(const QStringList& paths) {
    std::vector<FileFlights> result;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const ReadSnapshot snapshot(db);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT id, path, size, modified_ms, status, message, "
                               "stopped_at_line FROM files"))) {
        fail(QStringLiteral("reading the files"), q.lastError().text());
        return result;
    }
    QHash<QString, std::pair<qlonglong, FileFlights>> held;
    while (q.next()) {
        FileFlights file;
        file.path = q.value(1).toString();
        file.size = q.value(2).toLongLong();
        file.modifiedMs = q.value(3).toLongLong();
        file.status = statusFromText(q.value(4).toString()).value_or(FileStatus::Unreadable);
        file.message = q.value(5).toString();
        if (!q.isNull(6)) file.stoppedAtLine = q.value(6).toLongLong();
        const QString path = file.path;
        held.insert(path, {q.value(0).toLongLong(), std::move(file)});
    }
    std::vector<qlonglong> fileIds;
    QHash<qlonglong, std::size_t> slot;
    for (const QString& path : paths) {
        const auto it = held.constFind(path);
        if (it == held.cend() || slot.contains(it->first)) continue;
        slot.insert(it->first, result.size());
        fileIds.push_back(it->first);
        result.push_back(it->second);
    }
    if (fileIds.empty()) return result;
    FlightRows rows;
    if (!q.exec(QStringLiteral("SELECT %1 FROM flights fl JOIN files fi ON fi.id = fl.file_id "
                               "WHERE fl.file_id IN (%2) ORDER BY fl.file_id, fl.idx")
                    .arg(QLatin1String(kFlightColumns), idList(fileIds)))) {
        fail(QStringLiteral("reading the flights"), q.lastError().text());
        return {};
    }
    readFlightRows(q, rows, true);
    QString error;
    if (!readFlightDetails(db, rows, true, error)) {
        fail(QStringLiteral("reading the flights"), error);
        return {};
    }
    for (std::size_t i = 0; i < rows.flights.size(); ++i)
        result[slot.value(rows.fileIds[i])].flights.push_back(std::move(rows.flights[i]));
    // A path asked for twice gets the same file twice: copies for all but its last turn.
    std::vector<std::size_t> order;
    for (const QString& path : paths) {
        const auto it = held.constFind(path);
        if (it != held.cend()) order.push_back(slot.value(it->first));
    }
    std::vector<int> turnsLeft(result.size(), 0);
    for (const std::size_t s : order) ++turnsLeft[s];
    std::vector<FileFlights> ordered;
    ordered.reserve(order.size());
    for (const std::size_t s : order) {
        if (--turnsLeft[s] == 0)
            ordered.push_back(std::move(result[s]));
        else
            ordered.push_back(result[s]);
    }
    return ordered;
}

std::vector<StoredFlight> SqliteFlightStore::flightsWith(const FlightFilter& filter,
                                                         const std::vector<Channel>& channels) {
    // Only the columns a trend shows and the figures asked for; the filters other than the
    // dates go the general way.
    std::vector<StoredFlight> result;
    if (channels.empty()) return result;
    if (filter.model != 0 || filter.exceeding || filter.minSeconds > 0 ||
        !filter.folder.isEmpty() || filter.limit > 0)
        return FlightStore::flightsWith(filter, channels);
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const ReadSnapshot snapshot(db);
    // The flights first, then the figures of the channels, each row found by its flight's id.
    QString sql = QStringLiteral(
        "SELECT fl.id, fi.path, fl.idx, fl.date, fl.date_from_text, fl.start_second "
        "FROM flights fl JOIN files fi ON fi.id = fl.file_id WHERE 1");
    QVariantList binds;
    if (filter.from) {
        sql += QStringLiteral(" AND fl.date >= ?");
        binds << filter.from->toString(Qt::ISODate);
    }
    if (filter.to) {
        sql += QStringLiteral(" AND fl.date <= ?");
        binds << filter.to->toString(Qt::ISODate);
    }
    sql += QStringLiteral(" ORDER BY fl.date DESC, fl.start_second DESC, fi.path, fl.idx");
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& value : binds) q.addBindValue(value);
    if (!q.exec()) {
        fail(QStringLiteral("querying the flights"), q.lastError().text());
        return result;
    }
    // A flight is large (the figures of every channel): the list is made once, in its final
    // size, and flights without figures are taken out of it in place.
    std::vector<StoredFlight> all;
    {
        QSqlQuery count(db);
        if (count.exec(QStringLiteral("SELECT count(*) FROM flights")) && count.next())
            all.reserve(static_cast<std::size_t>(count.value(0).toLongLong()));
    }
    QHash<qlonglong, std::size_t> at;
    while (q.next()) {
        StoredFlight f;
        f.path = q.value(1).toString();
        f.flight.index = q.value(2).toInt();
        f.flight.date = QDate::fromString(q.value(3).toString(), Qt::ISODate);
        f.flight.dateFromText = q.value(4).toInt() != 0;
        f.flight.startSecond = static_cast<std::uint32_t>(q.value(5).toLongLong());
        at.insert(q.value(0).toLongLong(), all.size());
        all.push_back(std::move(f));
    }
    QHash<QString, Channel> named;
    for (const Channel c : channels) named.insert(QLatin1String(kChannels[c].name), c);
    QStringList names;
    for (auto it = named.cbegin(); it != named.cend(); ++it)
        names << QStringLiteral("'%1'").arg(it.key());
    if (!q.exec(QStringLiteral("SELECT flight_id, series, count, min, max, mean FROM "
                               "flight_series WHERE series IN (%1)")
                    .arg(names.join(u',')))) {
        fail(QStringLiteral("querying the flights"), q.lastError().text());
        return result;
    }
    std::vector<bool> any(all.size(), false);
    while (q.next()) {
        const auto flight = at.constFind(q.value(0).toLongLong());
        const auto channel = named.constFind(q.value(1).toString());
        if (flight == at.cend() || channel == named.cend()) continue;
        ChannelFigures figures;
        figures.count = q.value(2).toLongLong();
        figures.minimum = q.value(3).toDouble();
        figures.maximum = q.value(4).toDouble();
        figures.mean = q.value(5).toDouble();
        all[*flight].flight.channels[static_cast<std::size_t>(*channel)] = figures;
        any[*flight] = true;
    }
    std::size_t kept = 0;
    for (std::size_t i = 0; i < all.size(); ++i)
        if (any[i]) {
            if (kept != i) all[kept] = std::move(all[i]);
            ++kept;
        }
    all.resize(kept);
    return all;
}

std::vector<StoredFlight> SqliteFlightStore::flights(const FlightFilter& filter,
                                                     bool withChannels) {
    std::vector<StoredFlight> result;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const ReadSnapshot snapshot(db);
    QString sql = QStringLiteral(
                      "SELECT %1 FROM flights fl JOIN files fi ON fi.id = fl.file_id "
                      "WHERE 1")
                      .arg(QLatin1String(kFlightColumns));
    QVariantList binds;
    if (!filter.folder.isEmpty()) {
        const QString folder = filter.folder.endsWith(u'/') ? filter.folder : filter.folder + u'/';
        sql += QStringLiteral(" AND substr(fi.path, 1, ?) = ?");
        binds << folder.size() << folder;
    }
    if (filter.from) {
        sql += QStringLiteral(" AND fl.date >= ?");
        binds << filter.from->toString(Qt::ISODate);
    }
    if (filter.to) {
        sql += QStringLiteral(" AND fl.date <= ?");
        binds << filter.to->toString(Qt::ISODate);
    }
    if (filter.model >= 1 && filter.model <= kModelCount) {
        sql += QStringLiteral(
            " AND EXISTS (SELECT 1 FROM flight_records r WHERE r.flight_id = "
            "fl.id AND r.model = ?)");
        binds << filter.model;
    }
    if (filter.minSeconds > 0) {
        sql += QStringLiteral(" AND fl.seconds >= ?");
        binds << static_cast<qlonglong>(filter.minSeconds);
    }
    if (filter.exceeding) {
        sql += QStringLiteral(
            " AND EXISTS (SELECT 1 FROM flight_series s WHERE s.flight_id = "
            "fl.id AND s.series = ? AND s.high_runs + s.low_runs > 0)");
        binds << QString::fromLatin1(kChannels[*filter.exceeding].name);
    }
    sql += QStringLiteral(" ORDER BY fl.date DESC, fl.start_second DESC, fi.path, fl.idx");
    if (filter.limit > 0) sql += QStringLiteral(" LIMIT %1").arg(filter.limit);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(sql);
    for (const QVariant& value : binds) q.addBindValue(value);
    if (!q.exec()) {
        fail(QStringLiteral("querying the flights"), q.lastError().text());
        return result;
    }
    FlightRows rows;
    readFlightRows(q, rows, withChannels);
    QString error;
    if (!readFlightDetails(db, rows, withChannels, error)) {
        fail(QStringLiteral("querying the flights"), error);
        return result;
    }
    for (std::size_t i = 0; i < rows.flights.size(); ++i)
        result.push_back({rows.paths[i], std::move(rows.flights[i])});
    return result;
}

}  // namespace zp::library
