// The derived channels over hand-made series (X in seconds of a day): spreads and the
// hottest CHT need a reading of every channel at a time, rates reach back 60 s within a
// run of readings, and the profile picks the channels.
#include <QtTest>
#include <bit>
#include <cmath>
#include <limits>

#include "analysis/derived_channels.h"
#include "loading/channel_series.h"

using namespace zp;
using namespace zp::analysis;
using chart::PointList;

namespace {

constexpr double kDay = 86400.0;

// "t:v" readings, "t:g" gap fills, "t:nan" a non-finite value; t in seconds.
PointList listOf(const QString& text) {
    PointList list;
    for (const QString& item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QStringList tv = item.split(u':');
        const double x = tv[0].toDouble() / kDay;
        if (tv[1] == u"g")
            list.appendGapFill(x);
        else if (tv[1] == u"nan")
            list.append(x, std::numeric_limits<double>::quiet_NaN());
        else
            list.append(x, tv[1].toDouble());
    }
    return list;
}

// The same notation back, times rounded to the millisecond.
QString textOf(const PointList& list) {
    QStringList items;
    const chart::PointView p = list.points();
    for (std::size_t i = 0; i < p.size(); ++i) {
        const QString t = QString::number(std::round(p.x(i) * kDay * 1000) / 1000);
        items << t + u':' + (list.isGapFill(i) ? QStringLiteral("g") : QString::number(p.y(i)));
    }
    return items.join(u' ');
}

// Every point's X and Y bits and gap mark.
QStringList bitsOf(const PointList& list) {
    QStringList items;
    const chart::PointView p = list.points();
    for (std::size_t i = 0; i < p.size(); ++i)
        items << QString::number(std::bit_cast<quint64>(p.x(i)), 16) + u' ' +
                     QString::number(std::bit_cast<quint64>(p.y(i)), 16) +
                     (list.isGapFill(i) ? QStringLiteral(" g") : QString());
    return items;
}

// Six cylinders of an engine monitor's twelve thermocouples.
EngineProfile sixCylinders() {
    EngineProfile p;
    p.cylinders = 6;
    p.egt = {TC1Series, TC2Series, TC3Series, TC4Series, TC9Series, TC10Series};
    p.cht = {TC5Series, TC6Series, TC7Series, TC8Series, TC11Series, TC12Series};
    return p;
}

// How the series of one set of records are held.
enum class Layout { Rotated, InOrder, Mixed, OneCopied, OneWide };

// A chart with the twelve thermocouples of a log with a time of day only, three records
// a second from 23:58:01 on, across midnight, with two stretches of gap fills: appended
// in file order (a block rotated once read) or in X order, as `layout` says.
void fillThermocouples(chart::Chart& chart, Layout layout) {
    createChannelSeries(chart, QPalette());
    struct Record {
        double x;
        bool gapFill;
    };
    std::vector<Record> records;
    for (int second = 0; second < 300; ++second) {
        const double x = ((86281 + second) % 86400) / kDay;
        // A second without records gets one gap fill, as the import gives it.
        if ((second >= 130 && second < 133) || second == 230)
            records.push_back({x, true});
        else
            records.insert(records.end(), 3, Record{x, false});
    }
    for (int s = 0; s < 12; ++s) {
        PointList& list = channelSeries(chart, static_cast<Channel>(TC1Series + s)).points;
        list.clear();
        const bool inOrder = layout == Layout::InOrder || (layout == Layout::Mixed && s % 2 == 1);
        // In X order: the records after midnight first.
        std::size_t midnight = 1;
        while (records[midnight].x >= records[midnight - 1].x) ++midnight;
        for (std::size_t k = 0; k < records.size(); ++k) {
            const std::size_t r = inOrder ? (k + midnight) % records.size() : k;
            // Values that tie now and then, and a cylinder that runs hot for a while.
            const double v = (s < 4 || s == 8 || s == 9 ? 1300 : 350) + (r * (s + 3)) % 17 +
                             (s == 6 && r > 500 && r < 600 ? 40 : 0);
            if (records[r].gapFill)
                list.appendGapFill(records[r].x);
            else
                list.append(records[r].x, v);
        }
        (void)list.points();
    }
    PointList& tc3 = channelSeries(chart, TC3Series).points;
    PointList& tc7 = channelSeries(chart, TC7Series).points;
    if (layout == Layout::OneCopied) tc7 = PointList(tc7);  // a copy is put in X order
    if (layout == Layout::OneWide) {
        // A reading between records of one EGT and one CHT, at a time no other series
        // has: no set is made there, and the lists turn wide.
        tc3.append(records[100].x + 0.5 / (kDay * 1000), 1290.0);
        tc7.append(records[100].x + 0.5 / (kDay * 1000), 340.0);
    }
}

}  // namespace

