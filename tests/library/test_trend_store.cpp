// The figures a trend reads from the library database: the flights that have readings of
// the asked channels, in the order of the store's flights, with those channels' figures
// as the full read gives them, the date filter applied, in a fresh database and in one
// that another schema version made.
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QtTest>

#include "library/sqlite_flight_store.h"

using namespace zp;
using namespace zp::library;

namespace {

Flight flight(int index, QDate date, std::uint32_t start) {
    Flight f;
    f.index = index;
    f.date = date;
    f.dateFromText = true;
    f.dateText = date.toString(QStringLiteral("dd/MM/yyyy"));
    f.startSecond = start;
    f.endSecond = start + 60;
    f.seconds = 60;
    f.records[1] = 60;
    return f;
}

ChannelFigures figures(double base) {
    ChannelFigures c;
    c.count = 60;
    c.minimum = base;
    c.maximum = base + 10.5;
    c.mean = base + 4.25;
    return c;
}

// Two files: a with flights on 1 and 3 March, b with one on 2 March that has no CHT
// readings and one on 4 March.
void fill(FlightStore& store, const QString& folder) {
    FileFlights a;
    a.path = folder + QStringLiteral("/a.csv");
    a.status = FileStatus::Indexed;
    a.flights = {flight(0, QDate(2024, 3, 1), 36000), flight(1, QDate(2024, 3, 3), 36000)};
    a.flights[0].channels[TC5Series] = figures(100);
    a.flights[0].channels[VoltsSeries] = figures(12);
    a.flights[1].channels[TC5Series] = figures(110);
    a.flights[1].channels[TC6Series] = figures(90);
    FileFlights b;
    b.path = folder + QStringLiteral("/b.csv");
    b.status = FileStatus::Indexed;
    b.flights = {flight(0, QDate(2024, 3, 2), 40000), flight(1, QDate(2024, 3, 4), 40000)};
    b.flights[0].channels[VoltsSeries] = figures(13);
    b.flights[1].channels[TC6Series] = figures(95);
    QVERIFY(store.putFile(a, QStringLiteral("k")));
    QVERIFY(store.putFile(b, QStringLiteral("k")));
}

QStringList summary(const std::vector<StoredFlight>& flights) {
    QStringList out;
    for (const StoredFlight& f : flights) {
        QString line = QStringLiteral("%1#%2 %3 %4:")
                           .arg(QFileInfo(f.path).fileName())
                           .arg(f.flight.index)
                           .arg(f.flight.date.toString(Qt::ISODate))
                           .arg(f.flight.startSecond);
        for (int c = 0; c < kChannelCount; ++c)
            if (const auto& s = f.flight.channels[static_cast<std::size_t>(c)])
                line += QStringLiteral(" %1 %2/%3/%4/%5")
                            .arg(QLatin1String(kChannels[c].name))
                            .arg(s->count)
                            .arg(s->minimum)
                            .arg(s->maximum)
                            .arg(s->mean);
        out << line;
    }
    return out;
}

}  // namespace

class TestTrendStore : public QObject {
    Q_OBJECT
  private slots:
    void flightsWith_theAskedFiguresOfFlightsWithReadings_data() {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::newRow("all") << QDate() << QDate();
        QTest::newRow("from 2 March") << QDate(2024, 3, 2) << QDate();
        QTest::newRow("2 to 3 March") << QDate(2024, 3, 2) << QDate(2024, 3, 3);
        QTest::newRow("no flight") << QDate(2025, 1, 1) << QDate();
    }
    void flightsWith_theAskedFiguresOfFlightsWithReadings() {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QTemporaryDir dir;
        QString notice, error;
        auto store =
            SqliteFlightStore::open(dir.filePath(QStringLiteral("f.sqlite")), notice, error);
        QVERIFY2(store, qPrintable(error));
        fill(*store, dir.path());
        FlightFilter filter;
        if (from.isValid()) filter.from = from;
        if (to.isValid()) filter.to = to;
        const std::vector<Channel> asked = {TC6Series, TC5Series};
        // The same as the full read, the other channels and the flights without the asked
        // ones left out; and the same as the general way every store has.
        std::vector<StoredFlight> expected;
        for (StoredFlight f : store->flights(filter, true)) {
            f.flight.channels[VoltsSeries].reset();
            if (f.flight.channels[TC5Series] || f.flight.channels[TC6Series])
                expected.push_back(std::move(f));
        }
        QCOMPARE(summary(store->flightsWith(filter, asked)), summary(expected));
        QCOMPARE(summary(store->FlightStore::flightsWith(filter, asked)), summary(expected));
        if (!from.isValid()) QCOMPARE(summary(store->flightsWith(filter, asked)).size(), 3);
        QVERIFY(store->flightsWith(filter, {}).empty());
    }
};

QTEST_GUILESS_MAIN(TestTrendStore)
#include "test_trend_store.moc"