class DerivedChannelsTest : public QObject {
    Q_OBJECT

  private slots:
    void spread_data() {
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<QString>("expected");
        QTest::newRow("every channel at every time")
            << QStringList{"1:10 2:20", "1:15 2:5", "1:12 2:8"} << "1:5 2:15";
        QTest::newRow("one channel: no spread") << QStringList{"1:10 2:20"} << "1:0 2:0";
        QTest::newRow("no channel") << QStringList{} << "";
        QTest::newRow("a missing channel: no time has every reading")
            << QStringList{"1:10 2:20", ""} << "";
        QTest::newRow("a time one channel lacks is left out")
            << QStringList{"1:10 2:20 3:30", "1:11 3:33"} << "1:1 3:3";
        QTest::newRow("a non-finite reading leaves its time out")
            << QStringList{"1:10 2:nan 3:30", "1:11 2:22 3:33"} << "1:1 3:3";
        QTest::newRow("gap fills of every channel stay gap fills")
            << QStringList{"1:10 2:g 3:30", "1:11 2:g 3:33"} << "1:1 2:g 3:3";
        QTest::newRow("a gap fill beside a reading is no set")
            << QStringList{"1:10 2:g 3:30", "1:11 2:22 3:33"} << "1:1 3:3";
        QTest::newRow("several readings a second pair in order")
            << QStringList{"1:10 1:20 1:30", "1:12 1:25"} << "1:2 1:5";
    }
    void spread() {
        QFETCH(QStringList, channels);
        QFETCH(QString, expected);
        std::vector<PointList> lists;
        for (const QString& c : channels) lists.push_back(listOf(c));
        std::vector<const PointList*> pointers;
        for (const PointList& l : lists) pointers.push_back(&l);
        QCOMPARE(textOf(spreadOf(pointers)), expected);
    }

    void hottest_data() {
        QTest::addColumn<QStringList>("channels");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("which");
        QTest::newRow("the hottest each time")
            << QStringList{"1:300 2:310", "1:320 2:305"} << "1:320 2:310"
            << "1 0";
        QTest::newRow("a tie goes to the first")
            << QStringList{"1:300 2:310", "1:300 2:310", "1:290 2:310"} << "1:300 2:310"
            << "0 0";
        QTest::newRow("gap fill has no cylinder") << QStringList{"1:1 2:g", "1:2 2:g"} << "1:2 2:g"
                                                  << "1 255";
    }
    void hottest() {
        QFETCH(QStringList, channels);
        QFETCH(QString, expected);
        QFETCH(QString, which);
        std::vector<PointList> lists;
        for (const QString& c : channels) lists.push_back(listOf(c));
        std::vector<const PointList*> pointers;
        for (const PointList& l : lists) pointers.push_back(&l);
        const Hottest h = hottestOf(pointers);
        QCOMPARE(textOf(h.points), expected);
        QStringList got;
        for (std::uint8_t w : h.which) got << QString::number(w);
        QCOMPARE(got.join(u' '), which);
    }

    void rate_data() {
        QTest::addColumn<QString>("cht");
        QTest::addColumn<QString>("expected");
        // Readings every 30 s: the first rate at 60 s, reaching back to 0 s.
        QTest::newRow("none before 60 s, then over 60 s") << "0:300 30:310 60:320 90:290"
                                                          << "60:20 90:-20";
        QTest::newRow("59 s of readings give none") << "0:300 59:250"
                                                    << "";
        QTest::newRow("exactly 60 s apart gives one") << "0:300 60:240"
                                                      << "60:-60";
        QTest::newRow("the window takes the first reading within 60 s") << "0:300 10:300 70:330"
                                                                        << "70:30";
        QTest::newRow("time apart is that of the two readings") << "0:300 50:300 100:280"
                                                                << "100:-24";
        QTest::newRow("a gap fill starts again") << "0:300 60:330 61:g 62:330 121:300 122:300"
                                                 << "60:30 61:g 122:-30";
        QTest::newRow("non-finite values are not readings") << "0:300 30:nan 60:330 90:nan"
                                                            << "60:30";
    }
    void rate() {
        QFETCH(QString, cht);
        QFETCH(QString, expected);
        QCOMPARE(textOf(rateOf(listOf(cht))), expected);
    }

    // The profile picks the channels of a chart; unassigned cylinders are left out.
    void fromProfile() {
        chart::Chart chart;
        createChannelSeries(chart, QPalette());
        for (int c = 0; c < kChannelCount; ++c) chart.series[c].points.clear();
        channelSeries(chart, TC1Series).points = listOf("0:1300 60:1310");
        channelSeries(chart, TC2Series).points = listOf("0:1350 60:1330");
        channelSeries(chart, TC3Series).points = listOf("0:9999 60:9999");  // not assigned
        channelSeries(chart, TC5Series).points = listOf("0:350 60:380");
        channelSeries(chart, TC6Series).points = listOf("0:360 60:360");
        EngineProfile p;
        p.cylinders = 3;
        p.egt = {TC1Series, TC2Series, std::nullopt};
        p.cht = {std::nullopt, TC5Series, TC6Series};
        DerivedSeries d = computeDerivedSeries(chart, p);
        QStringList names;
        for (const DerivedChannel& c : d.channels) names << c.name;
        QCOMPARE(names.join(u' '),
                 QStringLiteral("EGTSpreadSeries CHTSpreadSeries "
                                "HottestCHTSeries CHT2RateSeries CHT3RateSeries"));
        QCOMPARE(textOf(d.points[0]), QStringLiteral("0:50 60:20"));
        QCOMPARE(textOf(d.points[1]), QStringLiteral("0:10 60:20"));
        QCOMPARE(textOf(d.points[2]), QStringLiteral("0:360 60:380"));
        QCOMPARE(d.hottestCylinder, (std::vector<std::uint8_t>{3, 2}));
        QCOMPARE(textOf(d.points[3]), QStringLiteral("60:30"));
        QCOMPARE(textOf(d.points[4]), QStringLiteral("60:0"));

        // Appended after the channels, off, with legend items; replaced, not repeated.
        appendDerivedSeries(chart, d, {QStringLiteral("CHT3RateSeries")});
        QCOMPARE(chart.series.size(), std::size_t(kChannelCount + 5));
        QCOMPARE(chart.series[kChannelCount].name, QStringLiteral("EGTSpreadSeries"));
        QVERIFY(!chart.series[kChannelCount].active);
        QVERIFY(chart.series[kChannelCount].showInLegend);
        QVERIFY(chart.series[kChannelCount + 4].active);
        DerivedSeries again = computeDerivedSeries(chart, p);
        appendDerivedSeries(chart, again);
        QCOMPARE(chart.series.size(), std::size_t(kChannelCount + 5));
        removeDerivedSeries(chart);
        QCOMPARE(chart.series.size(), std::size_t(kChannelCount));
    }

    // Rates of CHT series of the same records, taken together, are those of each alone;
    // so are those of series that are not alike.
    void ratesTogether_data() {
        QTest::addColumn<QStringList>("chts");
        QTest::newRow("alike, with a gap fill")
            << QStringList{"0:300 30:310 60:320 61:g 62:300 90:301 122:290 130:280",
                           "0:200 30:230 60:260 61:g 62:200 90:211 122:190 130:170",
                           "0:400 30:400 60:410 61:g 62:400 90:405 122:420 130:430",
                           "0:100 30:101 60:105 61:g 62:110 90:100 122:120 130:121"};
        // Floats of every size: changes a minute apart that are no whole numbers, that
        // overflow a float or are tiny, one whose product with 60000 is inexact, and
        // readings 40 s apart.
        QTest::newRow("alike, values of every size") << QStringList{
            "0:0.33333334326744080 30:310 60:3.4028234663852886e38 61:g "
            "62:1.1754943508222875e-38 90:301 122:-3.4028234663852886e38 130:280",
            "0:16777215 30:0.10000000149011612 60:-16777215 61:g 62:1.401298464324817e-45 "
            "90:2.5 122:7.006492321624085e-45 130:1.5",
            "0:-0 30:400 60:0 61:g 62:400 90:0.33333334326744080 122:420 130:-0",
            "0:100 30:101 60:105.25 61:g 62:4.161799370194785e-05 90:100 122:933.85595703125 "
            "130:121"};
        QTest::newRow("not alike")
            << QStringList{"0:300 30:310 60:320 90:330", "0:300 31:310 60:320 90:330",
                           "0:300 30:nan 60:320 90:330", "0:300 60:320"};
    }
    void ratesTogether() {
        QFETCH(QStringList, chts);
        chart::Chart chart;
        createChannelSeries(chart, QPalette());
        EngineProfile p;
        p.cylinders = static_cast<int>(chts.size());
        for (int c = 0; c < p.cylinders; ++c) {
            p.cht[c] = static_cast<Channel>(TC5Series + c);
            channelSeries(chart, static_cast<Channel>(TC5Series + c)).points = listOf(chts[c]);
        }
        const DerivedSeries d = computeDerivedSeries(chart, p);
        for (int c = 0; c < p.cylinders; ++c) {
            if (QByteArray(QTest::currentDataTag()).startsWith("alike"))
                QVERIFY(!channelSeries(chart, *p.cht[c]).points.isWide());
            QCOMPARE(bitsOf(d.points[3 + c]), bitsOf(rateOf(listOf(chts[c]))));
        }
    }

    // However the series of one set of records are held (a block rotated or not, a copy,
    // a wide list), the derived series come out the same, bit for bit: the walk of series
    // of one layout gives what the walk by X gives.
    void anyLayout_sameDerivedSeries_data() {
        QTest::addColumn<int>("layout");
        QTest::newRow("every series rotated") << int(Layout::Rotated);
        QTest::newRow("every series in X order") << int(Layout::InOrder);
        QTest::newRow("some rotated, some not") << int(Layout::Mixed);
        QTest::newRow("one series a copy") << int(Layout::OneCopied);
        QTest::newRow("one EGT and one CHT wide") << int(Layout::OneWide);
    }
    void anyLayout_sameDerivedSeries() {
        QFETCH(int, layout);
        chart::Chart reference;
        fillThermocouples(reference, Layout::Mixed);
        chart::Chart chart;
        fillThermocouples(chart, static_cast<Layout>(layout));
        const DerivedSeries want = computeDerivedSeries(reference, sixCylinders());
        const DerivedSeries got = computeDerivedSeries(chart, sixCylinders());
        QCOMPARE(got.points.size(), std::size_t(9));
        for (std::size_t k = 0; k < got.points.size(); ++k) {
            // CHT 3 with a reading more has a rate of its own (checked below).
            if (static_cast<Layout>(layout) == Layout::OneWide && k == 5) continue;
            QCOMPARE(bitsOf(got.points[k]), bitsOf(want.points[k]));
            QVERIFY(got.points[k].size() > 800 || k >= 3);  // every record a set
            QVERIFY(!got.points[k].isWide());
        }
        QCOMPARE(got.hottestCylinder, want.hottestCylinder);
        // The rates are those of each series alone.
        for (int c = 0; c < 6; ++c)
            QCOMPARE(bitsOf(got.points[3 + c]),
                     bitsOf(rateOf(channelSeries(chart, *sixCylinders().cht[c]).points)));
    }

    void names() {
        for (const char* name : {"EGTSpreadSeries", "CHTSpreadSeries", "HottestCHTSeries",
                                 "CHT1RateSeries", "CHT8RateSeries"})
            QVERIFY2(isDerivedSeriesName(QLatin1String(name)), name);
        for (const char* name : {"TC1Series", "CHT9RateSeries", "CHT0RateSeries", "CHTSeries"})
            QVERIFY2(!isDerivedSeriesName(QLatin1String(name)), name);
        QCOMPARE(derivedUnitText(DerivedKind::ChtRate, UnitSelectors{}).endsWith(u"/min"), true);
    }
};

QTEST_GUILESS_MAIN(DerivedChannelsTest)
#include "test_derived_channels.moc"
